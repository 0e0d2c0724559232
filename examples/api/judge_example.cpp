// A solver's loop: the instance read once, each new solution judged in
// memory, its figures and violations read as values.
//
//   judge_example INSTANCE_FILE
#include <cstdio>
#include <vector>

#include <fleetjudge/fleetjudge.h>

int main(int argc, char **argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: judge_example INSTANCE_FILE\n");
    return 2;
  }
  fleetjudge::Instance instance;
  try {
    instance = fleetjudge::Instance::load(argv[1]);
  } catch (const fleetjudge::InputError &error) {
    std::fprintf(stderr, "%s\n", error.what());
    return 2;
  }
  std::printf("%s: %lld customers, capacity %g (fleetjudge %s)\n", instance.name().c_str(),
              static_cast<long long>(instance.customers()), instance.capacity(),
              fleetjudge::version());
  // Two candidate solutions, as a solver would hold them.
  std::vector<std::vector<fleetjudge::Route>> candidates{{{1, 2}, {3, 4}}, {{1, 2, 3, 4}}};
  int status = 0;
  for (const std::vector<fleetjudge::Route> &routes : candidates) {
    fleetjudge::Report report = fleetjudge::judge(instance, routes);
    std::printf("status %d, distance %.4f, feasible %s\n", report.status, report.summary->distance,
                report.summary->decision.feasible ? "yes" : "no");
    for (const fleetjudge::Violation &v : report.violations)
      std::printf("  %s on route %d at position %d: %s\n", v.kind.c_str(), v.route.value_or(0),
                  v.position.value_or(0), v.sentence.c_str());
    status = status * 2 + report.status;
  }
  return status == 1 ? 0 : 1; // the first feasible, the second not
}
