// The numeric policy of the checker, in one place.
//
// Every clock, distance and total is an x87 extended-precision value (64-bit
// significand). The verdicts on near-boundary solutions depend on that exact
// format, so the build refuses any platform whose long double is something else.
#pragma once

#include <limits>

using ext = long double;

static_assert(std::numeric_limits<ext>::digits == 64,
              "fleetjudge needs long double in the x87 80-bit format (64-bit significand); "
              "on this platform its verdicts would differ");

// The tolerance on the declared total: the double nearest to 0.02, widened.
// It is deliberately not 0.02L, the extended value nearest to 0.02.
constexpr ext epsilon = static_cast<ext>(0.02);

// Extended values are printed in general notation with 16 significant digits.
#define EXT "%.16Lg"
