// One line of a timeline: a solution a solver found during a run, as one
// JSON object on one line.
//
//   {"instance": "X-n101-k25", "solver": "hgs", "run": 3, "time": 12.41,
//    "routes": [[12, 5, 9], [7, 3]], "cost": 27591}
#pragma once

#include <fleetjudge/fleetjudge.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct TimelineLine {
  std::string instance, solver;
  int64_t run = 1;
  double time = 0; // seconds since the run's start
  bool has_routes = false;
  std::vector<fleetjudge::Route> routes; // customer numbers, depot excluded
  bool has_solution = false;
  std::string solution; // a solution file, relative to the timeline's folder
  bool has_cost = false;
  double cost = 0;       // the cost the solver claims
  std::string cost_text; // as written, for the precision it claims
};

// The length of the UTF-8 sequence at `s`, whose first byte is 0x80 or
// above, or 0 where there is none: overlong forms, surrogates and code
// points beyond U+10FFFF are none.
size_t utf8_sequence(const unsigned char *s, size_t left);

// Reads one line (without its line end) into `line`, whose buffers are
// reused from line to line. False, with `problem` (which says at which
// column), for text that is not one JSON object, or an object whose members
// are missing or of the wrong type. Members other than those above are
// skipped; a member named twice is refused.
bool read_timeline_line(std::string_view text, TimelineLine &line, std::string &problem);
