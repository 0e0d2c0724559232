// fleetjudge-report: every violation of a VRPTW solution, every route's
// figures, and fleetjudge's own verdict, as text or JSON.
//
//   fleetjudge-report [--json] INSTANCE SOLUTION
//
// The run is the checker's, phase by phase, with a consumer that records each
// finding and goes on; then a writer prints what was recorded. Status 0: no
// violation; 1: violations; 2: the report cannot judge (usage, a file that
// cannot be opened or read on, an instance or header that cannot be parsed).

#include <csignal>
#include <cstdio>
#include <cstring>

#include "../finish.h"
#include "../instance/reader.h"
#include "../screen/screen.h"
#include "report.h"

static const char usage_text[] = "usage: fleetjudge-report [--json] INSTANCE SOLUTION\n";

static int usage_error(const char *problem) {
  std::fprintf(stderr, "fleetjudge-report: %s\n%s", problem, usage_text);
  return 2;
}

// The document is promised whenever both files can be opened, so both are
// tried before anything is read.
static bool can_open(const char *path) {
  std::FILE *f = std::fopen(path, "r");
  if (f == nullptr) {
    std::fprintf(stderr, "fleetjudge-report: cannot open %s: %s\n", path, std::strerror(errno));
    return false;
  }
  std::fclose(f);
  return true;
}

int main(int argc, char **argv) {
  std::signal(SIGPIPE, SIG_IGN);
  bool json = false;
  Files files{nullptr, nullptr};
  for (int i = 1; i < argc; ++i) {
    const char *arg = argv[i];
    if (std::strcmp(arg, "--json") == 0) {
      json = true;
    } else if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "--version") == 0) {
      std::printf("%sfleetjudge-report 1.2\n", usage_text);
      return output_written("fleetjudge-report") ? 0 : 2;
    } else if (arg[0] == '-' && arg[1] == '-') {
      return usage_error("unknown option");
    } else if (files.instance == nullptr) {
      files.instance = arg;
    } else if (files.solution == nullptr) {
      files.solution = arg;
    } else {
      return usage_error("too many arguments");
    }
  }
  if (files.solution == nullptr) return usage_error("an instance and a solution are needed");
  if (!can_open(files.instance) || !can_open(files.solution)) return 2;

  start_recording(json);
  static InputFile instance, solution;
  if (open_input(instance, "instance", files.instance)) read_instance(instance);
  if (!input_failed) screen_instance();
  if (!input_failed && open_input(solution, "solution", files.solution) &&
      check_solution(solution)) {
    walk_routes(solution);
    if (!input_failed) close_checks();
  }

  if (json)
    write_json(files);
  else if (record.error.empty())
    write_text(files);
  if (!record.error.empty()) std::fprintf(stderr, "fleetjudge-report: %s\n", record.error.c_str());
  if (!output_written("fleetjudge-report")) return 2;
  return exit_status();
}
