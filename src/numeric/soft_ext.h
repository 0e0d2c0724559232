// The x87 80-bit extended format in software, for platforms whose long double
// is something else: a 64-bit significand with an explicit leading bit, a
// 15-bit exponent with subnormals, every result rounded to nearest, ties to
// even, and overflowing to infinity, exactly as the x87 unit does it.
//
// It offers what the checker computes with and no more: addition and
// subtraction, comparisons, exact conversion from 32- and 64-bit integers and
// from double, the distance roots, the quotient of two integers, the parts of
// a value, and decimal text in and out.
#pragma once

#include <cstddef>
#include <cstdint>

// The bits as the x87 unit stores them, so that a value can be checked
// against the native format bit for bit.
struct ext {
  uint64_t sig = 0; // significand; bit 63 is the integer bit, clear only below the normal range
  uint16_t se = 0;  // bit 15 the sign, bits 0-14 the biased exponent (bias 16383)

  ext() = default;
  constexpr ext(uint64_t significand, uint16_t sign_exponent)
      : sig(significand), se(sign_exponent) {}
  // Exact, and implicit as the arithmetic conversions of long double are.
  ext(int32_t v);
  ext(int64_t v);
  ext(double v);
};

ext operator+(ext a, ext b);
ext operator-(ext a, ext b);
ext operator-(ext a);
inline ext &operator+=(ext &a, ext b) { return a = a + b; }
inline ext &operator-=(ext &a, ext b) { return a = a - b; }

// A NaN compares unordered with everything; zeros compare equal whatever their sign.
bool operator<(ext a, ext b);
bool operator==(ext a, ext b);
inline bool operator>(ext a, ext b) { return b < a; }
inline bool operator<=(ext a, ext b) { return a < b || a == b; }
inline bool operator>=(ext a, ext b) { return b < a || a == b; }
inline bool operator!=(ext a, ext b) { return !(a == b); }

// The double nearest to 0.02, widened: exactly static_cast<ext>(0.02).
constexpr ext epsilon{0xA3D70A3D70A3D800, 0x3FF9};

// The Euclidean length of (dx, dy) for |dx|, |dy| < 2^32: the sum of the
// exact squares rounded once, then the square root rounded once.
ext ext_hypot(int64_t dx, int64_t dy);

// The Euclidean length of (dx, dy) for any finite dx and dy: each square
// rounded, their sum rounded, then the square root rounded, as the x87 unit
// computes sqrtl(dx * dx + dy * dy).
ext ext_length(ext dx, ext dy);

// n / d correctly rounded (d not 0).
ext ext_ratio(int64_t n, int64_t d);

// A finite value as sign, significand and power of two, exactly.
void ext_split(ext v, bool &negative, uint64_t &significand, int &exponent);

// Rounded to the nearest double, ties to even.
double to_double(ext v);

// "%.16Lg" of the same value in the native format. Returns the length.
constexpr std::size_t EXT_TEXT = 40; // room for any value, sign and exponent included
int format_ext(char (&out)[EXT_TEXT], ext v);

// A decimal text (sign, digits, point, fraction, e or E and exponent) to the
// nearest extended value, as glibc's strtold rounds it. A value too large for
// the format gives false and the largest finite value with the text's sign.
bool ext_from_decimal(const char *text, ext &value);
