#include "pool.h"

#include <algorithm>
#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>

namespace {

// What the threads and the delivering thread share, under `lock`.
struct Queue {
  std::mutex lock;
  std::condition_variable ready, room;
  size_t next_taken = 0, next_delivered = 0, window = 0;
  std::map<size_t, Row> done; // judged, not yet delivered
  size_t judged = 0, with_violations = 0;
  bool stop = false;
};

void work(Queue &q, const std::vector<Pair> &pairs, const Settings &settings, const BksTable &bks) {
  for (;;) {
    size_t i;
    {
      std::unique_lock<std::mutex> hold(q.lock);
      q.room.wait(hold, [&] { return q.stop || q.next_taken < q.next_delivered + q.window; });
      if (q.stop || q.next_taken == pairs.size()) return;
      i = q.next_taken++;
    }
    Row row = judge_pair(pairs[i], settings, bks);
    std::lock_guard<std::mutex> hold(q.lock);
    q.judged++;
    q.with_violations += row.status == 1;
    q.done.emplace(i, std::move(row));
    q.ready.notify_one();
  }
}

} // namespace

void judge_all(const std::vector<Pair> &pairs, const Settings &settings, const BksTable &bks,
               Progress &progress, const std::function<bool(const Row &)> &deliver) {
  Queue q;
  unsigned threads = std::max(1u, std::min<unsigned>(settings.jobs, unsigned(pairs.size())));
  q.window = 4 * size_t(threads);
  std::vector<std::thread> workers;
  for (unsigned t = 0; t < threads; ++t)
    workers.emplace_back(work, std::ref(q), std::cref(pairs), std::cref(settings), std::cref(bks));

  std::unique_lock<std::mutex> hold(q.lock);
  while (q.next_delivered < pairs.size()) {
    // Wakes now and then to keep the progress line's clock going.
    q.ready.wait_for(hold, std::chrono::milliseconds(250),
                     [&] { return q.done.count(q.next_delivered) > 0; });
    size_t judged = q.judged, with_violations = q.with_violations;
    auto next = q.done.find(q.next_delivered);
    if (next == q.done.end()) {
      hold.unlock();
      draw_progress(progress, judged, with_violations, false);
      hold.lock();
      continue;
    }
    Row row = std::move(next->second);
    q.done.erase(next);
    q.next_delivered++;
    q.room.notify_all();
    hold.unlock();
    before_row(progress);
    bool go_on = deliver(row);
    draw_progress(progress, judged, with_violations, false);
    hold.lock();
    if (!go_on) {
      q.stop = true;
      q.room.notify_all();
      break;
    }
  }
  hold.unlock();
  for (std::thread &t : workers) t.join();
  clear_progress(progress);
}
