// The one integer scan behind every reader, each reader's own rule for a
// number beyond 32 bits, and the forms a VRPLIB line may take.
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <cstring>
#include <nlohmann/json.hpp>
#include <random>
#include <string>
#include <unistd.h>

#include <fleetjudge/fleetjudge.h>

#include "instance/digits.h"
#include "instance/number.h"
#include "instance/vrplib.h"
#include "run.h"

namespace {

using nlohmann::json;

TEST(Digits, AnIntegerIsASignAndDigitsHeldJustBeyond32Bits) {
  struct {
    const char *text;
    long length; // of the number; -1: none
    bool negative;
    uint64_t magnitude;
    int32_t clamped;
    bool in_range;
  } cases[] = {
      {"0", 1, false, 0, 0, true},
      {"+17x", 3, false, 17, 17, true},
      {"-0042 5", 5, true, 42, -42, true},
      {"2147483647", 10, false, INT32_MAX, INT32_MAX, true},
      {"2147483648", 10, false, 2147483648u, INT32_MAX, false},
      {"-2147483648", 11, true, 2147483648u, INT32_MIN, true},
      {"-2147483649", 11, true, BEYOND_32_BITS, INT32_MIN, false},
      {"99999999999999999999999999999", 29, false, BEYOND_32_BITS, INT32_MAX, false},
      {"00000000000000000000000000012", 29, false, 12, 12, true},
      {"-", -1, false, 0, 0, false},
      {"+-1", -1, false, 0, 0, false},
      {" 1", -1, false, 0, 0, false}, // white space is the reader's to pass
      {"", -1, false, 0, 0, false},
  };
  for (const auto &c : cases) {
    std::string text = c.text;
    ScannedInt at_nul = scan_integer(text.c_str(), AtNul{});
    ScannedInt bounded = scan_integer(text.data(), text.data() + text.size());
    for (const ScannedInt &n : {at_nul, bounded}) {
      if (c.length < 0) {
        EXPECT_EQ(n.end, nullptr) << c.text;
        continue;
      }
      ASSERT_NE(n.end, nullptr) << c.text;
      EXPECT_EQ(n.end - text.data(), c.length) << c.text;
      EXPECT_EQ(n.negative, c.negative) << c.text;
      EXPECT_EQ(n.magnitude, c.magnitude) << c.text;
      int32_t value = 12345;
      EXPECT_EQ(clamp_to_int32(n.negative, n.magnitude, value), c.in_range) << c.text;
      EXPECT_EQ(value, c.clamped) << c.text;
    }
  }
  // A bound ends the digits as the NUL does.
  const char *digits = "123456";
  ScannedInt cut = scan_integer(digits, digits + 3);
  EXPECT_EQ(cut.end, digits + 3);
  EXPECT_EQ(cut.magnitude, 123u);
  EXPECT_EQ(scan_integer(digits, digits).end, nullptr);
  const char *signed_digits = "-5";
  EXPECT_EQ(scan_integer(signed_digits, signed_digits).end, nullptr);
  EXPECT_EQ(scan_integer(signed_digits, signed_digits + 1).end, nullptr);
}

TEST(Digits, DigitsTakenInPiecesAddUpAsTakenAtOnce) {
  std::mt19937 random(7);
  for (int round = 0; round < 300; ++round) {
    std::string digits;
    for (int i = random() % 14 + 1; i > 0; --i) digits += static_cast<char>('0' + random() % 10);
    uint64_t whole = 0;
    take_digits(digits.data(), digits.data() + digits.size(), whole);
    for (size_t split = 0; split <= digits.size(); ++split) {
      uint64_t pieces = 0;
      const char *p = take_digits(digits.data(), digits.data() + split, pieces);
      p = take_digits(p, digits.data() + digits.size(), pieces);
      EXPECT_EQ(p, digits.data() + digits.size());
      EXPECT_EQ(pieces, whole) << digits << " split at " << split;
    }
  }
}

// The header numbers come from a file read in chunks of 128 KiB: a number
// that straddles two reads is read as one, with the stream's rule for the
// range.
TEST(Digits, AHeaderNumberAcrossTwoReadsIsOneNumber) {
  struct {
    const char *text;
    int32_t value;
    bool fail;
  } cases[] = {{"123456789", 123456789, false},
               {"-2147483648", INT32_MIN, false},
               {"2147483648", INT32_MAX, true},
               {"-00000000000000000000002147483649", INT32_MIN, true}};
  constexpr long CHUNK = 1 << 17;
  for (const auto &c : cases) {
    long length = static_cast<long>(std::strlen(c.text));
    for (long before = CHUNK - length; before <= CHUNK; ++before) {
      std::FILE *bytes = std::tmpfile();
      ASSERT_NE(bytes, nullptr);
      std::string text = std::string(static_cast<size_t>(before), ' ') + c.text + " 7\n";
      std::fwrite(text.data(), 1, text.size(), bytes);
      std::fflush(bytes);
      InputFile file;
      use_descriptor(file, "instance", "t", dup(fileno(bytes)), true);
      lseek(file.fd, 0, SEEK_SET);
      std::fclose(bytes);
      int32_t value = 0;
      extract_int(file, value);
      EXPECT_EQ(value, c.value) << c.text << " after " << before;
      EXPECT_EQ(file.fail, c.fail) << c.text << " after " << before;
      if (c.fail) continue;
      extract_int(file, value);
      EXPECT_EQ(value, 7) << c.text << " after " << before;
    }
  }
}

// Four nodes at whole coordinates, as the VRPLIB tests use them.
const char key_lines[] = "NAME : small\nTYPE : CVRP\nDIMENSION : 4\nCAPACITY : 10\n"
                         "EDGE_WEIGHT_TYPE : EUC_2D\n";
const char sections[] = "NODE_COORD_SECTION\n1 0 0\n2 3 4\n3 6 8\n4 0 8\n"
                        "DEMAND_SECTION\n1 0\n2 4\n3 3\n4 5\nDEPOT_SECTION\n1\n-1\nEOF\n";

std::string report_json(const std::string &instance, const std::string &solution = "1 2\n3\n") {
  return fleetjudge::report(instance, solution, fleetjudge::ReportOptions{}).json;
}
std::string error_of(const std::string &instance) {
  json doc = json::parse(report_json(instance));
  return doc["error"].is_string() ? doc["error"].get<std::string>() : "";
}
std::string replaced(std::string text, const std::string &from, const std::string &to) {
  size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

TEST(VrplibLines, EveryFormOfARowReadsAlike) {
  std::string plain = std::string(key_lines) + sections, expected = report_json(plain);
  ASSERT_EQ(json::parse(expected)["summary"]["feasible"], true) << expected;
  for (const char *row : {"3 6 8\r", "+3 +6 +8", "0003 06 8", "\t3\v6\f8  ", "3 6 8\r\r"}) {
    std::string instance = replaced(plain, "3 6 8", row);
    EXPECT_EQ(report_json(instance), expected) << '"' << row << '"';
  }
  // A token too many or too few is named, whatever the tokens are.
  for (const char *row : {"3 6 8 1", "3 6", "3 6 8 x", "3 6 8 -1.5"})
    EXPECT_NE(error_of(replaced(plain, "3 6 8", row))
                  .find("a row holds a node number and 2 values, this one "),
              std::string::npos)
        << row;
  // A NUL ends the line for the reader: what follows it is not read.
  std::string cut = replaced(plain, "4 5\n", std::string("4 5\0 junk\n", 10));
  ASSERT_EQ(cut.size(), plain.size() + 6);
  EXPECT_EQ(report_json(cut), expected);
}

// The readers differ beyond 32 bits: VRPLIB refuses such a number, and names
// a decimal a decimal only while its whole part is within reach.
TEST(VrplibLines, NumbersBeyond32BitsAreRefused) {
  std::string plain = std::string(key_lines) + sections;
  struct {
    const char *row, *message;
  } cases[] = {
      {"2 2147483648", "DEMAND_SECTION: the demand \"2147483648\" is not a number"},
      {"2 2147483647.5", "DEMAND_SECTION: the demand 2147483647.5 is a decimal"},
      {"2 2147483648.5", "DEMAND_SECTION: the demand 2147483648.5 is a decimal"},
      {"2 2147483649.5", "DEMAND_SECTION: the demand \"2147483649.5\" is not a number"},
      {"-2147483649 4", "DEMAND_SECTION: the node number \"-2147483649\" is not a number"},
      {"-2147483648 4", "DEMAND_SECTION: node -2147483648 is out of range 1 to 4"},
  };
  for (const auto &c : cases)
    EXPECT_NE(error_of(replaced(plain, "2 4\n", std::string(c.row) + "\n")).find(c.message),
              std::string::npos)
        << c.row << ": " << error_of(replaced(plain, "2 4\n", std::string(c.row) + "\n"));
  // A whole part beyond 32 bits is no number, whatever its decimals.
  EXPECT_NE(error_of(replaced(plain, "4 0 8", "4 0 2147483648.5")).find("the y \"2147483648.5\""),
            std::string::npos);
  EXPECT_NE(error_of(replaced(plain, "CAPACITY", "SERVICE_TIME : 99999999999.1234567890\nCAPACITY"))
                .find("SERVICE_TIME must be a whole number"),
            std::string::npos);
  EXPECT_NE(error_of(replaced(plain, "4 0 8", "4 0 9.1234567890")).find("more than 9 decimals"),
            std::string::npos);
  EXPECT_NE(error_of(replaced(plain, "DIMENSION : 4", "DIMENSION : 4294967300"))
                .find("DIMENSION must be a whole number above 0, not \"4294967300\""),
            std::string::npos);
}

TEST(VrplibLines, KeyLinesInEveryForm) {
  std::string plain = std::string(key_lines) + sections, expected = report_json(plain);
  for (const char *name : {"NAME:small", "NAME\t:  small  ", "  NAME: \"small\"", "NAME :small\r"})
    EXPECT_EQ(report_json(replaced(plain, "NAME : small", name)), expected) << name;
  // Digits make a key too, and a key line ends the section it stands in.
  json doc = json::parse(report_json(replaced(plain, "NAME : small", "NAME : small\n2 : 4")));
  EXPECT_EQ(doc["notes"][0], "the key 2 of the instance is not read") << doc.dump();
  EXPECT_NE(error_of(replaced(plain, "3 6 8", "3: 6 8")).find("NODE_COORD_SECTION has 2 rows"),
            std::string::npos);
  // Not a key: the colon must follow the key, blanks aside.
  EXPECT_NE(error_of(replaced(plain, "NAME : small", "NAME\r: small")).find("expected a key line"),
            std::string::npos);
}

TEST(VrplibLines, TheGuessReadsEachLineUpToItsNul) {
  using namespace std::string_literals;
  EXPECT_TRUE(looks_like_vrplib("DIMENSION : 4\n  NODE_COORD_SECTION\r\n"));
  EXPECT_TRUE(looks_like_vrplib("NODE_COORD_SECTION\0x\nDIMENSION: 4"s));
  EXPECT_FALSE(looks_like_vrplib("DIMENSION : 4\n\0NODE_COORD_SECTION\n"s));
  EXPECT_FALSE(looks_like_vrplib("DIM\0ENSION : 4\nNODE_COORD_SECTION\n"s));
  EXPECT_FALSE(looks_like_vrplib("DIMENSION : 4\nNODE_COORD\n"));
  EXPECT_TRUE(begins_with_key_line("\n\n NAME: x\n"));
  EXPECT_FALSE(begins_with_key_line("NAME\0: x\n"s));
  EXPECT_FALSE(begins_with_key_line("C101\nVEHICLE\n"));
}

// Customer numbers run from 1 to n: an instance without customers has none,
// so no line of numbers is a plain list for it.
TEST(RouteLists, TheGuessHoldsNumbersToTheCustomersThereAre) {
  for (int64_t n : {int64_t{-1}, int64_t{0}})
    EXPECT_EQ(guess_format("1 2\n3 4\n", n).format, SolutionFormat::fleetjudge) << n;
  EXPECT_EQ(guess_format("1 2\n3 4\n", 4).format, SolutionFormat::plain);
  EXPECT_EQ(guess_format("1 2\n3 5\n", 4).format, SolutionFormat::plain); // the first line decides
  EXPECT_EQ(guess_format("1 5\n3 4\n", 4).format, SolutionFormat::fleetjudge);
  EXPECT_EQ(guess_format("1\n3 2147483648\n", INT32_MAX).format, SolutionFormat::fleetjudge);
}

} // namespace
