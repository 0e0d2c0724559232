// fleetjudge as a library: check a VRPTW solution, or report on it, from a
// program of your own.
//
// Every entry works on the files' contents in memory and gives exactly what
// the command-line programs give for files with those contents. Calls are
// independent and thread-safe: any number may run at once, on any threads.
// Nothing is written to standard output or standard error, and no input,
// however malformed, ends the process: it is judged or reported as such.
#pragma once

#include <string>
#include <string_view>

// The entries below are what the shared library exports.
#if defined(__GNUC__)
#define FLEETJUDGE_API __attribute__((visibility("default")))
#else
#define FLEETJUDGE_API
#endif

namespace fleetjudge {

struct Verdict {
  int status;         // the exit status: 0 or 1
  std::string output; // the standard output, byte for byte
};

// What `fleetjudge INSTANCE SOLUTION` prints on standard output, and its exit
// status, for two regular files with these contents and these names (the
// names appear only where the checker's messages name a file).
FLEETJUDGE_API Verdict check(std::string_view instance, std::string_view solution,
                             std::string_view instance_name = "instance",
                             std::string_view solution_name = "solution");

// The report's options, with the command line's defaults.
struct ReportOptions {
  std::string solution_format = "auto"; // "auto", "fleetjudge", "routes" or "plain"
  std::string instance_format = "auto"; // "auto", "solomon" or "vrplib"
  // "auto" (the convention the declared cost matches, else "exact"), "exact",
  // "truncated" or "rounded": whose late stops count.
  std::string convention = "auto";
};

// The document `fleetjudge-report --json` writes for files with these
// contents; "instance.path" and "solution.path" are null. An option with a
// value that does not exist throws std::invalid_argument.
FLEETJUDGE_API std::string report_json(std::string_view instance, std::string_view solution,
                                       const ReportOptions &options = {});

// The same document with the exit status `fleetjudge-report --json` gives:
// 0 when the solution has no violation, 1 when it has, 2 when it cannot be
// judged (the document's "error" says why).
struct ReportResult {
  int status;
  std::string json;
};
FLEETJUDGE_API ReportResult report(std::string_view instance, std::string_view solution,
                                   const ReportOptions &options = {});

// The same for contents read from files with these names: the messages that
// name a file name them, and "instance.path" and "solution.path" hold them,
// as in the document `fleetjudge-report --json` writes for those paths. A
// null name is a file given as bytes: "instance" or "solution" in messages,
// null in the document.
FLEETJUDGE_API ReportResult report(std::string_view instance, std::string_view solution,
                                   const ReportOptions &options, const char *instance_name,
                                   const char *solution_name);

} // namespace fleetjudge
