// fleetjudge-report: every violation of a VRPTW solution, every route's
// figures in both distance conventions, and fleetjudge's own verdict, as
// text or JSON.
//
//   fleetjudge-report [--json] [--html FILE]
//                     [--solution-format=auto|fleetjudge|routes|plain] INSTANCE SOLUTION
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
    "usage: fleetjudge-report [--json] [--html FILE]\n"
    "                         [--solution-format=auto|fleetjudge|routes|plain]\n"
    "                         INSTANCE SOLUTION\n";

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

// Whether the file's first line ends in CR LF, as the published benchmark
// instances do.
static bool has_crlf(const char *path) {
  std::FILE *f = std::fopen(path, "rb");
  if (f == nullptr) return false;
  int c, previous = 0;
  while ((c = std::fgetc(f)) != EOF && c != '\n') previous = c;
  std::fclose(f);
  return c == '\n' && previous == '\r';
}

// The page must not replace a file the run is about to read.
static bool same_file(const char *a, const char *b) {
  struct stat sa, sb;
  return stat(a, &sa) == 0 && stat(b, &sb) == 0 && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

static void page_failed(const char *path) {
  std::fprintf(stderr, "fleetjudge-report: cannot write the page %s: %s\n", path,
               std::strerror(errno));
}

struct Options {
  bool json = false;
  const char *html = nullptr; // the page's file
  const char *format = "auto";
  Files files{nullptr, nullptr};
};

// Returns 0 when the run goes on, else the status to end with.
static int parse(int argc, char **argv, Options &o) {
  for (int i = 1; i < argc; ++i) {
    const char *arg = argv[i];
    if (std::strcmp(arg, "--json") == 0) {
      o.json = true;
    } else if (std::strcmp(arg, "--html") == 0) {
      if (++i == argc) return usage_error("--html needs a file name");
      o.html = argv[i];
    } else if (std::strncmp(arg, "--solution-format=", 18) == 0) {
      o.format = arg + 18;
    } else if (std::strcmp(arg, "--solution-format") == 0 && i + 1 < argc) {
      o.format = argv[++i];
    } else if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "--version") == 0) {
      std::printf("%sfleetjudge-report 1.2\n", usage_text);
      return output_written("fleetjudge-report") ? -1 : 2;
    } else if (arg[0] == '-' && arg[1] == '-') {
      return usage_error("unknown option");
    } else if (o.files.instance == nullptr) {
      o.files.instance = arg;
    } else if (o.files.solution == nullptr) {
      o.files.solution = arg;
    } else {
      return usage_error("too many arguments");
    }
  }
  if (o.files.solution == nullptr) return usage_error("an instance and a solution are needed");
  return 0;
}

static bool choose_format(const Options &o) {
  const char *names[] = {"fleetjudge", "routes", "plain"};
  if (std::strcmp(o.format, "auto") == 0) {
    record.format = detect_format(o.files.solution);
    return true;
  }
  for (int i = 0; i < 3; ++i)
    if (std::strcmp(o.format, names[i]) == 0) record.format = SolutionFormat(i);
  return std::strcmp(o.format, names[static_cast<int>(record.format)]) == 0;
}

// The checker's phases with the recording consumer, in the format chosen.
static void judge(const Files &files) {
  static InputFile instance, solution;
  instance.crlf_as_lf = has_crlf(files.instance);
  if (record.format != SolutionFormat::fleetjudge) {
    record.has_verdict = false;
    record.verdict_status = 0; // nothing to keep: fleetjudge cannot read this format
  } else if (instance.crlf_as_lf) {
    run_checker_aside(files.instance, files.solution);
  }
  if (instance.crlf_as_lf)
    record.notes.push_back("the instance has CR LF line ends: read here as LF; fleetjudge itself "
                           "does not accept them (convert with tr -d '\\r')");

  if (open_input(instance, "instance", files.instance)) read_instance(instance);
  if (!input_failed) screen_instance();
  if (!input_failed && open_input(solution, "solution", files.solution)) {
    if (record.format != SolutionFormat::fleetjudge)
      walk_route_list(solution, record.format);
    else if (check_solution(solution))
      walk_routes(solution);
    if (!input_failed && (record.format != SolutionFormat::fleetjudge || L != -1)) close_checks();
    if (!input_failed) judge_cost();
  }
  if (route_list.ignored_lines > 0)
    record.notes.push_back(std::to_string(route_list.ignored_lines) +
                           (route_list.ignored_lines == 1 ? " line that is" : " lines that are") +
                           " neither a route nor a cost ignored");
}

// Writes the page and checks that it really reached the file: a full disk
// shows only when the buffer goes out, so the flush and the close count.
static bool write_page(const Files &files, std::FILE *page, const char *path) {
  write_html(files, page);
  errno = 0;
  bool failed = std::fflush(page) != 0 || std::ferror(page);
  int why = errno;
  failed |= std::fclose(page) != 0;
  if (!failed) return true;
  errno = why != 0 ? why : errno != 0 ? errno : EIO;
  page_failed(path);
  return false;
}

int main(int argc, char **argv) {
  std::signal(SIGPIPE, SIG_IGN);
  Options o;
  if (int status = parse(argc, argv, o)) return status < 0 ? 0 : status;
  if (!choose_format(o)) return usage_error("unknown solution format");
  const Files &files = o.files;
  if (!can_open(files.instance) || !can_open(files.solution)) return 2;
  if (o.html != nullptr && (same_file(o.html, files.instance) || same_file(o.html, files.solution)))
    return usage_error("the page would overwrite an input file");
  // Opened before the run, so that a page that cannot be written costs no work.
  std::FILE *page = o.html == nullptr ? nullptr : std::fopen(o.html, "w");
  if (o.html != nullptr && page == nullptr) {
    page_failed(o.html);
    return 2;
  }

  start_recording(o.json || page != nullptr);
  judge(files);
  bool page_ok = page == nullptr || write_page(files, page, o.html);
  if (o.json)
    write_json(files);
  else if (record.error.empty())
    write_text(files);
  if (!record.error.empty()) std::fprintf(stderr, "fleetjudge-report: %s\n", record.error.c_str());
  if (!output_written("fleetjudge-report") || !page_ok) return 2;
  return exit_status();
}
