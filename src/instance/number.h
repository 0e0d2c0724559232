// The header numbers (vehicle count and capacity, route count and total),
// taken straight from an input file wherever they stand: across blanks and
// line breaks, and only as far as the text still forms a number.
//
// The rules are those the checker has always applied, those of `>>` on a C++
// stream as libstdc++ implements it, kept here so that every build decides
// alike. An extraction after a failure or after the end of the file fails and
// reads nothing. Otherwise white space (space, tab, line feed, vertical tab,
// form feed, carriage return) is skipped; meeting the end of the file there
// fails. Then the longest run of characters that can still start a number is
// taken, even when it turns out not to be one:
//   integer  [+-] digits
//   decimal  [+-] digits [. digits] [(e|E) [+-] digits], where the exponent
//            may only follow a digit, and at least one digit is needed
//            before it and after it.
// So "0x10" reads 0 and leaves "x10"; "100e" and "1e+" are taken whole and
// fail; "nan" and "inf" fail without taking anything.
#pragma once

#include <cstdint>

#include "../numeric.h"
#include "scan.h"

// A 32-bit integer. Out of range it is clamped to the nearest bound and the
// extraction fails; a text that is not a number stores 0 and fails.
void extract_int(InputFile &file, int32_t &value);

// A double, correctly rounded. Too large a value stores the largest finite
// double with its sign and fails; too small a one is zero or subnormal, no
// failure; a text that is not a number stores 0 and fails.
void extract_double(InputFile &file, double &value);

// The same in extended precision, for the declared total: never through double.
void extract_ext(InputFile &file, ext &value);
