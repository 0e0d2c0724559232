#include "finish.h"

#include "findings.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

bool output_written(const char *program) {
  // A verdict that never reached its reader is not a success (a full disk,
  // a closed pipe): check that standard output really took every byte.
  errno = 0;
  if (std::fflush(stdout) == 0 && !std::ferror(stdout)) return true;
  std::fprintf(stderr, "%s: cannot write standard output: %s\n", program,
               errno ? std::strerror(errno) : "write error");
  return false;
}

void finish(int status) {
  if (!output_written("fleetjudge")) std::_Exit(1);
  std::exit(status);
}

static void print(const char *text) { std::fputs(text, stdout); }
static void stop_at_violation(const Finding &f) {
  if (!ends_check(f.kind)) return;
  print(message(f));
  finish(1);
}
static void stop_at_fault(const char *text) {
  print(text);
  finish(1);
}

const Consumer checker_consumer{print, stop_at_violation, stop_at_fault, finish};
