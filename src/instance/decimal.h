// Decimal numbers as instance files write them ("29.63060", "-4", "200.00000"),
// held exactly: the digits as one integer and how many of them follow the
// point. No binary fraction stands in for a decimal anywhere.
#pragma once

#include <cstdint>
#include <string_view>

#include "../numeric.h"

// At most this many digits after the point.
constexpr int MAX_DECIMALS = 9;

// The value digits / 10^decimals.
struct Decimal {
  int64_t digits = 0;
  int decimals = 0;
};

// What a token holds: an optional sign, digits, and an optional point
// followed by 1 to MAX_DECIMALS digits. Exponents, hex, "nan" and "inf" are
// not numbers; neither is a whole part beyond the 32-bit range.
enum class DecimalForm { number, not_a_number, too_many_decimals };
DecimalForm read_decimal(std::string_view token, Decimal &out);

constexpr int64_t power_of_ten(int k) {
  int64_t p = 1;
  while (k-- > 0) p *= 10;
  return p;
}

// The value in units of 10^-decimals, for decimals >= its own: exact.
inline int64_t scaled_to(const Decimal &d, int decimals) {
  return d.digits * power_of_ten(decimals - d.decimals);
}

// Whether the value is a whole number: "10.0" is, "10.5" is not.
inline bool is_whole(const Decimal &d) { return d.digits % power_of_ten(d.decimals) == 0; }

// The nearest extended value, correctly rounded.
ext to_ext(const Decimal &d);

__extension__ typedef __int128 i128;

// -1, 0 or 1 as `v` is below, equal to or above units / 10^decimals
// (decimals 0 to MAX_DECIMALS), decided exactly, without rounding either side.
int compare_with_decimal(ext v, i128 units, int decimals);
