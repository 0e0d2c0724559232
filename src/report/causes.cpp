#include "causes.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cmath>

#include "../instance/formats.h"
#include "../instance/vrplib.h"

InstanceHead instance_head_of(std::string_view head) {
  return {begins_with_key_line(head),
          guess_format(head, INT32_MAX).format != SolutionFormat::fleetjudge};
}

// Whether the first lines of a file are those of an instance: a line with
// VEHICLE and one with CUSTOMER, or what a file of another layout begins
// with.
static bool looks_like_instance(std::string_view head) {
  bool vehicle = false, customer = false;
  LinesAhead lines{head};
  std::string_view line;
  for (int seen = 0; seen < 12 && lines.next(line); ++seen) {
    vehicle |= line.find("VEHICLE") != std::string_view::npos;
    customer |= line.find("CUSTOMER") != std::string_view::npos;
  }
  return (vehicle && customer) || told_instance_format(head) != InstanceFormat::solomon;
}

std::string instance_format_hint(InstanceFormat format, const InstanceHead &head) {
  if (format == InstanceFormat::vrplib && !head.key_line_first)
    return "; it was read as a VRPLIB file, as it has a DIMENSION line and a section: "
           "--instance-format=solomon reads it as a Solomon file";
  if (format == InstanceFormat::solomon && head.key_line_first)
    return "; it was read as a Solomon file, as it lacks a DIMENSION line or a section: "
           "--instance-format=vrplib reads it as a VRPLIB file";
  return {};
}

// Notes that name the likely cause of what the rules found, where the
// findings alone would leave a person searching.
void point_at_causes(ReportRun &rep, Inputs &in, const InstanceHead &head) {
  Record &record = rep.record;
  const Run &run = rep.run;
  bool swapped = looks_like_instance(look_ahead(in.solution, FORMAT_LOOK_AHEAD));
  if (swapped && head.like_solution) {
    record.error = "the instance looks like a solution, and the solution like an instance: are "
                   "the two arguments swapped?";
    return;
  }
  if (swapped && !run.instance_read) {
    record.error += "; the solution looks like an instance file: are the two arguments swapped?";
    return;
  }
  // An instance that the format guess read otherwise than it is written.
  if (!run.instance_read && rep.instance_choice == InstanceChoice::automatic)
    record.error += instance_format_hint(in.instance_format, head);
  for (const Finding &f : record.violations)
    if (f.kind == Kind::customer_out_of_range && f.node == 0) {
      record.notes.push_back("node 0 is the depot: a route lists customers only");
      break;
    }
  double distance = to_double(run.distance), duration = to_double(run.total_cost);
  bool total_off = record.kind_count[static_cast<int>(Kind::total_above_declared)] +
                       record.kind_count[static_cast<int>(Kind::total_below_declared)] >
                   0;
  if (total_off && std::fabs(to_double(run.declared_total) - distance) <= 0.01)
    record.notes.push_back(format("the declared total %.2f is the distance, travel only; "
                                  "fleetjudge's total is the duration: travel, waiting and "
                                  "service, %.4f here",
                                  to_double(run.declared_total), duration));
  if (run.route_list.has_cost && cost_convention(rep) == nullptr &&
      std::fabs(run.route_list.cost - duration) <= 0.01)
    record.notes.push_back(format("the declared cost %.2f is the duration (travel, waiting and "
                                  "service), not the distance",
                                  run.route_list.cost));
}

// A window that closes before it opens makes every visit late, whatever the
// rules find besides: named, the first few, then counted.
static void note_reversed_windows(ReportRun &rep) {
  const Run &run = rep.run;
  if (!run.instance_read) return;
  int64_t reversed = 0;
  for (int64_t i = 0; i <= run.instance->customer_count; ++i) {
    const Customer &c = run.instance->customers[i];
    if (c.due >= c.ready || reversed++ >= 5) continue;
    std::string who =
        i == 0 ? std::string("the depot's") : format("customer %lld's", static_cast<long long>(i));
    rep.record.notes.push_back(
        format("%s time window [%d, %d] closes before it opens", who.c_str(), c.ready, c.due));
  }
  if (reversed > 5)
    rep.record.notes.push_back(format("%lld more time windows close before they open",
                                      static_cast<long long>(reversed - 5)));
}

// What the format guess decided, why, and how to choose otherwise.
std::string format_note(SolutionFormat format, const char *why) {
  const SolutionFormatInfo &info = solution_format_info(format);
  return std::string("the solution is read ") + info.read_as + ": " + why +
         "; --solution-format=" + info.others + " reads it otherwise";
}

// How the route list was read: lines ignored, numbers beyond 32 bits, a last
// line cut short; and windows that close before they open.
// Names alike but for case and the blanks around them.
static bool same_name(std::string_view a, std::string_view b) {
  auto trim = [](std::string_view s) {
    while (!s.empty() && is_space(s.front())) s.remove_prefix(1);
    while (!s.empty() && is_space(s.back())) s.remove_suffix(1);
    return s;
  };
  a = trim(a), b = trim(b);
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

// A published solution's header, and the instance it names where that is
// not the instance judged.
static void note_published_header(Record &record, const PublishedHeader &header,
                                  const std::string &instance_name) {
  if (!header.seen) return;
  std::string said;
  const std::pair<const char *, const std::string *> parts[] = {{"instance ", &header.instance},
                                                                {"authors ", &header.authors},
                                                                {"date ", &header.date},
                                                                {"reference ", &header.reference}};
  for (const auto &part : parts)
    if (!part.second->empty()) said += (said.empty() ? "" : ", ") + (part.first + *part.second);
  record.notes.push_back("the solution's header: " + (said.empty() ? "no details" : said));
  if (!header.instance.empty() && !same_name(header.instance, instance_name))
    record.notes.push_back("the solution names instance " + header.instance +
                           ", but the instance is " + instance_name);
}

void note_what_was_read(ReportRun &rep) {
  Record &record = rep.record;
  const RouteListNotes &list = rep.run.route_list;
  for (const IgnoredLine &line : list.ignored)
    record.notes.push_back(format("line %lld ignored, neither a route nor a cost: \"",
                                  static_cast<long long>(line.line)) +
                           line.text + "\"");
  note_published_header(record, list.header, rep.run.instance->name);
  if (list.unended && !list.has_cost && !rep.run.stopped)
    record.notes.push_back("the solution's last line has no line end, and no cost line follows: "
                           "the file may be cut short");
  note_reversed_windows(rep);
  for (const IgnoredLine &number : list.clamped)
    record.notes.push_back(format("line %lld: the customer number %s lies beyond 32 bits; it is "
                                  "named %s here",
                                  static_cast<long long>(number.line), number.text.c_str(),
                                  number.text[0] == '-' ? "-2147483648" : "2147483647"));
  int64_t unquoted = list.ignored_lines - static_cast<int64_t>(list.ignored.size());
  if (unquoted > 0)
    record.notes.push_back(format("%lld more line%s ignored, neither a route nor a cost",
                                  static_cast<long long>(unquoted), unquoted == 1 ? "" : "s"));
}
