// An instance read once, from a path or bytes, and any number of solutions
// judged against it: from routes in memory, handed to the library as
// routes, or from a solution file's path or bytes. The interpreter is
// released while a file is read, an instance parsed or a solution judged.
#include "instance_object.h"

#include <string>
#include <utility>

#include <fleetjudge/fleetjudge.h>

#include "inputs.h"
#include "report_object.h"
#include "routes.h"

namespace py = pybind11;

namespace fleetjudge_python {

namespace {

struct InstanceObject {
  fleetjudge::Instance instance;
  std::string format; // as asked for; a pickled copy is read the same way
};

InstanceObject read_bytes(const std::string &bytes, const char *path, std::string format) {
  fleetjudge::Instance instance;
  {
    py::gil_scoped_release released;
    instance = fleetjudge::Instance::read(bytes, {format}, path);
  }
  return InstanceObject{std::move(instance), std::move(format)};
}

InstanceObject open_source(py::handle source, const std::string &instance_format) {
  refuse_nul("Instance()", "instance_format", instance_format);
  refuse_text_as_path(source, "instance");
  Input in = take_input(source, "instance", false);
  fleetjudge::Instance instance;
  {
    py::gil_scoped_release released;
    read_input(in);
    if (in.error == 0)
      instance = fleetjudge::Instance::read(in.contents(), {instance_format}, in.path_or_null());
  }
  raise_if_unread(in);
  return InstanceObject{std::move(instance), instance_format};
}

py::object judge(const InstanceObject &self, py::handle solution,
                 const std::string &solution_format, const std::string &convention) {
  refuse_nul("judge()", "solution_format", solution_format);
  refuse_nul("judge()", "convention", convention);
  fleetjudge::ReportOptions options;
  options.solution_format = solution_format;
  options.convention = convention;
  fleetjudge::Report report;
  if (are_routes(solution)) {
    std::vector<fleetjudge::Route> routes = routes_from(solution);
    py::gil_scoped_release released;
    report = fleetjudge::judge(self.instance, routes, options);
  } else {
    refuse_text_as_path(solution, "solution");
    Input in = take_input(solution, "solution", true);
    {
      py::gil_scoped_release released;
      read_input(in);
      if (in.error == 0)
        report = fleetjudge::judge(self.instance, in.contents(), options, in.path_or_null());
    }
    raise_if_unread(in);
  }
  return report_object(std::move(report));
}

py::object path_of(const fleetjudge::Instance &instance) {
  const char *path = instance.path();
  if (path == nullptr) return py::none();
  return py::reinterpret_steal<py::object>(PyUnicode_DecodeFSDefault(path));
}

std::string repr(const InstanceObject &self) {
  const fleetjudge::Instance &i = self.instance;
  std::optional<int> vehicles = i.vehicles();
  return "<fleetjudge.Instance " + py::repr(latin1(i.name())).cast<std::string>() + ": " +
         i.type() + ", " + std::to_string(i.customers()) + " customers, capacity " +
         py::repr(py::float_(i.capacity())).cast<std::string>() + ", " +
         (vehicles ? std::to_string(*vehicles) + " vehicles" : std::string("unlimited fleet")) +
         ">";
}

} // namespace

void bind_instance(py::module_ &m) {
  py::class_<InstanceObject>(
      m, "Instance",
      "Instance(source, *, instance_format='auto')\n\n"
      "An instance, read once, to judge any number of solutions against.\n\n"
      "source is a path (str or os.PathLike) or the file's contents (bytes); a str\n"
      "holding a line break is refused (pass text.encode()). instance_format is\n"
      "'auto' (told from the first lines), 'solomon', 'vrplib', 'lilim' (Li &\n"
      "Lim) or 'sartori' (Sartori & Buriol). Raises InputError (a ValueError)\n"
      "for an instance the report refuses, with the report's error\n"
      "text, and OSError for a file that cannot be read.\n\n"
      "An Instance is immutable: any number of threads may judge against it at\n"
      "once, and judge() releases the interpreter while it works. It pickles with\n"
      "the bytes it was read from, so a multiprocessing pool shares it without\n"
      "reading the file again.\n\n"
      ">>> instance = fleetjudge.Instance('examples/depot100.txt')\n"
      ">>> instance.type, instance.customers, instance.capacity\n"
      "('VRPTW', 100, 200.0)\n"
      ">>> report = instance.judge([[20, 24, 25, 27, 29, 30, 28, 26, 23, 22, 21]])\n"
      ">>> report.status, report.vehicles\n"
      "(1, 1)")
      .def(py::init(&open_source), py::arg("source"), py::kw_only(),
           py::arg("instance_format") = "auto",
           "__init__(self, source, *, instance_format='auto')\n--\n\n"
           "Read an instance from a path or from its contents (bytes).")
      .def("judge", &judge, py::arg("solution"), py::kw_only(), py::arg("solution_format") = "auto",
           py::arg("convention") = "auto",
           "judge(self, solution, *, solution_format='auto', convention='auto')\n--\n\n"
           "Judge one solution against this instance; returns a Report.\n\n"
           "solution is the routes in memory, a sequence of routes, each a sequence of\n"
           "customer numbers, depot excluded (ints, numpy integers, or a 1-D numpy\n"
           "array), such as [[5, 3, 7], [2, 9]]; they are judged as a plain list of\n"
           "them would be, an empty route skipped. Or it is a solution file's path or\n"
           "contents (bytes), in any format the report reads.\n\n"
           "solution_format: 'auto', 'fleetjudge', 'routes' or 'plain' for a file;\n"
           "routes in memory take 'auto' or 'plain'. convention: 'auto', 'exact',\n"
           "'truncated' or 'rounded', whose late stops count.\n\n"
           "A customer number the instance does not have is a violation in the\n"
           "report, as any breach of the rules is. A solution that cannot be judged\n"
           "gives a Report with status 2 and its error. Raises TypeError for a route\n"
           "or a number of another type (naming routes[i][k]), OverflowError for a\n"
           "number beyond 32 bits, ValueError for an unknown option value, and OSError\n"
           "for a file that cannot be read.\n\n"
           ">>> instance = fleetjudge.Instance('examples/depot100.txt')\n"
           ">>> report = instance.judge([[1, 2, 3]], convention='exact')\n"
           ">>> report.feasible, report.distance\n"
           "(False, 132.93780864114797)")
      .def_property_readonly(
          "path", [](const InstanceObject &self) { return path_of(self.instance); },
          "The path it was read from, None for bytes.")
      .def_property_readonly(
          "name", [](const InstanceObject &self) { return latin1(self.instance.name()); },
          "The instance's own name: its first line, or its NAME.")
      .def_property_readonly(
          "type", [](const InstanceObject &self) { return self.instance.type(); },
          "'VRPTW', or 'CVRP' without time windows.")
      .def_property_readonly(
          "format", [](const InstanceObject &self) { return self.instance.format(); },
          "The format it was read in: 'solomon', 'vrplib', 'lilim' or\n'sartori'.")
      .def_property_readonly(
          "customers", [](const InstanceObject &self) { return self.instance.customers(); },
          "The number of customers, the depot not counted.")
      .def_property_readonly(
          "capacity", [](const InstanceObject &self) { return self.instance.capacity(); },
          "Each vehicle's capacity.")
      .def_property_readonly(
          "vehicles",
          [](const InstanceObject &self) -> py::object {
            std::optional<int> vehicles = self.instance.vehicles();
            return vehicles ? py::object(py::int_(*vehicles)) : py::none();
          },
          "The vehicles there are; None where the fleet is unlimited.")
      .def("__repr__", &repr)
      .def(py::pickle(
          [](const InstanceObject &self) {
            std::string_view bytes = self.instance.bytes();
            return py::make_tuple(py::bytes(bytes.data(), bytes.size()), path_of(self.instance),
                                  self.format);
          },
          [](const py::tuple &state) {
            if (state.size() != 3) throw py::value_error("not a pickled fleetjudge.Instance");
            std::string bytes = state[0].cast<std::string>();
            std::string path;
            bool named = !state[1].is_none();
            if (named) {
              Input in = take_input(state[1], "instance", false);
              path = in.path;
            }
            return read_bytes(bytes, named ? path.c_str() : nullptr, state[2].cast<std::string>());
          }));
}

} // namespace fleetjudge_python
