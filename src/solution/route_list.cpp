#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "../instance/digits.h"
#include "../run.h"
#include "solution.h"

namespace {

const char *skip_space(const char *p) {
  while (is_space(*p)) ++p;
  return p;
}

// The declared cost: "Cost X", in any case, the word followed by blanks, a
// colon or both ("cost 27000", "COST: 27000", "Cost : 27000"), as route
// labels are read.
bool read_cost(Run &r, const char *p) {
  p = skip_space(p);
  const char *word = "cost";
  for (; *word != '\0'; ++word, ++p)
    if ((*p | 0x20) != *word) return false;
  const char *label_end = skip_space(p);
  if (*label_end == ':') ++label_end;
  if (label_end == p) return false; // "Costs", "Cost27000"
  char *end;
  double cost = std::strtod(label_end, &end);
  if (end == label_end || *skip_space(end) != '\0') return false;
  r.route_list.has_cost = true;
  r.route_list.cost = cost;
  r.route_list.cost_tolerance =
      written_tolerance(std::string_view(label_end, static_cast<size_t>(end - label_end)));
  return true;
}

// Text of a line as a note shows it: cut to a length a note can hold,
// control characters as '?', without the blanks (and a CR) at its end.
std::string printable(const char *text) {
  constexpr size_t SHOWN = 60;
  size_t length = std::strlen(text);
  while (length > 0 && is_space(text[length - 1])) --length;
  std::string quoted;
  for (size_t i = 0; i < length && i < SHOWN; ++i) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    quoted += c < 0x20 || c == 0x7f ? '?' : text[i];
  }
  if (length > SHOWN) quoted += "...";
  return quoted;
}

// A line neither a route nor a cost: counted, and the first few quoted with
// their line numbers.
void ignore_line(RouteListNotes &notes, const InputFile &file, const char *text) {
  if (notes.ignored_lines++ >= static_cast<int64_t>(IGNORED_QUOTED)) return;
  notes.ignored.push_back(IgnoredLine{file.lines_read, printable(text)});
}

// The words of `key` at p, in any case, any blanks between them; behind
// them, or nullptr.
const char *behind_words(const char *p, const char *key) {
  p = skip_space(p);
  while (*key != '\0') {
    if (*key == ' ') {
      if (!is_blank(*p)) return nullptr;
      while (is_blank(*p)) ++p;
      ++key;
    } else if ((*p | 0x20) == *key) {
      ++p, ++key;
    } else {
      return nullptr;
    }
  }
  return p;
}

// Every token a whole integer; the first that is not is a fault. A number
// beyond 32 bits is read clamped, as the checker reads it, and quoted as
// written in a note.
bool only_customer_numbers(Run &r, InputFile &file, const char *p) {
  for (p = skip_space(p); *p != '\0'; p = skip_space(p)) {
    const char *token = p;
    ScannedInt number = scan_integer(p, AtNul{});
    if (number.end != nullptr && (*number.end == '\0' || is_space(*number.end))) {
      p = number.end;
      int32_t clamped;
      if (!clamp_to_int32(number.negative, number.magnitude, clamped) &&
          r.route_list.clamped.size() < IGNORED_QUOTED) {
        std::string_view written(token, static_cast<size_t>(number.end - token));
        r.route_list.clamped.push_back(
            IgnoredLine{file.lines_read, std::string(written.substr(0, 60))});
      }
      continue;
    }
    while (*p != '\0' && !is_space(*p)) ++p;
    char problem[96];
    std::snprintf(problem, sizeof problem, "line %lld: \"%.*s\" is not a customer number",
                  static_cast<long long>(file.lines_read),
                  static_cast<int>(p - token > 40 ? 40 : p - token), token);
    input_fault(r, file, problem);
    return false;
  }
  return true;
}

// How many tokens the line holds when every one is a customer number from 1
// to n; 0 when any is not.
int64_t customer_numbers(std::string_view line, int64_t n) {
  int64_t tokens = 0;
  const char *p = line.data(), *end = p + line.size();
  while (true) {
    while (p != end && is_space(*p)) ++p;
    if (p == end) return tokens;
    uint64_t value = 0;
    const char *start = p;
    p = take_digits(p, end, value);
    if (p == start || (p != end && !is_space(*p)) || value < 1 || static_cast<int64_t>(value) > n)
      return 0;
    ++tokens;
  }
}

} // namespace

const char *behind_route_label(const char *p) {
  p = skip_space(p);
  const char *word = "route";
  for (; *word != '\0'; ++word, ++p)
    if ((*p | 0x20) != *word) return nullptr;
  p = skip_space(p);
  if (*p == '#') p = skip_space(p + 1);
  if (!is_digit(*p)) return nullptr;
  while (is_digit(*p)) ++p;
  p = skip_space(p);
  return *p == ':' ? p + 1 : nullptr;
}

bool read_header_line(const char *line, PublishedHeader &header) {
  const char *p = behind_words(line, "solution");
  if (p != nullptr && *skip_space(p) == '\0') return header.seen = true;
  static constexpr char keys[][16] = {"instance name", "authors", "date", "reference"};
  std::string *values[] = {&header.instance, &header.authors, &header.date, &header.reference};
  for (int k = 0; k < 4; ++k) {
    p = behind_words(line, keys[k]);
    if (p == nullptr) continue;
    p = skip_space(p);
    if (*p != ':') continue;
    *values[k] = printable(skip_space(p + 1));
    return header.seen = true;
  }
  return false;
}

FormatGuess guess_format(std::string_view head, int64_t n) {
  LinesAhead lines{head};
  std::string_view first, second;
  if (!lines.next(first)) return {SolutionFormat::fleetjudge, "it has no route"};
  // The label is looked for on the line's text up to its first NUL, as the
  // reader sees it.
  if (behind_route_label(std::string(first).c_str()))
    return {SolutionFormat::routes, "its first line begins with a route label"};
  PublishedHeader header;
  if (read_header_line(std::string(first).c_str(), header))
    return {SolutionFormat::routes, "its first line is a published solution's header"};
  int64_t tokens = customer_numbers(first, n);
  if (tokens >= 2 || (tokens == 1 && lines.next(second) && customer_numbers(second, n) >= 2))
    return {SolutionFormat::plain, "its first lines hold customer numbers only"};
  return {SolutionFormat::fleetjudge,
          "its first line is neither a route label nor a list of customer numbers"};
}

void walk_route_list(Run &r, InputFile &file, SolutionFormat format) {
  r.declared = false;
  r.routes_done = 0;
  r.total_cost = 0;
  while (!at_end(file) && !r.stopped) {
    read_line(r, file);
    char *text = r.line + (skip_space(r.line) - r.line);
    if (*text == '\0') continue;
    r.route_list.unended = at_end(file);
    if (format == SolutionFormat::routes) {
      const char *route = behind_route_label(text);
      if (route == nullptr) {
        if (!read_cost(r, text) && !read_header_line(text, r.route_list.header))
          ignore_line(r.route_list, file, text);
        continue;
      }
      text += route - text;
    }
    if (only_customer_numbers(r, file, text)) walk_route(r, text);
  }
}

double written_tolerance(std::string_view number) {
  size_t i = 0, n = number.size();
  while (i < n && is_space(number[i])) ++i;
  if (i < n && (number[i] == '+' || number[i] == '-')) ++i;
  size_t digits = 0, decimals = 0;
  for (; i < n && is_digit(number[i]); ++i) ++digits;
  if (i < n && number[i] == '.')
    for (++i; i < n && is_digit(number[i]); ++i) ++decimals;
  if (digits + decimals == 0) return 0.01; // inf, nan
  long exponent = 0;
  if (i < n && (number[i] == 'e' || number[i] == 'E')) {
    bool negative = ++i < n && number[i] == '-';
    if (i < n && (number[i] == '+' || number[i] == '-')) ++i;
    for (; i < n && is_digit(number[i]); ++i)
      if (exponent < 100000) exponent = exponent * 10 + (number[i] - '0');
    if (negative) exponent = -exponent;
  }
  if (i != n) return 0.01; // a hexadecimal number
  double half = 0.5 * std::pow(10.0, static_cast<double>(exponent - static_cast<long>(decimals)));
  if (!std::isfinite(half)) return 0.01; // no double has such a digit
  return std::max(half, 0.01);
}
