// fleetjudge: is this solution correct for this VRPTW instance?
//
//   fleetjudge instance_file solution_file
//
// One pass, in a fixed order (check.cpp): read the instance, screen it, read
// the solution's header, walk its routes, run the closing checks. The first
// violation ends the run with its message on standard output and status 1.

#include <csignal>
#include <cstdio>
#include <cstring>

#include "check.h"
#include "program.h"

int main(int argc, char **argv) {
  // A closed pipe must surface as a write error (status 1), not a signal.
  std::signal(SIGPIPE, SIG_IGN);
  if (argc < 3) {
    std::fputs("usage: fleetjudge cvrp_input_datafile solution_file\n ver 1.2", stdout);
    // Only an explicit request for the text is a success: a run that checked
    // nothing must not look like "OK" to a script.
    bool asked = argc == 2 &&
                 (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "--version") == 0);
    return output_written("fleetjudge") && asked ? 0 : 1;
  }
  Inputs in;
  in.instance_path = argv[1];
  in.solution_path = argv[2];
  fleetjudge::Verdict verdict = check_inputs(in);
  std::fwrite(verdict.output.data(), 1, verdict.output.size(), stdout);
  return output_written("fleetjudge") ? verdict.status : 1;
}
