// The order people expect of benchmark names: runs of digits compare as
// numbers, so X-n101-k25 comes before X-n1001-k43 and C1_2_1 before C1_10_1.
#pragma once

#include <string>
#include <vector>

#include "pairs.h"

// A strict total order: digit runs by value, other text without regard to
// ASCII case, then the bytes themselves where those tie (007 and 7, a and A).
bool natural_less(const std::string &a, const std::string &b);

// By name, then by the run's place on the command line, then by solution and
// instance path.
void sort_pairs(std::vector<Pair> &pairs);
