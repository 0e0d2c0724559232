#include "solvers.h"

#include <algorithm>
#include <map>
#include <set>

#include "batch/order.h"

namespace {

// A sum and a count, in extended precision, for means that come out the
// same whatever the order of the runs.
struct Mean {
  long double sum = 0;
  int64_t count = 0;
  void add(double v) { sum += v, ++count; }
  std::optional<double> value() const {
    return count ? std::optional<double>(static_cast<double>(sum / count)) : std::nullopt;
  }
};

} // namespace

SolverComparison compare_solvers(const Scores &scores) {
  SolverComparison out;
  std::vector<std::string> solvers;
  for (const ScoredRun &run : scores.runs)
    if (run.scored()) solvers.push_back(run.key.solver);
  std::sort(solvers.begin(), solvers.end(), natural_less);
  solvers.erase(std::unique(solvers.begin(), solvers.end()), solvers.end());
  std::map<std::string, size_t> index;
  for (size_t s = 0; s < solvers.size(); ++s) index[solvers[s]] = s;

  size_t n = solvers.size();
  out.rows.resize(n);
  out.final_gaps.resize(n);
  std::vector<Mean> gap(n), primal(n), first(n);
  std::vector<std::set<std::string>> tried(n), solved(n);
  std::map<std::string, std::vector<Mean>> finals; // by instance, per solver
  for (const ScoredRun &run : scores.runs) {
    if (!run.scored()) continue;
    size_t s = index[run.key.solver];
    SolverRow &row = out.rows[s];
    const RunFigures &f = run.figures;
    row.runs++;
    row.infeasible += run.tally.infeasible;
    row.claimed_cost_off += run.tally.claimed_cost_off;
    tried[s].insert(run.key.instance);
    std::vector<Mean> &on = finals[run.key.instance];
    on.resize(n);
    if (f.final_value) {
      solved[s].insert(run.key.instance);
      on[s].add(*f.final_value);
    } else {
      row.runs_without_feasible++;
    }
    if (f.final_gap_percent) gap[s].add(*f.final_gap_percent);
    if (f.primal_gap_mean) primal[s].add(*f.primal_gap_mean);
    if (f.time_to_first) first[s].add(*f.time_to_first);
    out.final_gaps[s].push_back(f.final_gap_percent);
  }
  for (size_t s = 0; s < n; ++s) {
    SolverRow &row = out.rows[s];
    row.solver = solvers[s];
    row.instances = static_cast<int64_t>(tried[s].size());
    row.feasible_instances = static_cast<int64_t>(solved[s].size());
    row.mean_final_gap_percent = gap[s].value();
    row.mean_primal_gap = primal[s].value();
    row.mean_time_to_first = first[s].value();
  }

  out.ratios.resize(n);
  for (const auto &[instance, means] : finals) {
    std::optional<double> best;
    for (const Mean &m : means)
      if (m.value() && (!best || *m.value() < *best)) best = m.value();
    if (!best) continue;
    std::vector<size_t> winners;
    for (size_t s = 0; s < n; ++s) {
      std::optional<double> mean = means[s].value();
      if (mean && *mean == *best) winners.push_back(s);
      std::optional<double> ratio;
      if (mean) ratio = *best > 0 ? *mean / *best : *mean == *best ? 1.0 : std::optional<double>();
      out.ratios[s].push_back(ratio);
    }
    for (size_t s : winners) out.rows[s].wins += 1.0 / static_cast<double>(winners.size());
  }
  return out;
}
