// judge() against its limit, the bare walk: a loop over the same routes, in
// the same process, that sums each arc's Euclidean distance in extended
// precision and checks each stop's load and time window, recording nothing.
// Rounds alternate the bare walk and judge(instance, routes), so that a load
// that comes and goes hits both alike; report() on the files' bytes is timed
// after them.
//
//   model INSTANCE SOLUTION [ROUNDS]
//
// SOLUTION is a plain list of routes, or in fleetjudge's format (its header
// skipped). Prints each median in microseconds and judge()'s ratio to the
// bare walk.
#include <fleetjudge/fleetjudge.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string slurp(const char *path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// Every line of customer numbers only is a route; a fleetjudge header's
// total (a decimal) makes its line no route, and a count alone is skipped.
std::vector<fleetjudge::Route> routes_of(const std::string &text) {
  std::vector<fleetjudge::Route> routes;
  std::istringstream lines(text);
  std::string line;
  bool first = true;
  while (std::getline(lines, line)) {
    if (line.find_first_not_of(" \t\r") == std::string::npos) continue;
    bool whole = line.find_first_not_of("0123456789 \t\r") == std::string::npos;
    bool header = first && line.find_first_of(" \t") == std::string::npos;
    first = false;
    if (!whole || header) continue;
    std::istringstream numbers(line);
    fleetjudge::Route route;
    for (int c; numbers >> c;) route.push_back(c);
    routes.push_back(route);
  }
  return routes;
}

struct Walk {
  std::vector<long double> x, y;
  std::vector<int> demand, ready, due, service;
  double capacity;
};

// The least any judge does: every arc, every load, every window, once.
int bare_walk(const Walk &w, const std::vector<fleetjudge::Route> &routes, long double &total) {
  int faults = 0;
  for (const fleetjudge::Route &route : routes) {
    long double time = 0;
    double load = 0;
    size_t at = 0;
    for (int c : route) {
      long double dx = w.x[c] - w.x[at], dy = w.y[c] - w.y[at];
      long double leg = sqrtl(dx * dx + dy * dy);
      total += leg;
      time = std::max(time + leg, static_cast<long double>(w.ready[c]));
      faults += time > w.due[c];
      time += w.service[c];
      load += w.demand[c];
      at = static_cast<size_t>(c);
    }
    long double dx = w.x[0] - w.x[at], dy = w.y[0] - w.y[at];
    total += sqrtl(dx * dx + dy * dy);
    faults += load > w.capacity;
  }
  return faults;
}

template <class F> double micros(F &&f) {
  auto start = std::chrono::steady_clock::now();
  f();
  return std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
      .count();
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

} // namespace

int main(int argc, char **argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: model INSTANCE SOLUTION [ROUNDS]\n");
    return 2;
  }
  int rounds = argc > 3 ? std::atoi(argv[3]) : 41;
  std::string instance_bytes = slurp(argv[1]), solution_bytes = slurp(argv[2]);
  fleetjudge::Instance instance = fleetjudge::Instance::read(instance_bytes, {}, argv[1]);
  std::vector<fleetjudge::Route> routes = routes_of(solution_bytes);
  Walk w;
  w.capacity = instance.capacity();
  for (int64_t i = 0; i <= instance.customers(); ++i) {
    fleetjudge::Node n = instance.node(i);
    w.x.push_back(n.x);
    w.y.push_back(n.y);
    w.demand.push_back(n.demand);
    w.ready.push_back(n.ready);
    w.due.push_back(n.due);
    w.service.push_back(n.service);
  }
  std::vector<double> walk, judged, reported;
  long double sink = 0;
  int faults = 0, status = -1;
  for (int r = 0; r < rounds; ++r) {
    walk.push_back(micros([&] { faults += bare_walk(w, routes, sink); }));
    judged.push_back(micros([&] { status = fleetjudge::judge(instance, routes).status; }));
  }
  // Apart: the memory report() takes and gives back would slow the others.
  for (int r = 0; r < rounds; ++r)
    reported.push_back(micros([&] { fleetjudge::report(instance_bytes, solution_bytes); }));
  double a = median(walk), b = median(judged), c = median(reported);
  std::printf("%zu routes, status %d, bare-walk faults %d (total %.2Lf)\n", routes.size(), status,
              faults / rounds, sink / rounds);
  std::printf("bare walk %.1f us, judge %.1f us (%.1fx), report() %.1f us (%.0fx)\n", a, b, b / a,
              c, c / a);
  return 0;
}
