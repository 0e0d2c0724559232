// What the programs share beyond the library: checking that standard output
// really took every byte.
#pragma once

#include <cerrno>
#include <cstdio>
#include <cstring>

// Flushes standard output; when it could not be written (a full disk, a
// closed pipe), says so on standard error under the program's name and
// returns false: a verdict that never reached its reader is not a success.
inline bool output_written(const char *program) {
  errno = 0;
  if (std::fflush(stdout) == 0 && !std::ferror(stdout)) return true;
  std::fprintf(stderr, "%s: cannot write standard output: %s\n", program,
               errno ? std::strerror(errno) : "write error");
  return false;
}
