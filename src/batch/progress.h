// The progress of a long run, on one line of standard error redrawn in
// place; only when standard error is a terminal, and not with --quiet.
#pragma once

#include <chrono>
#include <cstddef>

struct Progress {
  bool on = false;
  size_t total = 0;
  std::chrono::steady_clock::time_point start, drawn_at;
  bool drawn = false;         // the line is on the screen
  bool shares_screen = false; // standard output goes to a terminal too
};

Progress start_progress(bool wanted, size_t total);
// Redraws the line: pairs done, time elapsed and left, pairs with violations.
// At most ten times a second unless `force`.
void draw_progress(Progress &p, size_t done, size_t with_violations, bool force);
// Takes the line off the screen.
void clear_progress(Progress &p);
// Before a row goes out: the line comes off when the row goes to a terminal too.
inline void before_row(Progress &p) {
  if (p.shares_screen) clear_progress(p);
}
