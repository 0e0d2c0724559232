#include "write.h"

#include <algorithm>
#include <charconv>
#include <string>

#include "csv.h"

namespace {

// The pair rows' columns as the table shows them.
struct TableColumn {
  Column column;
  char title[24];
  int width;
  bool right; // numbers are right-aligned
};
const TableColumn table_columns[] = {{col_name, "name", 0, false},
                                     {col_run, "run", 0, false},
                                     {col_instance, "instance", 0, false},
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
                                     {col_error, "error", 40, false},
                                     {col_bks_vehicles, "bks_vehicles", 12, true},
                                     {col_bks_cost, "bks_cost", 10, true},
                                     {col_gap_percent, "gap_%", 8, true},
                                     {col_gap_convention, "gap_conv", 9, false},
                                     {col_vehicles_vs_bks, "veh_vs_bks", 10, false}};

bool display(OutputFormat f) {
  return f == OutputFormat::table || f == OutputFormat::markdown || f == OutputFormat::latex;
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

void put_table_row(const Sheet &sheet, const std::vector<std::string> &cells, std::FILE *out) {
  std::string line;
  for (size_t k = 0; k < sheet.chosen.size(); ++k) {
    const Field &f = sheet.fields[sheet.chosen[k]];
    size_t width = 0;
    std::string text = shown(cells[sheet.chosen[k]], &width);
    std::string pad(f.width > width ? f.width - width : 0, ' ');
    line += f.right ? pad + text : text + pad;
    line += "  ";
  }
  while (!line.empty() && line.back() == ' ') line.pop_back();
  line += '\n';
  std::fwrite(line.data(), 1, line.size(), out);
}

void put_markdown_row(const Sheet &sheet, const std::vector<std::string> &cells, std::FILE *out) {
  std::string line = "|";
  for (size_t k : sheet.chosen) {
    line += ' ';
    for (char ch : shown(cells[k])) line += ch == '|' ? std::string("\\|") : std::string(1, ch);
    line += " |";
  }
  line += '\n';
  std::fwrite(line.data(), 1, line.size(), out);
}

void put_latex_row(const Sheet &sheet, const std::vector<std::string> &cells, std::FILE *out) {
  std::string line;
  for (size_t k = 0; k < sheet.chosen.size(); ++k)
    line += (k ? " & " : "") + latex_text(shown(cells[sheet.chosen[k]]));
  line += " \\\\\n";
  std::fwrite(line.data(), 1, line.size(), out);
}

void put_csv_row(const Sheet &sheet, const std::vector<std::string> &cells, std::FILE *out) {
  std::string line;
  for (size_t k = 0; k < sheet.chosen.size(); ++k)
    line += (k ? "," : "") + csv_field(cells[sheet.chosen[k]]);
  line += "\r\n";
  std::fwrite(line.data(), 1, line.size(), out);
}

} // namespace

std::string fixed(double v, int decimals) {
  char text[512];
  std::snprintf(text, sizeof text, "%.*f", decimals, v);
  return text;
}

std::string latex_text(const std::string &text) {
  std::string out;
  for (char c : text) {
    switch (c) {
    case '\\':
      out += "\\textbackslash{}";
      break;
    case '~':
      out += "\\textasciitilde{}";
      break;
    case '^':
      out += "\\textasciicircum{}";
      break;
    case '&':
    case '%':
    case '$':
    case '#':
    case '_':
    case '{':
    case '}':
      out += '\\';
      out += c;
      break;
    default:
      out += c;
    }
  }
  return out;
}

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

bool choose_columns(Sheet &sheet, const std::vector<std::string> &wanted,
                    const std::vector<size_t> &defaults, std::string &problem) {
  if (wanted.empty()) {
    sheet.chosen = defaults;
    return true;
  }
  sheet.chosen.clear();
  for (const std::string &name : wanted) {
    auto found = std::find_if(sheet.fields.begin(), sheet.fields.end(),
                              [&](const Field &f) { return f.name == name; });
    if (found == sheet.fields.end()) {
      std::string names;
      for (const Field &f : sheet.fields) names += (names.empty() ? "" : ", ") + f.name;
      problem = "no column " + name + " in these rows; there are " + names;
      return false;
    }
    size_t k = static_cast<size_t>(found - sheet.fields.begin());
    if (std::find(sheet.chosen.begin(), sheet.chosen.end(), k) != sheet.chosen.end()) {
      problem = "the column " + name + " is named twice";
      return false;
    }
    sheet.chosen.push_back(k);
  }
  return true;
}

void write_head(const Sheet &sheet, std::FILE *out) {
  std::vector<std::string> cells;
  switch (sheet.format) {
  case OutputFormat::table:
    if (!sheet.caption.empty()) std::fprintf(out, "%s\n", sheet.caption.c_str());
    for (const Field &f : sheet.fields) cells.push_back(f.title);
    put_table_row(sheet, cells, out);
    break;
  case OutputFormat::csv:
    for (const Field &f : sheet.fields) cells.push_back(f.name);
    put_csv_row(sheet, cells, out);
    break;
  case OutputFormat::markdown:
    if (!sheet.caption.empty()) std::fprintf(out, "%s\n\n", sheet.caption.c_str());
    for (const Field &f : sheet.fields) cells.push_back(f.name);
    put_markdown_row(sheet, cells, out);
    std::fputs("|", out);
    for (size_t k : sheet.chosen) std::fputs(sheet.fields[k].right ? "---:|" : "---|", out);
    std::fputs("\n", out);
    break;
  case OutputFormat::latex: {
    if (!sheet.caption.empty()) std::fprintf(out, "%% %s\n", latex_text(sheet.caption).c_str());
    std::string alignments;
    for (size_t k : sheet.chosen) alignments += sheet.fields[k].right ? 'r' : 'l';
    std::fprintf(out, "\\begin{tabular}{%s}\n\\toprule\n", alignments.c_str());
    for (const Field &f : sheet.fields) cells.push_back(f.name);
    put_latex_row(sheet, cells, out);
    std::fputs("\\midrule\n", out);
    break;
  }
  case OutputFormat::jsonl:
  case OutputFormat::bks:
    break;
  }
}

void write_cells(const Sheet &sheet, const std::vector<std::string> &cells, std::FILE *out) {
  switch (sheet.format) {
  case OutputFormat::table:
    put_table_row(sheet, cells, out);
    break;
  case OutputFormat::csv:
    put_csv_row(sheet, cells, out);
    break;
  case OutputFormat::markdown:
    put_markdown_row(sheet, cells, out);
    break;
  case OutputFormat::latex:
    put_latex_row(sheet, cells, out);
    break;
  case OutputFormat::jsonl:
  case OutputFormat::bks:
    break;
  }
}

void write_foot(const Sheet &sheet, const std::vector<std::string> *totals, std::FILE *out) {
  if (sheet.format == OutputFormat::latex) {
    if (totals) {
      std::fputs("\\midrule\n", out);
      put_latex_row(sheet, *totals, out);
    }
    std::fputs("\\bottomrule\n\\end{tabular}\n", out);
  } else if (totals &&
             (sheet.format == OutputFormat::table || sheet.format == OutputFormat::markdown)) {
    write_cells(sheet, *totals, out);
  }
}

bool pair_sheet(const Settings &settings, const PairList &list, Sheet &sheet,
                std::string &problem) {
  sheet.format = settings.format;
  sheet.fields.assign(COLUMN_COUNT, Field{});
  for (const TableColumn &t : table_columns)
    sheet.fields[t.column] = Field{column_names[t.column], t.title, size_t(t.width), t.right};
  sheet.fields[col_name].width = 5; // "total"
  sheet.fields[col_run].width = 3;
  sheet.fields[col_instance].width = sheet.fields[col_solution].width = 8;
  bool runs = false;
  for (const Pair &p : list.pairs) {
    const std::string *texts[4] = {&p.name, &p.run, &p.instance, &p.solution};
    Column columns[4] = {col_name, col_run, col_instance, col_solution};
    for (int k = 0; k < 4; ++k) {
      size_t width;
      shown(*texts[k], &width);
      sheet.fields[columns[k]].width = std::max(sheet.fields[columns[k]].width, width);
    }
    runs |= !p.run.empty();
  }
  // The column vehicles_vs_bks only where some pair is compared by vehicles
  // first: other runs keep the columns they had.
  bool versus = settings.bks && settings.vehicles_versus_column;
  if (!versus) sheet.fields.pop_back();
  bool bks = settings.bks != nullptr;
  std::vector<size_t> defaults{col_name};
  if (runs) defaults.push_back(col_run);
  auto add = [&](int from, int to) {
    for (int c = from; c <= to; ++c) defaults.push_back(size_t(c));
  };
  Column last_bks = versus ? col_vehicles_vs_bks : col_gap_convention;
  switch (settings.format) {
  case OutputFormat::csv:
    add(col_instance, col_error);
    if (bks) add(col_bks_vehicles, last_bks);
    break;
  case OutputFormat::markdown:
    add(col_status, col_error);
    if (bks) add(col_bks_vehicles, last_bks);
    break;
  case OutputFormat::table:
    add(col_status, col_first_violation);
    if (bks) add(col_bks_vehicles, last_bks);
    add(col_error, col_error);
    break;
  case OutputFormat::latex:
    add(col_status, col_status);
    add(col_vehicles, col_distance);
    if (bks) add(col_bks_vehicles, col_gap_percent);
    if (versus) add(col_vehicles_vs_bks, col_vehicles_vs_bks);
    break;
  default:
    break;
  }
  return choose_columns(sheet, settings.columns, defaults, problem);
}

std::vector<std::string> pair_cells(const Row &row, const Settings &settings) {
  std::vector<std::string> cells(row.cells, row.cells + COLUMN_COUNT);
  if (display(settings.format)) {
    if (row.judged) cells[col_distance] = fixed(row.distance, settings.decimals);
    if (row.has_gap) cells[col_gap_percent] = fixed(row.gap, settings.decimals);
  }
  return cells;
}

void add_row(Totals &totals, const Row &row) {
  totals.pairs++;
  totals.not_judged += row.status == 2;
  totals.violations += row.status == 1;
  totals.gaps += row.has_gap;
  if (row.has_gap) totals.gap_sum += row.gap;
  if (!row.judged) return;
  totals.feasible += row.feasible;
  totals.vehicles += row.vehicles;
  totals.distance += row.distance;
  totals.truncated_tenths += row.truncated_tenths;
  totals.rounded += row.rounded;
  totals.violation_count += std::stoll(row.cells[col_violations]);
}

std::vector<std::string> totals_cells(const Totals &t, const Settings &settings) {
  std::vector<std::string> cells(COLUMN_COUNT);
  cells[col_name] = "total";
  cells[col_vehicles] = std::to_string(t.vehicles);
  cells[col_distance] = fixed(t.distance, settings.decimals);
  cells[col_distance_truncated] =
      std::to_string(t.truncated_tenths / 10) + "." + std::to_string(t.truncated_tenths % 10);
  cells[col_distance_rounded] = std::to_string(t.rounded);
  cells[col_violations] = std::to_string(t.violation_count);
  if (t.gaps > 0) cells[col_gap_percent] = fixed(t.gap_sum / double(t.gaps), settings.decimals);
  return cells;
}

void write_totals_line(const Totals &t, std::FILE *out) {
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
