// Time limits per instance: a CSV file whose first line names the columns
// instance and time_limit (in seconds), in any order.
#pragma once

#include <string>
#include <vector>

#include "judge_line.h"

// False, with `problem`, when the file cannot be read, lacks a column, holds
// a limit that is not a number above 0, or names an instance twice. Notes on
// how it was read (a byte-order mark skipped) go to `notes`.
bool read_time_limits(const char *path, TimeLimits &limits, std::string &problem,
                      std::vector<std::string> &notes);
