// The report's choices that every way in shares: the program's options and
// the library's ReportOptions mean the same.
#pragma once

#include <cstring>

#include "../check.h"

// The three distance conventions: extended precision, as the checker; every
// leg cut to one decimal, as the VRPTW benchmarks publish; every leg rounded
// to the nearest integer, as the capacitated VRP's do.
enum class Convention { exact, truncated, rounded };
constexpr char convention_names[][10] = {"exact", "truncated", "rounded"};

// Its name into `c`; false for a name that is none.
inline bool choose_convention(const char *name, Convention &c) {
  for (int i = 0; i < 3; ++i)
    if (std::strcmp(name, convention_names[i]) == 0) {
      c = Convention(i);
      return true;
    }
  return false;
}

// A convention's name, or "auto" (`automatic` set, `c` untouched): the
// convention the solution's declared cost matches, else exact.
inline bool choose_convention(const char *name, Convention &c, bool &automatic) {
  automatic = std::strcmp(name, "auto") == 0;
  return automatic || choose_convention(name, c);
}

// How the instance is read: "auto", "solomon" or "vrplib"; false for any
// other name. `auto` leaves the choice to the file's first line.
enum class InstanceChoice { automatic, solomon, vrplib };
inline bool choose_instance_format(const char *name, InstanceChoice &c) {
  static const char names[][8] = {"auto", "solomon", "vrplib"};
  for (int i = 0; i < 3; ++i)
    if (std::strcmp(name, names[i]) == 0) {
      c = InstanceChoice(i);
      return true;
    }
  return false;
}

// "auto", "fleetjudge", "routes" or "plain" into the inputs; false for any
// other name.
inline bool choose_format(const char *name, Inputs &in) {
  in.guess = std::strcmp(name, "auto") == 0;
  if (in.guess) return true;
  for (int i = 0; i < SOLUTION_FORMATS; ++i)
    if (std::strcmp(name, solution_format_info(SolutionFormat(i)).name) == 0) {
      in.format = SolutionFormat(i);
      return true;
    }
  return false;
}
