// The run, phase by phase, for every program: read the instance, screen it,
// read the solution's header (or tell its format and walk it as a list), walk
// its routes, run the closing checks. The consumer decides what a finding
// means; the checker's ends the run at the first violation.
#pragma once

#include <fleetjudge/fleetjudge.h>

#include "instance/instance_data.h"
#include "instance/scan.h"
#include "solution/route_list.h"

struct Run;

// The two inputs. A file given by path is opened when its phase comes (the
// solution after the instance is screened), unless it is set up already.
struct Inputs {
  InputFile instance, solution;
  const char *instance_path = nullptr, *solution_path = nullptr;
  bool guess = false; // tell the solution's format from its first lines
  SolutionFormat format = SolutionFormat::fleetjudge;
  const char *why = nullptr;                                // the guess's reason
  InstanceFormat instance_format = InstanceFormat::solomon; // the checker reads no other
  const std::vector<fleetjudge::Route> *routes = nullptr;   // the solution's routes in memory
};

void run_phases(Run &r, Inputs &in);
// The same in two halves: the instance read and screened into the run's own
// instance; the solution judged against `r.instance`, read or shared.
void read_instance_phases(Run &r, Inputs &in);
void solution_phases(Run &r, Inputs &in);

// The checker's run: its standard output and its exit status.
fleetjudge::Verdict check_inputs(Inputs &in);
