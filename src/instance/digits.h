// Characters and integers as every reader of the input files sees them: the
// character classes of the C locale, and the one scan of an integer written
// as an optional sign and digits.
//
// The readers differ only in what they make of a number beyond 32 bits: the
// route walk clamps it as scanf's %d does, the header numbers fail as a
// stream's extraction does, VRPLIB refuses it, route lists quote it as
// written. So the scan keeps the magnitude saturated just beyond the range,
// and each reader decides.
#pragma once

#include <cstdint>

// A space or a tab: what separates the numbers of a line.
inline bool is_blank(int c) { return c == ' ' || c == '\t'; }
// A blank, line feed, vertical tab, form feed or carriage return.
inline bool is_space(int c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
inline bool is_digit(int c) { return c >= '0' && c <= '9'; }

// A text ends at a given pointer, or at its NUL: `AtNul{}` in place of the
// pointer scans a line of the line buffer without a bound to test.
struct AtNul {};

// Once a magnitude leaves the 32-bit range it stays at this value, the first
// beyond every int32_t (2^31 + 1), so that digits of any number never
// overflow it.
constexpr uint64_t BEYOND_32_BITS = (uint64_t{1} << 31) + 1;

// Adds the digits from `p` on to `magnitude`; returns the position behind
// the last. Digits read in pieces (a file's chunks) add up as read at once.
template <typename End> const char *take_digits(const char *p, End end, uint64_t &magnitude);

// An integer at `p`: an optional sign, then at least one digit.
struct ScannedInt {
  const char *end = nullptr; // behind its last digit; nullptr when no digit follows the sign
  bool negative = false;
  uint64_t magnitude = 0; // at most BEYOND_32_BITS
};
template <typename End> ScannedInt scan_integer(const char *p, End end);

// The value clamped to the 32-bit range, as scanf's %d stores it; returns
// whether it was in the range.
inline bool clamp_to_int32(bool negative, uint64_t magnitude, int32_t &value);

// A line of the line buffer made of whole numbers within 32 bits and
// nothing else, separated by white space (a carriage return included, so
// that CR LF line ends read alike): how many, into `fields`; -1 for a line
// with any other token or with more than `most` numbers.
inline int whole_fields(const char *line, int32_t *fields, int most);

// ---------------------------------------------------------------------------

inline bool before_end(const char *, AtNul) { return true; } // the NUL is no digit
inline bool before_end(const char *p, const char *end) { return p != end; }

template <typename End> const char *take_digits(const char *p, End end, uint64_t &magnitude) {
  for (; before_end(p, end) && is_digit(*p); ++p) {
    magnitude = magnitude * 10 + static_cast<unsigned>(*p - '0');
    if (magnitude > BEYOND_32_BITS) magnitude = BEYOND_32_BITS;
  }
  return p;
}

template <typename End> ScannedInt scan_integer(const char *p, End end) {
  ScannedInt n;
  if (before_end(p, end) && (*p == '-' || *p == '+')) n.negative = *p++ == '-';
  if (!before_end(p, end) || !is_digit(*p)) return n;
  n.end = take_digits(p, end, n.magnitude);
  return n;
}

inline bool clamp_to_int32(bool negative, uint64_t magnitude, int32_t &value) {
  uint64_t largest = negative ? uint64_t{1} << 31 : uint64_t{INT32_MAX};
  bool in_range = magnitude <= largest;
  int64_t kept = static_cast<int64_t>(in_range ? magnitude : largest);
  value = static_cast<int32_t>(negative ? -kept : kept);
  return in_range;
}

// The hot loop of every matrix and task line: the digits of a number are
// taken without a test per digit, since a number's significant digits are
// counted instead; more than ten are beyond 32 bits whatever they are.
inline int whole_fields(const char *p, int32_t *fields, int most) {
  for (int count = 0;; ++count) {
    while (is_space(*p)) ++p;
    if (*p == '\0') return count;
    if (count == most) return -1;
    bool negative = *p == '-';
    if (negative || *p == '+') ++p;
    if (!is_digit(*p)) return -1;
    while (*p == '0' && is_digit(p[1])) ++p; // leading zeros
    const char *first = p;
    uint64_t magnitude = 0;
    for (; is_digit(*p); ++p) magnitude = magnitude * 10 + static_cast<unsigned>(*p - '0');
    if ((*p != '\0' && !is_space(*p)) || p - first > 10 ||
        !clamp_to_int32(negative, magnitude, fields[count]))
      return -1;
  }
}
