// The report's choices that every way in shares: the program's options and
// the library's ReportOptions mean the same.
#pragma once

#include <cstring>

#include "../check.h"
#include "../instance/formats.h"

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

// How the instance is read: "auto", "solomon", "vrplib", "lilim" or
// "sartori"; false for any other name. `auto` leaves the choice to the
// file's first lines.
enum class InstanceChoice { automatic, solomon, vrplib, lilim, sartori };
inline bool choose_instance_format(const char *name, InstanceChoice &c) {
  if (std::strcmp(name, "auto") == 0) {
    c = InstanceChoice::automatic;
    return true;
  }
  for (int i = 0; i < 4; ++i)
    if (std::strcmp(name, instance_format_names[i]) == 0) {
      c = InstanceChoice(i + 1);
      return true;
    }
  return false;
}
// The format chosen, or told from the instance's first bytes.
inline InstanceFormat instance_format_of(InstanceChoice c, std::string_view head) {
  return c == InstanceChoice::automatic ? told_instance_format(head)
                                        : InstanceFormat(static_cast<int>(c) - 1);
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
