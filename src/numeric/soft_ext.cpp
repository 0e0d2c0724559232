#include "soft_ext.h"

#include <cstring>

namespace {

// GCC and Clang have it on every 64-bit target; -Wpedantic needs telling.
__extension__ typedef unsigned __int128 u128;

constexpr int BIAS = 16383;
constexpr uint16_t SIGN = 0x8000;
constexpr uint16_t TOP_EXP = 0x7fff; // infinities and NaNs
constexpr uint64_t LEAD = uint64_t{1} << 63;
// What the x87 unit returns for an invalid operation such as inf - inf.
constexpr ext INDEFINITE{0xC000000000000000, 0xffff};

int exp_of(ext a) { return a.se & TOP_EXP; }
bool neg_of(ext a) { return (a.se & SIGN) != 0; }
bool is_nan(ext a) { return exp_of(a) == TOP_EXP && (a.sig << 1) != 0; }
bool is_inf(ext a) { return exp_of(a) == TOP_EXP && (a.sig << 1) == 0; }
bool is_zero(ext a) { return exp_of(a) == 0 && a.sig == 0; }
ext quiet(ext a) { return {a.sig | (LEAD >> 1), a.se}; }

// A finite value is sig * 2^scale(a); subnormals share the smallest scale.
int scale(ext a) { return (exp_of(a) == 0 ? 1 : exp_of(a)) - BIAS - 63; }

// Magnitudes order as (exponent, significand) does.
u128 magnitude(ext a) { return (static_cast<u128>(exp_of(a)) << 64) | a.sig; }

int leading_bit(u128 v) {
  uint64_t high = static_cast<uint64_t>(v >> 64);
  return high ? 127 - __builtin_clzll(high) : 63 - __builtin_clzll(static_cast<uint64_t>(v));
}

// v / 2^shift rounded to nearest, ties to even (shift >= 1).
u128 round_shift(u128 v, int shift) {
  if (shift > 128) return 0; // below half of the last place
  u128 kept = shift == 128 ? 0 : v >> shift;
  u128 rest = shift == 128 ? v : v & ((u128{1} << shift) - 1);
  u128 half = u128{1} << (shift - 1);
  if (rest > half || (rest == half && (kept & 1))) ++kept;
  return kept;
}

// mag * 2^q, rounded once into the format: to nearest, ties to even, with
// subnormals below the normal range and infinity above it.
ext pack(bool neg, u128 mag, int q) {
  uint16_t sign = neg ? SIGN : 0;
  if (mag == 0) return {0, sign};
  int top = leading_bit(mag);
  int e = q + top + BIAS; // the biased exponent of a normal result
  int shift = e >= 1 ? top - 63 : -62 - BIAS - q;
  u128 sig = shift <= 0 ? mag << -shift : round_shift(mag, shift);
  if (e < 1) {
    e = static_cast<int>(sig >> 63); // rounding may reach the smallest normal
  } else if (sig >> 64) {
    sig >>= 1;
    ++e;
  }
  if (e >= TOP_EXP) return {LEAD, static_cast<uint16_t>(sign | TOP_EXP)};
  return {static_cast<uint64_t>(sig), static_cast<uint16_t>(sign | e)};
}

} // namespace

ext::ext(int64_t v) {
  uint64_t mag = v < 0 ? 0 - static_cast<uint64_t>(v) : static_cast<uint64_t>(v);
  *this = pack(v < 0, mag, 0);
}

ext::ext(int32_t v) : ext(int64_t{v}) {}

ext::ext(double v) {
  uint64_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  bool neg = bits >> 63;
  int e = static_cast<int>(bits >> 52) & 0x7ff;
  uint64_t fraction = bits & ((uint64_t{1} << 52) - 1);
  if (e == 0x7ff) { // infinity, or a NaN keeping its payload, made quiet
    sig = LEAD | (fraction << 11) | (fraction ? LEAD >> 1 : 0);
    se = static_cast<uint16_t>((neg ? SIGN : 0) | TOP_EXP);
  } else if (e == 0) {
    *this = pack(neg, fraction, -1074);
  } else {
    *this = pack(neg, fraction | (uint64_t{1} << 52), e - 1075);
  }
}

ext operator-(ext a) { return {a.sig, static_cast<uint16_t>(a.se ^ SIGN)}; }

ext operator+(ext a, ext b) {
  if (is_nan(a)) return quiet(a);
  if (is_nan(b)) return quiet(b);
  if (is_inf(a)) return is_inf(b) && neg_of(a) != neg_of(b) ? INDEFINITE : a;
  if (is_inf(b)) return b;
  if (is_zero(a) && is_zero(b)) return {0, static_cast<uint16_t>(a.se & b.se & SIGN)};
  if (is_zero(a)) return b;
  if (is_zero(b)) return a;
  if (magnitude(a) < magnitude(b)) {
    ext t = a;
    a = b;
    b = t;
  }
  // Both significands 62 places up leave room for the carry and for the bits
  // of the smaller operand below the larger one's last place; whatever falls
  // off further down is kept as one sticky bit, which rounds the same.
  int d = scale(a) - scale(b);
  u128 big = u128{a.sig} << 62, small = u128{b.sig} << 62;
  if (d >= 128) {
    small = 1;
  } else if (d > 0) {
    small = (small >> d) | ((small << (128 - d)) != 0);
  }
  u128 r = neg_of(a) == neg_of(b) ? big + small : big - small;
  if (r == 0) return {0, 0}; // exact cancellation is +0
  return pack(neg_of(a), r, scale(a) - 62);
}

ext operator-(ext a, ext b) { return a + -b; }

bool operator<(ext a, ext b) {
  if (is_nan(a) || is_nan(b) || (is_zero(a) && is_zero(b))) return false;
  bool na = neg_of(a) && !is_zero(a), nb = neg_of(b) && !is_zero(b);
  if (na != nb) return na;
  return na ? magnitude(b) < magnitude(a) : magnitude(a) < magnitude(b);
}

bool operator==(ext a, ext b) {
  if (is_nan(a) || is_nan(b)) return false;
  return (is_zero(a) && is_zero(b)) || (a.sig == b.sig && a.se == b.se);
}

void ext_split(ext v, bool &negative, uint64_t &significand, int &exponent) {
  negative = neg_of(v);
  significand = v.sig;
  exponent = scale(v);
}

double to_double(ext v) {
  uint64_t sign = uint64_t{neg_of(v)} << 63, bits;
  if (exp_of(v) == TOP_EXP) {
    uint64_t payload =
        is_nan(v) ? ((v.sig >> 11) & ((uint64_t{1} << 52) - 1)) | uint64_t{1} << 51 : 0;
    bits = sign | uint64_t{0x7ff} << 52 | payload;
  } else if (v.sig == 0) {
    bits = sign;
  } else {
    int q = scale(v), top = leading_bit(v.sig);
    int e = q + top + 1023; // the biased exponent of a normal double
    // Rounded to 53 bits, or onto the subnormal grid 2^-1074 below the normal range.
    int shift = e >= 1 ? top - 52 : -1074 - q;
    u128 m = shift <= 0 ? u128{v.sig} << -shift : round_shift(v.sig, shift);
    if (e >= 1 && (m >> 53)) {
      m >>= 1;
      ++e;
    }
    uint64_t fraction = static_cast<uint64_t>(m);
    if (e < 1) {
      bits = sign | fraction; // a carry into bit 52 makes the smallest normal by itself
    } else if (e >= 0x7ff) {
      bits = sign | uint64_t{0x7ff} << 52;
    } else {
      bits = sign | uint64_t(e) << 52 | (fraction & ((uint64_t{1} << 52) - 1));
    }
  }
  double d;
  std::memcpy(&d, &bits, sizeof d);
  return d;
}
