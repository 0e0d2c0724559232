// The operations that need correct rounding beyond addition: the square root
// and the decimal conversions, done by MPFR at the format's precision.
#include <cstdint>
#include <cstdio>         // before mpfr.h, which then declares its printf functions
#define MPFR_USE_INTMAX_T // the 64-bit significands go in and out as uintmax_t
#include <mpfr.h>

#include <string>

#include "soft_ext.h"

namespace {

__extension__ typedef unsigned __int128 u128; // GCC and Clang, every 64-bit target

constexpr int BIAS = 16383;

// One MPFR number at the format's precision, released at the end of its scope.
struct Number {
  mpfr_t v;
  explicit Number(mpfr_prec_t precision = 64) { mpfr_init2(v, precision); }
  ~Number() { mpfr_clear(v); }
  Number(const Number &) = delete;
  Number &operator=(const Number &) = delete;
};

// MPFR's exponents count a significand in [1/2, 1): the x87 range runs from
// the smallest subnormal 2^-16445 to just below 2^16384. mpfr_subnormalize
// then rounds below 2^-16382 to fewer bits, once, as the x87 unit does.
struct X87Range {
  mpfr_exp_t emin = mpfr_get_emin(), emax = mpfr_get_emax();
  X87Range() {
    mpfr_set_emin(-16444);
    mpfr_set_emax(16384);
  }
  ~X87Range() {
    mpfr_set_emin(emin);
    mpfr_set_emax(emax);
  }
};

// Exact for every finite value: 64 bits hold any significand.
void to_mpfr(mpfr_t out, ext v) {
  int e = v.se & 0x7fff;
  if (e == 0x7fff) {
    if (v.sig << 1) {
      mpfr_set_nan(out);
    } else {
      mpfr_set_inf(out, (v.se & 0x8000) ? -1 : 1);
    }
    return;
  }
  mpfr_set_uj(out, v.sig, MPFR_RNDN);
  mpfr_mul_2si(out, out, (e == 0 ? 1 : e) - BIAS - 63, MPFR_RNDN);
  if (v.se & 0x8000) mpfr_neg(out, out, MPFR_RNDN);
}

// For a value already rounded into the format (64 bits, x87 range).
ext from_mpfr(const mpfr_t in) {
  uint16_t sign = mpfr_signbit(in) ? 0x8000 : 0;
  if (mpfr_nan_p(in)) return {0xC000000000000000, 0xffff};
  if (mpfr_inf_p(in)) return {uint64_t{1} << 63, static_cast<uint16_t>(sign | 0x7fff)};
  if (mpfr_zero_p(in)) return {0, sign};
  Number scaled;
  mpfr_exp_t top = mpfr_get_exp(in); // in = 0.1... * 2^top
  mpfr_mul_2si(scaled.v, in, 64 - top, MPFR_RNDN);
  mpfr_abs(scaled.v, scaled.v, MPFR_RNDN);
  uint64_t sig = mpfr_get_uj(scaled.v, MPFR_RNDN); // exact: 64 bits with the leading one on top
  long e = top - 1 + BIAS;
  if (e < 1) { // subnormal: the bits below 2^-16445 are already zero
    sig >>= 1 - e;
    e = 0;
  }
  return {sig, static_cast<uint16_t>(sign | e)};
}

} // namespace

ext ext_hypot(int64_t dx, int64_t dy) {
  u128 x = dx < 0 ? 0 - static_cast<uint64_t>(dx) : static_cast<uint64_t>(dx);
  u128 y = dy < 0 ? 0 - static_cast<uint64_t>(dy) : static_cast<uint64_t>(dy);
  u128 sum = x * x + y * y; // exact below 2^65
  Number exact(128), low, rounded, root;
  mpfr_set_uj_2exp(exact.v, static_cast<uint64_t>(sum >> 64), 64, MPFR_RNDN);
  mpfr_set_uj(low.v, static_cast<uint64_t>(sum), MPFR_RNDN);
  mpfr_add(exact.v, exact.v, low.v, MPFR_RNDN);
  mpfr_set(rounded.v, exact.v, MPFR_RNDN); // the sum, rounded once
  mpfr_sqrt(root.v, rounded.v, MPFR_RNDN); // far inside the range: no subnormal, no overflow
  return from_mpfr(root.v);
}

ext ext_length(ext dx, ext dy) {
  Number x, y, x2, y2, sum, root;
  to_mpfr(x.v, dx);
  to_mpfr(y.v, dy);
  X87Range range;
  int inexact = mpfr_mul(x2.v, x.v, x.v, MPFR_RNDN);
  mpfr_subnormalize(x2.v, inexact, MPFR_RNDN);
  inexact = mpfr_mul(y2.v, y.v, y.v, MPFR_RNDN);
  mpfr_subnormalize(y2.v, inexact, MPFR_RNDN);
  inexact = mpfr_add(sum.v, x2.v, y2.v, MPFR_RNDN);
  mpfr_subnormalize(sum.v, inexact, MPFR_RNDN);
  inexact = mpfr_sqrt(root.v, sum.v, MPFR_RNDN);
  mpfr_subnormalize(root.v, inexact, MPFR_RNDN);
  return from_mpfr(root.v);
}

ext ext_ratio(int64_t n, int64_t d) {
  Number numerator, quotient;
  mpfr_set_sj(numerator.v, n, MPFR_RNDN); // exact: 64 bits hold it
  mpfr_div_si(quotient.v, numerator.v, static_cast<long>(d), MPFR_RNDN);
  return from_mpfr(quotient.v); // far inside the range for integers
}

int format_ext(char (&out)[EXT_TEXT], ext v) {
  // glibc writes a NaN's sign, MPFR does not.
  if ((v.se & 0x7fff) == 0x7fff && (v.sig << 1))
    return std::snprintf(out, EXT_TEXT, "%s", (v.se & 0x8000) ? "-nan" : "nan");
  Number value;
  to_mpfr(value.v, v);
  return mpfr_snprintf(out, EXT_TEXT, "%.16Rg", value.v);
}

bool ext_from_decimal(const char *text, ext &value) {
  Number parsed;
  {
    X87Range range;
    int inexact = mpfr_strtofr(parsed.v, text, nullptr, 10, MPFR_RNDN);
    mpfr_subnormalize(parsed.v, inexact, MPFR_RNDN);
  }
  if (mpfr_inf_p(parsed.v)) {
    value = {~uint64_t{0}, static_cast<uint16_t>((mpfr_signbit(parsed.v) ? 0x8000 : 0) | 0x7ffe)};
    return false;
  }
  value = from_mpfr(parsed.v);
  return true;
}
