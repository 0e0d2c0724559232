// The JSON of a timeline line, read in one pass over its bytes: strict JSON
// (RFC 8259), but only as much of it as a line holds, without a tree. A
// solution's hundreds of customer numbers are read as integers straight
// into its routes; only the time and the cost go through strtod.
#include "line.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int DEEPEST = 64; // nesting of a skipped member's value

struct Cursor {
  const char *begin, *p, *end;
  std::string *problem;
};

bool fail(Cursor &c, const std::string &why) {
  *c.problem = "column " + std::to_string(c.p - c.begin + 1) + ": " + why;
  return false;
}

void skip_space(Cursor &c) {
  while (c.p < c.end && (*c.p == ' ' || *c.p == '\t' || *c.p == '\n' || *c.p == '\r')) ++c.p;
}

bool at(Cursor &c, char ch) { return c.p < c.end && *c.p == ch; }

bool expect(Cursor &c, char ch, const char *what) {
  skip_space(c);
  if (!at(c, ch)) return fail(c, std::string("expected ") + what);
  ++c.p;
  return true;
}

bool is_digit(char ch) { return ch >= '0' && ch <= '9'; }

} // namespace

size_t utf8_sequence(const unsigned char *s, size_t left) {
  size_t n = s[0] >= 0xC2 && s[0] <= 0xDF   ? 2
             : s[0] >= 0xE0 && s[0] <= 0xEF ? 3
             : s[0] >= 0xF0 && s[0] <= 0xF4 ? 4
                                            : 0;
  if (n == 0 || n > left) return 0;
  for (size_t i = 1; i < n; ++i)
    if ((s[i] & 0xC0) != 0x80) return 0;
  if (s[0] == 0xE0 && s[1] < 0xA0) return 0;
  if (s[0] == 0xED && s[1] >= 0xA0) return 0;
  if (s[0] == 0xF0 && s[1] < 0x90) return 0;
  if (s[0] == 0xF4 && s[1] >= 0x90) return 0;
  return n;
}

namespace {

void put_utf8(std::string &out, unsigned long code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

bool hex4(Cursor &c, unsigned long &code) {
  if (c.end - c.p < 4) return fail(c, "\\u needs four hexadecimal digits");
  code = 0;
  for (int i = 0; i < 4; ++i, ++c.p) {
    char ch = *c.p;
    int digit = is_digit(ch)             ? ch - '0'
                : ch >= 'a' && ch <= 'f' ? ch - 'a' + 10
                : ch >= 'A' && ch <= 'F' ? ch - 'A' + 10
                                         : -1;
    if (digit < 0) return fail(c, "\\u needs four hexadecimal digits");
    code = code * 16 + static_cast<unsigned long>(digit);
  }
  return true;
}

// A string, its escapes decoded, at the cursor (on its opening quote).
bool read_string(Cursor &c, std::string &out) {
  out.clear();
  ++c.p;
  for (;;) {
    const char *run = c.p;
    while (c.p < c.end && *c.p != '"' && *c.p != '\\' && static_cast<unsigned char>(*c.p) >= 0x20 &&
           static_cast<unsigned char>(*c.p) < 0x80)
      ++c.p;
    out.append(run, c.p);
    if (c.p == c.end) return fail(c, "a string that never ends");
    unsigned char ch = static_cast<unsigned char>(*c.p);
    if (ch == '"') {
      ++c.p;
      return true;
    }
    if (ch < 0x20) return fail(c, "a control character inside a string");
    if (ch >= 0x80) {
      size_t n = utf8_sequence(reinterpret_cast<const unsigned char *>(c.p),
                               static_cast<size_t>(c.end - c.p));
      if (n == 0) return fail(c, "bytes that are not UTF-8 inside a string");
      out.append(c.p, n);
      c.p += n;
      continue;
    }
    if (++c.p == c.end) return fail(c, "a string that never ends");
    char escaped = *c.p++;
    switch (escaped) {
    case '"':
    case '\\':
    case '/':
      out += escaped;
      break;
    case 'b':
      out += '\b';
      break;
    case 'f':
      out += '\f';
      break;
    case 'n':
      out += '\n';
      break;
    case 'r':
      out += '\r';
      break;
    case 't':
      out += '\t';
      break;
    case 'u': {
      unsigned long code;
      if (!hex4(c, code)) return false;
      if (code >= 0xDC00 && code <= 0xDFFF) return fail(c, "a low surrogate without a high one");
      if (code >= 0xD800 && code <= 0xDBFF) {
        unsigned long low;
        if (c.end - c.p < 2 || c.p[0] != '\\' || c.p[1] != 'u')
          return fail(c, "a high surrogate without a low one");
        c.p += 2;
        if (!hex4(c, low)) return false;
        if (low < 0xDC00 || low > 0xDFFF) return fail(c, "a high surrogate without a low one");
        code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
      }
      put_utf8(out, code);
      break;
    }
    default:
      --c.p;
      return fail(c, "an escape JSON does not have");
    }
  }
}

// A number's text as JSON writes it: -?(0|[1-9][0-9]*)(.[0-9]+)?([eE][+-]?[0-9]+)?.
// `whole` is whether it has neither a fraction nor an exponent.
bool read_number(Cursor &c, std::string_view &text, bool &whole) {
  const char *start = c.p;
  if (at(c, '-')) ++c.p;
  if (at(c, '0')) {
    ++c.p;
  } else if (c.p < c.end && is_digit(*c.p)) {
    while (c.p < c.end && is_digit(*c.p)) ++c.p;
  } else {
    return fail(c, "expected a number");
  }
  whole = true;
  if (at(c, '.')) {
    whole = false;
    ++c.p;
    if (c.p == c.end || !is_digit(*c.p)) return fail(c, "a decimal point without digits after it");
    while (c.p < c.end && is_digit(*c.p)) ++c.p;
  }
  if (at(c, 'e') || at(c, 'E')) {
    whole = false;
    ++c.p;
    if (at(c, '+') || at(c, '-')) ++c.p;
    if (c.p == c.end || !is_digit(*c.p)) return fail(c, "an exponent without digits");
    while (c.p < c.end && is_digit(*c.p)) ++c.p;
  }
  text = std::string_view(start, static_cast<size_t>(c.p - start));
  return true;
}

// A number's value; false where it overflows a double.
bool value_of(std::string_view text, double &value) {
  char small[64];
  std::string large;
  const char *z;
  if (text.size() < sizeof small) {
    std::memcpy(small, text.data(), text.size());
    small[text.size()] = '\0';
    z = small;
  } else {
    large.assign(text);
    z = large.c_str();
  }
  value = std::strtod(z, nullptr);
  return std::isfinite(value);
}

bool read_literal(Cursor &c, const char *word) {
  size_t n = std::strlen(word);
  if (static_cast<size_t>(c.end - c.p) < n || std::memcmp(c.p, word, n) != 0)
    return fail(c, "expected a JSON value");
  c.p += n;
  return true;
}

bool is_null(Cursor &c) {
  if (static_cast<size_t>(c.end - c.p) >= 4 && std::memcmp(c.p, "null", 4) == 0) {
    c.p += 4;
    return true;
  }
  return false;
}

// Any JSON value, read for its validity and nothing more.
bool skip_value(Cursor &c, int depth, std::string &scratch) {
  skip_space(c);
  if (c.p == c.end) return fail(c, "expected a JSON value");
  if (depth > DEEPEST) return fail(c, "values nested too deeply");
  switch (*c.p) {
  case '"':
    return read_string(c, scratch);
  case '{':
  case '[': {
    char close = *c.p == '{' ? '}' : ']';
    bool object = close == '}';
    ++c.p;
    skip_space(c);
    if (at(c, close)) {
      ++c.p;
      return true;
    }
    for (;;) {
      if (object) {
        skip_space(c);
        if (!at(c, '"')) return fail(c, "expected a member's name");
        if (!read_string(c, scratch) || !expect(c, ':', "':' after a member's name")) return false;
      }
      if (!skip_value(c, depth + 1, scratch)) return false;
      skip_space(c);
      if (at(c, ',')) {
        ++c.p;
        continue;
      }
      if (at(c, close)) {
        ++c.p;
        return true;
      }
      return fail(c, object ? "expected ',' or '}'" : "expected ',' or ']'");
    }
  }
  case 't':
    return read_literal(c, "true");
  case 'f':
    return read_literal(c, "false");
  case 'n':
    return read_literal(c, "null");
  default: {
    std::string_view text;
    bool whole;
    return read_number(c, text, whole);
  }
  }
}

// A customer number: a whole number; one beyond the int range is held at
// its end, a customer no instance has, as a solution file's would be.
bool read_customer(Cursor &c, int &customer) {
  std::string_view text;
  bool whole;
  const char *start = c.p;
  if (!read_number(c, text, whole)) return false;
  if (!whole) {
    c.p = start;
    return fail(c, "a customer number that is not a whole number");
  }
  bool negative = text[0] == '-';
  long long value = 0;
  for (size_t i = negative; i < text.size(); ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > INT_MAX) {
      customer = negative ? INT_MIN : INT_MAX;
      return true;
    }
  }
  customer = static_cast<int>(negative ? -value : value);
  return true;
}

// After an item of a list: a comma, another comes; a closing bracket, the
// list is done; anything else is no list.
enum class Next { more, done, neither };
Next after_item(Cursor &c) {
  skip_space(c);
  if (!at(c, ',') && !at(c, ']')) return Next::neither;
  return *c.p++ == ',' ? Next::more : Next::done;
}

bool read_routes(Cursor &c, std::vector<fleetjudge::Route> &routes) {
  size_t count = 0;
  skip_space(c);
  if (!at(c, '[')) return fail(c, "routes must be a list of routes");
  ++c.p;
  skip_space(c);
  if (at(c, ']')) {
    ++c.p;
    routes.clear();
    return true;
  }
  for (;;) {
    skip_space(c);
    if (!at(c, '[')) return fail(c, "a route must be a list of customer numbers");
    ++c.p;
    // The routes' vectors are kept from line to line: most lines have as
    // many routes as the last.
    if (count < routes.size())
      routes[count].clear();
    else
      routes.emplace_back();
    fleetjudge::Route &route = routes[count++];
    skip_space(c);
    if (at(c, ']')) {
      ++c.p;
    } else {
      for (;;) {
        skip_space(c);
        int customer;
        if (!read_customer(c, customer)) return false;
        route.push_back(customer);
        Next next = after_item(c);
        if (next == Next::more) continue;
        if (next == Next::done) break;
        return fail(c, "expected ',' or ']' in a route");
      }
    }
    Next next = after_item(c);
    if (next == Next::more) continue;
    if (next == Next::done) break;
    return fail(c, "expected ',' or ']' after a route");
  }
  routes.resize(count);
  return true;
}

enum Member { m_instance, m_solver, m_run, m_time, m_routes, m_solution, m_cost, MEMBERS };
constexpr char member_names[MEMBERS][10] = {"instance", "solver",   "run", "time",
                                            "routes",   "solution", "cost"};

bool read_text_member(Cursor &c, std::string &out, const char *name) {
  skip_space(c);
  if (!at(c, '"')) return fail(c, std::string(name) + " must be a string");
  if (!read_string(c, out)) return false;
  if (out.empty()) return fail(c, std::string("an empty ") + name);
  return true;
}

bool read_member(Cursor &c, Member m, TimelineLine &line) {
  skip_space(c);
  const char *start = c.p;
  std::string_view text;
  bool whole;
  switch (m) {
  case m_instance:
    return read_text_member(c, line.instance, "instance");
  case m_solver:
    return read_text_member(c, line.solver, "solver");
  case m_run: {
    if (is_null(c)) return true;
    if (!read_number(c, text, whole)) return false;
    errno = 0;
    char *end = nullptr;
    std::string digits(text);
    long long value = whole ? std::strtoll(digits.c_str(), &end, 10) : 0;
    if (!whole || errno != 0) {
      c.p = start;
      return fail(c, "run must be a whole number");
    }
    line.run = value;
    return true;
  }
  case m_time:
    if (!read_number(c, text, whole)) return false;
    if (!value_of(text, line.time) || line.time < 0) {
      c.p = start;
      return fail(c, "time must be a number of seconds, 0 or more");
    }
    return true;
  case m_routes:
    if (is_null(c)) return true;
    line.has_routes = true;
    return read_routes(c, line.routes);
  case m_solution:
    if (is_null(c)) return true;
    line.has_solution = true;
    return read_text_member(c, line.solution, "solution");
  case m_cost:
    if (is_null(c)) return true;
    if (!read_number(c, text, whole)) return false;
    line.has_cost = true;
    line.cost_text.assign(text);
    if (!value_of(text, line.cost)) {
      c.p = start;
      return fail(c, "a cost beyond the range of numbers");
    }
    return true;
  case MEMBERS:
    break;
  }
  return false;
}

} // namespace

bool read_timeline_line(std::string_view bytes, TimelineLine &line, std::string &problem) {
  line.run = 1;
  line.time = 0;
  line.has_routes = line.has_solution = line.has_cost = false;
  line.instance.clear();
  line.solver.clear();
  Cursor c{bytes.data(), bytes.data(), bytes.data() + bytes.size(), &problem};
  if (!expect(c, '{', "a JSON object, '{'")) return false;
  bool seen[MEMBERS] = {};
  std::string name;
  skip_space(c);
  if (at(c, '}')) {
    ++c.p;
  } else {
    for (;;) {
      skip_space(c);
      if (!at(c, '"')) return fail(c, "expected a member's name");
      const char *name_at = c.p;
      if (!read_string(c, name) || !expect(c, ':', "':' after a member's name")) return false;
      int m = 0;
      while (m < MEMBERS && name != member_names[m]) ++m;
      if (m == MEMBERS) {
        if (!skip_value(c, 1, name)) return false;
      } else {
        if (seen[m]) {
          c.p = name_at;
          return fail(c, std::string("the member ") + member_names[m] + " is given twice");
        }
        seen[m] = true;
        if (!read_member(c, Member(m), line)) return false;
      }
      skip_space(c);
      if (at(c, ',')) {
        ++c.p;
        continue;
      }
      if (!expect(c, '}', "',' or '}'")) return false;
      break;
    }
  }
  skip_space(c);
  if (c.p != c.end) return fail(c, "text after the object");
  for (Member m : {m_instance, m_solver, m_time})
    if (!seen[m]) {
      problem = std::string("no ") + member_names[m];
      return false;
    }
  if (line.has_routes && line.has_solution) {
    problem = "both routes and a solution file: give one";
    return false;
  }
  return true;
}
