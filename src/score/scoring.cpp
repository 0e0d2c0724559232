#include "scoring.h"

#include "limits.h"

bool prepare(const ScoreSettings &settings, ScoringRun &run, std::string &problem) {
  if (settings.time_limits &&
      !read_time_limits(settings.time_limits, run.limits, problem, run.notes))
    return false;
  if (settings.bks && !read_bks(settings.bks, run.bks, problem, run.notes)) return false;
  run.catalog.options.format = settings.instance_format;
  if (settings.instances && !find_instances(settings.instances, run.catalog, problem)) return false;
  run.scoring = Scoring{&settings, &run.catalog, &run.bks, &run.limits};
  run.timelines = timelines_of(settings.timelines);
  return true;
}

void score_timelines(const ScoreSettings &settings, ScoringRun &run) {
  run.read = read_timelines(run.timelines, run.scoring, settings.jobs);
  for (std::string &note : run.read.notes) run.notes.push_back(std::move(note));
  run.scores = score_runs(std::move(run.read.tallies), run.scoring);
  run.comparison = compare_solvers(run.scores);
}

int scoring_status(const ScoringRun &run) {
  bool judged_wrong = false;
  for (const ScoredRun &r : run.scores.runs) {
    if (!r.scored()) return 2;
    judged_wrong |= r.tally.infeasible > 0 || r.tally.claimed_cost_off > 0;
  }
  if (run.read.bad.count > 0 || !run.read.problems.empty()) return 2;
  return judged_wrong ? 1 : 0;
}
