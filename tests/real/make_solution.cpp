// Test oracle for the real benchmark data: turns a published route list into
// a solution file for the checker and predicts the checker's first finding.
//
//   make_solution <instance, LF line ends> <routes> [nudge]
//
// Writes the route count, the declared total (the sum of the route durations
// from time 0 at the depot to the return, waiting and service included,
// computed in extended precision, plus `nudge`) and the routes to stdout.
// Writes to stderr the first violation a vehicle meets, found by this
// independent simulation: "late <route> <node> <due>", "depot <route> <node>
// <due>", "capacity <route> <node>", or "feasible".
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

struct Node {
  long long x, y, demand, ready, due, service;
};

int main(int argc, char **argv) {
  if (argc < 3) return 2;
  std::ifstream instance(argv[1]), routes(argv[2]);
  long double nudge = argc > 3 ? std::strtold(argv[3], nullptr) : 0;
  std::vector<Node> nodes;
  double capacity = -1;
  for (std::string text; std::getline(instance, text);) {
    std::istringstream fields(text);
    std::vector<long long> v;
    for (long long x; fields >> x;) v.push_back(x);
    if (v.size() == 2 && capacity < 0) capacity = static_cast<double>(v[1]);
    if (v.size() >= 7) {
      if (nodes.size() <= static_cast<size_t>(v[0])) nodes.resize(v[0] + 1);
      nodes[v[0]] = {v[1], v[2], v[3], v[4], v[5], v[6]};
    }
  }
  auto dist = [&](size_t a, size_t b) {
    long double dx = nodes[a].x - nodes[b].x, dy = nodes[a].y - nodes[b].y;
    return std::sqrt(dx * dx + dy * dy);
  };
  std::vector<std::vector<size_t>> tours;
  for (std::string text; std::getline(routes, text);) {
    std::istringstream fields(text);
    tours.emplace_back();
    for (size_t c; fields >> c;) tours.back().push_back(c);
    if (tours.back().empty()) tours.pop_back();
  }
  long double total = 0;
  std::string finding;
  for (size_t r = 0; r < tours.size(); ++r) {
    long double clock = 0;
    double load = capacity;
    size_t at = 0;
    for (size_t c : tours[r]) {
      load -= nodes[c].demand;
      clock = std::max<long double>(clock + dist(at, c), nodes[c].ready);
      if (finding.empty() && load < 0)
        finding = "capacity " + std::to_string(r + 1) + " " + std::to_string(c);
      if (finding.empty() && clock > nodes[c].due)
        finding = "late " + std::to_string(r + 1) + " " + std::to_string(c) + " " +
                  std::to_string(nodes[c].due);
      clock += nodes[c].service;
      at = c;
    }
    clock += dist(at, 0);
    if (finding.empty() && clock > nodes[0].due)
      finding = "depot " + std::to_string(r + 1) + " " + std::to_string(at) + " " +
                std::to_string(nodes[0].due);
    total += clock;
  }
  std::printf("%zu %.21Lg\n", tours.size(), total + nudge);
  for (auto &tour : tours) {
    for (size_t c : tour) std::printf("%zu ", c);
    std::printf("\n");
  }
  std::cerr << (finding.empty() ? "feasible" : finding) << "\n";
}
