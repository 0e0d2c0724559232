// The rows on standard output: an aligned table with a line of totals, CSV,
// a markdown table, a LaTeX tabular, or one JSON document a line.
#pragma once

#include "findings.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "pairs.h"
#include "row.h"
#include "settings.h"

struct Field {
  std::string name;   // in CSV, markdown, LaTeX and --columns
  std::string title;  // in the table
  size_t width = 0;   // in the table
  bool right = false; // a number: right-aligned
};

// The columns rows can have, and those written, in order.
struct Sheet {
  OutputFormat format = OutputFormat::table;
  std::vector<Field> fields;
  std::vector<size_t> chosen;
  std::string caption; // a line above the table, markdown and LaTeX
};

// --columns by name where given, else `defaults`. False, with `problem`, for
// a name the sheet has not, or one named twice.
bool choose_columns(Sheet &sheet, const std::vector<std::string> &wanted,
                    const std::vector<size_t> &defaults, std::string &problem);
void write_head(const Sheet &sheet, std::FILE *out);
// `cells` has one for each of the sheet's fields.
void write_cells(const Sheet &sheet, const std::vector<std::string> &cells, std::FILE *out);
// The totals row (table, markdown, LaTeX), when there is one, and the end.
void write_foot(const Sheet &sheet, const std::vector<std::string> *totals, std::FILE *out);

struct Totals {
  int64_t pairs = 0, feasible = 0, violations = 0, not_judged = 0;
  int64_t vehicles = 0, truncated_tenths = 0, rounded = 0, violation_count = 0;
  double distance = 0; // summed in pair order, so the same for any number of threads
  int64_t gaps = 0;
  double gap_sum = 0;
  int64_t unpaired_instances = 0;
};

// The sheet of one row per pair; the table's name columns are as wide as
// the widest name. False, with `problem`, for --columns it has not.
bool pair_sheet(const Settings &settings, const PairList &list, Sheet &sheet, std::string &problem);
// A row's cells: in the table, markdown and LaTeX the distance and the gap
// with --decimals.
std::vector<std::string> pair_cells(const Row &row, const Settings &settings);
void add_row(Totals &totals, const Row &row);
// The totals row: sums of vehicles, distances and violations, the mean gap.
std::vector<std::string> totals_cells(const Totals &totals, const Settings &settings);
void write_totals_line(const Totals &totals, std::FILE *out); // the table's last line

// A name or message as a terminal or a markdown reader may show it: control
// bytes and bytes that are not UTF-8 as \xNN; `width` gets the characters shown.
std::string shown(const std::string &bytes, size_t *width = nullptr);
// Text as LaTeX sets it: its special characters escaped.
std::string latex_text(const std::string &text);
// A number with `decimals` places.
std::string fixed(double value, int decimals);
// shortest() (findings.h) gives the shortest text that reads back as the same double.
