#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <pthread.h>
#include <system_error>

#include "../instance/vrplib.h"
#include "../model.h"
#include "../solution/solution.h"
#include "alongside.h"
#include "causes.h"
#include "report.h"

namespace {

ReportRun &of(void *context) { return *static_cast<ReportRun *>(context); }

void close_verdict(void *context, int status) {
  Record &record = of(context).record;
  if (record.verdict_status < 0) record.verdict_status = status;
}

void say_to_verdict(void *context, const char *text) {
  Record &record = of(context).record;
  if (record.verdict_status < 0) record.verdict += text;
}

void list(Record &record, const Finding &f) {
  record.kind_count[static_cast<int>(f.kind)]++;
  if (!is_listed(f.kind)) return;
  if (record.violations.size() < VIOLATIONS_KEPT)
    record.violations.push_back(f);
  else
    record.violations_left_out++;
}

bool is_lateness(Kind kind) {
  return kind == Kind::time_window_missed || kind == Kind::depot_closed;
}

// Whether the convention may decide, so that its lateness is held for the
// end. Under auto, a solution that declares its total (fleetjudge's format)
// is judged in exact distances.
bool may_decide(const ReportRun &rep, Convention c) {
  if (!rep.automatic) return rep.convention == c;
  return c == Convention::exact || !rep.run.declared;
}
// Whether the stops where `c` and the exact convention disagree may be listed.
bool may_be_compared(const ReportRun &rep, Convention c) {
  if (!rep.automatic) return compared(rep) == c;
  return c == Convention::truncated || !rep.run.declared;
}

// The kinds each convention judges in its own arithmetic: lateness and
// route lengths.
bool by_convention(Kind kind) { return is_lateness(kind) || kind == Kind::route_too_long; }
int held_index(Kind kind) {
  return kind == Kind::time_window_missed ? 0 : kind == Kind::depot_closed ? 1 : 2;
}

// Lateness or a route length in a convention, held with its place among the
// other violations.
void hold_late(Record &record, Convention c, const Finding &f) {
  Record::ByConvention &held = record.by_convention[static_cast<int>(c)];
  held.late_count[held_index(f.kind)]++;
  if (held.late.size() >= VIOLATIONS_KEPT) return;
  held.late.push_back(f);
  held.after.push_back(static_cast<int64_t>(record.violations.size()) + record.violations_left_out);
}

void keep(void *context, const Finding &f) {
  ReportRun &rep = of(context);
  Record &record = rep.record;
  // Lateness and route lengths in the exact convention; the others' are
  // taken from the figures of the stops and routes, below.
  if (!by_convention(f.kind))
    list(record, f);
  else if (may_decide(rep, Convention::exact))
    hold_late(record, Convention::exact, f);
  if (ends_check(f.kind) && record.verdict_status < 0) {
    record.verdict += message(f);
    close_verdict(context, 1);
  }
}

// A late stop or return in a convention other than the exact one.
void hold_late(Record &record, Convention c, Kind kind, int32_t route, int64_t node,
               int32_t position, double arrival, double at, int32_t due) {
  Finding f{kind, route, node};
  f.position = position;
  f.arrival = arrival;
  f.value = at;
  f.limit = due;
  f.excess = static_cast<ext>(at) - due;
  hold_late(record, c, f);
}

void keep_fault(void *context, const char *text) {
  ReportRun &rep = of(context);
  Record &record = rep.record;
  say_to_verdict(context, text);
  close_verdict(context, 1);
  if (record.error.empty()) record.error = error_text(rep.run, text);
}

void keep_disagreement(Record::ByConvention &with, const Stop &s) {
  if (with.disagreements.size() < DISAGREEMENTS_KEPT)
    with.disagreements.push_back(s);
  else
    with.disagreements_left_out++;
}

// A stop's or return's lateness in the conventions other than the exact one.
void hold_lateness(ReportRun &rep, Kind kind, const Stop &s, int64_t node) {
  for (Convention c : {Convention::truncated, Convention::rounded}) {
    Record::ByConvention &with = rep.record.by_convention[static_cast<int>(c)];
    if (may_decide(rep, c) && late_in(s, c))
      hold_late(rep.record, c, kind, s.route, node,
                kind == Kind::depot_closed ? 0 : s.written_position, arrival_in(s, c),
                start_in(s, c), s.due);
    if (may_be_compared(rep, c) && s.late != late_in(s, c)) keep_disagreement(with, s);
  }
}

// A stop as the report gives it.
fleetjudge::Stop public_stop(const Stop &s, const InstanceData &instance) {
  fleetjudge::Stop out;
  bool windows = instance.windows;
  if (instance.pickup_delivery()) {
    const Task &task = instance.tasks[static_cast<size_t>(s.node)];
    out.pair = task.partner;
    out.pickup = task.role == Role::pickup;
  }
  out.node = s.node;
  out.arrival = s.arrival;
  out.start = s.start;
  out.departure = s.departure;
  out.ready = s.ready;
  if (windows) out.due = s.due;
  out.load = s.load;
  out.route = s.route;
  out.position = s.position;
  out.late = s.late;
  out.late_by = s.late_by;
  return out;
}

// A stop beyond the limit is counted when its route is done.
void keep_stop(void *context, const Stop &s) {
  ReportRun &rep = of(context);
  Record &record = rep.record;
  for (Convention c : {Convention::exact, Convention::truncated, Convention::rounded})
    record.late[static_cast<int>(c)] |= late_in(s, c);
  hold_lateness(rep, Kind::time_window_missed, s, s.node);
  if (rep.keep_stops && record.stops.size() < STOPS_KEPT)
    record.stops.push_back(public_stop(s, *rep.run.instance));
}

// A route as the report gives it; feasible in a convention where it is in
// time there and within the length limit, until the report finds any other
// violation of it.
fleetjudge::RouteReport public_route(const RouteFigures &r, bool windows, bool limited) {
  fleetjudge::RouteReport out;
  out.route = r.route;
  out.served = r.customers;
  out.load = r.load;
  out.distance = to_double(r.distance);
  out.waiting = to_double(r.waiting);
  out.service = to_double(r.service);
  out.duration = to_double(r.duration);
  if (windows) out.slack = to_double(r.slack);
  out.truncated.distance = static_cast<double>(r.truncated_distance) / 10;
  out.truncated.duration = static_cast<double>(r.truncated_duration) / 10;
  out.rounded.distance = static_cast<double>(r.rounded_distance);
  out.rounded.duration = static_cast<double>(r.rounded_duration);
  if (limited) {
    out.length = to_double(r.length);
    out.truncated.length = static_cast<double>(r.truncated_length) / 10;
    out.rounded.length = static_cast<double>(r.rounded_length);
  }
  out.too_long = r.too_long;
  out.truncated.too_long = r.too_long_truncated;
  out.rounded.too_long = r.too_long_rounded;
  out.return_late = r.return_late;
  out.feasible = !r.late && !r.too_long;
  out.truncated.feasible = !r.late_truncated && !r.too_long_truncated;
  out.rounded.feasible = !r.late_rounded && !r.too_long_rounded;
  return out;
}

// A route above the length limit in the conventions other than the exact one.
void hold_too_long(ReportRun &rep, const RouteFigures &r) {
  for (Convention c : {Convention::truncated, Convention::rounded}) {
    bool cut = c == Convention::truncated;
    if (!may_decide(rep, c) || !(cut ? r.too_long_truncated : r.too_long_rounded)) continue;
    Finding f{Kind::route_too_long, r.route, -1};
    f.value =
        cut ? static_cast<double>(r.truncated_length) / 10 : static_cast<double>(r.rounded_length);
    f.limit = rep.run.instance->route_limit.value;
    f.excess = f.value - f.limit;
    hold_late(rep.record, c, f);
  }
}

void keep_route(void *context, const RouteFigures &r) {
  ReportRun &rep = of(context);
  Record &record = rep.record;
  if (rep.run.instance->route_limit.set) {
    record.too_long[static_cast<int>(Convention::exact)] |= r.too_long;
    record.too_long[static_cast<int>(Convention::truncated)] |= r.too_long_truncated;
    record.too_long[static_cast<int>(Convention::rounded)] |= r.too_long_rounded;
    hold_too_long(rep, r);
  }
  record.waiting += r.waiting;
  record.service += r.service;
  record.truncated_duration += r.truncated_duration;
  record.rounded_duration += r.rounded_duration;
  // The return to the depot, as a stop at node 0.
  const Customer &depot = rep.run.instance->customers[0];
  Stop back{};
  back.route = r.route;
  back.arrival = back.start = back.departure = to_double(r.duration);
  back.ready = depot.ready;
  back.due = depot.due;
  back.load = r.load;
  back.arrival_tenths = back.start_tenths = r.truncated_duration;
  back.arrival_rounded = back.start_rounded = r.rounded_duration;
  back.late = r.return_late;
  back.late_truncated = r.return_late_truncated;
  back.late_rounded = r.return_late_rounded;
  for (Convention c : {Convention::exact, Convention::truncated, Convention::rounded})
    record.late[static_cast<int>(c)] |= late_in(back, c);
  hold_lateness(rep, Kind::depot_closed, back, rep.run.last_node);
  size_t kept_stops = record.stops.size() - record.route_first_stop;
  if (record.routes.size() < ROUTES_KEPT) {
    record.routes.push_back(
        public_route(r, rep.run.instance->windows, rep.run.instance->route_limit.set));
    fleetjudge::RouteReport &kept = record.routes.back();
    kept.first_stop = record.route_first_stop;
    kept.stop_count = kept_stops;
    kept.stops_left_out = rep.keep_stops ? r.customers - static_cast<int64_t>(kept_stops) : 0;
  } else {
    record.routes_left_out++;
    record.stops.resize(record.route_first_stop); // the stops of a route not kept
  }
  record.route_first_stop = record.stops.size();
}

Consumer recording(ReportRun *rep) {
  return Consumer{rep, say_to_verdict, keep, keep_fault, close_verdict, keep_stop, keep_route};
}

// The convention asked for, or under auto the one the declared cost matches,
// else exact; with the reason.
void decide(ReportRun &rep) {
  if (!rep.automatic) {
    rep.reason = "asked for with --convention";
    return;
  }
  static const char distance_in[][64] = {
      "the exact distance", "the distance with every arc cut to one decimal",
      "the distance with every arc rounded to the nearest integer"};
  const RouteListNotes &list = rep.run.route_list;
  const char *matches = list.has_cost ? cost_convention(rep) : nullptr;
  rep.convention = Convention::exact;
  if (rep.record.format == SolutionFormat::fleetjudge)
    rep.reason = "the solution is in fleetjudge's format, which declares the exact duration";
  else if (!list.has_cost)
    rep.reason = "the solution declares no cost";
  else if (matches == nullptr)
    rep.reason = "the declared cost " + shortest(list.cost) + " matches no distance";
  else if (choose_convention(matches, rep.convention))
    rep.reason = "the declared cost " + shortest(list.cost) + " is " +
                 distance_in[static_cast<int>(rep.convention)];
}

// The deciding convention's lateness among the other violations, each where
// it was found, and the stops where it disagrees with the exact one; what
// the other conventions held is let go.
void settle(Record &record, Convention c) {
  Record::ByConvention &held = record.by_convention[static_cast<int>(c)];
  record.kind_count[static_cast<int>(Kind::time_window_missed)] = held.late_count[0];
  record.kind_count[static_cast<int>(Kind::depot_closed)] = held.late_count[1];
  record.kind_count[static_cast<int>(Kind::route_too_long)] = held.late_count[2];
  int64_t found = static_cast<int64_t>(record.violations.size()) + record.violations_left_out +
                  held.late_count[0] + held.late_count[1] + held.late_count[2];
  // Both lists hold the first ones found of their kinds, so the first
  // VIOLATIONS_KEPT of the merged list are the first found of all.
  std::vector<Finding> merged;
  merged.reserve(std::min(VIOLATIONS_KEPT, record.violations.size() + held.late.size()));
  size_t next_late = 0;
  for (size_t i = 0; i <= record.violations.size() && merged.size() < VIOLATIONS_KEPT; ++i) {
    for (; next_late < held.late.size() && held.after[next_late] <= static_cast<int64_t>(i) &&
           merged.size() < VIOLATIONS_KEPT;
         ++next_late)
      merged.push_back(held.late[next_late]);
    if (i < record.violations.size() && merged.size() < VIOLATIONS_KEPT)
      merged.push_back(record.violations[i]);
  }
  record.violations = std::move(merged);
  record.violations_left_out = found - static_cast<int64_t>(record.violations.size());
  Record::ByConvention &with =
      record.by_convention[static_cast<int>(c == Convention::exact ? Convention::truncated : c)];
  record.disagreements = std::move(with.disagreements);
  record.disagreements_left_out = with.disagreements_left_out;
  for (Record::ByConvention &b : record.by_convention) b = Record::ByConvention{};
}

} // namespace

// The report's own message names the file and the line where the checker's
// may not ("...is not a proper number").
static std::string where(const Run &run, const char *text) {
  const InputFile *file = run.reading;
  if (file == nullptr || file->line == 0) return text;
  std::string named = std::string(file->kind) + " file " + file->path + ": ";
  std::string line = "line " + std::to_string(file->line) + ": ";
  if (std::strncmp(text, named.c_str(), named.size()) != 0) return named + line + text;
  if (std::strncmp(text + named.size(), "line ", 5) == 0) return text;
  return named + line + (text + named.size());
}

std::string error_text(const Run &run, const char *text) {
  const std::string &written = run.fault_as_written;
  std::string error = where(run, written.empty() ? text : written.c_str());
  while (!error.empty() && (error.back() == '\n' || error.back() == ' ')) error.pop_back();
  return error;
}

ReportRun::ReportRun(bool keep, bool reads_files)
    : run(recording(this), false, reads_files), keep_stops(keep) {}

namespace {

const char *const kind_of_file[2] = {"instance", "solution"};

void note_marks(Record &record, const bool marks[2]) {
  for (int k = 0; k < 2; ++k)
    if (marks[k])
      record.notes.push_back(std::string("the ") + kind_of_file[k] +
                             " begins with a byte-order mark (EF BB BF): skipped here; fleetjudge "
                             "itself reads it as text");
}

void note_crlf(Record &record) {
  record.notes.push_back("the instance has CR LF line ends: read here as LF; fleetjudge itself "
                         "does not accept them (convert with tr -d '\\r')");
}

// Once the phases are done: the checker's verdict (`aside`, where it ran a
// run of its own), the cost rule, the notes, and the convention that decides.
void conclude(ReportRun &rep, Inputs &in, const InstanceHead &head,
              const fleetjudge::Verdict &aside) {
  Record &record = rep.record;
  record.format = in.format;
  record.notes.insert(record.notes.end(), rep.run.instance->notes.begin(),
                      rep.run.instance->notes.end());
  if (in.format != SolutionFormat::fleetjudge || in.instance_format != InstanceFormat::solomon) {
    // Nothing to keep: fleetjudge reads neither this solution format nor
    // this instance format.
    record.has_verdict = false;
    record.verdict.clear();
    record.verdict_status = 0;
  } else if (aside.status >= 0) {
    record.verdict = aside.output;
    record.verdict_status = aside.status;
  }
  if (in.guess) record.notes.push_back(format_note(in.format, in.why));
  point_at_causes(rep, in, head);
  note_what_was_read(rep);
  decide(rep);
  settle(record, rep.convention);
  if (rep.automatic && record.error.empty())
    record.notes.push_back(std::string("the ") +
                           convention_names[static_cast<int>(rep.convention)] +
                           " convention decides: " + rep.reason);
}

} // namespace

void judge(ReportRun &rep, Inputs &in, bool in_memory) {
  Record &record = rep.record;
  const bool marks[2] = {begins_with_mark(in.instance), begins_with_mark(in.solution)};
  std::string_view head = look_ahead(in.instance, FORMAT_LOOK_AHEAD);
  if (marks[0]) head.remove_prefix(BYTE_ORDER_MARK.size());
  in.instance_format = instance_format_of(rep.instance_choice, head);
  InstanceHead instance_head = instance_head_of(head);
  // The checker reads Solomon text only, and no CR LF line ends.
  bool solomon = in.instance_format == InstanceFormat::solomon;
  bool crlf = solomon && has_crlf(head);
  bool checker_may_read = solomon && (in.guess || in.format == SolutionFormat::fleetjudge);
  // Where the checker reads the files otherwise than the report does, its
  // verdict comes from a run of its own.
  bool read_otherwise = crlf || marks[0] || marks[1];
  fleetjudge::Verdict aside{-1, {}};
  if (crlf) {
    note_crlf(record);
    in.instance.crlf_as_lf = true;
  }
  note_marks(record, marks);
  if (read_otherwise && checker_may_read && !in_memory) {
    aside = check_alongside(rep, in, marks);
  } else {
    skip_mark(in.instance, marks[0]);
    skip_mark(in.solution, marks[1]);
    run_phases(rep.run, in);
    if (read_otherwise && checker_may_read && in.format == SolutionFormat::fleetjudge) {
      Inputs again;
      use_memory(again.instance, "instance", in.instance.path, in.instance.memory);
      use_memory(again.solution, "solution", in.solution.path, in.solution.memory);
      aside = check_inputs(again);
    }
  }
  conclude(rep, in, instance_head, aside);
}

void judge_against(ReportRun &rep, const fleetjudge::ReadInstance &instance, Inputs &in) {
  Record &record = rep.record;
  const bool marks[2] = {instance.mark, begins_with_mark(in.solution)};
  in.instance_format = instance.data.format;
  bool checker_may_read = in.instance_format == InstanceFormat::solomon &&
                          (in.guess || in.format == SolutionFormat::fleetjudge);
  bool read_otherwise = instance.crlf || marks[0] || marks[1];
  if (instance.crlf) note_crlf(record);
  note_marks(record, marks);
  skip_mark(in.solution, marks[1]);
  if (in.routes != nullptr && rep.keep_stops) { // their number is known: no growing
    size_t stops = 0;
    for (const std::vector<int> &route : *in.routes) stops += route.size();
    record.stops.reserve(std::min(stops, STOPS_KEPT));
    record.routes.reserve(std::min(in.routes->size(), ROUTES_KEPT));
  }
  Run &run = rep.run;
  run.instance = &instance.data;
  run.instance_read = true;
  for (const InstanceEvent &e : instance.events)
    if (e.text.empty())
      found(run, e.finding);
    else
      say(run, e.text.c_str());
  solution_phases(run, in);
  fleetjudge::Verdict aside{-1, {}};
  if (read_otherwise && checker_may_read && in.format == SolutionFormat::fleetjudge) {
    Inputs again;
    use_memory(again.instance, "instance", instance.file_name, instance.bytes);
    use_memory(again.solution, "solution", in.solution.path, in.solution.memory);
    aside = check_inputs(again);
  }
  conclude(rep, in, instance.head, aside);
}

int64_t customers_served(const ReportRun &rep) {
  int64_t served = 0;
  for (int64_t i = 1; i <= rep.run.instance->customer_count; ++i) served += rep.run.visits[i] > 0;
  return served;
}

// Late stops and returns, and routes' lengths, are judged in each
// convention's own arithmetic; the screening's distances are exact, so its lists of customers no
// vehicle can reach in time count only in the exact convention.
bool feasible(const ReportRun &rep, Convention c) {
  if (rep.record.late[static_cast<int>(c)] || rep.record.too_long[static_cast<int>(c)])
    return false;
  for (int k = 0; k < KIND_COUNT; ++k) {
    Kind kind = Kind(k);
    if (by_convention(kind) || (c != Convention::exact && (kind == Kind::unreachable_customer ||
                                                           kind == Kind::cannot_return)))
      continue;
    if (rep.record.kind_count[k] > 0 && is_listed(kind) && !is_declared(kind)) return false;
  }
  return true;
}

std::string in_convention(int64_t units, Convention c) {
  long long u = units;
  return c == Convention::truncated ? format("%lld.%lld", u / 10, u % 10) : format("%lld", u);
}

std::string describe_disagreement(const ReportRun &rep, const Stop &s) {
  Convention other = compared(rep);
  std::string where = s.node == 0 ? "return to the depot" : format("node %d", s.node);
  int64_t units = other == Convention::truncated ? s.start_tenths : s.start_rounded;
  return format("route %d, %s: at %.4f exact, %s %s, due %d", s.route, where.c_str(), s.start,
                in_convention(units, other).c_str(), convention_names[static_cast<int>(other)],
                s.due);
}

// A time given in each convention, in the one asked for.
static double in(Convention c, double exact, int64_t tenths, int64_t rounded) {
  return c == Convention::truncated ? static_cast<double>(tenths) / 10
         : c == Convention::rounded ? static_cast<double>(rounded)
                                    : exact;
}
double start_in(const Stop &s, Convention c) {
  return in(c, s.start, s.start_tenths, s.start_rounded);
}
double arrival_in(const Stop &s, Convention c) {
  return in(c, s.arrival, s.arrival_tenths, s.arrival_rounded);
}

bool late_in(const Stop &s, Convention c) {
  return c == Convention::exact       ? s.late
         : c == Convention::truncated ? s.late_truncated
                                      : s.late_rounded;
}

int64_t violation_count(const ReportRun &rep) {
  int64_t count = 0;
  for (int k = 0; k < KIND_COUNT; ++k)
    if (is_listed(Kind(k))) count += rep.record.kind_count[k];
  return count;
}

int exit_status(const ReportRun &rep) {
  if (!rep.record.error.empty()) return 2;
  // A correct claim of infeasibility: the screening's findings are its proof.
  if (rep.run.declared_routes == -1 && rep.record.verdict_status == 0) return 0;
  return violation_count(rep) > 0 ? 1 : 0;
}

Convention published_convention(const Run &run) {
  // The classic capacitated sets and the pickup and delivery sets publish
  // sums of exact legs, rounded to two decimals at the end.
  bool classic = run.instance->decimal_places.decimals > 0 || run.instance->route_limit.set ||
                 run.instance->pickup_delivery();
  return classic                 ? Convention::exact
         : run.instance->windows ? Convention::truncated
                                 : Convention::rounded;
}

const char *cost_convention(const ReportRun &rep) {
  double cost = rep.run.route_list.cost, tolerance = rep.run.route_list.cost_tolerance;
  double distances[] = {to_double(rep.run.distance),
                        static_cast<double>(rep.run.distance_tenths) / 10,
                        static_cast<double>(rep.run.distance_rounded)};
  bool matches[3];
  for (int c = 0; c < 3; ++c) matches[c] = std::fabs(cost - distances[c]) <= tolerance;
  int published = static_cast<int>(published_convention(rep.run));
  if (matches[published]) return convention_names[published];
  for (int c = 0; c < 3; ++c)
    if (matches[c]) return convention_names[c];
  return nullptr;
}
