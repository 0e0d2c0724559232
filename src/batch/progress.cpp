#include "progress.h"

#include <cstdio>
#include <string>
#include <unistd.h>

using Clock = std::chrono::steady_clock;

namespace {
double seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

std::string clock_text(double s) {
  long t = static_cast<long>(s + 0.5);
  char text[32];
  if (t >= 3600)
    std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", t / 3600, t / 60 % 60, t % 60);
  else
    std::snprintf(text, sizeof text, "%ld:%02ld", t / 60, t % 60);
  return text;
}
} // namespace

Progress start_progress(bool wanted, size_t total) {
  Progress p;
  p.on = wanted && isatty(STDERR_FILENO);
  p.shares_screen = isatty(STDOUT_FILENO);
  p.total = total;
  p.start = p.drawn_at = Clock::now();
  return p;
}

void draw_progress(Progress &p, size_t done, size_t with_violations, bool force) {
  if (!p.on) return;
  Clock::time_point now = Clock::now();
  if (!force && now - p.drawn_at < std::chrono::milliseconds(100)) return;
  double elapsed = seconds(now - p.start);
  std::string left = done == 0 ? "?" : clock_text(elapsed / double(done) * double(p.total - done));
  std::fprintf(stderr, "\r\033[K%zu/%zu pairs, %s elapsed, %s left, %zu with violations", done,
               p.total, clock_text(elapsed).c_str(), left.c_str(), with_violations);
  std::fflush(stderr);
  p.drawn = true;
  p.drawn_at = now;
}

void clear_progress(Progress &p) {
  if (!p.drawn) return;
  std::fputs("\r\033[K", stderr);
  std::fflush(stderr);
  p.drawn = false;
}
