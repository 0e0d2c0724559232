#include "vrplib.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "../run.h"
#include "decimal.h"
#include "digits.h"

namespace {

bool is_word(char c) { return is_digit(c) || c == '_' || ((c | 0x20) >= 'a' && (c | 0x20) <= 'z'); }

// The tokens of a line, separated by white space, taken one at a time where
// they stand: reading a line stores nothing.
struct Tokens {
  const char *p, *end;
  explicit Tokens(std::string_view line) : p(line.data()), end(line.data() + line.size()) {}
  bool next(std::string_view &token) {
    while (p != end && is_space(*p)) ++p;
    if (p == end) return false;
    const char *start = p;
    while (p != end && !is_space(*p)) ++p;
    token = std::string_view(start, static_cast<size_t>(p - start));
    return true;
  }
};

// A line as the reader sees it: up to its first NUL.
std::string_view up_to_nul(std::string_view line) { return line.substr(0, line.find('\0')); }

// "KEY : value" or "KEY: value": the key, and the value without blanks or
// quotes around it, both where they stand in the line. False for any other
// line. The line's white space before `start` is passed already.
bool key_line(const char *start, const char *end, std::string_view &key, std::string_view &value) {
  const char *p = start;
  while (p != end && is_word(*p)) ++p;
  if (p == start) return false;
  key = std::string_view(start, static_cast<size_t>(p - start));
  while (p != end && is_blank(*p)) ++p;
  if (p == end || *p != ':') return false;
  ++p;
  while (p != end && is_space(*p)) ++p;
  while (end > p && is_space(end[-1])) --end;
  if (end - p >= 2 && *p == '"' && end[-1] == '"') ++p, --end;
  value = std::string_view(p, static_cast<size_t>(end - p));
  return true;
}
bool key_line(std::string_view line, std::string_view &key, std::string_view &value) {
  const char *p = line.data(), *end = p + line.size();
  while (p != end && is_space(*p)) ++p;
  return key_line(p, end, key, value);
}

// A token with a NUL behind it, for the C library's conversions: copied on
// the stack, and to the heap only when longer than numbers are written.
struct Terminated {
  char room[64];
  std::string spill;
  const char *text;
  explicit Terminated(std::string_view token) {
    if (token.size() < sizeof room) {
      token.copy(room, token.size());
      room[token.size()] = '\0';
      text = room;
    } else {
      spill.assign(token);
      text = spill.c_str();
    }
  }
};

bool is_section_word(std::string_view token) {
  return token.size() > 8 && token.substr(token.size() - 8) == "_SECTION";
}

// A whole integer token in the 32-bit range.
enum class Number { ok, decimal, junk };
Number integer(std::string_view t, int64_t &value) {
  const char *end = t.data() + t.size();
  ScannedInt n = scan_integer(t.data(), end);
  // Digits beyond 32 bits refuse the token, whatever follows them.
  if (n.end == nullptr || n.magnitude == BEYOND_32_BITS) return Number::junk;
  value = n.negative ? -static_cast<int64_t>(n.magnitude) : static_cast<int64_t>(n.magnitude);
  if (n.end != end) {
    bool decimal = *n.end == '.' || *n.end == 'e' || *n.end == 'E';
    return decimal ? Number::decimal : Number::junk;
  }
  int32_t clamped;
  return clamp_to_int32(n.negative, n.magnitude, clamped) ? Number::ok : Number::junk;
}

// A matrix entry: a non-negative decimal, digits with at most one point. Its
// exact value, cut to tenths and rounded to an integer half up, all from the
// digits themselves.
bool entry(std::string_view t, ext &exact, int64_t &tenths, int64_t &rounded) {
  size_t i = t.size() > 0 && t[0] == '+' ? 1 : 0;
  int64_t whole = 0;
  int digits = 0, first_fraction = 0;
  for (; i < t.size() && is_digit(t[i]); ++i, ++digits)
    if (digits > 15)
      return false; // far beyond any leg, and within 64 bits
    else
      whole = whole * 10 + (t[i] - '0');
  if (i < t.size() && t[i] == '.') {
    ++i;
    if (i < t.size() && is_digit(t[i])) first_fraction = t[i] - '0';
    for (; i < t.size() && is_digit(t[i]); ++i) ++digits;
  }
  if (digits == 0 || i != t.size()) return false;
  if (!ext_from_decimal(Terminated(t).text, exact)) return false;
  tenths = whole * 10 + first_fraction;
  rounded = whole + (first_fraction >= 5 ? 1 : 0);
  return true;
}

// One row of a node section: the node's id and up to two values, and where
// it stood. Coordinates may have decimals: a and b then hold their digits,
// with that many of them after the point.
struct Row {
  int64_t id, a, b;
  int64_t line;
  int8_t a_decimals = 0, b_decimals = 0;
};

// A node row of whole numbers within 32 bits, as many as the section holds,
// read in one pass up to the line's NUL; false for any other line. No such
// line is a key line, a section or EOF.
bool whole_numbers(const char *line, int values, Row &row) {
  int32_t fields[3];
  if (whole_fields(line, fields, values + 1) != values + 1) return false;
  row.id = fields[0];
  row.a = values > 0 ? fields[1] : 0;
  row.b = values > 1 ? fields[2] : 0;
  return true;
}

enum Section {
  NONE,
  NODE_COORD,
  DEMAND,
  TIME_WINDOW,
  SERVICE_TIME,
  DEPOT,
  EDGE_WEIGHT,
  DISPLAY_DATA,
  SECTIONS
};
const char section_names[SECTIONS][24] = {"",
                                          "NODE_COORD_SECTION",
                                          "DEMAND_SECTION",
                                          "TIME_WINDOW_SECTION",
                                          "SERVICE_TIME_SECTION",
                                          "DEPOT_SECTION",
                                          "EDGE_WEIGHT_SECTION",
                                          "DISPLAY_DATA_SECTION"};
const int values_per_row[SECTIONS] = {0, 2, 1, 2, 1, 0, 0, 2};
const char value_names[SECTIONS][2][16] = {
    {"", ""}, {"x", "y"}, {"demand", ""}, {"ready time", "due time"}, {"service time", ""},
    {"", ""}, {"", ""},   {"x", "y"}};

const char matrix_formats[][16] = {"FULL_MATRIX", "LOWER_ROW", "LOWER_DIAG_ROW", "UPPER_ROW",
                                   "UPPER_DIAG_ROW"};

struct Reader {
  Run &r;
  InputFile &file;
  std::string name, type, edge_weight_type, edge_weight_format;
  int64_t dimension = -1, vehicles = -1, service_time = 0;
  std::string service_time_text; // as given, when the key is
  RouteLimit limit;
  int64_t limit_line = 0;
  double capacity = -1;
  bool seen[SECTIONS] = {};
  std::vector<Row> rows[SECTIONS];
  std::vector<int64_t> depots;
  std::vector<ext> exact;
  std::vector<int64_t> tenths, rounded;
  Section section = NONE;
  bool depot_ended = false;
  int64_t type_line = 0; // where TYPE was given, for what is wrong with it

  Reader(Run &run, InputFile &f) : r(run), file(f) {}

  // A fault naming the line just read, or another.
  bool fail(const std::string &problem) { return fail_at(file.lines_read, problem); }
  bool fail_at(int64_t line, const std::string &problem) {
    input_fault(r, file, ("line " + std::to_string(line) + ": " + problem).c_str());
    return false;
  }
  int64_t entries_expected() const {
    int64_t d = dimension;
    if (edge_weight_format == "FULL_MATRIX") return d * d;
    if (edge_weight_format == "LOWER_ROW" || edge_weight_format == "UPPER_ROW")
      return d * (d - 1) / 2;
    return d * (d + 1) / 2;
  }
  bool key(const std::string &k, const std::string &v);
  bool service_time_key(const std::string &v);
  bool route_limit_key(const std::string &k, const std::string &v);
  bool coordinate(Row &row, int field, std::string_view token);
  bool place_decimal_coordinates();
  bool start_section(std::string_view word);
  bool end_section();
  bool whole_number_row(const char *line);
  bool row(std::string_view line);
  bool any_row(std::string_view line, Row &row);
  bool add_row(const Row &row);
  bool refuse_row(const Row &row);
  bool finish();
};

bool read_whole(Reader &rd, const std::string &v, const char *key, int64_t &out, int64_t least) {
  Number kind = integer(v, out);
  if (kind != Number::ok || out < least)
    return rd.fail(std::string(key) + " must be a whole number" +
                   (least > 0 ? " above 0" : " of 0 or more") + ", not \"" + v + "\"");
  return true;
}

bool Reader::key(const std::string &k, const std::string &v) {
  // The sections are read as these two keys shape them; a second value
  // would leave the rows already read out of step with the table.
  if ((k == "DIMENSION" && dimension >= 0) ||
      (k == "EDGE_WEIGHT_FORMAT" && !edge_weight_format.empty()))
    return fail(k + " appears twice");
  if (k == "NAME")
    name = v;
  else if (k == "COMMENT") {
  } else if (k == "TYPE") {
    // A variant read as one of these would be judged by the wrong rules.
    type = v;
    type_line = file.lines_read;
    if (v != "CVRP" && v != "VRPTW" && v != "CVRPTW")
      return fail("TYPE " + v + " is not read here: CVRP and VRPTW are");
  } else if (k == "DIMENSION")
    return read_whole(*this, v, "DIMENSION", dimension, 1);
  else if (k == "VEHICLES")
    return read_whole(*this, v, "VEHICLES", vehicles, 1);
  else if (k == "SERVICE_TIME")
    return service_time_key(v);
  else if (k == "EDGE_WEIGHT_TYPE")
    edge_weight_type = v;
  else if (k == "EDGE_WEIGHT_FORMAT")
    edge_weight_format = v;
  else if (k == "CAPACITY") {
    char *end;
    errno = 0;
    capacity = std::strtod(v.c_str(), &end);
    if (v.empty() || *end != '\0' || errno != 0 || !(capacity >= 0))
      return fail("CAPACITY must be a number of 0 or more, not \"" + v + "\"");
  } else if (k == "DISTANCE" || k == "VEHICLES_MAX_DISTANCE") {
    return route_limit_key(k, v);
  } else if (k.rfind("VEHICLES_", 0) == 0) {
    return fail("the key " + k + " limits the routes in a way that is not checked here");
  } else {
    r.own_instance.notes.push_back("the key " + k + " of the instance is not read");
  }
  return true;
}

// SERVICE_TIME: every customer's service, a decimal of whole value ("10.0").
// A fraction is refused: the truncated and rounded conventions keep their
// clocks in whole tenths and whole units, and would hold it inexactly.
bool Reader::service_time_key(const std::string &v) {
  Decimal d;
  DecimalForm form = read_decimal(v, d);
  if (form == DecimalForm::too_many_decimals)
    return fail("SERVICE_TIME " + v + " has more than " + std::to_string(MAX_DECIMALS) +
                " decimals");
  if (form != DecimalForm::number || d.digits < 0)
    return fail("SERVICE_TIME must be a whole number of 0 or more, not \"" + v + "\"");
  if (!is_whole(d))
    return fail("SERVICE_TIME " + v +
                " has a fraction: only whole service times are read, so that every "
                "convention's clock stays exact");
  service_time = d.digits / power_of_ten(d.decimals);
  service_time_text = v;
  return true;
}

// DISTANCE or VEHICLES_MAX_DISTANCE: the longest a route may be, a decimal
// held exactly. DISTANCE counts the service times with the travel, as the
// classic capacitated sets mean it; VEHICLES_MAX_DISTANCE the travel alone.
bool Reader::route_limit_key(const std::string &k, const std::string &v) {
  if (limit.set && limit.key != k)
    return fail(limit.key + " and " + k + " both limit a route's length: give one of them");
  Decimal d;
  DecimalForm form = read_decimal(v, d);
  if (form == DecimalForm::too_many_decimals)
    return fail(k + " " + v + " has more than " + std::to_string(MAX_DECIMALS) + " decimals");
  if (form != DecimalForm::number || d.digits <= 0)
    return fail(k + " must be a number above 0, not \"" + v + "\"");
  limit.set = true;
  limit.with_service = k == "DISTANCE";
  limit.billionths = scaled_to(d, MAX_DECIMALS);
  limit.value = to_ext(d);
  limit.key = k;
  limit_line = file.lines_read;
  return true;
}

bool Reader::start_section(std::string_view word) {
  Section s = NONE;
  for (int i = 1; i < SECTIONS; ++i)
    if (word == section_names[i]) s = Section(i);
  if (s == NONE) return fail("the section " + std::string(word) + " is not read here");
  if (seen[s]) return fail(std::string(section_names[s]) + " appears twice");
  if (dimension < 0) return fail("DIMENSION must come before " + std::string(section_names[s]));
  if (s == EDGE_WEIGHT) {
    if (edge_weight_type != "EXPLICIT")
      return fail("EDGE_WEIGHT_SECTION without EDGE_WEIGHT_TYPE : EXPLICIT");
    bool known = false;
    for (const char *f : matrix_formats) known |= edge_weight_format == f;
    if (!known)
      return fail("EDGE_WEIGHT_FORMAT \"" + edge_weight_format +
                  "\" is not read: FULL_MATRIX, LOWER_ROW, LOWER_DIAG_ROW, UPPER_ROW or "
                  "UPPER_DIAG_ROW are");
  }
  seen[s] = true;
  section = s;
  return true;
}

// A section ends at the next key line, section or EOF: it must
// have had a row for every node (or its every entry).
bool Reader::end_section() {
  Section s = section;
  section = NONE;
  if (s == NONE) return true;
  if (s == DEPOT) {
    if (!depot_ended) return fail("DEPOT_SECTION must end with -1");
    if (depots.size() != 1 || depots[0] != 1)
      return fail("the depot must be node 1, alone: other depots are not read here");
    return true;
  }
  int64_t have =
      s == EDGE_WEIGHT ? static_cast<int64_t>(exact.size()) : static_cast<int64_t>(rows[s].size());
  int64_t want = s == EDGE_WEIGHT ? entries_expected() : dimension;
  if (have != want)
    return fail(std::string(section_names[s]) + " has " + std::to_string(have) +
                (s == EDGE_WEIGHT ? " entries" : " rows") + " where DIMENSION " +
                std::to_string(dimension) + " implies " + std::to_string(want));
  if (s == EDGE_WEIGHT) return true;
  // Every node once: the table is as large as the rows already read.
  std::vector<int64_t> line_of(static_cast<size_t>(dimension) + 1, 0);
  for (const Row &row : rows[s]) {
    if (line_of[row.id] != 0)
      return fail(std::string(section_names[s]) + ": node " + std::to_string(row.id) +
                  " appears twice, on lines " + std::to_string(line_of[row.id]) + " and " +
                  std::to_string(row.line));
    line_of[row.id] = row.line;
  }
  return true;
}

bool Reader::row(std::string_view line) {
  Tokens tokens(line);
  std::string_view token;
  if (section == NONE) {
    tokens.next(token);
    return fail("expected a key line KEY : value or a section, found \"" +
                std::string(token.substr(0, 40)) + "\"");
  }
  if (section == DEPOT) {
    while (tokens.next(token)) {
      int64_t id;
      if (depot_ended || integer(token, id) != Number::ok)
        return fail("DEPOT_SECTION holds node numbers ended by -1");
      if (id == -1)
        depot_ended = true;
      else
        depots.push_back(id);
    }
    return true;
  }
  if (section == EDGE_WEIGHT) {
    while (tokens.next(token)) {
      ext e;
      int64_t cut, near;
      if (!entry(token, e, cut, near))
        return fail("EDGE_WEIGHT_SECTION: \"" + std::string(token.substr(0, 40)) +
                    "\" is not a length (a number of 0 or more)");
      if (static_cast<int64_t>(exact.size()) == entries_expected())
        return fail("EDGE_WEIGHT_SECTION has more entries than DIMENSION " +
                    std::to_string(dimension) + " implies");
      exact.push_back(e);
      tenths.push_back(cut);
      rounded.push_back(near);
    }
    return true;
  }
  Row row{0, 0, 0, file.lines_read};
  return any_row(line, row) && add_row(row);
}

// The common line of a node section; false for any other line, which row()
// then reads.
bool Reader::whole_number_row(const char *line) {
  int values = values_per_row[section];
  Row row{0, 0, 0, file.lines_read};
  if (values == 0 || !whole_numbers(line, values, row)) return false;
  add_row(row);
  return true;
}

// A row is kept, or refused with what is wrong with it. Nearly every row is
// kept: the refusal, which builds a message, stays out of the way.
inline bool Reader::add_row(const Row &row) {
  if (row.id < 1 || row.id > dimension || (section == DEMAND && row.a < 0) ||
      static_cast<int64_t>(rows[section].size()) == dimension)
    return refuse_row(row);
  rows[section].push_back(row);
  return true;
}

bool Reader::refuse_row(const Row &row) {
  const char *sname = section_names[section];
  if (row.id < 1 || row.id > dimension)
    return fail(std::string(sname) + ": node " + std::to_string(row.id) + " is out of range 1 to " +
                std::to_string(dimension));
  if (section == DEMAND && row.a < 0)
    return fail("DEMAND_SECTION: node " + std::to_string(row.id) + " has a negative demand");
  return fail(std::string(sname) + " has more rows than DIMENSION " + std::to_string(dimension));
}

// A node row of any form: its count of tokens, then each value, with
// decimals where the section allows them.
bool Reader::any_row(std::string_view line, Row &row) {
  Tokens tokens(line);
  std::string_view token;
  int want = values_per_row[section];
  const char *sname = section_names[section];
  std::string_view t[3];
  size_t count = 0;
  for (; tokens.next(token); ++count)
    if (count < 3) t[count] = token;
  if (count != static_cast<size_t>(want) + 1)
    return fail(std::string(sname) + ": a row holds a node number and " + std::to_string(want) +
                (want == 1 ? " value" : " values") + ", this one " + std::to_string(count) +
                " numbers");
  int64_t *fields[] = {&row.id, &row.a, &row.b};
  for (int i = 0; i <= want; ++i) {
    const char *field = i == 0 ? "node number" : value_names[section][i - 1];
    Number kind = integer(t[i], *fields[i]);
    if (section == NODE_COORD && i > 0 && kind == Number::decimal) {
      if (!coordinate(row, i, t[i])) return false;
      continue;
    }
    if (section == DISPLAY_DATA && i > 0 && kind == Number::decimal) {
      // Coordinates for the map only: cut to whole units, within 32 bits as
      // whole coordinates are.
      double value = std::strtod(Terminated(t[i]).text, nullptr);
      if (!(std::fabs(value) < 2147483648.0))
        return fail(std::string(sname) + ": the " + field + " " + std::string(t[i].substr(0, 40)) +
                    " lies beyond 32 bits");
      *fields[i] = static_cast<int64_t>(value);
      kind = Number::ok;
    }
    if (kind == Number::decimal)
      return fail(std::string(sname) + ": the " + field + " " + std::string(t[i].substr(0, 40)) +
                  " is a decimal; only whole numbers are read here");
    if (kind != Number::ok)
      return fail(std::string(sname) + ": the " + field + " \"" + std::string(t[i].substr(0, 40)) +
                  "\" is not a number");
  }
  return true;
}

// A coordinate with decimals: its digits, and how many follow the point.
bool Reader::coordinate(Row &row, int field, std::string_view token) {
  Decimal d;
  DecimalForm form = read_decimal(token, d);
  if (form != DecimalForm::number) {
    std::string problem = std::string("NODE_COORD_SECTION: the ") +
                          value_names[NODE_COORD][field - 1] + " \"" +
                          std::string(token.substr(0, 40)) + "\"";
    return fail(problem + (form == DecimalForm::too_many_decimals
                               ? " has more than " + std::to_string(MAX_DECIMALS) + " decimals"
                               : std::string(" is not a number")));
  }
  (field == 1 ? row.a : row.b) = d.digits;
  (field == 1 ? row.a_decimals : row.b_decimals) = static_cast<int8_t>(d.decimals);
  return true;
}

std::string decimal_text(const Decimal &d) {
  int64_t unit = power_of_ten(d.decimals);
  int64_t whole = d.digits / unit, fraction = d.digits % unit;
  std::string text = (d.digits < 0 ? "-" : "") + std::to_string(whole < 0 ? -whole : whole);
  if (d.decimals == 0) return text;
  std::string digits = std::to_string(fraction < 0 ? -fraction : fraction);
  return text + "." + std::string(static_cast<size_t>(d.decimals) - digits.size(), '0') + digits;
}

// Where any coordinate has decimals, every one is held exactly at the most
// decimals any has, within +-10^6 so that the legs' squares stay within
// 128 bits (node_table.h). The node table keeps them too, in units of at
// most three decimals, to draw the map by.
bool Reader::place_decimal_coordinates() {
  int k = 0;
  for (const Row &row : rows[NODE_COORD])
    k = std::max({k, int{row.a_decimals}, int{row.b_decimals}});
  if (k == 0) return true;
  constexpr int64_t REACH = 1000000;
  DecimalPlaces &p = r.own_instance.decimal_places;
  size_t d = static_cast<size_t>(dimension);
  p.decimals = k;
  p.unit = power_of_ten(k);
  p.x.assign(d, 0);
  p.y.assign(d, 0);
  p.exact_x.assign(d, ext(0));
  p.exact_y.assign(d, ext(0));
  int64_t drawn = power_of_ten(k > 3 ? k - 3 : 0);
  for (const Row &row : rows[NODE_COORD]) {
    size_t at = static_cast<size_t>(row.id - 1);
    for (int field = 1; field <= 2; ++field) {
      Decimal c{field == 1 ? row.a : row.b, field == 1 ? row.a_decimals : row.b_decimals};
      int64_t scaled = scaled_to(c, k);
      if (scaled > REACH * p.unit || scaled < -REACH * p.unit)
        return fail_at(row.line, std::string("NODE_COORD_SECTION: the ") +
                                     value_names[NODE_COORD][field - 1] + " " + decimal_text(c) +
                                     " of node " + std::to_string(row.id) +
                                     " lies beyond +-1000000, where coordinates with decimals "
                                     "are read");
      (field == 1 ? p.x : p.y)[at] = scaled;
      (field == 1 ? p.exact_x : p.exact_y)[at] = to_ext(c);
      Customer &node = r.own_instance.customers[at];
      (field == 1 ? node.x : node.y) = static_cast<int32_t>(scaled / drawn);
    }
  }
  return true;
}

// The nodes' table and the legs, once the whole file has been read.
bool Reader::finish() {
  if (dimension < 0) return fail("the file ends without DIMENSION");
  if (capacity < 0) return fail("the file ends without CAPACITY");
  bool windows = seen[TIME_WINDOW];
  if (type.empty()) {
    r.own_instance.notes.push_back(std::string("the instance has no TYPE: read as ") +
                                   (windows ? "VRPTW, as it has a TIME_WINDOW_SECTION"
                                            : "CVRP, as it has no TIME_WINDOW_SECTION"));
  } else if (type == "CVRP" && windows) {
    return fail_at(type_line, "TYPE CVRP with a TIME_WINDOW_SECTION: a VRPTW needs TYPE VRPTW");
  } else if ((type == "VRPTW" || type == "CVRPTW") && !windows) {
    return fail_at(type_line, "TYPE " + type + " without a TIME_WINDOW_SECTION");
  }
  if (edge_weight_type.empty() && seen[NODE_COORD]) {
    edge_weight_type = "EUC_2D";
    r.own_instance.notes.push_back(
        "the instance has no EDGE_WEIGHT_TYPE: legs are Euclidean (EUC_2D)");
  }
  if (edge_weight_type == "EUC_2D") {
    if (!seen[NODE_COORD]) return fail("EDGE_WEIGHT_TYPE EUC_2D without a NODE_COORD_SECTION");
  } else if (edge_weight_type == "EXPLICIT") {
    if (!seen[EDGE_WEIGHT]) return fail("EDGE_WEIGHT_TYPE EXPLICIT without an EDGE_WEIGHT_SECTION");
  } else {
    return fail("EDGE_WEIGHT_TYPE \"" + edge_weight_type +
                "\" is not read here: EUC_2D and EXPLICIT are");
  }
  if (!seen[DEMAND]) return fail("the file ends without a DEMAND_SECTION");
  if (limit.set && limit.with_service && windows)
    return fail_at(limit_line, "DISTANCE with a TIME_WINDOW_SECTION: a route length limit that "
                               "counts service times is read only without time windows");
  if (seen[SERVICE_TIME] && !service_time_text.empty())
    r.own_instance.notes.push_back(
        "the SERVICE_TIME_SECTION gives the service times; the key SERVICE_TIME " +
        service_time_text + " is not used");

  size_t d = static_cast<size_t>(dimension);
  r.own_instance.customers.assign(d, Customer{});
  for (size_t i = 1; i < d; ++i)
    r.own_instance.customers[i].service = static_cast<int32_t>(service_time);
  auto node = [&](const Row &row) -> Customer & { return r.own_instance.customers[row.id - 1]; };
  bool placed = seen[NODE_COORD] || seen[DISPLAY_DATA];
  for (const Row &row : rows[seen[NODE_COORD] ? NODE_COORD : DISPLAY_DATA]) {
    node(row).x = static_cast<int32_t>(row.a);
    node(row).y = static_cast<int32_t>(row.b);
  }
  if (seen[NODE_COORD] && !place_decimal_coordinates()) return false;
  for (const Row &row : rows[DEMAND]) node(row).demand = static_cast<int32_t>(row.a);
  for (const Row &row : rows[SERVICE_TIME]) node(row).service = static_cast<int32_t>(row.a);
  for (Customer &c : r.own_instance.customers) c.due = INT32_MAX; // no window closes
  for (const Row &row : rows[TIME_WINDOW]) {
    node(row).ready = static_cast<int32_t>(row.a);
    node(row).due = static_cast<int32_t>(row.b);
  }
  if (seen[EDGE_WEIGHT]) {
    Weights &w = r.own_instance.weights;
    w.size = dimension;
    w.exact.assign(d * d, 0);
    w.tenths.assign(d * d, 0);
    w.rounded.assign(d * d, 0);
    size_t k = 0;
    auto put = [&](size_t i, size_t j, bool both) {
      for (size_t at : {i * d + j, j * d + i}) {
        w.exact[at] = exact[k];
        w.tenths[at] = tenths[k];
        w.rounded[at] = rounded[k];
        if (!both) break;
      }
      ++k;
    };
    const std::string &f = edge_weight_format;
    for (size_t i = 0; i < d; ++i) {
      if (f == "FULL_MATRIX")
        for (size_t j = 0; j < d; ++j) put(i, j, false);
      else if (f == "LOWER_ROW" || f == "LOWER_DIAG_ROW")
        for (size_t j = 0; j < i + (f == "LOWER_DIAG_ROW"); ++j) put(i, j, true);
      else
        for (size_t j = i + (f == "UPPER_ROW"); j < d; ++j) put(i, j, true);
    }
  }
  r.own_instance.customer_count = dimension - 1;
  r.own_instance.capacity = capacity;
  r.own_instance.vehicles = static_cast<int32_t>(std::min<int64_t>(vehicles, INT32_MAX));
  r.own_instance.fleet_limited = vehicles > 0;
  r.own_instance.windows = windows;
  r.own_instance.route_limit = limit;
  r.own_instance.coordinates = placed;
  r.own_instance.format = InstanceFormat::vrplib;
  r.own_instance.name = name.substr(0, 255);
  return true;
}

} // namespace

bool looks_like_vrplib(std::string_view head) {
  bool dimension = false, section = false;
  LinesAhead lines{head};
  for (std::string_view text; !(dimension && section) && lines.next(text);) {
    std::string_view line = up_to_nul(text), first, key, value;
    section |= Tokens(line).next(first) && is_section_word(first);
    dimension |= key_line(line, key, value) && key == "DIMENSION";
  }
  return dimension && section;
}

bool begins_with_key_line(std::string_view head) {
  std::string_view first, key, value;
  return LinesAhead{head}.next(first) && key_line(up_to_nul(first), key, value);
}

void read_vrplib(Run &r, InputFile &file) {
  Reader rd(r, file);
  bool ended = false;
  std::string key, value; // the last key line's, their room reused from line to line
  while (!at_end(file) && !r.stopped && !ended) {
    read_line(r, file);
    if (rd.whole_number_row(r.line)) continue;
    std::string_view line(r.line), first, key_text, value_text;
    if (!Tokens(line).next(first) || r.stopped) continue;
    const char *line_end = line.data() + line.size();
    if (first == "EOF") {
      ended = rd.end_section();
    } else if (is_section_word(first)) {
      if (rd.end_section()) rd.start_section(first);
    } else if (key_line(first.data(), line_end, key_text, value_text)) {
      key.assign(key_text);
      value.assign(value_text);
      if (rd.end_section()) rd.key(key, value);
    } else {
      rd.row(line);
    }
  }
  if (!r.stopped && !ended) rd.end_section();
  if (!r.stopped) rd.finish();
  if (r.own_instance.customers.empty())
    r.own_instance.customers.assign(1, Customer{}); // the depot, for what follows
  close_input(file);
}
