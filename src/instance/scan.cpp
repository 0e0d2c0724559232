#include "scan.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

#include <vector>

#include "../findings.h"

char line[LINE_LEN];
char *ohneline = line;

// Both files are read through one fixed 128 KiB buffer: the instance is
// closed before the solution is opened. Large reads keep a 1 GB solution at
// the speed of reading it once; a larger buffer only costs fresh pages on
// every run (measured in docs/performance.md).
static char stream_buffer[1 << 17];

// A fault whose message holds text from the command line or the file:
// paths and lines of any length fit.
__attribute__((format(printf, 1, 2))) static void fault_with(const char *format, ...) {
  va_list args, again;
  va_start(args, format);
  va_copy(again, args);
  std::vector<char> text(static_cast<size_t>(std::vsnprintf(nullptr, 0, format, args)) + 1);
  std::vsnprintf(text.data(), text.size(), format, again);
  va_end(again);
  va_end(args);
  fault(text.data());
}

bool open_input(InputFile &file, const char *kind, const char *path) {
  bool crlf_as_lf = file.crlf_as_lf;
  file = InputFile{};
  file.kind = kind;
  file.path = path;
  file.crlf_as_lf = crlf_as_lf;
  file.next = file.end = stream_buffer;
  file.fd = open(path, O_RDONLY | O_CLOEXEC);
  if (file.fd < 0) fault_with("file %s does not exist \n", path);
  return file.fd >= 0;
}

void close_input(InputFile &file) {
  if (file.fd >= 0) close(file.fd);
  file.fd = -1;
}

int refill_input(InputFile &file) {
  ssize_t got = -1;
  if (file.error == 0 && file.fd >= 0) {
    do got = read(file.fd, stream_buffer, sizeof stream_buffer);
    while (got < 0 && errno == EINTR);
    if (got < 0) file.error = errno;
  }
  if (got <= 0) {
    file.eof = true;
    return -1;
  }
  file.next = stream_buffer;
  file.end = stream_buffer + got;
  return static_cast<unsigned char>(*file.next);
}

void input_fault(InputFile &file, const char *problem) {
  fault_with("%s file %s: %s\n", file.kind, file.path, problem);
  // Nothing more is read from the file: every reader loop ends here.
  line[0] = '\0';
  ohneline = line;
  file.eof = file.fail = true;
}

void check_read_error(InputFile &file) {
  if (file.error != 0)
    input_fault(file, file.error == EISDIR ? "is a directory" : "cannot be read");
}

void read_line(InputFile &file) {
  line[0] = '\0';
  ohneline = line;
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
  check_read_error(file);
  if (file.fail && !file.eof) input_fault(file, "line longer than 99999 characters");
  file.lines_read++;
  if (file.crlf_as_lf) {
    size_t length = std::strlen(line);
    if (length > 0 && line[length - 1] == '\r') line[length - 1] = '\0';
  }
}

void check_extraction(InputFile &file, const char *problem) {
  check_read_error(file);
  if (file.fail && !file.eof) input_fault(file, problem);
}

static bool is_blank(char c) { return c == ' ' || c == '\t'; }

char *rmblanc(char *cursor) {
  while (is_blank(*cursor)) ++cursor;
  return cursor;
}

char *bf(char *cursor) {
  cursor = rmblanc(cursor);
  while (*cursor != '\0' && !is_blank(*cursor)) ++cursor;
  return cursor;
}

static bool is_space(char c) { return is_blank(c) || (c >= '\n' && c <= '\r'); }
static bool is_digit(char c) { return c >= '0' && c <= '9'; }

// scan_int, and where its digits end.
static char *scan_digits(char *cursor, int32_t &value, char *&digits_end) {
  while (is_space(*cursor)) ++cursor;
  char *start = cursor;
  bool negative = *cursor == '-';
  if (*cursor == '-' || *cursor == '+') ++cursor;
  if (!is_digit(*cursor)) return nullptr;
  // Accumulate the magnitude saturated just past the 32-bit range, so that
  // any run of digits is clamped instead of overflowing.
  constexpr int64_t limit = int64_t{INT32_MAX} + 1;
  int64_t magnitude = 0;
  for (; is_digit(*cursor); ++cursor) {
    magnitude = magnitude * 10 + (*cursor - '0');
    if (magnitude > limit) magnitude = limit;
  }
  if (negative)
    value = static_cast<int32_t>(-magnitude);
  else
    value = static_cast<int32_t>(magnitude > INT32_MAX ? INT32_MAX : magnitude);
  digits_end = cursor;
  return start;
}

char *scan_int(char *cursor, int32_t &value) {
  char *digits_end;
  return scan_digits(cursor, value, digits_end);
}

char *int_token(char *cursor, int32_t &value) {
  char *end;
  if (scan_digits(cursor, value, end) == nullptr) return nullptr;
  // The rest of the token (".5" of 12.5, a comma) is skipped, not rejected.
  // The token is the one the number begins, so that a lone carriage return
  // or form feed before it is not taken as the token, which would read the
  // number twice.
  while (*end != '\0' && !is_blank(*end)) ++end;
  return end;
}

char *read_one_number(char *cursor, int32_t &destination) {
  char *end = int_token(cursor, destination);
  if (end != nullptr) return rmblanc(end);
  if (!input_failed) fault_with("%sis not a proper number \n", cursor);
  return cursor + std::strlen(cursor);
}
