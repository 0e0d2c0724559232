#include "reader.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "../run.h"
#include "number.h"

static void read_header_line(Run &r, InputFile &file) {
  read_line(r, file);
  // The usual reason why the header numbers cannot be read is a file with
  // CR LF line ends.
  if (std::strchr(r.line, '\r')) r.seen_cr = true;
}

// Skips blank lines up to the next non-blank one, a section title; the end
// of the file before it ends the run with `missing`.
static void skip_to_title(Run &r, InputFile &file, const char *missing) {
  while (!r.stopped) {
    read_header_line(r, file);
    if (*skip_blanks(r.line) != '\0') return;
    if (at_end(file)) input_fault(r, file, missing);
  }
}

// The checker names the number clamped to 32 bits, as it read it; the
// report names it as written.
static void out_of_range(Run &r, int64_t node, int64_t last, std::string_view written = {}) {
  if (!written.empty())
    r.fault_as_written = format("node number %.*s out of range 0 to %lld\n",
                                static_cast<int>(std::min<size_t>(written.size(), 40)),
                                written.data(), static_cast<long long>(last));
  fault_with(r, "node number %lld out of range 0 to %lld\n", static_cast<long long>(node),
             static_cast<long long>(last));
}

// The largest node number the report accepts after `lines` node lines.
static int64_t report_bound(int64_t lines) { return std::max<int64_t>(MAX_N - 1, lines - 1); }

static void read_node_line(Run &r, InputFile &file, char *cursor, int64_t lines) {
  int32_t node;
  const char *token = cursor; // the number as written, for a message about it
  cursor = read_one_number(r, cursor, node);
  if (r.stopped) return;
  // Where the checker's table ends, the checker stops; the report's reads on.
  if (node < 0 || node >= MAX_N) found(r, Finding{Kind::beyond_checker_node_number, 0, node});
  if (node < 0)
    return out_of_range(r, node, r.fixed_table ? MAX_N - 1 : report_bound(lines),
                        beyond_32_bits(token));
  // The report's table grows with the lines read, never with a number alone:
  // a node beyond what the lines so far allow waits for the end of the file.
  bool beyond =
      static_cast<size_t>(node) >= r.own_instance.customers.size() && node > report_bound(lines);
  if (!beyond && static_cast<size_t>(node) >= r.own_instance.customers.size())
    r.own_instance.customers.resize(static_cast<size_t>(node) + 1, Customer{});
  Customer waiting{};
  Customer &c = beyond ? waiting : r.own_instance.customers[node];
  cursor = read_one_number(r, cursor, c.x);
  cursor = read_one_number(r, cursor, c.y);
  cursor = read_one_number(r, cursor, c.demand);
  cursor = read_one_number(r, cursor, c.ready);
  cursor = read_one_number(r, cursor, c.due);
  read_one_number(r, cursor, c.service);
  if (beyond && !r.stopped)
    r.pending.push_back(PendingNode{node, c, file.lines_read, std::string(beyond_32_bits(token))});
}

// The nodes that waited: placed now that the number of lines is known, or
// refused, the first that lies beyond in the order of the file.
static void place_pending(Run &r, InputFile &file, int64_t lines) {
  int64_t bound = report_bound(lines);
  for (const PendingNode &p : r.pending)
    if (p.node > bound) {
      file.line = p.line; // the fault stands where the node did
      return out_of_range(r, p.node, bound, p.written);
    }
  for (const PendingNode &p : r.pending) {
    if (static_cast<size_t>(p.node) >= r.own_instance.customers.size())
      r.own_instance.customers.resize(static_cast<size_t>(p.node) + 1, Customer{});
    r.own_instance.customers[p.node] = p.values;
  }
  r.pending.clear();
}

void read_instance(Run &r, InputFile &file) {
  read_header_line(r, file);
  r.own_instance.name.assign(r.line, std::min<size_t>(std::strlen(r.line), 255)); // cut to fit
  skip_to_title(r, file, "ends before the vehicle section");
  read_header_line(r, file); // column titles

  extract_int(file, r.own_instance.vehicles);
  extract_double(file, r.own_instance.capacity);
  check_extraction(r, file,
                   r.seen_cr ? "the vehicle count and capacity cannot be read; the file has "
                               "CR LF line ends and must be converted to LF"
                             : "the vehicle count and capacity cannot be read");

  skip_to_title(r, file, "ends before the customer section"); // the rest of the capacity line first
  read_line(r, file);                                         // column titles

  r.own_instance.customer_count = -1;
  while (!at_end(file) && !r.stopped) {
    read_line(r, file);
    r.cursor = skip_blanks(r.cursor);
    if (*r.cursor == '\0') continue;
    if (++r.own_instance.customer_count + 1 == MAX_N + 1)
      found(r, Finding{Kind::beyond_checker_node_count});
    read_node_line(r, file, r.cursor, r.own_instance.customer_count + 1);
  }
  if (!r.stopped) place_pending(r, file, r.own_instance.customer_count + 1);
  // Every record up to n exists, read or not (a gap in the numbering), and
  // the depot's even without node lines.
  size_t records = static_cast<size_t>(std::max<int64_t>(r.own_instance.customer_count + 1, 1));
  if (r.own_instance.customers.size() < records)
    r.own_instance.customers.resize(records, Customer{});
  close_input(file);
}
