#include "page.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "batch/write.h"
#include "report/report.h"
#include "svg.h"
#include "write.h"

namespace {

// In the report page's manner; no '<' or '&', so that it needs no escaping.
const char style[] = R"(
body { font: 14px/1.4 sans-serif; color: #222; margin: 16px 24px; max-width: 1240px; }
h1 { font-size: 20px; margin: 0 0 4px; }
h2 { font-size: 16px; margin: 24px 0 6px; border-bottom: 1px solid #ccc; }
.files { color: #555; margin: 0; }
.verdict { font-size: 16px; padding: 6px 10px; margin: 10px 0; border-left: 6px solid; }
.verdict.ok { border-color: #2ca02c; background: #eef7ee; }
.verdict.bad { border-color: #d62728; background: #fbeeee; }
table { border-collapse: collapse; }
td, th { padding: 1px 8px; text-align: right; }
th { background: #f0f0f0; font-size: 13px; max-width: 7em; vertical-align: bottom; }
td.l { white-space: nowrap; }
td.l, th.l { text-align: left; }
.swatch { display: inline-block; width: 10px; height: 10px; margin-right: 4px; }
.legend span { display: inline-block; margin-right: 14px; white-space: nowrap; }
.note { color: #555; }
.charts { display: flex; flex-wrap: wrap; gap: 12px 24px; }
figure { margin: 0; max-width: 580px; }
figcaption { font-weight: bold; }
svg.chart { display: block; max-width: 100%; height: auto; }
svg text { font-family: 'DejaVu Sans', sans-serif; fill: #333; }
)";

struct Palette {
  std::map<std::string, std::string> colours; // by solver
  const std::string &of(const std::string &solver) const { return colours.at(solver); }
};

Palette palette_of(const SolverComparison &comparison) {
  Palette p;
  for (size_t s = 0; s < comparison.rows.size(); ++s)
    p.colours[comparison.rows[s].solver] = route_colour(static_cast<int32_t>(s + 1));
  return p;
}

void put_legend(const SolverComparison &comparison, const Palette &palette, std::FILE *out) {
  std::fputs("<p class=\"legend\">", out);
  for (const SolverRow &row : comparison.rows) {
    std::fprintf(out, "<span><span class=\"swatch\" style=\"background:%s\"></span>",
                 palette.of(row.solver).c_str());
    put_escaped(out, row.solver);
    std::fputs("</span>", out);
  }
  std::fputs("</p>\n", out);
}

void put_summary(const Scores &scores, const SolverComparison &comparison, const PageFacts &facts,
                 std::FILE *out) {
  int64_t solutions = 0, infeasible = 0, off = 0, after = 0, unverified = 0, errors = 0;
  std::map<std::string, int> instances;
  for (const ScoredRun &run : scores.runs) {
    solutions += run.tally.solutions;
    infeasible += run.tally.infeasible;
    off += run.tally.claimed_cost_off;
    after += run.tally.after_limit;
    unverified += run.tally.unverified;
    errors += !run.scored();
    instances[run.key.instance]++;
  }
  bool clean = infeasible == 0 && off == 0 && errors == 0 && facts.bad_lines == 0;
  std::fprintf(out,
               "<div class=\"verdict %s\">%lld solutions in %zu runs of %zu solvers on %zu "
               "instances: %lld infeasible, %lld with a claimed cost that is off, %lld after the "
               "time limit, %lld unverified",
               clean ? "ok" : "bad", static_cast<long long>(solutions), scores.runs.size(),
               comparison.rows.size(), instances.size(), static_cast<long long>(infeasible),
               static_cast<long long>(off), static_cast<long long>(after),
               static_cast<long long>(unverified));
  if (facts.bad_lines)
    std::fprintf(out, "; %lld bad lines", static_cast<long long>(facts.bad_lines));
  if (errors) std::fprintf(out, "; %lld runs not scored", static_cast<long long>(errors));
  std::fputs(".</div>\n", out);
  std::string caption = reference_caption(scores);
  std::fputs("<p class=\"note\">", out);
  put_escaped(out,
              caption.empty() ? "Gaps are measured against the best-known costs given." : caption);
  std::fputs(" Infeasible solutions never become incumbents; distances are those of each "
             "instance's convention.</p>\n",
             out);
}

void put_solver_table(const SolverComparison &comparison, const Palette &palette, int decimals,
                      std::FILE *out) {
  std::fputs("<h2>Solvers</h2>\n<table>\n<thead><tr>", out);
  std::vector<std::string> columns = solver_columns();
  for (size_t k = 0; k < columns.size(); ++k) {
    std::fputs(k == 0 ? "<th class=\"l\">" : "<th>", out);
    std::replace(columns[k].begin(), columns[k].end(), '_', ' '); // so that heads may wrap
    put_escaped(out, columns[k]);
    std::fputs("</th>", out);
  }
  std::fputs("</tr></thead>\n<tbody>\n", out);
  for (const SolverRow &row : comparison.rows) {
    std::vector<std::string> cells = solver_cells(row, decimals);
    std::fprintf(out, "<tr><td class=\"l\"><span class=\"swatch\" style=\"background:%s\"></span>",
                 palette.of(row.solver).c_str());
    put_escaped(out, cells[0]);
    std::fputs("</td>", out);
    for (size_t k = 1; k < cells.size(); ++k) {
      std::fputs("<td>", out);
      put_escaped(out, cells[k]);
      std::fputs("</td>", out);
    }
    std::fputs("</tr>\n", out);
  }
  std::fputs("</tbody>\n</table>\n", out);
}

void put_profiles(const SolverComparison &comparison, const Palette &palette, std::FILE *out) {
  Chart gaps;
  gaps.x = Axis{0, 5, false, "final gap to the best-known value (%)"};
  gaps.y = Axis{0, 1, false, "share of runs"};
  Chart performance;
  double most = 1;
  for (const auto &ratios : comparison.ratios)
    for (const std::optional<double> &r : ratios)
      if (r) most = std::max(most, *r);
  double upto = std::max(1.01, 1 + (most - 1) * 1.05);
  performance.x = Axis{1, upto, false, "mean final value / the best solver's"};
  performance.y = Axis{0, 1, false, "share of instances"};
  for (size_t s = 0; s < comparison.rows.size(); ++s) {
    const std::string &solver = comparison.rows[s].solver;
    gaps.series.push_back(
        Series{gap_profile(comparison.final_gaps[s], 5), palette.of(solver), 2, 1, solver});
    performance.series.push_back(
        Series{performance_profile(comparison.ratios[s], upto), palette.of(solver), 2, 1, solver});
  }
  std::fputs("<h2>Profiles</h2>\n", out);
  put_legend(comparison, palette, out);
  std::fputs("<div class=\"charts\">\n<figure><figcaption>Gap profile</figcaption>\n", out);
  put_chart(gaps, out);
  std::fputs("<p class=\"note\">Each run on its own; a run without a feasible solution is never "
             "within.</p></figure>\n<figure><figcaption>Performance profile</figcaption>\n",
             out);
  put_chart(performance, out);
  std::fputs("<p class=\"note\">Each solver's mean final value per instance, over its runs with "
             "one, against the best solver's (Dolan and Mor&#233;).</p></figure>\n</div>\n",
             out);
}

// One instance's runs, grouped by solver in the order they come.
void put_instance(const std::vector<const ScoredRun *> &runs, const Palette &palette, int decimals,
                  std::FILE *out) {
  const ScoredRun &first = *runs.front();
  double limit = 0, earliest = INFINITY, lowest = 0, highest = -INFINITY, final_high = 0;
  std::vector<Curve> curves;
  for (const ScoredRun *run : runs) {
    limit = std::max(limit, *run->limit);
    curves.push_back(gap_over_time(*run));
    for (const auto &[t, gap] : curves.back()) {
      if (t > 0) earliest = std::min(earliest, t);
      lowest = std::min(lowest, gap);
      highest = std::max(highest, gap);
    }
    if (run->figures.final_gap_percent)
      final_high = std::max(final_high, *run->figures.final_gap_percent);
  }
  if (!std::isfinite(highest)) return; // no run found a feasible solution
  Chart chart;
  chart.width = 580;
  chart.height = 280;
  double low = std::isfinite(earliest) ? std::pow(10, std::floor(std::log10(earliest))) : 0;
  if (!(low > 0) || low >= limit) low = limit / 1000;
  chart.x = Axis{low, limit, true, "time (s)"};
  // Early gaps may be far above the final ones: the axis stops at ten times
  // the largest final gap, and higher ones are drawn at its top.
  double cap = std::max(1.0, 10 * final_high);
  bool capped = highest > cap;
  double high = std::min(highest, cap);
  if (high <= lowest) high = lowest + 1;
  chart.y = Axis{lowest, high + (high - lowest) * 0.04, false, "gap (%)"};
  std::map<std::string, std::vector<const ScoredRun *>> by_solver;
  for (size_t r = 0; r < runs.size(); ++r) {
    const ScoredRun &run = *runs[r];
    by_solver[run.key.solver].push_back(&run);
    std::string title = run.key.solver + ", run " + std::to_string(run.key.run);
    if (run.figures.final_gap_percent)
      title += ": final gap " + fixed(*run.figures.final_gap_percent, 3) + "%";
    chart.series.push_back(
        Series{std::move(curves[r]), palette.of(run.key.solver), 1, 0.35, title});
  }
  for (const auto &[solver, of_solver] : by_solver)
    chart.series.push_back(
        Series{median_over_time(of_solver), palette.of(solver), 2.6, 1,
               solver + ": the median of " + std::to_string(of_solver.size()) + " runs"});
  std::fputs("<figure><figcaption>", out);
  put_escaped(out, first.tally.instance);
  std::fputs("</figcaption>\n", out);
  put_chart(chart, out);
  std::fputs("<p class=\"note\">", out);
  put_escaped(out, std::string(first.bks_from_runs ? "against the best final value of all runs, "
                                                   : "against the best-known cost, ") +
                       fixed(*first.bks, decimals) + "; time limit " + shortest(limit) + " s" +
                       (capped ? "; gaps above " + shortest(cap) + "% drawn at the top" : ""));
  std::fputs("</p></figure>\n", out);
}

} // namespace

void write_page(const Scores &scores, const SolverComparison &comparison, const PageFacts &facts,
                int decimals, std::FILE *out) {
  Palette palette = palette_of(comparison);
  std::fprintf(out,
               "<!DOCTYPE html>\n<html xmlns=\"http://www.w3.org/1999/xhtml\" lang=\"en\">\n"
               "<head>\n<meta charset=\"utf-8\"/>\n<title>fleetjudge-score</title>\n"
               "<style>%s</style>\n</head>\n<body>\n<h1>Solvers scored over time</h1>\n"
               "<p class=\"files\">",
               style);
  for (size_t i = 0; i < facts.timelines.size(); ++i) {
    if (i) std::fputs(", ", out);
    put_escaped(out, facts.timelines[i]);
  }
  std::fputs("</p>\n", out);
  put_summary(scores, comparison, facts, out);
  put_solver_table(comparison, palette, decimals, out);
  put_profiles(comparison, palette, out);

  std::fputs("<h2>Gap over time</h2>\n", out);
  put_legend(comparison, palette, out);
  std::fputs("<p class=\"note\">One faint line per run, from its first feasible solution; the "
             "bold line is the median of the solver's runs, once more than half have a "
             "solution. Time on a logarithmic axis.</p>\n<div class=\"charts\">\n",
             out);
  for (size_t i = 0; i < scores.runs.size();) {
    std::vector<const ScoredRun *> runs;
    size_t j = i;
    for (; j < scores.runs.size() && scores.runs[j].key.instance == scores.runs[i].key.instance;
         ++j)
      if (scores.runs[j].scored() && scores.runs[j].bks) runs.push_back(&scores.runs[j]);
    if (!runs.empty()) put_instance(runs, palette, decimals, out);
    i = j;
  }
  std::fputs("</div>\n</body>\n</html>\n", out);
}
