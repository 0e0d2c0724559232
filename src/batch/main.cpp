// fleetjudge-batch: a whole benchmark set in one run, one row per pair with
// the report's figures, as a table, CSV, markdown or JSON lines.
//
//   fleetjudge-batch [options] INSTANCE_DIR SOLUTION_DIR
//   fleetjudge-batch [options] --pairs FILE
//
// Each pair is judged as fleetjudge-report --json judges it, on threads of
// one process; the rows come out in pair order whatever their number. Status
// 0: every pair feasible; 1: some pair has violations; 2: some pair could not
// be judged, or the arguments are wrong, or standard output failed.

#include <csignal>
#include <cstdio>

#include "../program.h"
#include "bks.h"
#include "pairs.h"
#include "pool.h"
#include "settings.h"
#include "write.h"

static int fail(const std::string &problem) {
  std::fprintf(stderr, "fleetjudge-batch: %s\n", problem.c_str());
  return 2;
}

static int batch_status(const Totals &t) {
  if (t.not_judged > 0) {
    std::fprintf(
        stderr, "fleetjudge-batch: %lld of %lld pairs could not be judged (see the error column)\n",
        static_cast<long long>(t.not_judged), static_cast<long long>(t.pairs));
    return 2;
  }
  return t.violations > 0 ? 1 : 0;
}

int main(int argc, char **argv) {
  std::signal(SIGPIPE, SIG_IGN); // a closed pipe is a write error, status 2
  Settings settings;
  if (int status = parse_settings(argc, argv, settings); status >= 0) return status;

  PairList list;
  std::string problem;
  bool found = settings.pairs ? pairs_from_list(settings.pairs, list, problem)
                              : pairs_from_folders(settings.instance_dir, settings.solution_dir,
                                                   list, problem);
  if (!found) return fail(problem);
  BksTable bks;
  if (settings.bks && !read_bks(settings.bks, bks, problem, list.notes)) return fail(problem);
  for (const std::string &note : list.notes)
    std::fprintf(stderr, "fleetjudge-batch: %s\n", note.c_str());
  std::string unpaired = unpaired_bks(bks, list);
  if (!unpaired.empty()) std::fprintf(stderr, "fleetjudge-batch: %s\n", shown(unpaired).c_str());

  Writer writer = make_writer(settings, list);
  Totals totals;
  totals.unpaired_instances = list.unpaired_instances;
  write_head(writer, stdout);
  Progress progress = start_progress(!settings.quiet, list.pairs.size());
  judge_all(list.pairs, settings, bks, progress, [&](const Row &row) {
    write_row(writer, row, stdout);
    add_row(totals, row);
    return !std::ferror(stdout);
  });
  write_totals(writer, totals, stdout);
  if (!output_written("fleetjudge-batch")) return 2;
  return batch_status(totals);
}
