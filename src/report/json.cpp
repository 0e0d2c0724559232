// The report for programs: one JSON document, schema 2, described in
// fleetjudge-report(1) with its history. Member names and order are fixed.
// It only formats the report's values (build.cpp).
#include <cstdio>
#include <nlohmann/json.hpp>

#include "build.h"
#include "json.h"
#include "report.h"

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

void put(std::string &out, const Json &j) {
  // Invalid text cannot occur after latin1(); should it, it is replaced
  // rather than thrown.
  out += j.dump(-1, ' ', false, Json::error_handler_t::replace);
}

template <class T> Json or_null(const std::optional<T> &value) {
  return value ? Json(*value) : Json(nullptr);
}
Json text_or_null(const std::optional<std::string> &text) {
  return text ? Json(latin1(*text)) : Json(nullptr);
}

Json stop_json(const fleetjudge::Stop &s) {
  Json j{
      {"node", s.node},   {"arrival", s.arrival},  {"start", s.start}, {"departure", s.departure},
      {"ready", s.ready}, {"due", or_null(s.due)}, {"load", s.load}};
  if (s.pair != 0) { // with pickups and deliveries only
    j["pair"] = s.pair;
    j["role"] = s.pickup ? "pickup" : "delivery";
  }
  return j;
}

Json in_convention_json(const fleetjudge::ConventionFigures &c) {
  Json j{{"distance", c.distance}, {"duration", c.duration}};
  if (c.length) j["length"] = *c.length;
  j["feasible"] = c.feasible;
  return j;
}

Json route_json(const fleetjudge::Report &report, const fleetjudge::RouteReport &r) {
  Json customers = Json::array(), stops = Json::array();
  for (const fleetjudge::Stop &s : fleetjudge::stops_of(report, r)) {
    customers.push_back(s.node);
    stops.push_back(stop_json(s));
  }
  Json j{{"route", r.route},       {"customers", customers},   {"load", r.load},
         {"distance", r.distance}, {"waiting", r.waiting},     {"service", r.service},
         {"duration", r.duration}, {"slack", or_null(r.slack)}};
  if (r.length) j["length"] = *r.length;
  j["feasible"] = r.feasible;
  j["truncated"] = in_convention_json(r.truncated);
  j["rounded"] = in_convention_json(r.rounded);
  j["stops"] = stops;
  if (r.stops_left_out > 0) j["stops_left_out"] = r.stops_left_out;
  return j;
}

Json violation_json(const fleetjudge::Violation &v) {
  Json j{{"kind", v.kind},
         {"route", or_null(v.route)},
         {"position", or_null(v.position)},
         {"node", or_null(v.node)}};
  for (const fleetjudge::Figure &f : v.figures)
    j[f.name] = f.whole ? Json(static_cast<int64_t>(f.value)) : Json(f.value);
  return j;
}

Json summary_json(const std::optional<fleetjudge::Summary> &summary) {
  if (!summary) return nullptr;
  const fleetjudge::Summary &s = *summary;
  Json cost = nullptr;
  if (s.declared_cost)
    cost = Json{{"value", s.declared_cost->value},
                {"matches", or_null(s.declared_cost->matches)},
                {"tolerance", s.declared_cost->tolerance}};
  return Json{{"vehicles", s.vehicles},
              {"customers_served", s.customers_served},
              {"distance", s.distance},
              {"duration", s.duration},
              {"waiting", s.waiting},
              {"service", s.service},
              {"feasible", s.feasible},
              {"truncated", in_convention_json(s.truncated)},
              {"rounded", in_convention_json(s.rounded)},
              {"convention", s.convention},
              {"decision",
               {{"convention", s.decision.convention},
                {"feasible", s.decision.feasible},
                {"reason", s.decision.reason}}},
              {"declared_routes", or_null(s.declared_routes)},
              {"declared_total", or_null(s.declared_total)},
              {"declared_cost", cost}};
}

// Everything but the routes and the violations, in the document's order.
Json head_json(const fleetjudge::Report &report) {
  Json notes = Json::array();
  for (const std::string &note : report.notes) notes.push_back(latin1(note));
  const fleetjudge::InstanceReport &instance = report.instance;
  Json instance_json{{"path", text_or_null(instance.path)},
                     {"name", latin1(instance.name)},
                     {"customers", instance.customers},
                     {"capacity", instance.capacity},
                     {"vehicles", or_null(instance.vehicles)},
                     {"format", instance.format},
                     {"type", instance.type}};
  if (instance.route_limit)
    instance_json["route_limit"] = Json{{"key", instance.route_limit->key},
                                        {"value", instance.route_limit->value},
                                        {"counts", instance.route_limit->counts}};
  return Json{{"schema", report.schema},
              {"instance", instance_json},
              {"solution",
               {{"path", text_or_null(report.solution.path)}, {"format", report.solution.format}}},
              {"notes", notes},
              {"verdict",
               {{"status", or_null(report.verdict.status)},
                {"message", text_or_null(report.verdict.message)}}},
              {"error", text_or_null(report.error)},
              {"summary", summary_json(report.summary)}};
}

} // namespace

Json document_json(const fleetjudge::Report &report, bool routes) {
  Json doc = head_json(report);
  if (routes) {
    Json list = Json::array();
    for (const fleetjudge::RouteReport &r : report.routes) list.push_back(route_json(report, r));
    doc["routes"] = std::move(list);
  }
  doc["routes_left_out"] = report.routes_left_out;
  Json violations = Json::array();
  for (const fleetjudge::Violation &v : report.violations) violations.push_back(violation_json(v));
  doc["violations"] = std::move(violations);
  doc["violations_left_out"] = report.violations_left_out;
  return doc;
}

// The head as one line, then the routes and the violations one a line, each
// handed to `emit` as it is made: the program writes them out as they come,
// and never holds the whole document.
template <class Emit> static void each_part(const fleetjudge::Report &report, Emit &&emit) {
  std::string part;
  put(part, head_json(report));
  part.pop_back(); // the closing brace: the lists follow
  emit(part + ",\n\"routes\": [");
  for (size_t i = 0; i < report.routes.size(); ++i) {
    part = i ? ",\n" : "\n";
    put(part, route_json(report, report.routes[i]));
    emit(part);
  }
  emit("],\n\"routes_left_out\": " + std::to_string(report.routes_left_out) +
       ",\n\"violations\": [");
  for (size_t i = 0; i < report.violations.size(); ++i) {
    part = i ? ",\n" : "\n";
    put(part, violation_json(report.violations[i]));
    emit(part);
  }
  emit("],\n\"violations_left_out\": " + std::to_string(report.violations_left_out) + "}\n");
}

std::string fleetjudge::to_json(const Report &report) {
  std::string out;
  each_part(report, [&out](const std::string &part) { out += part; });
  return out;
}

void write_json(const fleetjudge::Report &report, std::FILE *out) {
  each_part(report,
            [out](const std::string &part) { std::fwrite(part.data(), 1, part.size(), out); });
}
