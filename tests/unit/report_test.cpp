// The report's text and page for a person: causes before consequences, notes
// that name what a person would otherwise search for, and only the figures
// the instance has.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <regex>
#include <string>

#include "report/build.h"
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
  auto rep = std::make_unique<ReportRun>(page);
  judge(*rep, in, true);
  Files files{"i.txt", "s.txt", all};
  const fleetjudge::Report report = build_report(*rep, files);
  char *text = nullptr;
  size_t size = 0;
  std::FILE *out = open_memstream(&text, &size);
  if (!report.error)
    (page ? write_html : write_text)(report, files, out);
  else
    std::fprintf(out, "error: %s\n", report.error->c_str());
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
  // The instance given as the solution, and the solution as the instance:
  // the instance's own fault first, then the guess.
  for (const char *solution : {"1 4\n1 2\n", "Route #1: 1 2\nCost 4\n"}) {
    text = text_of(solution, instance);
    EXPECT_EQ(text, "error: the instance looks like a solution, and the solution like an "
                    "instance: are the two arguments swapped?\n");
  }
  text = text_of("a name\n", instance);
  EXPECT_EQ(text, "error: instance file i.txt: line 2: ends before the vehicle section; the "
                  "solution looks like an instance file: are the two arguments swapped?\n");
  // A route list's "Cost:" line is not a key line of an instance.
  text = text_of("x\n", "Route #1: 1 2\nCost: 4\n");
  EXPECT_EQ(text.find("swapped"), std::string::npos) << text;
  // A number that is not one, in the file and line where it stands.
  text = text_of(line_instance(2) + "3 3 x 1 0 9 0\n", "1 2\n");
  EXPECT_EQ(text, "error: instance file i.txt: line 10: x 1 0 9 0is not a proper number\n");
}

TEST(ReportText, CostsAsPeopleWriteThemAndLinesIgnoredAreQuoted) {
  for (const char *cost : {"Cost 2", "cost 2", "COST 2", "Cost: 2", "Cost : 2", "cost:2"}) {
    std::string text = text_of(line_instance(1), std::string("Route #1: 1\n") + cost + "\n");
    EXPECT_TRUE(has(text, "declared cost 2.00: matches the distance")) << cost << "\n" << text;
    EXPECT_FALSE(has(text, "ignored")) << text;
  }
  // Not a cost: each line quoted with its number, the first five; then a count.
  std::string text = text_of(line_instance(1), "Route #1: 1\nCosts 2\nCost2\nTotal: 2\r\n"
                                               "solved\tby hand\nx\ny\nz\n");
  EXPECT_TRUE(has(text, "line 2 ignored, neither a route nor a cost: \"Costs 2\"\n")) << text;
  EXPECT_TRUE(has(text, "line 4 ignored, neither a route nor a cost: \"Total: 2\"\n")) << text;
  EXPECT_TRUE(has(text, "line 5 ignored, neither a route nor a cost: \"solved?by hand\"\n"))
      << text;
  EXPECT_TRUE(has(text, "line 6 ignored")) << text;
  EXPECT_FALSE(has(text, "line 7 ignored")) << text;
  EXPECT_TRUE(has(text, "2 more lines ignored, neither a route nor a cost\n")) << text;
  EXPECT_FALSE(has(text, "declared cost")) << text;
}

TEST(ReportText, TheCauseIsNamedNotASymptom) {
  // A window that closes before it opens.
  std::string instance = line_instance(2);
  instance.replace(instance.find("2 2 0 1 0 3 0"), 13, "2 2 0 1 9 3 0");
  std::string text = text_of(instance, "1 2\n");
  EXPECT_TRUE(has(text, "note       customer 2's time window [9, 3] closes before it opens\n"))
      << text;
  // Numbers beyond 32 bits, as written: a node number, a customer number.
  text = text_of(line_instance(2) + "99999999999999999999 0 0 1 0 9 0\n", "1 2\n");
  EXPECT_EQ(text, "error: instance file i.txt: line 10: node number 99999999999999999999 out "
                  "of range 0 to 9999\n");
  text = text_of(line_instance(2), "Route #1: 1 2 -99999999999999999999\n");
  EXPECT_TRUE(has(text, "line 1: the customer number -99999999999999999999 lies beyond 32 bits"))
      << text;
  // A last line without its line feed, and no cost after it.
  EXPECT_TRUE(has(text_of(line_instance(2), "Route #1: 1\nRoute #2: 2"), "may be cut short"));
  EXPECT_FALSE(has(text_of(line_instance(2), "Route #1: 1\nRoute #2: 2\n"), "cut short"));
  EXPECT_FALSE(has(text_of(line_instance(2), "Route #1: 1\nRoute #2: 2\nCost 4"), "cut short"));
  // A solution of no routes on an instance the screening finds infeasible.
  instance = line_instance(2) + "3 500 0 1 0 3 0\n";
  text = text_of(instance, "0 0\n");
  EXPECT_TRUE(has(text, "the solution does not claim -1 routes; the screening found")) << text;
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

// The line of a text that begins with `start`.
std::string line_of(const std::string &text, const std::string &start) {
  size_t at = text.find("\n" + start);
  return at == std::string::npos ? "" : text.substr(at + 1, text.find('\n', at + 1) - at - 1);
}

TEST(ReportTime, AnInstanceWithoutTimeShowsLoadDistanceAndCapacity) {
  // Customer 3 left out: the page names it, and its window's end is no figure.
  std::string solution = "Route #1: 1 2\n";
  std::string text = text_of(capacitated(), solution);
  EXPECT_EQ(line_of(text, "route "), "route customers      load   distance") << text;
  for (const char *time : {"waiting", "service", "duration", "slack"})
    EXPECT_FALSE(has(text, time)) << time << "\n" << text;
  EXPECT_TRUE(has(text, "  distance            20.0000             20.0               20")) << text;

  std::string page = text_of(capacitated(), solution, false, true);
  EXPECT_TRUE(has(page, "<th>route</th><th>customers</th><th>load</th><th>distance</th>"
                        "<th>distance (truncated)</th><th>violations</th>"))
      << page;
  for (const char *time :
       {"waiting", "service", "duration", "slack", "Schedule", "window", "on time"})
    EXPECT_FALSE(has(page, time)) << time;
  // No window closes here: no end of one, and no margin to it, is a number.
  std::smatch huge;
  EXPECT_FALSE(std::regex_search(page, huge, std::regex("[0-9]{9}"))) << huge.str();
  EXPECT_TRUE(has(page, "route 1: 2 customers, load 7 of 10, distance 20.00")) << page;
  EXPECT_TRUE(has(page, "customer 2, route 1, stop 2 of 2: load 7 of 10, 10.00 travelled"));
  EXPECT_TRUE(has(page, "customer 3: not visited, demand 5"));
  EXPECT_TRUE(has(page, "light it up on the map, in the table"));
}

TEST(ReportTime, ServiceTimesKeepTheirColumnsAndTheSchedule) {
  std::string instance = capacitated("SERVICE_TIME : 2\n");
  std::string text = text_of(instance, "Route #1: 1 2\nRoute #2: 3\n");
  EXPECT_EQ(line_of(text, "route "), "route customers      load   distance   service   duration")
      << text;
  EXPECT_TRUE(has(text, "  service    6.0000\n")) << text;
  EXPECT_TRUE(has(text, "42.0000             42.0               42  travel and service: ")) << text;
  EXPECT_FALSE(has(text, "waiting") || has(text, "slack")) << text;

  std::string page = text_of(instance, "Route #1: 1 2\nRoute #2: 3\n", false, true);
  EXPECT_TRUE(has(page, "<th>distance</th><th>service</th><th>duration</th><th>distance "
                        "(truncated)</th><th>duration (truncated)</th><th>violations</th>"))
      << page;
  EXPECT_TRUE(has(page, "<h2>Schedule</h2>"));
  EXPECT_TRUE(has(page, "route 2: 1 customers, load 5 of 10, distance 16.00, duration 18.00"));
  for (const char *time : {"waiting", "slack", "window", "depot closes", "on time"})
    EXPECT_FALSE(has(page, time)) << time;
}

TEST(ReportTime, AnInstanceWithWindowsKeepsEveryTimeFigure) {
  std::string text = text_of(line_instance(2), "1 2\n");
  EXPECT_EQ(line_of(text, "route "), "route customers      load   distance   waiting   service   "
                                     "duration     slack")
      << text;
  std::string page = text_of(line_instance(2), "1 2\n", false, true);
  for (const char *time :
       {"<th>waiting</th><th>service</th><th>duration</th><th>slack</th>",
        "<td class=\"l\">waiting</td>", "time window (tick: its end)", "the depot closes",
        "route 1: 2 customers, load 2, duration 4.00, slack 1.00"})
    EXPECT_TRUE(has(page, time)) << time;
}

} // namespace
