// fleetjudge-report: every violation of a VRPTW or capacitated VRP
// solution, every route's figures in three distance conventions, and
// fleetjudge's own verdict, as text, JSON or a page.
//
//   fleetjudge-report [--json] [--html FILE] [--solution-format=auto|fleetjudge|routes|plain]
//                     [--instance-format=auto|solomon|vrplib|lilim|sartori]
//                     [--convention=auto|exact|truncated|rounded] INSTANCE SOLUTION
//
// The run is the checker's, phase by phase, with a consumer that records each
// finding and goes on; then a writer prints what was recorded. With --html,
// a page with pictures of the same record goes to FILE as well. Status 0: no
// violation; 1: violations; 2: the report cannot judge (usage, a file that
// cannot be opened or read on, an instance or header that cannot be parsed).
// Each input is opened once and read front to back, so pipes work as files do.

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "../program.h"
#include "build.h"
#include "options.h"
#include "report.h"

static const char usage_text[] = "usage: fleetjudge-report [OPTION]... INSTANCE SOLUTION\n";

static const char help_text[] =
    "Every violation and every figure of a vehicle routing solution (VRPTW or\n"
    "capacitated VRP), with fleetjudge's own verdict. INSTANCE or SOLUTION may be\n"
    "- for standard input, and any file may be a pipe.\n"
    "\n"
    "  --json                   write one JSON document (schema 2) instead of the text\n"
    "  --html FILE              write a page with pictures to FILE as well; with\n"
    "                           FILE -, to standard output instead of the text\n"
    "  --all                    list every route and violation the report keeps,\n"
    "                           not the first ones of each\n"
    "  --solution-format=F      auto (default: told from the first lines), fleetjudge\n"
    "                           (route count and total, then routes), routes\n"
    "                           (\"Route #1: ...\" lines) or plain (a route a line)\n"
    "  --instance-format=F      auto (default), solomon (fleetjudge's text layout),\n"
    "                           vrplib (a .vrp file), or pickup and delivery:\n"
    "                           lilim (Li & Lim) or sartori (Sartori & Buriol)\n"
    "  --convention=C           whose late stops count: auto (default: the one the\n"
    "                           declared cost matches, else exact), exact (as\n"
    "                           fleetjudge), truncated (every arc cut to one decimal)\n"
    "                           or rounded (every arc to the nearest integer)\n"
    "  --help, --version        print this help, or the version, and exit\n"
    "\n"
    "Exit status: 0 no violation; 1 violations; 2 the report cannot judge (a\n"
    "wrong option, a file that cannot be opened or read, an instance or a\n"
    "header that cannot be parsed, standard output that cannot be written).\n"
    "See man fleetjudge-report.\n";

static int usage_error(const std::string &problem) {
  std::fprintf(stderr, "fleetjudge-report: %s\n%sTry fleetjudge-report --help.\n", problem.c_str(),
               usage_text);
  return 2;
}

// Opens an input once, for the whole run; "-" is standard input. The
// document is promised whenever both can be opened, so both are opened
// before anything is read.
static bool open_once(InputFile &file, const char *kind, const char *path) {
  bool stdin_wanted = std::strcmp(path, "-") == 0;
  int fd = stdin_wanted ? STDIN_FILENO : open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    std::fprintf(stderr, "fleetjudge-report: cannot open %s: %s\n", path, std::strerror(errno));
    return false;
  }
  use_descriptor(file, kind, path, fd, !stdin_wanted);
  return true;
}

// The page must not replace a file the run is about to read.
static bool same_file(const char *path, const InputFile &input) {
  struct stat sa, sb;
  return stat(path, &sa) == 0 && fstat(input.fd, &sb) == 0 && S_ISREG(sb.st_mode) &&
         sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

static void page_failed(const char *path) {
  std::fprintf(stderr, "fleetjudge-report: cannot write the page %s: %s\n", path,
               std::strerror(errno));
}

struct Options {
  bool json = false, all = false;
  const char *html = nullptr; // the page's file; "-" is standard output
  const char *format = "auto";
  const char *instance_format = "auto";
  const char *convention = "auto";
  Files files{nullptr, nullptr};
};

// "--name=value" or "--name value": the value, or nullptr when `arg` is
// not that option.
static const char *value_of(const char *name, int argc, char **argv, int &i) {
  size_t length = std::strlen(name);
  if (std::strncmp(argv[i], name, length) != 0) return nullptr;
  if (argv[i][length] == '=') return argv[i] + length + 1;
  if (argv[i][length] == '\0' && i + 1 < argc) return argv[++i];
  return nullptr;
}

// Returns 0 when the run goes on, else the status to end with.
static int parse(int argc, char **argv, Options &o) {
  for (int i = 1; i < argc; ++i) {
    const char *arg = argv[i];
    if (std::strcmp(arg, "--json") == 0) {
      o.json = true;
    } else if (std::strcmp(arg, "--all") == 0) {
      o.all = true;
    } else if (std::strcmp(arg, "--html") == 0) {
      if (++i == argc) return usage_error("--html needs a file name");
      o.html = argv[i];
    } else if (const char *format = value_of("--solution-format", argc, argv, i)) {
      o.format = format;
    } else if (const char *format = value_of("--instance-format", argc, argv, i)) {
      o.instance_format = format;
    } else if (const char *convention = value_of("--convention", argc, argv, i)) {
      o.convention = convention;
    } else if (std::strcmp(arg, "--help") == 0) {
      std::printf("%s%s", usage_text, help_text);
      return output_written("fleetjudge-report") ? -1 : 2;
    } else if (std::strcmp(arg, "--version") == 0) {
      std::printf("fleetjudge-report %s\n", FLEETJUDGE_VERSION);
      return output_written("fleetjudge-report") ? -1 : 2;
    } else if (arg[0] == '-' && arg[1] != '\0') {
      return usage_error(std::string("unknown option ") + arg);
    } else if (o.files.instance == nullptr) {
      o.files.instance = arg;
    } else if (o.files.solution == nullptr) {
      o.files.solution = arg;
    } else {
      return usage_error("too many arguments");
    }
  }
  if (o.files.solution == nullptr) return usage_error("an instance and a solution are needed");
  if (std::strcmp(o.files.instance, "-") == 0 && std::strcmp(o.files.solution, "-") == 0)
    return usage_error("standard input can be only one of the two inputs");
  if (o.json && o.html != nullptr && std::strcmp(o.html, "-") == 0)
    return usage_error("only one of --json and --html - can use standard output");
  return 0;
}

// Writes the page and checks that it really reached the file: a full disk
// shows only when the buffer goes out, so the flush and the close count.
static bool write_page(const fleetjudge::Report &report, const Files &files, std::FILE *page,
                       const char *path) {
  write_html(report, files, page);
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
  Inputs in;
  Convention convention = Convention::exact;
  bool automatic;
  InstanceChoice instance_choice;
  if (!choose_format(o.format, in)) return usage_error("unknown solution format");
  if (!choose_instance_format(o.instance_format, instance_choice))
    return usage_error("unknown instance format");
  if (!choose_convention(o.convention, convention, automatic))
    return usage_error("unknown convention");
  const Files &files = o.files;
  if (!open_once(in.instance, "instance", files.instance) ||
      !open_once(in.solution, "solution", files.solution))
    return 2;
  bool page_to_stdout = o.html != nullptr && std::strcmp(o.html, "-") == 0;
  if (o.html != nullptr && !page_to_stdout &&
      (same_file(o.html, in.instance) || same_file(o.html, in.solution)))
    return usage_error("the page would overwrite an input file");
  // Opened before the run, so that a page that cannot be written costs no work.
  std::FILE *page = o.html == nullptr ? nullptr : page_to_stdout ? stdout : std::fopen(o.html, "w");
  if (o.html != nullptr && page == nullptr) {
    page_failed(o.html);
    return 2;
  }

  auto rep = std::make_unique<ReportRun>(o.json || page != nullptr);
  rep->convention = convention;
  rep->automatic = automatic;
  rep->instance_choice = instance_choice;
  judge(*rep, in, false);
  Files files_shown = files;
  files_shown.all = o.all;
  const fleetjudge::Report report = build_report(*rep, files_shown);
  bool page_ok = true;
  if (page_to_stdout)
    write_html(report, files_shown, stdout);
  else if (page != nullptr)
    page_ok = write_page(report, files_shown, page, o.html);
  if (o.json)
    write_json(report, stdout);
  else if (!report.error && !page_to_stdout)
    write_text(report, files_shown, stdout);
  if (report.error) std::fprintf(stderr, "fleetjudge-report: %s\n", report.error->c_str());
  if (!output_written("fleetjudge-report") || !page_ok) return 2;
  return report.status;
}
