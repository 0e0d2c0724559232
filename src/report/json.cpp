// The report for programs: one JSON document, schema 1, described in
// fleetjudge-report(1). Member names and order are fixed. The routes and the
// violations are written one element at a time, so that the document never
// has to be held whole.
#include <cstdio>
#include <nlohmann/json.hpp>

#include "../instance/node_table.h"
#include "report.h"

using Json = nlohmann::ordered_json;

namespace {

// Input bytes are copied one to one: each byte becomes the character of the
// same code (Latin-1), so that no file, however odd, breaks the document.
std::string latin1(const std::string &bytes) {
  std::string utf8;
  for (unsigned char c : bytes) {
    if (c < 0x80) {
      utf8 += static_cast<char>(c);
    } else {
      utf8 += static_cast<char>(0xC0 | (c >> 6));
      utf8 += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return utf8;
}

// Doubles are written so that they read back to the same double.
double num(ext v) { return to_double(v); }

void put(const Json &j) {
  // Invalid text cannot occur after latin1(); should it, it is replaced
  // rather than thrown.
  std::string text = j.dump(-1, ' ', false, Json::error_handler_t::replace);
  std::fwrite(text.data(), 1, text.size(), stdout);
}

double tenths(int64_t t) { return static_cast<double>(t) / 10; }

Json stop_json(const Stop &s) {
  return Json{{"node", s.node},        {"arrival", num(s.arrival)},
              {"start", num(s.start)}, {"departure", num(s.departure)},
              {"ready", s.ready},      {"due", s.due},
              {"load", s.load}};
}

Json route_json(const KeptRoute &k) {
  const RouteFigures &r = k.figures;
  Json customers = Json::array(), stops = Json::array();
  for (size_t i = 0; i < k.stop_count; ++i) {
    const Stop &s = record.stops[k.first_stop + i];
    customers.push_back(s.node);
    stops.push_back(stop_json(s));
  }
  Json j{{"route", r.route},
         {"customers", customers},
         {"load", r.load},
         {"distance", num(r.distance)},
         {"waiting", num(r.waiting)},
         {"service", num(r.service)},
         {"duration", num(r.duration)},
         {"slack", num(r.slack)},
         {"truncated",
          {{"distance", tenths(r.truncated_distance)},
           {"duration", tenths(r.truncated_duration)},
           {"feasible", !r.late_truncated}}},
         {"stops", stops}};
  if (k.stops_left_out > 0) j["stops_left_out"] = k.stops_left_out;
  return j;
}

Json violation_json(const Finding &f) {
  // The declared figures belong to the solution as a whole.
  bool whole = is_declared(f.kind) || f.kind == Kind::too_many_vehicles;
  Json j{{"kind", kind_name(f.kind)},
         {"route", whole || f.route == 0 ? Json(nullptr) : Json(f.route)},
         {"node", whole || f.node < 0 ? Json(nullptr) : Json(f.node)}};
  switch (f.kind) {
  case Kind::capacity_exceeded:
    j["load"] = num(f.value);
    j["capacity"] = num(f.limit);
    break;
  case Kind::time_window_missed:
    j["arrival"] = num(f.value);
    j["due"] = num(f.limit);
    j["lateness"] = num(f.excess);
    break;
  case Kind::depot_closed:
    j["return_time"] = num(f.value);
    j["closing_time"] = num(f.limit);
    j["lateness"] = num(f.excess);
    break;
  case Kind::too_many_routes:
  case Kind::too_few_routes:
  case Kind::no_routes:
    j["declared"] = f.declared;
    j["found"] = f.found;
    break;
  case Kind::too_many_vehicles:
    j["vehicles"] = f.declared;
    j["routes"] = f.found;
    break;
  case Kind::total_above_declared:
  case Kind::total_below_declared:
    j["computed"] = num(f.value);
    j["declared"] = num(f.limit);
    j["difference"] = num(f.excess);
    break;
  case Kind::cost_mismatch:
    j["declared"] = num(f.value);
    j["exact"] = num(f.limit);
    j["truncated"] = tenths(static_cast<int64_t>(to_double(f.excess)));
    break;
  default:
    break;
  }
  return j;
}

const char *format_name() {
  const char *names[] = {"fleetjudge", "routes", "plain"};
  return names[static_cast<int>(record.format)];
}

Json summary_json() {
  if (!record.error.empty()) return nullptr;
  Json cost = nullptr;
  if (route_list.has_cost) {
    const char *matches = cost_convention();
    cost = Json{{"value", route_list.cost}, {"matches", matches ? Json(matches) : Json(nullptr)}};
  }
  return Json{{"vehicles", L1},
              {"customers_served", customers_served()},
              {"distance", num(record.distance)},
              {"duration", num(total_cost)},
              {"waiting", num(record.waiting)},
              {"service", num(record.service)},
              {"feasible", feasible()},
              {"truncated",
               {{"distance", tenths(record.truncated_distance)},
                {"duration", tenths(record.truncated_duration)},
                {"feasible", feasible_truncated()}}},
              {"declared_cost", cost}};
}

} // namespace

void write_json(const Files &files) {
  Json verdict{{"status", nullptr}, {"message", nullptr}};
  if (record.has_verdict && record.verdict_status >= 0)
    verdict = Json{{"status", record.verdict_status}, {"message", latin1(record.verdict)}};
  Json notes = Json::array();
  for (const std::string &note : record.notes) notes.push_back(latin1(note));
  Json head{{"schema", 1},
            {"instance",
             {{"path", latin1(files.instance)},
              {"name", latin1(instance_name)},
              {"customers", n > 0 ? n : 0},
              {"capacity", TCap},
              {"vehicles", vehicles}}},
            {"solution", {{"path", latin1(files.solution)}, {"format", format_name()}}},
            {"notes", notes},
            {"verdict", verdict},
            {"error", record.error.empty() ? Json(nullptr) : Json(latin1(record.error))},
            {"summary", summary_json()}};
  std::string text = head.dump(-1, ' ', false, Json::error_handler_t::replace);
  text.pop_back(); // the closing brace: the lists follow
  std::fputs(text.c_str(), stdout);

  std::fputs(",\n\"routes\": [", stdout);
  for (size_t i = 0; i < record.routes.size(); ++i) {
    std::fputs(i ? ",\n" : "\n", stdout);
    put(route_json(record.routes[i]));
  }
  std::printf("],\n\"routes_left_out\": %lld,\n\"violations\": [",
              static_cast<long long>(record.routes_left_out));
  for (size_t i = 0; i < record.violations.size(); ++i) {
    std::fputs(i ? ",\n" : "\n", stdout);
    put(violation_json(record.violations[i]));
  }
  std::printf("],\n\"violations_left_out\": %lld}\n",
              static_cast<long long>(record.violations_left_out));
}
