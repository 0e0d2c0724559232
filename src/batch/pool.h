// The pairs judged on a number of threads in one process, the rows handed on
// in pair order whatever the threads' timing.
#pragma once

#include <functional>
#include <vector>

#include "bks.h"
#include "pairs.h"
#include "progress.h"
#include "row.h"
#include "settings.h"

// Calls `deliver` on the calling thread for each row, in pair order; when it
// returns false (the output failed), judging stops. Only a few rows wait
// between the threads and `deliver`, so memory is that of the threads' pairs.
void judge_all(const std::vector<Pair> &pairs, const Settings &settings, const BksTable &bks,
               Progress &progress, const std::function<bool(const Row &)> &deliver);
