// The route map: every node at its coordinates, every kept route as one line
// from the depot through its customers and back, in its route's colour. The
// customers with a violation get a red ring, a label where one fits and a
// tooltip naming the kind; unvisited customers are hollow; every customer's
// dot names its stops on hover. Where some routes break a rule, the others
// are drawn faint, so the eye goes to the route at fault. The map is as wide
// as the page and keeps the coordinates' aspect ratio.
#include <algorithm>
#include <cmath>
#include <map>
#include <utility>

#include "../model.h"
#include "writers.h"

namespace {

using fleetjudge::Report;

constexpr double WIDTH = 1000, MAX_HEIGHT = 1400, PAD = 20, LEGEND = 28;
constexpr size_t LABELS = 24; // violation labels on the map; the rest have rings and tooltips
constexpr size_t LEGEND_ROUTES = 250; // routes named under the map; the table has them all
constexpr char RED[] = "#d62728";

// Labels are set in DejaVu Sans, whose characters are taken as 0.6 em wide
// at most on average; the box spans one em above the baseline, 0.3 em below.
constexpr double LABEL_SIZE = 13, CHAR_EM = 0.6, ABOVE = 1.0, BELOW = 0.3;
constexpr double RING = 7, GAP = 2; // a violation's ring; the room kept round each label

struct Frame {
  double min_x, max_y, scale, left;
  double x(int32_t v) const { return left + (v - min_x) * scale; }
  double y(int32_t v) const { return PAD + (max_y - v) * scale; } // north up
};

struct Box {
  double x0, y0, x1, y1;
};

bool overlap(const Box &a, const Box &b) {
  return a.x0 < b.x1 + GAP && b.x0 < a.x1 + GAP && a.y0 < b.y1 + GAP && b.y0 < a.y1 + GAP;
}

// Where a label of `chars` characters goes beside the ring at (px, py): the
// first of eight places round it, near ones before far ones, that stays
// inside the map and clear of every box taken but the ring's own. A far
// place gets a leader line. False when every place is taken.
bool place_label(double px, double py, size_t chars, const Box &area, const std::vector<Box> &taken,
                 size_t own, Box &out, bool &far) {
  double w = CHAR_EM * LABEL_SIZE * chars, h = (ABOVE + BELOW) * LABEL_SIZE;
  for (double reach : {RING + 4, RING + 26, RING + 60}) {
    double d = reach * 0.7;
    const double at[8][2] = {
        {px + reach, py - h / 2}, {px - reach - w, py - h / 2}, {px - w / 2, py - reach - h},
        {px - w / 2, py + reach}, {px + d, py - d - h},         {px - d - w, py - d - h},
        {px + d, py + d},         {px - d - w, py + d}};
    for (const auto &a : at) {
      Box b{a[0], a[1], a[0] + w, a[1] + h};
      if (b.x0 < area.x0 || b.y0 < area.y0 || b.x1 > area.x1 || b.y1 > area.y1) continue;
      bool clear = true;
      for (size_t i = 0; i < taken.size() && clear; ++i) clear = i == own || !overlap(b, taken[i]);
      if (!clear) continue;
      out = b;
      far = reach > RING + 4;
      return true;
    }
  }
  return false;
}

std::string format_point(const Frame &f, const Customer &c) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.1f,%.1f", f.x(c.x), f.y(c.y));
  return buf;
}

// The marks under the map; the routes' colours follow in the page's text.
void put_legend(std::FILE *out, double top, bool faint) {
  double y = top + 18;
  std::fprintf(out, "<g font-size=\"12\" fill=\"#333\">\n");
  std::fprintf(out,
               "<rect x=\"%.1f\" y=\"%.1f\" width=\"8\" height=\"8\" fill=\"#000\"/>"
               "<text x=\"%.1f\" y=\"%.1f\">depot</text>\n",
               PAD, y - 8, PAD + 12, y);
  std::fprintf(out,
               "<circle cx=\"%.1f\" cy=\"%.1f\" r=\"3\" fill=\"#555\"/>"
               "<text x=\"%.1f\" y=\"%.1f\">customer (hover for its stop)</text>\n",
               PAD + 70, y - 4, PAD + 78, y);
  std::fprintf(out,
               "<circle cx=\"%.1f\" cy=\"%.1f\" r=\"3.5\" fill=\"#fff\" stroke=\"#000\" "
               "stroke-width=\"1.2\"/><text x=\"%.1f\" y=\"%.1f\">not visited</text>\n",
               PAD + 270, y - 4, PAD + 279, y);
  std::fprintf(out,
               "<circle cx=\"%.1f\" cy=\"%.1f\" r=\"6\" fill=\"none\" stroke=\"%s\" "
               "stroke-width=\"2\"/><text x=\"%.1f\" y=\"%.1f\">violation (hover for the "
               "kind)</text>\n",
               PAD + 380, y - 4, RED, PAD + 392, y);
  if (faint)
    std::fprintf(out,
                 "<text x=\"%.1f\" y=\"%.1f\" fill=\"#666\">routes without violations "
                 "drawn faint</text>\n",
                 PAD + 600, y);
  std::fputs("</g>\n", out);
}

// Every route's colour and number, each lighting its route up on hover;
// `timed`: the page has a schedule.
void put_route_legend(const Report &report, bool timed, std::FILE *out) {
  const std::vector<fleetjudge::RouteReport> &routes = report.routes;
  if (routes.empty()) return;
  if (routes.size() > LEGEND_ROUTES) {
    std::fputs("<p class=\"note\">The route table below gives every route's colour.</p>\n", out);
    return;
  }
  std::fputs("<p class=\"legend\">routes: ", out);
  for (const fleetjudge::RouteReport &r : routes)
    std::fprintf(out,
                 "<span data-route=\"%d\" tabindex=\"0\"><span class=\"swatch\" "
                 "style=\"background:%s\"></span>%d</span> ",
                 r.route, route_colour(r.route).c_str(), r.route);
  std::fprintf(out,
               "<br/><span class=\"note\">Hover or focus a route to light it up on the map, %sin "
               "the table.</span></p>\n",
               timed ? "in the schedule and " : "");
}

// The nodes as the instance was read: coordinates as whole numbers, as they
// are drawn.
const std::vector<Customer> &nodes_of(const Report &report) {
  return report.judged_against.data()->data.customers;
}

} // namespace

void write_html_map(const Report &report, std::FILE *out) {
  const std::vector<Customer> &nodes = nodes_of(report);
  int64_t customers = report.instance.customers;
  int32_t min_x = nodes[0].x, max_x = min_x, min_y = nodes[0].y, max_y = min_y;
  for (int64_t i = 1; i <= customers; ++i) {
    min_x = std::min(min_x, nodes[i].x);
    max_x = std::max(max_x, nodes[i].x);
    min_y = std::min(min_y, nodes[i].y);
    max_y = std::max(max_y, nodes[i].y);
  }
  // The full width, unless that makes a tall map taller than MAX_HEIGHT:
  // then the map is narrower and centred.
  double span_x = std::max(1.0, double(max_x) - min_x),
         span_y = std::max(1.0, double(max_y) - min_y);
  double scale = std::min((WIDTH - 2 * PAD) / span_x, (MAX_HEIGHT - 2 * PAD) / span_y);
  Frame f{double(min_x), double(max_y), scale, (WIDTH - span_x * scale) / 2};
  double height = span_y * scale + 2 * PAD;

  // Smaller marks and thinner lines as the picture fills up.
  double dot = customers > 300 ? 2.2 : 3;
  double line = report.routes.size() > 30 ? 1.1 : 1.6;

  std::vector<int64_t> bad = violations_by_route(report);
  bool timed = has_time(report), windows = has_windows(report);
  bool faint = false;
  for (const fleetjudge::RouteReport &r : report.routes) faint |= bad[r.route] > 0;

  std::fprintf(out,
               "<svg xmlns=\"http://www.w3.org/2000/svg\" class=\"picture\" width=\"%.0f\" "
               "height=\"%.0f\" viewBox=\"0 0 %.0f %.0f\" role=\"img\">\n"
               "<title>Route map</title>\n"
               "<rect width=\"100%%\" height=\"100%%\" fill=\"#fff\"/>\n",
               WIDTH, height + LEGEND, WIDTH, height + LEGEND);

  // Routes at fault go last, on top of the faint ones.
  for (int pass = 0; pass < 2; ++pass) {
    for (const fleetjudge::RouteReport &r : report.routes) {
      bool at_fault = bad[r.route] > 0;
      if (at_fault != (pass == 1)) continue;
      std::string points = format_point(f, nodes[0]);
      for (const fleetjudge::Stop &s : fleetjudge::stops_of(report, r))
        points += " " + format_point(f, nodes[s.node]);
      points += " " + format_point(f, nodes[0]);
      // A dark casing under the route at fault lifts it off the others,
      // whatever its own colour.
      if (at_fault)
        std::fprintf(out,
                     "<polyline data-route=\"%d\" fill=\"none\" stroke=\"#000\" "
                     "stroke-opacity=\"0.7\" stroke-width=\"%.2f\" stroke-linejoin=\"round\" "
                     "points=\"%s\"/>\n",
                     r.route, line * 1.8 + 2, points.c_str());
      // With windows, how long the route takes and its margin to them; else
      // its load against the capacity, its distance and any service time.
      std::string figures = windows ? format("load %.0f, duration %.2f, slack %.2f", r.load,
                                             r.duration, r.slack.value_or(0))
                                    : format("load %.0f of %g, distance %.2f", r.load,
                                             report.instance.capacity, r.distance) +
                                          (timed ? format(", duration %.2f", r.duration) : "");
      std::fprintf(out,
                   "<polyline class=\"route\" data-route=\"%d\" tabindex=\"0\" fill=\"none\" "
                   "stroke=\"%s\" stroke-width=\"%.2f\"%s stroke-linejoin=\"round\" "
                   "points=\"%s\"><title>route %d: %lld customers, %s%s</title></polyline>\n",
                   r.route, route_colour(r.route).c_str(), at_fault ? line * 1.8 : line,
                   faint && !at_fault ? " stroke-opacity=\"0.4\"" : "", points.c_str(), r.route,
                   static_cast<long long>(r.served), figures.c_str(),
                   r.stops_left_out > 0 ? " (drawn in part)" : "");
    }
  }

  // Each request as a thin dashed line from its pickup to its delivery, in
  // the pickup's route's colour, shown only while that route is lit: the
  // page stays quiet otherwise.
  bool requests = false;
  for (const fleetjudge::Stop &s : report.stops) requests |= s.pair != 0;
  if (requests) {
    std::fputs("<style>.request { visibility: hidden; } body.hl svg .request.on { visibility: "
               "visible; opacity: 1; }</style>\n",
               out);
    for (const fleetjudge::RouteReport &r : report.routes)
      for (const fleetjudge::Stop &s : fleetjudge::stops_of(report, r)) {
        if (!s.pickup) continue;
        const Customer &a = nodes[s.node], &b = nodes[s.pair];
        std::fprintf(out,
                     "<line class=\"request\" data-route=\"%d\" x1=\"%.1f\" y1=\"%.1f\" "
                     "x2=\"%.1f\" y2=\"%.1f\" stroke=\"%s\" stroke-width=\"0.8\" "
                     "stroke-dasharray=\"3 2\"><title>request: pickup %d, delivery %d</title>"
                     "</line>\n",
                     r.route, f.x(a.x), f.y(a.y), f.x(b.x), f.y(b.y), route_colour(r.route).c_str(),
                     s.node, s.pair);
      }
  }

  // Each customer's kept stops, as (route, position): once for most.
  std::vector<std::vector<std::pair<const fleetjudge::RouteReport *, size_t>>> stops_at(
      static_cast<size_t>(customers) + 1);
  for (const fleetjudge::RouteReport &r : report.routes)
    for (size_t i = 0; i < r.stop_count; ++i)
      stops_at[report.stops[r.first_stop + i].node].push_back({&r, i});
  std::vector<bool> unvisited(static_cast<size_t>(customers) + 1, false);
  for (int64_t i : report.unvisited) unvisited[static_cast<size_t>(i)] = true;

  // Customers: served ones in their (first) route's colour, each naming its
  // stops; unvisited ones hollow.
  for (int64_t i = 1; i <= customers; ++i) {
    const Customer &c = nodes[i];
    if (unvisited[static_cast<size_t>(i)]) {
      std::string what = windows ? format("due %d", c.due) : format("demand %d", c.demand);
      std::fprintf(out,
                   "<circle cx=\"%.1f\" cy=\"%.1f\" r=\"%.1f\" fill=\"#fff\" stroke=\"#000\" "
                   "stroke-width=\"1.2\"><title>customer %lld: not visited, %s</title>"
                   "</circle>\n",
                   f.x(c.x), f.y(c.y), dot + 1, static_cast<long long>(i), what.c_str());
      continue;
    }
    const auto &stops = stops_at[static_cast<size_t>(i)];
    if (stops.empty()) {
      std::fprintf(out,
                   "<circle cx=\"%.1f\" cy=\"%.1f\" r=\"%.1f\" fill=\"#555\"><title>customer "
                   "%lld: visited on a route beyond what the report keeps</title></circle>\n",
                   f.x(c.x), f.y(c.y), dot, static_cast<long long>(i));
      continue;
    }
    int32_t route = stops[0].first->route;
    std::fprintf(out,
                 "<circle data-route=\"%d\" cx=\"%.1f\" cy=\"%.1f\" r=\"%.1f\" fill=\"%s\"><title>",
                 route, f.x(c.x), f.y(c.y), dot, route_colour(route).c_str());
    for (size_t j = 0; j < stops.size(); ++j) {
      const fleetjudge::RouteReport &r = *stops[j].first;
      const fleetjudge::Stop &s = report.stops[r.first_stop + stops[j].second];
      size_t of = r.stop_count + static_cast<size_t>(r.stops_left_out);
      std::fprintf(out, "%s%s", j ? "\n" : "",
                   stop_title(report, s, stops[j].second + 1, of, timed).c_str());
    }
    std::fputs("</title></circle>\n", out);
  }
  const Customer &depot = nodes[0];
  std::string hours = windows ? format(": open from %d to %d", depot.ready, depot.due) : "";
  std::fprintf(out,
               "<rect x=\"%.1f\" y=\"%.1f\" width=\"10\" height=\"10\" fill=\"#000\">"
               "<title>depot%s</title></rect>\n",
               f.x(depot.x) - 5, f.y(depot.y) - 5, hours.c_str());

  // Violations by node, in the order found; one ring per node.
  std::map<int64_t, std::vector<const fleetjudge::Violation *>> at_node;
  for (const fleetjudge::Violation &v : report.violations)
    if (v.node && *v.node >= 0 && *v.node <= customers &&
        !(kind_named(v.kind).traits & trait::off_map))
      at_node[*v.node].push_back(&v);
  // The rings, and the depot, are taken before any label is placed; the
  // labels go in order of the violations, the worst first, each under the
  // worst of its node's violations.
  std::vector<Box> taken;
  std::map<int64_t, size_t> ring_of;
  for (const auto &[node, found] : at_node) {
    const Customer &c = nodes[node];
    double x = f.x(c.x), y = f.y(c.y);
    std::fprintf(out,
                 "<g><circle cx=\"%.1f\" cy=\"%.1f\" r=\"%.0f\" fill=\"none\" stroke=\"%s\" "
                 "stroke-width=\"2\"/><title>",
                 x, y, RING, RED);
    for (size_t i = 0; i < found.size(); ++i) {
      if (i) std::fputc('\n', out);
      std::fprintf(out, "%s: ", found[i]->kind.c_str());
      put_html_text(out, found[i]->sentence);
    }
    std::fputs("</title></g>\n", out);
    ring_of[node] = taken.size();
    taken.push_back({x - RING - 1, y - RING - 1, x + RING + 1, y + RING + 1});
  }
  taken.push_back({f.x(depot.x) - 5, f.y(depot.y) - 5, f.x(depot.x) + 5, f.y(depot.y) + 5});
  std::vector<const fleetjudge::Violation *> worst; // one a ringed node, the worst of its own
  std::vector<bool> chosen(taken.size(), false);
  for (const fleetjudge::KindCount &kind : report.counts)
    for (const fleetjudge::Violation *v : worst_first(report, kind.kind)) {
      if (!v->node) continue;
      auto ring = ring_of.find(*v->node);
      if (ring == ring_of.end() || chosen[ring->second]) continue;
      chosen[ring->second] = true;
      worst.push_back(v);
    }

  Box area{2, 2, WIDTH - 2, height - 2};
  size_t labelled = 0;
  std::fputs("<g class=\"labels\" font-family=\"DejaVu Sans\">\n", out);
  for (const fleetjudge::Violation *v : worst) {
    if (labelled == LABELS) break;
    const Customer &c = nodes[*v->node];
    double x = f.x(c.x), y = f.y(c.y);
    const std::string &text = v->label;
    Box b;
    bool far;
    if (!place_label(x, y, text.size(), area, taken, ring_of[*v->node], b, far)) continue;
    taken.push_back(b);
    labelled++;
    if (far) { // from the ring's edge to the nearest point of the label
      double nx = std::clamp(x, b.x0, b.x1), ny = std::clamp(y, b.y0, b.y1);
      double dx = nx - x, dy = ny - y, len = std::max(1e-9, std::hypot(dx, dy));
      std::fprintf(out,
                   "<line x1=\"%.1f\" y1=\"%.1f\" x2=\"%.1f\" y2=\"%.1f\" stroke=\"%s\" "
                   "stroke-width=\"1\"/>",
                   x + dx / len * RING, y + dy / len * RING, nx, ny, RED);
    }
    // The text keeps to the side of its box nearest the ring: real text is
    // mostly narrower than the estimate, and should not drift off.
    const char *anchor = "middle";
    double at = (b.x0 + b.x1) / 2;
    if (b.x0 >= x) {
      anchor = "start";
      at = b.x0;
    } else if (b.x1 <= x) {
      anchor = "end";
      at = b.x1;
    }
    std::fprintf(out,
                 "<text x=\"%.1f\" y=\"%.1f\" font-size=\"%.0f\" text-anchor=\"%s\" fill=\"%s\" "
                 "stroke=\"#fff\" stroke-width=\"3\" paint-order=\"stroke\">",
                 at, b.y0 + ABOVE * LABEL_SIZE, LABEL_SIZE, anchor, RED);
    put_html_text(out, text);
    std::fputs("</text>\n", out);
  }
  std::fputs("</g>\n", out);
  put_legend(out, height, faint);
  std::fputs("</svg>\n", out);
  put_route_legend(report, timed, out);
  size_t hidden = at_node.size() - labelled;
  if (hidden > 0)
    std::fprintf(out,
                 "<p class=\"note\">%zu of %zu customers with violations are labelled on the "
                 "map (at most %zu, none overlapping); %zu more are ringed without a label: "
                 "see the violations list above, the worst first; each ring names its "
                 "violations on hover.</p>\n",
                 labelled, at_node.size(), LABELS, hidden);
}
