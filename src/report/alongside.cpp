#include "alongside.h"

#include <pthread.h>
#include <system_error>

#include "../instance/tee.h"

// Whether the file's first line ends in CR LF, as the published benchmark
// instances do. A first line too long to look at is too long to read anyway.
bool has_crlf(std::string_view head) {
  size_t feed = head.find('\n');
  return feed != std::string_view::npos && feed > 0 && head[feed - 1] == '\r';
}

bool begins_with_mark(InputFile &file) {
  return look_ahead(file, BYTE_ORDER_MARK.size()).substr(0, BYTE_ORDER_MARK.size()) ==
         BYTE_ORDER_MARK;
}
void skip_mark(InputFile &file, bool mark) {
  if (mark) file.next += BYTE_ORDER_MARK.size();
}

namespace {

// The checker's run on the same files, on a thread of its own. It may stop
// at its first line while the report reads on: its inputs are closed as soon
// as it is done, so that the report's run never waits for room in a channel
// that nobody reads any more.
struct Aside {
  Inputs in;
  fleetjudge::Verdict verdict;
};
void *run_aside(void *context) {
  Aside &aside = *static_cast<Aside *>(context);
  aside.verdict = check_inputs(aside.in);
  close_input(aside.in.instance);
  close_input(aside.in.solution);
  return nullptr;
}

// The report's end of the two runs, however its run ends: what the checker
// still reads is passed on to the end of each file, then the checker's run
// is waited for.
struct Alongside {
  Inputs &in;
  pthread_t checker;
  ~Alongside() {
    close_input(in.instance);
    close_input(in.solution);
    pthread_join(checker, nullptr);
  }
};

// What was read of a file to look ahead goes first to the checker's run.
void pass_on_ahead(InputFile &file, Channel &channel) {
  channel_put(channel, file.next, static_cast<size_t>(file.end - file.next));
  if (file.eof) channel_close_writer(channel, file.error);
  file.tee_out = file.eof ? nullptr : &channel;
}

} // namespace

// Two bounded channels carry what the report's run reads to the checker's.
fleetjudge::Verdict check_alongside(ReportRun &rep, Inputs &in, const bool marks[2]) {
  Channel instance_channel, solution_channel;
  pass_on_ahead(in.instance, instance_channel);
  pass_on_ahead(in.solution, solution_channel);
  skip_mark(in.instance, marks[0]);
  skip_mark(in.solution, marks[1]);
  Aside aside;
  aside.in.instance.kind = "instance";
  aside.in.instance.path = in.instance.path;
  aside.in.instance.tee_in = &instance_channel;
  aside.in.solution.kind = "solution";
  aside.in.solution.path = in.solution.path;
  aside.in.solution.tee_in = &solution_channel;
  pthread_t checker;
  if (int error = pthread_create(&checker, nullptr, run_aside, &aside)) {
    in.instance.tee_out = in.solution.tee_out = nullptr;
    throw std::system_error(error, std::generic_category(), "the checker's run");
  }
  {
    Alongside both{in, checker};
    run_phases(rep.run, in);
  }
  return aside.verdict;
}
