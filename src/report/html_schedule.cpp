// The schedule: one row per route on a common time axis from 0 to the depot's
// closing time (further where a vehicle returns later). Each row shows the
// travel as a thin line, the waiting as a dotted one, the service as a block
// that names its stop on hover, and under each stop its customer's window in
// a dark grey that a grey-scale print keeps; a late start is a red bar from
// the window's end to the start, labelled with how late. With many routes
// only those with violations and the tightest by slack are drawn. Without
// windows (service times alone) there is no window, wait, slack or closing
// time to draw: the rows show travel and service, and the longest are drawn.
#include <algorithm>
#include <cmath>

#include "../model.h"
#include "writers.h"

namespace {

using fleetjudge::Report;
using fleetjudge::RouteReport;

constexpr size_t ROWS_SHOWN = 60;
constexpr double LEFT = 70, RIGHT = 90, PLOT = 1000 - LEFT - RIGHT, TOP = 44;
constexpr char RED[] = "#d62728";
constexpr char WINDOW[] = "#555"; // dark enough for grey scale, lighter than black text

// A step of 1, 2 or 5 times a power of ten giving about ten ticks.
double tick_step(double span) {
  double raw = span / 10, power = std::pow(10.0, std::floor(std::log10(raw)));
  for (double m : {1.0, 2.0, 5.0})
    if (m * power >= raw) return m * power;
  return 10 * power;
}

// The routes drawn: those with violations first, then the smallest slack,
// or without windows the longest, shown in route order.
std::vector<const RouteReport *> chosen_rows(const Report &report,
                                             const std::vector<int64_t> &bad) {
  std::vector<const RouteReport *> rows;
  for (const RouteReport &r : report.routes) rows.push_back(&r);
  if (rows.size() <= ROWS_SHOWN) return rows;
  bool windows = has_windows(report);
  std::stable_sort(rows.begin(), rows.end(), [&](const RouteReport *a, const RouteReport *b) {
    bool fa = bad[a->route] > 0, fb = bad[b->route] > 0;
    if (fa != fb) return fa;
    return windows ? a->slack.value_or(0) < b->slack.value_or(0) : a->duration > b->duration;
  });
  rows.resize(ROWS_SHOWN);
  std::sort(rows.begin(), rows.end(),
            [](const RouteReport *a, const RouteReport *b) { return a->route < b->route; });
  return rows;
}

} // namespace

void write_html_schedule(const Report &report, std::FILE *out) {
  std::vector<int64_t> bad = violations_by_route(report);
  std::vector<const RouteReport *> rows = chosen_rows(report, bad);
  // Without time windows the depot never closes: the axis ends at the
  // longest route.
  double longest = 1;
  for (const RouteReport *r : rows) longest = std::max(longest, r->duration);
  bool windows = has_windows(report);
  double closing = windows ? report.judged_against.data()->data.customers[0].due : longest;
  double end = std::max(closing, longest);
  double row = rows.size() > 30 ? 13 : 18;
  double height = TOP + row * rows.size() + 10;
  auto x = [&](double t) { return LEFT + PLOT * t / end; };

  std::fprintf(out,
               "<svg xmlns=\"http://www.w3.org/2000/svg\" class=\"picture\" width=\"1000\" "
               "height=\"%.0f\" "
               "viewBox=\"0 0 1000 %.0f\" font-size=\"11\" role=\"img\">\n"
               "<title>Schedule</title>\n<rect width=\"100%%\" height=\"100%%\" fill=\"#fff\"/>\n",
               height, height);

  // The legend, then the axis with its ticks and the closing time.
  double at = LEFT; // the legend's next entry
  std::fprintf(out,
               "<g fill=\"#333\">"
               "<line x1=\"%.0f\" y1=\"10\" x2=\"%.0f\" y2=\"10\" stroke=\"#444\"/>"
               "<text x=\"%.0f\" y=\"14\">travel</text>",
               at, at + 20, at + 24);
  at += 80;
  if (windows) {
    std::fprintf(out,
                 "<line x1=\"%.0f\" y1=\"10\" x2=\"%.0f\" y2=\"10\" stroke=\"#444\" "
                 "stroke-dasharray=\"1 2\"/><text x=\"%.0f\" y=\"14\">waiting</text>",
                 at, at + 20, at + 24);
    at += 80;
  }
  std::fprintf(out,
               "<rect x=\"%.0f\" y=\"6\" width=\"20\" height=\"8\" fill=\"#444\"/>"
               "<text x=\"%.0f\" y=\"14\">service</text>",
               at, at + 24);
  at += 80;
  if (windows)
    std::fprintf(out,
                 "<line x1=\"%.0f\" y1=\"13\" x2=\"%.0f\" y2=\"13\" stroke=\"%s\" "
                 "stroke-width=\"1.5\"/>"
                 "<line x1=\"%.0f\" y1=\"8\" x2=\"%.0f\" y2=\"13\" stroke=\"#000\" "
                 "stroke-width=\"1.5\"/>"
                 "<text x=\"%.0f\" y=\"14\">time window (tick: its end)</text>"
                 "<rect x=\"%.0f\" y=\"6\" width=\"20\" height=\"8\" fill=\"%s\"/>"
                 "<text x=\"%.0f\" y=\"14\">late: from the window's end to the start</text>"
                 "<line x1=\"%.0f\" y1=\"4\" x2=\"%.0f\" y2=\"16\" stroke=\"#000\" "
                 "stroke-dasharray=\"4 3\"/><text x=\"%.0f\" y=\"14\">the depot closes</text>",
                 at, at + 30, WINDOW, at + 30, at + 30, at + 34, at + 200, RED, at + 224, at + 460,
                 at + 460, at + 466);
  std::fputs("</g>\n", out);
  double step = tick_step(end);
  double bottom = height - 10;
  for (double t = 0; t <= end + 1e-9; t += step)
    std::fprintf(out,
                 "<line x1=\"%.1f\" y1=\"%.0f\" x2=\"%.1f\" y2=\"%.0f\" stroke=\"#eee\"/>"
                 "<text x=\"%.1f\" y=\"%.0f\" fill=\"#666\" text-anchor=\"middle\">%g</text>\n",
                 x(t), TOP - 6, x(t), bottom, x(t), TOP - 10, t);
  if (windows) {
    std::fprintf(out,
                 "<line x1=\"%.1f\" y1=\"%.0f\" x2=\"%.1f\" y2=\"%.0f\" stroke=\"#000\" "
                 "stroke-dasharray=\"4 3\"><title>the depot closes at %g</title></line>\n",
                 x(closing), TOP - 6, x(closing), bottom, closing);
    std::fprintf(out, "<text x=\"%.0f\" y=\"%.0f\" fill=\"#666\">slack</text>\n", 1000 - RIGHT + 8,
                 TOP - 10);
  }

  std::string late; // what is late on the row, said after its end
  int late_count = 0;
  auto note_late = [&](const char *text) {
    if (late_count++ < 3) late += (late.empty() ? "" : ", ") + std::string(text);
  };
  for (size_t i = 0; i < rows.size(); ++i) {
    const RouteReport &r = *rows[i];
    std::string colour_text = route_colour(r.route);
    const char *colour = colour_text.c_str();
    double y = TOP + row * i + row / 2; // the row's middle line
    // The whole row is one group, so that hovering any of it lights the route up.
    double slack_value = r.slack.value_or(0);
    std::string slack = format("%.2f", slack_value);
    std::fprintf(out,
                 "<g data-route=\"%d\" tabindex=\"0\"><g><title>route %d: %d customers, "
                 "duration %.2f%s%s</title>"
                 "<text x=\"%.0f\" y=\"%.1f\" text-anchor=\"end\"%s>route %d</text>",
                 r.route, r.route, static_cast<int>(r.served), r.duration,
                 windows ? ", slack " : "", windows ? slack.c_str() : "", LEFT - 6, y + 4,
                 bad[r.route] > 0 ? " fill=\"#d62728\" font-weight=\"bold\"" : "", r.route);
    if (windows) // the slack column
      std::fprintf(out, "<text x=\"%.0f\" y=\"%.1f\"%s>%s</text>", 1000 - RIGHT + 8, y + 4,
                   slack_value < 0 ? " fill=\"#d62728\"" : "", slack.c_str());
    std::fputs("</g>\n", out);
    double clock = 0; // when the vehicle left its last stop
    late.clear();
    late_count = 0;
    for (size_t j = 0; j < r.stop_count; ++j) {
      const fleetjudge::Stop &s = report.stops[r.first_stop + j];
      double arrival = s.arrival, start = s.start, departure = s.departure;
      int due = s.due.value_or(0);
      double low = y + row / 2 - 2; // the windows' line, under the blocks
      std::fprintf(out, "<line x1=\"%.1f\" y1=\"%.1f\" x2=\"%.1f\" y2=\"%.1f\" stroke=\"%s\"/>",
                   x(clock), y, x(arrival), y, colour);
      if (start > arrival)
        std::fprintf(out,
                     "<line x1=\"%.1f\" y1=\"%.1f\" x2=\"%.1f\" y2=\"%.1f\" stroke=\"%s\" "
                     "stroke-dasharray=\"1 2\"/>",
                     x(arrival), y, x(start), y, colour);
      if (windows)
        std::fprintf(out,
                     "<line x1=\"%.1f\" y1=\"%.1f\" x2=\"%.1f\" y2=\"%.1f\" stroke=\"%s\" "
                     "stroke-width=\"1.5\"/>"
                     "<line x1=\"%.1f\" y1=\"%.1f\" x2=\"%.1f\" y2=\"%.1f\" stroke=\"#000\" "
                     "stroke-width=\"1.5\"/>",
                     x(s.ready), low, x(due), low, WINDOW, x(due), low - 5, x(due), low);
      if (s.late)
        std::fprintf(out,
                     "<rect x=\"%.1f\" y=\"%.1f\" width=\"%.1f\" height=\"%.1f\" "
                     "fill=\"%s\"/>",
                     x(due), y - row / 2 + 1, std::max(2.0, x(start) - x(due)), row - 2, RED);
      std::fprintf(
          out,
          "<rect x=\"%.1f\" y=\"%.1f\" width=\"%.1f\" height=\"%.1f\" fill=\"%s\">"
          "<title>%s; service to %.2f%s</title></rect>\n",
          x(start), y - row / 4, std::max(1.0, x(departure) - x(start)), row / 2,
          s.late ? RED : colour,
          stop_title(report, s, j + 1, r.stop_count + static_cast<size_t>(r.stops_left_out), true)
              .c_str(),
          departure, windows ? format(", window %d to %d", s.ready, due).c_str() : "");
      if (s.late) {
        char text[64];
        std::snprintf(text, sizeof text, "%d: %.2f late", s.node, start - due);
        note_late(text);
      }
      clock = departure;
    }
    double back = r.duration;
    std::fprintf(out, "<line x1=\"%.1f\" y1=\"%.1f\" x2=\"%.1f\" y2=\"%.1f\" stroke=\"%s\"/>",
                 x(clock), y, x(back), y, colour);
    if (r.return_late) {
      std::fprintf(out,
                   "<rect x=\"%.1f\" y=\"%.1f\" width=\"%.1f\" height=\"%.1f\" "
                   "fill=\"%s\"><title>route %d back at the depot at %.2f, %.2f after it "
                   "closes</title></rect>",
                   x(closing), y - row / 2 + 1, std::max(2.0, x(back) - x(closing)), row - 2, RED,
                   r.route, back, back - closing);
      char text[64];
      std::snprintf(text, sizeof text, "back %.2f late", back - closing);
      note_late(text);
    }
    std::fputc('\n', out);
    if (late_count > 3) late += ", and " + std::to_string(late_count - 3) + " more";
    if (late_count > 0) {
      // After the return, where the row is empty; where that is too near the
      // slack column, ending just before it.
      double at = x(r.duration) + 6, room = 1000 - RIGHT - 4;
      bool fits = at + 6.5 * late.size() < room;
      std::fprintf(out,
                   "<text x=\"%.1f\" y=\"%.1f\" fill=\"%s\" font-weight=\"bold\" "
                   "stroke=\"#fff\" stroke-width=\"3\" paint-order=\"stroke\"%s>%s</text>\n",
                   fits ? at : room, y + 4, RED, fits ? "" : " text-anchor=\"end\"", late.c_str());
    }
    std::fputs("</g>\n", out);
  }
  std::fputs("</svg>\n", out);
  size_t left_out = report.routes.size() - rows.size();
  if (left_out > 0)
    std::fprintf(out,
                 "<p class=\"note\">%zu of %zu routes shown: those with violations and the "
                 "%s; %zu left out (the route table lists them all).</p>\n",
                 rows.size(), report.routes.size(), windows ? "tightest by slack" : "longest",
                 left_out);
}
