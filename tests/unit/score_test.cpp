// fleetjudge-score's phases in-process: the timeline line reader, the
// figures of tiny timelines against exact fractions, and what the scoring
// must do whatever the order of the lines or the number of threads.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "score/figures.h"
#include "score/instances.h"
#include "score/line.h"
#include "score/page.h"
#include "score/scoring.h"
#include "score/write.h"

namespace {

// ---------------------------------------------------------------------------
// Exact fractions, for integrals of piecewise constant functions.
__extension__ typedef __int128 i128;
struct Q {
  i128 n = 0, d = 1;
  Q(long long num = 0, long long den = 1) : n(num), d(den) { norm(); }
  void norm() {
    if (d < 0) n = -n, d = -d;
    i128 a = n < 0 ? -n : n, b = d;
    while (b) a %= b, std::swap(a, b);
    if (a > 1) n /= a, d /= a;
  }
  Q operator+(Q o) const { return q(n * o.d + o.n * d, d * o.d); }
  Q operator-(Q o) const { return q(n * o.d - o.n * d, d * o.d); }
  Q operator*(Q o) const { return q(n * o.n, d * o.d); }
  Q operator/(Q o) const { return q(n * o.d, d * o.n); }
  static Q q(i128 a, i128 b) {
    Q r;
    r.n = a, r.d = b;
    r.norm();
    return r;
  }
  double value() const { return static_cast<double>(static_cast<long double>(n) / d); }
};
// "2.5" as 5/2.
Q decimal(const std::string &text) {
  size_t dot = text.find('.');
  if (dot == std::string::npos) return Q(std::stoll(text));
  std::string digits = text.substr(0, dot) + text.substr(dot + 1);
  long long den = 1;
  for (size_t i = dot + 1; i < text.size(); ++i) den *= 10;
  return Q(std::stoll(digits), den);
}
// Berthold's gap for positive values.
Q gamma_of(Q v, Q bks) {
  Q diff = v - bks;
  if (diff.n < 0) diff.n = -diff.n;
  return diff / (v.n * bks.d > bks.n * v.d ? v : bks);
}

void expect_near(double got, double want, const char *what) {
  EXPECT_NEAR(got, want, std::fabs(want) * 1e-9 + 1e-12) << what;
}

// ---------------------------------------------------------------------------
// Files in a folder of their own, removed afterwards.
struct Folder {
  std::string path;
  Folder() {
    char name[] = "/tmp/score_test.XXXXXX";
    path = mkdtemp(name);
  }
  ~Folder() { std::system(("rm -rf '" + path + "'").c_str()); }
  std::string write(const std::string &name, const std::string &text) const {
    std::string at = path + "/" + name;
    std::system(("mkdir -p \"$(dirname '" + at + "')\"").c_str());
    std::ofstream(at, std::ios::binary) << text;
    return at;
  }
};

// Customers on a line from the depot and one aside, so that these routes'
// distances are whole: [1] 10, [2] 20, [1 2] 20, [3] 10; customer 4 is at
// (1, 1): [4] is 2.828... exact, 2.8 truncated, 2 rounded.
std::string instance_text(const std::string &name, int customers) {
  std::string text = name +
                     "\n\nVEHICLE\nNUMBER     CAPACITY\n  10         100\n\nCUSTOMER\n"
                     "CUST NO.  XCOORD.  YCOORD.  DEMAND  READY TIME  DUE DATE  SERVICE TIME\n\n"
                     "  0  0  0  0  0  1000  0\n";
  const char *nodes[] = {"  1  3  4  1  0  1000  0\n", "  2  6  8  1  0  1000  0\n",
                         "  3  0  5  1  0  1000  0\n", "  4  1  1  1  0  1000  0\n"};
  for (int c = 0; c < customers; ++c) text += nodes[c];
  return text;
}

const char *const A = "[[1, 2], [3]]";       // 30, 2 vehicles
const char *const B = "[[1], [2], [3]]";     // 40, 3 vehicles
const char *const SHORT = "[[1, 2]]";        // 20, but customer 3 is never visited
const char *const A_AGAIN = "[[2, 1], [3]]"; // 30 too

std::string line(const std::string &instance, const std::string &solver, int run,
                 const std::string &time, const std::string &routes,
                 const std::string &extra = "") {
  return "{\"instance\": \"" + instance + "\", \"solver\": \"" + solver +
         "\", \"run\": " + std::to_string(run) + ", \"time\": " + time + ", \"routes\": " + routes +
         extra + "}\n";
}

// A scoring of these timelines against the instances three (customers 1 to
// 3) and four (1 to 4) in a folder of their own.
struct Scored {
  Folder folder;
  ScoreSettings settings;
  std::vector<std::string> keep; // the paths settings points to
  std::unique_ptr<ScoringRun> run = std::make_unique<ScoringRun>();
  std::string problem;
  bool prepared = false;

  Scored() {
    folder.write("instances/three.txt", instance_text("three", 3));
    folder.write("instances/sub/FOUR.TXT", instance_text("four", 4));
    keep.reserve(16);
    keep.push_back(folder.path + "/instances");
    settings.instances = keep.back().c_str();
    settings.time_limit = 10;
    settings.jobs = 2;
  }
  Scored &bks(const std::string &csv) {
    keep.push_back(folder.write("bks.csv", csv));
    settings.bks = keep.back().c_str();
    return *this;
  }
  Scored &timeline(const std::string &text, const std::string &name = "t.jsonl") {
    settings.timelines.push_back(folder.write(name, text));
    return *this;
  }
  Scored &go() {
    prepared = prepare(settings, *run, problem);
    EXPECT_TRUE(prepared) << problem;
    if (prepared) score_timelines(settings, *run);
    return *this;
  }
  const ScoredRun &of(const std::string &instance, const std::string &solver, int64_t number) {
    for (const ScoredRun &r : run->scores.runs)
      if (r.key.instance == instance && r.key.solver == solver && r.key.run == number) return r;
    ADD_FAILURE() << "no run " << instance << " " << solver << " " << number;
    static ScoredRun none;
    return none;
  }
  std::string output(OutputFormat format) {
    ScoreSettings s = settings;
    s.format = format;
    char *text = nullptr;
    size_t size = 0;
    std::FILE *out = open_memstream(&text, &size);
    write_runs(run->scores, s, out);
    s.format = OutputFormat::csv;
    write_solvers(run->comparison, run->scores, s, out);
    std::fclose(out);
    std::string result(text, size);
    std::free(text);
    return result;
  }
};

// ---------------------------------------------------------------------------

TEST(TimelineLine, ReadsEveryMemberAndSkipsOthers) {
  TimelineLine l;
  std::string problem;
  ASSERT_TRUE(read_timeline_line(
      R"( {"extra": {"a": [1, {"b": null}], "c": "\"\\"}, "instance":"X-n101\u002dk25",)"
      R"( "solver": "h\u00e9s \ud83d\ude00", "run": 3, "time": 1.5e1, "routes": [[12, 5, 9], [], [7,3]],)"
      R"( "cost": 27591.50, "more": true}	)",
      l, problem))
      << problem;
  EXPECT_EQ(l.instance, "X-n101-k25");
  EXPECT_EQ(l.solver, "h\xC3\xA9s \xF0\x9F\x98\x80");
  EXPECT_EQ(l.run, 3);
  EXPECT_EQ(l.time, 15);
  ASSERT_TRUE(l.has_routes);
  EXPECT_EQ(l.routes, (std::vector<fleetjudge::Route>{{12, 5, 9}, {}, {7, 3}}));
  EXPECT_TRUE(l.has_cost);
  EXPECT_EQ(l.cost_text, "27591.50"); // as written: its precision is the claim's
  // The buffers are reused: nothing of this line stays in the next.
  ASSERT_TRUE(read_timeline_line(
      R"({"instance": "i", "solver": "s", "time": 0, "solution": "a/b.sol", "cost": null, "run": null})",
      l, problem));
  EXPECT_EQ(l.run, 1);
  EXPECT_FALSE(l.has_routes);
  EXPECT_FALSE(l.has_cost);
  EXPECT_EQ(l.solution, "a/b.sol");
  // Customer numbers beyond int are held at its ends, customers no instance has.
  ASSERT_TRUE(read_timeline_line(
      R"({"instance": "i", "solver": "s", "time": 0, "routes": [[99999999999, -99999999999, -0]]})",
      l, problem));
  EXPECT_EQ(l.routes, (std::vector<fleetjudge::Route>{{INT_MAX, INT_MIN, 0}}));
}

TEST(TimelineLine, RefusesWhatIsNotOneWellFormedObject) {
  const std::string head = R"({"instance": "i", "solver": "s", "time": 1)";
  struct Case {
    std::string text, says;
  } cases[] = {
      {"", "expected a JSON object"},
      {"[1]", "expected a JSON object"},
      {head + "}}", "column 44: text after the object"},
      {head + ", \"routes\": [[1]]} x", "text after the object"},
      {R"({"solver": "s", "time": 1})", "no instance"},
      {R"({"instance": "i", "time": 1})", "no solver"},
      {R"({"instance": "i", "solver": "s"})", "no time"},
      {head + ", \"time\": 2}", "the member time is given twice"},
      {R"({"instance": "i", "solver": "s", "time": -1})", "time must be"},
      {R"({"instance": "i", "solver": "s", "time": "1"})", "expected a number"},
      {R"({"instance": "i", "solver": "s", "time": 1e999})", "time must be"},
      {head + ", \"run\": 1.5}", "run must be a whole number"},
      {head + ", \"run\": 99999999999999999999}", "run must be a whole number"},
      {head + ", \"routes\": [[1, 2.5]]}", "not a whole number"},
      {head + ", \"routes\": [1, 2]}", "a route must be a list"},
      {head + ", \"routes\": [[1,]]}", "expected a number"},
      {head + ", \"routes\": [[1]], \"solution\": \"x\"}", "both routes and a solution"},
      {R"({"instance": "", "solver": "s", "time": 1})", "an empty instance"},
      {R"({"instance": 7, "solver": "s", "time": 1})", "instance must be a string"},
      {R"({"instance": "i, "solver": "s", "time": 1})", "column 19: expected ',' or '}'"},
      {"{\"instance\": \"a\tb\", \"solver\": \"s\", \"time\": 1}", "a control character"},
      {"{\"instance\": \"\xC3\", \"solver\": \"s\", \"time\": 1}", "not UTF-8"},
      {"{\"instance\": \"\xED\xA0\x80\", \"solver\": \"s\", \"time\": 1}", "not UTF-8"},
      {R"({"instance": "\ud800", "solver": "s", "time": 1})", "high surrogate"},
      {R"({"instance": "\udc00", "solver": "s", "time": 1})", "low surrogate"},
      {R"({"instance": "\x41", "solver": "s", "time": 1})", "an escape JSON does not have"},
      {R"({"instance": "\u00g1", "solver": "s", "time": 1})", "four hexadecimal digits"},
      {head + ", \"cost\": 01}", "expected ',' or '}'"},
      {head + ", \"cost\": 1.}", "a decimal point without digits"},
      {head + ", \"cost\": .5}", "expected a number"},
      {head + ", \"cost\": 1e}", "an exponent without digits"},
      {head + ", \"cost\": -}", "expected a number"},
      {head + ", \"x\": tru}", "expected a JSON value"},
      {head + ", \"x\": " + std::string(70, '[') + std::string(70, ']') + "}", "nested too deeply"},
      {head + ", \"x\": [1 2]}", "expected ',' or ']'"},
      {head + ", \"x\": {\"a\" 1}}", "expected ':'"},
      {head + ", \"x\": \"never ends}", "a string that never ends"},
      {head, "expected ',' or '}'"},
  };
  for (const Case &c : cases) {
    TimelineLine l;
    std::string problem;
    EXPECT_FALSE(read_timeline_line(c.text, l, problem)) << c.text;
    EXPECT_NE(problem.find(c.says), std::string::npos) << c.text << "\n  said: " << problem;
  }
}

// ---------------------------------------------------------------------------

TEST(ScoreFigures, TinyTimelinesAgainstExactFractions) {
  Scored s;
  s.settings.targets = {50, 10, 1};
  s.bks("instance,vehicles,cost\nthree,2,28\nThree-B,2,35\n");
  s.folder.write("instances/three-b.txt", instance_text("three-b", 3));
  s.timeline(line("three", "s1", 1, "0.25", SHORT) + line("three", "s1", 1, "0.75", B) +
             line("three", "s1", 1, "2.5", A) + line("three", "s1", 1, "7", B) +
             line("three", "s1", 1, "10", A_AGAIN) + line("three", "s1", 1, "10.5", A) +
             line("three", "s2", 1, "3.3", A) + line("three", "s2", 2, "1", SHORT) +
             line("three-b", "s1", 1, "1.1", B) + line("three-b", "s1", 1, "4", A))
      .go();
  const Q T(10), bks(28);

  const ScoredRun &r = s.of("three", "s1", 1);
  EXPECT_EQ(r.tally.solutions, 6);
  EXPECT_EQ(r.tally.infeasible, 1);
  EXPECT_EQ(r.tally.after_limit, 1);
  ASSERT_TRUE(r.figures.final_value);
  EXPECT_EQ(*r.figures.final_value, 30);
  EXPECT_EQ(*r.figures.final_vehicles, 2);
  expect_near(*r.figures.final_gap_percent, (Q(100) * (Q(30) - bks) / bks).value(), "final gap");
  EXPECT_EQ(*r.figures.time_to_first, 0.75);
  EXPECT_EQ(*r.figures.time_to[0], 0.75); // 40 is 42.9% above 28
  EXPECT_EQ(*r.figures.time_to[1], 2.5);  // 30 is 7.1% above
  EXPECT_FALSE(r.figures.time_to[2]);
  Q integral = decimal("0.75") + (decimal("2.5") - decimal("0.75")) * gamma_of(40, bks) +
               (T - decimal("2.5")) * gamma_of(30, bks);
  expect_near(*r.figures.primal_integral, integral.value(), "integral s1");
  expect_near(*r.figures.primal_gap_mean, (integral / T).value(), "mean s1");
  EXPECT_EQ(r.figures.beats_bks, false);

  const ScoredRun &s2 = s.of("three", "s2", 1);
  Q integral2 = decimal("3.3") + (T - decimal("3.3")) * gamma_of(30, bks);
  expect_near(*s2.figures.primal_integral, integral2.value(), "integral s2");
  expect_near(*s2.figures.primal_gap_mean, (integral2 / T).value(), "mean s2");

  // Never feasible: the integral is the whole limit, and no final value.
  const ScoredRun &none = s.of("three", "s2", 2);
  EXPECT_EQ(*none.figures.primal_integral, 10);
  EXPECT_EQ(*none.figures.primal_gap_mean, 1);
  EXPECT_FALSE(none.figures.final_value);
  EXPECT_FALSE(none.figures.final_gap_percent);
  EXPECT_FALSE(none.figures.time_to_first);
  EXPECT_FALSE(none.figures.beats_bks);

  // Below the best-known cost: gamma measures how far below.
  const ScoredRun &b = s.of("three-b", "s1", 1);
  EXPECT_EQ(b.tally.instance, "three-b");
  Q bks_b(35);
  Q integral_b = decimal("1.1") + (Q(4) - decimal("1.1")) * gamma_of(40, bks_b) +
                 (T - Q(4)) * gamma_of(30, bks_b);
  expect_near(*b.figures.primal_integral, integral_b.value(), "integral below");
  expect_near(*b.figures.final_gap_percent, -100.0 * 5 / 35, "gap below");
  EXPECT_EQ(b.figures.beats_bks, true);
  EXPECT_EQ(*b.figures.time_to[2], 4);

  // Per solver: s1 has a run on each instance; s2 two on three, one never
  // feasible, which counts as 1 in the mean primal gap and not in the gap.
  ASSERT_EQ(s.run->comparison.rows.size(), 2u);
  const SolverRow &one = s.run->comparison.rows[0], &two = s.run->comparison.rows[1];
  EXPECT_EQ(one.solver, "s1");
  EXPECT_EQ(one.runs, 2);
  EXPECT_EQ(one.feasible_instances, 2);
  EXPECT_EQ(two.runs, 2);
  EXPECT_EQ(two.instances, 1);
  EXPECT_EQ(two.runs_without_feasible, 1);
  expect_near(*two.mean_primal_gap, ((integral2 / T + Q(1)) / Q(2)).value(), "mean with a 1");
  expect_near(*two.mean_final_gap_percent, *s2.figures.final_gap_percent, "only runs with one");
  // On three both end at 30: the win is shared; three-b is s1's alone.
  EXPECT_EQ(one.wins, 1.5);
  EXPECT_EQ(two.wins, 0.5);
  EXPECT_EQ(one.infeasible, 1);
  EXPECT_EQ(two.infeasible, 1);
  EXPECT_EQ(scoring_status(*s.run), 1); // infeasible solutions
}

TEST(ScoreFigures, WithoutABestKnownCostTheBestFinalServes) {
  Scored s;
  s.timeline(line("three", "x", 1, "1", B) + line("three", "y", 1, "2", A) +
             line("three", "z", 1, "2", SHORT))
      .go();
  EXPECT_EQ(s.run->scores.bks_from_runs, std::vector<std::string>{"three"});
  const ScoredRun &x = s.of("three", "x", 1);
  EXPECT_EQ(*x.bks, 30);
  EXPECT_TRUE(x.bks_from_runs);
  expect_near(*x.figures.final_gap_percent, 100.0 / 3, "gap to the best final");
  EXPECT_EQ(*s.of("three", "y", 1).figures.final_gap_percent, 0);
  EXPECT_NE(s.output(OutputFormat::table)
                .find("Without a best-known cost, the best final value "
                      "of all runs serves for three."),
            std::string::npos);
  EXPECT_NE(s.output(OutputFormat::jsonl).find("\"bks\":30,\"final\":40"), std::string::npos);
  EXPECT_NE(s.output(OutputFormat::jsonl).find("\"bks_from\":\"runs\""), std::string::npos);
}

TEST(ScoreFigures, MeanGapLiesBetweenTheFinalGapAndOne) {
  // For a run that never goes below the reference, the gap only falls, so
  // its mean over the limit is at least the last gap and at most 1.
  std::mt19937_64 random(30);
  for (int trial = 0; trial < 2000; ++trial) {
    double bks = std::uniform_real_distribution<double>(1, 1e5)(random);
    double limit = std::uniform_real_distribution<double>(0.01, 1e4)(random);
    std::vector<Point> points;
    int n = std::uniform_int_distribution<int>(1, 30)(random);
    for (int i = 0; i < n; ++i)
      points.push_back(
          Point{std::uniform_real_distribution<double>(0, limit)(random),
                bks * (1 + std::exponential_distribution<double>(1 + trial % 3)(random)),
                std::uniform_int_distribution<int>(1, 9)(random)});
    if (trial % 7 == 0) points.back().distance = bks; // reaches it exactly
    if (trial % 11 == 0) points.back().time = limit;  // at the limit: it counts
    std::vector<Point> steps = incumbents(points);
    RunFigures f = figures_of(steps, limit, bks, {1});
    ASSERT_TRUE(f.final_value && f.primal_gap_mean);
    double last = primal_gap(*f.final_value, bks);
    EXPECT_GE(*f.primal_gap_mean, last * (1 - 1e-12)) << trial;
    EXPECT_LE(*f.primal_gap_mean, 1 + 1e-12) << trial;
    double best = std::min_element(points.begin(), points.end(), [](auto &a, auto &b) {
                    return a.distance < b.distance;
                  })->distance;
    EXPECT_EQ(*f.final_value, best);
  }
}

TEST(ScoreFigures, IncumbentsAndTheirCutToAStaircase) {
  // An equal distance later is no improvement; at one moment the lower
  // distance, then fewer vehicles, comes first; an unverified count last.
  std::vector<Point> steps =
      incumbents({{2, 30, 2}, {1, 30, 3}, {1, 40, 1}, {0.5, 50, -1}, {0.5, 50, 4}, {3, 29, -1}});
  ASSERT_EQ(steps.size(), 3u);
  EXPECT_EQ(steps[0].vehicles, 4);
  EXPECT_EQ(steps[1].time, 1);
  EXPECT_EQ(steps[1].distance, 30); // 40 came at the same moment: never an incumbent
  EXPECT_EQ(steps[1].vehicles, 3);  // the later 30 with 2 vehicles is no improvement
  EXPECT_EQ(steps[2].distance, 29);
  // A run's list, cut as it grows, keeps the staircase it would have whole.
  std::mt19937 random(3);
  RunTally tally;
  std::vector<Point> all;
  for (int i = 0; i < 20000; ++i) {
    Point p{double(random() % 5000), double(1000 + random() % 3000 - i / 10), int(random() % 4)};
    all.push_back(p);
    add_feasible(tally, p);
  }
  EXPECT_LT(tally.feasible.size(), 2000u);
  std::vector<Point> whole = incumbents(all), cut = incumbents(tally.feasible);
  ASSERT_EQ(whole.size(), cut.size());
  for (size_t i = 0; i < whole.size(); ++i)
    EXPECT_TRUE(!point_before(whole[i], cut[i]) && !point_before(cut[i], whole[i])) << i;
}

TEST(ScoreFigures, ReferencesAtZeroAndOppositeSigns) {
  EXPECT_EQ(primal_gap(0, 0), 0);
  EXPECT_EQ(primal_gap(-1, 2), 1);
  EXPECT_EQ(primal_gap(3, 4), 0.25);
  EXPECT_EQ(gap_percent(0, 0), 0);
  EXPECT_FALSE(gap_percent(1, 0));
  // A solution at time 0 leaves no stretch of gap 1.
  RunFigures f = figures_of({{0, 4, 1}}, 2, 4, {});
  EXPECT_EQ(*f.primal_integral, 0);
}

// ---------------------------------------------------------------------------

std::string varied_timeline() {
  std::string text;
  const char *routes[] = {A, B, SHORT, A_AGAIN};
  for (int k = 0; k < 120; ++k) {
    std::string time = std::to_string(k % 13) + "." + std::to_string(k % 7);
    text += line(k % 5 == 0 ? "THREE" : "three", "s" + std::to_string(k % 3), k % 4, time,
                 routes[(k * 7) % 4], k % 6 == 0 ? ", \"cost\": 30" : "");
  }
  return text;
}

TEST(ScoreOrder, NeitherTheLinesOrderNorTheThreadsMatter) {
  std::string text = varied_timeline();
  Scored first;
  first.settings.jobs = 1;
  first.bks("instance,vehicles,cost\nthree,2,29\n").timeline(text).go();
  std::string expected = first.output(OutputFormat::jsonl) + first.output(OutputFormat::csv);
  EXPECT_NE(expected.find("\"instance\":\"THREE\""), std::string::npos); // the least spelling

  std::vector<std::string> lines;
  for (size_t at = 0, end; at < text.size(); at = end + 1)
    lines.push_back(text.substr(at, (end = text.find('\n', at)) - at + 1));
  std::mt19937 random(7);
  for (unsigned jobs : {1u, 2u, 4u}) {
    std::shuffle(lines.begin(), lines.end(), random);
    size_t half = lines.size() / 2;
    Scored s;
    s.settings.jobs = jobs;
    s.bks("instance,vehicles,cost\nthree,2,29\n");
    // In two timelines, the second with CR LF line ends and blank lines.
    std::string one, two;
    for (size_t i = 0; i < lines.size(); ++i) {
      std::string l = lines[i];
      if (i >= half) l.insert(l.size() - 1, "\r"), l += "\n";
      (i < half ? one : two) += l;
    }
    s.timeline(one, "one.jsonl").timeline(two, "two.jsonl").go();
    EXPECT_EQ(s.output(OutputFormat::jsonl) + s.output(OutputFormat::csv), expected)
        << jobs << " threads";
    EXPECT_EQ(s.run->read.bad.count, 0);
  }
}

TEST(ScoreJudging, AnInfeasibleSolutionIsNeverTheIncumbent) {
  Scored s;
  s.bks("instance,vehicles,cost\nthree,2,30\n");
  // Shorter than any feasible one, first and last; the feasible one between.
  s.timeline(line("three", "s", 1, "1", SHORT) + line("three", "s", 1, "2", B) +
             line("three", "s", 1, "9", "[[3], [1]]"))
      .go();
  const ScoredRun &r = s.of("three", "s", 1);
  EXPECT_EQ(r.tally.infeasible, 2);
  EXPECT_EQ(*r.figures.final_value, 40);
  EXPECT_EQ(*r.figures.final_vehicles, 3);
  EXPECT_EQ(*r.figures.time_to_first, 2);
  EXPECT_FALSE(r.figures.beats_bks.value());
  ASSERT_TRUE(r.tally.first_violation);
  EXPECT_EQ(r.tally.first_violation->time, 1); // the earliest infeasible solution's
  EXPECT_EQ(r.tally.first_violation->kind, "not_visited");
  EXPECT_EQ(r.tally.first_violation->node, 3);
}

TEST(ScoreJudging, ClaimedCostsAgainstTheInstancesConvention) {
  Scored s;
  // four is judged truncated: [4] is 2.8 there, 2.828... exact.
  s.bks("instance,vehicles,cost,convention\nfour,1,2.8,truncated\nthree,2,30,\n");
  s.folder.write("solutions/right.sol", "Route #1: 1 2\nRoute #2: 3\nCost 30\n");
  s.folder.write("solutions/wrong.sol", "Route #1: 1 2\nRoute #2: 3\nCost 33\n");
  std::string four_routes = "[[1, 2], [3], [4]]"; // 30 + 2.8 truncated, 32.828427 exact
  struct Claim {
    const char *cost;
    bool off;
  } claims[] = {{"30", false},  {"30.4", true}, {"30.004", false}, {"29.6", true},
                {"3e1", false}, {"31", true},   {"30.49", true},   {"2.9e1", true}};
  std::string text;
  for (const Claim &c : claims)
    text +=
        line("three", std::string("c") + c.cost, 1, "1", A, std::string(", \"cost\": ") + c.cost);
  text += line("three", "infeasible-off", 1, "1", SHORT, ", \"cost\": 30"); // 20 there
  text += line("four", "exact-claim", 1, "1", four_routes, ", \"cost\": 32.83");
  text += line("four", "truncated-claim", 1, "1", four_routes, ", \"cost\": 32.8");
  text += "{\"instance\": \"three\", \"solver\": \"file-right\", \"time\": 1, \"solution\": "
          "\"../solutions/right.sol\"}\n";
  text += "{\"instance\": \"three\", \"solver\": \"file-wrong\", \"time\": 1, \"solution\": "
          "\"../solutions/wrong.sol\"}\n";
  text += "{\"instance\": \"three\", \"solver\": \"file-overruled\", \"time\": 1, \"solution\": "
          "\"../solutions/wrong.sol\", \"cost\": 30}\n";
  s.timeline(text, "lines/t.jsonl").go();
  for (const Claim &c : claims)
    EXPECT_EQ(s.of("three", std::string("c") + c.cost, 1).tally.claimed_cost_off, c.off ? 1 : 0)
        << c.cost;
  EXPECT_EQ(s.of("three", "infeasible-off", 1).tally.claimed_cost_off, 1);
  EXPECT_EQ(s.of("four", "exact-claim", 1).tally.claimed_cost_off, 1);
  EXPECT_EQ(s.of("four", "truncated-claim", 1).tally.claimed_cost_off, 0);
  expect_near(*s.of("four", "truncated-claim", 1).figures.final_value, 32.8, "truncated");
  EXPECT_EQ(s.of("four", "truncated-claim", 1).convention, Convention::truncated);
  EXPECT_EQ(s.of("three", "c30", 1).convention, Convention::exact); // the empty cell falls through
  // A route list's own Cost line is its claim; the routes stay feasible.
  for (const char *solver : {"file-right", "file-wrong", "file-overruled"}) {
    const ScoredRun &r = s.of("three", solver, 1);
    EXPECT_EQ(r.tally.infeasible, 0) << solver;
    EXPECT_EQ(r.tally.claimed_cost_off, std::string(solver) == "file-wrong" ? 1 : 0) << solver;
    EXPECT_EQ(*r.figures.final_value, 30) << solver;
  }
  EXPECT_EQ(s.run->read.bad.count, 0);
}

TEST(ScoreJudging, UnverifiedCostsOnlyWhenAsked) {
  std::string text =
      "{\"instance\": \"three\", \"solver\": \"u\", \"time\": 1, \"cost\": 35}\n" +
      line("three", "u", 1, "2", B) +
      "{\"instance\": \"elsewhere\", \"solver\": \"u\", \"time\": 3, \"cost\": 9}\n" +
      "{\"instance\": \"three\", \"solver\": \"u\", \"time\": 4}\n";
  Scored refused;
  refused.bks("instance,vehicles,cost\nthree,2,30\nelsewhere,1,8\n").timeline(text).go();
  ASSERT_EQ(refused.run->read.bad.count, 3);
  EXPECT_EQ(refused.run->read.bad.first[0].line, 1);
  EXPECT_NE(refused.run->read.bad.first[0].problem.find("--unverified"), std::string::npos);
  EXPECT_EQ(*refused.of("three", "u", 1).figures.final_value, 40);
  EXPECT_EQ(scoring_status(*refused.run), 2);

  Scored taken;
  taken.settings.unverified = true;
  taken.bks("instance,vehicles,cost\nthree,2,30\nelsewhere,1,8\n").timeline(text).go();
  ASSERT_EQ(taken.run->read.bad.count, 1); // no cost to take
  EXPECT_EQ(taken.run->read.bad.first[0].line, 4);
  const ScoredRun &r = taken.of("three", "u", 1);
  EXPECT_EQ(r.tally.unverified, 1);
  EXPECT_EQ(*r.figures.final_value, 35); // taken as it is: the later 40 is no better
  EXPECT_EQ(*r.figures.time_to_first, 1);
  EXPECT_FALSE(r.figures.final_vehicles);
  // No instance file is needed for costs taken as they are.
  const ScoredRun &e = taken.of("elsewhere", "u", 1);
  EXPECT_TRUE(e.scored());
  EXPECT_EQ(*e.figures.final_value, 9);
  EXPECT_NE(taken.output(OutputFormat::csv).find("elsewhere,u,1,1,0,0,0,1,8,9,,12.5,3,"),
            std::string::npos);
}

TEST(ScoreJudging, BadLinesNameTheirPlaceAndTheRestStillCounts) {
  Scored s;
  s.settings.jobs = 3;
  std::string good = line("three", "s", 1, "1", A);
  std::string text = "\xEF\xBB\xBF" + good + "   \n" +                 // a mark, a blank line
                     "{\"instance\": \"three\"\n" +                    // line 3
                     good + "not json\n" +                             // line 5
                     line("three", "s", 1, "2", "[[1, 2], [3, 99]]") + // judged: out of range
                     "{\"instance\": \"three\", \"solver\": \"s\", \"time\": 1, \"solution\": "
                     "\"missing.sol\"}\n" + // line 7
                     "{\"instance\": \"three\", \"solver\": \"s\", \"time\": 1, \"solution\": "
                     "\"empty.sol\"}\n"; // line 8: judged, a solution of no routes
  s.folder.write("empty.sol", "");
  std::string many;
  for (int k = 0; k < 150; ++k) many += "{}\n";
  s.timeline(text, "a.jsonl").timeline(many, "b.jsonl").go();
  const BadLines &bad = s.run->read.bad;
  EXPECT_EQ(bad.count, 153);
  ASSERT_EQ(bad.first.size(), BAD_LINES_SHOWN); // the first hundred, in order
  EXPECT_EQ(bad.first[0].timeline, 0u);
  EXPECT_EQ(bad.first[0].line, 3);
  EXPECT_EQ(bad.first[1].line, 5);
  EXPECT_EQ(bad.first[2].line, 7);
  EXPECT_NE(bad.first[2].problem.find("missing.sol"), std::string::npos);
  EXPECT_EQ(bad.first[3].timeline, 1u);
  EXPECT_EQ(bad.first[3].line, 1);
  EXPECT_EQ(bad.first[99].line, 97);
  const ScoredRun &r = s.of("three", "s", 1);
  EXPECT_EQ(r.tally.solutions, 4);
  EXPECT_EQ(r.tally.infeasible, 2);
  EXPECT_EQ(r.tally.first_violation->kind, "no_routes"); // at time 1, before the other
  EXPECT_EQ(*r.figures.final_value, 30);
  ASSERT_EQ(s.run->notes.size(), 1u);
  EXPECT_NE(s.run->notes[0].find("byte-order mark"), std::string::npos) << s.run->notes[0];
  EXPECT_EQ(scoring_status(*s.run), 2);
}

TEST(ScoreJudging, RunsThatCannotBeScored) {
  Scored s;
  s.settings.time_limit.reset();
  std::string limits =
      s.folder.write("limits.csv", "time_limit,instance\n20,Three\n5,twin\n7,nowhere\n");
  s.settings.time_limits = limits.c_str();
  s.folder.write("instances/a/twin.txt", instance_text("twin", 3));
  s.folder.write("instances/b/TWIN.vrp", instance_text("twin", 3));
  s.folder.write("instances/broken.txt", "broken\n");
  s.timeline(line("three", "s", 1, "20", A) + line("four", "s", 1, "1", A) +
             line("twin", "s", 1, "1", A) + line("nowhere", "s", 1, "1", A))
      .go();
  const ScoredRun &three = s.of("three", "s", 1);
  EXPECT_TRUE(three.scored());
  EXPECT_EQ(*three.limit, 20);
  EXPECT_EQ(three.tally.after_limit, 0); // at the limit still counts
  EXPECT_EQ(*three.figures.primal_integral, 20);
  EXPECT_NE(s.of("four", "s", 1).tally.error.find("no time limit"), std::string::npos);
  const std::string &twin = s.of("twin", "s", 1).tally.error;
  EXPECT_NE(twin.find("a/twin.txt"), std::string::npos) << twin;
  EXPECT_NE(twin.find("b/TWIN.vrp"), std::string::npos) << twin;
  EXPECT_NE(s.of("nowhere", "s", 1).tally.error.find("no nowhere.txt or nowhere.vrp"),
            std::string::npos);
  EXPECT_EQ(scoring_status(*s.run), 2);
  std::string csv = s.output(OutputFormat::csv);
  EXPECT_NE(csv.find("\r\nfour,s,1,1" + std::string(14, ',') + "\r\n"), std::string::npos) << csv;
  EXPECT_NE(s.output(OutputFormat::jsonl).find("\"error\":\"instance four: no time limit\""),
            std::string::npos);
}

TEST(ScoreJudging, EachInstanceIsReadOnce) {
  Scored s;
  s.settings.jobs = 4;
  std::string text;
  for (int k = 0; k < 3000; ++k)
    text +=
        line(k % 2 ? "three" : "FOUR", "s" + std::to_string(k % 5), 1, std::to_string(k % 10), A);
  s.timeline(text).go();
  EXPECT_EQ(s.run->catalog.reads.load(), 2);
  EXPECT_EQ(s.run->read.lines, 3000);
  EXPECT_EQ(s.run->scores.runs.size(), 10u);
}

TEST(ScorePage, IsSelfContainedAndEscapesNames) {
  Scored s;
  s.timeline(line("three", "<b>&\\\"s\\\"", 1, "0.01", B) +
             line("three", "<b>&\\\"s\\\"", 1, "3", A) + line("three", "t", 1, "2", A) +
             line("three", "t", 2, "5", B))
      .go();
  char *text = nullptr;
  size_t size = 0;
  std::FILE *out = open_memstream(&text, &size);
  write_page(s.run->scores, s.run->comparison, PageFacts{{"t.jsonl"}, 4, 0}, 2, out);
  std::fclose(out);
  std::string page(text, size);
  std::free(text);
  EXPECT_EQ(page.find("<b>&"), std::string::npos);
  EXPECT_NE(page.find("&lt;b&gt;&amp;&quot;s&quot;"), std::string::npos);
  EXPECT_EQ(page.find("src="), std::string::npos); // nothing fetched
  EXPECT_EQ(page.find("href="), std::string::npos);
  EXPECT_EQ(page.find("<script"), std::string::npos);
  size_t svgs = 0;
  for (size_t at = 0; (at = page.find("<svg", at)) != std::string::npos; ++at) ++svgs;
  EXPECT_EQ(svgs, 3u); // the two profiles and the one instance
}

} // namespace
