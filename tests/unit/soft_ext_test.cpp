// The software extended type against the native x87 long double, operation
// by operation, bit for bit: a large random sample of each, plus the classes
// where a wrong rounding would hide (ties, subnormals, the ends of the range,
// signed zeros, integer extremes, long and halfway decimal texts).
#include <gmp.h>
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <random>
#include <string>

#include "numeric.h"

namespace {

std::mt19937_64 rng(20261206);
uint64_t bits(int n) { return n >= 64 ? rng() : rng() & ((uint64_t{1} << n) - 1); }
int between(int lo, int hi) {
  return lo + static_cast<int>(rng() % static_cast<uint64_t>(hi - lo + 1));
}

long double native(ext v) {
  long double d = 0;
  std::memcpy(&d, &v.sig, 8);
  std::memcpy(reinterpret_cast<char *>(&d) + 8, &v.se, 2);
  return d;
}

bool same(ext s, long double n) {
  long double d = native(s);
  return (std::isnan(d) && std::isnan(n)) || std::memcmp(&d, &n, 10) == 0;
}

// A value with biased exponent e (0: subnormal), random significand bits,
// of which the lowest `zeros` are cleared so that sums meet exact ties.
ext value(int e, int zeros = 0) {
  uint64_t sig = rng() & ~bits(zeros);
  sig = e == 0 ? sig >> 1 : sig | uint64_t{1} << 63;
  return {sig, static_cast<uint16_t>(e | (rng() & 1) << 15)};
}
ext any_value() {
  switch (rng() % 4) {
  case 0:
    return value(between(0, 0x7ffe));
  case 1:
    return value(between(0, 70)); // subnormals and their border
  case 2:
    return value(between(0x7ffe - 70, 0x7ffe)); // near overflow
  default:
    return value(between(16383 - 80, 16383 + 80), between(0, 63)); // everyday sizes
  }
}

// Whether a and b compare as na and nb do, under all six comparisons.
template <typename A, typename B, typename NA, typename NB>
bool same_order(A a, B b, NA na, NB nb) {
  return (a < b) == (na < nb) && (a <= b) == (na <= nb) && (a > b) == (na > nb) &&
         (a >= b) == (na >= nb) && (a == b) == (na == nb) && (a != b) == (na != nb);
}

// Counts mismatches and reports the first few with the text given.
struct Tally {
  int count = 0;
  void add(bool ok, const std::string &what) {
    if (!ok && ++count <= 5) ADD_FAILURE() << what;
  }
};
std::string hex(long double v) {
  char out[64];
  std::snprintf(out, sizeof out, "%La", v);
  return out;
}

TEST(SoftExt, SumsDifferencesAndComparisons) {
  Tally t;
  for (int i = 0; i < 1000000; ++i) {
    ext a = any_value(), b;
    int ea = a.se & 0x7fff;
    switch (i % 4) {
    case 0:
      b = any_value();
      break;
    case 1:
      b = value(std::max(0, std::min(0x7ffe, ea + between(-70, 70))), between(0, 63));
      break;
    case 2: { // exactly half a last place of a, or an odd multiple of it: a tie
      ext half = value(std::max(0, ea - 64 + (ea == 0)), 0);
      half.sig = (uint64_t{1} << 63) | bits(2) << 61;
      b = ea > 64 ? half : ext{bits(3), static_cast<uint16_t>(rng() & 0x8000)};
      break;
    }
    default:
      b = -a + value(std::max(0, ea - between(0, 3)), between(0, 63)); // cancellation
    }
    long double na = native(a), nb = native(b);
    std::string what = hex(na) + " and " + hex(nb);
    t.add(same(a + b, na + nb), "sum of " + what);
    t.add(same(a - b, na - nb), "difference of " + what);
    ext c = a;
    c += b;
    t.add(same(c, na + nb) && same(-a, -na), "+= or negation of " + what);
    t.add(same_order(a, b, na, nb), "comparison of " + what);
  }
  ext inf{uint64_t{1} << 63, 0x7fff}, max{~uint64_t{0}, 0x7ffe}, zero{0, 0};
  long double ninf = native(inf), nmax = native(max);
  t.add(same(max + max, nmax + nmax) && same(inf - inf, ninf - ninf) &&
            same(-max - max, -nmax - nmax),
        "overflow and infinities");
  t.add(same(zero - zero, 0.0L - 0.0L) && same(-zero - zero, -0.0L - 0.0L) &&
            same(-zero + zero, -0.0L + 0.0L) && -zero == zero && !(-zero < zero),
        "signed zeros");
  EXPECT_EQ(t.count, 0);
}

TEST(SoftExt, ConversionsAndMixedComparisons) {
  Tally t;
  for (int i = 0; i < 1000000; ++i) {
    int32_t i32 = static_cast<int32_t>(bits(between(0, 32)));
    int64_t i64 = static_cast<int64_t>(bits(between(0, 64)));
    uint64_t raw = rng();
    double d;
    std::memcpy(&d, &raw, sizeof d);
    if (i % 8 == 0) d = std::ldexp(static_cast<double>(bits(53)), between(-1100, 1000));
    if (i % 1000 == 0) { // the extremes and the zeros
      i32 = i % 3000 ? INT32_MIN : INT32_MAX;
      i64 = i % 3000 ? INT64_MIN : INT64_MAX;
      d = i % 2000 ? -0.0 : DBL_MAX;
    }
    ext s32 = i32, s64 = i64, sd = d;
    t.add(same(s32, i32) && same(s64, i64) && same(sd, d),
          "conversion of " + std::to_string(i32) + ", " + std::to_string(i64) + ", " + hex(d));
    // Just beside the converted value, on it, or anywhere.
    long double n = i % 3 == 0 ? i64 : i % 3 == 1 ? d : i32;
    switch (rng() % 3) {
    case 0:
      n = std::nextafter(n, rng() & 1 ? INFINITY : -INFINITY);
      break;
    case 1:
      break;
    default:
      n = native(any_value());
    }
    ext s;
    std::memcpy(&s.sig, &n, 8);
    std::memcpy(&s.se, reinterpret_cast<char *>(&n) + 8, 2);
    t.add(same_order(s, i32, n, i32) && same_order(i32, s, i32, n), "with int32 " + hex(n));
    t.add(same_order(s, i64, n, i64) && same_order(i64, s, i64, n), "with int64 " + hex(n));
    t.add(same_order(s, d, n, d) && same_order(d, s, d, n), "with double " + hex(n));
    double soft_double = to_double(s), native_double = static_cast<double>(n);
    t.add((std::isnan(soft_double) && std::isnan(native_double)) ||
              std::memcmp(&soft_double, &native_double, sizeof(double)) == 0,
          "to_double of " + hex(n));
  }
  t.add(same(epsilon, static_cast<long double>(0.02)), "epsilon");
  EXPECT_EQ(t.count, 0);
}

TEST(SoftExt, DistancesAndText) {
  Tally t;
  const ext special[] = {{0, 0},
                         {1, 0},
                         {~uint64_t{0} >> 1, 0},
                         {~uint64_t{0}, 0x7ffe},
                         {uint64_t{1} << 63, 0x7fff},
                         {uint64_t{3} << 62, 0x7fff},
                         {uint64_t{1} << 63, 1}}; // zero, subnormals, max, inf, nan, min normal
  for (int i = 0; i < 1000000; ++i) {
    int64_t dx = static_cast<int64_t>(bits(between(0, 32))) * (rng() & 1 ? 1 : -1);
    int64_t dy = static_cast<int64_t>(bits(between(0, 32))) * (rng() & 1 ? 1 : -1);
    long double x = dx, y = dy;
    t.add(same(ext_hypot(dx, dy), std::sqrt(x * x + y * y)),
          "distance " + std::to_string(dx) + ", " + std::to_string(dy));
    ext v = any_value();
    if (i % 4 == 0) v = value(16383 + between(-20, 60), between(0, 63)); // where %g changes form
    if (i % 4 == 1) v = ext{static_cast<int64_t>(bits(between(50, 60)))} + ext{0.5}; // decimal ties
    if (i < 14) v = special[i / 2], v.se ^= static_cast<uint16_t>(i % 2 << 15);
    char soft[EXT_TEXT], nat[EXT_TEXT];
    int length = format_ext(soft, v);
    std::snprintf(nat, sizeof nat, "%.16Lg", native(v));
    t.add(std::strcmp(soft, nat) == 0 && length == static_cast<int>(std::strlen(nat)),
          std::string("text ") + soft + " for " + nat);
  }
  EXPECT_EQ(t.count, 0);
}

// The length from extended differences (coordinates with decimals), and a
// value's parts: any value, those of everyday coordinates, and overflowing
// and vanishing squares.
TEST(SoftExt, LengthsAndParts) {
  Tally t;
  for (int i = 0; i < 1000000; ++i) {
    ext dx = any_value(), dy = any_value();
    if (i % 2 == 0) { // differences of coordinates within +-10^6
      dx = value(16383 + between(-30, 20), between(0, 40));
      dy = value(16383 + between(-30, 20), between(0, 40));
    }
    if (i % 97 == 0) dy = ext{0, static_cast<uint16_t>(rng() & 0x8000)};
    long double x = native(dx), y = native(dy);
    if (std::isnan(x) || std::isnan(y) || std::isinf(x) || std::isinf(y)) continue;
    t.add(same(ext_length(dx, dy), std::sqrt(x * x + y * y)), "length " + hex(x) + ", " + hex(y));
    int64_t n = static_cast<int64_t>(bits(between(1, 63))) * (rng() & 1 ? 1 : -1);
    int64_t d = i % 3 ? static_cast<int64_t>(bits(between(1, 63))) | 1 : 1000000000;
    t.add(same(ext_ratio(n, d), static_cast<long double>(n) / static_cast<long double>(d)),
          "ratio " + std::to_string(n) + " / " + std::to_string(d));
    bool negative, native_negative;
    uint64_t significand, native_significand;
    int exponent, native_exponent;
    ext_split(dx, negative, significand, exponent);
    int e = 0;
    long double fraction = std::frexp(std::fabs(x), &e);
    native_negative = std::signbit(x);
    native_significand = static_cast<uint64_t>(std::ldexp(fraction, 64));
    native_exponent = e - 64;
    // Both stand for the same value; a subnormal's parts may differ in form.
    long double from_soft = std::ldexp(static_cast<long double>(significand), exponent);
    long double from_native =
        std::ldexp(static_cast<long double>(native_significand), native_exponent);
    t.add(negative == native_negative && from_soft == from_native && from_soft == std::fabs(x),
          "parts of " + hex(x));
  }
  EXPECT_EQ(t.count, 0);
}

// strtold with the overflow rule: the largest finite value and false.
bool native_from_decimal(const char *text, long double &v) {
  v = std::strtold(text, nullptr);
  if (!std::isinf(v)) return true;
  v = std::copysign(LDBL_MAX, v);
  return false;
}

std::string digits(int n) {
  std::string s;
  for (int i = 0; i < n; ++i) s += static_cast<char>('0' + rng() % 10);
  return s;
}

// The exact decimal text of the point halfway between v and the next value
// up, and of the points one unit of an extra digit above and below it.
void halfway(ext v, std::string out[3]) {
  int e = v.se & 0x7fff, q = (e ? e : 1) - 16383 - 64; // midpoint = (2 sig + 1) 2^q
  mpz_t m;
  mpz_init_set_ui(m, v.sig);
  mpz_mul_2exp(m, m, 1);
  mpz_add_ui(m, m, 1);
  if (q >= 0)
    mpz_mul_2exp(m, m, static_cast<mp_bitcnt_t>(q));
  else { // m 2^q = m 5^-q 10^q
    mpz_t five;
    mpz_init(five);
    mpz_ui_pow_ui(five, 5, static_cast<unsigned long>(-q));
    mpz_mul(m, m, five);
    mpz_clear(five);
  }
  std::string exponent = "e" + std::to_string(std::min(q, 0) - 1);
  char *text = mpz_get_str(nullptr, 10, m);
  out[0] = std::string(text) + "e" + std::to_string(std::min(q, 0));
  out[1] = std::string(text) + "1" + exponent;
  mpz_sub_ui(m, m, 1);
  void (*release)(void *, size_t);
  mp_get_memory_functions(nullptr, nullptr, &release);
  release(text, std::strlen(text) + 1);
  text = mpz_get_str(nullptr, 10, m);
  out[2] = std::string(text) + "9" + exponent;
  release(text, std::strlen(text) + 1);
  mpz_clear(m);
}

TEST(SoftExt, DecimalText) {
  Tally t;
  auto check = [&t](const std::string &text) {
    ext s{12345, 0};
    long double n;
    bool sok = ext_from_decimal(text.c_str(), s), nok = native_from_decimal(text.c_str(), n);
    t.add(same(s, n) && sok == nok, "reading " + text.substr(0, 80) + " gave " + hex(native(s)));
  };
  for (int i = 0; i < 1000000; ++i) {
    std::string text = rng() % 4 ? "" : rng() & 1 ? "-" : "+";
    text += digits(between(0, 25));
    bool no_digit = text.empty() || text.back() == '-' || text.back() == '+';
    if (rng() & 1 || no_digit) text += "." + digits(between(no_digit ? 1 : 0, 25));
    if (rng() & 1) text += (rng() & 1 ? "e" : "E") + std::to_string(between(-5000, 5000));
    if (i % 5 == 0) text = digits(between(30, 800)) + "e" + std::to_string(between(-5400, 4600));
    check(text);
  }
  std::string mid[3];
  for (int i = 0; i < 200000; ++i) { // halfway cases, exactly and just beside
    int e = i % 10 ? 16383 + between(-64, 64) : i % 100 ? between(1, 0x7ffd) : between(0, 2);
    if (e > 16383 + 2000 || (e < 16383 - 2000 && e > 2)) e = 16383 + (e % 4000) - 2000;
    ext v = value(e);
    v.se &= 0x7fff;
    halfway(v, mid);
    for (auto &text : mid) check(text);
  }
  ext max{~uint64_t{0}, 0x7ffe}, smallest{1, 0}, largest_subnormal{~uint64_t{0} >> 1, 0};
  for (ext v : {max, smallest, largest_subnormal, ext{0, 0}}) {
    halfway(v, mid);
    for (auto &text : mid) check(text), check("-" + text);
  }
  for (const char *text : {"0", "-0", "-0.0e10", "1e-5000", "-1e-5000", "1e5000", "-1e5000",
                           "1e999999999999999999999", "-1e-99999999999999999999", "0e9999999999",
                           "1.18973149535723176502e+4932", "1.18973149535723176508e+4932",
                           "3.64519953188247460253e-4951", "1.82259976594123730126e-4951",
                           "1.8225997659412373012e-4951", ".5", "5.", "000000000000000000001.5"})
    check(text);
  EXPECT_EQ(t.count, 0);
}

} // namespace
