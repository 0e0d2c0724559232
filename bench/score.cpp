// fleetjudge-score's timelines and its reference: solutions of the
// 100-customer Solomon instances, made from their published routes (as they
// are, with two customers of a route swapped, with a route split, or with a
// customer left out), the same ones every time.
//
//   score generate DATA_DIR N    N timeline lines on standard output
//   score library DATA_DIR N     the same N solutions judged by the library
//                                alone: each instance read once, the routes
//                                in memory, no JSON; prints the seconds
//
// DATA_DIR holds instances/NAME.txt and routes/NAME.routes.
#include <fleetjudge/fleetjudge.h>

#include <dirent.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Routes = std::vector<fleetjudge::Route>;

struct Published {
  std::string name;
  fleetjudge::Instance instance;
  Routes routes;
};

std::vector<Published> published(const std::string &data) {
  std::vector<std::string> names;
  std::regex solomon("(C|R|RC)[12][0-9][0-9]\\.routes");
  if (DIR *d = opendir((data + "/routes").c_str())) {
    while (dirent *e = readdir(d))
      if (std::regex_match(e->d_name, solomon)) names.push_back(e->d_name);
    closedir(d);
  }
  std::sort(names.begin(), names.end());
  std::vector<Published> all;
  for (const std::string &file : names) {
    std::string name = file.substr(0, file.size() - 7);
    std::ifstream in(data + "/routes/" + file);
    Routes routes;
    for (std::string line; std::getline(in, line);) {
      std::istringstream numbers(line);
      fleetjudge::Route route;
      for (int c; numbers >> c;) route.push_back(c);
      if (!route.empty()) routes.push_back(route);
    }
    all.push_back({name, fleetjudge::Instance::load(data + "/instances/" + name + ".txt"), routes});
  }
  return all;
}

struct Solution {
  size_t instance;
  int solver, run;
  double time;
  Routes routes;
};

// The k-th solution: the same for both modes, whatever else they do.
Solution make(std::mt19937_64 &random, const std::vector<Published> &all) {
  Solution s;
  s.instance = random() % all.size();
  s.solver = int(random() % 3);
  s.run = int(random() % 5) + 1;
  s.time = double(random() % 70000) / 1000; // a tenth of them after a 60 s limit
  s.routes = all[s.instance].routes;
  Routes &r = s.routes;
  size_t which = random() % r.size(), kind = random() % 10;
  fleetjudge::Route &route = r[which];
  if (kind < 6 && route.size() >= 2) {
    std::swap(route[random() % route.size()], route[random() % route.size()]);
  } else if (kind == 8 && route.size() >= 2) {
    fleetjudge::Route half(route.begin() + long(route.size() / 2), route.end());
    route.resize(route.size() / 2);
    r.push_back(half);
  } else if (kind == 9) {
    route.erase(route.begin() + long(random() % route.size()));
  }
  return s;
}

double exact_distance(const fleetjudge::Instance &instance, const Routes &routes) {
  long double total = 0;
  for (const fleetjudge::Route &route : routes) {
    int64_t at = 0;
    for (size_t k = 0; k <= route.size(); ++k) {
      int64_t next = k < route.size() ? route[k] : 0;
      fleetjudge::Node a = instance.node(at), b = instance.node(next);
      total += std::sqrt(static_cast<long double>((a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y)));
      at = next;
    }
  }
  return static_cast<double>(total);
}

const char *solvers[] = {"alpha", "beta", "gamma"};

} // namespace

int main(int argc, char **argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: score generate|library DATA_DIR N\n");
    return 2;
  }
  std::string mode = argv[1];
  long n = std::atol(argv[3]);
  std::vector<Published> all = published(argv[2]);
  if (all.empty()) {
    std::fprintf(stderr, "score: no Solomon instances with routes in %s\n", argv[2]);
    return 2;
  }
  std::mt19937_64 random(30);
  if (mode == "generate") {
    std::string line;
    for (long k = 0; k < n; ++k) {
      Solution s = make(random, all);
      char head[160];
      std::snprintf(head, sizeof head,
                    "{\"instance\": \"%s\", \"solver\": \"%s\", \"run\": %d, \"time\": %.3f, "
                    "\"routes\": [",
                    all[s.instance].name.c_str(), solvers[s.solver], s.run, s.time);
      line = head;
      for (size_t r = 0; r < s.routes.size(); ++r) {
        line += r ? "], [" : "[";
        for (size_t c = 0; c < s.routes[r].size(); ++c)
          line += (c ? ", " : "") + std::to_string(s.routes[r][c]);
      }
      char cost[64];
      std::snprintf(cost, sizeof cost, "]], \"cost\": %.2f}\n",
                    exact_distance(all[s.instance].instance, s.routes));
      line += cost;
      std::fwrite(line.data(), 1, line.size(), stdout);
    }
    return std::fflush(stdout) == 0 ? 0 : 2;
  }
  if (mode != "library") return 2;
  std::vector<Solution> solutions;
  for (long k = 0; k < n; ++k) solutions.push_back(make(random, all));
  std::vector<std::string> paths;
  for (const Published &p : all) paths.push_back(std::string(argv[2]) + "/instances/" + p.name + ".txt");
  fleetjudge::ReportOptions options;
  options.convention = "exact";
  auto start = std::chrono::steady_clock::now();
  std::vector<fleetjudge::Instance> instances; // read once each, as the scoring reads them
  for (const std::string &path : paths) instances.push_back(fleetjudge::Instance::load(path));
  long feasible = 0;
  for (const Solution &s : solutions)
    feasible += fleetjudge::judge(instances[s.instance], s.routes, options).summary->decision.feasible;
  double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("%.4f %ld\n", seconds, feasible);
  return 0;
}
