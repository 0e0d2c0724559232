// Pickup and delivery: each request served by one vehicle, the pickup first;
// the load rising and falling on the way; windows met with equality; the
// published solution format with its header.
#include <gtest/gtest.h>

#include <algorithm>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include <fleetjudge/fleetjudge.h>

namespace {

using fleetjudge::Report;

// Two requests on a line each, capacity 10: 1 (load 5) to 2, 3 (load 7) to
// 4. Legs of 10 along an axis, 10 to serve each task.
const char two_requests[] = "2\t10\t1\n"
                            "0\t0\t0\t0\t0\t1000\t0\t0\t0\n"
                            "1\t10\t0\t5\t0\t100\t10\t0\t2\n"
                            "2\t20\t0\t-5\t0\t200\t10\t1\t0\n"
                            "3\t0\t10\t7\t0\t100\t10\t0\t4\n"
                            "4\t0\t20\t-7\t0\t300\t10\t3\t0\n";

fleetjudge::Instance instance(const std::string &text = two_requests) {
  return fleetjudge::Instance::read(text, {"lilim"}, "lr0.txt");
}

std::vector<std::string> kinds(const Report &r) {
  std::vector<std::string> found;
  for (const fleetjudge::Violation &v : r.violations) found.push_back(v.kind);
  std::sort(found.begin(), found.end());
  return found;
}

const fleetjudge::Violation &only(const Report &r, const std::string &kind) {
  auto at = std::find_if(r.violations.begin(), r.violations.end(),
                         [&](const fleetjudge::Violation &v) { return v.kind == kind; });
  EXPECT_NE(at, r.violations.end()) << kind;
  return *at;
}

TEST(Requests, EachRequestOnOneRouteThePickupFirst) {
  fleetjudge::Instance lr = instance();
  EXPECT_STREQ(lr.type(), "PDPTW");
  EXPECT_STREQ(lr.format(), "lilim");
  EXPECT_EQ(lr.name(), "lr0");
  EXPECT_EQ(lr.node(3).pair, 4);
  EXPECT_TRUE(lr.node(3).pickup);
  EXPECT_EQ(lr.node(4).pair, 3);
  EXPECT_FALSE(lr.node(4).pickup);
  EXPECT_EQ(lr.node(0).pair, 0);

  Report good = fleetjudge::judge(lr, {{1, 2}, {3, 4}});
  EXPECT_EQ(good.status, 0);
  EXPECT_DOUBLE_EQ(good.summary->distance, 80);

  // The delivery first, a pair over two routes, and one route too many.
  Report bad = fleetjudge::judge(lr, {{2, 1}, {3}, {4}});
  EXPECT_EQ(bad.status, 1);
  EXPECT_EQ(kinds(bad), (std::vector<std::string>{"delivery_before_pickup", "pair_split",
                                                  "too_many_vehicles"}));
  const fleetjudge::Violation &early = only(bad, "delivery_before_pickup");
  EXPECT_EQ(early.node, 2);
  EXPECT_EQ(early.route, 1);
  EXPECT_EQ(early.position, 1);
  EXPECT_EQ(early.figure("pickup"), 1);
  EXPECT_EQ(early.figure("pickup_position"), 2);
  const fleetjudge::Violation &split = only(bad, "pair_split");
  EXPECT_EQ(split.node, 3);
  EXPECT_EQ(split.route, 2);
  EXPECT_EQ(split.figure("delivery"), 4);
  EXPECT_EQ(split.figure("delivery_route"), 3);
  EXPECT_FALSE(bad.routes[0].feasible);
  EXPECT_FALSE(bad.routes[1].feasible);

  // Half a request served: the missing task is not visited, and the one
  // served names its partner; either half, wherever it stands.
  for (const fleetjudge::Route &served : {fleetjudge::Route{1}, fleetjudge::Route{2}}) {
    Report half = fleetjudge::judge(lr, {served, {3, 4}});
    EXPECT_EQ(kinds(half), (std::vector<std::string>{"not_visited", "partner_missing"}));
    const fleetjudge::Violation &missing = only(half, "partner_missing");
    EXPECT_EQ(missing.node, served[0]);
    EXPECT_EQ(missing.route, 1);
    EXPECT_EQ(missing.figure("partner"), 3 - served[0]);
    EXPECT_EQ(only(half, "not_visited").node, 3 - served[0]);
  }

  // A task served twice is judged where it was served first.
  Report twice = fleetjudge::judge(lr, {{1, 2}, {3, 4, 1}});
  EXPECT_EQ(kinds(twice), std::vector<std::string>{"visited_twice"});
}

TEST(Requests, TheLoadRisesAtPickupsAndFallsAtDeliveries) {
  fleetjudge::Instance lr = instance();
  // One after the other: never more than 7 on board.
  Report in_turn = fleetjudge::judge(lr, {{1, 2, 3, 4}});
  EXPECT_EQ(in_turn.status, 0);
  EXPECT_DOUBLE_EQ(in_turn.routes[0].load, 7); // the most on board at once
  std::vector<double> loads, pairs;
  for (const fleetjudge::Stop &s : in_turn.stops) {
    loads.push_back(s.load);
    pairs.push_back(s.pair);
  }
  EXPECT_EQ(loads, (std::vector<double>{5, 0, 7, 0}));
  EXPECT_EQ(pairs, (std::vector<double>{2, 1, 4, 3}));
  EXPECT_TRUE(in_turn.stops[0].pickup);
  EXPECT_FALSE(in_turn.stops[1].pickup);

  // Both on board at once: 12 of 10, where the second pickup is served.
  Report together = fleetjudge::judge(lr, {{1, 3, 2, 4}});
  EXPECT_EQ(kinds(together), std::vector<std::string>{"capacity_exceeded"});
  const fleetjudge::Violation &over = only(together, "capacity_exceeded");
  EXPECT_EQ(over.node, 3);
  EXPECT_EQ(over.position, 2);
  EXPECT_EQ(over.figure("load"), 12);
}

// A pickup 5 from the depot due at `due`, its delivery 5 further due at 10,
// the depot closing at `closing`: served at once, service starts at 5 and
// 10, and the vehicle is back at 20.
std::string at_the_bounds(int due, int closing) {
  return "1 10 0\n0 0 0 0 0 " + std::to_string(closing) +
         " 0 0 0\n"
         "1 3 4 1 0 " +
         std::to_string(due) +
         " 0 0 2\n"
         "2 6 8 -1 0 10 0 1 0\n";
}

TEST(Requests, WindowsAndTheDepotAreMetWithEquality) {
  EXPECT_EQ(fleetjudge::judge(instance(at_the_bounds(5, 20)), {{1, 2}}).status, 0);
  Report late = fleetjudge::judge(instance(at_the_bounds(4, 20)), {{1, 2}});
  // The screening sees the pickup out of reach too.
  EXPECT_EQ(kinds(late), (std::vector<std::string>{"time_window_missed", "unreachable_customer"}));
  EXPECT_EQ(only(late, "time_window_missed").figure("lateness"), 1);
  Report closed = fleetjudge::judge(instance(at_the_bounds(5, 19)), {{1, 2}});
  EXPECT_EQ(kinds(closed), (std::vector<std::string>{"cannot_return", "depot_closed"}));
  // Every convention sees the same whole legs.
  for (const char *convention : {"exact", "truncated", "rounded"}) {
    fleetjudge::ReportOptions options;
    options.convention = convention;
    EXPECT_FALSE(fleetjudge::judge(instance(at_the_bounds(4, 20)), {{1, 2}}, options)
                     .summary->decision.feasible)
        << convention;
  }
}

TEST(Requests, ThePublishedFormatInEverySpelling) {
  fleetjudge::Instance lr = instance();
  const std::string header = "Instance name : lr0\nAuthors       :\tH. M\xc3\xbcller\n"
                             "Date          : 2003\nReference     : a paper\nSolution\n";
  for (const char *routes : {"Route 1 : 1 2\nRoute 2 : 3 4\n", "Route  1 :\t1 2\nRoute  2 : 3 4\n",
                             "Route 1: 1 2\nRoute 2:3 4\n"}) {
    Report r = fleetjudge::judge(lr, header + routes);
    EXPECT_EQ(r.status, 0) << routes;
    EXPECT_EQ(r.solution.format, "routes");
    ASSERT_EQ(r.routes.size(), 2u) << routes;
    bool header_noted = false;
    for (const std::string &note : r.notes) {
      EXPECT_EQ(note.find("ignored"), std::string::npos) << note;
      header_noted |=
          note.find("header: instance lr0, authors H. M\xc3\xbcller") != std::string::npos;
    }
    EXPECT_TRUE(header_noted) << routes;
  }
  // A cost every convention matches is taken as the sets publish theirs:
  // exact legs, summed.
  Report costed = fleetjudge::judge(lr, "Route 1 : 1 2\nRoute 2 : 3 4\nCost 80.00\n");
  EXPECT_EQ(costed.summary->decision.convention, "exact");
  EXPECT_EQ(costed.summary->declared_cost->matches, "exact");
  // Another instance's solution: said, and judged all the same.
  Report other = fleetjudge::judge(lr, "Instance name : LR102\nSolution\nRoute 1 : 1 2\n"
                                       "Route 2 : 3 4\n");
  EXPECT_NE(std::find(other.notes.begin(), other.notes.end(),
                      "the solution names instance LR102, but the instance is lr0"),
            other.notes.end());
  Report same = fleetjudge::judge(lr, "Instance name : LR0 \nRoute 1 : 1 2\nRoute 2 : 3 4\n");
  for (const std::string &note : same.notes)
    EXPECT_EQ(note.find("names instance"), std::string::npos);
}

TEST(Requests, StopsNameTheirPartnerInTheDocumentOnly) {
  nlohmann::json pd =
      nlohmann::json::parse(fleetjudge::to_json(fleetjudge::judge(instance(), {{1, 2}, {3, 4}})));
  const nlohmann::json &stop = pd["routes"][1]["stops"][1];
  EXPECT_EQ(stop["pair"], 3);
  EXPECT_EQ(stop["role"], "delivery");
  EXPECT_EQ(pd["instance"]["type"], "PDPTW");
  // Without requests, the document is as it was.
  fleetjudge::Instance vrptw = fleetjudge::Instance::read(
      "one\n\nVEHICLE\nNUMBER CAPACITY\n1 10\n\nCUSTOMER\nCUST NO. X Y DEMAND READY DUE SERVICE\n"
      "0 0 0 0 0 100 0\n1 3 4 1 0 50 0\n");
  nlohmann::json plain =
      nlohmann::json::parse(fleetjudge::to_json(fleetjudge::judge(vrptw, {{1}})));
  EXPECT_FALSE(plain["routes"][0]["stops"][0].contains("pair"));
  EXPECT_FALSE(plain["routes"][0]["stops"][0].contains("role"));
}

} // namespace
