// The report for programs: one JSON document, schema 2, described in
// fleetjudge-report(1) with its history. Member names and order are fixed. The routes and the
// violations are written one element at a time, so that the document never
// has to be held whole.
#include <cstdio>
#include <nlohmann/json.hpp>

#include "report.h"

using Json = nlohmann::ordered_json;

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

namespace {

// Doubles are written so that they read back to the same double.
double num(ext v) { return to_double(v); }

void put(std::FILE *out, const Json &j) {
  // Invalid text cannot occur after latin1(); should it, it is replaced
  // rather than thrown.
  std::string text = j.dump(-1, ' ', false, Json::error_handler_t::replace);
  std::fwrite(text.data(), 1, text.size(), out);
}

double tenths(int64_t t) { return static_cast<double>(t) / 10; }

// Without time windows (the capacitated VRP) no window closes: its end, and
// the slack it leaves, are null.
Json bounded(const Run &run, Json value) { return run.instance->windows ? value : Json(nullptr); }

Json stop_json(const Run &run, const Stop &s) {
  return Json{{"node", s.node},        {"arrival", num(s.arrival)},
              {"start", num(s.start)}, {"departure", num(s.departure)},
              {"ready", s.ready},      {"due", bounded(run, s.due)},
              {"load", s.load}};
}

// A route is feasible in a convention when it is in time there and breaks
// no other rule (`faults`: its violations other than lateness).
Json route_json(const Report &rep, const KeptRoute &k, int64_t faults) {
  const RouteFigures &r = k.figures;
  bool sound = faults == 0;
  Json customers = Json::array(), stops = Json::array();
  for (size_t i = 0; i < k.stop_count; ++i) {
    const Stop &s = rep.record.stops[k.first_stop + i];
    customers.push_back(s.node);
    stops.push_back(stop_json(rep.run, s));
  }
  Json j{{"route", r.route},
         {"customers", customers},
         {"load", r.load},
         {"distance", num(r.distance)},
         {"waiting", num(r.waiting)},
         {"service", num(r.service)},
         {"duration", num(r.duration)},
         {"slack", bounded(rep.run, num(r.slack))}};
  Json truncated{{"distance", tenths(r.truncated_distance)},
                 {"duration", tenths(r.truncated_duration)}};
  Json rounded{{"distance", static_cast<double>(r.rounded_distance)},
               {"duration", static_cast<double>(r.rounded_duration)}};
  // A route's length, where the instance limits it, in each convention.
  if (rep.run.instance->route_limit.set) {
    j["length"] = num(r.length);
    truncated["length"] = tenths(r.truncated_length);
    rounded["length"] = static_cast<double>(r.rounded_length);
  }
  j["feasible"] = sound && !r.late && !r.too_long;
  truncated["feasible"] = sound && !r.late_truncated && !r.too_long_truncated;
  rounded["feasible"] = sound && !r.late_rounded && !r.too_long_rounded;
  j["truncated"] = truncated;
  j["rounded"] = rounded;
  j["stops"] = stops;
  if (k.stops_left_out > 0) j["stops_left_out"] = k.stops_left_out;
  return j;
}

Json violation_json(const Finding &f) {
  const KindInfo &k = kind_info(f.kind);
  // The declared figures belong to the solution as a whole.
  bool whole = is_declared(f.kind) || f.kind == Kind::too_many_vehicles;
  Json j{{"kind", kind_name(f.kind)},
         {"route", whole || f.route == 0 ? Json(nullptr) : Json(f.route)},
         {"node", whole || f.node < 0 ? Json(nullptr) : Json(f.node)}};
  if (k.arrival_name[0]) j[k.arrival_name] = num(f.arrival);
  if (k.value_name[0]) j[k.value_name] = num(f.value);
  if (k.limit_name[0])
    j[k.limit_name] =
        k.whole_limit ? Json(static_cast<int64_t>(to_double(f.limit))) : Json(num(f.limit));
  // A declared cost's truncated distance is carried in tenths.
  if (k.excess_name[0])
    j[k.excess_name] = f.kind == Kind::cost_mismatch
                           ? tenths(static_cast<int64_t>(to_double(f.excess)))
                           : num(f.excess);
  if (k.declared_name[0]) j[k.declared_name] = f.declared;
  if (k.found_name[0]) j[k.found_name] = f.found;
  if (f.kind == Kind::cost_mismatch) j["tolerance"] = num(f.arrival);
  return j;
}

const char *format_name(const Record &record) {
  const char *names[] = {"fleetjudge", "routes", "plain"};
  return names[static_cast<int>(record.format)];
}

Json summary_json(const Report &rep) {
  if (!rep.record.error.empty()) return nullptr;
  Json cost = nullptr;
  if (rep.run.route_list.has_cost) {
    const char *matches = cost_convention(rep);
    cost = Json{{"value", rep.run.route_list.cost},
                {"matches", matches ? Json(matches) : Json(nullptr)},
                {"tolerance", rep.run.route_list.cost_tolerance}};
  }
  bool declares = rep.record.format == SolutionFormat::fleetjudge;
  return Json{{"vehicles", rep.run.routes_done},
              {"customers_served", customers_served(rep)},
              {"distance", num(rep.record.distance)},
              {"duration", num(rep.run.total_cost)},
              {"waiting", num(rep.record.waiting)},
              {"service", num(rep.record.service)},
              {"feasible", feasible(rep)},
              {"truncated",
               {{"distance", tenths(rep.record.truncated_distance)},
                {"duration", tenths(rep.record.truncated_duration)},
                {"feasible", feasible(rep, Convention::truncated)}}},
              {"rounded",
               {{"distance", static_cast<double>(rep.record.rounded_distance)},
                {"duration", static_cast<double>(rep.record.rounded_duration)},
                {"feasible", feasible(rep, Convention::rounded)}}},
              {"convention", convention_names[static_cast<int>(rep.convention)]},
              {"decision",
               {{"convention", convention_names[static_cast<int>(rep.convention)]},
                {"feasible", feasible(rep, rep.convention)},
                {"reason", rep.reason}}},
              {"declared_routes", declares ? Json(rep.run.declared_routes) : Json(nullptr)},
              {"declared_total", declares && rep.run.declared_routes != -1
                                     ? Json(num(rep.run.declared_total))
                                     : Json(nullptr)},
              {"declared_cost", cost}};
}

// The violations of each route other than its lateness: a customer out of
// range or served twice, the capacity exceeded.
std::vector<int64_t> faults_by_route(const Report &rep) {
  std::vector<int64_t> count(
      rep.record.routes.empty() ? 1 : rep.record.routes.back().figures.route + 1, 0);
  for (const Finding &f : rep.record.violations)
    if ((f.kind == Kind::customer_out_of_range || f.kind == Kind::visited_twice ||
         f.kind == Kind::capacity_exceeded) &&
        f.route > 0 && static_cast<size_t>(f.route) < count.size())
      count[static_cast<size_t>(f.route)]++;
  return count;
}

// The longest a route may be, and what its length counts.
Json limit_json(const RouteLimit &limit) {
  return Json{{"key", limit.key},
              {"value", num(limit.value)},
              {"counts", limit.with_service ? "travel and service" : "travel"}};
}

// A path, or null for input given as bytes.
Json path_json(const char *path) { return path ? Json(latin1(path)) : Json(nullptr); }

} // namespace

void write_json(const Report &rep, const Files &files, std::FILE *out) {
  Json verdict{{"status", nullptr}, {"message", nullptr}};
  if (rep.record.has_verdict && rep.record.verdict_status >= 0)
    verdict = Json{{"status", rep.record.verdict_status}, {"message", latin1(rep.record.verdict)}};
  Json notes = Json::array();
  for (const std::string &note : rep.record.notes) notes.push_back(latin1(note));
  Json head{
      {"schema", 2},
      {"instance",
       {{"path", path_json(files.instance)},
        {"name", latin1(rep.run.instance->name)},
        {"customers", rep.run.instance->customer_count > 0 ? rep.run.instance->customer_count : 0},
        {"capacity", rep.run.instance->capacity},
        {"vehicles",
         rep.run.instance->fleet_limited ? Json(rep.run.instance->vehicles) : Json(nullptr)},
        {"format", rep.run.instance->vrplib ? "vrplib" : "solomon"},
        {"type", rep.run.instance->windows ? "VRPTW" : "CVRP"}}},
      {"solution", {{"path", path_json(files.solution)}, {"format", format_name(rep.record)}}},
      {"notes", notes},
      {"verdict", verdict},
      {"error", rep.record.error.empty() ? Json(nullptr) : Json(latin1(rep.record.error))},
      {"summary", summary_json(rep)}};
  if (rep.run.instance->route_limit.set)
    head["instance"]["route_limit"] = limit_json(rep.run.instance->route_limit);
  std::string text = head.dump(-1, ' ', false, Json::error_handler_t::replace);
  text.pop_back(); // the closing brace: the lists follow
  std::fputs(text.c_str(), out);

  std::fputs(",\n\"routes\": [", out);
  std::vector<int64_t> faults = faults_by_route(rep);
  for (size_t i = 0; i < rep.record.routes.size(); ++i) {
    std::fputs(i ? ",\n" : "\n", out);
    const KeptRoute &k = rep.record.routes[i];
    put(out, route_json(rep, k, faults[static_cast<size_t>(k.figures.route)]));
  }
  std::fprintf(out, "],\n\"routes_left_out\": %lld,\n\"violations\": [",
               static_cast<long long>(rep.record.routes_left_out));
  for (size_t i = 0; i < rep.record.violations.size(); ++i) {
    std::fputs(i ? ",\n" : "\n", out);
    put(out, violation_json(rep.record.violations[i]));
  }
  std::fprintf(out, "],\n\"violations_left_out\": %lld}\n",
               static_cast<long long>(rep.record.violations_left_out));
}
