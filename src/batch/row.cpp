#include "row.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <nlohmann/json.hpp>
#include <sys/stat.h>
#include <unistd.h>

#include "objective.h"
#include "report/build.h"
#include "report/json.h"
#include "report/options.h"
#include "report/report.h"

const char column_names[COLUMN_COUNT][24] = {"name",
                                             "run",
                                             "instance",
                                             "solution",
                                             "status",
                                             "customers",
                                             "vehicles",
                                             "distance",
                                             "distance_truncated",
                                             "distance_rounded",
                                             "declared_cost",
                                             "matches",
                                             "feasible",
                                             "feasible_truncated",
                                             "feasible_rounded",
                                             "decision_convention",
                                             "decision_feasible",
                                             "violations",
                                             "first_violation",
                                             "error",
                                             "bks_vehicles",
                                             "bks_cost",
                                             "gap_percent",
                                             "gap_convention",
                                             "vehicles_vs_bks"};

namespace {

std::string fixed(double v, int decimals) {
  char text[512];
  std::snprintf(text, sizeof text, "%.*f", decimals, v);
  return text;
}

// Whole tenths, exactly: no detour through a binary fraction.
std::string tenths_text(int64_t t) {
  std::string sign = t < 0 ? "-" : "";
  uint64_t u = t < 0 ? 0 - static_cast<uint64_t>(t) : static_cast<uint64_t>(t);
  return sign + std::to_string(u / 10) + "." + std::to_string(u % 10);
}

const char *truth(bool b) { return b ? "true" : "false"; }

void not_judged(Row &row, const Pair &pair, const std::string &error, bool instance_named,
                Json *doc) {
  row.status = 2;
  row.cells[col_error] = error;
  if (doc)
    *doc =
        Json{{"instance", instance_named ? Json{{"path", latin1(pair.instance)}} : Json(nullptr)},
             {"solution", Json{{"path", latin1(pair.solution)}}},
             {"error", latin1(error)}};
}

// Files up to this size are read whole and judged from memory. The checker's
// verdict on a CR LF instance then comes from a run after the report's, on
// the same bytes, as the library gives it, instead of from a second thread
// reading along, whose start and hand-offs cost more than the judging on a
// busy machine. Larger files, and pipes, are read as the report reads them.
constexpr off_t IN_MEMORY = 16 << 20;

bool small_file(int fd) {
  struct stat st;
  return fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size <= IN_MEMORY;
}

// The two files open, for the whole of the pair's run.
struct Opened {
  int fd[2] = {-1, -1};
  ~Opened() {
    for (int f : fd)
      if (f >= 0) close(f);
  }
};

bool open_both(const Pair &pair, Opened &opened, std::string &problem) {
  const std::string *paths[2] = {&pair.instance_open, &pair.solution_open};
  for (int k = 0; k < 2; ++k) {
    opened.fd[k] = open(paths[k]->c_str(), O_RDONLY | O_CLOEXEC);
    if (opened.fd[k] < 0) {
      problem = "cannot open " + *paths[k] + ": " + std::strerror(errno);
      return false;
    }
  }
  return true;
}

// The row's figures, from the report's.
void figures(Row &row, const fleetjudge::Report &report) {
  const fleetjudge::Summary &s = *report.summary;
  std::string *c = row.cells;
  c[col_customers] = std::to_string(report.instance.customers);
  c[col_vehicles] = std::to_string(s.vehicles);
  c[col_distance] = fixed(s.distance, 4);
  int64_t truncated = std::llround(s.truncated.distance * 10);
  int64_t rounded = std::llround(s.rounded.distance);
  c[col_distance_truncated] = tenths_text(truncated);
  c[col_distance_rounded] = std::to_string(rounded);
  if (s.declared_total) c[col_declared_cost] = shortest(*s.declared_total);
  if (s.declared_cost) {
    c[col_declared_cost] = shortest(s.declared_cost->value);
    c[col_matches] = s.declared_cost->matches.value_or("");
  }
  bool in[3] = {s.feasible, s.truncated.feasible, s.rounded.feasible};
  c[col_feasible] = truth(in[0]);
  c[col_feasible_truncated] = truth(in[1]);
  c[col_feasible_rounded] = truth(in[2]);
  c[col_decision_convention] = s.decision.convention;
  c[col_decision_feasible] = truth(s.decision.feasible);
  c[col_violations] = std::to_string(violation_count(report));
  if (!report.violations.empty()) c[col_first_violation] = report.violations[0].kind;
  row.judged = true;
  row.pickup_delivery = report.instance.type == "PDPTW";
  row.feasible = s.decision.feasible;
  row.vehicles = s.vehicles;
  row.distance = s.distance;
  row.truncated_tenths = truncated;
  row.rounded = rounded;
  for (int k = 0; k < 3; ++k) row.feasible_in[k] = in[k];
  if (s.declared_total) {
    row.has_cost = true;
    row.cost = *s.declared_total;
  }
  if (s.declared_cost) {
    row.has_cost = true;
    row.cost = s.declared_cost->value;
    Convention matched;
    if (s.declared_cost->matches && choose_convention(s.declared_cost->matches->c_str(), matched))
      row.matches = static_cast<int>(matched);
  }
}

void judge_files(Row &row, const Pair &pair, const Settings &settings, Json *doc) {
  Inputs in;
  choose_format(settings.solution_format, in); // checked with the command line
  Opened opened;
  std::string problem, bytes[2];
  if (!open_both(pair, opened, problem)) return not_judged(row, pair, problem, true, doc);
  bool in_memory = small_file(opened.fd[0]) && small_file(opened.fd[1]);
  const std::string *shown[2] = {&pair.instance, &pair.solution};
  InputFile *files[2] = {&in.instance, &in.solution};
  const char *kinds[2] = {"instance", "solution"};
  for (int k = 0; k < 2; ++k) {
    if (!in_memory) {
      use_descriptor(*files[k], kinds[k], *shown[k], opened.fd[k], true);
      opened.fd[k] = -1; // the input closes it
    } else if (read_all(opened.fd[k], bytes[k])) {
      use_memory(*files[k], kinds[k], *shown[k], bytes[k]);
    } else {
      return not_judged(row, pair, "cannot read " + *shown[k] + ": " + std::strerror(errno), true,
                        doc);
    }
  }
  auto rep = std::make_unique<ReportRun>(doc != nullptr && settings.routes);
  rep->convention = settings.convention;
  rep->automatic = settings.automatic_convention;
  rep->instance_choice = settings.instance_format;
  judge(*rep, in, in_memory);
  const fleetjudge::Report report =
      build_report(*rep, Files{pair.instance.c_str(), pair.solution.c_str()});
  row.status = report.status;
  if (!report.error)
    figures(row, report);
  else
    row.cells[col_error] = *report.error;
  if (doc) *doc = document_json(report, settings.routes);
}

// The gap to the best-known cost, in the convention the best-known solutions
// name for it, else in the one the declared cost matches, else in the one
// asked for (exact under auto); under vehicles first only for as many
// vehicles as the best-known solution has.
void best_known(Row &row, const Pair &pair, const Settings &settings, const BksTable &table,
                Json *doc) {
  auto found = table.find(pair.key);
  const Bks *b = found == table.end() ? nullptr : &found->second;
  Objective objective = objective_in_force(settings.objective, row.pickup_delivery);
  bool gap = row.judged && b && gap_given(objective, row.vehicles, *b);
  double distance = row.distance, percent = 0;
  const std::string &matches = row.cells[col_matches];
  Convention in = settings.automatic_convention ? Convention::exact : settings.convention;
  if (b && b->has_convention)
    in = b->convention;
  else if (!matches.empty())
    choose_convention(matches.c_str(), in);
  distance = distance_in(row, in);
  if (gap) percent = 100 * (distance - b->cost) / b->cost;
  row.has_gap = gap;
  row.gap = percent;
  if (b && b->has_vehicles) row.cells[col_bks_vehicles] = std::to_string(b->vehicles);
  if (b && b->has_cost) row.cells[col_bks_cost] = shortest(b->cost);
  const char *gap_in = convention_names[static_cast<int>(in)];
  if (gap) row.cells[col_gap_percent] = fixed(percent, 4);
  if (gap) row.cells[col_gap_convention] = gap_in;
  const char *versus = row.judged && b ? vehicles_versus(row.vehicles, *b) : "";
  row.cells[col_vehicles_vs_bks] = versus;
  if (!doc) return;
  (*doc)["bks_vehicles"] = b && b->has_vehicles ? Json(b->vehicles) : Json(nullptr);
  (*doc)["bks_cost"] = b && b->has_cost ? Json(b->cost) : Json(nullptr);
  (*doc)["gap_percent"] = gap ? Json(percent) : Json(nullptr);
  (*doc)["gap_convention"] = gap ? Json(gap_in) : Json(nullptr);
  if (settings.vehicles_versus_column)
    (*doc)["vehicles_vs_bks"] = *versus ? Json(versus) : Json(nullptr);
}

} // namespace

double distance_in(const Row &row, Convention c) {
  if (c == Convention::truncated) return static_cast<double>(row.truncated_tenths) / 10;
  if (c == Convention::rounded) return static_cast<double>(row.rounded);
  return row.distance;
}

// The name, and the run where there is one, first in the document.
static Json named(const Pair &pair, Json doc) {
  Json front = Json{{"name", latin1(pair.name)}};
  if (!pair.run.empty()) front["run"] = latin1(pair.run);
  for (auto &item : doc.items()) front[item.key()] = std::move(item.value());
  return front;
}

Row judge_pair(const Pair &pair, const Settings &settings, const BksTable &bks) {
  Row row;
  row.cells[col_name] = pair.name;
  row.cells[col_run] = pair.run;
  row.cells[col_instance] = pair.instance;
  row.cells[col_solution] = pair.solution;
  Json doc;
  Json *jsonl = settings.format == OutputFormat::jsonl ? &doc : nullptr;
  try {
    if (!pair.error.empty())
      not_judged(row, pair, pair.error, !pair.instance.empty(), jsonl);
    else
      judge_files(row, pair, settings, jsonl);
    if (settings.bks) best_known(row, pair, settings, bks, jsonl);
    if (jsonl)
      row.json =
          named(pair, std::move(doc)).dump(-1, ' ', false, Json::error_handler_t::replace) + "\n";
  } catch (const std::exception &e) { // memory ran out: this pair is not judged, the rest may be
    row = Row{};
    row.cells[col_name] = pair.name;
    row.cells[col_run] = pair.run;
    row.cells[col_instance] = pair.instance;
    row.cells[col_solution] = pair.solution;
    not_judged(row, pair, std::string("cannot judge the pair: ") + e.what(), !pair.instance.empty(),
               jsonl);
    if (jsonl)
      row.json =
          named(pair, std::move(doc)).dump(-1, ' ', false, Json::error_handler_t::replace) + "\n";
  }
  row.cells[col_status] = std::to_string(row.status);
  return row;
}
