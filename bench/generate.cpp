// Writes the benchmark inputs for fleetjudge at its input limits.
//
//   generate OUTDIR
//
// OUTDIR/instance.txt  10000 node lines: depot 0 and customers 1..9999, integer
//                      coordinates, wide time windows (some customers open late,
//                      so vehicles wait), demands >= 1, a capacity no route reaches.
// OUTDIR/a.sol         every customer served once over 300 routes; the declared
//                      total is the exact sum of the route durations.
// OUTDIR/b.sol         about 1 GB: 9999 routes of one customer each, every route
//                      line padded to 99990 characters with an ignored tail that
//                      starts with "x", a blank line after every route.
// OUTDIR/b-1m-short.sol  the routes of b.sol with 100-character lines: about 1 MB.
// OUTDIR/b-1m-long.sol   10 routes of about 1000 customers each, lines padded to
//                      99990 characters like b.sol's: about 1 MB.
// OUTDIR/c.sol         "-1": a claim that the instance is infeasible.
//
// A route's duration starts at time 0 at the depot: travel to each customer,
// wait until its ready time if early, serve it, and finally drive back to the
// depot. Distances are Euclidean, computed and summed in long double, and the
// total is printed with "%.21Lg". All output is deterministic (fixed seed).

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kNodes = 10000; // node lines: depot 0 and customers 1..9999
constexpr int kCustomers = kNodes - 1;
constexpr int kRoutesA = 300; // routes of the largest valid solution
constexpr int kDepotClose = 1000000000;
constexpr int kCapacity = 1000000;       // far above any route's load
constexpr std::size_t kLongLine = 99990; // b.sol: characters per route line
constexpr std::size_t kShortLine = 100;  // b-1m-short.sol: characters per route line

struct Node {
  int x, y, demand, ready, due, service;
};

std::vector<Node> nodes;

long double distance(int a, int b) {
  long double dx = static_cast<long double>(int64_t{nodes[a].x} - nodes[b].x);
  long double dy = static_cast<long double>(int64_t{nodes[a].y} - nodes[b].y);
  return std::sqrt(dx * dx + dy * dy);
}

// Duration of one route from the depot at time 0 back to the depot.
long double route_duration(const std::vector<int> &route) {
  long double t = 0;
  int previous = 0;
  for (int c : route) {
    t += distance(previous, c);
    if (t < nodes[c].ready) t = nodes[c].ready;
    t += nodes[c].service;
    previous = c;
  }
  return t + distance(previous, 0);
}

FILE *open_out(const std::string &path) {
  FILE *f = std::fopen(path.c_str(), "w");
  if (f == nullptr) {
    std::perror(path.c_str());
    std::exit(2);
  }
  static std::vector<char> buffer(1 << 20);
  std::setvbuf(f, buffer.data(), _IOFBF, buffer.size());
  return f;
}

void close_out(FILE *f, const std::string &path) {
  if (std::ferror(f) || std::fclose(f) != 0) {
    std::perror(path.c_str());
    std::exit(2);
  }
}

void write_instance(const std::string &path) {
  FILE *f = open_out(path);
  std::fprintf(f, "bench10000\n\nVEHICLE\nNUMBER     CAPACITY\n  %d     %d\n\n", 10000, kCapacity);
  std::fprintf(f, "CUSTOMER\nCUST NO.  XCOORD.  YCOORD.  DEMAND  READY TIME  DUE DATE  "
                  "SERVICE TIME\n\n");
  for (int i = 0; i < kNodes; ++i) {
    const Node &v = nodes[i];
    std::fprintf(f, "%5d %6d %6d %4d %8d %10d %4d\n", i, v.x, v.y, v.demand, v.ready, v.due,
                 v.service);
  }
  close_out(f, path);
}

// Writes a solution whose route lines are `line_length` characters long: the
// customers, then " x" and a filler holding digits, words and tabs that the
// checker must skip. Each route line is followed by a blank line.
void write_padded(const std::string &path, const std::vector<std::vector<int>> &routes,
                  long double total, std::size_t line_length) {
  static const std::string filler = " 12345 ignored\ttail 678 text";
  static std::string pattern; // filler repeated: pattern[j] == filler[j % filler.size()]
  while (pattern.size() < kLongLine + filler.size()) pattern += filler;
  FILE *f = open_out(path);
  std::fprintf(f, "%zu %.21Lg\n", routes.size(), total);
  std::string text;
  for (const auto &route : routes) {
    text.clear();
    for (std::size_t k = 0; k < route.size(); ++k) {
      if (k) text += ' ';
      text += std::to_string(route[k]);
    }
    text += " x";
    if (text.size() < line_length)
      text.append(pattern, text.size() % filler.size(), line_length - text.size());
    if (text.size() > line_length) {
      std::fprintf(stderr, "%s: a route does not fit in %zu characters\n", path.c_str(),
                   line_length);
      std::exit(2);
    }
    text += "\n\n";
    std::fwrite(text.data(), 1, text.size(), f);
  }
  close_out(f, path);
}

} // namespace

int main(int argc, char **argv) {
  if (argc != 2) {
    std::fputs("usage: generate OUTDIR\n", stderr);
    return 2;
  }
  const std::string dir = argv[1];
  std::mt19937 rng(20240601u);
  auto pick = [&](int lo, int hi) { // uniform enough for test data, and portable
    return lo + static_cast<int>(rng() % static_cast<uint32_t>(hi - lo + 1));
  };

  nodes.resize(kNodes);
  nodes[0] = Node{0, 0, 0, 0, kDepotClose, 0};
  for (int i = 1; i < kNodes; ++i) {
    Node &v = nodes[i];
    v.x = pick(-5000, 5000);
    v.y = pick(-5000, 5000);
    v.demand = pick(1, 50);
    v.ready = pick(0, 3) == 0 ? pick(1, 20000) : 0; // a quarter open late
    v.due = kDepotClose;
    v.service = pick(0, 30);
  }
  write_instance(dir + "/instance.txt");

  // (a) a random order of all customers cut into 300 routes of 33 or 34.
  std::vector<int> order(kCustomers);
  for (int i = 0; i < kCustomers; ++i) order[i] = i + 1;
  for (int i = kCustomers - 1; i > 0; --i) std::swap(order[i], order[pick(0, i)]);
  std::vector<std::vector<int>> routes_a(kRoutesA);
  for (int i = 0; i < kCustomers; ++i)
    routes_a[static_cast<std::size_t>(i) * kRoutesA / kCustomers].push_back(order[i]);
  long double total_a = 0;
  for (const auto &r : routes_a) total_a += route_duration(r);
  {
    const std::string path = dir + "/a.sol";
    FILE *f = open_out(path);
    std::fprintf(f, "%d %.21Lg\n", kRoutesA, total_a);
    for (const auto &r : routes_a) {
      for (std::size_t k = 0; k < r.size(); ++k) std::fprintf(f, k ? " %d" : "%d", r[k]);
      std::fputc('\n', f);
    }
    close_out(f, path);
  }

  // (b) one customer per route, in the same random order.
  std::vector<std::vector<int>> routes_b;
  long double total_b = 0;
  for (int c : order) {
    routes_b.push_back({c});
    total_b += route_duration(routes_b.back());
  }
  write_padded(dir + "/b.sol", routes_b, total_b, kLongLine);
  write_padded(dir + "/b-1m-short.sol", routes_b, total_b, kShortLine);

  // The same order cut into 10 routes of about 1000 customers: about 5000
  // characters of customers on each line, then the tail.
  constexpr int kRoutesLong = 10;
  std::vector<std::vector<int>> routes_long(kRoutesLong);
  for (int i = 0; i < kCustomers; ++i)
    routes_long[static_cast<std::size_t>(i) * kRoutesLong / kCustomers].push_back(order[i]);
  long double total_long = 0;
  for (const auto &r : routes_long) total_long += route_duration(r);
  write_padded(dir + "/b-1m-long.sol", routes_long, total_long, kLongLine);

  // (c) a claim of infeasibility.
  {
    const std::string path = dir + "/c.sol";
    FILE *f = open_out(path);
    std::fputs("-1\n", f);
    close_out(f, path);
  }
  return 0;
}
