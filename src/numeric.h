// The numeric policy, in one place.
//
// Every clock, distance and total is an x87 extended-precision value (64-bit
// significand, 15-bit exponent). The verdicts on near-boundary solutions
// depend on that exact format, so every platform computes in it: natively
// where long double is that format, in software (src/numeric/soft_ext.h)
// everywhere else, or when the build asks for it (FLEETJUDGE_SOFTWARE_EXTENDED).
// Code outside this header uses `ext` only through addition, subtraction,
// comparisons, conversions from integers and double, `ext_hypot`,
// `ext_length`, `ext_split`, `ext_ratio`, `ext_from_decimal`, `to_double` and
// `format_ext`.
#pragma once

#include <cstdint>

#if FLEETJUDGE_SOFTWARE_EXTENDED

#include "numeric/soft_ext.h"

#else

#include <cfloat>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <limits>

// Native long double of any other format would quietly give other verdicts.
#if LDBL_MANT_DIG != 64 || LDBL_MAX_EXP != 16384 || LDBL_MIN_EXP != -16381
#error "long double is not the x87 80-bit format here: build with -DFLEETJUDGE_SOFTWARE_EXTENDED=ON"
#endif

using ext = long double;

// The tolerance on the declared total: the double nearest to 0.02, widened.
// It is deliberately not 0.02L, the extended value nearest to 0.02.
constexpr ext epsilon = static_cast<ext>(0.02);

// The Euclidean length of (dx, dy), for differences of 32-bit coordinates:
// each square (below 2^64) is exact in a 64-bit significand, the sum is
// rounded once, then the square root once.
inline ext ext_hypot(int64_t dx, int64_t dy) {
  ext x = static_cast<ext>(dx), y = static_cast<ext>(dy);
  return std::sqrt(x * x + y * y);
}

// The Euclidean length of (dx, dy) for differences that are themselves
// extended values (of coordinates with decimals): each square rounded, their
// sum rounded, then the square root rounded, every step to the format.
inline ext ext_length(ext dx, ext dy) { return std::sqrt(dx * dx + dy * dy); }

// n / d correctly rounded, for integers below 2^63 in magnitude: both are
// exact in the format, so the one division rounds once. A decimal
// n / 10^k is thus the same value as its text read by ext_from_decimal.
inline ext ext_ratio(int64_t n, int64_t d) { return static_cast<ext>(n) / static_cast<ext>(d); }

// A finite value as sign, significand and power of two, exactly:
// v = (negative ? -1 : 1) * significand * 2^exponent.
inline void ext_split(ext v, bool &negative, uint64_t &significand, int &exponent) {
  negative = std::signbit(v);
  int e = 0;
  ext fraction = std::frexp(std::fabs(v), &e); // in [1/2, 1), or 0
  significand = static_cast<uint64_t>(std::ldexp(fraction, 64));
  exponent = e - 64;
}

// The extended value of a decimal number, correctly rounded. `text` is what
// the scanner accepted: an optional sign, digits with at most one decimal
// point, an optional exponent "e[sign]digits". A value too large for the
// format stores the largest finite value with its sign and returns false;
// one too small to represent becomes zero or a subnormal, which is no error.
inline bool ext_from_decimal(const char *text, ext &value) {
  value = std::strtold(text, nullptr);
  if (std::isinf(value)) {
    value = std::copysign(std::numeric_limits<ext>::max(), value);
    return false;
  }
  return true;
}

// Rounded to the nearest double, ties to even.
inline double to_double(ext v) { return static_cast<double>(v); }

// The text of an extended value in messages: general notation with 16
// significant digits ("%.16Lg"). Returns the length written into `out`.
constexpr std::size_t EXT_TEXT = 40; // room for any value, sign and exponent included
inline int format_ext(char (&out)[EXT_TEXT], ext v) {
  return std::snprintf(out, EXT_TEXT, "%.16Lg", v);
}

#endif
