#include "write.h"

#include <algorithm>
#include <cmath>

#include "batch/order.h"
#include "batch/write.h"
#include "line.h"

namespace {

// A figure as a cell: every digit, or `decimals` of them; empty for none.
std::string cell(std::optional<double> v, int decimals) {
  if (!v) return "";
  return decimals < 0 ? shortest(*v) : fixed(*v, decimals);
}
std::string count(int64_t n) { return std::to_string(n); }
std::string truth(std::optional<bool> b) { return b ? (*b ? "true" : "false") : ""; }

// A figure in JSON: null for none, and for what JSON cannot hold.
std::string json_number(std::optional<double> v) {
  return v && std::isfinite(*v) ? shortest(*v) : "null";
}

// The sheet for these columns, each as wide as its widest cell, the numbers
// right-aligned: every column but the names before `first_number` and the
// booleans from `last_number` on.
Sheet sheet_of(const std::vector<std::string> &columns,
               const std::vector<std::vector<std::string>> &rows, OutputFormat format,
               size_t first_number, size_t last_number) {
  Sheet sheet;
  sheet.format = format;
  for (size_t k = 0; k < columns.size(); ++k) {
    Field f{columns[k], columns[k], 0, k >= first_number && k < last_number};
    shown(columns[k], &f.width);
    for (const std::vector<std::string> &row : rows) {
      size_t width;
      shown(row[k], &width);
      f.width = std::max(f.width, width);
    }
    sheet.fields.push_back(f);
    sheet.chosen.push_back(k);
  }
  return sheet;
}

void write_sheet(Sheet &sheet, const std::vector<std::vector<std::string>> &rows,
                 const std::vector<std::string> *foot, std::FILE *out) {
  write_head(sheet, out);
  for (const std::vector<std::string> &row : rows) write_cells(sheet, row, out);
  write_foot(sheet, foot, out);
}

std::string json_violation(const std::optional<FirstViolation> &v) {
  if (!v) return "null";
  std::string text = "{\"time\":" + shortest(v->time) + ",\"kind\":" + json_string(v->kind);
  text += ",\"route\":" + (v->route ? std::to_string(v->route) : std::string("null"));
  text += ",\"position\":" + (v->position ? std::to_string(v->position) : std::string("null"));
  text += ",\"node\":" + (v->node >= 0 ? std::to_string(v->node) : std::string("null"));
  return text + "}";
}

} // namespace

std::string json_string(const std::string &text) {
  static const char hex[] = "0123456789abcdef";
  std::string out = "\"";
  const unsigned char *s = reinterpret_cast<const unsigned char *>(text.data());
  for (size_t i = 0; i < text.size();) {
    unsigned char c = s[i];
    size_t n = c >= 0x80 ? utf8_sequence(s + i, text.size() - i) : 1;
    if (c == '"' || c == '\\') {
      out += {'\\', static_cast<char>(c)};
    } else if (c < 0x20 || n == 0) { // a byte that is not UTF-8: as the Latin-1 character
      out += {'\\', 'u', '0', '0', hex[c >> 4], hex[c & 15]};
      n = 1;
    } else {
      out.append(text, i, n);
    }
    i += n;
  }
  return out + "\"";
}

std::vector<std::string> run_columns(const std::vector<double> &targets) {
  std::vector<std::string> columns{
      "instance",         "solver",     "run", "solutions", "infeasible",     "after_limit",
      "claimed_cost_off", "unverified", "bks", "final",     "final_vehicles", "final_gap_percent",
      "time_to_first"};
  for (double t : targets) columns.push_back(target_name(t));
  for (const char *c : {"primal_integral", "primal_gap_mean", "beats_bks"}) columns.push_back(c);
  return columns;
}

std::vector<std::string> run_cells(const ScoredRun &run, int decimals) {
  const RunTally &t = run.tally;
  const RunFigures &f = run.figures;
  std::vector<std::string> cells{t.instance,
                                 run.key.solver,
                                 std::to_string(run.key.run),
                                 count(t.solutions),
                                 run.scored() ? count(t.infeasible) : "",
                                 run.scored() ? count(t.after_limit) : "",
                                 run.scored() ? count(t.claimed_cost_off) : "",
                                 run.scored() ? count(t.unverified) : "",
                                 cell(run.bks, decimals),
                                 cell(f.final_value, decimals),
                                 f.final_vehicles ? std::to_string(*f.final_vehicles) : "",
                                 cell(f.final_gap_percent, decimals),
                                 cell(f.time_to_first, decimals)};
  for (size_t k = 0; k < run.figures.time_to.size(); ++k)
    cells.push_back(cell(f.time_to[k], decimals));
  cells.push_back(cell(f.primal_integral, decimals));
  cells.push_back(cell(f.primal_gap_mean, decimals < 0 ? decimals : std::max(decimals, 4)));
  cells.push_back(truth(f.beats_bks));
  return cells;
}

std::vector<std::string> solver_columns() {
  return {"solver",
          "runs",
          "instances",
          "feasible_instances",
          "runs_without_feasible",
          "mean_final_gap_percent",
          "mean_primal_gap",
          "wins",
          "mean_time_to_first",
          "infeasible",
          "claimed_cost_off"};
}

std::vector<std::string> solver_cells(const SolverRow &row, int decimals) {
  return {row.solver,
          count(row.runs),
          count(row.instances),
          count(row.feasible_instances),
          count(row.runs_without_feasible),
          cell(row.mean_final_gap_percent, decimals),
          cell(row.mean_primal_gap, decimals < 0 ? decimals : std::max(decimals, 4)),
          cell(row.wins, decimals),
          cell(row.mean_time_to_first, decimals),
          count(row.infeasible),
          count(row.claimed_cost_off)};
}

std::string reference_caption(const Scores &scores) {
  if (scores.bks_from_runs.empty()) return "";
  std::vector<std::string> names = scores.bks_from_runs;
  std::sort(names.begin(), names.end(), natural_less);
  std::string text = "Without a best-known cost, the best final value of all runs serves for ";
  for (size_t i = 0; i < names.size() && i < 5; ++i) text += (i ? ", " : "") + names[i];
  if (names.size() > 5) text += " and " + std::to_string(names.size() - 5) + " more";
  return text + ".";
}

void write_runs(const Scores &scores, const ScoreSettings &settings, std::FILE *out) {
  if (settings.format == OutputFormat::jsonl) {
    std::vector<std::string> columns = run_columns(scores.targets);
    for (const ScoredRun &run : scores.runs) {
      const RunTally &t = run.tally;
      const RunFigures &f = run.figures;
      std::vector<std::string> values{json_string(t.instance),
                                      json_string(run.key.solver),
                                      std::to_string(run.key.run),
                                      count(t.solutions),
                                      run.scored() ? count(t.infeasible) : "null",
                                      run.scored() ? count(t.after_limit) : "null",
                                      run.scored() ? count(t.claimed_cost_off) : "null",
                                      run.scored() ? count(t.unverified) : "null",
                                      json_number(run.bks),
                                      json_number(f.final_value),
                                      f.final_vehicles ? std::to_string(*f.final_vehicles) : "null",
                                      json_number(f.final_gap_percent),
                                      json_number(f.time_to_first)};
      for (const std::optional<double> &to : f.time_to) values.push_back(json_number(to));
      values.push_back(json_number(f.primal_integral));
      values.push_back(json_number(f.primal_gap_mean));
      values.push_back(f.beats_bks ? (*f.beats_bks ? "true" : "false") : "null");
      std::string line = "{";
      for (size_t k = 0; k < columns.size(); ++k)
        line += (k ? "," : "") + json_string(columns[k]) + ":" + values[k];
      line += ",\"bks_from\":" + std::string(!run.bks            ? "null"
                                             : run.bks_from_runs ? "\"runs\""
                                                                 : "\"file\"");
      line += ",\"time_limit\":" + json_number(run.limit);
      line += ",\"convention\":" + json_string(convention_names[static_cast<int>(run.convention)]);
      line += ",\"first_violation\":" + json_violation(t.first_violation);
      line += ",\"error\":" + (run.scored() ? std::string("null") : json_string(t.error));
      line += "}\n";
      std::fwrite(line.data(), 1, line.size(), out);
    }
    return;
  }
  bool full = settings.format == OutputFormat::csv;
  int decimals = full ? -1 : settings.decimals;
  std::vector<std::vector<std::string>> rows;
  for (const ScoredRun &run : scores.runs) rows.push_back(run_cells(run, decimals));
  // Below the runs: the sums of the counts, and the means of the final gap
  // (over the runs with one) and of the mean primal gap (over every run).
  std::vector<std::string> foot(run_columns(scores.targets).size());
  int64_t sums[5] = {};
  double gap_sum = 0, primal_sum = 0;
  int64_t gaps = 0, primals = 0;
  for (const ScoredRun &run : scores.runs) {
    const RunTally &t = run.tally;
    int64_t counts[5] = {t.solutions, t.infeasible, t.after_limit, t.claimed_cost_off,
                         t.unverified};
    for (int k = 0; k < 5; ++k) sums[k] += counts[k];
    if (run.figures.final_gap_percent) gap_sum += *run.figures.final_gap_percent, ++gaps;
    if (run.figures.primal_gap_mean) primal_sum += *run.figures.primal_gap_mean, ++primals;
  }
  foot[0] = "all";
  for (int k = 0; k < 5; ++k) foot[3 + size_t(k)] = count(sums[k]);
  if (gaps) foot[11] = cell(gap_sum / double(gaps), decimals);
  if (primals) foot[foot.size() - 2] = cell(primal_sum / double(primals), std::max(decimals, 4));
  std::vector<std::vector<std::string>> sized = rows;
  sized.push_back(foot);
  size_t columns = run_columns(scores.targets).size();
  Sheet sheet = sheet_of(run_columns(scores.targets), sized, settings.format, 2, columns - 1);
  if (!full) sheet.caption = reference_caption(scores);
  write_sheet(sheet, rows, full ? nullptr : &foot, out);
}

void write_solvers(const SolverComparison &comparison, const Scores &scores,
                   const ScoreSettings &settings, std::FILE *out) {
  std::vector<std::string> columns = solver_columns();
  if (settings.format == OutputFormat::jsonl) {
    for (const SolverRow &row : comparison.rows) {
      std::vector<std::string> values{json_string(row.solver),
                                      count(row.runs),
                                      count(row.instances),
                                      count(row.feasible_instances),
                                      count(row.runs_without_feasible),
                                      json_number(row.mean_final_gap_percent),
                                      json_number(row.mean_primal_gap),
                                      json_number(row.wins),
                                      json_number(row.mean_time_to_first),
                                      count(row.infeasible),
                                      count(row.claimed_cost_off)};
      std::string line = "{";
      for (size_t k = 0; k < columns.size(); ++k)
        line += (k ? "," : "") + json_string(columns[k]) + ":" + values[k];
      line += "}\n";
      std::fwrite(line.data(), 1, line.size(), out);
    }
    return;
  }
  bool full = settings.format == OutputFormat::csv;
  std::vector<std::vector<std::string>> rows;
  for (const SolverRow &row : comparison.rows)
    rows.push_back(solver_cells(row, full ? -1 : settings.decimals));
  Sheet sheet = sheet_of(columns, rows, settings.format, 1, columns.size());
  if (!full) sheet.caption = reference_caption(scores);
  write_sheet(sheet, rows, nullptr, out);
}
