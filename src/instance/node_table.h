// The node table's record and the travel distance: the depot at index 0,
// customers 1 to n.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "../numeric.h"

struct Customer {
  int32_t x, y;
  int32_t demand;
  int32_t ready;   // service cannot begin earlier
  int32_t due;     // service must begin no later; for the depot, the closing time
  int32_t service; // duration of the service
};

// The checker's table: node numbers 0 to MAX_N - 1, at most MAX_N node lines.
constexpr int MAX_N = 10000;

// A node line whose number lies beyond the report's table so far: it is
// placed, or refused, once the number of node lines is known.
struct PendingNode {
  int32_t node;
  Customer values;
  int64_t line;        // in the file, for the message
  std::string written; // the number as written, where it lies beyond 32 bits
};

// Euclidean distance between two nodes, which is also the travel time.
inline ext distance(const Customer &a, const Customer &b) {
  return ext_hypot(int64_t{a.x} - b.x, int64_t{a.y} - b.y);
}

// The same distance cut to one decimal, as a whole number of tenths: the
// convention of the large VRPTW benchmark instances, exact in integers.
int64_t distance_tenths(const Customer &a, const Customer &b);

// The same distance rounded to the nearest integer, half up, as TSPLIB's
// nint: the convention of the capacitated VRP's benchmark costs, exact in
// integers.
int64_t distance_rounded(const Customer &a, const Customer &b);

// Coordinates written with decimals (VRPLIB), held exactly: node i stands at
// (x[i], y[i]) / 10^decimals, with one number of decimals for the whole
// instance, the most any coordinate has; every coordinate lies within
// +-10^6. exact_x and exact_y hold each coordinate correctly rounded to
// extended precision, once. Empty when the coordinates are whole numbers,
// which the node table holds itself.
struct DecimalPlaces {
  int decimals = 0;
  int64_t unit = 1; // 10^decimals
  std::vector<int64_t> x, y;
  std::vector<ext> exact_x, exact_y;
};

// The leg between nodes a and b in each convention: in extended precision
// from the rounded coordinates; cut to tenths; rounded to an integer, half up.
// Both cut and rounded legs are exact, from the integer square of the length.
ext decimal_distance(const DecimalPlaces &p, int64_t a, int64_t b);
int64_t decimal_distance_tenths(const DecimalPlaces &p, int64_t a, int64_t b);
int64_t decimal_distance_rounded(const DecimalPlaces &p, int64_t a, int64_t b);

// Leg lengths given by the instance itself (VRPLIB's EXPLICIT weights), in
// each convention, row by row: the leg from i to j is entry i * size + j.
// Empty when lengths come from coordinates. A matrix of whole numbers (the
// travel times of Sartori & Buriol's road networks, up to 5001 rows) is held
// once, in `whole`, as every convention reads it alike; the others are then
// empty.
struct Weights {
  int64_t size = 0;
  std::vector<ext> exact;
  std::vector<int64_t> tenths, rounded;
  std::vector<int32_t> whole;
};
