#include "check.h"

#include "instance/formats.h"
#include "instance/reader.h"
#include "instance/vrplib.h"
#include "run.h"
#include "screen/screen.h"
#include "solution/solution.h"

void fault(Run &r, const char *message) {
  r.stopped = true;
  r.consumer.fault(r.consumer.context, message);
}

void read_instance_phases(Run &r, Inputs &in) {
  if (in.instance_path && !open_input(r, in.instance, "instance", in.instance_path)) return;
  switch (in.instance_format) {
  case InstanceFormat::solomon:
    read_instance(r, in.instance);
    break;
  case InstanceFormat::vrplib:
    read_vrplib(r, in.instance);
    break;
  case InstanceFormat::lilim:
    read_lilim(r, in.instance);
    break;
  case InstanceFormat::sartori:
    read_sartori(r, in.instance);
    break;
  }
  if (!r.stopped) screen_instance(r);
  r.instance_read = !r.stopped;
}

void solution_phases(Run &r, Inputs &in) {
  r.visits.assign(r.instance->customers.size(), 0);
  if (r.consumer.on_route || r.instance->pickup_delivery())
    r.first_visit.assign(r.instance->customers.size(), Run::Visit{0, 0, 0});
  if (in.routes != nullptr) { // a plain list in memory: nothing to read
    walk_routes_in_memory(r, *in.routes);
    close_checks(r);
    return;
  }
  if (in.solution_path && !r.stopped && !open_input(r, in.solution, "solution", in.solution_path))
    return;
  if (in.guess) {
    FormatGuess g =
        guess_format(look_ahead(in.solution, FORMAT_LOOK_AHEAD), r.instance->customer_count);
    in.format = g.format;
    in.why = g.why;
  }
  if (r.stopped) return;
  if (in.format != SolutionFormat::fleetjudge) {
    stop_passing_on(in.solution); // no checker's run reads along: it reads only its own format
    walk_route_list(r, in.solution, in.format);
  } else if (check_solution(r, in.solution)) {
    walk_routes(r, in.solution);
  }
  // A claim of infeasibility has been judged in full by the header.
  if (!r.stopped && (in.format != SolutionFormat::fleetjudge || r.declared_routes != -1))
    close_checks(r);
}

void run_phases(Run &r, Inputs &in) {
  read_instance_phases(r, in);
  solution_phases(r, in);
}

// The checker's consumer: every message is kept in order until the first
// violation, fault or verdict, which ends the run the way a fault does: the
// run's flag that every reader loop and phase already tests is set, so they
// wind down at their next test. What the rules find after that is not kept.
namespace {
struct Checker {
  fleetjudge::Verdict verdict{1, {}};
  bool done = false;
  bool *stop; // the run's flag
};
Checker &of(void *context) { return *static_cast<Checker *>(context); }
void end_with(Checker &c, int status) {
  c.verdict.status = status;
  c.done = *c.stop = true;
}
void keep_text(void *context, const char *text) {
  if (!of(context).done) of(context).verdict.output += text;
}
void stop_at_violation(void *context, const Finding &f) {
  if (!ends_check(f.kind) || of(context).done) return;
  of(context).verdict.output += message(f);
  end_with(of(context), 1);
}
void stop_at_fault(void *context, const char *text) {
  keep_text(context, text);
  if (!of(context).done) end_with(of(context), 1);
}
void stop(void *context, int status) {
  if (!of(context).done) end_with(of(context), status);
}
} // namespace

fleetjudge::Verdict check_inputs(Inputs &in) {
  Checker checker;
  Run r(Consumer{&checker, keep_text, stop_at_violation, stop_at_fault, stop}, true);
  checker.stop = &r.stopped;
  run_phases(r, in);
  return checker.verdict;
}
