// The library's entries on bytes in memory: what the programs give, run
// after run, and the report's reading of the files people have.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>

#include <fleetjudge/fleetjudge.h>

#include "solution/route_list.h"

namespace {

using nlohmann::json;

const char five[] = "five\n\nVEHICLE\nNUMBER CAPACITY\n  2 10\n\nCUSTOMER\ntitles\n\n"
                    "0 0 0 0 0 32 0\n1 3 4 4 0 50 1\n2 6 8 3 20 30 2\n"
                    "3 6 0 5 0 6 0\n4 0 -8 5 0 100 0\n";
// Customer 1 cannot be reached in its window: the instance is infeasible.
const char unreachable[] = "u\nVEHICLE\nt\n1 10\nCUSTOMER\nt\n0 0 0 0 0 100 0\n1 30 40 1 0 10 0\n";

json report(const std::string &instance, const std::string &solution, const char *format = "auto") {
  fleetjudge::ReportOptions options;
  options.solution_format = format;
  return json::parse(fleetjudge::report_json(instance, solution, options));
}

// Each run starts from nothing: a correct claim of infeasibility, then an
// empty solution, then a valid one, in either order.
TEST(Library, EveryRunStartsFresh) {
  struct Case {
    const char *instance, *solution;
    fleetjudge::Verdict expected;
  } cases[] = {
      {unreachable, "-1\n", {0, "customers unreachable in their time windows:1,\nOK\n"}},
      {five, "", {1, "found  no routes\n"}},
      {five, "2 3\n", {1, "found  no routes\n"}}, // a header cut short keeps no old total
      {five, "2 56\n1 2\n3 4\n", {0, "OK\n"}},
      {five, "2 56\n1 2\n3 4 1\n", {1, "customer 1 visited more than once \n"}},
  };
  for (int round = 0; round < 2; ++round)
    for (int i = 0; i < 5; ++i) {
      const Case &c = cases[round == 0 ? i : 4 - i];
      fleetjudge::Verdict v = fleetjudge::check(c.instance, c.solution);
      EXPECT_EQ(v.status, c.expected.status) << c.solution;
      EXPECT_EQ(v.output, c.expected.output) << c.solution;
    }
}

TEST(Library, MessagesNameTheFilesGiven) {
  EXPECT_EQ(fleetjudge::check("", "", "a.txt").output,
            "instance file a.txt: ends before the vehicle section\n");
  json doc = report(five, "two 56\n");
  EXPECT_TRUE(doc["instance"]["path"].is_null());
  EXPECT_EQ(doc["error"],
            "solution file solution: line 1: the declared route count is not a valid number");
  EXPECT_THROW(report(five, "", "csv"), std::invalid_argument);
}

// The format guess, on the first lines of the solutions people have, with an
// instance of 100 customers.
TEST(Library, FormatGuessReadsPlainListsAsPlain) {
  struct {
    const char *head;
    SolutionFormat format;
  } table[] = {
      {"2 21 73 41 56 4\n5 83 61\n", SolutionFormat::plain},
      {"Route #1: 5 7\n", SolutionFormat::routes},
      {"  Route 1: 5 7\n", SolutionFormat::routes},
      {"route #1 : 5 7\r\n", SolutionFormat::routes},
      {"-1\n", SolutionFormat::fleetjudge},
      {"", SolutionFormat::fleetjudge},
      {"\n \t\n", SolutionFormat::fleetjudge},
      {"two 56\n", SolutionFormat::fleetjudge},
      {"2 nan\n", SolutionFormat::fleetjudge},
      {"10 3500.25\n1 2\n", SolutionFormat::fleetjudge},
      {"10 3500\n1 2\n", SolutionFormat::fleetjudge},
      {"10\n3500.25\n1 2\n", SolutionFormat::fleetjudge},
      {"5 7\n3 9 2\n", SolutionFormat::plain},
      {"57\n\n3 9 2\n", SolutionFormat::plain},
      {"57\n3\n", SolutionFormat::fleetjudge},
      {"2 0\n", SolutionFormat::fleetjudge},
      {"Routes 1: 5\n", SolutionFormat::fleetjudge},
  };
  for (const auto &row : table)
    EXPECT_EQ(guess_format(row.head, 100).format, row.format) << '"' << row.head << '"';
}

// An instance of 30000 customers, its node lines in reverse order, so that
// the largest numbers come before the lines that allow them.
std::string large_instance(int customers, int extra_node = -1) {
  std::string text = "large\nVEHICLE\nt\n30000 1000000\nCUSTOMER\nt\n";
  if (extra_node >= 0) text += std::to_string(extra_node) + " 1 1 1 0 1000000 0\n";
  for (int i = customers; i >= 0; --i)
    text += std::to_string(i) + " " + std::to_string(i % 1000) + " " + std::to_string(i / 1000) +
            (i == 0 ? " 0 0 100000000 0\n" : " 1 0 100000000 1\n");
  return text;
}

TEST(Library, TheReportReadsInstancesBeyondTheCheckersTable) {
  constexpr int customers = 30000;
  std::string instance = large_instance(customers), solution;
  for (int i = 1; i <= customers; ++i) solution += std::to_string(i) + (i % 10 ? " " : "\n");
  json doc = report(instance, solution, "plain");
  EXPECT_EQ(doc["error"], nullptr);
  EXPECT_EQ(doc["instance"]["customers"], customers);
  EXPECT_EQ(doc["summary"]["customers_served"], customers);
  EXPECT_EQ(doc["summary"]["vehicles"], customers / 10);
  EXPECT_EQ(doc["violations"].size(), 0u);
  EXPECT_EQ(fleetjudge::check(instance, "1 1\n1\n").output,
            "node number 30000 out of range 0 to 9999\n");

  // A number beyond the lines, found only at the end of the file; the
  // checker's verdict stops at its own limit on the way.
  doc = report(large_instance(customers - 1, customers + 5), "1 1\n1\n", "fleetjudge");
  EXPECT_EQ(doc["error"],
            "instance file instance: line 7: node number 30005 out of range 0 to 30000");
  EXPECT_EQ(doc["verdict"]["message"], "node number 30005 out of range 0 to 9999\n");
}

// Solomon instances whose header lines vary as the checker reads them: any
// name line, blank lines before the titles, any title and column-title
// lines, colons and keywords included, and the header numbers on a line of
// their own or split. Every one is read by the report as the checker reads
// it. (A name or title line that holds both a DIMENSION key line and a
// section line would pass for a VRPLIB file: such a pair is left out.)
TEST(Library, SolomonHeadersThatVaryAreReadAsTheCheckerReadsThem) {
  const char *names[] = {
      "R101", "", "R101: a test", "NAME : R101", "DIMENSION : 5", "VEHICLE CUSTOMER", "C1_2_1"};
  const char *vehicle_titles[] = {"VEHICLE", "  Vehicles:", "VEHICLE : the fleet",
                                  "NODE_COORD_SECTION", "TYPE : VRPTW"};
  const char *column_titles[] = {"NUMBER     CAPACITY", "NUMBER: CAPACITY:", "K : Q", "",
                                 "DIMENSION : 5"};
  const char *numbers[] = {"  2         10\n", "2\n\n10\n", "\t2 10  \n"};
  const char *customer_titles[] = {"CUSTOMER", "Customers:", "CUSTOMER_SECTION", "CUST : x"};
  const char *blanks[] = {"", "\n", "\n\n"};
  const char nodes[] = "  0  0  0  0  0  32  0\n  1  3  4  4  0  50  1\n  2  6  8  3  20  30  2\n"
                       "  3  6  0  5  0  6  0\n  4  0  -8  5  0  100  0\n";
  uint32_t seed = 12345;
  auto pick = [&seed](size_t count) {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 16) % count;
  };
  int compared = 0;
  for (int i = 0; i < 400; ++i) {
    std::string lines[] = {names[pick(7)], vehicle_titles[pick(5)], column_titles[pick(5)],
                           customer_titles[pick(4)], column_titles[pick(5)]};
    std::string all = lines[0] + lines[1] + lines[2] + lines[3] + lines[4];
    if (all.find("DIMENSION") != std::string::npos && all.find("_SECTION") != std::string::npos)
      continue;
    std::string instance = lines[0] + "\n" + blanks[pick(3)] + lines[1] + "\n" + lines[2] + "\n" +
                           numbers[pick(3)] + blanks[pick(3)] + "\n" + lines[3] + "\n" + lines[4] +
                           "\n" + blanks[pick(3)] + nodes;
    std::string solution = pick(2) ? "2 56\n1 2\n3 4\n" : "2 56\n1 2\n4 3\n";
    fleetjudge::Verdict checker = fleetjudge::check(instance, solution);
    fleetjudge::ReportResult report = fleetjudge::report(instance, solution);
    json doc = json::parse(report.json);
    ASSERT_NE(report.status, 2) << instance << report.json;
    EXPECT_EQ(doc["instance"]["format"], "solomon") << instance;
    EXPECT_EQ(doc["verdict"]["message"], checker.output) << instance;
    EXPECT_EQ(doc["verdict"]["status"], checker.status) << instance;
    ++compared;
  }
  EXPECT_GT(compared, 300);
}

} // namespace
