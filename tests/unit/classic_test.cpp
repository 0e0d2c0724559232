// The classic capacitated sets in VRPLIB files: decimal coordinates, service
// times and route length limits, judged exactly in every convention.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>

#include <fleetjudge/fleetjudge.h>

#include "instance/decimal.h"
#include "report/build.h"
#include "report/report.h"

namespace {

using nlohmann::json;

fleetjudge::ReportResult report(const std::string &instance, const std::string &solution,
                                const char *convention = "exact") {
  fleetjudge::ReportOptions options;
  options.convention = convention;
  return fleetjudge::report(instance, solution, options);
}

// The depot at (0, 0), customer 1 at (1.5, 2) and customer 2 at (-1.5, -2),
// all exact in binary: the route "1 2" travels 2.5 + 5 + 2.5 = 10 in exact
// and truncated legs, 3 + 5 + 3 = 11 in rounded ones (2.5 rounds up).
std::string instance(const std::string &keys, const std::string &more = "") {
  return "NAME : line\nTYPE : CVRP\nDIMENSION : 3\nEDGE_WEIGHT_TYPE : EUC_2D\nCAPACITY : 10\n" +
         keys +
         "NODE_COORD_SECTION\n1 0.0 0.0\n2 1.5 2.00000\n3 -1.5 -2\n"
         "DEMAND_SECTION\n1 0\n2 1\n3 1\n" +
         more + "DEPOT_SECTION\n1\n-1\nEOF\n";
}
const char both[] = "Route #1: 1 2\n";

int too_long_count(const json &doc) {
  int n = 0;
  for (const json &v : doc["violations"]) n += v["kind"] == "route_too_long";
  return n;
}

// With a service time of 10 at each customer the route's length is 30 in
// exact and truncated legs, 31 in rounded ones: a limit at it passes, one a
// thousandth below it does not, each in its own convention.
TEST(Classic, ARouteAtItsLimitPassesAndOneAThousandthAboveDoesNot) {
  struct {
    const char *convention, *at, *below;
    double length;
  } cases[] = {{"exact", "30", "29.999", 30},
               {"truncated", "30.0", "29.999", 30},
               {"rounded", "31.00000", "30.999", 31}};
  for (const auto &c : cases) {
    std::string keys = "SERVICE_TIME : 10.0\nDISTANCE : ";
    fleetjudge::ReportResult at = report(instance(keys + c.at + "\n"), both, c.convention);
    json doc = json::parse(at.json);
    EXPECT_EQ(at.status, 0) << c.convention;
    EXPECT_EQ(too_long_count(doc), 0) << c.convention;

    fleetjudge::ReportResult above = report(instance(keys + c.below + "\n"), both, c.convention);
    doc = json::parse(above.json);
    EXPECT_EQ(above.status, 1) << c.convention;
    ASSERT_EQ(doc["violations"].size(), 1u) << c.convention;
    const json &v = doc["violations"][0];
    EXPECT_EQ(v["kind"], "route_too_long");
    EXPECT_EQ(v["route"], 1);
    EXPECT_EQ(v["node"], nullptr);
    EXPECT_EQ(v["length"], c.length) << c.convention;
    EXPECT_EQ(v["limit"], std::strtod(c.below, nullptr));
    EXPECT_NEAR(v["excess"].get<double>(), 0.001, 1e-9);
  }
  // Between the two: 30.5 holds 30 but not 31. Each convention's feasibility
  // is its own; the chosen one lists and decides the status.
  std::string between = instance("SERVICE_TIME : 10\nDISTANCE : 30.5\n");
  json doc = json::parse(report(between, both).json);
  EXPECT_EQ(doc["summary"]["feasible"], true);
  EXPECT_EQ(doc["summary"]["truncated"]["feasible"], true);
  EXPECT_EQ(doc["summary"]["rounded"]["feasible"], false);
  EXPECT_EQ(doc["routes"][0]["rounded"]["feasible"], false);
  EXPECT_EQ(doc["routes"][0]["rounded"]["length"], 31.0);
  EXPECT_EQ(too_long_count(doc), 0);
  EXPECT_EQ(report(between, both, "rounded").status, 1);
}

TEST(Classic, DistanceCountsServiceTimesAndVehiclesMaxDistanceTravelAlone) {
  json doc = json::parse(report(instance("SERVICE_TIME : 10\nDISTANCE : 25\n"), both).json);
  EXPECT_EQ(doc["instance"]["route_limit"],
            json({{"key", "DISTANCE"}, {"value", 25.0}, {"counts", "travel and service"}}));
  EXPECT_EQ(doc["routes"][0]["length"], 30.0); // 10 travelled, 2 x 10 served
  EXPECT_EQ(doc["violations"][0]["length"], 30.0);

  std::string travel = instance("SERVICE_TIME : 10\nVEHICLES_MAX_DISTANCE : 25\n");
  doc = json::parse(report(travel, both).json);
  EXPECT_EQ(doc["routes"][0]["length"], 10.0);
  EXPECT_EQ(doc["violations"].size(), 0u);
  doc = json::parse(report(instance("VEHICLES_MAX_DISTANCE : 9.999\n"), both).json);
  EXPECT_EQ(doc["violations"][0]["length"], 10.0);
  EXPECT_EQ(doc["violations"][0]["kind"], "route_too_long");

  // Without a limit the document has no lengths, as before.
  doc = json::parse(report(instance("SERVICE_TIME : 10\n"), both).json);
  EXPECT_FALSE(doc["instance"].contains("route_limit"));
  EXPECT_FALSE(doc["routes"][0].contains("length"));
}

// The section gives each node its own service time and wins over the key,
// with a note: 3 and 4 here, a length of 17.
TEST(Classic, ASectionOfServiceTimesWinsOverTheKeyWithANote) {
  std::string section = "SERVICE_TIME_SECTION\n1 0\n2 3\n3 4\n";
  json doc =
      json::parse(report(instance("SERVICE_TIME : 10.0\nDISTANCE : 17\n", section), both).json);
  EXPECT_EQ(doc["routes"][0]["service"], 7.0);
  EXPECT_EQ(doc["violations"].size(), 0u);
  ASSERT_EQ(doc["notes"].size(), 2u);
  EXPECT_EQ(doc["notes"][0], "the SERVICE_TIME_SECTION gives the service times; the key "
                             "SERVICE_TIME 10.0 is not used");
  EXPECT_EQ(too_long_count(json::parse(
                report(instance("SERVICE_TIME : 10\nDISTANCE : 16.999\n", section), both).json)),
            1);
  // Without the key, no note.
  doc = json::parse(report(instance("", section), both).json);
  EXPECT_EQ(doc["notes"].size(), 1u);
}

// Whole coordinates written with decimals are the same coordinates: every
// figure is the same.
TEST(Classic, WholeCoordinatesWrittenWithDecimalsGiveTheSameDocument) {
  std::string whole = "NAME : w\nTYPE : CVRP\nDIMENSION : 4\nCAPACITY : 10\n"
                      "EDGE_WEIGHT_TYPE : EUC_2D\nNODE_COORD_SECTION\n"
                      "1 17 -4\n2 3 4\n3 601 8\n4 0 8\n"
                      "DEMAND_SECTION\n1 0\n2 4\n3 3\n4 5\nEOF\n";
  std::string decimal = whole;
  for (auto [from, to] :
       {std::pair{"1 17 -4", "1 17.00000 -4.0"}, {"3 601 8", "3 601.000000000 8"}})
    decimal.replace(decimal.find(from), std::string(from).size(), to);
  for (const char *convention : {"exact", "truncated", "rounded"})
    EXPECT_EQ(report(decimal, "1 2\n3\n", convention).json,
              report(whole, "1 2\n3\n", convention).json)
        << convention;
}

// At the edge of the range, (-10^6, -10^6) to (10^6, 10^6) with nine
// decimals: the square of the length in billionths is 8 10^30, and the leg
// 2 10^6 sqrt(2) = 2828427.1247461900976...
TEST(Classic, LegsAtTheEdgeOfTheRangeAreExact) {
  std::string far = "NAME : far\nTYPE : CVRP\nDIMENSION : 2\nCAPACITY : 1\n"
                    "NODE_COORD_SECTION\n1 -1000000.000000000 -1000000\n"
                    "2 1000000 1000000.000000000\nDEMAND_SECTION\n1 0\n2 1\nEOF\n";
  json doc = json::parse(report(far, "Route #1: 1\n").json);
  ASSERT_EQ(doc["error"], nullptr);
  EXPECT_EQ(doc["summary"]["truncated"]["distance"], 5656854.2); // 2 x 2828427.1
  EXPECT_EQ(doc["summary"]["rounded"]["distance"], 5656854.0);   // 2 x 2828427
  EXPECT_NEAR(doc["summary"]["distance"].get<double>(), 5656854.2494923802, 1e-6);
}

TEST(Classic, NumbersThatCannotBeReadExactlyAreRefusedWithFileAndLine) {
  struct {
    std::string keys, coordinate, message;
  } cases[] = {
      {"", "1.2.3", "line 9: NODE_COORD_SECTION: the y \"1.2.3\" is not a number"},
      {"", "1e5", "line 9: NODE_COORD_SECTION: the y \"1e5\" is not a number"},
      {"", ".", "line 9: NODE_COORD_SECTION: the y \".\" is not a number"},
      {"", "12.", "line 9: NODE_COORD_SECTION: the y \"12.\" is not a number"},
      {"", "nan", "line 9: NODE_COORD_SECTION: the y \"nan\" is not a number"},
      {"", "inf", "line 9: NODE_COORD_SECTION: the y \"inf\" is not a number"},
      {"", "0x1p3", "line 9: NODE_COORD_SECTION: the y \"0x1p3\" is not a number"},
      {"", "-2.0123456789",
       "line 9: NODE_COORD_SECTION: the y \"-2.0123456789\" has more than 9 decimals"},
      {"", "-1000000.000000001",
       "line 9: NODE_COORD_SECTION: the y -1000000.000000001 of node 3 lies beyond +-1000000"},
      {"", "2000000", "line 9: NODE_COORD_SECTION: the y 2000000 of node 3 lies beyond"},
      {"DISTANCE : 1e5\n", "-2", "line 6: DISTANCE must be a number above 0, not \"1e5\""},
      {"DISTANCE : 0.000\n", "-2", "line 6: DISTANCE must be a number above 0"},
      {"VEHICLES_MAX_DISTANCE : 1.0000000001\n", "-2",
       "line 6: VEHICLES_MAX_DISTANCE 1.0000000001 has more than 9 decimals"},
      {"SERVICE_TIME : 2.5\n", "-2", "line 6: SERVICE_TIME 2.5 has a fraction"},
      {"SERVICE_TIME : inf\n", "-2", "line 6: SERVICE_TIME must be a whole number of 0 or more"},
      {"DISTANCE : 9\nVEHICLES_MAX_DISTANCE : 9\n", "-2",
       "line 7: DISTANCE and VEHICLES_MAX_DISTANCE both limit a route's length"},
      {"VEHICLES_MAX_DURATION : 9\n", "-2",
       "line 6: the key VEHICLES_MAX_DURATION limits the routes"},
  };
  for (const auto &c : cases) {
    std::string text = instance(c.keys);
    text.replace(text.find("-2\n"), 2, c.coordinate);
    fleetjudge::ReportResult r = report(text, both);
    json doc = json::parse(r.json);
    EXPECT_EQ(r.status, 2) << c.message;
    std::string error = doc["error"].is_string() ? doc["error"].get<std::string>() : "";
    EXPECT_EQ(error.rfind("instance file instance: " + c.message, 0), 0u) << error;
  }
  // At the edge, and with decimals only in another coordinate, all is read.
  for (const char *y : {"-1000000.000000000", "1000000", "-2.012345678"}) {
    std::string text = instance("");
    text.replace(text.find("-2\n"), 2, y);
    EXPECT_EQ(json::parse(report(text, both).json)["error"], nullptr) << y;
  }
}

// The sets that limit route lengths have no windows: with a
// TIME_WINDOW_SECTION the limit is refused where it stands.
TEST(Classic, DistanceWithTimeWindowsIsRefused) {
  std::string windows =
      instance("DISTANCE : 50\n", "TIME_WINDOW_SECTION\n1 0 100\n2 0 100\n3 0 100\n");
  windows.replace(windows.find("CVRP"), 4, "VRPTW");
  fleetjudge::ReportResult r = report(windows, both);
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(json::parse(r.json)["error"].get<std::string>().rfind(
                "instance file instance: line 6: DISTANCE with a TIME_WINDOW_SECTION", 0),
            0u);
  // VEHICLES_MAX_DISTANCE counts travel alone, and is read with windows.
  windows.replace(windows.find("DISTANCE"), 8, "VEHICLES_MAX_DISTANCE");
  EXPECT_EQ(report(windows, both).status, 0);
}

// The text and the page for a person: the limit beside the lengths, the
// route above it marked, the violation in words.
TEST(Classic, TheTextAndThePageShowTheLimitAndMarkTheRoute) {
  // A third customer at (0.3, 0.4): its route is 0.5 + 0.5 + 10 long.
  std::string text = instance("SERVICE_TIME : 10\nDISTANCE : 29.999\n");
  text.replace(text.find("DIMENSION : 3"), 13, "DIMENSION : 4");
  text.replace(text.find("DEMAND_SECTION"), 14, "4 0.3 0.4\nDEMAND_SECTION");
  text.replace(text.find("DEPOT_SECTION"), 13, "4 1\nDEPOT_SECTION");
  Inputs in;
  in.guess = true;
  use_memory(in.instance, "instance", "i.vrp", text);
  std::string routes = std::string(both) + "Route #2: 3\n";
  use_memory(in.solution, "solution", "s.sol", routes);
  auto rep = std::make_unique<ReportRun>(true);
  judge(*rep, in, true);
  ASSERT_EQ(rep->record.error, "");
  const fleetjudge::Report report = build_report(*rep, Files{"i.vrp", "s.sol"});
  auto written = [&](void (*write)(const fleetjudge::Report &, const Files &, std::FILE *)) {
    char *bytes = nullptr;
    size_t size = 0;
    std::FILE *out = open_memstream(&bytes, &size);
    write(report, Files{"i.vrp", "s.sol"}, out);
    std::fclose(out);
    std::string s(bytes, size);
    std::free(bytes);
    return s;
  };
  std::string page = written(write_text);
  for (const char *line :
       {"limit      a route's length at most 29.999 (DISTANCE), its travel and its customers' "
        "service times\n",
        "duration     length\n", "      30.00!\n", "      11.00\n",
        "  route_too_long             1\n    route 1: length 30.0000, above the limit 29.9990 by "
        "0.0010\n"})
    EXPECT_NE(page.find(line), std::string::npos) << line << page;
  page = written(write_html);
  for (const char *html :
       {"<th>length (limit 29.999)</th>", "<td class=\"late\">30.00</td>", "<td>11.00</td>",
        "<tr class=\"bad\" data-route=\"1\"", "<tr data-route=\"2\"",
        "route 1: length 30.0000, above the limit 29.9990 by 0.0010"})
    EXPECT_NE(page.find(html), std::string::npos) << html;
}

// A decimal's extended value is that of its text, correctly rounded.
TEST(Classic, ADecimalConvertsAsItsText) {
  uint64_t state = 20261207;
  for (int i = 0; i < 100000; ++i) {
    state = state * 6364136223846793005u + 1442695040888963407u;
    Decimal d{static_cast<int64_t>(state >> 14) * (state & 1 ? 1 : -1),
              static_cast<int>(state >> 8) % (MAX_DECIMALS + 1)};
    char text[40];
    std::snprintf(text, sizeof text, "%llde-%d", static_cast<long long>(d.digits), d.decimals);
    ext from_text;
    ext_from_decimal(text, from_text);
    ASSERT_TRUE(to_ext(d) == from_text) << text;
  }
}

// v against units / 10^decimals, with no rounding on either side.
TEST(Classic, AnExtendedValueComparesExactlyWithADecimal) {
  EXPECT_EQ(compare_with_decimal(ext(int64_t{5}), 5000000000, 9), 0);
  EXPECT_EQ(compare_with_decimal(ext(int64_t{5}), 5000000001, 9), -1);
  EXPECT_EQ(compare_with_decimal(ext(int64_t{5}), 4999999999, 9), 1);
  EXPECT_EQ(compare_with_decimal(ext(int64_t{-2}), -2, 0), 0);
  EXPECT_EQ(compare_with_decimal(ext(int64_t{-2}), -1, 0), -1);
  EXPECT_EQ(compare_with_decimal(ext(int64_t{-2}), -3, 0), 1);
  EXPECT_EQ(compare_with_decimal(ext(int64_t{0}), 0, 3), 0);
  EXPECT_EQ(compare_with_decimal(ext(int64_t{0}), -1, 9), 1);
  // The double nearest to 0.3 lies below it, that nearest to 0.1 above it;
  // so does -0.3 above -3/10.
  EXPECT_EQ(compare_with_decimal(ext(0.3), 3, 1), -1);
  EXPECT_EQ(compare_with_decimal(ext(0.1), 1, 1), 1);
  EXPECT_EQ(compare_with_decimal(ext(-0.3), -3, 1), 1);
  EXPECT_EQ(compare_with_decimal(ext(0.5), 500000000, 9), 0);
  // Far beyond and far below any limit.
  EXPECT_EQ(compare_with_decimal(ext(1e300), INT64_MAX, 0), 1);
  EXPECT_EQ(compare_with_decimal(ext(-1e300), INT64_MIN, 0), -1);
  EXPECT_EQ(compare_with_decimal(ext(1e-300), 1, 9), -1);
  EXPECT_EQ(compare_with_decimal(ext(1e-300), 0, 9), 1);
}

} // namespace
