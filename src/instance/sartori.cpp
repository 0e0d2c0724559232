// Sartori & Buriol's pickup and delivery instances on road networks: key
// lines, then NODES and a row per task, then EDGES and the matrix of whole
// travel times, row = from, column = to, then EOF.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

#include "../run.h"
#include "decimal.h"
#include "formats.h"
#include "requests.h"

namespace {

// Every travel time takes a digit and a blank at least, and a matrix row must
// fit one line of the line buffer.
constexpr int64_t MOST_NODES = LINE_LEN / 2;

constexpr int NODE_FIELDS = 9; // id lat lon demand earliest latest service pickup delivery
// Names as arrays of characters: read-only data, no table of pointers to
// relocate where the library is loaded.
constexpr char node_fields[NODE_FIELDS][9] = {"id",     "lat",     "lon",    "demand",  "earliest",
                                              "latest", "service", "pickup", "delivery"};

// The keys of the header; anything else could mean what this reader does not
// know (a fleet, another objective), so it is refused rather than passed over.
enum Key {
  NAME,
  LOCATION,
  COMMENT,
  TYPE,
  SIZE,
  DISTRIBUTION,
  DEPOT,
  ROUTE_TIME,
  TIME_WINDOW,
  CAPACITY,
  KEY_COUNT
};
constexpr char key_names[KEY_COUNT][13] = {"NAME",        "LOCATION",     "COMMENT", "TYPE",
                                           "SIZE",        "DISTRIBUTION", "DEPOT",   "ROUTE-TIME",
                                           "TIME-WINDOW", "CAPACITY"};

bool is_key_char(char c) {
  return is_digit(c) || c == '_' || c == '-' || ((c | 0x20) >= 'a' && (c | 0x20) <= 'z');
}

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && is_space(s.front())) s.remove_prefix(1);
  while (!s.empty() && is_space(s.back())) s.remove_suffix(1);
  return s;
}

// "KEY: value" with any blanks around the colon: the key, and the value
// without white space around it.
bool key_line(std::string_view line, std::string_view &key, std::string_view &value) {
  line = trimmed(line);
  size_t k = 0;
  while (k < line.size() && is_key_char(line[k])) ++k;
  if (k == 0) return false;
  size_t colon = k;
  while (colon < line.size() && is_blank(line[colon])) ++colon;
  if (colon == line.size() || line[colon] != ':') return false;
  key = line.substr(0, k);
  value = trimmed(line.substr(colon + 1));
  return true;
}

// A token quoted in a message, cut to a readable length.
std::string quoted(std::string_view token) {
  return "\"" + std::string(token.substr(0, 40)) + (token.size() > 40 ? "...\"" : "\"");
}

// A whole number within 32 bits, or why not.
enum class Whole { ok, not_whole, beyond_32_bits };
Whole whole_number(std::string_view token, int32_t &value) {
  const char *end = token.data() + token.size();
  ScannedInt n = scan_integer(token.data(), end);
  if (n.end != end) return Whole::not_whole;
  return clamp_to_int32(n.negative, n.magnitude, value) ? Whole::ok : Whole::beyond_32_bits;
}

std::vector<std::string_view> tokens_of(std::string_view line) {
  std::vector<std::string_view> tokens;
  size_t i = 0;
  while (true) {
    while (i < line.size() && is_space(line[i])) ++i;
    if (i == line.size()) return tokens;
    size_t start = i;
    while (i < line.size() && !is_space(line[i])) ++i;
    tokens.push_back(line.substr(start, i - start));
  }
}

// How many bytes of the file are still to be read, where that is known: all
// of them for bytes in memory, the rest of a regular file by its size; -1
// for a pipe, a terminal or a channel.
int64_t unread_bytes(const InputFile &f) {
  int64_t buffered = f.end - f.next;
  if (f.fd < 0 && f.tee_in == nullptr)
    return f.memory_given ? buffered : static_cast<int64_t>(f.memory.size());
  struct stat st;
  if (f.tee_in != nullptr || fstat(f.fd, &st) != 0 || !S_ISREG(st.st_mode)) return -1;
  off_t at = lseek(f.fd, 0, SEEK_CUR);
  return at < 0 ? -1 : static_cast<int64_t>(st.st_size - at) + buffered;
}

struct Reader {
  Run &r;
  InputFile &file;
  enum { HEADER, NODES, EDGES, ENDED } section = HEADER;
  int64_t key_at[KEY_COUNT] = {}; // the line of each key read; 0 for none
  int64_t size = 0;               // nodes, the depot's included
  int32_t capacity = 0;
  std::string values[KEY_COUNT];
  int64_t nodes_at = 0, edges_at = 0;
  std::vector<TaskRow> tasks;
  std::vector<Decimal> lat, lon; // in the order of the rows
  std::vector<int32_t> matrix;   // the rows read so far, one after another
  int64_t rows = 0;
  int64_t last_line = 1; // the last line that was not blank, where the file is found short

  Reader(Run &run, InputFile &f) : r(run), file(f) {}

  bool refuse(const std::string &problem) { return refuse_at(file.lines_read, problem); }
  bool refuse_at(int64_t line, const std::string &problem) {
    input_fault(r, file, ("line " + std::to_string(line) + ": " + problem).c_str());
    return false;
  }

  bool line(std::string_view text);
  bool key(std::string_view name, std::string_view value);
  bool start_nodes();
  bool start_edges();
  bool node_row(std::string_view text);
  bool matrix_row(const char *text);
  bool bad_matrix_row(const char *text);
  bool finish();
};

bool Reader::line(std::string_view text) {
  std::string_view word = trimmed(text), name, value;
  if (word.empty() || section == ENDED) return true; // nothing after EOF is read
  last_line = file.lines_read;
  if (word == "EOF") {
    if (section == EDGES && rows < size)
      return refuse("EOF after " + std::to_string(rows) + " rows of the matrix; SIZE " +
                    std::to_string(size) + " wants as many rows as nodes");
    if (section != EDGES) return refuse("EOF before the EDGES section");
    section = ENDED;
    return true;
  }
  if (word == "NODES") return start_nodes();
  if (word == "EDGES") return start_edges();
  if (section == NODES) return node_row(word);
  if (section == EDGES) return matrix_row(r.line);
  if (key_line(word, name, value)) return key(name, value);
  return refuse("neither a key line \"KEY: value\" nor NODES: " + quoted(word));
}

bool Reader::key(std::string_view name, std::string_view value) {
  int k = 0;
  while (k < KEY_COUNT && name != key_names[k]) ++k;
  if (k == KEY_COUNT)
    return refuse("the key " + quoted(name) +
                  " is not read here: NAME, LOCATION, COMMENT, TYPE, SIZE, DISTRIBUTION, DEPOT, "
                  "ROUTE-TIME, TIME-WINDOW and CAPACITY are");
  if (key_at[k])
    return refuse(std::string(key_names[k]) + " again, after line " + std::to_string(key_at[k]));
  key_at[k] = file.lines_read;
  values[k].assign(value.substr(0, 255));
  if (k == TYPE && value != "PDPTW")
    return refuse("TYPE " + quoted(value) + " is not read here: PDPTW is");
  if (k == SIZE || k == CAPACITY) {
    int32_t n = 0;
    Whole w = whole_number(value, n);
    if (w != Whole::ok || n < (k == SIZE ? 1 : 0))
      return refuse(std::string(key_names[k]) + " must be a whole number of " +
                    (k == SIZE ? "1" : "0") + " or more, not " + quoted(value));
    if (k == SIZE && n > MOST_NODES)
      return refuse("SIZE " + std::to_string(n) + " is beyond the " + std::to_string(MOST_NODES) +
                    " nodes read here: a row of the matrix must fit a line of " +
                    std::to_string(LINE_LEN - 1) + " characters");
    if (k == SIZE) size = n;
    if (k == CAPACITY) capacity = n;
  }
  return true;
}

bool Reader::start_nodes() {
  if (section != HEADER) return refuse("NODES again, after line " + std::to_string(nodes_at));
  for (Key k : {SIZE, CAPACITY})
    if (!key_at[k]) return refuse("NODES, but no " + std::string(key_names[k]) + " line before it");
  nodes_at = file.lines_read;
  section = NODES;
  return true;
}

bool Reader::start_edges() {
  if (section == HEADER) return refuse("EDGES before NODES");
  if (section == EDGES) return refuse("EDGES again, after line " + std::to_string(edges_at));
  if (static_cast<int64_t>(tasks.size()) != size)
    return refuse("EDGES after " + std::to_string(tasks.size()) + " node rows; SIZE says " +
                  std::to_string(size));
  edges_at = file.lines_read;
  section = EDGES;
  return true;
}

bool Reader::node_row(std::string_view text) {
  if (static_cast<int64_t>(tasks.size()) == size)
    return refuse("more node rows than SIZE " + std::to_string(size));
  std::vector<std::string_view> t = tokens_of(text);
  if (t.size() != NODE_FIELDS)
    return refuse("a node row holds nine numbers, id lat lon demand earliest latest service "
                  "pickup delivery; this one " +
                  std::to_string(t.size()));
  int32_t f[NODE_FIELDS] = {};
  Decimal coordinate[2];
  for (int i = 0; i < NODE_FIELDS; ++i) {
    auto refuse_field = [&](const std::string &problem) {
      return refuse(std::string("the ") + node_fields[i] + " " + quoted(t[i]) + problem);
    };
    if (i == 1 || i == 2) {
      Decimal &c = coordinate[i - 1];
      DecimalForm form = read_decimal(t[i], c);
      if (form == DecimalForm::too_many_decimals)
        return refuse_field(" has more than " + std::to_string(MAX_DECIMALS) + " decimals");
      if (form != DecimalForm::number) return refuse_field(" is not a number");
      // Within +-10^6, so that the coordinates are held exactly (node_table.h).
      constexpr int64_t REACH = 1000000;
      int64_t reach = REACH * power_of_ten(c.decimals);
      if (c.digits > reach || c.digits < -reach) return refuse_field(" lies beyond +-1000000");
      continue;
    }
    Whole w = whole_number(t[i], f[i]);
    if (w == Whole::beyond_32_bits) return refuse_field(" lies beyond 32 bits");
    if (w != Whole::ok) return refuse_field(" is not a whole number");
  }
  tasks.push_back(
      TaskRow{f[0], Customer{0, 0, f[3], f[4], f[5], f[6]}, {f[7], f[8], file.lines_read}});
  lat.push_back(coordinate[0]);
  lon.push_back(coordinate[1]);
  return true;
}

// A row of the matrix straight into its place: the fast way for the 25
// million numbers of the largest instances, with the reason looked for only
// where the row is not sound.
bool Reader::matrix_row(const char *text) {
  if (rows == size) return refuse("more rows in the matrix than SIZE " + std::to_string(size));
  // The matrix is held whole at once where the rest of the file is long
  // enough to write it (each travel time takes two bytes at least), so that
  // it is never moved; else it grows with the rows read, doubling, up to the
  // size SIZE asks for. Either way it never takes more room than the file
  // backs with its bytes.
  size_t need = static_cast<size_t>((rows + 1) * size);
  if (rows == 0 && unread_bytes(file) >= (size - 1) * 2 * size - 1)
    matrix.reserve(static_cast<size_t>(size * size));
  if (matrix.capacity() < need)
    matrix.reserve(
        std::min(static_cast<size_t>(size * size), std::max(need, 2 * matrix.capacity())));
  matrix.resize(need);
  int32_t *row = matrix.data() + rows * size;
  if (whole_fields(text, row, static_cast<int>(size)) != size) return bad_matrix_row(text);
  for (int64_t j = 0; j < size; ++j)
    if (row[j] < 0)
      return refuse("the travel time " + std::to_string(row[j]) + " from node " +
                    std::to_string(rows) + " to node " + std::to_string(j) + " is negative");
  ++rows;
  return true;
}

bool Reader::bad_matrix_row(const char *text) {
  std::vector<std::string_view> t = tokens_of(text);
  for (size_t j = 0; j < t.size() && static_cast<int64_t>(j) < size; ++j) {
    int32_t value;
    Whole w = whole_number(t[j], value);
    std::string where = " from node " + std::to_string(rows) + " to node " + std::to_string(j);
    if (w == Whole::beyond_32_bits)
      return refuse("the travel time " + quoted(t[j]) + where + " lies beyond 32 bits");
    if (w != Whole::ok)
      return refuse("the travel time " + quoted(t[j]) + where + " is not a whole number");
  }
  return refuse("row " + std::to_string(rows) + " of the matrix holds " + std::to_string(t.size()) +
                " travel times; SIZE says " + std::to_string(size));
}

bool Reader::finish() {
  if (section == HEADER) {
    for (Key k : {SIZE, CAPACITY})
      if (!key_at[k])
        return refuse_at(last_line,
                         "the file ends without a " + std::string(key_names[k]) + " line");
    return refuse_at(last_line, "the file ends before NODES");
  }
  if (section == NODES)
    return refuse_at(last_line, "the file ends before EDGES: the travel times are missing");
  if (rows < size)
    return refuse_at(last_line, "the file ends after " + std::to_string(rows) +
                                    " rows of the matrix; SIZE " + std::to_string(size) +
                                    " wants as many rows as nodes");
  if (!place_tasks(r, file, tasks)) return false;

  InstanceData &d = r.own_instance;
  d.format = InstanceFormat::sartori;
  d.name = values[NAME];
  d.customer_count = size - 1;
  d.capacity = capacity;
  d.vehicles = 0;
  d.fleet_limited = false; // no fleet size: as many vehicles as the routes need
  d.windows = true;
  d.weights.size = size;
  d.weights.whole = std::move(matrix);

  // Latitude and longitude, exactly, for the library's nodes and the map: x
  // the longitude and y the latitude, so that north is up. The node table
  // holds them in the finest unit that keeps every one within 32 bits. The
  // legs come from the matrix alone.
  DecimalPlaces &p = d.decimal_places;
  int k = 0;
  for (size_t i = 0; i < tasks.size(); ++i) k = std::max({k, lat[i].decimals, lon[i].decimals});
  p.decimals = k;
  p.unit = power_of_ten(k);
  p.x.assign(tasks.size(), 0);
  p.y.assign(tasks.size(), 0);
  p.exact_x.assign(tasks.size(), ext(0));
  p.exact_y.assign(tasks.size(), ext(0));
  int64_t largest = 0;
  for (size_t i = 0; i < tasks.size(); ++i) {
    size_t at = static_cast<size_t>(tasks[i].id);
    p.x[at] = scaled_to(lon[i], k);
    p.y[at] = scaled_to(lat[i], k);
    p.exact_x[at] = to_ext(lon[i]);
    p.exact_y[at] = to_ext(lat[i]);
    largest =
        std::max({largest, p.x[at] < 0 ? -p.x[at] : p.x[at], p.y[at] < 0 ? -p.y[at] : p.y[at]});
  }
  int64_t drawn = 1;
  while (largest / drawn > INT32_MAX) drawn *= 10;
  for (size_t i = 0; i < tasks.size(); ++i) {
    d.customers[i].x = static_cast<int32_t>(p.x[i] / drawn);
    d.customers[i].y = static_cast<int32_t>(p.y[i] / drawn);
  }

  if (key_at[ROUTE_TIME] || key_at[TIME_WINDOW])
    d.notes.push_back("ROUTE-TIME " + (key_at[ROUTE_TIME] ? values[ROUTE_TIME] : "-") +
                      " and TIME-WINDOW " + (key_at[TIME_WINDOW] ? values[TIME_WINDOW] : "-") +
                      " are information only: the depot's own window, " +
                      std::to_string(d.customers[0].ready) + " to " +
                      std::to_string(d.customers[0].due) + ", bounds every route");
  return true;
}

} // namespace

bool looks_like_sartori(std::string_view head) {
  bool size = false, nodes = false, edges = false;
  LinesAhead lines{head};
  for (std::string_view text; !(size && nodes) && lines.next(text);) {
    std::string_view word = trimmed(text.substr(0, text.find('\0'))), key, value;
    nodes |= word == "NODES";
    edges |= word == "EDGES";
    size |= key_line(word, key, value) && key == "SIZE";
  }
  return size && (nodes || edges);
}

void read_sartori(Run &r, InputFile &file) {
  Reader rd(r, file);
  bool sound = true;
  while (sound && !at_end(file) && !r.stopped) {
    read_line(r, file);
    if (r.stopped) break;
    sound = rd.line(r.line);
  }
  if (sound && !r.stopped) rd.finish();
  if (r.own_instance.customers.empty())
    r.own_instance.customers.assign(1, Customer{}); // the depot, for what follows
  close_input(file);
}
