// The batch's objective in-process: which objective a pair is compared by,
// when it has a gap to the best-known solution, how its vehicles compare,
// which run is an instance's best and which row a best-known file keeps, and
// where the column vehicles_vs_bks appears. Pickup and delivery pairs are
// small Li & Lim instances written here; the VRPTW ones a Solomon file.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "batch/aggregate.h"
#include "batch/objective.h"
#include "batch/row.h"
#include "batch/write.h"

namespace {

// Two requests from a depot at the origin: 1 picks up what 2 delivers, north
// of it; 3 what 4 delivers, east. Every window is wide open.
const char lilim_instance[] = "2\t10\t1\n"
                              "0\t0\t0\t0\t0\t1000\t0\t0\t0\n"
                              "1\t0\t10\t5\t0\t1000\t0\t0\t2\n"
                              "2\t0\t20\t-5\t0\t1000\t0\t1\t0\n"
                              "3\t10\t0\t3\t0\t1000\t0\t0\t4\n"
                              "4\t20\t0\t-3\t0\t1000\t0\t3\t0\n";
// One vehicle for both requests in turn (72.3607), two vehicles (80), one
// vehicle picking up both first (94.7871): by distance the second run beats
// the third, by vehicles the third the second.
const char one_vehicle[] = "Route 1: 1 2 3 4\n";
const char two_vehicles[] = "Route 1: 1 2\nRoute 2: 3 4\n";
const char one_vehicle_longer[] = "Route 1: 1 3 2 4\n";

// A Solomon instance of four customers, and three routes for them.
const char solomon_instance[] = "five\n\nVEHICLE\nNUMBER     CAPACITY\n  2         10\n\n"
                                "CUSTOMER\nCUST NO.  XCOORD.  YCOORD.  DEMAND  READY TIME  DUE "
                                "DATE  SERVICE TIME\n\n"
                                "  0  0  0  0  0  1000  0\n  1  3  4  4  0  1000  1\n"
                                "  2  6  8  3  0  1000  2\n  3  6  0  5  0  1000  0\n"
                                "  4  0  -8  5  0  1000  0\n";
const char solomon_solution[] = "Route 1: 1 2\nRoute 2: 3\nRoute 3: 4\n";

struct Folder {
  std::string path;
  Folder() {
    char name[] = "/tmp/fleetjudge-objective-XXXXXX";
    path = mkdtemp(name);
  }
  ~Folder() { std::system(("rm -rf '" + path + "'").c_str()); }
  std::string write(const std::string &name, const std::string &text) const {
    std::string file = path + "/" + name;
    std::ofstream(file) << text;
    return file;
  }
};

Pair pair_of(const std::string &name, const std::string &instance, const std::string &solution) {
  Pair p;
  p.name = name;
  p.key = lower(name);
  p.instance = p.instance_open = instance;
  p.solution = p.solution_open = solution;
  return p;
}

Bks bks(long long vehicles, double cost, bool has_vehicles = true) {
  Bks b;
  b.has_vehicles = has_vehicles;
  b.vehicles = vehicles;
  b.has_cost = true;
  b.cost = cost;
  return b;
}

Settings with_bks(Objective objective = Objective::automatic) {
  Settings s;
  s.bks = "bks.csv"; // only its presence counts here
  s.objective = objective;
  s.jobs = 1;
  return s;
}

// The summary's cell in the column named `name`.
const Value &cell(const Summary &s, size_t row, const std::string &name) {
  for (size_t k = 0; k < s.sheet.fields.size(); ++k)
    if (s.sheet.fields[k].name == name) return s.rows.at(row).at(k);
  ADD_FAILURE() << "no column " << name;
  static Value none;
  return none;
}

std::string bks_text(const std::vector<Pair> &pairs, const std::vector<Row> &rows,
                     Objective asked) {
  char *text = nullptr;
  size_t size = 0;
  std::FILE *out = open_memstream(&text, &size);
  write_bks(pairs, rows, asked, out);
  std::fclose(out);
  std::string result(text, size);
  std::free(text);
  return result;
}

} // namespace

TEST(BatchObjective, PickupAndDeliveryByVehiclesFirstEveryOtherProblemByDistance) {
  Objective o = Objective::automatic;
  EXPECT_TRUE(choose_objective("vehicles-first", o));
  EXPECT_EQ(o, Objective::vehicles_first);
  EXPECT_TRUE(choose_objective("distance", o));
  EXPECT_EQ(o, Objective::distance);
  for (const char *bad : {"", "auto", "vehicles_first", "Distance", "vehicles"})
    EXPECT_FALSE(choose_objective(bad, o)) << bad;
  EXPECT_EQ(objective_in_force(Objective::automatic, true), Objective::vehicles_first);
  EXPECT_EQ(objective_in_force(Objective::automatic, false), Objective::distance);
  EXPECT_EQ(objective_in_force(Objective::distance, true), Objective::distance);
  EXPECT_EQ(objective_in_force(Objective::vehicles_first, false), Objective::vehicles_first);
}

TEST(BatchObjective, UnderVehiclesFirstAGapOnlyForAsManyVehicles) {
  const Objective by_vehicles = Objective::vehicles_first, by_distance = Objective::distance;
  EXPECT_TRUE(gap_given(by_vehicles, 10, bks(10, 1000)));
  EXPECT_FALSE(gap_given(by_vehicles, 11, bks(10, 1000)));
  EXPECT_FALSE(gap_given(by_vehicles, 9, bks(10, 1000)));
  EXPECT_FALSE(gap_given(by_vehicles, 10, bks(10, 1000, false))); // vehicles unknown
  EXPECT_TRUE(gap_given(by_distance, 11, bks(10, 1000)));
  EXPECT_TRUE(gap_given(by_distance, 11, bks(10, 1000, false)));
  for (Objective o : {by_vehicles, by_distance}) {
    EXPECT_FALSE(gap_given(o, 10, bks(10, 0))); // no gap to a cost of 0
    Bks no_cost = bks(10, 1000);
    no_cost.has_cost = false;
    EXPECT_FALSE(gap_given(o, 10, no_cost));
  }
  EXPECT_STREQ(vehicles_versus(10, bks(10, 1)), "same");
  EXPECT_STREQ(vehicles_versus(11, bks(10, 1)), "more");
  EXPECT_STREQ(vehicles_versus(9, bks(10, 1)), "fewer");
  EXPECT_STREQ(vehicles_versus(9, bks(10, 1, false)), "");
}

TEST(BatchObjective, TheBestRunByEachObjective) {
  const Objective by_vehicles = Objective::vehicles_first, by_distance = Objective::distance;
  // 10 vehicles over 900 against 9 over 950: the objectives disagree.
  EXPECT_TRUE(better_run(by_distance, 10, 900, 9, 950));
  EXPECT_FALSE(better_run(by_distance, 9, 950, 10, 900));
  EXPECT_TRUE(better_run(by_vehicles, 9, 950, 10, 900));
  EXPECT_FALSE(better_run(by_vehicles, 10, 900, 9, 950));
  for (Objective o : {by_vehicles, by_distance}) {
    EXPECT_TRUE(better_run(o, 9, 900, 9, 950)) << "as many vehicles: the lower distance";
    EXPECT_TRUE(better_run(o, 9, 900, 10, 900)) << "as far: fewer vehicles";
    EXPECT_FALSE(better_run(o, 9, 900, 9, 900)) << "a tie keeps the first";
  }
}

TEST(BatchRows, APickupAndDeliveryPairHasAGapOnlyForAsManyVehicles) {
  Folder f;
  std::string instance = f.write("lc1.txt", lilim_instance);
  Pair one = pair_of("lc1", instance, f.write("one.sol", one_vehicle));
  Pair two = pair_of("lc1", instance, f.write("two.sol", two_vehicles));
  BksTable table{{"lc1", bks(1, 70)}};

  Row row = judge_pair(one, with_bks(), table);
  ASSERT_TRUE(row.judged) << row.cells[col_error];
  EXPECT_TRUE(row.pickup_delivery);
  EXPECT_EQ(row.vehicles, 1);
  EXPECT_EQ(row.cells[col_gap_percent], "3.3724"); // 72.3607 against 70
  EXPECT_EQ(row.cells[col_gap_convention], "exact");
  EXPECT_EQ(row.cells[col_vehicles_vs_bks], "same");

  row = judge_pair(two, with_bks(), table);
  ASSERT_TRUE(row.judged) << row.cells[col_error];
  EXPECT_FALSE(row.has_gap);
  EXPECT_EQ(row.cells[col_gap_percent], "");
  EXPECT_EQ(row.cells[col_gap_convention], "");
  EXPECT_EQ(row.cells[col_bks_vehicles], "1");
  EXPECT_EQ(row.cells[col_bks_cost], "70");
  EXPECT_EQ(row.cells[col_vehicles_vs_bks], "more");

  // Asked for the distance, the same pair has its gap.
  row = judge_pair(two, with_bks(Objective::distance), table);
  EXPECT_EQ(row.cells[col_gap_percent], "14.2857");
  EXPECT_EQ(row.cells[col_vehicles_vs_bks], "more");

  // A best-known row without vehicles: nothing to compare them with.
  row = judge_pair(one, with_bks(), BksTable{{"lc1", bks(0, 70, false)}});
  EXPECT_FALSE(row.has_gap);
  EXPECT_EQ(row.cells[col_vehicles_vs_bks], "");
}

TEST(BatchRows, AVrptwPairKeepsItsGapUnlessVehiclesFirstIsAsked) {
  Folder f;
  Pair p =
      pair_of("five", f.write("five.txt", solomon_instance), f.write("five.sol", solomon_solution));
  BksTable table{{"five", bks(2, 40)}};
  Row row = judge_pair(p, with_bks(), table);
  ASSERT_TRUE(row.judged) << row.cells[col_error];
  EXPECT_FALSE(row.pickup_delivery);
  EXPECT_EQ(row.vehicles, 3);
  EXPECT_TRUE(row.has_gap);
  EXPECT_NE(row.cells[col_gap_percent], "");
  row = judge_pair(p, with_bks(Objective::vehicles_first), table);
  EXPECT_FALSE(row.has_gap);
  EXPECT_EQ(row.cells[col_gap_percent], "");
  EXPECT_EQ(row.cells[col_vehicles_vs_bks], "more");
}

TEST(BatchRows, TheJsonLineHasTheMemberOnlyWithTheColumn) {
  Folder f;
  std::string instance = f.write("lc1.txt", lilim_instance);
  Pair p = pair_of("lc1", instance, f.write("two.sol", two_vehicles));
  BksTable table{{"lc1", bks(1, 70)}};
  Settings s = with_bks();
  s.format = OutputFormat::jsonl;
  Row row = judge_pair(p, s, table);
  EXPECT_EQ(row.json.find("vehicles_vs_bks"), std::string::npos);
  EXPECT_NE(row.json.find("\"gap_percent\":null"), std::string::npos) << row.json;
  s.vehicles_versus_column = true;
  row = judge_pair(p, s, table);
  std::string end = "\"gap_convention\":null,\"vehicles_vs_bks\":\"more\"}\n";
  ASSERT_GE(row.json.size(), end.size());
  EXPECT_EQ(row.json.substr(row.json.size() - end.size()), end);
}

TEST(BatchSheet, TheColumnOnlyWhereSomePairIsComparedByVehiclesFirst) {
  Folder f;
  std::string lilim = f.write("lc1.txt", lilim_instance);
  std::string solomon = f.write("five.txt", solomon_instance);
  std::string solution = f.write("any.sol", one_vehicle);
  std::vector<Pair> vrptw{pair_of("five", solomon, solution)};
  std::vector<Pair> mixed{pair_of("five", solomon, solution), pair_of("lc1", lilim, solution)};

  // Told from the files' first bytes, or from the options.
  EXPECT_FALSE(some_vehicles_first(Objective::automatic, InstanceChoice::automatic, vrptw));
  EXPECT_TRUE(some_vehicles_first(Objective::automatic, InstanceChoice::automatic, mixed));
  EXPECT_FALSE(some_vehicles_first(Objective::distance, InstanceChoice::automatic, mixed));
  EXPECT_TRUE(some_vehicles_first(Objective::vehicles_first, InstanceChoice::automatic, vrptw));
  EXPECT_TRUE(some_vehicles_first(Objective::automatic, InstanceChoice::lilim, vrptw));
  EXPECT_FALSE(some_vehicles_first(Objective::automatic, InstanceChoice::solomon, mixed));
  std::vector<Pair> unreadable{pair_of("gone", f.path + "/gone.txt", solution)};
  EXPECT_FALSE(some_vehicles_first(Objective::automatic, InstanceChoice::automatic, unreadable));

  PairList list;
  list.pairs = mixed;
  auto names = [](const Sheet &sheet) {
    std::string text;
    for (size_t k : sheet.chosen) text += sheet.fields[k].name + ",";
    return text;
  };
  for (OutputFormat format :
       {OutputFormat::csv, OutputFormat::table, OutputFormat::markdown, OutputFormat::latex}) {
    Settings s = with_bks();
    s.format = format;
    Sheet sheet;
    std::string problem;
    ASSERT_TRUE(pair_sheet(s, list, sheet, problem)) << problem;
    EXPECT_EQ(names(sheet).find("vehicles_vs_bks"), std::string::npos);
    s.vehicles_versus_column = true;
    ASSERT_TRUE(pair_sheet(s, list, sheet, problem)) << problem;
    std::string shown = names(sheet);
    size_t last_bks = format == OutputFormat::latex ? shown.find("gap_percent,vehicles_vs_bks,")
                                                    : shown.find("gap_convention,vehicles_vs_bks,");
    EXPECT_NE(last_bks, std::string::npos) << shown;
    // Without --bks it is not there at all.
    s.bks = nullptr;
    ASSERT_TRUE(pair_sheet(s, list, sheet, problem)) << problem;
    EXPECT_EQ(names(sheet).find("vehicles_vs_bks"), std::string::npos);
  }
  Settings s = with_bks();
  s.columns = {"name", "vehicles_vs_bks"};
  Sheet sheet;
  std::string problem;
  EXPECT_FALSE(pair_sheet(s, list, sheet, problem));
  EXPECT_NE(problem.find("no column vehicles_vs_bks"), std::string::npos) << problem;
  s.vehicles_versus_column = true;
  EXPECT_TRUE(pair_sheet(s, list, sheet, problem)) << problem;
}

TEST(BatchSummary, AnInstancesBestRunByItsObjective) {
  Folder f;
  std::string instance = f.write("lc1.txt", lilim_instance);
  std::vector<Pair> pairs{pair_of("lc1", instance, f.write("a.sol", one_vehicle_longer)),
                          pair_of("lc1", instance, f.write("b.sol", two_vehicles))};
  BksTable table{{"lc1", bks(1, 90)}};
  for (Objective asked : {Objective::automatic, Objective::distance}) {
    Settings s = with_bks(asked);
    s.per_instance = true;
    s.format = OutputFormat::csv;
    std::vector<Row> rows;
    for (const Pair &p : pairs) rows.push_back(judge_pair(p, s, table));
    ASSERT_TRUE(rows[0].judged && rows[1].judged) << rows[0].cells[col_error];
    ASSERT_TRUE(rows[0].feasible_in[0] && rows[1].feasible_in[0])
        << rows[0].cells[col_first_violation];
    Summary sum = summarize(pairs, rows, s, table);
    ASSERT_EQ(sum.rows.size(), 1u);
    bool by_vehicles = asked == Objective::automatic;
    EXPECT_EQ(cell(sum, 0, "best_vehicles").integer, by_vehicles ? 1 : 2);
    EXPECT_NEAR(cell(sum, 0, "best_distance").number, by_vehicles ? 94.7871 : 80, 1e-4);
    // The one-vehicle run has the only gap under vehicles first, 5.3190%;
    // by distance both have one.
    EXPECT_NEAR(cell(sum, 0, "best_gap_percent").number, by_vehicles ? 5.3190 : -11.1111, 1e-4);
    EXPECT_NEAR(cell(sum, 0, "mean_gap_percent").number, by_vehicles ? 5.3190 : -2.8960, 1e-4);
    EXPECT_NE(sum.sheet.caption.find(by_vehicles
                                         ? "fewest vehicles, lower distance breaking a tie"
                                         : "lowest distance, fewer vehicles breaking a tie"),
              std::string::npos)
        << sum.sheet.caption;
  }
}

TEST(BatchSummary, TheBestKnownRowByTheObjective) {
  // Two feasible runs of one instance whose declared costs match exactly.
  auto row = [](long long vehicles, double cost, bool pickup_delivery) {
    Row r;
    r.status = 0;
    r.judged = r.feasible = r.has_cost = true;
    r.feasible_in[0] = true;
    r.matches = 0;
    r.vehicles = vehicles;
    r.cost = cost;
    r.pickup_delivery = pickup_delivery;
    return r;
  };
  std::vector<Pair> pairs{pair_of("lr101", "i", "a"), pair_of("lr101", "i", "b")};
  std::string header = "instance,vehicles,cost,convention\r\n";
  std::vector<Row> requests{row(20, 1650.8, true), row(19, 1700.25, true)};
  EXPECT_EQ(bks_text(pairs, requests, Objective::automatic), header + "lr101,19,1700.25,exact\r\n");
  EXPECT_EQ(bks_text(pairs, requests, Objective::distance), header + "lr101,20,1650.8,exact\r\n");
  std::vector<Row> customers{row(20, 1650.8, false), row(19, 1700.25, false)};
  EXPECT_EQ(bks_text(pairs, customers, Objective::automatic), header + "lr101,20,1650.8,exact\r\n");
  EXPECT_EQ(bks_text(pairs, customers, Objective::vehicles_first),
            header + "lr101,19,1700.25,exact\r\n");
}
