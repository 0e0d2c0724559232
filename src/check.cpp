#include "check.h"

#include "finish.h"
#include "instance/reader.h"
#include "screen/screen.h"
#include "solution/solution.h"

void check(const char *instance_path, const char *solution_path) {
  static InputFile instance, solution;
  open_input(instance, "instance", instance_path);
  read_instance(instance);
  screen_instance();

  open_input(solution, "solution", solution_path);
  check_solution(solution);
  walk_routes(solution);
  close_checks();
  finish(0); // not reached: the closing checks end the run
}
