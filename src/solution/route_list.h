// The solution formats, and how `auto` tells them apart on the bytes read once.
//
// fleetjudge's own format declares a route count and a total, then one route
// a line. A route list ("Route #1: 7 2", and an optional "Cost 123.45" line)
// and a plain list (every non-blank line a route) declare neither.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

enum class SolutionFormat { fleetjudge, routes, plain };
constexpr int SOLUTION_FORMATS = 3;

// Each format's name (as options and documents name it), what it is and how
// a note says it was read, for a person, and the others to choose instead.
struct SolutionFormatInfo {
  char name[12];
  char what[24];
  char read_as[28];
  char others[24];
};
constexpr SolutionFormatInfo solution_formats[SOLUTION_FORMATS] = {
    {"fleetjudge", "fleetjudge's format", "in fleetjudge's format", "routes or plain"},
    {"routes", "a route list", "as a route list", "fleetjudge or plain"},
    {"plain", "a plain list of routes", "as a plain list of routes", "fleetjudge or routes"}};
inline const SolutionFormatInfo &solution_format_info(SolutionFormat format) {
  return solution_formats[static_cast<int>(format)];
}
// The format of this name; the first (fleetjudge's) for a name it does not have.
inline const SolutionFormatInfo &solution_format_named(std::string_view name) {
  for (const SolutionFormatInfo &f : solution_formats)
    if (name == f.name) return f;
  return solution_formats[0];
}

// How much of a solution the guess may look at: far more than the two lines
// it needs, so that the guess is the same whatever the size of the reads.
constexpr size_t FORMAT_LOOK_AHEAD = 1 << 20;

struct FormatGuess {
  SolutionFormat format;
  const char *why; // the rule that decided, for the note
};
// In this order: no non-blank line: fleetjudge's format; a first non-blank
// line that begins with a route label ("Route #1:", "route 1 :", any case)
// or is a published solution's header line ("Instance name : lr101"): a
// route list; a first non-blank line of customer numbers (1 to n) only,
// holding two or more, or followed by a line of two or more: a plain list;
// anything else: fleetjudge's format.
FormatGuess guess_format(std::string_view head, int64_t n);

// The text behind a route label, or nullptr when the line has none.
const char *behind_route_label(const char *line);

// A line a route list holds that is neither a route nor a cost: skipped, and
// quoted in a note, so that a cost written in a form not read here is seen.
struct IgnoredLine {
  int64_t line;     // from 1
  std::string text; // its start, as printable text
};
constexpr size_t IGNORED_QUOTED = 5; // lines quoted; the rest are counted

// The header a published solution begins with ("Instance name : lr101",
// "Authors : ...", "Date : ...", "Reference : ...", then "Solution"), as
// printable text, each cut to what a note shows.
struct PublishedHeader {
  bool seen = false;
  std::string instance, authors, date, reference;
};

struct RouteListNotes {
  int64_t ignored_lines = 0;        // in a route list: neither a route nor a cost
  std::vector<IgnoredLine> ignored; // the first IGNORED_QUOTED of them
  std::vector<IgnoredLine> clamped; // customer numbers beyond 32 bits, as written
  bool has_cost = false;
  double cost = 0;
  bool unended = false;         // the last line read has no line feed: the file may be cut short
  double cost_tolerance = 0.01; // how far from a distance the cost still matches it
  PublishedHeader header;
};

// Whether the line is one of a published solution's header lines; its
// value goes into `header`.
bool read_header_line(const char *line, PublishedHeader &header);

// How far a cost written as `number` may lie from a distance and still be
// that distance: half a unit of its last digit, as a solver printing six
// significant digits rounds it (0.05 for "76584.5", 0.5 for "202287", 5 for
// "1.23457e+06"), but never less than 0.01, as published figures are rounded
// or cut to two decimals. Text that is not decimal digits gets 0.01.
double written_tolerance(std::string_view number);
