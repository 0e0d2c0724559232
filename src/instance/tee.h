// A bounded channel of chunks from one reader of a file to a second run on
// another thread, so that two runs go over one read of a file together: the
// report's own run, and the checker's run on an instance that the report
// reads differently (CR LF line ends). Memory stays bounded: the writer waits
// while the channel is full, and drops what comes after the reader is done.
#pragma once

#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>

struct Channel {
  static constexpr size_t CHUNKS = 4;
  std::mutex mutex;
  std::condition_variable changed;
  std::deque<std::string> chunks;
  bool writer_done = false, reader_done = false;
  int error = 0; // the read error that ended the file, passed on with its end
};

void channel_put(Channel &c, const char *bytes, size_t size);
void channel_close_writer(Channel &c, int error);
// The next chunk into `out`; false at the end, with the error the file ended with.
bool channel_take(Channel &c, std::string &out, int &error);
void channel_close_reader(Channel &c);
