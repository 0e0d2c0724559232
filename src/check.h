// The checker's run, phase by phase: read the instance, screen it, read the
// solution's header, walk its routes, run the closing checks. With the
// checker's consumer the first violation ends the process; the run ends with
// "OK" and status 0 otherwise.
#pragma once

[[noreturn]] void check(const char *instance_path, const char *solution_path);
