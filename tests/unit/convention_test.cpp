// Which convention judges a solution: under auto, the one its declared cost
// matches, to the precision the cost is written with; and a run that decides
// at its end lists what a run told the convention from the start lists.
#include <gtest/gtest.h>

#include <iterator>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include <fleetjudge/fleetjudge.h>

namespace {

using nlohmann::json;

fleetjudge::ReportResult report(const std::string &instance, const std::string &solution,
                                const char *convention = "auto") {
  fleetjudge::ReportOptions options;
  options.convention = convention;
  return fleetjudge::report(instance, solution, options);
}

// A capacitated instance whose one customer lies `leg` from the depot both
// ways: its route's distance is 2 leg exactly, 2 leg cut to one decimal per
// arc when truncated, 2 nint(leg) when rounded.
std::string there_and_back(const std::string &leg) {
  return "NAME : one\nTYPE : CVRP\nDIMENSION : 2\nCAPACITY : 5\nEDGE_WEIGHT_TYPE : EXPLICIT\n"
         "EDGE_WEIGHT_FORMAT : FULL_MATRIX\nEDGE_WEIGHT_SECTION\n0 " +
         leg + "\n" + leg + " 0\nDEMAND_SECTION\n1 0\n2 1\nDEPOT_SECTION\n1\n-1\nEOF\n";
}

// A cost matches within half a unit of its last written digit, or 0.01 where
// that is less. Each leg's fraction is below one half and every figure is a
// binary fraction, so the truncated and rounded distances lie below the
// exact one, farther from the costs, which lie above it: the exact distance
// alone decides whether the cost is within its tolerance.
TEST(Convention, ACostMatchesToThePrecisionItIsWrittenWith) {
  struct {
    const char *cost, *leg; // the distance is twice the leg
    double tolerance;
    bool matches;
  } table[] = {
      {"1001", "500.28125", 0.5, true},   // 1000.5625: 0.4375 off
      {"1001", "500.21875", 0.5, false},  // 1000.4375: 0.5625 off
      {"1000.9", "500.4375", 0.05, true}, // 1000.875: 0.025 off
      {"1000.9", "500.421875", 0.05, false},
      {"1000.94", "500.466796875", 0.01, true}, // 1000.93359375: 0.0064 off, beyond half a digit
      {"1000.94", "500.4609375", 0.01, false},  // 1000.921875: 0.018 off
      {"1000.938", "500.466796875", 0.01, true},
      {"1000.938", "500.4609375", 0.01, false},
      {"1000.9375", "500.46484375", 0.01, true}, // 1000.9296875: 0.0078 off
      {"1000.9375", "500.4609375", 0.01, false},
      {"1.23457e+06", "617283.125", 5, true},  // 1234566.25: 3.75 off
      {"1.23457e+06", "617282.375", 5, false}, // 1234564.75: 5.25 off
      {"1.2E3", "575.25", 50, true},           // 1150.5: 49.5 off
      {"1.2E3", "574.375", 50, false},         // 1148.75: 51.25 off
      {"+1001.", "500.28125", 0.5, true},      // a point without decimals
      {"1.001e3", "500.4375", 0.5, true},      // 1000.875: the last digit is a unit
      {"10009e-1", "500.4375", 0.05, true},    // the last digit is a tenth
      {"100090e-2", "500.4375", 0.01, false},  // a hundredth: 0.025 is too far
  };
  for (const auto &row : table) {
    std::string solution = std::string("Route #1: 1\nCost ") + row.cost + "\n";
    fleetjudge::ReportResult r = report(there_and_back(row.leg), solution);
    json doc = json::parse(r.json);
    const json &cost = doc["summary"]["declared_cost"];
    EXPECT_EQ(cost["tolerance"], row.tolerance) << row.cost;
    EXPECT_EQ(cost["matches"].is_null(), !row.matches) << row.cost << " at 2 x " << row.leg;
    EXPECT_EQ(r.status, row.matches ? 0 : 1) << row.cost << " at 2 x " << row.leg;
    if (!row.matches) {
      EXPECT_EQ(doc["violations"][0]["kind"], "cost_mismatch") << row.cost;
      EXPECT_EQ(doc["violations"][0]["tolerance"], row.tolerance) << row.cost;
    }
  }
}

// Customers on a line east of the depot, one unit apart, each due at its
// distance plus one; a vehicle carries 3.
std::string line_instance(int customers) {
  std::string text = "line\nVEHICLE\nt\n10 3\nCUSTOMER\nt\n0 0 0 0 0 1000000 0\n";
  for (int i = 1; i <= customers; ++i)
    text +=
        std::to_string(i) + " " + std::to_string(i) + " 0 1 0 " + std::to_string(i + 1) + " 0\n";
  return text;
}
// Every customer twice, in routes of up to 10000 run backwards: late at
// every stop but a route's first, in every convention, over the capacity
// once a route, and the second time round visited twice: three violations
// a customer. The declared cost is the distance, whole in every convention.
std::string backwards_twice(int customers) {
  std::string text;
  int route = 0;
  long distance = 0;
  for (int pass = 0; pass < 2; ++pass)
    for (int last = customers; last >= 1; last -= 10000) {
      text += "Route #" + std::to_string(++route) + ":";
      distance += 2L * last;
      for (int i = last; i >= 1 && i > last - 10000; --i) text += " " + std::to_string(i);
      text += "\n";
    }
  return text + "Cost " + std::to_string(distance) + "\n";
}

// The document without what says how the convention was chosen.
json judged(const fleetjudge::ReportResult &r) {
  json doc = json::parse(r.json);
  doc.erase("notes");
  doc["summary"].erase("decision");
  return doc;
}

TEST(Convention, AutoListsWhatTheConventionItChoosesListsWhenAskedFor) {
  // Distances are whole, so the cost matches every convention and the
  // VRPTW's own decides: truncated. At each stop a repeated visit comes
  // first, then the capacity, then lateness.
  std::string instance = line_instance(5), solution = backwards_twice(5);
  const char *found_in_order[] = {
      "time_window_missed 1 4", "time_window_missed 1 3", "capacity_exceeded 1 2",
      "time_window_missed 1 2", "time_window_missed 1 1", "visited_twice 2 5",
      "visited_twice 2 4",      "time_window_missed 2 4", "visited_twice 2 3",
      "time_window_missed 2 3", "visited_twice 2 2",      "capacity_exceeded 2 2",
      "time_window_missed 2 2", "visited_twice 2 1",      "time_window_missed 2 1"};
  for (const char *convention : {"auto", "truncated", "exact"}) {
    json doc = json::parse(report(instance, solution, convention).json);
    std::vector<std::string> found;
    for (const json &v : doc["violations"])
      found.push_back(v["kind"].get<std::string>() + " " + v["route"].dump() + " " +
                      v["node"].dump());
    EXPECT_EQ(found, std::vector<std::string>(std::begin(found_in_order), std::end(found_in_order)))
        << convention;
  }

  // Beyond the violations kept: the first 100000 found, the rest counted.
  constexpr int customers = 34000;
  instance = line_instance(customers);
  solution = backwards_twice(customers);
  fleetjudge::ReportResult automatic = report(instance, solution);
  fleetjudge::ReportResult asked = report(instance, solution, "truncated");
  json doc = json::parse(automatic.json);
  ASSERT_EQ(doc["error"], nullptr);
  EXPECT_EQ(doc["summary"]["convention"], "truncated");
  EXPECT_EQ(doc["summary"]["decision"]["convention"], "truncated");
  EXPECT_EQ(doc["summary"]["decision"]["feasible"], false);
  EXPECT_EQ(doc["violations"].size(), 100000u);
  EXPECT_EQ(doc["violations_left_out"], 3 * customers - 100000);
  EXPECT_EQ(automatic.status, asked.status);
  EXPECT_TRUE(judged(automatic) == judged(asked));
}

// Late at 10.05 in exact distances, in time at 10.0 when every arc is cut
// to one decimal or rounded; the route's distance is 20.02 exact, 19.9
// truncated and 20 rounded.
const char late_exactly[] = "NAME : c\nTYPE : VRPTW\nDIMENSION : 3\nCAPACITY : 5\n"
                            "EDGE_WEIGHT_TYPE : EXPLICIT\nEDGE_WEIGHT_FORMAT : FULL_MATRIX\n"
                            "EDGE_WEIGHT_SECTION\n0 5.05 10\n5.05 0 5\n9.97 5 0\n"
                            "DEMAND_SECTION\n1 0\n2 1\n3 1\n"
                            "TIME_WINDOW_SECTION\n1 0 100\n2 0 100\n3 0 10\nEOF\n";

TEST(Convention, AutoTakesTheConventionTheCostMatchesElseExact) {
  struct {
    const char *solution, *options, *convention;
    int status;
    const char *reason;
  } table[] = {
      {"Route #1: 1 2\nCost 19.9\n", "auto", "truncated", 0,
       "the declared cost 19.9 is the distance with every arc cut to one decimal"},
      {"Route #1: 1 2\nCost 20.02\n", "auto", "exact", 1,
       "the declared cost 20.02 is the exact distance"},
      {"Route #1: 1 2\nCost 20.00\n", "auto", "rounded", 0,
       "the declared cost 20 is the distance with every arc rounded to the nearest integer"},
      {"Route #1: 1 2\nCost 21\n", "auto", "exact", 1, "the declared cost 21 matches no distance"},
      {"Route #1: 1 2\n", "auto", "exact", 1, "the solution declares no cost"},
      {"1 2\n", "auto", "exact", 1, "the solution declares no cost"},
      {"1 20.02\n1 2\n", "auto", "exact", 1,
       "the solution is in fleetjudge's format, which declares the exact duration"},
      {"Route #1: 1 2\nCost 19.9\n", "exact", "exact", 1, "asked for with --convention"},
      {"Route #1: 1 2\nCost 20.02\n", "rounded", "rounded", 0, "asked for with --convention"},
  };
  for (const auto &row : table) {
    fleetjudge::ReportResult r = report(late_exactly, row.solution, row.options);
    json doc = json::parse(r.json);
    const json &decision = doc["summary"]["decision"];
    EXPECT_EQ(decision["convention"], row.convention) << row.solution << row.options;
    EXPECT_EQ(doc["summary"]["convention"], row.convention) << row.solution;
    EXPECT_EQ(decision["reason"], row.reason) << row.solution;
    EXPECT_EQ(decision["feasible"], std::string(row.convention) != "exact") << row.solution;
    EXPECT_EQ(doc["summary"]["feasible"], false) << row.solution; // always the exact answer
    EXPECT_EQ(r.status, row.status) << row.solution << row.options;
    std::string note = std::string("the ") + row.convention + " convention decides: " + row.reason;
    bool noted = false;
    for (const json &n : doc["notes"]) noted |= n == note;
    EXPECT_EQ(noted, std::string(row.options) == "auto") << row.solution << row.options;
  }
}

} // namespace
