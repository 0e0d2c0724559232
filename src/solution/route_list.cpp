#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "../findings.h"
#include "solution.h"

RouteListNotes route_list;

namespace {

bool is_space(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool is_digit(char c) { return c >= '0' && c <= '9'; }

char *skip_space(char *p) {
  while (is_space(*p)) ++p;
  return p;
}

char *skip_word(char *p, const char *word) {
  size_t length = std::strlen(word);
  return std::strncmp(p, word, length) == 0 ? p + length : nullptr;
}

// The text behind "Route #k:", or nullptr when the line is no route line.
char *behind_route_label(char *p) {
  p = skip_word(skip_space(p), "Route");
  if (p == nullptr) return nullptr;
  p = skip_space(p);
  if (*p++ != '#') return nullptr;
  p = skip_space(p);
  if (!is_digit(*p)) return nullptr;
  while (is_digit(*p)) ++p;
  p = skip_space(p);
  return *p == ':' ? p + 1 : nullptr;
}

// "Cost X": the declared cost.
bool read_cost(char *p) {
  p = skip_word(skip_space(p), "Cost");
  if (p == nullptr || !is_space(*p)) return false;
  char *end;
  double cost = std::strtod(p, &end);
  if (end == p || *skip_space(end) != '\0') return false;
  route_list.has_cost = true;
  route_list.cost = cost;
  return true;
}

// Every token a whole integer; the first that is not is a fault.
bool only_customer_numbers(InputFile &file, char *p) {
  for (p = skip_space(p); *p != '\0'; p = skip_space(p)) {
    char *token = p;
    if (*p == '+' || *p == '-') ++p;
    bool digits = is_digit(*p);
    while (is_digit(*p)) ++p;
    if (digits && (*p == '\0' || is_space(*p))) continue;
    while (*p != '\0' && !is_space(*p)) ++p;
    char problem[96];
    std::snprintf(problem, sizeof problem, "line %lld: \"%.*s\" is not a customer number",
                  static_cast<long long>(file.lines_read),
                  static_cast<int>(p - token > 40 ? 40 : p - token), token);
    input_fault(file, problem);
    return false;
  }
  return true;
}

} // namespace

SolutionFormat detect_format(const char *path) {
  std::FILE *f = std::fopen(path, "rb");
  if (f == nullptr) return SolutionFormat::fleetjudge;
  // The start of the first non-blank line is enough to tell.
  char start[64];
  size_t kept = 0;
  for (int c; kept < sizeof start - 1 && (c = std::fgetc(f)) != EOF;) {
    if (kept == 0 && is_space(static_cast<char>(c))) continue;
    if (c == '\n') break;
    start[kept++] = static_cast<char>(c);
  }
  start[kept] = '\0';
  std::fclose(f);
  return behind_route_label(start) ? SolutionFormat::routes : SolutionFormat::fleetjudge;
}

void walk_route_list(InputFile &file, SolutionFormat format) {
  declared = false;
  L1 = 0;
  total_cost = 0;
  while (!at_end(file) && !input_failed) {
    read_line(file);
    char *text = skip_space(line);
    if (*text == '\0') continue;
    if (format == SolutionFormat::routes) {
      char *route = behind_route_label(text);
      if (route == nullptr) {
        if (!read_cost(text)) route_list.ignored_lines++;
        continue;
      }
      text = route;
    }
    if (only_customer_numbers(file, text)) walk_route(text);
  }
}
