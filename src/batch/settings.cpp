#include "settings.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <regex>
#include <thread>

#include "../program.h"
#include "check.h"
#include "objective.h"
#include "report/options.h"

namespace {

const char usage_text[] =
    "usage: fleetjudge-batch [options] INSTANCE_DIR SOLUTION_DIR...\n"
    "       fleetjudge-batch [options] --pairs FILE   (- for standard input)\n"
    "options: --format=table|csv|markdown|latex|jsonl|bks  --routes (jsonl)  --bks FILE\n"
    "         -r (--recursive)  --order=natural|given  --columns=NAME,...  --decimals=N\n"
    "         --per-instance  --group=solomon|REGEX\n"
    "         -j N  --quiet  --solution-format=auto|fleetjudge|routes|plain\n"
    "         --instance-format=auto|solomon|vrplib|lilim|sartori\n"
    "         --convention=auto|exact|truncated|rounded\n"
    "         --objective=vehicles-first|distance\n";

int usage_error(const std::string &problem) {
  std::fprintf(stderr, "fleetjudge-batch: %s\n%s", problem.c_str(), usage_text);
  return 2;
}

// "--name=value" or "--name value"; `value` is null when `arg` is another option.
bool option(const char *name, int argc, char **argv, int &i, const char *&value) {
  size_t n = std::strlen(name);
  if (std::strncmp(argv[i], name, n) != 0) return false;
  if (argv[i][n] == '=') {
    value = argv[i] + n + 1;
    return true;
  }
  if (argv[i][n] != '\0') return false;
  value = i + 1 < argc ? argv[++i] : nullptr;
  return true;
}

bool choose(const char *value, const char *const names[], int count, int &chosen) {
  for (int k = 0; k < count; ++k)
    if (value && std::strcmp(value, names[k]) == 0) {
      chosen = k;
      return true;
    }
  return false;
}

bool thread_count(const char *text, unsigned &jobs) {
  char *end = nullptr;
  long n = text ? std::strtol(text, &end, 10) : 0;
  if (!text || *end != '\0' || n < 1 || n > 1024) return false;
  jobs = unsigned(n);
  return true;
}

} // namespace

int parse_settings(int argc, char **argv, Settings &s) {
  static const char *const formats[] = {"table", "csv", "markdown", "jsonl", "latex", "bks"};
  std::vector<const char *> operands;
  for (int i = 1; i < argc; ++i) {
    const char *arg = argv[i], *value = nullptr;
    int chosen = 0;
    if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "--version") == 0) {
      std::printf("%sfleetjudge-batch %s\n", usage_text, FLEETJUDGE_VERSION);
      return output_written("fleetjudge-batch") ? 0 : 2;
    } else if (option("--format", argc, argv, i, value)) {
      if (!choose(value, formats, 6, chosen)) return usage_error("unknown output format");
      s.format = OutputFormat(chosen);
    } else if (option("--convention", argc, argv, i, value)) {
      if (!value || !choose_convention(value, s.convention, s.automatic_convention))
        return usage_error("unknown convention");
    } else if (option("--instance-format", argc, argv, i, value)) {
      if (!value || !choose_instance_format(value, s.instance_format))
        return usage_error("unknown instance format");
    } else if (option("--solution-format", argc, argv, i, value)) {
      Inputs probe;
      if (!value || !choose_format(value, probe)) return usage_error("unknown solution format");
      s.solution_format = value;
    } else if (option("--objective", argc, argv, i, value)) {
      if (!value || !choose_objective(value, s.objective))
        return usage_error("--objective is vehicles-first or distance");
    } else if (option("--bks", argc, argv, i, value)) {
      if (!value) return usage_error("--bks needs a file");
      s.bks = value;
    } else if (option("--pairs", argc, argv, i, value)) {
      if (!value) return usage_error("--pairs needs a file");
      s.pairs = value;
    } else if (std::strcmp(arg, "-j") == 0 || option("--jobs", argc, argv, i, value)) {
      if (arg[1] == 'j') value = i + 1 < argc ? argv[++i] : nullptr;
      if (!thread_count(value, s.jobs))
        return usage_error("-j needs a number of threads, 1 to 1024");
    } else if (std::strncmp(arg, "-j", 2) == 0) {
      if (!thread_count(arg + 2, s.jobs))
        return usage_error("-j needs a number of threads, 1 to 1024");
    } else if (std::strcmp(arg, "-r") == 0 || std::strcmp(arg, "--recursive") == 0) {
      s.recursive = true;
    } else if (option("--order", argc, argv, i, value)) {
      static const char *const orders[] = {"natural", "given"};
      if (!choose(value, orders, 2, chosen)) return usage_error("--order is natural or given");
      s.given_order = chosen == 1;
    } else if (option("--columns", argc, argv, i, value)) {
      if (!value || !*value) return usage_error("--columns needs column names");
      s.columns.clear();
      for (const char *c = value;; ++c) {
        const char *comma = std::strchr(c, ',');
        s.columns.emplace_back(c, comma ? size_t(comma - c) : std::strlen(c));
        if (s.columns.back().empty()) return usage_error("--columns has an empty name");
        if (!comma) break;
        c = comma;
      }
    } else if (option("--decimals", argc, argv, i, value)) {
      char *end = nullptr;
      long n = value ? std::strtol(value, &end, 10) : -1;
      if (!value || *end != '\0' || *value == '\0' || n < 0 || n > 12)
        return usage_error("--decimals needs a number of decimals, 0 to 12");
      s.decimals = int(n);
    } else if (std::strcmp(arg, "--per-instance") == 0) {
      s.per_instance = true;
    } else if (option("--group", argc, argv, i, value)) {
      if (!value || !*value) return usage_error("--group needs solomon or a regular expression");
      if (std::strcmp(value, "solomon") == 0) {
        s.grouping = Grouping::solomon;
      } else {
        try {
          std::regex pattern(value, std::regex::ECMAScript);
          if (pattern.mark_count() < 1)
            return usage_error("the --group expression has no capture group");
        } catch (const std::regex_error &e) {
          return usage_error(std::string("the --group expression is not valid: ") + e.what());
        }
        s.grouping = Grouping::pattern;
        s.group_pattern = value;
      }
    } else if (std::strcmp(arg, "--routes") == 0) {
      s.routes = true;
    } else if (std::strcmp(arg, "--quiet") == 0 || std::strcmp(arg, "-q") == 0) {
      s.quiet = true;
    } else if (arg[0] == '-' && arg[1] != '\0') {
      return usage_error(std::string("unknown option ") + arg);
    } else {
      operands.push_back(arg);
    }
  }
  if (s.pairs && !operands.empty()) return usage_error("--pairs takes no folders");
  if (s.pairs && s.recursive) return usage_error("-r looks into folders, not a pair list");
  if (!s.pairs && operands.size() < 2)
    return usage_error("an instance folder and a solution folder are needed");
  bool aggregate = s.per_instance || s.grouping != Grouping::none;
  if (s.routes && (s.format != OutputFormat::jsonl || aggregate))
    return usage_error("--routes needs --format=jsonl, with a row per pair");
  if (s.format == OutputFormat::bks && aggregate)
    return usage_error("--format=bks gives one row per instance of its own");
  if (!s.columns.empty() && (s.format == OutputFormat::jsonl || s.format == OutputFormat::bks))
    return usage_error("--columns is for the table, csv, markdown and latex");
  if (!operands.empty()) {
    s.instance_dir = operands[0];
    s.solution_dirs.assign(operands.begin() + 1, operands.end());
  }
  if (s.jobs == 0) s.jobs = std::max(1u, std::thread::hardware_concurrency());
  return -1;
}
