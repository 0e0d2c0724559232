// The report on bytes in memory, under the names the command line gives the
// files.
#pragma once

#include <fleetjudge/fleetjudge.h>

#include <string_view>

namespace fleetjudge_python {

// fleetjudge::report(), except that the files keep their paths: the messages
// that name a file name the path, and "instance.path" and "solution.path"
// hold it, as in the document `fleetjudge-report --json` writes for those
// files. A null path is a file given as bytes: called "instance" or
// "solution" in messages, null in the document.
fleetjudge::ReportResult named_report(std::string_view instance, const char *instance_path,
                                      std::string_view solution, const char *solution_path,
                                      const fleetjudge::ReportOptions &options);

} // namespace fleetjudge_python
