#include "reader.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "../findings.h"
#include "node_table.h"
#include "number.h"

// Whether any line read so far held a carriage return: the usual reason why
// the header numbers cannot be read is a file with CR LF line ends.
static bool seen_cr = false;

static void read_header_line(InputFile &file) {
  read_line(file);
  if (std::strchr(line, '\r')) seen_cr = true;
}

// Skips blank lines up to the next non-blank one, a section title; the end
// of the file before it ends the run with `missing`.
static void skip_to_title(InputFile &file, const char *missing) {
  while (!input_failed) {
    read_header_line(file);
    if (*rmblanc(line) != '\0') return;
    if (at_end(file)) input_fault(file, missing);
  }
}

static void read_node_line(char *cursor) {
  int32_t node;
  cursor = read_one_number(cursor, node);
  if (input_failed) return;
  if (node < 0 || node >= MAX_N) {
    char text[80];
    std::snprintf(text, sizeof text, "node number %d out of range 0 to %d\n", node, MAX_N - 1);
    fault(text);
    return;
  }
  Customer &c = customers[node];
  cursor = read_one_number(cursor, c.x);
  cursor = read_one_number(cursor, c.y);
  cursor = read_one_number(cursor, c.demand);
  cursor = read_one_number(cursor, c.ready);
  cursor = read_one_number(cursor, c.due);
  read_one_number(cursor, c.service);
  c.visits = 0;
}

void read_instance(InputFile &file) {
  std::memset(customers, 0, sizeof customers);

  read_header_line(file);
  size_t kept = std::min(std::strlen(line), sizeof instance_name - 1);
  std::memcpy(instance_name, line, kept);
  instance_name[kept] = '\0';
  skip_to_title(file, "ends before the vehicle section");
  read_header_line(file); // column titles

  extract_int(file, vehicles);
  extract_double(file, TCap);
  check_extraction(file, seen_cr ? "the vehicle count and capacity cannot be read; the file has "
                                   "CR LF line ends and must be converted to LF"
                                 : "the vehicle count and capacity cannot be read");

  skip_to_title(file, "ends before the customer section"); // the rest of the capacity line first
  read_line(file);                                         // column titles

  n = -1;
  while (!at_end(file) && !input_failed) {
    read_line(file);
    ohneline = rmblanc(ohneline);
    if (*ohneline == '\0') continue;
    if (++n + 1 > MAX_N) {
      char text[48];
      std::snprintf(text, sizeof text, " Too many nodes, max. is %d\n", MAX_N);
      fault(text);
      break;
    }
    read_node_line(ohneline);
  }
  close_input(file);
}
