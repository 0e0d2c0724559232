// import fleetjudge: the checker and the report from Python, on files, on
// their contents, or on a solver's routes in memory. The interpreter is
// released while the library works, so threads check in parallel.
#include <pybind11/pybind11.h>

#include <fleetjudge/fleetjudge.h>

#include <stdexcept>
#include <string>
#include <utility>

#include "inputs.h"
#include "instance_object.h"
#include "report_object.h"

namespace py = pybind11;
using fleetjudge_python::Input;
using fleetjudge_python::Source;

namespace {

// The report's keyword arguments and the option each one sets; a keyword that
// is not listed is a TypeError, as for any Python function. A new option of
// fleetjudge::ReportOptions is one line here (and its line in the docstring).
struct Keyword {
  const char *name;
  std::string fleetjudge::ReportOptions::*field;
};
const Keyword report_keywords[] = {
    {"solution_format", &fleetjudge::ReportOptions::solution_format},
    {"instance_format", &fleetjudge::ReportOptions::instance_format},
    {"convention", &fleetjudge::ReportOptions::convention},
};

fleetjudge::ReportOptions report_options(const py::kwargs &kwargs) {
  fleetjudge::ReportOptions options;
  for (auto item : kwargs) {
    std::string name = py::str(item.first);
    const Keyword *keyword = nullptr;
    for (const Keyword &k : report_keywords)
      if (name == k.name) keyword = &k;
    if (keyword == nullptr)
      throw py::type_error("report() got an unexpected keyword argument '" + name + "'");
    if (!PyUnicode_Check(item.second.ptr()))
      throw py::type_error("report(): " + name + " must be a str");
    std::string value = py::str(item.second);
    fleetjudge_python::refuse_nul("report()", name.c_str(), value);
    options.*keyword->field = std::move(value);
  }
  return options;
}

// Reads the files given by path, without the interpreter, then raises the
// OSError of one that could not be read.
void read_inputs(Input &instance, Input &solution) {
  {
    py::gil_scoped_release released;
    fleetjudge_python::read_input(instance);
    fleetjudge_python::read_input(solution);
  }
  fleetjudge_python::raise_if_unread(instance);
  fleetjudge_python::raise_if_unread(solution);
}

fleetjudge::Verdict check(py::handle instance_arg, py::handle solution_arg) {
  Input instance = fleetjudge_python::take_input(instance_arg, "instance", false);
  Input solution = fleetjudge_python::take_input(solution_arg, "solution", false);
  read_inputs(instance, solution);
  py::gil_scoped_release released;
  return fleetjudge::check(instance.contents(), solution.contents(), instance.name(),
                           solution.name());
}

py::object report(py::handle instance_arg, py::handle solution_arg, const py::kwargs &kwargs) {
  fleetjudge::ReportOptions options = report_options(kwargs);
  Input instance = fleetjudge_python::take_input(instance_arg, "instance", false);
  Input solution = fleetjudge_python::take_input(solution_arg, "solution", true);
  if (solution.source == Source::routes) {
    if (options.solution_format != "auto" && options.solution_format != "plain")
      throw py::value_error("routes in memory are read as a plain list: solution_format='" +
                            options.solution_format + "' does not apply to them");
    options.solution_format = "plain";
  }
  read_inputs(instance, solution);
  fleetjudge::ReportResult result;
  {
    py::gil_scoped_release released;
    result = fleetjudge::report(instance.contents(), solution.contents(), options,
                                instance.path_or_null(), solution.path_or_null());
  }
  py::object document = py::module_::import("json").attr("loads")(py::str(result.json));
  if (result.status == 2) throw fleetjudge::InputError(py::str(document["error"]));
  return document;
}

} // namespace

PYBIND11_MODULE(fleetjudge, m) {
  // The signatures are written in the docstrings below (in the form from
  // which inspect.signature() reads them), since report() takes its keywords
  // through **kwargs.
  py::options options;
  options.disable_function_signatures();

  m.doc() = "fleetjudge: check solutions of vehicle routing problems with time windows.\n\n"
            "Instance reads an instance once; its judge() judges a solution against it,\n"
            "routes in memory or a file, and gives a Report whose attributes are made\n"
            "when first read. check() gives the verdict of the fleetjudge program,\n"
            "report() the document of fleetjudge-report --json, for the same files. All\n"
            "take paths or the files' contents as bytes. The interpreter is released\n"
            "while they work, so threads check in parallel.\n\n"
            ">>> import fleetjudge\n"
            ">>> instance = fleetjudge.Instance('examples/depot100.txt')\n"
            ">>> report = instance.judge([[20, 24, 25], [67, 65, 63]])\n"
            ">>> report.feasible, report.violations[0].kind\n"
            "(False, 'not_visited')";
  m.attr("__version__") = FLEETJUDGE_VERSION;

  auto input_error =
      py::register_exception<fleetjudge::InputError>(m, "InputError", PyExc_ValueError);
  input_error.attr("__doc__") =
      "The input cannot be judged: fleetjudge-report would end with status 2 (an\n"
      "instance or a header that cannot be parsed, a file that cannot be read on).\n"
      "The message is the report's error text.";

  fleetjudge_python::bind_report(m);
  fleetjudge_python::bind_instance(m);

  py::class_<fleetjudge::Verdict>(m, "Verdict",
                                  "The fleetjudge program's verdict: its exit status and its "
                                  "standard output.")
      .def_property_readonly(
          "status", [](const fleetjudge::Verdict &v) { return v.status; },
          "The exit status: 0 for OK, 1 for a violation or input that cannot be checked.")
      .def_property_readonly(
          "output",
          [](const fleetjudge::Verdict &v) { return fleetjudge_python::latin1(v.output); },
          "The standard output, each byte decoded as Latin-1.")
      .def("__repr__", [](const fleetjudge::Verdict &v) {
        return py::str("Verdict(status={}, output={!r})")
            .format(v.status, fleetjudge_python::latin1(v.output));
      });

  m.def("check", &check, py::arg("instance"), py::arg("solution"),
        "check(instance, solution)\n--\n\n"
        "Check a solution as the fleetjudge program does: stop at the first violation.\n\n"
        "instance and solution are each a path (str or os.PathLike) or the file's\n"
        "contents (bytes); the solution is in fleetjudge's own format. Returns a\n"
        "Verdict whose status and output are what `fleetjudge INSTANCE SOLUTION`\n"
        "exits with and prints for those files. Messages that name a file name the\n"
        "path given, or 'instance' and 'solution' for bytes.\n\n"
        "Raises OSError (FileNotFoundError for a missing file) when a file cannot be\n"
        "opened or read, TypeError for an argument of another type.");

  m.def("report", &report, py::arg("instance"), py::arg("solution"),
        "report(instance, solution, *, solution_format='auto', instance_format='auto', "
        "convention='auto')\n--\n\n"
        "Report every violation and every route's figures, as fleetjudge-report does.\n\n"
        "instance is a path (str or os.PathLike) or the file's contents (bytes).\n"
        "solution is a path, the file's contents, or the routes themselves: a\n"
        "sequence of routes, each a sequence of customer numbers (ints, numpy\n"
        "integers included), such as [[5, 3, 7], [2, 9]]. Routes are read as a plain\n"
        "list, one route a line; an empty route is skipped.\n\n"
        "solution_format: 'auto' (tell from the first lines), 'fleetjudge', 'routes'\n"
        "or 'plain', as --solution-format.\n"
        "instance_format: 'auto', 'solomon', 'vrplib', 'lilim' or 'sartori', as\n"
        "--instance-format.\n"
        "convention: 'auto', 'exact', 'truncated' or 'rounded', as --convention: whose\n"
        "late stops count; 'auto' takes the one the declared cost matches, else exact.\n\n"
        "Returns json.loads() of what `fleetjudge-report --json` prints for the same\n"
        "input; 'instance.path' and 'solution.path' are null for bytes and routes.\n\n"
        "Raises InputError (a ValueError) when the input cannot be judged, OSError\n"
        "(FileNotFoundError for a missing file) when a file cannot be opened or read,\n"
        "TypeError for a route that is not a sequence of integers (naming its index)\n"
        "or for an unknown keyword, and ValueError for an unknown option value.");
}
