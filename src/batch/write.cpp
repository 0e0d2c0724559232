#include "write.h"

#include <string>

#include "csv.h"

namespace {

// The table's columns: the error last, as it is the longest.
struct TableColumn {
  Column column;
  const char *title;
  int width;
  bool right; // numbers are right-aligned
};
const TableColumn table_columns[] = {{col_instance, "instance", 0, false},
                                     {col_solution, "solution", 0, false},
                                     {col_status, "status", 6, true},
                                     {col_customers, "customers", 9, true},
                                     {col_vehicles, "vehicles", 8, true},
                                     {col_distance, "distance", 12, true},
                                     {col_distance_truncated, "truncated", 10, true},
                                     {col_distance_rounded, "rounded", 9, true},
                                     {col_declared_cost, "declared", 10, true},
                                     {col_matches, "matches", 9, false},
                                     {col_feasible, "feasible", 8, false},
                                     {col_feasible_truncated, "feasible_trunc", 14, false},
                                     {col_feasible_rounded, "feasible_round", 14, false},
                                     {col_decision_convention, "decision", 9, false},
                                     {col_decision_feasible, "feasible_dec", 12, false},
                                     {col_violations, "violations", 10, true},
                                     {col_first_violation, "first_violation", 24, false},
                                     {col_bks_vehicles, "bks_vehicles", 12, true},
                                     {col_bks_cost, "bks_cost", 10, true},
                                     {col_gap_percent, "gap_%", 8, true},
                                     {col_gap_convention, "gap_conv", 9, false},
                                     {col_error, "error", 0, false}};

bool is_bks(Column c) { return c >= col_bks_vehicles; }

// The columns of CSV and markdown: all up to the error, then those of --bks.
int column_count(const Writer &w) { return w.bks ? COLUMN_COUNT : col_error + 1; }

bool numeric(Column c) {
  return c == col_status || c == col_customers || c == col_vehicles || c == col_distance ||
         c == col_distance_truncated || c == col_distance_rounded || c == col_declared_cost ||
         c == col_violations || c == col_bks_vehicles || c == col_bks_cost || c == col_gap_percent;
}

// The length of the UTF-8 sequence at `s`, or 0 when there is none.
size_t utf8_length(const unsigned char *s, size_t left) {
  size_t n = s[0] >= 0xF0 && s[0] <= 0xF4 ? 4 : s[0] >= 0xE0 ? 3 : s[0] >= 0xC2 ? 2 : 0;
  if (n == 0 || n > left) return 0;
  for (size_t i = 1; i < n; ++i)
    if ((s[i] & 0xC0) != 0x80) return 0;
  if (n == 3 && s[0] == 0xE0 && s[1] < 0xA0) return 0;  // overlong
  if (n == 3 && s[0] == 0xED && s[1] >= 0xA0) return 0; // surrogates
  if (n == 4 && s[0] == 0xF0 && s[1] < 0x90) return 0;  // overlong
  if (n == 4 && s[0] == 0xF4 && s[1] >= 0x90) return 0; // beyond U+10FFFF
  if (n == 2 && s[0] == 0xC2 && s[1] < 0xA0) return 0;  // C1 control characters
  return n;
}

void put_table_row(const Writer &w, const std::string *cells, std::FILE *out) {
  std::string line;
  for (const TableColumn &t : table_columns) {
    if (is_bks(t.column) && !w.bks) continue;
    size_t width = 0;
    std::string text = shown(cells[t.column], &width);
    size_t want = t.column == col_instance   ? w.name_width[0]
                  : t.column == col_solution ? w.name_width[1]
                                             : static_cast<size_t>(t.width);
    std::string pad(want > width ? want - width : 0, ' ');
    if (t.column == col_error) {
      line += text;
      break;
    }
    line += t.right ? pad + text : text + pad;
    line += "  ";
  }
  while (!line.empty() && line.back() == ' ') line.pop_back();
  line += '\n';
  std::fputs(line.c_str(), out);
}

void put_markdown_row(const Writer &w, const std::string *cells, std::FILE *out) {
  std::string line = "|";
  for (int c = 0; c < column_count(w); ++c) {
    line += ' ';
    for (char ch : shown(cells[c])) line += ch == '|' ? std::string("\\|") : std::string(1, ch);
    line += " |";
  }
  line += '\n';
  std::fwrite(line.data(), 1, line.size(), out);
}

} // namespace

std::string shown(const std::string &bytes, size_t *width) {
  static const char hex[] = "0123456789ABCDEF";
  std::string text;
  size_t characters = 0;
  const unsigned char *s = reinterpret_cast<const unsigned char *>(bytes.data());
  for (size_t i = 0; i < bytes.size(); ++characters) {
    size_t n = s[i] >= 0x80 ? utf8_length(s + i, bytes.size() - i) : s[i] >= 0x20 && s[i] != 0x7F;
    if (n > 0) {
      text.append(bytes, i, n);
      i += n;
    } else {
      text += {'\\', 'x', hex[s[i] >> 4], hex[s[i] & 15]};
      characters += 3;
      ++i;
    }
  }
  if (width) *width = characters;
  return text;
}

Writer make_writer(const Settings &settings, const PairList &list) {
  Writer w{settings.format, settings.bks != nullptr};
  w.name_width[0] = 8; // "instance", "solution"
  w.name_width[1] = 8;
  for (const Pair &p : list.pairs) {
    size_t width;
    shown(p.instance, &width);
    w.name_width[0] = std::max(w.name_width[0], width);
    shown(p.solution, &width);
    w.name_width[1] = std::max(w.name_width[1], width);
  }
  return w;
}

void write_head(const Writer &w, std::FILE *out) {
  std::string cells[COLUMN_COUNT];
  switch (w.format) {
  case OutputFormat::table:
    for (const TableColumn &t : table_columns) cells[t.column] = t.title;
    put_table_row(w, cells, out);
    break;
  case OutputFormat::csv:
    for (int c = 0; c < column_count(w); ++c)
      std::fprintf(out, "%s%s", c ? "," : "", column_names[c]);
    std::fputs("\r\n", out);
    break;
  case OutputFormat::markdown:
    for (int c = 0; c < COLUMN_COUNT; ++c) cells[c] = column_names[c];
    put_markdown_row(w, cells, out);
    std::fputs("|", out);
    for (int c = 0; c < column_count(w); ++c)
      std::fputs(numeric(Column(c)) ? "---:|" : "---|", out);
    std::fputs("\n", out);
    break;
  case OutputFormat::jsonl:
    break;
  }
}

void write_row(const Writer &w, const Row &row, std::FILE *out) {
  switch (w.format) {
  case OutputFormat::table:
    put_table_row(w, row.cells, out);
    break;
  case OutputFormat::csv: {
    std::string line;
    for (int c = 0; c < column_count(w); ++c) line += (c ? "," : "") + csv_field(row.cells[c]);
    line += "\r\n";
    std::fwrite(line.data(), 1, line.size(), out);
    break;
  }
  case OutputFormat::markdown:
    put_markdown_row(w, row.cells, out);
    break;
  case OutputFormat::jsonl:
    std::fwrite(row.json.data(), 1, row.json.size(), out);
    break;
  }
}

void add_row(Totals &totals, const Row &row) {
  totals.pairs++;
  totals.not_judged += row.status == 2;
  totals.violations += row.status == 1;
  if (!row.judged) return;
  totals.feasible += row.feasible;
  totals.vehicles += row.vehicles;
  totals.distance += row.distance;
  totals.truncated_tenths += row.truncated_tenths;
  totals.rounded += row.rounded;
}

void write_totals(const Writer &w, const Totals &t, std::FILE *out) {
  if (w.format != OutputFormat::table) return;
  std::fprintf(out,
               "total: %lld pairs, %lld feasible, %lld with violations, %lld not judged; "
               "%lld vehicles, distance %.4f, truncated %lld.%lld, rounded %lld",
               static_cast<long long>(t.pairs), static_cast<long long>(t.feasible),
               static_cast<long long>(t.violations), static_cast<long long>(t.not_judged),
               static_cast<long long>(t.vehicles), t.distance,
               static_cast<long long>(t.truncated_tenths / 10),
               static_cast<long long>(t.truncated_tenths % 10), static_cast<long long>(t.rounded));
  if (t.unpaired_instances > 0)
    std::fprintf(out, "; %lld instance%s without a solution",
                 static_cast<long long>(t.unpaired_instances),
                 t.unpaired_instances == 1 ? "" : "s");
  std::fputs("\n", out);
}
