#include "score.h"

#include <algorithm>
#include <map>
#include <set>

#include "batch/order.h"

namespace {

bool run_before(const ScoredRun &a, const ScoredRun &b) {
  if (a.key.instance != b.key.instance)
    return natural_less(a.tally.instance, b.tally.instance) ||
           (!natural_less(b.tally.instance, a.tally.instance) && a.key.instance < b.key.instance);
  if (a.key.solver != b.key.solver) return natural_less(a.key.solver, b.key.solver);
  return a.key.run < b.key.run;
}

} // namespace

Scores score_runs(Tallies &&tallies, const Scoring &scoring) {
  Scores scores;
  scores.targets = scoring.settings->targets;
  for (auto &[key, tally] : tallies) {
    ScoredRun run;
    run.key = key;
    run.steps = incumbents(std::move(tally.feasible));
    tally.feasible.clear();
    run.tally = std::move(tally);
    run.limit = time_limit_of(scoring, key.instance);
    run.convention = convention_of(scoring, key.instance);
    run.figures.time_to.assign(scores.targets.size(), std::nullopt); // none, where not scored
    scores.runs.push_back(std::move(run));
  }
  tallies.clear();
  std::sort(scores.runs.begin(), scores.runs.end(), run_before);

  // Each instance's reference: its best-known cost, else its runs' best.
  std::map<std::string, std::optional<double>> best; // by stem
  std::map<std::string, std::string> spelled;
  for (const ScoredRun &run : scores.runs) {
    if (!run.scored()) continue;
    std::optional<double> &b = best[run.key.instance];
    spelled.emplace(run.key.instance, run.tally.instance);
    if (!run.steps.empty() && (!b || run.steps.back().distance < *b)) b = run.steps.back().distance;
  }
  std::set<std::string> from_runs;
  for (auto &[stem, value] : best) {
    auto row = scoring.bks->find(stem);
    if (row != scoring.bks->end() && row->second.has_cost) {
      value = row->second.cost;
    } else {
      from_runs.insert(stem);
      scores.bks_from_runs.push_back(spelled[stem]);
    }
  }
  for (ScoredRun &run : scores.runs) {
    if (!run.scored()) continue;
    run.bks = best[run.key.instance];
    run.bks_from_runs = from_runs.count(run.key.instance) > 0;
    run.figures = figures_of(run.steps, *run.limit, run.bks, scores.targets);
  }
  return scores;
}
