// The model against the programs: an Instance read once and judge() give,
// through to_json(), the document `fleetjudge-report --json` writes for the
// same files, on every end-to-end case and every pair of the benchmark data,
// in every convention; routes in memory give what the same routes written
// as a plain list give.
//
//   model_test 'RUNNER... FLEETJUDGE_REPORT' CASES_DIR... [-- DATA_DIR]
//
// The first argument is the command that runs the report, as the shell
// reads it (an emulator in front of it in a cross build).
#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include <fleetjudge/fleetjudge.h>
#include <nlohmann/json.hpp>

namespace {

std::string report_program;
std::vector<std::string> case_dirs;
std::string data_dir;

std::string read_file(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

bool is_file(const std::string &path) {
  struct stat s;
  return stat(path.c_str(), &s) == 0 && S_ISREG(s.st_mode);
}

std::vector<std::string> entries(const std::string &dir) {
  std::vector<std::string> names;
  if (DIR *d = opendir(dir.c_str())) {
    for (dirent *e; (e = readdir(d)) != nullptr;)
      if (e->d_name[0] != '.') names.push_back(e->d_name);
    closedir(d);
  }
  std::sort(names.begin(), names.end());
  return names;
}

struct Pair {
  std::string instance, solution; // paths
};

// Every end-to-end case with the two files instance and solution, and every
// published pair beside the project.
std::vector<Pair> pairs() {
  std::vector<Pair> found;
  for (const std::string &dir : case_dirs)
    for (const std::string &name : entries(dir)) {
      std::string at = dir + "/" + name + "/";
      if (is_file(at + "instance") && is_file(at + "solution"))
        found.push_back({at + "instance", at + "solution"});
    }
  if (data_dir.empty()) return found;
  for (const std::string &name : entries(data_dir + "/routes")) {
    std::string stem = name.substr(0, name.rfind('.'));
    found.push_back({data_dir + "/instances/" + stem + ".txt", data_dir + "/routes/" + name});
  }
  for (const char *folder : {"/vrplib/", "/classic/"})
    for (const std::string &name : entries(data_dir + folder))
      if (name.size() > 4 && name.substr(name.size() - 4) == ".vrp") {
        std::string stem = data_dir + folder + name.substr(0, name.size() - 4);
        if (is_file(stem + ".sol")) found.push_back({stem + ".vrp", stem + ".sol"});
      }
  return found;
}

std::string shell_quoted(const std::string &text) { return "'" + text + "'"; }

// What the program writes on standard output, and its status.
std::string run_report(const std::string &convention, const Pair &p, int &status) {
  std::string command = report_program + " --json --convention=" + convention + " " +
                        shell_quoted(p.instance) + " " + shell_quoted(p.solution) + " 2>/dev/null";
  std::FILE *out = popen(command.c_str(), "r");
  std::string document;
  char chunk[1 << 16];
  for (size_t got; out != nullptr && (got = std::fread(chunk, 1, sizeof chunk, out)) > 0;)
    document.append(chunk, got);
  int wait_status = out ? pclose(out) : -1;
  status = WIFEXITED(wait_status) ? WEXITSTATUS(wait_status) : -1;
  return document;
}

TEST(Model, JudgedAsTheReportJudgesEveryPairInEveryConvention) {
  std::vector<Pair> all = pairs();
  ASSERT_GE(all.size(), 60u) << "cases not found";
  size_t judged = 0, refused = 0;
  for (const Pair &p : all) {
    std::string instance_bytes = read_file(p.instance), solution_bytes = read_file(p.solution);
    fleetjudge::Instance instance;
    std::string refusal;
    try {
      instance = fleetjudge::Instance::read(instance_bytes, {}, p.instance.c_str());
    } catch (const fleetjudge::InputError &error) {
      refusal = error.what();
    }
    for (const char *convention : {"auto", "exact", "truncated", "rounded"}) {
      int status;
      std::string expected = run_report(convention, p, status);
      fleetjudge::ReportOptions options;
      options.convention = convention;
      if (!refusal.empty()) {
        // The report's error begins with the instance's fault (a hint on
        // the solution may follow).
        EXPECT_EQ(status, 2) << p.instance;
        std::string error = nlohmann::json::parse(expected)["error"];
        EXPECT_EQ(error.substr(0, refusal.size()), refusal) << p.instance;
        ++refused;
        continue;
      }
      fleetjudge::Report report =
          fleetjudge::judge(instance, solution_bytes, options, p.solution.c_str());
      EXPECT_EQ(fleetjudge::to_json(report), expected) << p.instance << " " << convention;
      EXPECT_EQ(report.status, status) << p.instance << " " << convention;
      ++judged;
    }
  }
  std::printf("%zu judgements equal to the report's, %zu refusals\n", judged, refused);
  if (data_dir.empty()) std::printf("benchmark data not found: only the cases were compared\n");
}

std::vector<fleetjudge::Route> routes_of(const std::string &plain) {
  std::vector<fleetjudge::Route> routes;
  std::istringstream lines(plain);
  for (std::string line; std::getline(lines, line);) {
    std::istringstream numbers(line);
    fleetjudge::Route route;
    for (int c; numbers >> c;) route.push_back(c);
    routes.push_back(route);
  }
  return routes;
}

// A plain list's document but for the solution's path, which routes in
// memory do not have.
void expect_same_as_plain(const fleetjudge::Instance &instance, const std::string &plain,
                          const char *convention) {
  fleetjudge::ReportOptions options;
  options.solution_format = "plain";
  options.convention = convention;
  fleetjudge::Report in_memory = fleetjudge::judge(instance, routes_of(plain), options);
  fleetjudge::Report written = fleetjudge::judge(instance, plain, options);
  EXPECT_EQ(fleetjudge::to_json(in_memory), fleetjudge::to_json(written)) << plain.substr(0, 80);
  EXPECT_FALSE(in_memory.solution.path.has_value());
  EXPECT_EQ(in_memory.solution.format, "plain");
  EXPECT_FALSE(in_memory.verdict.status.has_value());
}

TEST(Model, RoutesInMemoryGiveWhatAPlainListGives) {
  const std::string small = "small\n\nVEHICLE\nNUMBER CAPACITY\n1 10\n\nCUSTOMER\ntitles\n\n"
                            "0 0 0 0 0 100 0\n1 3 4 4 0 50 1\n2 6 8 3 20 30 2\n"
                            "3 6 0 5 0 6 0\n4 0 -8 5 0 100 0\n";
  fleetjudge::Instance instance = fleetjudge::Instance::read(small);
  // Late, overloaded, out of range, twice, an empty route, the depot given.
  for (const char *plain : {"1 2\n3 4\n", "3 1 2\n\n4 9 1\n", "0 1 2 3 4\n", "4 -7 2147483647\n"})
    for (const char *convention : {"auto", "exact", "truncated", "rounded"})
      expect_same_as_plain(instance, plain, convention);
  if (data_dir.empty()) GTEST_SKIP() << "benchmark data not found beside the project";
  for (const char *stem : {"C101", "R207", "RC105"}) {
    fleetjudge::Instance published =
        fleetjudge::Instance::load(data_dir + "/instances/" + stem + ".txt");
    expect_same_as_plain(published, read_file(data_dir + "/routes/" + stem + ".routes"), "auto");
  }
}

TEST(Model, AViolationSaysWhereInTheRouteAsGiven) {
  fleetjudge::Instance instance = fleetjudge::Instance::read(
      "p\n\nVEHICLE\nNUMBER CAPACITY\n2 6\n\nCUSTOMER\nt\n\n0 0 0 0 0 100 0\n1 1 0 4 0 100 0\n"
      "2 2 0 4 0 3 0\n3 3 0 1 0 100 0\n");
  std::vector<fleetjudge::Route> routes{{3, 99, 1, 2}, {}, {1}};
  fleetjudge::Report report = fleetjudge::judge(instance, routes);
  EXPECT_EQ(report.status, 1);
  std::vector<std::string> kinds;
  for (const fleetjudge::Violation &v : report.violations) {
    kinds.push_back(v.kind);
    if (!v.position) continue;
    // Routes in memory are numbered as given, empty ones skipped.
    const fleetjudge::Route &route = routes[v.route == 1 ? 0 : 2];
    ASSERT_LE(static_cast<size_t>(*v.position), route.size()) << v.kind;
    EXPECT_EQ(route[static_cast<size_t>(*v.position) - 1], v.node.value_or(-1)) << v.kind;
  }
  EXPECT_EQ(kinds, (std::vector<std::string>{"customer_out_of_range", "capacity_exceeded",
                                             "time_window_missed", "visited_twice"}));
  const fleetjudge::Violation &late = report.violations[2];
  EXPECT_EQ(late.figure("due"), 3.0);
  EXPECT_EQ(late.figure("start"), 6.0);
  EXPECT_FALSE(late.figure("load").has_value());
  ASSERT_TRUE(report.summary.has_value());
  EXPECT_EQ(report.summary->vehicles, 2);
  EXPECT_FALSE(report.summary->feasible);
}

TEST(Model, AnInstanceIsReadOnceAndSaysWhatItIs) {
  const std::string text = "name line\n\nVEHICLE\nNUMBER CAPACITY\n3 7.5\n\nCUSTOMER\nt\n\n"
                           "0 1 2 0 0 90 0\n1 4 6 2 5 50 3\n";
  fleetjudge::Instance instance = fleetjudge::Instance::read(text, {}, "a/path.txt");
  fleetjudge::Instance copy = instance;
  EXPECT_EQ(copy.bytes().data(), instance.bytes().data()); // shared, not copied
  EXPECT_EQ(instance.bytes(), text);
  EXPECT_STREQ(instance.path(), "a/path.txt");
  EXPECT_EQ(instance.name(), "name line");
  EXPECT_STREQ(instance.type(), "VRPTW");
  EXPECT_STREQ(instance.format(), "solomon");
  EXPECT_EQ(instance.customers(), 1);
  EXPECT_EQ(instance.capacity(), 7.5);
  EXPECT_EQ(instance.vehicles(), 3);
  fleetjudge::Node customer = instance.node(1);
  EXPECT_EQ(customer.x, 4);
  EXPECT_EQ(customer.ready, 5);
  EXPECT_EQ(customer.service, 3);
  EXPECT_THROW(instance.node(2), std::out_of_range);

  fleetjudge::Instance vrplib = fleetjudge::Instance::read(
      "NAME : v\nDIMENSION : 2\nCAPACITY : 5\nNODE_COORD_SECTION\n1 0 0\n2 1.5 2\n"
      "DEMAND_SECTION\n1 0\n2 1\nEOF\n");
  EXPECT_STREQ(vrplib.type(), "CVRP");
  EXPECT_EQ(vrplib.vehicles(), std::nullopt);
  EXPECT_EQ(vrplib.node(1).x, 1.5);
  EXPECT_EQ(fleetjudge::judge(vrplib, {{1}}).status, 0);
}

TEST(Model, RefusalsAreErrorsWhereTheyBelong) {
  // The instance's fault, with file and line, as the report's error gives it.
  const std::string broken = "b\n\nVEHICLE\nNUMBER CAPACITY\n2 10\n\nCUSTOMER\nt\n\n0 0 0 0 0 9 0\n"
                             "1 x 0 1 0 9 0\n";
  try {
    fleetjudge::Instance::read(broken, {}, "b.txt");
    ADD_FAILURE() << "read a broken instance";
  } catch (const fleetjudge::InputError &error) {
    std::string document = fleetjudge::report(broken, "1 1\n", {}, "b.txt", nullptr).json;
    EXPECT_NE(document.find(error.what()), std::string::npos) << error.what();
    EXPECT_NE(std::string(error.what()).find("b.txt: line 11"), std::string::npos) << error.what();
  }
  EXPECT_THROW(fleetjudge::Instance::read("x", {"tsplib"}), std::invalid_argument);
  EXPECT_THROW(fleetjudge::Instance::load("/nonexistent/instance.txt"), fleetjudge::InputError);
  // A solution that cannot be judged is a report with status 2, not an exception.
  fleetjudge::Instance instance = fleetjudge::Instance::read(broken.substr(0, broken.rfind("1 x")));
  fleetjudge::Report report = fleetjudge::judge(instance, std::string_view("x y\n"), {});
  EXPECT_EQ(report.status, 2);
  ASSERT_TRUE(report.error.has_value());
  EXPECT_FALSE(report.summary.has_value());
  fleetjudge::ReportOptions routes_format;
  routes_format.solution_format = "routes";
  EXPECT_THROW(fleetjudge::judge(instance, {{1}}, routes_format), std::invalid_argument);
  fleetjudge::ReportOptions unknown;
  unknown.convention = "nearest";
  EXPECT_THROW(fleetjudge::judge(instance, {{1}}, unknown), std::invalid_argument);
  EXPECT_THROW(fleetjudge::judge(fleetjudge::Instance{}, {{1}}), std::invalid_argument);
}

} // namespace

int main(int argc, char **argv) {
  testing::InitGoogleTest(&argc, argv);
  if (argc < 3) {
    std::fprintf(stderr, "usage: model_test FLEETJUDGE_REPORT CASES_DIR... [-- DATA_DIR]\n");
    return 2;
  }
  report_program = argv[1];
  int i = 2;
  for (; i < argc && std::string(argv[i]) != "--"; ++i) case_dirs.push_back(argv[i]);
  if (i + 1 < argc && is_file(std::string(argv[i + 1]) + "/routes/C101.routes"))
    data_dir = argv[i + 1];
  return RUN_ALL_TESTS();
}
