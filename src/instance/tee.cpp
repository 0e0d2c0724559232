#include "tee.h"

void channel_put(Channel &c, const char *bytes, size_t size) {
  std::unique_lock<std::mutex> lock(c.mutex);
  c.changed.wait(lock, [&] { return c.chunks.size() < Channel::CHUNKS || c.reader_done; });
  if (c.reader_done || c.writer_done) return;
  c.chunks.emplace_back(bytes, size);
  c.changed.notify_all();
}

void channel_close_writer(Channel &c, int error) {
  std::lock_guard<std::mutex> lock(c.mutex);
  if (c.writer_done) return;
  c.writer_done = true;
  c.error = error;
  c.changed.notify_all();
}

bool channel_take(Channel &c, std::string &out, int &error) {
  std::unique_lock<std::mutex> lock(c.mutex);
  c.changed.wait(lock, [&] { return !c.chunks.empty() || c.writer_done; });
  if (c.chunks.empty()) {
    error = c.error;
    return false;
  }
  out = std::move(c.chunks.front());
  c.chunks.pop_front();
  c.changed.notify_all();
  return true;
}

void channel_close_reader(Channel &c) {
  std::lock_guard<std::mutex> lock(c.mutex);
  c.reader_done = true;
  c.chunks.clear();
  c.changed.notify_all();
}
