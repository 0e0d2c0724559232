// The header numbers must be read exactly as `>>` on a stream reads them with
// libstdc++: value bit for bit, end-of-file and failed state, and where the
// reading stops. Every text below goes through the checker's extraction from
// a file and through `>>` on a std::istringstream. Built only with libstdc++.
#include <gtest/gtest.h>

#include <cfloat>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "instance/number.h"
#include "instance/scan.h"

namespace {

// What one extraction left behind; the value as raw bytes (a long double has
// 10 significant bytes, the rest is padding).
struct Outcome {
  unsigned char value[10] = {};
  bool eof = false, fail = false;
  long long position = 0;
  bool operator==(const Outcome &o) const {
    return std::memcmp(value, o.value, sizeof value) == 0 && eof == o.eof && fail == o.fail &&
           position == o.position;
  }
};

// The sequences fed: a double, a long double, and an integer followed by
// either, as the vehicle line and the solution's header are read.
enum Sequence { DOUBLE, EXT, INT_DOUBLE, INT_EXT, SEQUENCES };
const char *const sequence_names[] = {"double", "long double", "int, double", "int, long double"};

template <typename T> void keep(Outcome &out, const T &value) {
  std::memcpy(out.value, &value, std::min(sizeof value, sizeof out.value));
}

std::vector<Outcome> by_library(const std::string &text, Sequence sequence) {
  std::istringstream in(text);
  std::vector<Outcome> outcomes;
  auto record = [&](auto value) {
    Outcome out;
    keep(out, value);
    out.eof = in.eof();
    out.fail = in.fail();
    out.position = in.rdbuf()->pubseekoff(0, std::ios_base::cur, std::ios_base::in);
    outcomes.push_back(out);
  };
  int count = 12345;
  double capacity = -7.25;
  long double total = -7.25L;
  if (sequence == INT_DOUBLE || sequence == INT_EXT) in >> count, record(count);
  if (sequence == DOUBLE || sequence == INT_DOUBLE) in >> capacity, record(capacity);
  if (sequence == EXT || sequence == INT_EXT) in >> total, record(total);
  return outcomes;
}

std::vector<Outcome> by_checker(const std::string &text, Sequence sequence) {
  InputFile file;
  use_memory(file, "test", "test", text);
  std::vector<Outcome> outcomes;
  auto record = [&](auto value) {
    Outcome out;
    keep(out, value);
    out.eof = at_end(file);
    out.fail = file.fail;
    out.position = file.next != nullptr ? file.next - file.memory.data() : 0;
    outcomes.push_back(out);
  };
  int32_t count = 12345;
  double capacity = -7.25;
  ext total = -7.25L;
  if (sequence == INT_DOUBLE || sequence == INT_EXT) extract_int(file, count), record(count);
  if (sequence == DOUBLE || sequence == INT_DOUBLE)
    extract_double(file, capacity), record(capacity);
  if (sequence == EXT || sequence == INT_EXT) extract_ext(file, total), record(total);
  close_input(file);
  return outcomes;
}

// Random texts of one class each.
struct Texts {
  std::mt19937_64 random{20261206};
  std::size_t below(std::size_t n) { return random() % n; }
  bool chance(int percent) { return below(100) < static_cast<std::size_t>(percent); }
  char pick(const char *set) { return set[below(std::strlen(set))]; }
  std::string digits(std::size_t count) {
    std::string s;
    for (std::size_t i = 0; i < count; ++i) s += static_cast<char>('0' + below(10));
    return s;
  }
  std::string sign() { return chance(30) ? std::string(1, pick("+-")) : ""; }
  std::string blanks() {
    std::string s;
    for (std::size_t i = below(4); i > 0; --i) s += pick(" \t\n\v\f\r");
    return s;
  }
  std::string exponent() {
    std::string e(1, pick("eE"));
    if (chance(60)) e += pick("+-");
    return e + digits(below(5));
  }
  std::string mantissa() {
    std::string m = std::string(chance(20) ? below(4) : 0, '0') + digits(below(8));
    if (chance(50)) m += "." + digits(below(8));
    return m;
  }
  std::string special() {
    static const char *const words[] = {"nan",    "NaN", "inf", "INF", "infinity", "Infinity",
                                        "nan(1)", "in",  "na",  "i",   "n"};
    return sign() + words[below(sizeof words / sizeof *words)];
  }
  std::string next(int kind) {
    switch (kind) {
    case 0:
      return sign() + digits(1 + below(12)); // integers
    case 1:
      return sign() + digits(below(25)) + "." + digits(below(25)); // points
    case 2:
      return sign() + mantissa() + exponent(); // exponents, complete or not
    case 3: {                                  // hexadecimal
      std::string s = sign() + "0" + pick("xX") + digits(below(4)) + (chance(50) ? "a" : "F");
      return chance(40) ? s + pick("pP") + sign() + digits(below(3)) : s;
    }
    case 4:
      return special();
    case 5: // huge and tiny exponents
      return sign() + mantissa() + pick("eE") + sign() +
             std::to_string(chance(50) ? 250 + below(200) : 4900 + below(100)) +
             (chance(10) ? digits(15) : "");
    case 6: { // long digit strings, some beyond the digits kept
      std::size_t length = chance(97) ? 15 + below(60) : 16380 + below(10);
      std::string s = sign() + digits(length);
      if (chance(50)) s.insert(1 + below(s.size()), ".");
      return chance(30) ? s + exponent() : s;
    }
    case 7: { // anything from the characters that matter
      std::string s;
      for (std::size_t i = below(10); i > 0; --i) s += pick("0123456789+-.eExXpnaif \t\n\r,");
      return s;
    }
    default:
      return sign() + (chance(50) ? "0" : "") + "." + exponent(); // no mantissa digits
    }
  }
  static constexpr int KINDS = 9;
  // The text with blanks and line breaks around it, or cut short as a file
  // that ends inside the number.
  std::string around(const std::string &text) {
    std::string s = blanks() + text;
    if (chance(15)) return s.substr(0, below(s.size() + 1));
    return s + (chance(50) ? blanks() + (chance(50) ? "7 x\n" : "") : "");
  }
};

std::string shown(const std::string &text) {
  std::string s;
  for (char c : text.substr(0, 120))
    if (c >= ' ' && c <= '~')
      s += c;
    else {
      char code[8];
      std::snprintf(code, sizeof code, "\\x%02x", static_cast<unsigned char>(c));
      s += code;
    }
  return text.size() > 120 ? s + "... (" + std::to_string(text.size()) + " characters)" : s;
}

TEST(ExtractDiff, AgreesWithLibstdcxxOnEveryText) {
  Texts texts;
  // The spellings met in files, the ends of the ranges, and the point half-way
  // between 1 and the next long double above it, with a 1 beyond the digits
  // the scanner keeps (it rounds up) and without it (it rounds to even).
  std::string half = "1.0000000000000000000542101086242752217003726400434970855712890625";
  std::vector<std::string> fixed = {half + std::string(17000, '0') + "1", half + "000"};
  std::istringstream list(
      "100e 1e+ 1.5E-x 0x1p3 1e5000 -1e5000 1e-5000 nan inf infinity 0x10 - + . "
      "2147483648 -2147483648 -2147483649 99999999999999999999 1.18973149535723176502e+4932 "
      "1.18973149535723176508e+4932 1.7976931348623158e308 1.7976931348623159e308 "
      "4.9406564584124654e-324 2.4703282292062327e-324 3.6e-4951 1e-4951 -0 "
      "-0.0e-99999999999999999999999 0e99999999999999999999 1e99999999999999999999");
  for (std::string text; list >> text;) fixed.push_back(text);
  for (const char *text : {"", " ", "\n", "25.0 200"}) fixed.push_back(text);
  constexpr int TEXTS = 100000;
  int mismatches = 0, tried = 0;
  for (int i = 0; i < TEXTS + static_cast<int>(fixed.size()) && mismatches < 10; ++i) {
    std::string text =
        i < static_cast<int>(fixed.size()) ? fixed[i] : texts.around(texts.next(i % Texts::KINDS));
    ++tried;
    for (int s = 0; s < SEQUENCES; ++s) {
      auto sequence = static_cast<Sequence>(s);
      std::vector<Outcome> expected = by_library(text, sequence), got = by_checker(text, sequence);
      for (std::size_t k = 0; k < expected.size(); ++k)
        if (!(expected[k] == got[k])) {
          ++mismatches;
          ADD_FAILURE() << "text \"" << shown(text) << "\", " << sequence_names[s]
                        << ", extraction " << k + 1 << ": libstdc++ eof " << expected[k].eof
                        << " fail " << expected[k].fail << " position " << expected[k].position
                        << "; checker eof " << got[k].eof << " fail " << got[k].fail << " position "
                        << got[k].position
                        << (std::memcmp(expected[k].value, got[k].value, 10) ? ", values differ"
                                                                             : "");
          break;
        }
    }
  }
  EXPECT_EQ(mismatches, 0);
  EXPECT_GE(tried, 100000);
}

} // namespace
