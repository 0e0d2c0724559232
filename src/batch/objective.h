// How a run is compared with the best-known solution and with the other runs
// of its instance: by distance alone, or by the hierarchical objective the
// pickup and delivery literature publishes its results in, fewest vehicles
// first and distance only between solutions of as many vehicles.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "bks.h"
#include "pairs.h"
#include "report/options.h"
#include "settings.h"

// "vehicles-first" or "distance" into `objective`; false for any other name.
bool choose_objective(const char *name, Objective &objective);

// The objective a pair is compared by: the one asked for, else vehicles
// first for a pickup and delivery instance and distance for any other.
Objective objective_in_force(Objective asked, bool pickup_delivery);

// Whether a solution of `vehicles` has a gap to the best-known cost `b`:
// there must be a cost other than 0, and under vehicles first the best-known
// vehicles, equal to the solution's (a distance over another fleet says
// nothing of the quality under that objective).
bool gap_given(Objective in_force, int64_t vehicles, const Bks &b);

// "same", "more" or "fewer" vehicles than the best-known solution; empty
// where it names no vehicles.
const char *vehicles_versus(int64_t vehicles, const Bks &b);

// Whether a run of `vehicles` and `distance` beats one of `best_vehicles`
// and `best_distance`: by distance with fewer vehicles breaking a tie, or by
// vehicles with the lower distance breaking a tie.
bool better_run(Objective in_force, int64_t vehicles, double distance, int64_t best_vehicles,
                double best_distance);

// Whether some pair is compared by vehicles first, as far as can be told
// before judging: --objective=vehicles-first, or without --objective, an
// instance read as Li & Lim's or Sartori & Buriol's, by --instance-format or
// from its first bytes as the report tells its layout. Only regular files are
// looked into; a pipe is left to be read once, by its judging.
bool some_vehicles_first(Objective asked, InstanceChoice choice, const std::vector<Pair> &pairs);
