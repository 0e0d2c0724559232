#include "settings.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "../program.h"
#include "batch/write.h"

namespace {

const char usage_text[] =
    "usage: fleetjudge-score [options] --time-limit SECONDS|--time-limits FILE TIMELINE...\n";

const char help_text[] =
    "Solvers scored over time: every solution of every run in the timelines\n"
    "(JSON Lines, or - for standard input) judged against its instance, and each\n"
    "run's final gap, times to target gaps and primal integral computed from the\n"
    "solutions found feasible.\n"
    "\n"
    "  --instances DIR          find each instance by name in DIR and its sub-folders\n"
    "                           (NAME.txt or NAME.vrp, any case)\n"
    "  --time-limit SECONDS     every run's time limit\n"
    "  --time-limits FILE       a CSV of instance,time_limit (one of the two is needed;\n"
    "                           with both, the file's limit wins for its instances)\n"
    "  --bks FILE               best-known solutions, fleetjudge-batch's CSV\n"
    "                           (instance,vehicles,cost,convention)\n"
    "  --convention=C           exact (default), truncated or rounded: the distance of\n"
    "                           an instance the best-known file gives no convention\n"
    "  --targets=X,...          target gaps in per cent (default 1,0.1)\n"
    "  --format=F               table (default), csv, markdown, latex or jsonl\n"
    "  --per-solver             one row per solver instead of one per run\n"
    "  --decimals=N             decimals in the table, markdown and LaTeX (default 2)\n"
    "  --html FILE              write a page with the pictures to FILE\n"
    "  --unverified             take a line without routes or solution at its cost\n"
    "  --instance-format=F      auto (default), solomon, vrplib, lilim or sartori\n"
    "  -j N, --jobs=N           threads (default: the number of processors)\n"
    "  --help, --version        print this help, or the version, and exit\n"
    "\n"
    "Exit status: 0 every solution feasible and every claimed cost right; 1 some\n"
    "solution infeasible or some claimed cost off; 2 a bad line, a run that could\n"
    "not be scored, a wrong option, or output that could not be written.\n"
    "See man fleetjudge-score.\n";

int usage_error(const std::string &problem) {
  std::fprintf(stderr, "fleetjudge-score: %s\n%sTry fleetjudge-score --help.\n", problem.c_str(),
               usage_text);
  return 2;
}

// "--name=value" or "--name value"; `value` is null when nothing follows.
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

bool number(const char *text, double &value) {
  char *end = nullptr;
  if (!text || !*text) return false;
  value = std::strtod(text, &end);
  return *end == '\0' && std::isfinite(value);
}

bool thread_count(const char *text, unsigned &jobs) {
  char *end = nullptr;
  long n = text ? std::strtol(text, &end, 10) : 0;
  if (!text || *end != '\0' || n < 1 || n > 1024) return false;
  jobs = unsigned(n);
  return true;
}

bool targets(const char *text, std::vector<double> &out, std::string &problem) {
  out.clear();
  if (!text || !*text) {
    problem = "--targets needs gaps in per cent, such as 1,0.1";
    return false;
  }
  for (const char *c = text;; ++c) {
    const char *comma = std::strchr(c, ',');
    std::string one(c, comma ? size_t(comma - c) : std::strlen(c));
    double value;
    if (!number(one.c_str(), value)) {
      problem = "--targets: \"" + one + "\" is not a gap in per cent";
      return false;
    }
    for (double t : out)
      if (target_name(t) == target_name(value)) {
        problem = "--targets names " + target_name(value) + " twice";
        return false;
      }
    out.push_back(value);
    if (!comma) return true;
    c = comma;
  }
}

} // namespace

std::string target_name(double target) { return "time_to_" + shortest(target); }

int parse_score_settings(int argc, char **argv, ScoreSettings &s) {
  static const char *const formats[] = {"table", "csv", "markdown", "jsonl", "latex"};
  bool stdin_named = false;
  for (int i = 1; i < argc; ++i) {
    const char *arg = argv[i], *value = nullptr;
    std::string problem;
    if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "--version") == 0) {
      if (arg[2] == 'h')
        std::printf("%s%s", usage_text, help_text);
      else
        std::printf("fleetjudge-score %s\n", FLEETJUDGE_VERSION);
      return output_written("fleetjudge-score") ? 0 : 2;
    } else if (option("--format", argc, argv, i, value)) {
      int k = 0;
      while (k < 5 && !(value && std::strcmp(value, formats[k]) == 0)) ++k;
      if (k == 5) return usage_error("--format is table, csv, markdown, latex or jsonl");
      s.format = OutputFormat(k);
    } else if (option("--instances", argc, argv, i, value)) {
      if (!value) return usage_error("--instances needs a folder");
      s.instances = value;
    } else if (option("--instance-format", argc, argv, i, value)) {
      InstanceChoice probe;
      if (!value || !choose_instance_format(value, probe))
        return usage_error("--instance-format is auto, solomon, vrplib, lilim or sartori");
      s.instance_format = value;
    } else if (option("--bks", argc, argv, i, value)) {
      if (!value) return usage_error("--bks needs a file");
      s.bks = value;
    } else if (option("--time-limits", argc, argv, i, value)) {
      if (!value) return usage_error("--time-limits needs a file");
      s.time_limits = value;
    } else if (option("--time-limit", argc, argv, i, value)) {
      double limit;
      if (!number(value, limit) || limit <= 0)
        return usage_error("--time-limit needs a number of seconds above 0");
      s.time_limit = limit;
    } else if (option("--convention", argc, argv, i, value)) {
      if (value && std::strcmp(value, "auto") == 0)
        return usage_error("--convention=auto does not apply here: one convention holds for "
                           "every solution of an instance, fixed before any is judged; "
                           "choose exact, truncated or rounded");
      if (!value || !choose_convention(value, s.convention))
        return usage_error("--convention is exact, truncated or rounded");
    } else if (option("--targets", argc, argv, i, value)) {
      if (!targets(value, s.targets, problem)) return usage_error(problem);
    } else if (option("--decimals", argc, argv, i, value)) {
      char *end = nullptr;
      long n = value ? std::strtol(value, &end, 10) : -1;
      if (!value || *end != '\0' || *value == '\0' || n < 0 || n > 12)
        return usage_error("--decimals needs a number of decimals, 0 to 12");
      s.decimals = int(n);
    } else if (option("--html", argc, argv, i, value)) {
      if (!value || !*value) return usage_error("--html needs a file");
      s.html = value;
    } else if (std::strcmp(arg, "-j") == 0 || option("--jobs", argc, argv, i, value)) {
      if (arg[1] == 'j') value = i + 1 < argc ? argv[++i] : nullptr;
      if (!thread_count(value, s.jobs))
        return usage_error("-j needs a number of threads, 1 to 1024");
    } else if (std::strncmp(arg, "-j", 2) == 0) {
      if (!thread_count(arg + 2, s.jobs))
        return usage_error("-j needs a number of threads, 1 to 1024");
    } else if (std::strcmp(arg, "--unverified") == 0) {
      s.unverified = true;
    } else if (std::strcmp(arg, "--per-solver") == 0) {
      s.per_solver = true;
    } else if (arg[0] == '-' && arg[1] != '\0') {
      return usage_error(std::string("unknown option ") + arg);
    } else {
      if (std::strcmp(arg, "-") == 0) {
        if (stdin_named) return usage_error("standard input (-) can be read once only");
        stdin_named = true;
      }
      s.timelines.emplace_back(arg);
    }
  }
  if (s.timelines.empty()) return usage_error("no timeline given");
  if (!s.time_limit && !s.time_limits)
    return usage_error("a time limit is needed: --time-limit SECONDS or --time-limits FILE");
  if (s.jobs == 0) s.jobs = std::max(1u, std::thread::hardware_concurrency());
  return -1;
}
