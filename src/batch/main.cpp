// fleetjudge-batch: a whole benchmark set in one run, one row per pair with
// the report's figures, as a table, CSV, markdown, LaTeX or JSON lines; or
// rows over them: per instance over its runs, per class, best-known files.
//
//   fleetjudge-batch [options] INSTANCE_DIR SOLUTION_DIR...
//   fleetjudge-batch [options] --pairs FILE
//
// Each pair is judged as fleetjudge-report --json judges it, on threads of
// one process; the rows come out in the order of the names (or as given)
// whatever the number of threads. Status 0: every pair feasible; 1: some
// pair has violations; 2: some pair could not be judged, or the arguments
// are wrong, or standard output failed.

#include <csignal>
#include <cstdio>

#include "../program.h"
#include "aggregate.h"
#include "bks.h"
#include "objective.h"
#include "order.h"
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

static bool find_pairs(const Settings &settings, PairList &list, std::string &problem) {
  if (settings.pairs) return pairs_from_list(settings.pairs, list, problem);
  bool runs = settings.solution_dirs.size() > 1;
  for (size_t k = 0; k < settings.solution_dirs.size(); ++k)
    if (!pairs_from_folders(settings.instance_dir, settings.solution_dirs[k], settings.recursive,
                            runs ? settings.solution_dirs[k] : "", int(k), list, problem))
      return false;
  return true;
}

int main(int argc, char **argv) {
  std::signal(SIGPIPE, SIG_IGN); // a closed pipe is a write error, status 2
  Settings settings;
  if (int status = parse_settings(argc, argv, settings); status >= 0) return status;

  PairList list;
  std::string problem;
  if (!find_pairs(settings, list, problem)) return fail(problem);
  if (!settings.given_order) sort_pairs(list.pairs);
  BksTable bks;
  if (settings.bks && !read_bks(settings.bks, bks, problem, list.notes)) return fail(problem);
  for (const std::string &note : list.notes)
    std::fprintf(stderr, "fleetjudge-batch: %s\n", note.c_str());
  std::string unpaired = unpaired_bks(bks, list);
  if (!unpaired.empty()) std::fprintf(stderr, "fleetjudge-batch: %s\n", shown(unpaired).c_str());

  bool summary = settings.per_instance || settings.grouping != Grouping::none;
  if (settings.bks && !summary && settings.format != OutputFormat::bks)
    settings.vehicles_versus_column =
        some_vehicles_first(settings.objective, settings.instance_format, list.pairs);

  Totals totals;
  totals.unpaired_instances = list.unpaired_instances;
  Progress progress = start_progress(!settings.quiet, list.pairs.size());
  if (summary || settings.format == OutputFormat::bks) {
    // Rows over all the rows: every row first, without its JSON line.
    Settings judging = settings;
    judging.format = OutputFormat::csv;
    Summary s;
    if (summary) {
      s = summarize({}, {}, settings, bks); // the columns, to check --columns before judging
      if (!choose_columns(s.sheet, settings.columns, s.defaults, problem)) return fail(problem);
    }
    std::vector<Row> rows;
    rows.reserve(list.pairs.size());
    judge_all(list.pairs, judging, bks, progress, [&](const Row &row) {
      rows.push_back(row);
      add_row(totals, row);
      return true;
    });
    if (settings.format == OutputFormat::bks) {
      write_bks(list.pairs, rows, settings.objective, stdout);
    } else {
      std::vector<size_t> chosen = s.sheet.chosen;
      s = summarize(list.pairs, rows, settings, bks);
      s.sheet.chosen = chosen;
      if (settings.format == OutputFormat::jsonl) {
        write_summary_jsonl(s, stdout);
      } else {
        std::vector<std::vector<std::string>> cells;
        for (const auto &r : s.rows) cells.push_back(rendered(r, settings));
        std::vector<std::string> foot = rendered(s.totals, settings);
        for (size_t k = 0; k < s.sheet.fields.size(); ++k)
          for (const auto *c : {&foot}) {
            size_t width;
            shown((*c)[k], &width);
            s.sheet.fields[k].width = std::max(s.sheet.fields[k].width, width);
          }
        for (const auto &c : cells)
          for (size_t k = 0; k < c.size(); ++k) {
            size_t width;
            shown(c[k], &width);
            s.sheet.fields[k].width = std::max(s.sheet.fields[k].width, width);
          }
        write_head(s.sheet, stdout);
        for (const auto &c : cells) write_cells(s.sheet, c, stdout);
        write_foot(s.sheet, &foot, stdout);
      }
    }
  } else {
    Sheet sheet;
    if (!pair_sheet(settings, list, sheet, problem)) return fail(problem);
    write_head(sheet, stdout);
    judge_all(list.pairs, settings, bks, progress, [&](const Row &row) {
      if (settings.format == OutputFormat::jsonl)
        std::fwrite(row.json.data(), 1, row.json.size(), stdout);
      else
        write_cells(sheet, pair_cells(row, settings), stdout);
      add_row(totals, row);
      return !std::ferror(stdout);
    });
    std::vector<std::string> foot = totals_cells(totals, settings);
    write_foot(sheet, &foot, stdout);
    if (settings.format == OutputFormat::table) write_totals_line(totals, stdout);
  }
  if (!output_written("fleetjudge-batch")) return 2;
  return batch_status(totals);
}
