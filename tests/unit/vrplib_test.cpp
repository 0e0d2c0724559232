// VRPLIB instances read by the report: every matrix layout gives the figures
// of the coordinates it was made from, the rules find what they find on any
// instance, and a file that cannot be read whole says where and why.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>

#include <fleetjudge/fleetjudge.h>

namespace {

using nlohmann::json;

fleetjudge::ReportResult report(const std::string &instance, const std::string &solution,
                                const char *convention = "exact") {
  fleetjudge::ReportOptions options;
  options.convention = convention;
  return fleetjudge::report(instance, solution, options);
}

// Four nodes whose distances are whole: the depot at (0, 0), customers at
// (3, 4), (6, 8) and (0, 8); legs 5, 10, 8 from the depot, 5, 5 and 6 between.
const char head[] = "NAME : small\r\nTYPE : CVRP\r\nDIMENSION : 4\r\nCAPACITY : 10\r\n";
const char coordinates[] = "EDGE_WEIGHT_TYPE : EUC_2D\nNODE_COORD_SECTION\t\t\n"
                           "1 0 0\n2 3 4\n3 6 8\n4 0 8\n";
const char demands[] = "DEMAND_SECTION\n1 0\n2 4\n3 3\n4 5\nDEPOT_SECTION\n 1\n -1\nEOF\n";
const int legs[4][4] = {{0, 5, 10, 8}, {5, 0, 5, 5}, {10, 5, 0, 6}, {8, 5, 6, 0}};

std::string explicit_instance(const std::string &layout) {
  std::string text = std::string(head) +
                     "EDGE_WEIGHT_TYPE : EXPLICIT\nEDGE_WEIGHT_FORMAT : " + layout +
                     "\nEDGE_WEIGHT_SECTION\n";
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) {
      bool kept = layout == "FULL_MATRIX" || (layout == "LOWER_ROW" && j < i) ||
                  (layout == "LOWER_DIAG_ROW" && j <= i) || (layout == "UPPER_ROW" && j > i) ||
                  (layout == "UPPER_DIAG_ROW" && j >= i);
      if (kept) text += std::to_string(legs[i][j]) + ".0 ";
    }
    text += "\n";
  }
  return text + demands;
}

TEST(Vrplib, AByteOrderMarkIsSkippedWithANote) {
  const std::string mark = "\xEF\xBB\xBF", instance = std::string(head) + coordinates + demands;
  fleetjudge::ReportOptions routes;
  routes.solution_format = "routes";
  for (const fleetjudge::ReportOptions &options : {fleetjudge::ReportOptions{}, routes}) {
    std::string solution = "Route #1: 1 2\nRoute #2: 3\nCost 36\n";
    json plain = json::parse(fleetjudge::report(instance, solution, options).json);
    fleetjudge::ReportResult marked = fleetjudge::report(mark + instance, mark + solution, options);
    json doc = json::parse(marked.json);
    EXPECT_EQ(marked.status, 0) << marked.json;
    EXPECT_EQ(doc["instance"]["format"], "vrplib");
    EXPECT_EQ(doc["summary"], plain["summary"]) << marked.json;
    EXPECT_EQ(doc["routes"].size(), 2u);
    std::string notes = doc["notes"].dump();
    EXPECT_NE(notes.find("the instance begins with a byte-order mark"), std::string::npos);
    EXPECT_NE(notes.find("the solution begins with a byte-order mark"), std::string::npos);
  }
}

TEST(Vrplib, EveryMatrixLayoutGivesTheFiguresOfItsCoordinates) {
  std::string solution = "Route #1: 1 2\nRoute #2: 3\nCost 36\n";
  fleetjudge::ReportResult euclidean = report(std::string(head) + coordinates + demands, solution);
  json doc = json::parse(euclidean.json);
  EXPECT_EQ(euclidean.status, 0);
  EXPECT_EQ(doc["instance"]["type"], "CVRP");
  EXPECT_EQ(doc["instance"]["vehicles"], nullptr);
  EXPECT_EQ(doc["summary"]["distance"], 36.0); // 5 + 5 + 10, then 8 + 8
  EXPECT_EQ(doc["summary"]["rounded"]["distance"], 36);
  EXPECT_EQ(doc["summary"]["declared_cost"]["matches"], "rounded");
  EXPECT_EQ(doc["routes"][0]["stops"][0]["due"], nullptr);
  for (const char *layout :
       {"FULL_MATRIX", "LOWER_ROW", "LOWER_DIAG_ROW", "UPPER_ROW", "UPPER_DIAG_ROW"}) {
    fleetjudge::ReportResult given = report(explicit_instance(layout), solution);
    EXPECT_EQ(given.json, euclidean.json) << layout;
  }
}

TEST(Vrplib, TheRulesHoldOnVrplibInstances) {
  std::string instance = std::string(head) + coordinates + demands;
  json doc = json::parse(report(instance, "1 2 3\n").json); // 12 above the capacity 10
  EXPECT_EQ(doc["violations"][0]["kind"], "capacity_exceeded");
  doc = json::parse(report(instance, "1 2\n").json);
  EXPECT_EQ(doc["violations"][0]["kind"], "not_visited");
  EXPECT_EQ(doc["violations"][0]["node"], 3);

  // With windows: customer 2, due 10, is reached at 10 alone, at 11 after
  // customer 1 and its service.
  std::string vrptw = "NAME : w\nTYPE : VRPTW\nDIMENSION : 4\nCAPACITY : 10\nVEHICLES : 2\n"
                      "SERVICE_TIME : 1\n" +
                      std::string(coordinates) +
                      "DEMAND_SECTION\n1 0\n2 4\n3 3\n4 5\n"
                      "TIME_WINDOW_SECTION\n1 0 100\n2 0 50\n3 0 10\n4 0 50\nEOF\n";
  fleetjudge::ReportResult late = report(vrptw, "1 2\n3\n");
  doc = json::parse(late.json);
  EXPECT_EQ(late.status, 1);
  EXPECT_EQ(doc["violations"][0]["kind"], "time_window_missed");
  EXPECT_EQ(doc["violations"][0]["node"], 2);
  EXPECT_EQ(report(vrptw, "1 2\n3\n", "rounded").status, 1);
  EXPECT_EQ(report(vrptw, "2 1\n3\n", "rounded").status, 0);
}

// A convention decides which stops are late: at 10.05 a customer due at 10
// is late in exact distances, in time when every leg is cut to one decimal
// (5.0 + 5.0) or rounded (5 + 5).
TEST(Vrplib, TheChosenConventionDecidesLatenessAndStatus) {
  std::string instance = "NAME : c\nTYPE : VRPTW\nDIMENSION : 3\nCAPACITY : 5\n"
                         "EDGE_WEIGHT_TYPE : EXPLICIT\nEDGE_WEIGHT_FORMAT : FULL_MATRIX\n"
                         "EDGE_WEIGHT_SECTION\n0 5.05 10\n5.05 0 5\n10 5 0\n"
                         "DEMAND_SECTION\n1 0\n2 1\n3 1\n"
                         "TIME_WINDOW_SECTION\n1 0 100\n2 0 100\n3 0 10\nEOF\n";
  EXPECT_EQ(report(instance, "1 2\n").status, 1);
  EXPECT_EQ(report(instance, "1 2\n", "rounded").status, 0);
  fleetjudge::ReportResult cut = report(instance, "1 2\n", "truncated");
  json doc = json::parse(cut.json);
  EXPECT_EQ(cut.status, 0);
  EXPECT_EQ(doc["summary"]["feasible"], false);
  EXPECT_EQ(doc["summary"]["truncated"]["feasible"], true);
  EXPECT_EQ(doc["summary"]["convention"], "truncated");
  EXPECT_EQ(doc["violations"].size(), 0u);
}

TEST(Vrplib, AFileThatCannotBeReadWholeSaysWhereAndWhy) {
  std::string good = std::string(head) + coordinates + demands;
  auto with = [&](const std::string &from, const std::string &to) {
    std::string text = good;
    size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return text.replace(at, from.size(), to);
  };
  struct {
    std::string instance, message;
  } cases[] = {
      {[&] {
         std::string late = with("DIMENSION : 4\r\n", "");
         return late.replace(late.find("DEMAND_SECTION"), 0, "DIMENSION : 4\n");
       }(),
       "line 5: DIMENSION must come before NODE_COORD_SECTION"},
      // Without DIMENSION the guess takes it for a Solomon file, and says how
      // to choose otherwise.
      {with("DIMENSION : 4\r\n", ""), "--instance-format=vrplib reads it as a VRPLIB file"},
      {with("EOF", "DIMENSION : 2\nEOF"), "line 19: DIMENSION appears twice"},
      {with("CAPACITY : 10\r\n", ""), "the file ends without CAPACITY"},
      {with("NODE_COORD_SECTION\t\t\n1 0 0\n2 3 4\n3 6 8\n4 0 8\n", ""),
       "EDGE_WEIGHT_TYPE EUC_2D without a NODE_COORD_SECTION"},
      {with("4 0 8\n", ""), "NODE_COORD_SECTION has 3 rows where DIMENSION 4 implies 4"},
      {with("4 0 8\n", "5 0 8\n"), "line 10: NODE_COORD_SECTION: node 5 is out of range 1 to 4"},
      {with("4 0 8\n", "3 0 8\n"), "node 3 appears twice, on lines 9 and 10"},
      {with("4 0 8\n", "4 0 8.5e0\n"),
       "line 10: NODE_COORD_SECTION: the y \"8.5e0\" is not a number"},
      {with("4 0 8\n", "4 0 x\n"), "the y \"x\" is not a number"},
      {with("2 4\n", "2 -4\n"), "node 2 has a negative demand"},
      {with(" 1\n -1", " 2\n -1"), "the depot must be node 1"},
      {with("EOF", "PRIZE_SECTION\n1 2\nEOF"), "the section PRIZE_SECTION is not read here"},
      {with("TYPE : CVRP", "TYPE : TSP"), "line 2: TYPE TSP is not read here: CVRP and VRPTW are"},
      // A variant is refused for its TYPE, before anything it holds otherwise.
      {with("TYPE : CVRP", "TYPE : PDPTW").replace(good.find("3 6 8"), 5, "3 6.5 8"),
       "line 2: TYPE PDPTW is not read here"},
      {with("EOF", "TIME_WINDOW_SECTION\n1 0 9\n2 0 9\n3 0 9\n4 0 9\nEOF"),
       "line 2: TYPE CVRP with a TIME_WINDOW_SECTION"},
      {with("CAPACITY : 10\r\n", "CAPACITY : 10\nVEHICLES_MAX_DURATION : 5\n"),
       "the key VEHICLES_MAX_DURATION"},
      {with("EUC_2D", "GEO"), "EDGE_WEIGHT_TYPE \"GEO\" is not read here"},
      // Coordinates for the map alone, beyond any whole coordinate.
      {with("EOF", "DISPLAY_DATA_SECTION\n1 0 0\n2 1e5000 4\n3 6 8\n4 0 8\nEOF"),
       "DISPLAY_DATA_SECTION: the x 1e5000 lies beyond 32 bits"},
  };
  for (const auto &c : cases) {
    fleetjudge::ReportResult r = report(c.instance, "1 2 3\n");
    json doc = json::parse(r.json);
    EXPECT_EQ(r.status, 2) << c.message;
    EXPECT_EQ(doc["summary"], nullptr) << c.message;
    std::string error = doc["error"].is_string() ? doc["error"].get<std::string>() : "";
    EXPECT_NE(error.find(c.message), std::string::npos) << error;
    EXPECT_EQ(error.rfind("instance file instance: ", 0), 0u) << error;
  }
  // Nor may a matrix change its layout once its entries are read.
  std::string relaid = explicit_instance("LOWER_ROW");
  relaid.insert(relaid.find("DEMAND_SECTION"), "EDGE_WEIGHT_FORMAT : FULL_MATRIX\n");
  EXPECT_EQ(json::parse(report(relaid, "1 2 3\n").json)["error"],
            "instance file instance: line 12: EDGE_WEIGHT_FORMAT appears twice");
  // A key that changes nothing is named in a note, and the run goes on.
  json doc =
      json::parse(report(with("CAPACITY : 10\r\n", "CAPACITY : 12\nNOTE : x\n"), "1 2 3\n").json);
  EXPECT_EQ(doc["notes"][0], "the key NOTE of the instance is not read");
  EXPECT_EQ(doc["violations"].size(), 0u);
}

} // namespace
