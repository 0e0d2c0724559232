#include "scan.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <vector>

#include "../findings.h"

char line[LINE_LEN];
char *ohneline = line;

// Both files are read through one fixed 128 KiB buffer: the instance is
// closed before the solution is opened. Large reads keep a 1 GB solution at
// the speed of reading it once; a larger buffer only costs fresh pages on
// every run (measured in docs/performance.md).
static char stream_buffer[1 << 17];

// A message that names a file and a problem; paths of any length fit.
static void fault_with(const char *format, const char *a, const char *b, const char *c) {
  int length = std::snprintf(nullptr, 0, format, a, b, c);
  std::vector<char> text(static_cast<size_t>(length) + 1);
  std::snprintf(text.data(), text.size(), format, a, b, c);
  fault(text.data());
}

bool open_input(InputFile &file, const char *kind, const char *path) {
  file.kind = kind;
  file.path = path;
  file.in.rdbuf()->pubsetbuf(stream_buffer, sizeof stream_buffer);
  file.in.open(path);
  if (!file.in.is_open()) fault_with("file %s does not exist \n", path, "", "");
  return file.in.is_open();
}

void input_fault(InputFile &file, const char *problem) {
  fault_with("%s file %s: %s\n", file.kind, file.path, problem);
  // Nothing more is read from the file: every reader loop ends here.
  line[0] = '\0';
  ohneline = line;
  file.in.setstate(std::ios::eofbit | std::ios::failbit);
}

void check_read_error(InputFile &file) {
  if (file.in.bad()) input_fault(file, errno == EISDIR ? "is a directory" : "cannot be read");
}

void read_line(InputFile &file) {
  line[0] = '\0';
  errno = 0;
  file.in.getline(line, LINE_LEN);
  ohneline = line;
  // A failure short of the end of the file would repeat for ever: every later
  // read would deliver an empty line and the end would never come.
  check_read_error(file);
  if (file.in.fail() && !file.in.eof()) input_fault(file, "line longer than 99999 characters");
  if (input_failed) line[0] = '\0';
  file.lines_read++;
  if (file.crlf_as_lf) {
    size_t length = std::strlen(line);
    if (length > 0 && line[length - 1] == '\r') line[length - 1] = '\0';
  }
}

void check_extraction(InputFile &file, const char *problem) {
  check_read_error(file);
  if (file.in.fail() && !file.in.eof()) input_fault(file, problem);
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

char *scan_int(char *cursor, int32_t &value) {
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
  return start;
}

char *read_one_number(char *cursor, int32_t &destination) {
  char *number = scan_int(cursor, destination);
  if (number == nullptr) {
    if (!input_failed) fault_with("%sis not a proper number \n", cursor, "", "");
    return cursor + std::strlen(cursor);
  }
  // The rest of the token (".5" of 12.5, a comma) is skipped, not rejected.
  // The token is the one the number begins, so that a lone carriage return
  // or form feed before it is not taken as the token, which would read the
  // number twice.
  return rmblanc(bf(number));
}
