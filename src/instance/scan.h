// Line scanning, shared by the instance and the solution reader.
//
// Both files are read line by line into the one line buffer; the cursor
// `ohneline` walks a line from left to right. Blanks are a space and a tab,
// nothing else: a carriage return is text.
#pragma once

#include <cstdint>

constexpr int LINE_LEN = 100000;

extern char line[LINE_LEN];
extern char *ohneline;

// An open input file, read through one static 128 KiB buffer (one file is
// open at a time), with what its messages call it ("instance", "solution").
// The flags keep the states the readers have always decided on, those of a
// C++ input stream: once the end was met or an operation failed, every later
// operation fails and reads nothing.
struct InputFile {
  int fd = -1;
  const char *kind = nullptr;
  const char *path = nullptr;
  char *next = nullptr; // the unread part of the buffer is [next, end)
  char *end = nullptr;
  bool eof = false;        // an operation met the end of the file
  bool fail = false;       // an operation found nothing it could take
  int error = 0;           // errno of a failed read; 0 while none
  bool crlf_as_lf = false; // a carriage return before a line feed is dropped
  int64_t lines_read = 0;
};

// Opens `path`; a file that cannot be opened is a fault ("does not exist").
bool open_input(InputFile &file, const char *kind, const char *path);
void close_input(InputFile &file);

// Reads the next line into `line` and puts the cursor at its start. At the end
// of the file the line is empty and at_end() holds. A line too long for the
// buffer, or a read error, is a fault naming the file.
void read_line(InputFile &file);

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
void input_fault(InputFile &file, const char *problem);

// A read error (a directory, a failing device) is a fault.
void check_read_error(InputFile &file);

// So is a failed extraction that did not reach the end of the file, with
// `problem` as the message.
void check_extraction(InputFile &file, const char *problem);

char *rmblanc(char *cursor); // first non-blank at or after the cursor
char *bf(char *cursor);      // just behind the next token

// scanf "%d" at the cursor: white space, sign, digits. A value beyond the
// 32-bit range is clamped. Returns where the number begins (behind the white
// space), or nullptr when no number starts there.
char *scan_int(char *cursor, int32_t &value);

// scan_int, then the rest of the token the number begins: returns the
// position just behind it, or nullptr when no number starts at the cursor.
char *int_token(char *cursor, int32_t &value);

// Reads one integer token; returns the cursor on the next token. A token that
// is not a number is the fault "<rest of line>is not a proper number "; the
// cursor then goes to the line's end.
char *read_one_number(char *cursor, int32_t &destination);
