#include "timelines.h"

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <mutex>
#include <pthread.h>
#include <unistd.h>

#include "batch/pairs.h"

namespace {

// A chunk is cut at the last line end in this many bytes read: a few
// hundred lines of a 100-customer solution, enough to keep a thread busy
// for a while, few enough that the threads share a timeline evenly.
constexpr size_t CHUNK = 256 << 10;
constexpr size_t CHUNKS_PER_THREAD = 4; // waiting in the queue

struct Chunk {
  size_t timeline;
  int64_t first_line;
  std::string text; // whole lines, each ended by a line feed but perhaps the last
};

struct Queue {
  std::mutex lock;
  std::condition_variable changed;
  std::deque<Chunk> chunks;
  size_t room = 0;
  bool done = false;
};

void work(Queue &q, const Scoring &scoring, const std::vector<Timeline> &timelines, LineWork &out) {
  for (;;) {
    Chunk chunk;
    {
      std::unique_lock<std::mutex> hold(q.lock);
      q.changed.wait(hold, [&] { return q.done || !q.chunks.empty(); });
      if (q.chunks.empty()) return;
      chunk = std::move(q.chunks.front());
      q.chunks.pop_front();
    }
    q.changed.notify_all();
    int64_t number = chunk.first_line;
    std::string_view rest = chunk.text;
    while (!rest.empty()) {
      size_t end = rest.find('\n');
      std::string_view line = rest.substr(0, end);
      try {
        judge_line(scoring, timelines, chunk.timeline, number, line, out);
      } catch (const std::exception &e) { // memory, most likely
        add_bad(out.bad, BadLine{chunk.timeline, number, std::string("not judged: ") + e.what()});
      }
      ++number;
      rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    }
  }
}

void hand_on(Queue &q, Chunk chunk) {
  std::unique_lock<std::mutex> hold(q.lock);
  q.changed.wait(hold, [&] { return q.chunks.size() < q.room; });
  q.chunks.push_back(std::move(chunk));
  hold.unlock();
  q.changed.notify_all();
}

// One timeline into chunks of whole lines.
bool read_one(Queue &q, size_t index, const Timeline &timeline, ReadTimelines &out) {
  bool from_stdin = timeline.name == "-";
  int fd = from_stdin ? 0 : open(timeline.name.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    out.problems.push_back("cannot read the timeline " + timeline.name + ": " +
                           std::strerror(errno));
    return false;
  }
  std::string pending;
  int64_t line = 1;
  bool first = true, failed = false;
  for (;;) {
    size_t had = pending.size();
    pending.resize(had + CHUNK);
    ssize_t got = read(fd, &pending[had], CHUNK);
    if (got < 0 && errno == EINTR) {
      pending.resize(had);
      continue;
    }
    if (got < 0) {
      out.problems.push_back("cannot read the timeline " + timeline.name + ": " +
                             std::strerror(errno));
      pending.resize(had);
      failed = true;
      break;
    }
    pending.resize(had + static_cast<size_t>(got));
    if (first && pending.size() >= 3) {
      first = false;
      if (pending.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        pending.erase(0, 3);
        out.notes.push_back(mark_note("the timeline", timeline.name.c_str()));
      }
    }
    if (got == 0) break;
    size_t cut = pending.rfind('\n');
    if (cut == std::string::npos || pending.size() < CHUNK) continue;
    Chunk chunk{index, line, pending.substr(0, cut + 1)};
    pending.erase(0, cut + 1);
    line += std::count(chunk.text.begin(), chunk.text.end(), '\n');
    hand_on(q, std::move(chunk));
  }
  if (!pending.empty()) hand_on(q, Chunk{index, line, std::move(pending)});
  if (!from_stdin) close(fd);
  return !failed;
}

} // namespace

std::vector<Timeline> timelines_of(const std::vector<std::string> &names) {
  std::vector<Timeline> timelines;
  for (const std::string &name : names) {
    size_t slash = name.rfind('/');
    std::string folder = name == "-" || slash == std::string::npos ? "" : name.substr(0, slash + 1);
    timelines.push_back(Timeline{name, folder});
  }
  return timelines;
}

ReadTimelines read_timelines(const std::vector<Timeline> &timelines, const Scoring &scoring,
                             unsigned threads) {
  ReadTimelines out;
  Queue q;
  threads = std::max(1u, threads);
  q.room = CHUNKS_PER_THREAD * threads;
  std::vector<LineWork> shares(threads);
  // Plain POSIX threads: a std::thread would leave its state's type
  // information in the library's data.
  struct Worker {
    Queue *q;
    const Scoring *scoring;
    const std::vector<Timeline> *timelines;
    LineWork *share;
    pthread_t thread;
  };
  std::vector<Worker> workers(threads);
  auto start = [](void *arg) -> void * {
    Worker &w = *static_cast<Worker *>(arg);
    work(*w.q, *w.scoring, *w.timelines, *w.share);
    return nullptr;
  };
  size_t started = 0;
  for (; started < threads; ++started) {
    workers[started] = Worker{&q, &scoring, &timelines, &shares[started], {}};
    if (pthread_create(&workers[started].thread, nullptr, start, &workers[started]) != 0) break;
  }
  // No thread to be had: this one reads everything, then works alone.
  if (started == 0) q.room = SIZE_MAX;
  for (size_t i = 0; i < timelines.size(); ++i) read_one(q, i, timelines[i], out);
  {
    std::lock_guard<std::mutex> hold(q.lock);
    q.done = true;
  }
  q.changed.notify_all();
  for (size_t t = 0; t < started; ++t) pthread_join(workers[t].thread, nullptr);
  if (started == 0) work(q, scoring, timelines, shares[0]);
  for (LineWork &share : shares) {
    out.lines += share.lines;
    merge_bad(out.bad, std::move(share.bad));
    for (auto &[key, tally] : share.tallies) merge_into(out.tallies[key], std::move(tally));
    share.tallies.clear();
  }
  return out;
}
