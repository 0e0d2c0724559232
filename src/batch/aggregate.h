// Rows over rows: one per instance over its runs, one per class of
// instances, and the best-known solutions a folder of solutions gives.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "bks.h"
#include "pairs.h"
#include "row.h"
#include "settings.h"
#include "write.h"

// A figure as it goes out: text, a whole number or a real one; `empty` when
// there is none.
struct Value {
  enum Kind { empty, text, whole, real } kind = empty;
  std::string words;
  long long integer = 0;
  double number = 0;
};

struct Summary {
  Sheet sheet; // the fields; the columns chosen
  std::vector<size_t> defaults;
  std::vector<std::vector<Value>> rows;
  std::vector<Value> totals; // empty: none
};

// The rows in the order they came, with the pairs they came from.
// --per-instance, --group, or both; the caption says what the means are over.
Summary summarize(const std::vector<Pair> &pairs, const std::vector<Row> &rows,
                  const Settings &settings, const BksTable &bks);
// In the table, markdown and LaTeX reals have --decimals; elsewhere all
// their digits.
std::vector<std::string> rendered(const std::vector<Value> &values, const Settings &settings);
// The summary as JSON lines, one object a row.
void write_summary_jsonl(const Summary &summary, std::FILE *out);

// instance,vehicles,cost,convention: for each instance the feasible pair
// whose declared cost matches a convention in which it is feasible, best by
// the objective in force (objective.h): lowest declared cost with fewer
// vehicles breaking a tie, or fewest vehicles with the lower cost breaking one.
void write_bks(const std::vector<Pair> &pairs, const std::vector<Row> &rows, Objective asked,
               std::FILE *out);
