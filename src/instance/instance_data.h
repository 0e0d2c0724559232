// An instance as read: the node table and what the file says of the fleet,
// the windows, the legs and the routes' length. A reader fills it once;
// nothing changes it afterwards, so that any number of runs may judge
// solutions against one instance at once.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "node_table.h"

// The largest length a route may have, exactly: `billionths` of a unit.
// VRPLIB's DISTANCE counts a route's travel and the service times of its
// customers; VEHICLES_MAX_DISTANCE the travel alone.
struct RouteLimit {
  bool set = false;
  bool with_service = false;
  int64_t billionths = 0;
  ext value = 0;   // the nearest extended value, for the figures shown
  std::string key; // as the instance names it
};

// The layouts an instance is read from: fleetjudge's Solomon text, VRPLIB,
// and the two pickup and delivery sets, Li & Lim's and Sartori & Buriol's.
enum class InstanceFormat : uint8_t { solomon, vrplib, lilim, sartori };
constexpr char instance_format_names[][8] = {"solomon", "vrplib", "lilim", "sartori"};
inline const char *instance_format_name(InstanceFormat f) {
  return instance_format_names[static_cast<int>(f)];
}

// In a pickup and delivery instance, every customer is one task of a
// request: its pickup, where the load rises by the demand, or its delivery,
// where it falls by as much. The same vehicle serves both, the pickup first.
enum class Role : uint8_t { none, pickup, delivery };
struct Task {
  int32_t partner = 0; // the request's other task; 0 for none
  Role role = Role::none;
};

struct InstanceData {
  // The depot at index 0, customers 1 to customer_count. The checker's table
  // has MAX_N records from the start; the report's grows with the node lines
  // read (reader.h).
  std::vector<Customer> customers;
  int64_t customer_count = -1; // index of the last node; -1 while none was read
  double capacity = 0;         // of every vehicle
  int32_t vehicles = 0;        // the fleet; the checker never holds a solution to it
  std::string name;            // the file's first line, or its NAME
  InstanceFormat format = InstanceFormat::solomon; // the checker reads Solomon text only
  bool windows = true;            // the capacitated VRP has none: every window is [0, +inf)
  bool fleet_limited = true;      // a VRPLIB file without VEHICLES leaves the fleet unlimited
  bool coordinates = true;        // the nodes have coordinates, to draw them by
  Weights weights;                // leg lengths given by the instance, if any
  DecimalPlaces decimal_places;   // coordinates with decimals, if any
  RouteLimit route_limit;         // the longest a route may be, if limited
  std::vector<std::string> notes; // how the instance was read, for the report
  bool infeasible = false;        // the screening listed a customer no vehicle can serve
  // Pickup and delivery: each node's task, the depot's none; empty for the
  // problems without requests.
  std::vector<Task> tasks;
  bool pickup_delivery() const { return !tasks.empty(); }
};

// The length of the leg from node a to node b, which is also its travel
// time: as the instance gives it, or from the coordinates, whole or with
// decimals.
inline ext leg(const InstanceData &d, int64_t a, int64_t b) {
  const Weights &w = d.weights;
  // Whole coordinates, the checker's only case, with one test on its way.
  if (__builtin_expect((w.size | d.decimal_places.decimals) == 0, 1))
    return distance(d.customers[a], d.customers[b]);
  if (w.size)
    return w.whole.empty() ? w.exact[a * w.size + b]
                           : static_cast<ext>(int64_t{w.whole[a * w.size + b]});
  return decimal_distance(d.decimal_places, a, b);
}
// In tenths, every leg cut to one decimal.
inline int64_t leg_tenths(const InstanceData &d, int64_t a, int64_t b) {
  const Weights &w = d.weights;
  if (w.size)
    return w.whole.empty() ? w.tenths[a * w.size + b] : int64_t{w.whole[a * w.size + b]} * 10;
  if (d.decimal_places.decimals) return decimal_distance_tenths(d.decimal_places, a, b);
  return distance_tenths(d.customers[a], d.customers[b]);
}
// A leg rounded to the nearest integer, half up, from the same leg cut to
// tenths, t = floor(10 d), exactly: with k = floor(t / 10), a last digit
// t - 10k of at most 4 means d < k + 1/2, and one of at least 5 that
// d >= k + 1/2. So the walk takes one root per leg, not two.
inline int64_t rounded_from_tenths(int64_t tenths) { return (tenths + 5) / 10; }
// Every leg rounded to the nearest integer.
inline int64_t leg_rounded(const InstanceData &d, int64_t a, int64_t b) {
  const Weights &w = d.weights;
  if (w.size) return w.whole.empty() ? w.rounded[a * w.size + b] : w.whole[a * w.size + b];
  if (d.decimal_places.decimals) return decimal_distance_rounded(d.decimal_places, a, b);
  return distance_rounded(d.customers[a], d.customers[b]);
}
