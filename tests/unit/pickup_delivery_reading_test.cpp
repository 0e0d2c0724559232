// The two pickup and delivery layouts read through the library: Li & Lim's
// and Sartori & Buriol's, each told by `auto` from the other layouts, every
// inconsistent request refused at its line in both, legs taken from the
// matrix row = from, column = to, and every file the Sartori & Buriol reader
// would read otherwise than written refused with its line.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include <fleetjudge/fleetjudge.h>

namespace {

// Four tasks: 1 picks up what 2 delivers, 3 what 4 delivers. Columns: id x y
// demand earliest latest service pickup delivery; Sartori & Buriol's x and y
// are a latitude and a longitude.
using Row = std::vector<std::string>;
const std::vector<Row> tasks = {
    {"0", "0", "0", "0", "0", "1000", "0", "0", "0"},
    {"1", "3", "4", "3", "0", "500", "2", "0", "2"},
    {"2", "6", "8", "-3", "10", "600", "2", "1", "0"},
    {"3", "-6", "8", "4", "0", "800", "1", "0", "4"},
    {"4", "0", "9", "-4", "0", "900", "1", "3", "0"},
};
const std::vector<Row> coordinates = {{"41.38", "2.17"},
                                      {"41.39", "2.16"},
                                      {"41.4", "2.185"},
                                      {"41.37", "2.19"},
                                      {"-41.36", "-2.15"}};
// Not symmetric: read transposed, the route 1 2 3 4 would cost 31, not 28.
const int travel[5][5] = {
    {0, 5, 7, 9, 11}, {6, 0, 3, 8, 10}, {8, 4, 0, 6, 12}, {10, 9, 7, 0, 2}, {12, 11, 13, 3, 0}};

std::string joined(const Row &row, const char *blank) {
  std::string line;
  for (const std::string &field : row) line += (line.empty() ? "" : blank) + field;
  return line + "\n";
}

// Li & Lim's layout as published: tabs, and a speed of 0.
std::string lilim(const std::vector<Row> &rows = tasks) {
  std::string text = "2\t10\t0\n";
  for (const Row &row : rows) text += joined(row, "\t");
  return text;
}
constexpr int LILIM_FIRST_TASK_LINE = 2;

// Sartori & Buriol's layout: six key lines, NODES, the rows, EDGES, the
// matrix, EOF.
std::string sartori(const std::vector<Row> &rows = tasks) {
  std::string text = "NAME: toy-n4\nTYPE: PDPTW\nSIZE: 5\nROUTE-TIME: 1000\nTIME-WINDOW: 100\n"
                     "CAPACITY: 10\nNODES\n";
  for (size_t i = 0; i < rows.size(); ++i) {
    Row row = rows[i];
    row[1] = coordinates[i][0];
    row[2] = coordinates[i][1];
    text += joined(row, " ");
  }
  text += "EDGES\n";
  for (const auto &from : travel) {
    Row row;
    for (int t : from) row.push_back(std::to_string(t));
    text += joined(row, " ");
  }
  return text + "EOF\n";
}
constexpr int SARTORI_FIRST_TASK_LINE = 8;

std::string replaced(std::string text, const std::string &from, const std::string &to) {
  size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

std::string with_crlf(const std::string &text) {
  std::string out;
  for (char c : text) out += c == '\n' ? std::string("\r\n") : std::string(1, c);
  return out;
}

fleetjudge::Instance read(const std::string &text, const char *format = "auto") {
  return fleetjudge::Instance::read(text, {format}, "set/lc101.txt");
}

// The message an instance is refused with; empty where it is read.
std::string refusal(const std::string &text, const char *format = "auto") {
  try {
    read(text, format);
  } catch (const fleetjudge::InputError &e) {
    return e.what();
  }
  return "";
}

double distance_of(const fleetjudge::Instance &instance, const fleetjudge::Route &route) {
  fleetjudge::Report report = fleetjudge::judge(instance, std::vector<fleetjudge::Route>{route});
  EXPECT_TRUE(report.summary) << fleetjudge::to_json(report);
  if (!report.summary) return -1;
  const fleetjudge::Summary &s = *report.summary;
  EXPECT_EQ(s.truncated.distance, std::floor(s.distance * 10) / 10);
  return s.distance;
}

TEST(PickupDeliveryReading, LiAndLimIsReadWithTabsAndSpeedZero) {
  for (const std::string &text : {lilim(), with_crlf(lilim())}) {
    fleetjudge::Instance instance = read(text);
    EXPECT_STREQ(instance.format(), "lilim");
    EXPECT_EQ(instance.name(), "lc101");
    EXPECT_EQ(instance.customers(), 4);
    EXPECT_EQ(instance.capacity(), 10);
    EXPECT_EQ(instance.vehicles(), 2);
    fleetjudge::Node n = instance.node(2);
    EXPECT_EQ(std::vector<double>(
                  {n.x, n.y, double(n.demand), double(n.ready), double(n.due), double(n.service)}),
              std::vector<double>({6, 8, -3, 10, 600, 2}));
    // Travel is the Euclidean distance whatever the speed: 5 + 5 + 12 + sqrt(37) + 9.
    EXPECT_NEAR(distance_of(instance, {1, 2, 3, 4}), 31 + std::sqrt(37.0), 1e-12);
  }
}

TEST(PickupDeliveryReading, SartoriAndBuriolIsReadWithItsKeysInAnyOrderAndSpacing) {
  std::string reordered = replaced(sartori(), "NAME: toy-n4\nTYPE: PDPTW\nSIZE: 5\n",
                                   "  SIZE :5\t\nLOCATION: a city, somewhere\nNAME:\ttoy-n4\n"
                                   "COMMENT: by hand: for tests\nDISTRIBUTION: cluster (2)\n"
                                   "DEPOT: central\nTYPE : PDPTW\n");
  std::string without_eof = replaced(sartori(), "EOF\n", "");
  std::string after_eof = sartori() + "anything at all\n";
  for (const std::string &text :
       {sartori(), with_crlf(sartori()), reordered, without_eof, after_eof}) {
    fleetjudge::Instance instance = read(text);
    EXPECT_STREQ(instance.format(), "sartori");
    EXPECT_EQ(instance.name(), "toy-n4");
    EXPECT_EQ(instance.customers(), 4);
    EXPECT_EQ(instance.capacity(), 10);
    EXPECT_EQ(instance.vehicles(), std::nullopt); // no fleet size: unlimited
    fleetjudge::Node n = instance.node(4);
    EXPECT_EQ(n.x, -2.15); // x the longitude, y the latitude: north up on the map
    EXPECT_EQ(n.y, -41.36);
    EXPECT_EQ(n.demand, -4);
    EXPECT_EQ(n.due, 900);
    // Row = from, column = to: 5 + 3 + 6 + 2 + 12; transposed it would be 31.
    EXPECT_EQ(distance_of(instance, {1, 2, 3, 4}), 28);
    EXPECT_EQ(distance_of(instance, {4, 3}), 11 + 3 + 10);
    fleetjudge::Report report =
        fleetjudge::judge(instance, std::vector<fleetjudge::Route>{{1, 2, 3, 4}});
    EXPECT_EQ(report.summary->rounded.distance, 28);
    EXPECT_EQ(report.summary->truncated.distance, 28);
    EXPECT_EQ(report.stops[1].arrival, 10); // 5 to node 1, 2 of service, 3 to node 2
    bool noted = false;
    for (const std::string &note : report.notes)
      noted |= note.find("ROUTE-TIME 1000 and TIME-WINDOW 100 are information only") == 0;
    EXPECT_TRUE(noted);
  }
}

TEST(PickupDeliveryReading, AutoTellsEachLayout) {
  const std::string vrplib = "NAME : v\nTYPE : CVRP\nDIMENSION : 2\nCAPACITY : 5\n"
                             "EDGE_WEIGHT_TYPE : EUC_2D\nNODE_COORD_SECTION\n1 0 0\n2 3 4\n"
                             "DEMAND_SECTION\n1 0\n2 1\nDEPOT_SECTION\n1\n-1\nEOF\n";
  const std::string solomon = "five\n\nVEHICLE\nNUMBER CAPACITY\n2 10\n\nCUSTOMER\ntitles\n\n"
                              "0 0 0 0 0 32 0\n1 3 4 4 0 50 1\n";
  struct Case {
    std::string text;
    const char *format;
  } cases[] = {{lilim(), "lilim"},
               {"3 20 1\n 0 35 35 0 0 230 0 0 0\n1 41 49 10 161 171 10 0 2\n"
                "2 35 17 -10 50 60 10 1 0\n",
                "lilim"},
               {sartori(), "sartori"},
               {vrplib, "vrplib"},
               {solomon, "solomon"}};
  for (const Case &c : cases) {
    EXPECT_STREQ(read(c.text).format(), c.format) << c.text;
    EXPECT_STREQ(read(c.text, c.format).format(), c.format) << c.text;
  }
  // A file short of a section is still told, and refused for what it lacks.
  std::string no_edges = sartori().substr(0, sartori().find("EDGES"));
  EXPECT_NE(refusal(no_edges).find("line 12: the file ends before EDGES"), std::string::npos)
      << refusal(no_edges);
  // A VRPLIB file of pickup and delivery is still VRPLIB, refused for its type.
  std::string pdptw = replaced(vrplib, "TYPE : CVRP", "TYPE : PDPTW");
  EXPECT_NE(refusal(pdptw).find("TYPE PDPTW is not read here"), std::string::npos)
      << refusal(pdptw);
}

TEST(PickupDeliveryReading, EveryInconsistentRequestIsRefusedAtItsLineInBothLayouts) {
  struct Change {
    size_t task, field;
    const char *value;
  };
  struct Case {
    std::vector<Change> changes;
    size_t task; // where it is refused
    const char *message;
  } cases[] = {
      {{{0, 8, "2"}}, 0, "the depot, task 0, names a pickup or a delivery"},
      {{{0, 7, "1"}}, 0, "the depot, task 0, names a pickup or a delivery"},
      {{{1, 7, "2"}}, 1, "task 1 is both a pickup and a delivery"},
      {{{1, 8, "0"}}, 1, "task 1 is neither a pickup nor a delivery"},
      {{{1, 8, "7"}}, 1, "task 1's delivery 7 is no task"},
      {{{1, 8, "-1"}}, 1, "task 1's delivery -1 is no task"},
      {{{3, 8, "2"}}, 3, "task 3 names delivery 2, which does not name it back as its pickup"},
      // 4 picks up what 3 delivers, and delivers to 1 besides.
      {{{3, 3, "-4"}, {3, 7, "4"}, {3, 8, "0"}, {4, 3, "4"}, {4, 7, "0"}, {4, 8, "1"}},
       3,
       "task 3 names pickup 4, which does not name it back as its delivery"},
      {{{1, 3, "-3"}}, 1, "pickup 1 has a negative demand -3"},
      {{{2, 3, "-2"}}, 2, "delivery 2's demand -2 is not the negative of its pickup 1's 3"},
      {{{4, 3, "4"}}, 4, "delivery 4's demand 4 is not the negative of its pickup 3's 4"},
      {{{3, 0, "2"}}, 3, "task 2 again, after line"},
      {{{4, 0, "5"}}, 4, "task 5 out of range 0 to 4"},
      {{{3, 6, "-1"}}, 3, "task 3's service time -1 is negative"},
  };
  for (const Case &c : cases) {
    std::vector<Row> rows = tasks;
    for (const Change &change : c.changes) rows[change.task][change.field] = change.value;
    struct Layout {
      std::string text;
      int line;
    } layouts[] = {{lilim(rows), LILIM_FIRST_TASK_LINE + int(c.task)},
                   {sartori(rows), SARTORI_FIRST_TASK_LINE + int(c.task)}};
    for (const Layout &l : layouts) {
      std::string message = refusal(l.text);
      EXPECT_NE(message.find("line " + std::to_string(l.line) + ": "), std::string::npos)
          << message;
      EXPECT_NE(message.find(c.message), std::string::npos) << message;
    }
  }
}

TEST(PickupDeliveryReading, SartoriAndBuriolFilesReadOtherwiseThanWrittenAreRefused) {
  struct Case {
    std::string from, to;
    int line;
    const char *message;
  } cases[] = {
      {"SIZE: 5\n", "", 6, "NODES, but no SIZE line before it"},
      {"CAPACITY: 10\n", "", 6, "NODES, but no CAPACITY line before it"},
      {"SIZE: 5", "SIZE: 5\nSIZE: 5", 4, "SIZE again, after line 3"},
      {"SIZE: 5", "SIZE: 0", 3, "SIZE must be a whole number of 1 or more, not \"0\""},
      {"SIZE: 5", "SIZE: 4294967301", 3, "SIZE must be a whole number"},
      {"SIZE: 5", "SIZE: 5.0", 3, "SIZE must be a whole number"},
      {"SIZE: 5", "SIZE: 50001", 3, "SIZE 50001 is beyond the 50000 nodes read here"},
      {"CAPACITY: 10", "CAPACITY: -1", 6, "CAPACITY must be a whole number of 0 or more"},
      {"TYPE: PDPTW", "TYPE: CVRP", 2, "TYPE \"CVRP\" is not read here: PDPTW is"},
      {"TIME-WINDOW", "VEHICLES", 5, "the key \"VEHICLES\" is not read here"},
      {"NODES\n", "", 7, "neither a key line \"KEY: value\" nor NODES"},
      {"EDGES\n", "", 13, "more node rows than SIZE 5"},
      {"EDGES\n", "NODES\n", 13, "NODES again, after line 7"},
      {"4 -41.36 -2.15 -4 0 900 1 3 0\n", "", 12, "EDGES after 4 node rows; SIZE says 5"},
      {"EDGES\n", "5 41 2 0 0 9 0 0 0\nEDGES\n", 13, "more node rows than SIZE 5"},
      {"1 41.39 2.16 3 0 500 2 0 2", "1 41.39 2.16 3 0 500 2 0", 9,
       "a node row holds nine numbers, id lat lon demand earliest latest service pickup "
       "delivery; this one 8"},
      {"41.39", "north", 9, "the lat \"north\" is not a number"},
      {"41.39", "41.3900000001", 9, "the lat \"41.3900000001\" has more than 9 decimals"},
      {"41.39", "1000000.5", 9, "the lat \"1000000.5\" lies beyond +-1000000"},
      {" 500 2 0 2", " 2147483648 2 0 2", 9, "the latest \"2147483648\" lies beyond 32 bits"},
      {" 500 2 0 2", " 500.0 2 0 2", 9, "the latest \"500.0\" is not a whole number"},
      {"12 11 13 3 0\n", "", 18, "EOF after 4 rows of the matrix; SIZE 5 wants as many rows"},
      {"12 11 13 3 0\nEOF\n", "", 17, "the file ends after 4 rows of the matrix"},
      {"EOF\n", "0 0 0 0 0\nEOF\n", 19, "more rows in the matrix than SIZE 5"},
      {"6 0 3 8 10", "6 0 3 8", 15, "row 1 of the matrix holds 4 travel times; SIZE says 5"},
      {"6 0 3 8 10", "6 0 3 8 10 1", 15, "row 1 of the matrix holds 6 travel times"},
      {"6 0 3 8 10", "6 0 3.5 8 10", 15,
       "the travel time \"3.5\" from node 1 to node 2 is not a whole number"},
      {"6 0 3 8 10", "6 0 -3 8 10", 15, "the travel time -3 from node 1 to node 2 is negative"},
      {"6 0 3 8 10", "6 0 3 8 2147483648", 15,
       "the travel time \"2147483648\" from node 1 to node 4 lies beyond 32 bits"},
      {"EDGES\n", "EOF\n", 13, "EOF before the EDGES section"},
      {"EDGES\n0 5 7 9 11\n6 0 3 8 10\n8 4 0 6 12\n10 9 7 0 2\n12 11 13 3 0\nEOF\n", "", 12,
       "the file ends before EDGES"},
      {"NODES\n0 41.38", "EDGES\nNODES\n0 41.38", 7, "EDGES before NODES"},
      // A SIZE that the file does not back with rows is never held.
      {"SIZE: 5", "SIZE: 50000", 13, "EDGES after 5 node rows; SIZE says 50000"},
  };
  for (const Case &c : cases) {
    std::string message = refusal(replaced(sartori(), c.from, c.to), "sartori");
    EXPECT_EQ(
        message.rfind("instance file set/lc101.txt: line " + std::to_string(c.line) + ": ", 0), 0u)
        << c.to << " -> " << message;
    EXPECT_NE(message.find(c.message), std::string::npos) << c.to << " -> " << message;
  }
  std::string keys_only = "NAME: x\nSIZE: 2\nCAPACITY: 1\n";
  EXPECT_NE(refusal(keys_only, "sartori").find("line 3: the file ends before NODES"),
            std::string::npos)
      << refusal(keys_only, "sartori");
  EXPECT_NE(refusal("NAME: x\n\n", "sartori").find("line 1: the file ends without a SIZE line"),
            std::string::npos);
}

} // namespace
