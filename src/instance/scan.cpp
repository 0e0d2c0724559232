#include "scan.h"

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

#include "../run.h"
#include "tee.h"

// Reads of 128 KiB keep a 1 GB solution at the speed of reading it once; a
// larger buffer only costs fresh pages on every run (docs/performance.md).
constexpr size_t CHUNK = 1 << 17;

void fault_with(Run &r, const char *format, ...) {
  va_list args, again;
  va_start(args, format);
  va_copy(again, args);
  std::vector<char> text(static_cast<size_t>(std::vsnprintf(nullptr, 0, format, args)) + 1);
  std::vsnprintf(text.data(), text.size(), format, again);
  va_end(again);
  va_end(args);
  fault(r, text.data());
}

bool open_input(Run &r, InputFile &file, const char *kind, const char *path) {
  int fd = open(path, O_RDONLY | O_CLOEXEC);
  use_descriptor(file, kind, path, fd, true);
  if (fd < 0) fault_with(r, "file %s does not exist \n", path);
  return fd >= 0;
}

void use_descriptor(InputFile &file, const char *kind, std::string_view name, int fd, bool owns) {
  file.kind = kind;
  file.path = name;
  file.fd = fd;
  file.owns_fd = owns;
}

void use_memory(InputFile &file, const char *kind, std::string_view name, std::string_view bytes) {
  file.kind = kind;
  file.path = name;
  file.memory = bytes;
}

// Up to `room` further bytes of the file into `into`; 0 at its end or after
// a read error (kept in `error`). Every chunk read from a descriptor is passed
// on to the channel of a run that reads along.
static size_t read_some(InputFile &f, char *into, size_t room) {
  if (f.tee_in != nullptr) {
    if (f.held_pos == f.held.size()) {
      f.held.clear();
      f.held_pos = 0;
      int error = 0;
      if (!channel_take(*f.tee_in, f.held, error)) {
        f.error = error;
        return 0;
      }
    }
    size_t taken = std::min(room, f.held.size() - f.held_pos);
    std::memcpy(into, f.held.data() + f.held_pos, taken);
    f.held_pos += taken;
    return taken;
  }
  if (f.fd < 0 || f.error != 0) return 0;
  ssize_t got;
  do got = read(f.fd, into, room);
  while (got < 0 && errno == EINTR);
  if (got < 0) {
    f.error = errno;
    got = 0;
  }
  if (f.tee_out != nullptr) {
    if (got > 0)
      channel_put(*f.tee_out, into, static_cast<size_t>(got));
    else
      channel_close_writer(*f.tee_out, f.error);
  }
  return static_cast<size_t>(got);
}

int refill_input(InputFile &file) {
  if (file.fd < 0 && file.tee_in == nullptr) {
    // Bytes in memory come whole, once.
    if (!file.memory_given && !file.memory.empty()) {
      file.memory_given = true;
      file.next = file.memory.data();
      file.end = file.next + file.memory.size();
      return static_cast<unsigned char>(*file.next);
    }
    file.memory_given = true;
    file.eof = true;
    return -1;
  }
  char *start = page_aligned(file.buffer, CHUNK);
  size_t got = read_some(file, start, file.buffer.size);
  if (got == 0) {
    file.eof = true;
    return -1;
  }
  file.next = start;
  file.end = file.next + got;
  return static_cast<unsigned char>(*file.next);
}

std::string_view look_ahead(InputFile &file, size_t want) {
  if (file.next == file.end && !file.eof) refill_input(file);
  if (file.eof || static_cast<size_t>(file.end - file.next) >= want || file.memory_given)
    return {file.next, static_cast<size_t>(file.end - file.next)};
  // Gather the unread bytes and more into one buffer, which the reading
  // then goes on from.
  PageBuffer ahead;
  size_t have = static_cast<size_t>(file.end - file.next), room = std::max(want, CHUNK);
  char *start = page_aligned(ahead, room);
  std::memcpy(start, file.next, have);
  while (have < want) {
    size_t got = read_some(file, start + have, room - have);
    if (got == 0) break;
    have += got;
  }
  file.buffer = std::move(ahead);
  file.next = start;
  file.end = file.next + have;
  return {file.next, have};
}

void stop_passing_on(InputFile &file) {
  if (file.tee_out == nullptr) return;
  channel_close_writer(*file.tee_out, 0);
  file.tee_out = nullptr;
}

void close_input(InputFile &file) {
  if (file.tee_out != nullptr) {
    std::vector<char> rest(CHUNK);
    while (read_some(file, rest.data(), rest.size()) > 0) {
    }
    stop_passing_on(file);
  }
  if (file.tee_in != nullptr) channel_close_reader(*file.tee_in);
  if (file.owns_fd && file.fd >= 0) close(file.fd);
  file.fd = -1;
  file.tee_in = nullptr;
}

InputFile::~InputFile() { close_input(*this); }

void input_fault(Run &r, InputFile &file, const char *problem) {
  fault_with(r, "%s file %s: %s\n", file.kind, file.path.c_str(), problem);
  // Nothing more is read from the file: every reader loop ends here.
  r.line[0] = '\0';
  r.cursor = r.line;
  file.eof = file.fail = true;
}

void check_read_error(Run &r, InputFile &file) {
  r.reading = &file;
  if (file.error != 0)
    input_fault(r, file, file.error == EISDIR ? "is a directory" : "cannot be read");
}

void read_line(Run &r, InputFile &file) {
  char *line = r.line;
  line[0] = '\0';
  r.cursor = line;
  if (file.eof || file.fail || file.error != 0) {
    file.fail = true;
  } else {
    // Up to LINE_LEN - 1 characters, then the line feed is taken if it comes
    // next; anything else there leaves the line unfinished, a failure.
    std::size_t count = 0;
    int c = peek_char(file);
    while (count < LINE_LEN - 1 && c != -1 && c != '\n') {
      std::size_t room = std::min<std::size_t>(file.end - file.next, LINE_LEN - 1 - count);
      const char *feed = static_cast<const char *>(std::memchr(file.next, '\n', room));
      std::size_t taken = feed ? static_cast<std::size_t>(feed - file.next) : room;
      std::memcpy(line + count, file.next, taken);
      count += taken;
      file.next += taken;
      c = peek_char(file);
    }
    line[count] = '\0';
    if (c == '\n')
      take_char(file);
    else if (c != -1)
      file.fail = true;
    else if (count == 0)
      file.fail = true; // nothing at all before the end of the file
  }
  // A failure short of the end of the file would repeat for ever: every later
  // read would deliver an empty line and the end would never come.
  check_read_error(r, file);
  if (file.fail && !file.eof) input_fault(r, file, "line longer than 99999 characters");
  file.line = ++file.lines_read;
  r.reading = &file;
  if (file.crlf_as_lf) {
    size_t length = std::strlen(line);
    if (length > 0 && line[length - 1] == '\r') line[length - 1] = '\0';
  }
}

void check_extraction(Run &r, InputFile &file, const char *problem) {
  r.reading = &file;
  check_read_error(r, file);
  if (file.fail && !file.eof) input_fault(r, file, problem);
}

char *skip_blanks(char *cursor) {
  while (is_blank(*cursor)) ++cursor;
  return cursor;
}

char *token_end(char *cursor) {
  cursor = skip_blanks(cursor);
  while (*cursor != '\0' && !is_blank(*cursor)) ++cursor;
  return cursor;
}

// scan_int, and where its digits end.
static inline char *scan_digits(char *cursor, int32_t &value, char *&digits_end) {
  while (is_space(*cursor)) ++cursor;
  ScannedInt n = scan_integer(cursor, AtNul{});
  if (n.end == nullptr) return nullptr;
  clamp_to_int32(n.negative, n.magnitude, value);
  digits_end = cursor + (n.end - cursor);
  return cursor;
}

std::string_view beyond_32_bits(const char *cursor) {
  while (is_space(*cursor)) ++cursor;
  ScannedInt n = scan_integer(cursor, AtNul{});
  int32_t clamped;
  if (n.end == nullptr || clamp_to_int32(n.negative, n.magnitude, clamped)) return {};
  return {cursor, static_cast<size_t>(n.end - cursor)};
}

char *scan_int(char *cursor, int32_t &value) {
  char *digits_end;
  return scan_digits(cursor, value, digits_end);
}

// int_token, in a form the instance reader's loop takes in whole.
static inline char *number_token(char *cursor, int32_t &value) {
  char *end;
  if (scan_digits(cursor, value, end) == nullptr) return nullptr;
  // The rest of the token (".5" of 12.5, a comma) is skipped, not rejected.
  // The token is the one the number begins, so that a lone carriage return
  // or form feed before it is not taken as the token, which would read the
  // number twice.
  while (*end != '\0' && !is_blank(*end)) ++end;
  return end;
}

char *int_token(char *cursor, int32_t &value) { return number_token(cursor, value); }

char *read_one_number(Run &r, char *cursor, int32_t &destination) {
  char *end = number_token(cursor, destination);
  if (end != nullptr) return skip_blanks(end);
  if (!r.stopped) fault_with(r, "%sis not a proper number \n", cursor);
  return cursor + std::strlen(cursor);
}
