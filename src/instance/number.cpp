#include "number.h"

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>

// Whether an extraction may start, and then past the white space before it.
static bool begin_extraction(InputFile &file) {
  if (!file.eof && !file.fail && file.error == 0) {
    int c = peek_char(file);
    while (c != -1 && is_space(c)) {
      file.lines_read += c == '\n';
      take_char(file);
      c = peek_char(file);
    }
    file.line = file.lines_read + 1; // the number stands on the line after those passed
    if (c != -1) return true;
  }
  file.fail = true;
  return false;
}

void extract_int(InputFile &file, int32_t &value) {
  if (!begin_extraction(file)) return;
  int c = peek_char(file);
  bool negative = c == '-';
  if (c == '-' || c == '+') {
    take_char(file);
    c = peek_char(file);
  }
  // Every digit is taken, however many; a run of them that straddles two
  // reads adds up as one.
  uint64_t magnitude = 0;
  bool digits = false;
  while (is_digit(c)) {
    file.next = take_digits(file.next, file.end, magnitude);
    digits = true;
    c = peek_char(file);
  }
  if (!digits) {
    value = 0;
    file.fail = true;
  } else if (!clamp_to_int32(negative, magnitude, value)) {
    file.fail = true;
  }
}

// Significant digits kept of a decimal. A value half-way between two
// neighbouring long doubles (subnormals included) has at most about 11520
// significant digits, so digits beyond this many can only tip the rounding
// through whether any of them is non-zero: they are kept as one digit 1.
// That bounds memory for a number of any length and rounds as the whole
// text would.
constexpr int KEPT_DIGITS = 16384;
// Room for "-0.", the digits, the one standing for the rest, and "e-1000000".
constexpr int DECIMAL_TEXT = KEPT_DIGITS + 16;

// Takes a decimal at the cursor (after the white space) and writes it to
// `text` in the form "[-]0.DIGITSe[-]EXPONENT", or "0"/"-0" for a zero, the
// same value. Returns false when what was taken is no number.
static bool scan_decimal(InputFile &file, char (&text)[DECIMAL_TEXT]) {
  int c = peek_char(file);
  bool negative = c == '-';
  if (c == '-' || c == '+') {
    take_char(file);
    c = peek_char(file);
  }
  bool point = false, exponent = false, exponent_negative = false;
  bool mantissa_digits = false, exponent_digits = false, rest_non_zero = false;
  int kept = 0;
  // The value is 0.DIGITS times ten to the power of `scale` plus the exponent.
  int64_t scale = 0;
  // The exponent stops growing past this, far beyond any scale a file can
  // reach, so that the sum below neither overflows nor changes the outcome.
  constexpr int64_t exponent_limit = INT64_C(100000000000000000);
  int64_t exponent_value = 0;
  char *digits = text + (negative ? 3 : 2);
  while (c != -1) {
    if (is_digit(c)) {
      if (exponent) {
        exponent_digits = true;
        if (exponent_value < exponent_limit) exponent_value = exponent_value * 10 + (c - '0');
      } else {
        mantissa_digits = true;
        if (kept == 0 && c == '0') {
          if (point) --scale; // a leading zero behind the point
        } else {
          if (kept < KEPT_DIGITS)
            digits[kept++] = static_cast<char>(c);
          else if (c != '0')
            rest_non_zero = true;
          if (!point) ++scale;
        }
      }
    } else if (c == '.' && !point && !exponent) {
      point = true;
    } else if ((c == 'e' || c == 'E') && !exponent && mantissa_digits) {
      exponent = true;
      take_char(file);
      c = peek_char(file);
      if (c != '+' && c != '-') continue; // look at it again as a digit
      exponent_negative = c == '-';
    } else {
      break;
    }
    take_char(file);
    c = peek_char(file);
  }
  if (!mantissa_digits || exponent != exponent_digits) return false;

  char *out = text;
  if (negative) *out++ = '-';
  if (kept == 0) {
    *out++ = '0';
    *out = '\0';
    return true;
  }
  *out++ = '0';
  *out++ = '.';
  out += kept;
  if (rest_non_zero) *out++ = '1';
  // Beyond 10^6 in either direction every value overflows or is zero.
  int64_t power = scale + (exponent_negative ? -exponent_value : exponent_value);
  if (power > 1000000) power = 1000000;
  if (power < -1000000) power = -1000000;
  std::snprintf(out, static_cast<std::size_t>(text + DECIMAL_TEXT - out), "e%d",
                static_cast<int>(power));
  return true;
}

// The text of the decimal at the cursor, for the conversion to `value`; a
// text that is no number stores 0 and fails.
template <typename Number>
static bool decimal_text(InputFile &file, char (&text)[DECIMAL_TEXT], Number &value) {
  if (!begin_extraction(file)) return false;
  if (scan_decimal(file, text)) return true;
  value = 0;
  file.fail = true;
  return false;
}

void extract_double(InputFile &file, double &value) {
  char text[DECIMAL_TEXT];
  if (!decimal_text(file, text, value)) return;
  value = std::strtod(text, nullptr);
  if (std::isinf(value)) {
    value = std::copysign(DBL_MAX, value);
    file.fail = true;
  }
}

void extract_ext(InputFile &file, ext &value) {
  char text[DECIMAL_TEXT];
  if (!decimal_text(file, text, value)) return;
  if (!ext_from_decimal(text, value)) file.fail = true;
}
