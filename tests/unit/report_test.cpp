// The report's text and page for a person: causes before consequences, and
// notes that name what a person would otherwise search for.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "report/report.h"

namespace {

// Customers on a line east of the depot, one unit apart, every window
// closing at its customer's distance plus one: a route in order is in time,
// the same route reversed is late from its first stop on.
std::string line_instance(int customers) {
  std::string text = "line\nVEHICLE\nt\n3 1000\nCUSTOMER\nt\n0 0 0 0 0 1000 0\n";
  for (int i = 1; i <= customers; ++i)
    text +=
        std::to_string(i) + " " + std::to_string(i) + " 0 1 0 " + std::to_string(i + 1) + " 0\n";
  return text;
}

// The text report, as `fleetjudge-report [--all]` writes it, or the page.
std::string text_of(const std::string &instance, const std::string &solution, bool all = false,
                    bool page = false) {
  Inputs in;
  in.guess = true;
  use_memory(in.instance, "instance", "i.txt", instance);
  use_memory(in.solution, "solution", "s.txt", solution);
  auto rep = std::make_unique<Report>(page);
  rep->all = all;
  judge(*rep, in, true);
  char *text = nullptr;
  size_t size = 0;
  std::FILE *out = open_memstream(&text, &size);
  if (rep->record.error.empty())
    (page ? write_html : write_text)(*rep, Files{"i.txt", "s.txt"}, out);
  else
    std::fprintf(out, "error: %s\n", rep->record.error.c_str());
  std::fclose(out);
  std::string result(text, size);
  std::free(text);
  return result;
}

bool has(const std::string &text, const std::string &part) {
  return text.find(part) != std::string::npos;
}

TEST(ReportText, TheFirstLateStopOfARouteComesFirstAndTheRestInOneLine) {
  // Route 1 reversed: 6 is reached at 6 (due 7), 5 at 7 (due 6) and late, and
  // every stop after it later still; route 2 is in time.
  std::string text = text_of(line_instance(8), "6 5 4 3 2 1\n7 8\n");
  EXPECT_TRUE(has(text, "    route 1, node 5: service starts at 7.00, due 6: 1.00 late (the "
                        "route's first late stop)\n"
                        "      and 4 later stops on this route, up to 9.00 late\n"))
      << text;
}

TEST(ReportText, ASecondVisitSaysWhereTheFirstWas) {
  std::string text = text_of(line_instance(4), "1 2\n3 4 2\n");
  EXPECT_TRUE(has(text, "route 2: customer 2, served before on route 1 at position 2")) << text;
}

TEST(ReportText, NotesNameTheLikelyCause) {
  // Routes written with the depot.
  std::string text = text_of(line_instance(2), "Route #1: 0 1 2 0\n");
  EXPECT_TRUE(has(text, "note       node 0 is the depot: a route lists customers only\n")) << text;
  // A declared total that is the distance (4), where the total is the duration.
  std::string instance = "s\nVEHICLE\nt\n3 1000\nCUSTOMER\nt\n0 0 0 0 0 1000 0\n1 1 0 1 0 100 3\n"
                         "2 2 0 1 0 100 3\n";
  text = text_of(instance, "1 4\n1 2\n");
  EXPECT_TRUE(has(text, "the declared total 4.00 is the distance, travel only; fleetjudge's total "
                        "is the duration: travel, waiting and service, 10.0000 here"))
      << text;
  // The instance given as the solution, and the solution as the instance.
  text = text_of("1 4\n1 2\n", instance);
  EXPECT_EQ(text, "error: the solution looks like an instance file: are the two arguments "
                  "swapped?\n");
  // A number that is not one, in the file and line where it stands.
  text = text_of(line_instance(2) + "3 3 x 1 0 9 0\n", "1 2\n");
  EXPECT_EQ(text, "error: instance file i.txt: line 10: x 1 0 9 0is not a proper number\n");
}

TEST(ReportText, AllListsEveryRouteAndViolation) {
  // 40 routes, each customer twice: more than the table and the list show.
  std::string solution;
  for (int i = 1; i <= 40; ++i)
    solution += "Route #" + std::to_string(i) + ": " + std::to_string((i + 1) / 2) + "\n";
  std::string cut = text_of(line_instance(20), solution);
  EXPECT_TRUE(has(cut, "(and 10 more routes; --all shows them)")) << cut;
  EXPECT_TRUE(has(cut, "    (and 10 more; --all lists them)")) << cut;
  std::string all = text_of(line_instance(20), solution, true);
  EXPECT_FALSE(has(all, "more")) << all;
  EXPECT_TRUE(has(all, "   40         1 ")) << all;
  EXPECT_TRUE(has(all, "route 40: customer 20, served before on route 39 at position 1")) << all;
}

// A capacitated VRPLIB instance: the depot at (0, 0), customers at (3, 4),
// (6, 8) and (0, 8) with demands 4, 3 and 5 of the capacity 10; `more` comes
// before the sections.
std::string capacitated(const std::string &more = "") {
  return "NAME : cap\nTYPE : CVRP\nDIMENSION : 4\nCAPACITY : 10\n" + more +
         "EDGE_WEIGHT_TYPE : EUC_2D\nNODE_COORD_SECTION\n1 0 0\n2 3 4\n3 6 8\n4 0 8\n"
         "DEMAND_SECTION\n1 0\n2 4\n3 3\n4 5\nDEPOT_SECTION\n1\n-1\nEOF\n";
}

TEST(ReportText, AMatrixIsNotEuclidean) {
  std::string instance = "NAME : m\nTYPE : CVRP\nDIMENSION : 3\nCAPACITY : 10\n"
                         "EDGE_WEIGHT_TYPE : EXPLICIT\nEDGE_WEIGHT_FORMAT : LOWER_ROW\n"
                         "EDGE_WEIGHT_SECTION\n7\n9 4\nDEMAND_SECTION\n1 0\n2 1\n3 1\nEOF\n";
  for (bool page : {false, true}) {
    std::string text = text_of(instance, "Route #1: 1 2\n", false, page);
    EXPECT_FALSE(has(text, "Euclidean")) << text;
    EXPECT_TRUE(has(text, "exact: the legs as the instance's matrix gives them")) << text;
  }
  EXPECT_TRUE(has(text_of(capacitated(), "Route #1: 1 2 3\n", false, true),
                  "exact: Euclidean distances in extended precision"));
}

} // namespace
