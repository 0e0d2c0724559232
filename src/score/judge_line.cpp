#include "judge_line.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#include "batch/pairs.h"
#include "solution/route_list.h"

namespace {

bool blank(std::string_view text) {
  return text.find_first_not_of(" \t\r") == std::string_view::npos;
}

bool bad_before(const BadLine &a, const BadLine &b) {
  return a.timeline != b.timeline ? a.timeline < b.timeline : a.line < b.line;
}

double distance_in(const fleetjudge::Summary &summary, Convention c) {
  switch (c) {
  case Convention::truncated:
    return summary.truncated.distance;
  case Convention::rounded:
    return summary.rounded.distance;
  case Convention::exact:
    break;
  }
  return summary.distance;
}

// Feasible in the convention that decided. A route list's Cost line that
// matches no distance is a violation to the report; here it is the claim
// the solver made about feasible routes, and counts as a claim.
bool feasible(const fleetjudge::Report &report) {
  if (report.summary->decision.feasible) return true;
  if (report.violations.empty() || report.violations_left_out > 0) return false;
  return std::all_of(report.violations.begin(), report.violations.end(),
                     [](const fleetjudge::Violation &v) { return v.kind == "cost_mismatch"; });
}

bool read_solution(const std::string &path, std::string &bytes, std::string &problem) {
  bytes.clear();
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  bool read = fd >= 0 && read_all(fd, bytes);
  int error = errno;
  if (fd >= 0) close(fd);
  if (!read) problem = "cannot read the solution file " + path + ": " + std::strerror(error);
  return read;
}

} // namespace

Convention convention_of(const Scoring &scoring, const std::string &stem) {
  auto row = scoring.bks->find(stem);
  if (row != scoring.bks->end() && row->second.has_convention) return row->second.convention;
  return scoring.settings->convention;
}

std::optional<double> time_limit_of(const Scoring &scoring, const std::string &stem) {
  auto limit = scoring.limits->find(stem);
  if (limit != scoring.limits->end()) return limit->second;
  return scoring.settings->time_limit;
}

void add_bad(BadLines &bad, BadLine line) {
  bad.count++;
  if (bad.first.size() == BAD_LINES_SHOWN && !bad_before(line, bad.first.back())) return;
  bad.first.insert(std::upper_bound(bad.first.begin(), bad.first.end(), line, bad_before),
                   std::move(line));
  if (bad.first.size() > BAD_LINES_SHOWN) bad.first.pop_back();
}

void merge_bad(BadLines &into, BadLines &&from) {
  int64_t count = into.count + from.count;
  for (BadLine &line : from.first) add_bad(into, std::move(line));
  into.count = count;
}

void judge_line(const Scoring &scoring, const std::vector<Timeline> &timelines, size_t timeline,
                int64_t number, std::string_view text, LineWork &work) {
  if (blank(text)) return;
  work.lines++;
  TimelineLine &line = work.line;
  auto bad = [&](std::string problem) {
    add_bad(work.bad, BadLine{timeline, number, std::move(problem)});
  };
  if (!read_timeline_line(text, line, work.problem)) return bad(work.problem);
  bool verified = line.has_routes || line.has_solution;
  if (!verified && !scoring.settings->unverified)
    return bad("neither routes nor a solution file (--unverified takes the cost as it is)");
  if (!verified && !line.has_cost) return bad("no routes, no solution file and no cost");

  std::string stem = lower(line.instance);
  RunKey key{stem, line.solver, line.run};
  RunTally &run = work.tallies[key];
  if (run.instance.empty() || line.instance < run.instance) run.instance = line.instance;

  std::optional<double> limit = time_limit_of(scoring, stem);
  if (!limit) {
    run.solutions++;
    return add_error(run, "instance " + line.instance + ": no time limit");
  }
  if (line.time > *limit) {
    run.solutions++;
    run.after_limit++;
    return;
  }
  if (!verified) {
    run.solutions++;
    run.unverified++;
    return add_feasible(run, Point{line.time, line.cost, -1});
  }

  std::string error;
  const fleetjudge::Instance *instance =
      instance_named(*scoring.catalog, stem, line.instance, error);
  if (!instance) {
    run.solutions++;
    return add_error(run, error);
  }
  Convention convention = convention_of(scoring, stem);
  fleetjudge::ReportOptions options;
  options.convention = convention_names[static_cast<int>(convention)];
  fleetjudge::Report report;
  if (line.has_routes) {
    report = fleetjudge::judge(*instance, line.routes, options);
  } else {
    const std::string &folder = timelines[timeline].folder;
    std::string path = folder.empty() || line.solution[0] == '/'
                           ? line.solution
                           : (folder.back() == '/' ? folder : folder + "/") + line.solution;
    if (!read_solution(path, work.bytes, work.problem)) return bad(work.problem);
    report = fleetjudge::judge(*instance, work.bytes, options, path.c_str());
  }
  if (report.status == 2 || !report.summary)
    return bad(report.error ? *report.error : "the solution cannot be judged");
  run.solutions++;

  const fleetjudge::Summary &summary = *report.summary;
  double distance = distance_in(summary, convention);
  if (line.has_cost) {
    if (std::fabs(line.cost - distance) > written_tolerance(line.cost_text)) run.claimed_cost_off++;
  } else if (summary.declared_cost) {
    const fleetjudge::DeclaredCost &declared = *summary.declared_cost;
    if (std::fabs(declared.value - distance) > declared.tolerance) run.claimed_cost_off++;
  }
  if (feasible(report)) return add_feasible(run, Point{line.time, distance, summary.vehicles});
  run.infeasible++;
  FirstViolation first;
  first.time = line.time;
  auto v = std::find_if(report.violations.begin(), report.violations.end(),
                        [](const fleetjudge::Violation &v) { return v.kind != "cost_mismatch"; });
  if (v == report.violations.end()) {
    first.kind = "infeasible";
  } else {
    first.kind = v->kind;
    first.route = v->route.value_or(0);
    first.position = v->position.value_or(0);
    first.node = v->node.value_or(-1);
  }
  add_violation(run, first);
}
