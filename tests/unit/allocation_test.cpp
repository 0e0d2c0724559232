// No reader allocates per line: every allocation of this program is counted
// while the readers read files of ten times as many lines. A program of its
// own, so that the other tests keep the allocator's own checks (a sanitizer's
// for new against free).
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>

#include "instance/reader.h"
#include "instance/vrplib.h"
#include "run.h"
#include "solution/solution.h"

static std::atomic<long> allocations{0};

// Every form of new and delete but the aligned ones, which keep theirs
// (they allocate and free apart from these). Out of line, so that the
// compiler, seeing malloc behind new and free behind delete, takes them for
// the pairs they are.
__attribute__((noinline)) static void *counted(std::size_t size) noexcept {
  allocations.fetch_add(1, std::memory_order_relaxed);
  return std::malloc(size == 0 ? 1 : size);
}
__attribute__((noinline)) void *operator new(std::size_t size) {
  if (void *p = counted(size)) return p;
  throw std::bad_alloc();
}
__attribute__((noinline)) void *operator new[](std::size_t size) { return operator new(size); }
__attribute__((noinline)) void *operator new(std::size_t size, const std::nothrow_t &) noexcept {
  return counted(size);
}
__attribute__((noinline)) void *operator new[](std::size_t size, const std::nothrow_t &) noexcept {
  return counted(size);
}
__attribute__((noinline)) void operator delete(void *p) noexcept { std::free(p); }
__attribute__((noinline)) void operator delete[](void *p) noexcept { std::free(p); }
__attribute__((noinline)) void operator delete(void *p, std::size_t) noexcept { std::free(p); }
__attribute__((noinline)) void operator delete[](void *p, std::size_t) noexcept { std::free(p); }
__attribute__((noinline)) void operator delete(void *p, const std::nothrow_t &) noexcept {
  std::free(p);
}
__attribute__((noinline)) void operator delete[](void *p, const std::nothrow_t &) noexcept {
  std::free(p);
}

namespace {

// A run that takes whatever the rules report and keeps nothing.
struct QuietRun {
  static void nothing(void *, const char *) {}
  static void no_finding(void *, const Finding &) {}
  static void no_end(void *, int) {}
  ::Run run{Consumer{nullptr, nothing, no_finding, nothing, no_end, nullptr, nullptr}, false};
};

std::string vrplib_instance(int customers) {
  std::string text = "NAME : n\nTYPE : VRPTW\nDIMENSION : " + std::to_string(customers + 1) +
                     "\nCAPACITY : 100\nEDGE_WEIGHT_TYPE : EUC_2D\nNODE_COORD_SECTION\n";
  std::string demands = "DEMAND_SECTION\n", windows = "TIME_WINDOW_SECTION\n";
  for (int i = 1; i <= customers + 1; ++i) {
    std::string node = std::to_string(i);
    text += node + " " + std::to_string(i % 97) + " " + std::to_string(i % 89) + "\n";
    demands += node + " " + std::to_string(i % 10) + "\n";
    windows += node + " 0 100000\n";
  }
  return text + demands + windows + "DEPOT_SECTION\n1\n-1\nEOF\n";
}

std::string solomon_instance(int customers) {
  std::string text = "n\n\nVEHICLE\nNUMBER CAPACITY\n 25 200\n\nCUSTOMER\nCUST NO. X Y\n\n";
  for (int i = 0; i <= customers; ++i)
    text += std::to_string(i) + " " + std::to_string(i % 97) + " " + std::to_string(i % 89) +
            " 1 0 100000 10\n";
  return text;
}

// Allocations while reading `instance`, and then `routes` as a plain list.
long allocations_reading(const std::string &instance, const std::string &routes = "") {
  QuietRun quiet;
  ::Run &r = quiet.run;
  InputFile instance_file, routes_file;
  use_memory(instance_file, "instance", "i", instance);
  use_memory(routes_file, "solution", "s", routes);
  bool vrplib = looks_like_vrplib(instance);
  long before = allocations.load();
  if (vrplib)
    read_vrplib(r, instance_file);
  else
    read_instance(r, instance_file);
  EXPECT_FALSE(r.stopped);
  r.visits.assign(r.own_instance.customers.size(), 0);
  if (!routes.empty()) walk_route_list(r, routes_file, SolutionFormat::plain);
  EXPECT_FALSE(r.stopped);
  return allocations.load() - before;
}

// Ten times the lines may cost the few allocations of tables that double as
// they grow, never one per line.
TEST(Reading, NoReaderAllocatesPerLine) {
  long vrplib = allocations_reading(vrplib_instance(300)),
       vrplib_10 = allocations_reading(vrplib_instance(3000));
  EXPECT_LT(vrplib_10 - vrplib, 40) << vrplib << " against " << vrplib_10;
  long solomon = allocations_reading(solomon_instance(300)),
       solomon_10 = allocations_reading(solomon_instance(3000));
  EXPECT_LT(solomon_10 - solomon, 20) << solomon << " against " << solomon_10;
  std::string routes, routes_10;
  for (int i = 1; i <= 3000; ++i) (i <= 300 ? routes : routes_10) += std::to_string(i) + " \n";
  routes_10 = routes + routes_10;
  long walked = allocations_reading(solomon_instance(3000), routes) - solomon_10,
       walked_10 = allocations_reading(solomon_instance(3000), routes_10) - solomon_10;
  EXPECT_LT(walked_10 - walked, 10) << walked << " against " << walked_10;
  std::string head = solomon_instance(3000);
  long before = allocations.load();
  EXPECT_FALSE(looks_like_vrplib(head));
  EXPECT_EQ(allocations.load() - before, 0);
}

} // namespace
