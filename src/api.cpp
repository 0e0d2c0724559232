// The library's entries: the programs' runs on bytes in memory.
#include <fleetjudge/fleetjudge.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <stdexcept>

#include "check.h"
#include "report/options.h"
#include "report/report.h"

namespace fleetjudge {

Verdict check(std::string_view instance, std::string_view solution, std::string_view instance_name,
              std::string_view solution_name) {
  Inputs in;
  use_memory(in.instance, "instance", instance_name, instance);
  use_memory(in.solution, "solution", solution_name, solution);
  return check_inputs(in);
}

ReportResult report(std::string_view instance, std::string_view solution,
                    const ReportOptions &options) {
  return report(instance, solution, options, nullptr, nullptr);
}

ReportResult report(std::string_view instance, std::string_view solution,
                    const ReportOptions &options, const char *instance_name,
                    const char *solution_name) {
  Inputs in;
  auto rep = std::make_unique<Report>(true);
  if (!choose_format(options.solution_format.c_str(), in))
    throw std::invalid_argument("unknown solution format: " + options.solution_format);
  if (!choose_instance_format(options.instance_format.c_str(), rep->instance_choice))
    throw std::invalid_argument("unknown instance format: " + options.instance_format);
  if (!choose_convention(options.convention.c_str(), rep->convention, rep->automatic))
    throw std::invalid_argument("unknown convention: " + options.convention);
  use_memory(in.instance, "instance", instance_name ? instance_name : "instance", instance);
  use_memory(in.solution, "solution", solution_name ? solution_name : "solution", solution);
  judge(*rep, in, true);

  // The writer writes to a stream, as it does to standard output.
  char *text = nullptr;
  size_t size = 0;
  std::FILE *out = open_memstream(&text, &size);
  if (out == nullptr) throw std::bad_alloc();
  write_json(*rep, Files{instance_name, solution_name}, out);
  bool written = std::fclose(out) == 0;
  std::unique_ptr<char, decltype(&std::free)> owned(text, std::free);
  if (!written) throw std::bad_alloc();
  return ReportResult{exit_status(*rep), std::string(text, size)};
}

std::string report_json(std::string_view instance, std::string_view solution,
                        const ReportOptions &options) {
  return report(instance, solution, options).json;
}

} // namespace fleetjudge
