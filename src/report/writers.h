// The writers: the report as text for a person, JSON for programs (json.cpp,
// to_json), or a page with pictures. Each takes the report as a value, built
// once (build.h), and only formats it: the same Report gives the same bytes.
#pragma once

#include <fleetjudge/fleetjudge.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "../findings.h"

// What a report keeps, whatever the size of the files: beyond, it counts.
constexpr size_t ROUTES_KEPT = 10000;      // as many as a solution may declare
constexpr size_t STOPS_KEPT = 100000;      // over all kept routes
constexpr size_t VIOLATIONS_KEPT = 100000; // over all kinds; every kind is counted in full
constexpr size_t DISAGREEMENTS_KEPT = 1000;

// What the writers call the files (nullptr for input that has no path: bytes
// given in memory), and whether they show every route and violation kept.
struct Files {
  const char *instance, *solution;
  bool all = false;
};

void write_text(const fleetjudge::Report &report, const Files &files, std::FILE *out);
// The document of to_json(), written out part by part.
void write_json(const fleetjudge::Report &report, std::FILE *out);
// The page for a person: summary, violations, a route map, a schedule (where
// the instance has time) and the route table in one self-contained file that
// is HTML and well-formed XML alike (html.cpp, html_map.cpp,
// html_schedule.cpp). Needs the stops kept.
void write_html(const fleetjudge::Report &report, const Files &files, std::FILE *out);
void write_html_map(const fleetjudge::Report &report, std::FILE *out);
void write_html_schedule(const fleetjudge::Report &report, std::FILE *out);

// Shared by the text and the page (person.cpp).
// Whether the instance has time beyond its distances: windows, a route
// length limit, or a service time at any node. Without it a route's duration
// is its distance and nothing can be late, so the writers show load, distance
// and capacity and leave out waiting, service, duration, slack and the
// schedule. With service times alone, service and duration still apply;
// waiting and slack come with windows only.
bool has_time(const fleetjudge::Report &report);
bool has_windows(const fleetjudge::Report &report);
const KindInfo &kind_named(const std::string &name);
int64_t violation_count(const fleetjudge::Report &report); // of listed kinds, kept or not

// The lines a person reads for one kind: its kept violations by route and,
// within a route, in visiting order, so that a cause comes before what it
// causes. A route's late stops after its first are summed up in one line:
// `later` of them, the worst `worst` late.
struct Line {
  const fleetjudge::Violation *violation; // or the first of those summed up
  bool first_late;                        // the route's first late stop
  int64_t later;                          // > 0: the line sums up this many later late stops
  double worst;
};
std::vector<Line> lines_of(const fleetjudge::Report &report, const std::string &kind);
std::string describe_line(const Line &line);
// The kept violations of one kind, the worst first, in the order found
// among equals: what a picture labels when it has room for only some.
std::vector<const fleetjudge::Violation *> worst_first(const fleetjudge::Report &report,
                                                       const std::string &kind);
std::vector<int64_t> violations_by_route(const fleetjudge::Report &report); // by route number

// The instance's size, "100 customers" or "100 tasks in 50 requests"; its
// problem and layout where it is not fleetjudge's text (", PDPTW (Li &
// Lim)"); why fleetjudge gives no verdict where it reads neither file.
std::string instance_size(const fleetjudge::Report &report);
std::string problem_and_layout(const fleetjudge::Report &report);
std::string no_verdict_reason(const fleetjudge::Report &report);
// What each convention measures, for under its figures.
const char *conventions_note(const fleetjudge::Report &report);
// The limit as a sentence: "200 (DISTANCE), its travel and its customers'
// service times".
std::string describe_route_limit(const fleetjudge::RouteLimitReport &limit);
// A route's length in the deciding convention, and whether it is above the limit there.
std::string route_length_text(const fleetjudge::Report &report, const fleetjudge::RouteReport &r);
bool too_long_in_decision(const fleetjudge::Report &report, const fleetjudge::RouteReport &r);
// "matches the distance, truncated, within 0.01"
std::string cost_match_text(const fleetjudge::DeclaredCost &cost);
// A figure in tenths, as the truncated convention shows it.
std::string tenths_text(double value);

// Bytes as the Latin-1 characters of the same codes, in UTF-8: how the JSON
// carries what it copies from the input.
std::string latin1(const std::string &bytes);
// Input text as character data or an attribute value: markup characters
// escaped, bytes from 0xA0 as the Latin-1 characters of the same code,
// control characters (XML forbids most; browsers remap 0x80-0x9F) as U+FFFD.
void put_html_text(std::FILE *out, const std::string &bytes);
std::string route_colour(int32_t route); // the route's colour on every picture and in the table
// What a stop's mark says on hover: customer, route, position (1-based, of
// `stops`), arrival, start of service, due, load and how late. Without
// windows, the arrival and the load; without time (`timed`, has_time's
// answer, false), the load and the distance travelled.
std::string stop_title(const fleetjudge::Report &report, const fleetjudge::Stop &s, size_t position,
                       size_t stops, bool timed);
