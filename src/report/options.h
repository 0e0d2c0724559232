// The report's choices that every way in shares: the program's options and
// the library's ReportOptions mean the same.
#pragma once

#include <cstring>

#include "../check.h"

// "auto", "fleetjudge", "routes" or "plain" into the inputs; false for any
// other name.
inline bool choose_format(const char *name, Inputs &in) {
  static const char *const names[] = {"fleetjudge", "routes", "plain"};
  in.guess = std::strcmp(name, "auto") == 0;
  if (in.guess) return true;
  for (int i = 0; i < 3; ++i)
    if (std::strcmp(name, names[i]) == 0) {
      in.format = SolutionFormat(i);
      return true;
    }
  return false;
}
