// fleetjudge-report: every violation of a VRPTW solution, every route's
// figures, and fleetjudge's own verdict, as text or JSON.
//
//   fleetjudge-report [--json] [--html FILE] INSTANCE SOLUTION
//
// The run is the checker's, phase by phase, with a consumer that records each
// finding and goes on; then a writer prints what was recorded. With --html,
// a page with pictures of the same record goes to FILE as well. Status 0: no
// violation; 1: violations; 2: the report cannot judge (usage, a file that
// cannot be opened or read on, an instance or header that cannot be parsed).

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

#include "../finish.h"
#include "../instance/reader.h"
#include "../screen/screen.h"
#include "report.h"

static const char usage_text[] =
    "usage: fleetjudge-report [--json] [--html FILE] INSTANCE SOLUTION\n";

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

// The page must not replace a file the run is about to read.
static bool same_file(const char *a, const char *b) {
  struct stat sa, sb;
  return stat(a, &sa) == 0 && stat(b, &sb) == 0 && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

static bool page_failed(const char *path) {
  std::fprintf(stderr, "fleetjudge-report: cannot write the page %s: %s\n", path,
               std::strerror(errno));
  return true;
}

int main(int argc, char **argv) {
  std::signal(SIGPIPE, SIG_IGN);
  bool json = false;
  const char *html = nullptr;
  Files files{nullptr, nullptr};
  for (int i = 1; i < argc; ++i) {
    const char *arg = argv[i];
    if (std::strcmp(arg, "--json") == 0) {
      json = true;
    } else if (std::strcmp(arg, "--html") == 0) {
      if (++i == argc) return usage_error("--html needs a file name");
      html = argv[i];
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
  if (html != nullptr && (same_file(html, files.instance) || same_file(html, files.solution)))
    return usage_error("the page would overwrite an input file");
  // Opened before the run, so that a page that cannot be written costs no work.
  std::FILE *page = html == nullptr ? nullptr : std::fopen(html, "w");
  if (html != nullptr && page == nullptr) {
    page_failed(html);
    return 2;
  }

  start_recording(json || page != nullptr);
  static InputFile instance, solution;
  if (open_input(instance, "instance", files.instance)) read_instance(instance);
  if (!input_failed) screen_instance();
  if (!input_failed && open_input(solution, "solution", files.solution) &&
      check_solution(solution)) {
    walk_routes(solution);
    if (!input_failed) close_checks();
  }

  bool page_ok = true;
  if (page != nullptr) {
    write_html(files, page);
    // A full disk shows only when the buffer goes out: flush and close count.
    errno = 0;
    bool failed = std::fflush(page) != 0 || std::ferror(page);
    int why = errno;
    failed |= std::fclose(page) != 0;
    if (failed) {
      errno = why != 0 ? why : errno != 0 ? errno : EIO;
      page_ok = !page_failed(html);
    }
  }
  if (json)
    write_json(files);
  else if (record.error.empty())
    write_text(files);
  if (!record.error.empty()) std::fprintf(stderr, "fleetjudge-report: %s\n", record.error.c_str());
  if (!output_written("fleetjudge-report") || !page_ok) return 2;
  return exit_status();
}
