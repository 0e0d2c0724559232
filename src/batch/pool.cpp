#include "pool.h"

#include <algorithm>
#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>

namespace {

// How far the threads may run ahead of the row that goes out next: rows, and
// the bytes of their text. A large pair holds back the rows after it, so
// the window is wide enough that the other threads go on meanwhile; the
// bytes keep it small where the documents are large (jsonl with routes).
constexpr size_t ROWS_AHEAD_PER_THREAD = 64;
constexpr size_t BYTES_AHEAD = 16 << 20;

size_t bytes_of(const Row &row) {
  size_t n = row.json.size();
  for (const std::string &cell : row.cells) n += cell.size();
  return n;
}

// What the threads share, under `lock`. The thread that finishes the next
// row to go out writes it, and every row after it that is ready: no row
// waits for another thread to wake up.
struct Queue {
  std::mutex lock;
  std::condition_variable changed; // room in the window, for the threads
  std::condition_variable ended;   // the last row is out, or the output failed
  size_t next_taken = 0, next_delivered = 0, window = 0;
  std::map<size_t, Row> done; // judged, not yet delivered
  size_t done_bytes = 0;      // their text
  bool writing = false;       // a thread is delivering rows
  size_t judged = 0, with_violations = 0;
  bool stop = false;
  std::mutex screen; // the rows and the progress line, when both go to a terminal
};

// Delivers the rows that are ready, in order; called with `hold` locked.
void deliver_ready(Queue &q, std::unique_lock<std::mutex> &hold, Progress &progress,
                   const std::function<bool(const Row &)> &deliver) {
  q.writing = true;
  for (auto next = q.done.find(q.next_delivered); !q.stop && next != q.done.end();
       next = q.done.find(q.next_delivered)) {
    Row row = std::move(next->second);
    q.done.erase(next);
    q.done_bytes -= bytes_of(row);
    q.next_delivered++;
    hold.unlock();
    bool go_on;
    {
      std::lock_guard<std::mutex> screen(q.screen);
      before_row(progress);
      go_on = deliver(row);
    }
    hold.lock();
    q.stop |= !go_on;
    q.changed.notify_all();
  }
  q.writing = false;
}

void work(Queue &q, const std::vector<Pair> &pairs, const Settings &settings, const BksTable &bks,
          Progress &progress, const std::function<bool(const Row &)> &deliver) {
  std::unique_lock<std::mutex> hold(q.lock);
  for (;;) {
    // The row that goes out next is always being judged, so room comes.
    q.changed.wait(hold, [&] {
      return q.stop || (q.next_taken < q.next_delivered + q.window && q.done_bytes < BYTES_AHEAD);
    });
    if (q.stop || q.next_taken == pairs.size()) return;
    size_t i = q.next_taken++;
    hold.unlock();
    Row row = judge_pair(pairs[i], settings, bks);
    hold.lock();
    q.judged++;
    q.with_violations += row.status == 1;
    q.done_bytes += bytes_of(row);
    q.done.emplace(i, std::move(row));
    if (!q.writing) deliver_ready(q, hold, progress, deliver);
    if (q.stop || q.next_delivered == pairs.size()) q.ended.notify_one();
  }
}

} // namespace

void judge_all(const std::vector<Pair> &pairs, const Settings &settings, const BksTable &bks,
               Progress &progress, const std::function<bool(const Row &)> &deliver) {
  Queue q;
  unsigned threads = std::max(1u, std::min<unsigned>(settings.jobs, unsigned(pairs.size())));
  q.window = ROWS_AHEAD_PER_THREAD * threads;
  std::vector<std::thread> workers;
  for (unsigned t = 0; t < threads; ++t)
    workers.emplace_back(work, std::ref(q), std::cref(pairs), std::cref(settings), std::cref(bks),
                         std::ref(progress), std::cref(deliver));
  // This thread keeps the progress line's clock going, ten times a second.
  std::unique_lock<std::mutex> hold(q.lock);
  while (!q.stop && q.next_delivered < pairs.size()) {
    q.ended.wait_for(hold, std::chrono::milliseconds(100));
    size_t judged = q.judged, with_violations = q.with_violations;
    hold.unlock();
    {
      std::lock_guard<std::mutex> screen(q.screen);
      draw_progress(progress, judged, with_violations, false);
    }
    hold.lock();
  }
  hold.unlock();
  for (std::thread &t : workers) t.join();
  clear_progress(progress);
}
