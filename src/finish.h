// How a run ends. Every message goes to standard output; a run ends either
// with a verdict (status 0 or 1) or, when standard output could not be
// written, with status 1 and one line on standard error.
#pragma once

#include <cstdio>

// Flushes standard output; when it could not be written, says so on standard
// error under the program's name and returns false.
bool output_written(const char *program);

// Ends the run with `status`, unless standard output failed, then with 1.
[[noreturn]] void finish(int status);

// The checker's consumer of findings: every message goes to standard output,
// and the first violation or fault ends the run.
struct Consumer;
extern const Consumer checker_consumer;
