#include "settings.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "../program.h"
#include "check.h"
#include "report/options.h"

namespace {

const char usage_text[] =
    "usage: fleetjudge-batch [options] INSTANCE_DIR SOLUTION_DIR\n"
    "       fleetjudge-batch [options] --pairs FILE   (- for standard input)\n"
    "options: --format=table|csv|markdown|jsonl  --routes (jsonl)  --bks FILE\n"
    "         -j N  --quiet  --solution-format=auto|fleetjudge|routes|plain\n"
    "         --instance-format=auto|solomon|vrplib\n"
    "         --convention=auto|exact|truncated|rounded\n";

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
  static const char *const formats[] = {"table", "csv", "markdown", "jsonl"};
  const char *operands[2] = {nullptr, nullptr};
  int operand_count = 0;
  for (int i = 1; i < argc; ++i) {
    const char *arg = argv[i], *value = nullptr;
    int chosen = 0;
    if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "--version") == 0) {
      std::printf("%sfleetjudge-batch 1.2\n", usage_text);
      return output_written("fleetjudge-batch") ? 0 : 2;
    } else if (option("--format", argc, argv, i, value)) {
      if (!choose(value, formats, 4, chosen)) return usage_error("unknown output format");
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
    } else if (std::strcmp(arg, "--routes") == 0) {
      s.routes = true;
    } else if (std::strcmp(arg, "--quiet") == 0 || std::strcmp(arg, "-q") == 0) {
      s.quiet = true;
    } else if (arg[0] == '-' && arg[1] != '\0') {
      return usage_error(std::string("unknown option ") + arg);
    } else if (operand_count < 2) {
      operands[operand_count++] = arg;
    } else {
      return usage_error("too many arguments");
    }
  }
  if (s.pairs && operand_count > 0) return usage_error("--pairs takes no folders");
  if (!s.pairs && operand_count < 2)
    return usage_error("an instance folder and a solution folder are needed");
  if (s.routes && s.format != OutputFormat::jsonl)
    return usage_error("--routes needs --format=jsonl");
  s.instance_dir = operands[0];
  s.solution_dir = operands[1];
  if (s.jobs == 0) s.jobs = std::max(1u, std::thread::hardware_concurrency());
  return -1;
}
