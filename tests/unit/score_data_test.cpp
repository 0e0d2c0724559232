// fleetjudge-score on the published benchmark data, against figures the
// test computes on its own: the distance of every route set in each
// convention and its feasibility from the instance's numbers, then each
// run's best distance over time, its gaps and its integral, interval by
// interval over every solution. Then a few runs of the program itself.
//
//   score_data_test 'RUNNER... FLEETJUDGE_SCORE' INSTANCE [DATA_DIR]
//
// The first argument is the command that runs the program, as the shell
// reads it (an emulator in front of it in a cross build), with absolute
// paths: the program runs in a folder of its own.
// DATA_DIR (or $FLEETJUDGE_DATA) holds instances/, routes/ and vrplib/;
// without it the published-data test is skipped.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <fleetjudge/fleetjudge.h>

#include "score/scoring.h"

namespace {

std::string program, tiny_instance, data_dir;

std::string read_file(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

bool exists(const std::string &path) {
  struct stat s;
  return stat(path.c_str(), &s) == 0;
}

struct Folder {
  std::string path;
  Folder() {
    char name[] = "/tmp/score_data_test.XXXXXX";
    path = mkdtemp(name);
  }
  ~Folder() { std::system(("rm -rf '" + path + "'").c_str()); }
  std::string write(const std::string &name, const std::string &text) const {
    std::ofstream(path + "/" + name, std::ios::binary) << text;
    return path + "/" + name;
  }
};

using Routes = std::vector<std::vector<int>>;

// A route list (".sol": "Route #1: ...") or a plain list, one route a line.
Routes routes_in(const std::string &text) {
  Routes routes;
  std::istringstream lines(text);
  for (std::string l; std::getline(lines, l);) {
    size_t colon = l.find(':');
    if (l.rfind("Route", 0) == 0 && colon != std::string::npos)
      l = l.substr(colon + 1);
    else if (l.find_first_not_of("0123456789 \t\r") != std::string::npos)
      continue;
    std::istringstream numbers(l);
    std::vector<int> route;
    for (int c; numbers >> c;) route.push_back(c);
    if (!route.empty()) routes.push_back(route);
  }
  return routes;
}

enum Conv { EXACT, TRUNCATED, ROUNDED };
const char *conv_name[] = {"exact", "truncated", "rounded"};

long long isqrt(long long n) {
  long long r = static_cast<long long>(std::sqrt(static_cast<double>(n)));
  while (r * r > n) --r;
  while ((r + 1) * (r + 1) <= n) ++r;
  return r;
}

// The instance's numbers, and the judgement of routes from them alone.
struct Own {
  std::vector<fleetjudge::Node> nodes;
  double capacity;
  std::optional<int> vehicles;

  explicit Own(const fleetjudge::Instance &instance)
      : capacity(instance.capacity()), vehicles(instance.vehicles()) {
    for (int64_t i = 0; i <= instance.customers(); ++i) nodes.push_back(instance.node(i));
  }
  // A leg in the convention, in tenths for truncated, whole for rounded.
  long double leg(int a, int b, Conv c) const {
    long long dx = std::llround(nodes[a].x - nodes[b].x),
              dy = std::llround(nodes[a].y - nodes[b].y);
    long long square = dx * dx + dy * dy;
    if (c == TRUNCATED) return isqrt(100 * square) / 10.0L;
    if (c == ROUNDED) {
      long long r = isqrt(square);
      return static_cast<long double>(square - r * r > r ? r + 1 : r);
    }
    return std::sqrt(static_cast<long double>(square));
  }
  struct Judged {
    double distance;
    int vehicles;
    bool feasible;
  };
  Judged judge(const Routes &routes, Conv c) const {
    long double total = 0;
    long long tenths = 0;
    bool feasible = !vehicles || static_cast<int>(routes.size()) <= *vehicles;
    std::vector<int> seen(nodes.size(), 0);
    for (const std::vector<int> &route : routes) {
      long double time = 0, load = 0;
      int at = 0;
      for (int customer : route) {
        long double l = leg(at, customer, c);
        total += l;
        tenths += std::llround(l * 10);
        time = std::max(time + l, static_cast<long double>(nodes[customer].ready));
        feasible &= time <= nodes[customer].due;
        time += nodes[customer].service;
        load += nodes[customer].demand;
        seen[customer]++;
        at = customer;
      }
      long double back = leg(at, 0, c);
      total += back;
      tenths += std::llround(back * 10);
      feasible &= time + back <= nodes[0].due && load <= capacity;
    }
    for (size_t i = 1; i < seen.size(); ++i) feasible &= seen[i] == 1;
    double distance = c == EXACT ? static_cast<double>(total) : static_cast<double>(tenths) / 10;
    return {distance, static_cast<int>(routes.size()), feasible};
  }
};

// A cost written with `decimals` decimals matches within half a unit of
// its last digit, and never less than 0.01.
bool claim_off(double claimed, int decimals, double distance) {
  return std::fabs(claimed - distance) > std::max(0.01, 0.5 * std::pow(10.0, -decimals));
}

// One line of the timeline, and what the test found of its solution.
struct Entry {
  std::string solver;
  int run;
  double time;
  Own::Judged judged;
  bool claimed, off;
};

struct Expected {
  int64_t solutions = 0, infeasible = 0, after = 0, off = 0;
  std::optional<double> final_value, gap, first, to_1, to_01;
  std::optional<int> vehicles;
  double integral = 0;
  std::optional<bool> beats;
};

double gamma_of(double v, double bks) {
  return v == bks ? 0 : std::fabs(v - bks) / std::max(std::fabs(v), std::fabs(bks));
}

// Interval by interval over every time a solution came, the best feasible
// distance so far; nothing of the program's incumbents.
Expected expect_run(std::vector<Entry> entries, double limit, std::optional<double> bks) {
  Expected e;
  std::vector<Entry> within;
  for (const Entry &x : entries) {
    e.solutions++;
    if (x.time > limit) {
      e.after++;
      continue;
    }
    within.push_back(x);
    e.infeasible += !x.judged.feasible;
    e.off += x.off;
  }
  std::vector<double> times;
  for (const Entry &x : within) times.push_back(x.time);
  std::sort(times.begin(), times.end());
  times.erase(std::unique(times.begin(), times.end()), times.end());
  std::optional<double> best;
  long double integral = times.empty() ? limit : times[0];
  for (size_t k = 0; k < times.size(); ++k) {
    // The best feasible solution of this moment, fewer vehicles breaking a
    // tie; it takes over where it is better than every earlier one.
    const Entry *now = nullptr;
    for (const Entry &x : within)
      if (x.time == times[k] && x.judged.feasible &&
          (!now || x.judged.distance < now->judged.distance ||
           (x.judged.distance == now->judged.distance && x.judged.vehicles < now->judged.vehicles)))
        now = &x;
    if (now && (!best || now->judged.distance < *best)) {
      best = now->judged.distance;
      e.vehicles = now->judged.vehicles;
      if (!e.first) e.first = times[k];
      if (bks && !e.to_1 && 100 * (*best - *bks) / *bks <= 1) e.to_1 = times[k];
      if (bks && !e.to_01 && 100 * (*best - *bks) / *bks <= 0.1) e.to_01 = times[k];
    }
    double until = k + 1 < times.size() ? times[k + 1] : limit;
    integral += (best && bks ? gamma_of(*best, *bks) : 1) * ((long double)until - times[k]);
  }
  e.integral = static_cast<double>(integral);
  e.final_value = best;
  if (best && bks) {
    e.gap = 100 * (*best - *bks) / *bks;
    e.beats = *best < *bks;
  }
  return e;
}

void expect_close(std::optional<double> got, std::optional<double> want, const std::string &what) {
  ASSERT_EQ(got.has_value(), want.has_value()) << what;
  if (want) {
    EXPECT_NEAR(*got, *want, std::fabs(*want) * 1e-9 + 1e-12) << what;
  }
}

struct Case {
  std::string name, instance, solution;
  Conv conv;
  bool bks_row; // else the best final of the runs serves
  double limit;
};

TEST(ScoreData, EveryFigureAgainstTheTestsOwnComputation) {
  if (data_dir.empty()) GTEST_SKIP() << "no benchmark data (give DATA_DIR or $FLEETJUDGE_DATA)";
  std::string d = data_dir;
  std::vector<Case> cases = {
      {"C101", d + "/instances/C101.txt", d + "/routes/C101.routes", EXACT, true, 10},
      {"R105", d + "/instances/R105.txt", d + "/routes/R105.routes", EXACT, true, 10},
      {"RC208", d + "/instances/RC208.txt", d + "/routes/RC208.routes", EXACT, false, 10},
      {"C1_10_1", d + "/instances/C1_10_1.txt", d + "/routes/C1_10_1.routes", TRUNCATED, true, 20},
      // Published for truncated distances, late in exact ones: never feasible here.
      {"R1_10_1", d + "/instances/R1_10_1.txt", d + "/routes/R1_10_1.routes", EXACT, true, 10},
      {"X-n101-k25", d + "/vrplib/X-n101-k25.vrp", d + "/vrplib/X-n101-k25.sol", ROUNDED, true, 10},
  };
  Folder folder;
  std::system(("mkdir '" + folder.path + "/instances'").c_str());
  std::string bks = "instance,vehicles,cost,convention\n", limits = "instance,time_limit\n";
  std::string timeline;
  std::map<std::string, std::vector<Entry>> entries; // by instance
  std::map<std::string, Own::Judged> published;
  for (const Case &c : cases) {
    ASSERT_TRUE(exists(c.instance) && exists(c.solution)) << c.instance;
    std::string link = folder.path + "/instances/" + c.instance.substr(c.instance.rfind('/') + 1);
    ASSERT_EQ(symlink(c.instance.c_str(), link.c_str()), 0);
    Own own(fleetjudge::Instance::load(c.instance));
    Routes pub = routes_in(read_file(c.solution)), split = pub, drop = pub;
    auto longest = std::max_element(split.begin(), split.end(),
                                    [](auto &a, auto &b) { return a.size() < b.size(); });
    std::vector<int> half(longest->begin() + long(longest->size() / 2), longest->end());
    longest->resize(longest->size() / 2);
    split.push_back(half);
    drop[0].pop_back();
    if (drop[0].empty()) drop.erase(drop.begin());
    published[c.name] = own.judge(pub, c.conv);
    if (c.bks_row) {
      char row[160];
      std::snprintf(row, sizeof row, "%s,%zu,%.6f,%s\n", c.name.c_str(), pub.size(),
                    published[c.name].distance * 0.999, conv_name[c.conv]);
      bks += row;
    }
    if (c.limit != 10) limits += c.name + "," + std::to_string(c.limit) + "\n";

    struct Planned {
      const char *solver;
      int run;
      double time;
      const Routes *routes;
      int claim; // -1: none; 0: in the convention, 2 decimals; 1: exact, 2 decimals; 2: whole
    } plan[] = {{"alpha", 1, 0.5, &drop, 0},
                {"alpha", 1, 2, &split, 0},
                {"alpha", 1, 7.5, &pub, 0},
                {"alpha", 2, 1.25, &split, -1},
                {"alpha", 2, c.limit + 1, &pub, 0},
                {"beta", 1, 0.1, &drop, 1},
                {"beta", 1, 3, &pub, 1},
                {"beta", 1, 4, &split, 1},
                {"beta", 2, 1, &drop, 1},
                {"gamma", 1, c.limit, &pub, 2}};
    for (const Planned &p : plan) {
      Own::Judged judged = own.judge(*p.routes, c.conv);
      std::string line = "{\"instance\": \"" + c.name + "\", \"solver\": \"" + p.solver +
                         "\", \"run\": " + std::to_string(p.run) +
                         ", \"time\": " + std::to_string(p.time) + ", \"routes\": [";
      for (size_t r = 0; r < p.routes->size(); ++r) {
        line += r ? "], [" : "[";
        for (size_t k = 0; k < (*p.routes)[r].size(); ++k)
          line += (k ? ", " : "") + std::to_string((*p.routes)[r][k]);
      }
      line += "]]";
      bool off = false;
      if (p.claim >= 0) {
        double value = p.claim == 1 ? own.judge(*p.routes, EXACT).distance : judged.distance;
        int decimals = p.claim == 2 ? 0 : 2;
        char text[64];
        std::snprintf(text, sizeof text, "%.*f", decimals, value);
        line += std::string(", \"cost\": ") + text;
        off = claim_off(std::strtod(text, nullptr), decimals, judged.distance);
      }
      timeline += line + "}\n";
      entries[c.name].push_back({p.solver, p.run, p.time, judged, p.claim >= 0, off});
    }
  }
  // Shuffled, so that no run's lines come in time order.
  std::vector<std::string> lines;
  std::istringstream in(timeline);
  for (std::string l; std::getline(in, l);) lines.push_back(l + "\n");
  std::reverse(lines.begin(), lines.end());
  std::rotate(lines.begin(), lines.begin() + 7, lines.end());
  timeline.clear();
  for (const std::string &l : lines) timeline += l;

  ScoreSettings settings;
  std::string instances = folder.path + "/instances";
  std::string bks_path = folder.write("bks.csv", bks),
              limits_path = folder.write("limits.csv", limits);
  settings.instances = instances.c_str();
  settings.bks = bks_path.c_str();
  settings.time_limits = limits_path.c_str();
  settings.time_limit = 10;
  settings.jobs = 2;
  settings.timelines.push_back(folder.write("timeline.jsonl", timeline));
  auto run = std::make_unique<ScoringRun>();
  std::string problem;
  ASSERT_TRUE(prepare(settings, *run, problem)) << problem;
  score_timelines(settings, *run);
  ASSERT_EQ(run->read.bad.count, 0) << run->read.bad.first[0].problem;

  size_t checked = 0;
  for (const Case &c : cases) {
    std::optional<double> reference;
    if (c.bks_row) {
      reference = published[c.name].distance * 0.999;
      char text[64];
      std::snprintf(text, sizeof text, "%.6f", *reference);
      reference = std::strtod(text, nullptr);
    } else {
      for (const char *solver : {"alpha", "beta", "gamma"})
        for (int r : {1, 2}) {
          std::vector<Entry> mine;
          for (const Entry &x : entries[c.name])
            if (x.solver == solver && x.run == r) mine.push_back(x);
          if (mine.empty()) continue;
          Expected e = expect_run(mine, c.limit, std::nullopt);
          if (e.final_value && (!reference || *e.final_value < *reference))
            reference = e.final_value;
        }
    }
    for (const ScoredRun &got : run->scores.runs) {
      if (got.tally.instance != c.name) continue;
      std::vector<Entry> mine;
      for (const Entry &x : entries[c.name])
        if (x.solver == got.key.solver && x.run == got.key.run) mine.push_back(x);
      Expected e = expect_run(mine, c.limit, reference);
      std::string what = c.name + " " + got.key.solver + " " + std::to_string(got.key.run);
      ASSERT_TRUE(got.scored()) << what << ": " << got.tally.error;
      EXPECT_EQ(got.convention, Convention(c.conv)) << what;
      EXPECT_EQ(got.tally.solutions, e.solutions) << what;
      EXPECT_EQ(got.tally.infeasible, e.infeasible) << what;
      EXPECT_EQ(got.tally.after_limit, e.after) << what;
      EXPECT_EQ(got.tally.claimed_cost_off, e.off) << what;
      expect_close(got.bks, reference, what + " reference");
      expect_close(got.figures.final_value, e.final_value, what + " final");
      EXPECT_EQ(got.figures.final_vehicles, e.vehicles) << what;
      expect_close(got.figures.final_gap_percent, e.gap, what + " gap");
      expect_close(got.figures.time_to_first, e.first, what + " first");
      expect_close(got.figures.time_to[0], e.to_1, what + " to 1%");
      expect_close(got.figures.time_to[1], e.to_01, what + " to 0.1%");
      expect_close(got.figures.primal_integral, e.integral, what + " integral");
      expect_close(got.figures.primal_gap_mean, e.integral / c.limit, what + " mean gap");
      EXPECT_EQ(got.figures.beats_bks, e.beats) << what;
      ++checked;
    }
  }
  EXPECT_EQ(checked, cases.size() * 5);
  // The cases cover what they are there for.
  EXPECT_FALSE(published["R1_10_1"].feasible);
  EXPECT_TRUE(published["C1_10_1"].feasible);
  EXPECT_EQ(run->catalog.reads.load(), static_cast<int64_t>(cases.size()));
  int64_t off = 0;
  for (const ScoredRun &r : run->scores.runs) off += r.tally.claimed_cost_off;
  EXPECT_GT(off, 0);
}

// ---------------------------------------------------------------------------
// The program itself: its status, its columns, its messages.

struct Ran {
  int status;
  std::string out, err;
};

Ran run_program(const std::string &dir, const std::string &args, const std::string &input = "") {
  std::string in = dir + "/stdin", out = dir + "/stdout", err = dir + "/stderr";
  std::ofstream(in) << input;
  int status = std::system(("cd '" + dir + "' && " + program + " " + args + " <'" + in + "' >'" +
                            out + "' 2>'" + err + "'")
                               .c_str());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, read_file(out), read_file(err)};
}

TEST(ScoreProgram, StatusColumnsAndMessages) {
  Folder f;
  f.write("five.txt", read_file(tiny_instance));
  f.write("good.sol", "1 2\n3 4\n");
  std::string good =
      R"({"instance": "five", "solver": "s", "time": 1, "routes": [[1, 2], [3, 4]]})";
  std::string from_file =
      R"({"instance": "five", "solver": "s", "time": 2, "solution": "good.sol"})";
  std::string short_one = R"({"instance": "five", "solver": "t", "time": 1, "routes": [[1, 2]]})";
  std::string common = "--instances . --time-limit 5 ";

  // From standard input, a solution path from the current folder.
  Ran clean =
      run_program(f.path, common + "--format=csv --targets=5,0.5 -", good + "\n" + from_file);
  EXPECT_EQ(clean.status, 0) << clean.err;
  EXPECT_EQ(clean.out.substr(0, clean.out.find("\r\n")),
            "instance,solver,run,solutions,infeasible,after_limit,claimed_cost_off,unverified,bks,"
            "final,final_vehicles,final_gap_percent,time_to_first,time_to_5,time_to_0.5,"
            "primal_integral,primal_gap_mean,beats_bks");
  EXPECT_NE(clean.out.find("\r\nfive,s,1,2,0,0,0,0,44,44,2,0,1,1,1,1,0.2,false\r\n"),
            std::string::npos)
      << clean.out;
  EXPECT_NE(clean.err.find("the best final value of all runs serves for five"), std::string::npos);

  f.write("t.jsonl", good + "\n" + short_one + "\n");
  Ran infeasible = run_program(f.path, common + "t.jsonl");
  EXPECT_EQ(infeasible.status, 1) << infeasible.err;

  f.write("bad.jsonl", good + "\n{\"instance\": 1}\n" + short_one + "\n");
  Ran bad = run_program(f.path, common + "--per-solver --format=csv bad.jsonl");
  EXPECT_EQ(bad.status, 2);
  EXPECT_NE(bad.err.find("fleetjudge-score: bad.jsonl:2: column 14: instance must be a string"),
            std::string::npos)
      << bad.err;
  EXPECT_EQ(bad.out.substr(0, bad.out.find("\r\n")),
            "solver,runs,instances,feasible_instances,runs_without_feasible,"
            "mean_final_gap_percent,mean_primal_gap,wins,mean_time_to_first,infeasible,"
            "claimed_cost_off");
  EXPECT_NE(bad.out.find("\r\nt,1,1,0,1,,1,0,,1,0\r\n"), std::string::npos) << bad.out;

  Ran page = run_program(f.path, common + "--html page.html --format=jsonl t.jsonl");
  EXPECT_EQ(page.status, 1);
  std::string html = read_file(f.path + "/page.html");
  EXPECT_EQ(html.rfind("<!DOCTYPE html>", 0), 0u);
  EXPECT_NE(html.find("<svg"), std::string::npos);
  EXPECT_NE(html.find("</html>"), std::string::npos);

  struct Refusal {
    std::string args, says;
  } refusals[] = {
      {"--instances . t.jsonl", "a time limit is needed"},
      {common + "--convention=auto t.jsonl", "one convention holds for every solution"},
      {common + "-j 0 t.jsonl", "-j needs a number of threads"},
      {common + "--targets=1,x t.jsonl", "\"x\" is not a gap"},
      {common + "--targets=1,1.0 t.jsonl", "names time_to_1 twice"},
      {common + "--format=bks t.jsonl", "--format is table, csv"},
      {common, "no timeline given"},
      {common + "- -", "can be read once only"},
      {"--time-limit 0 t.jsonl", "above 0"},
      {"--instances nowhere --time-limit 1 t.jsonl", "cannot read the folder nowhere"},
      {"--bks missing.csv --time-limit 1 t.jsonl", "cannot read the best-known solutions"},
  };
  for (const Refusal &r : refusals) {
    Ran refused = run_program(f.path, r.args);
    EXPECT_EQ(refused.status, 2) << r.args;
    EXPECT_TRUE(refused.out.empty()) << r.args;
    EXPECT_NE(refused.err.find(r.says), std::string::npos) << r.args << "\n" << refused.err;
  }
}

} // namespace

int main(int argc, char **argv) {
  testing::InitGoogleTest(&argc, argv);
  if (argc < 3) {
    std::fprintf(stderr,
                 "usage: score_data_test 'RUNNER... FLEETJUDGE_SCORE' INSTANCE [DATA_DIR]\n");
    return 2;
  }
  // Absolute: the instances are linked from a folder of their own.
  auto absolute = [](const char *path) {
    char *full = realpath(path, nullptr);
    std::string text = full ? full : path;
    std::free(full);
    return text;
  };
  program = argv[1];
  tiny_instance = absolute(argv[2]);
  const char *env = std::getenv("FLEETJUDGE_DATA");
  const char *data = env && *env ? env : argc > 3 ? argv[3] : nullptr;
  if (data && exists(std::string(data) + "/routes/C101.routes")) data_dir = absolute(data);
  return RUN_ALL_TESTS();
}
