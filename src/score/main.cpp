// fleetjudge-score: solvers scored over time. Every solution in the
// timelines is judged against its instance, in the one convention that
// instance is measured in; each run's incumbents give its final gap, its
// times to target gaps and its primal integral; the rows come out per run
// or per solver, and the pictures as a page.
//
//   fleetjudge-score [options] --time-limit SECONDS|--time-limits FILE TIMELINE...
//
// Status 0: every solution within its limit feasible and every claimed cost
// right; 1: some were not; 2: a bad line, a run that could not be scored, a
// usage error, or output that could not be written.

#include <csignal>
#include <cstdio>

#include "../program.h"
#include "batch/write.h"
#include "page.h"
#include "scoring.h"
#include "settings.h"
#include "write.h"

namespace {

int fail(const std::string &problem) {
  std::fprintf(stderr, "fleetjudge-score: %s\n", shown(problem).c_str());
  return 2;
}

// Bad lines by timeline and line number, the first hundred; timelines that
// could not be read; runs that could not be scored.
void tell_problems(const ScoringRun &run) {
  for (const std::string &note : run.notes) fail(note);
  for (const std::string &problem : run.read.problems) fail(problem);
  for (const BadLine &bad : run.read.bad.first) {
    const std::string &name = run.timelines[bad.timeline].name;
    fail((name == "-" ? "standard input" : name) + ":" + std::to_string(bad.line) + ": " +
         bad.problem);
  }
  if (run.read.bad.count > static_cast<int64_t>(run.read.bad.first.size()))
    fail("and " + std::to_string(run.read.bad.count - int64_t(run.read.bad.first.size())) +
         " more bad lines");
  for (const ScoredRun &r : run.scores.runs)
    if (!r.scored())
      fail(r.tally.instance + ", " + r.key.solver + ", run " + std::to_string(r.key.run) +
           ": not scored: " + r.tally.error);
}

bool write_html(const ScoreSettings &settings, const ScoringRun &run) {
  bool to_stdout = std::string(settings.html) == "-";
  std::FILE *out = to_stdout ? stdout : std::fopen(settings.html, "wb");
  if (!out) return fail(std::string("cannot write ") + settings.html), false;
  PageFacts facts{settings.timelines, run.read.lines, run.read.bad.count};
  write_page(run.scores, run.comparison, facts, settings.decimals, out);
  if (to_stdout) return true;
  bool written = !std::ferror(out);
  written &= std::fclose(out) == 0;
  if (!written) fail(std::string("cannot write ") + settings.html);
  return written;
}

} // namespace

int main(int argc, char **argv) {
  std::signal(SIGPIPE, SIG_IGN); // a closed pipe is a write error, status 2
  ScoreSettings settings;
  if (int status = parse_score_settings(argc, argv, settings); status >= 0) return status;

  ScoringRun run;
  std::string problem;
  if (!prepare(settings, run, problem)) return fail(problem);
  score_timelines(settings, run);
  tell_problems(run);
  // The table, markdown and LaTeX say it in their caption line.
  if (settings.format == OutputFormat::csv || settings.format == OutputFormat::jsonl)
    if (!run.scores.bks_from_runs.empty()) fail(reference_caption(run.scores));

  bool page_only = settings.html && std::string(settings.html) == "-";
  if (!page_only) {
    if (settings.per_solver)
      write_solvers(run.comparison, run.scores, settings, stdout);
    else
      write_runs(run.scores, settings, stdout);
  }
  bool page_written = !settings.html || write_html(settings, run);
  if (!output_written("fleetjudge-score") || !page_written) return 2;
  return scoring_status(run);
}
