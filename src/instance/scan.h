// Input files and line scanning, shared by the instance and the solution
// reader.
//
// A file is read once, front to back, from whatever holds it: a descriptor
// (a regular file, a pipe, a terminal), bytes in memory, or a channel fed by
// another run's reading of the same file (tee.h). Lines go into the run's one
// line buffer; the cursor `cursor` walks a line from left to right. Blanks
// are a space and a tab, nothing else: a carriage return is text.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "digits.h"

struct Run;
struct Channel;

// A buffer of at least `size` bytes that starts on a page boundary, inside
// `storage`, left as it is (not cleared). Copying lines out of the read
// buffer into the line buffer runs several times slower when the two are not
// both page-aligned (on a 1 GB solution, 0.72 s against 0.13 s,
// docs/performance.md).
struct PageBuffer {
  std::unique_ptr<char[]> storage;
  size_t size = 0;
  char *start = nullptr;
};
inline char *page_aligned(PageBuffer &b, size_t size) {
  constexpr size_t PAGE = 4096;
  if (b.size < size) {
    b.storage.reset(new char[size + PAGE]);
    uintptr_t at = reinterpret_cast<uintptr_t>(b.storage.get());
    b.start = b.storage.get() + (PAGE - at % PAGE) % PAGE;
    b.size = size;
  }
  return b.start;
}

// The flags keep the states the readers have always decided on, those of a
// C++ input stream: once the end was met or an operation failed, every later
// operation fails and reads nothing.
struct InputFile {
  const char *kind = "";   // what messages call it: "instance", "solution"
  std::string path;        // its name in messages
  int fd = -1;             // read from this descriptor, unless one of the below
  bool owns_fd = false;    // closed with the file
  std::string_view memory; // read from these bytes
  bool memory_given = false;
  Channel *tee_out = nullptr; // every chunk read from fd is passed on here too
  Channel *tee_in = nullptr;  // chunks come from here instead of fd
  PageBuffer buffer;          // what was read from fd
  std::string held;           // the chunk taken from tee_in, from held_pos on
  size_t held_pos = 0;
  const char *next = nullptr; // the unread part is [next, end)
  const char *end = nullptr;
  bool eof = false;        // an operation met the end of the file
  bool fail = false;       // an operation found nothing it could take
  int error = 0;           // errno of a failed read; 0 while none
  bool crlf_as_lf = false; // a carriage return before a line feed is dropped
  int64_t lines_read = 0;  // line feeds passed, and the last line without one
  int64_t line = 0;        // the line read last, or of the number extracted last

  InputFile() = default;
  InputFile(const InputFile &) = delete;
  InputFile &operator=(const InputFile &) = delete;
  ~InputFile();
};

// Opens `path` for reading; a file that cannot be opened is the fault
// "file PATH does not exist ".
bool open_input(Run &r, InputFile &file, const char *kind, const char *path);
// The file's bytes are already in memory, or behind a descriptor opened by
// the caller.
void use_memory(InputFile &file, const char *kind, std::string_view name, std::string_view bytes);
void use_descriptor(InputFile &file, const char *kind, std::string_view name, int fd, bool owns);
// Done with the file: what a channel still needs of it is passed on first.
void close_input(InputFile &file);
// Nothing more of the file is passed on to its channel: that run reads the
// file as ended here.
void stop_passing_on(InputFile &file);

// Makes at least `want` unread bytes available without taking them, or all
// that is left; returns the unread bytes. For looking ahead before a file is
// parsed (the format of a solution, the line ends of an instance).
std::string_view look_ahead(InputFile &file, size_t want);

// The non-blank lines of bytes looked at ahead, one at a time, for the
// guesses made before a file is read (its format, what it looks like).
struct LinesAhead {
  std::string_view rest;
  // The next non-blank line, without its line feed; false when none is left.
  bool next(std::string_view &line) {
    while (!rest.empty()) {
      size_t feed = rest.find('\n');
      line = rest.substr(0, feed);
      rest = feed == std::string_view::npos ? std::string_view() : rest.substr(feed + 1);
      for (char c : line)
        if (!is_space(c)) return true;
    }
    return false;
  }
};

// Reads the next line into the run's line buffer and puts the cursor at its
// start. At the end of the file the line is empty and at_end() holds. A line
// too long for the buffer, or a read error, is a fault naming the file.
void read_line(Run &r, InputFile &file);

// Whether an operation has met the end of the file: after the last line only
// when that line has no line feed, else on the read after it.
inline bool at_end(const InputFile &file) { return file.eof; }

// The next unread character without taking it, or -1 at the end of the file
// or after a read error (either sets `eof`).
int refill_input(InputFile &file);
inline int peek_char(InputFile &file) {
  return file.next != file.end ? static_cast<unsigned char>(*file.next) : refill_input(file);
}
inline void take_char(InputFile &file) { ++file.next; }

// The fault "<kind> file <path>: <problem>"; nothing more is read from the
// file (it reads as ended), and every reader winds down.
void input_fault(Run &r, InputFile &file, const char *problem);

// A read error (a directory, a failing device) is a fault.
void check_read_error(Run &r, InputFile &file);

// So is a failed extraction that did not reach the end of the file, with
// `problem` as the message.
void check_extraction(Run &r, InputFile &file, const char *problem);

char *skip_blanks(char *cursor); // first non-blank at or after the cursor
char *token_end(char *cursor);   // just behind the next token

// scanf "%d" at the cursor: white space, sign, digits. A value beyond the
// 32-bit range is clamped. Returns where the number begins (behind the white
// space), or nullptr when no number starts there.
char *scan_int(char *cursor, int32_t &value);

// The number at the cursor as written (sign and digits), when scan_int would
// clamp it; empty otherwise. The report quotes such a number as written.
std::string_view beyond_32_bits(const char *cursor);

// scan_int, then the rest of the token the number begins: returns the
// position just behind it, or nullptr when no number starts at the cursor.
char *int_token(char *cursor, int32_t &value);

// Reads one integer token; returns the cursor on the next token. A token that
// is not a number is the fault "<rest of line>is not a proper number "; the
// cursor then goes to the line's end.
char *read_one_number(Run &r, char *cursor, int32_t &destination);

// printf into a fault of any length: paths and lines of any size fit.
__attribute__((format(printf, 2, 3))) void fault_with(Run &r, const char *format, ...);
