// The library's entries: the programs' runs on bytes in memory.
#include <fleetjudge/fleetjudge.h>

#include <memory>
#include <stdexcept>

#include "check.h"
#include "report/build.h"
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

// An instance the report refuses still gives a document: its error, with
// what the solution's first lines say besides (two arguments swapped).
static ReportResult refused(std::string_view instance, std::string_view solution,
                            const ReportOptions &options, const char *instance_name,
                            const char *solution_name) {
  Inputs in;
  auto rep = std::make_unique<ReportRun>(true);
  choose_format(options.solution_format.c_str(), in);
  choose_instance_format(options.instance_format.c_str(), rep->instance_choice);
  choose_convention(options.convention.c_str(), rep->convention, rep->automatic);
  use_memory(in.instance, "instance", instance_name ? instance_name : "instance", instance);
  use_memory(in.solution, "solution", solution_name ? solution_name : "solution", solution);
  judge(*rep, in, true);
  Report report = build_report(*rep, Files{instance_name, solution_name});
  return ReportResult{report.status, to_json(report)};
}

ReportResult report(std::string_view instance, std::string_view solution,
                    const ReportOptions &options, const char *instance_name,
                    const char *solution_name) {
  try {
    Report report = judge(Instance::read(instance, {options.instance_format}, instance_name),
                          solution, options, solution_name);
    return ReportResult{report.status, to_json(report)};
  } catch (const InputError &) {
    return refused(instance, solution, options, instance_name, solution_name);
  }
}

std::string report_json(std::string_view instance, std::string_view solution,
                        const ReportOptions &options) {
  return report(instance, solution, options).json;
}

} // namespace fleetjudge
