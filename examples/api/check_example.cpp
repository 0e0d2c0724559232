// Checks a solution that a solver holds in memory, then asks for the report.
//
//   check_example INSTANCE_FILE
//
// The routes below are written in fleetjudge's format: the route count and
// the declared total, then one route a line.
#include <fstream>
#include <iostream>
#include <sstream>

#include <fleetjudge/fleetjudge.h>

int main(int argc, char **argv) {
  if (argc != 2) {
    std::cerr << "usage: check_example INSTANCE_FILE\n";
    return 2;
  }
  std::ifstream file(argv[1], std::ios::binary);
  std::stringstream instance;
  instance << file.rdbuf();
  if (!file) {
    std::cerr << "cannot read " << argv[1] << "\n";
    return 2;
  }

  std::string solution = "2 56\n1 2\n3 4\n";
  fleetjudge::Verdict verdict = fleetjudge::check(instance.str(), solution, argv[1]);
  std::cout << "fleetjudge says (status " << verdict.status << "): " << verdict.output;

  // The same routes as a plain list, for the figures of the whole solution.
  fleetjudge::ReportOptions options;
  options.solution_format = "plain";
  fleetjudge::ReportResult report = fleetjudge::report(instance.str(), "1 2\n3 4\n", options);
  std::cout << "report status " << report.status << ", " << report.json.size()
            << " bytes of JSON\n";
  return verdict.status;
}
