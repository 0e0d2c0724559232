#include "decimal.h"

#include "digits.h"

namespace {

__extension__ typedef unsigned __int128 u128;

int bit_length(u128 v) {
  uint64_t high = static_cast<uint64_t>(v >> 64), low = static_cast<uint64_t>(v);
  return high ? 128 - __builtin_clzll(high) : low ? 64 - __builtin_clzll(low) : 0;
}

} // namespace

DecimalForm read_decimal(std::string_view t, Decimal &out) {
  const char *end = t.data() + t.size();
  ScannedInt whole_part = scan_integer(t.data(), end);
  // A whole part beyond 32 bits refuses the token, whatever follows it.
  if (whole_part.end == nullptr || whole_part.magnitude == BEYOND_32_BITS)
    return DecimalForm::not_a_number;
  bool negative = whole_part.negative;
  int64_t whole = static_cast<int64_t>(whole_part.magnitude);
  size_t i = static_cast<size_t>(whole_part.end - t.data());
  int64_t digits = whole;
  int decimals = 0;
  if (i < t.size() && t[i] == '.') {
    size_t first = ++i;
    for (; i < t.size() && is_digit(t[i]); ++i) {
      if (++decimals > MAX_DECIMALS) continue; // counted, to say how many
      digits = digits * 10 + (t[i] - '0');
    }
    if (i == first) return DecimalForm::not_a_number; // "12." has no fraction
  }
  if (i != t.size()) return DecimalForm::not_a_number;
  if (decimals > MAX_DECIMALS) return DecimalForm::too_many_decimals;
  int32_t clamped;
  if (!clamp_to_int32(negative, whole_part.magnitude, clamped)) return DecimalForm::not_a_number;
  out.digits = negative ? -digits : digits;
  out.decimals = decimals;
  return DecimalForm::number;
}

ext to_ext(const Decimal &d) { return ext_ratio(d.digits, power_of_ten(d.decimals)); }

int compare_with_decimal(ext v, i128 units, int decimals) {
  bool negative;
  uint64_t significand;
  int exponent;
  ext_split(v, negative, significand, exponent);
  // Signs first; then magnitudes, flipped for two negative sides.
  int v_sign = significand == 0 ? 0 : negative ? -1 : 1;
  int u_sign = units == 0 ? 0 : units < 0 ? -1 : 1;
  if (v_sign != u_sign) return v_sign < u_sign ? -1 : 1;
  if (v_sign == 0) return 0;
  u128 u = units < 0 ? 0 - static_cast<u128>(units) : static_cast<u128>(units);
  // |v| * 10^decimals against u: significand * 10^decimals * 2^exponent.
  u128 left = static_cast<u128>(significand) * static_cast<uint64_t>(power_of_ten(decimals));
  int order;
  if (exponent >= 0 && bit_length(left) + exponent > 127) {
    order = 1; // beyond any u
  } else if (exponent < 0 && bit_length(u) - exponent > 127) {
    order = -1; // u * 2^-exponent is beyond any left, which is below 2^94
  } else {
    if (exponent >= 0)
      left <<= exponent;
    else
      u <<= -exponent;
    order = left < u ? -1 : left > u ? 1 : 0;
  }
  return v_sign > 0 ? order : -order;
}
