// The public report() takes no file names, so the module runs the report as
// the library's own entry does (src/api.cpp), with the names added.
#include "named_report.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <new>
#include <stdexcept>

#include "report/options.h"
#include "report/report.h"

namespace fleetjudge_python {

fleetjudge::ReportResult named_report(std::string_view instance, const char *instance_path,
                                      std::string_view solution, const char *solution_path,
                                      const fleetjudge::ReportOptions &options) {
  Inputs in;
  if (!choose_format(options.solution_format.c_str(), in))
    throw std::invalid_argument("unknown solution format: " + options.solution_format);
  use_memory(in.instance, "instance", instance_path ? instance_path : "instance", instance);
  use_memory(in.solution, "solution", solution_path ? solution_path : "solution", solution);
  auto rep = std::make_unique<Report>(true);
  judge(*rep, in, true);

  char *text = nullptr;
  size_t size = 0;
  std::FILE *out = open_memstream(&text, &size);
  if (out == nullptr) throw std::bad_alloc();
  write_json(*rep, Files{instance_path, solution_path}, out);
  bool written = std::fclose(out) == 0;
  std::unique_ptr<char, decltype(&std::free)> owned(text, std::free);
  if (!written) throw std::bad_alloc();
  return fleetjudge::ReportResult{exit_status(*rep), std::string(text, size)};
}

} // namespace fleetjudge_python
