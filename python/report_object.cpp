// The report as objects. A Report holds the library's Report and makes each
// attribute's Python object when it is first read: a caller that reads only
// `feasible` and `distance` pays for no list. Its parts (a violation, a
// route, a stop) share the library's Report with it, not the Python object,
// so a part may outlive the Report it came from and no cycle is made.
#include "report_object.h"

#include <pybind11/pybind11.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace py = pybind11;

namespace fleetjudge_python {

py::str latin1(const std::string &bytes) {
  PyObject *text =
      PyUnicode_DecodeLatin1(bytes.data(), static_cast<Py_ssize_t>(bytes.size()), nullptr);
  if (text == nullptr) throw py::error_already_set();
  return py::reinterpret_steal<py::str>(text);
}

namespace {

using Shared = std::shared_ptr<const fleetjudge::Report>;

// One part of a report, held with the report it lies in.
template <class T> struct Part {
  Shared owner;
  const T *item;
};

struct ReportObject {
  Shared report;
  py::object summary, routes, violations, notes; // made when first read
};

// Each of the document's values as the Python value json.loads() gives for
// it, a record as its Part.
py::object value(const Shared &, bool v) { return py::bool_(v); }
py::object value(const Shared &, int v) { return py::int_(v); }
py::object value(const Shared &, int64_t v) { return py::int_(v); }
py::object value(const Shared &, double v) { return py::float_(v); }
py::object value(const Shared &, const std::string &v) { return py::str(v); }
template <class T> py::object value(const Shared &owner, const T &record) {
  return py::cast(Part<T>{owner, &record});
}
template <class T> py::object value(const Shared &owner, const std::optional<T> &v) {
  return v ? value(owner, *v) : py::none();
}
template <class T> py::list value(const Shared &owner, const std::vector<T> &items) {
  py::list list(items.size());
  for (size_t i = 0; i < items.size(); ++i) list[i] = value(owner, items[i]);
  return list;
}

template <class T> using PartClass = py::class_<Part<T>>;

template <class T, class M> void field(PartClass<T> &c, const char *name, M T::*member) {
  c.def_property_readonly(name,
                          [member](const Part<T> &p) { return value(p.owner, p.item->*member); });
}

py::object float_repr(double v) { return py::repr(py::float_(v)); }

// A violation's figures, in the document's order: whole ones as ints.
py::dict figures(const fleetjudge::Violation &v) {
  py::dict figures;
  for (const fleetjudge::Figure &f : v.figures)
    figures[py::str(f.name)] =
        f.whole ? py::object(py::int_(static_cast<int64_t>(f.value))) : py::float_(f.value);
  return figures;
}

std::string where(const fleetjudge::Violation &v) {
  std::string at;
  if (v.route) at += " on route " + std::to_string(*v.route);
  if (v.position) at += " at position " + std::to_string(*v.position);
  return at;
}

void bind_parts(py::module_ &m) {
  PartClass<fleetjudge::Violation> violation(
      m, "Violation",
      "One breach of the rules: its kind (as the document names it), the route it\n"
      "is on (numbered from 1, None for the solution as a whole), the position of\n"
      "its stop in that route (from 1, None without a stop), the node, and its\n"
      "figures, each also an attribute of its own.\n\n"
      ">>> instance = fleetjudge.Instance('examples/depot100.txt')\n"
      ">>> report = instance.judge([[20, 24, 25, 27, 29, 30, 28, 26, 23, 22, 21]])\n"
      ">>> late = report.violations[0]\n"
      ">>> late.kind, late.route, late.position, late.node\n"
      "('time_window_missed', 1, 5, 29)\n"
      ">>> late.due, round(late.lateness, 2)\n"
      "(181, 127.23)");
  field(violation, "kind", &fleetjudge::Violation::kind);
  field(violation, "route", &fleetjudge::Violation::route);
  field(violation, "position", &fleetjudge::Violation::position);
  field(violation, "node", &fleetjudge::Violation::node);
  violation
      .def_property_readonly(
          "figures", [](const Part<fleetjudge::Violation> &p) { return figures(*p.item); },
          "The figures by name, in the document's order.")
      .def("__getattr__",
           [](const Part<fleetjudge::Violation> &p, const std::string &name) -> py::object {
             for (const fleetjudge::Figure &f : p.item->figures)
               if (f.name == name)
                 return f.whole ? py::object(py::int_(static_cast<int64_t>(f.value)))
                                : py::float_(f.value);
             throw py::attribute_error("a " + p.item->kind + " violation has no figure '" + name +
                                       "'");
           })
      .def("__dir__",
           [](py::object self) {
             py::list names = py::module_::import("builtins").attr("object").attr("__dir__")(self);
             for (const fleetjudge::Figure &f :
                  self.cast<const Part<fleetjudge::Violation> &>().item->figures)
               names.append(py::str(f.name));
             return names;
           })
      .def("__repr__", [](const Part<fleetjudge::Violation> &p) {
        const fleetjudge::Violation &v = *p.item;
        std::string text = "<fleetjudge.Violation " + v.kind + where(v);
        if (v.node) text += ", node " + std::to_string(*v.node);
        for (const fleetjudge::Figure &f : v.figures)
          text += ", " + f.name + " " +
                  (f.whole ? std::to_string(static_cast<int64_t>(f.value))
                           : float_repr(f.value).cast<std::string>());
        return text + ">";
      });

  PartClass<fleetjudge::Stop> stop(
      m, "Stop",
      "A customer's stop on a route: when the vehicle arrives, starts service\n"
      "(after any wait) and leaves, the customer's window, and the load delivered\n"
      "so far on the route, this stop included (with pickups and deliveries, the\n"
      "load on board as the vehicle leaves).");
  field(stop, "node", &fleetjudge::Stop::node);
  field(stop, "arrival", &fleetjudge::Stop::arrival);
  field(stop, "start", &fleetjudge::Stop::start);
  field(stop, "departure", &fleetjudge::Stop::departure);
  field(stop, "ready", &fleetjudge::Stop::ready);
  field(stop, "due", &fleetjudge::Stop::due);
  field(stop, "load", &fleetjudge::Stop::load);
  // With pickups and deliveries: the request's other task, and this one's role.
  stop.def_property_readonly(
      "pair",
      [](const Part<fleetjudge::Stop> &p) -> py::object {
        return p.item->pair ? py::object(py::int_(p.item->pair)) : py::object(py::none());
      },
      "The request's other task, with pickups and deliveries; None otherwise.");
  stop.def_property_readonly(
      "role",
      [](const Part<fleetjudge::Stop> &p) -> py::object {
        if (!p.item->pair) return py::none();
        return py::str(p.item->pickup ? "pickup" : "delivery");
      },
      "'pickup' or 'delivery', with pickups and deliveries; None otherwise.");
  stop.def("__repr__", [](const Part<fleetjudge::Stop> &p) {
    const fleetjudge::Stop &s = *p.item;
    return py::str("<fleetjudge.Stop node {}: arrival {}, start {}, departure {}, load {}>")
        .format(s.node, s.arrival, s.start, s.departure, s.load);
  });

  PartClass<fleetjudge::ConventionFigures> figures_class(
      m, "ConventionFigures",
      "A route's or the solution's figures with every leg cut to one decimal\n"
      "(truncated) or rounded to an integer (rounded).");
  field(figures_class, "distance", &fleetjudge::ConventionFigures::distance);
  field(figures_class, "duration", &fleetjudge::ConventionFigures::duration);
  field(figures_class, "length", &fleetjudge::ConventionFigures::length);
  field(figures_class, "feasible", &fleetjudge::ConventionFigures::feasible);

  PartClass<fleetjudge::RouteReport> route(
      m, "Route",
      "One route's figures (exact), its figures in the truncated and rounded\n"
      "conventions, and its stops.\n\n"
      ">>> instance = fleetjudge.Instance('examples/depot100.txt')\n"
      ">>> route = instance.judge([[20, 24, 25], [67, 65, 63]]).routes[0]\n"
      ">>> route.route, route.customers, round(route.stops[0].arrival, 2)\n"
      "(1, [20, 24, 25], 52.8)");
  field(route, "route", &fleetjudge::RouteReport::route);
  route.def_property_readonly("customers", [](const Part<fleetjudge::RouteReport> &p) {
    py::list customers(p.item->stop_count);
    size_t i = 0;
    for (const fleetjudge::Stop &s : fleetjudge::stops_of(*p.owner, *p.item))
      customers[i++] = py::int_(s.node);
    return customers;
  });
  field(route, "load", &fleetjudge::RouteReport::load);
  field(route, "distance", &fleetjudge::RouteReport::distance);
  field(route, "waiting", &fleetjudge::RouteReport::waiting);
  field(route, "service", &fleetjudge::RouteReport::service);
  field(route, "duration", &fleetjudge::RouteReport::duration);
  field(route, "slack", &fleetjudge::RouteReport::slack);
  field(route, "length", &fleetjudge::RouteReport::length);
  field(route, "feasible", &fleetjudge::RouteReport::feasible);
  field(route, "truncated", &fleetjudge::RouteReport::truncated);
  field(route, "rounded", &fleetjudge::RouteReport::rounded);
  route.def_property_readonly("stops", [](const Part<fleetjudge::RouteReport> &p) {
    py::list stops(p.item->stop_count);
    size_t i = 0;
    for (const fleetjudge::Stop &s : fleetjudge::stops_of(*p.owner, *p.item))
      stops[i++] = value(p.owner, s);
    return stops;
  });
  field(route, "stops_left_out", &fleetjudge::RouteReport::stops_left_out);
  route.def("__repr__", [](const Part<fleetjudge::RouteReport> &p) {
    const fleetjudge::RouteReport &r = *p.item;
    return py::str("<fleetjudge.Route {}: {} customers, distance {}, {}>")
        .format(r.route, r.stop_count, r.distance, r.feasible ? "feasible" : "infeasible");
  });

  PartClass<fleetjudge::Decision> decision(
      m, "Decision", "The convention that decides feasibility, its answer and why it decides.");
  field(decision, "convention", &fleetjudge::Decision::convention);
  field(decision, "feasible", &fleetjudge::Decision::feasible);
  field(decision, "reason", &fleetjudge::Decision::reason);

  PartClass<fleetjudge::DeclaredCost> cost(
      m, "DeclaredCost",
      "The cost a solution file declares, the convention it matches (None for\n"
      "none) and the tolerance of that match.");
  field(cost, "value", &fleetjudge::DeclaredCost::value);
  field(cost, "matches", &fleetjudge::DeclaredCost::matches);
  field(cost, "tolerance", &fleetjudge::DeclaredCost::tolerance);

  PartClass<fleetjudge::Summary> summary(
      m, "Summary",
      "The solution's figures: exact ones, then those of the truncated and\n"
      "rounded conventions, the convention whose late stops count, the decision,\n"
      "and what the file declares.");
  field(summary, "vehicles", &fleetjudge::Summary::vehicles);
  field(summary, "customers_served", &fleetjudge::Summary::customers_served);
  field(summary, "distance", &fleetjudge::Summary::distance);
  field(summary, "duration", &fleetjudge::Summary::duration);
  field(summary, "waiting", &fleetjudge::Summary::waiting);
  field(summary, "service", &fleetjudge::Summary::service);
  field(summary, "feasible", &fleetjudge::Summary::feasible);
  field(summary, "truncated", &fleetjudge::Summary::truncated);
  field(summary, "rounded", &fleetjudge::Summary::rounded);
  field(summary, "convention", &fleetjudge::Summary::convention);
  field(summary, "decision", &fleetjudge::Summary::decision);
  field(summary, "declared_routes", &fleetjudge::Summary::declared_routes);
  field(summary, "declared_total", &fleetjudge::Summary::declared_total);
  field(summary, "declared_cost", &fleetjudge::Summary::declared_cost);
}

// An attribute made once, on first reading.
template <class Make> py::object cached(py::object &slot, Make make) {
  if (!slot) slot = make();
  return slot;
}

// What the decision says, or None where the solution cannot be judged.
template <class Read> py::object decided(const ReportObject &r, Read read) {
  if (!r.report->summary) return py::none();
  return value(r.report, read(*r.report->summary));
}

std::string repr(const ReportObject &r) {
  const fleetjudge::Report &report = *r.report;
  if (!report.summary)
    return "<fleetjudge.Report: not judged, " +
           py::repr(latin1(report.error.value_or(""))).cast<std::string>() + ">";
  const fleetjudge::Summary &s = *report.summary;
  std::string text = std::string("<fleetjudge.Report: ") +
                     (s.decision.feasible ? "feasible" : "infeasible") + " (" +
                     s.decision.convention + "), " + std::to_string(s.vehicles) +
                     (s.vehicles == 1 ? " vehicle" : " vehicles") + ", distance " +
                     float_repr(s.distance).cast<std::string>();
  size_t count = report.violations.size() + static_cast<size_t>(report.violations_left_out);
  if (count == 0) return text + ", no violation>";
  if (report.violations.empty()) return text + ", " + std::to_string(count) + " violations>";
  const fleetjudge::Violation &first = report.violations.front();
  return text + ", " + std::to_string(count) +
         (count == 1 ? " violation: " : " violations, the first ") + first.kind + where(first) +
         ">";
}

} // namespace

py::object report_object(fleetjudge::Report &&report) {
  return py::cast(
      ReportObject{std::make_shared<const fleetjudge::Report>(std::move(report)), {}, {}, {}, {}});
}

void bind_report(py::module_ &m) {
  bind_parts(m);
  py::class_<ReportObject>(
      m, "Report",
      "What the report found for one solution, as Instance.judge() gives it.\n\n"
      "status is 0 (no violation), 1 (violations) or 2 (the solution cannot be\n"
      "judged: error says why). feasible and convention are those of the\n"
      "convention that decides; vehicles, distance and duration are exact. These\n"
      "are None where the solution cannot be judged. summary, routes, violations\n"
      "and notes hold the rest; to_dict() and to_json() give the whole document of\n"
      "fleetjudge-report --json.\n\n"
      ">>> instance = fleetjudge.Instance('examples/depot100.txt')\n"
      ">>> report = instance.judge([[20, 24, 25], [67, 65, 63]])\n"
      ">>> report.status, report.feasible, report.vehicles\n"
      "(1, False, 2)\n"
      ">>> [v.kind for v in report.violations][:1]\n"
      "['not_visited']")
      .def_property_readonly(
          "status", [](const ReportObject &r) { return r.report->status; },
          "0: no violation; 1: violations; 2: the solution cannot be judged.")
      .def_property_readonly(
          "feasible",
          [](const ReportObject &r) {
            return decided(r, [](const fleetjudge::Summary &s) { return s.decision.feasible; });
          },
          "Whether the solution is feasible in the convention that decides; None if not judged.")
      .def_property_readonly(
          "convention",
          [](const ReportObject &r) {
            return decided(r, [](const fleetjudge::Summary &s) { return s.decision.convention; });
          },
          "The convention that decides: 'exact', 'truncated' or 'rounded'; None if not judged.")
      .def_property_readonly(
          "vehicles",
          [](const ReportObject &r) {
            return decided(r, [](const fleetjudge::Summary &s) { return s.vehicles; });
          },
          "The routes used; None if not judged.")
      .def_property_readonly(
          "distance",
          [](const ReportObject &r) {
            return decided(r, [](const fleetjudge::Summary &s) { return s.distance; });
          },
          "The total distance, exact; None if not judged.")
      .def_property_readonly(
          "duration",
          [](const ReportObject &r) {
            return decided(r, [](const fleetjudge::Summary &s) { return s.duration; });
          },
          "The total duration, exact; None if not judged.")
      .def_property_readonly(
          "summary",
          [](ReportObject &r) {
            return cached(r.summary, [&] { return value(r.report, r.report->summary); });
          },
          "The solution's figures in each convention (a Summary); None if not judged.")
      .def_property_readonly(
          "routes",
          [](ReportObject &r) {
            return cached(r.routes, [&] { return value(r.report, r.report->routes); });
          },
          "Each route's figures and stops, a list of Route.")
      .def_property_readonly(
          "violations",
          [](ReportObject &r) {
            return cached(r.violations, [&] { return value(r.report, r.report->violations); });
          },
          "Every violation found, a list of Violation.")
      .def_property_readonly(
          "notes",
          [](ReportObject &r) {
            return cached(r.notes, [&] {
              py::list notes;
              for (const std::string &note : r.report->notes) notes.append(latin1(note));
              return py::object(notes);
            });
          },
          "What the report noticed on the way, a list of str.")
      .def_property_readonly(
          "error",
          [](const ReportObject &r) {
            return r.report->error ? py::object(latin1(*r.report->error)) : py::none();
          },
          "Why the solution cannot be judged (status 2), else None.")
      .def(
          "to_json",
          [](const ReportObject &r) {
            std::string json;
            {
              py::gil_scoped_release released;
              json = fleetjudge::to_json(*r.report);
            }
            return py::str(json);
          },
          "The document fleetjudge-report --json writes for the same inputs, as a str.")
      .def(
          "to_dict",
          [](const ReportObject &r) {
            std::string json;
            {
              py::gil_scoped_release released;
              json = fleetjudge::to_json(*r.report);
            }
            return py::module_::import("json").attr("loads")(py::str(json));
          },
          "json.loads(self.to_json()): the document as dicts and lists.")
      .def("__repr__", &repr);
}

} // namespace fleetjudge_python
