// The rows on standard output: an aligned table with a line of totals, CSV,
// a markdown table, or one JSON document a line.
#pragma once

#include <cstdint>
#include <cstdio>

#include "pairs.h"
#include "row.h"
#include "settings.h"

struct Writer {
  OutputFormat format;
  bool bks;                  // the best-known solutions' columns
  size_t name_width[2] = {}; // the table's instance and solution columns
};

struct Totals {
  int64_t pairs = 0, feasible = 0, violations = 0, not_judged = 0;
  int64_t vehicles = 0, truncated_tenths = 0, rounded = 0;
  double distance = 0; // summed in pair order, so the same for any number of threads
  int64_t unpaired_instances = 0;
};

// The table's name columns are as wide as the widest name.
Writer make_writer(const Settings &settings, const PairList &list);
void write_head(const Writer &w, std::FILE *out);
void write_row(const Writer &w, const Row &row, std::FILE *out);
void add_row(Totals &totals, const Row &row);
void write_totals(const Writer &w, const Totals &totals, std::FILE *out); // the table's last line

// A name or message as a terminal or a markdown reader may show it: control
// bytes and bytes that are not UTF-8 as \xNN; `width` gets the characters shown.
std::string shown(const std::string &bytes, size_t *width = nullptr);
