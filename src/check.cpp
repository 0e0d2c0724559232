#include "check.h"

#include "instance/reader.h"
#include "instance/vrplib.h"
#include "run.h"
#include "screen/screen.h"
#include "solution/solution.h"

void fault(Run &r, const char *message) {
  r.input_failed = true;
  r.consumer.fault(r.consumer.context, message);
}

void run_phases(Run &r, Inputs &in) {
  if (in.instance_path && !open_input(r, in.instance, "instance", in.instance_path)) return;
  if (in.vrplib)
    read_vrplib(r, in.instance);
  else
    read_instance(r, in.instance);
  if (!r.input_failed) screen_instance(r);
  r.instance_read = !r.input_failed;
  if (r.consumer.on_route) r.first_visit.assign(r.customers.size(), Run::Visit{0, 0});

  if (in.solution_path && !r.input_failed &&
      !open_input(r, in.solution, "solution", in.solution_path))
    return;
  if (in.guess) {
    FormatGuess g = guess_format(look_ahead(in.solution, FORMAT_LOOK_AHEAD), r.n);
    in.format = g.format;
    in.why = g.why;
  }
  if (r.input_failed) return;
  if (in.format != SolutionFormat::fleetjudge) {
    stop_passing_on(in.solution); // no checker's run reads along: it reads only its own format
    walk_route_list(r, in.solution, in.format);
  } else if (check_solution(r, in.solution)) {
    walk_routes(r, in.solution);
  }
  // A claim of infeasibility has been judged in full by the header.
  if (!r.input_failed && (in.format != SolutionFormat::fleetjudge || r.L != -1)) close_checks(r);
}

// The checker's consumer: every message is kept in order, and the first
// violation, fault or verdict ends the run by unwinding to check_inputs.
namespace {
void keep_text(void *output, const char *text) { *static_cast<std::string *>(output) += text; }
void stop_at_violation(void *output, const Finding &f) {
  if (!ends_check(f.kind)) return;
  *static_cast<std::string *>(output) += message(f);
  throw RunEnded{1};
}
void stop_at_fault(void *output, const char *text) {
  keep_text(output, text);
  throw RunEnded{1};
}
void stop(void *, int status) { throw RunEnded{status}; }
} // namespace

CheckerVerdict check_inputs(Inputs &in) {
  CheckerVerdict verdict{1, {}};
  Consumer checker{&verdict.output, keep_text, stop_at_violation, stop_at_fault, stop};
  Run r(checker, true);
  try {
    run_phases(r, in);
  } catch (const RunEnded &end) {
    verdict.status = end.status;
  }
  return verdict;
}
