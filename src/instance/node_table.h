// The node table: the depot at index 0, customers 1 to n, and the travel
// distance between two nodes.
#pragma once

#include <cstdint>

#include "../numeric.h"

struct Customer {
  int32_t x, y;
  int32_t demand;
  int32_t ready;   // service cannot begin earlier
  int32_t due;     // service must begin no later; for the depot, the closing time
  int32_t service; // duration of the service
  int32_t visits;  // how often the solution's routes reached the node
};

constexpr int MAX_N = 10000;

extern Customer customers[MAX_N];
extern int64_t n;               // index of the last node; -1 while no node line has been read
extern double TCap;             // vehicle capacity
extern char instance_name[256]; // the file's first line, cut to fit
extern int32_t vehicles; // the fleet the instance allows; the checker never holds a solution to it

// Euclidean distance between nodes a and b, which is also the travel time.
ext distance(int64_t a, int64_t b);

// The same distance cut to one decimal, as a whole number of tenths: the
// convention of the large benchmark instances, exact in integers.
int64_t distance_tenths(int64_t a, int64_t b);
