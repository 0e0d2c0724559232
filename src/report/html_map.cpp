// The route map: every node at its coordinates, every kept route as one line
// from the depot through its customers and back, in its route's colour. The
// customers with a violation get a red ring, a label and a tooltip naming the
// kind; unvisited customers are hollow. Where some routes break a rule, the
// others are drawn faint, so the eye goes to the route at fault.
#include <algorithm>
#include <map>

#include "report.h"

namespace {

constexpr double WIDTH = 1000, MAX_HEIGHT = 760, PAD = 30, LEGEND = 46;
constexpr size_t LABELS = 24; // violation labels on the map; the rest have rings and tooltips
constexpr const char *RED = "#d62728";

struct Frame {
  double min_x, max_y, scale;
  double x(int32_t v) const { return PAD + (v - min_x) * scale; }
  double y(int32_t v) const { return PAD + (max_y - v) * scale; } // north up
};

std::string format_point(const Frame &f, const Customer &c) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.1f,%.1f", f.x(c.x), f.y(c.y));
  return buf;
}

// The label beside a marked customer: what went wrong there, shortly.
std::string short_text(const Finding &f) {
  char buf[96];
  double value = to_double(f.value), limit = to_double(f.limit), excess = to_double(f.excess);
  switch (f.kind) {
  case Kind::time_window_missed:
    std::snprintf(buf, sizeof buf, "%lld: %.2f late (route %d)", static_cast<long long>(f.node),
                  excess, f.route);
    break;
  case Kind::depot_closed:
    std::snprintf(buf, sizeof buf, "route %d back %.2f late", f.route, excess);
    break;
  case Kind::capacity_exceeded:
    std::snprintf(buf, sizeof buf, "%lld: load %.0f > %.0f (route %d)",
                  static_cast<long long>(f.node), value, limit, f.route);
    break;
  case Kind::not_visited:
    std::snprintf(buf, sizeof buf, "%lld: not visited", static_cast<long long>(f.node));
    break;
  default:
    std::snprintf(buf, sizeof buf, "%lld: %s", static_cast<long long>(f.node), kind_name(f.kind));
  }
  return buf;
}

void put_legend(const Report &rep, std::FILE *out, double top, bool faint) {
  double y = top + 16;
  std::fprintf(out, "<g font-size=\"12\" fill=\"#333\">\n");
  std::fprintf(out,
               "<rect x=\"%.1f\" y=\"%.1f\" width=\"8\" height=\"8\" fill=\"#000\"/>"
               "<text x=\"%.1f\" y=\"%.1f\">depot</text>\n",
               PAD, y - 8, PAD + 12, y);
  std::fprintf(out,
               "<circle cx=\"%.1f\" cy=\"%.1f\" r=\"3\" fill=\"#555\"/>"
               "<text x=\"%.1f\" y=\"%.1f\">customer</text>\n",
               PAD + 70, y - 4, PAD + 78, y);
  std::fprintf(out,
               "<circle cx=\"%.1f\" cy=\"%.1f\" r=\"3.5\" fill=\"#fff\" stroke=\"#000\" "
               "stroke-width=\"1.2\"/><text x=\"%.1f\" y=\"%.1f\">not visited</text>\n",
               PAD + 155, y - 4, PAD + 164, y);
  std::fprintf(out,
               "<circle cx=\"%.1f\" cy=\"%.1f\" r=\"6\" fill=\"none\" stroke=\"%s\" "
               "stroke-width=\"2.5\"/><text x=\"%.1f\" y=\"%.1f\">violation (hover for the "
               "kind)</text>\n",
               PAD + 260, y - 4, RED, PAD + 272, y);
  double x = PAD + 470;
  std::fprintf(out, "<text x=\"%.1f\" y=\"%.1f\">routes:</text>\n", x, y);
  x += 50;
  size_t shown = std::min<size_t>(rep.record.routes.size(), 10);
  for (size_t i = 0; i < shown; ++i, x += 34) {
    int32_t route = rep.record.routes[i].figures.route;
    std::fprintf(out,
                 "<line x1=\"%.1f\" y1=\"%.1f\" x2=\"%.1f\" y2=\"%.1f\" stroke=\"%s\" "
                 "stroke-width=\"3\"/><text x=\"%.1f\" y=\"%.1f\">%d</text>\n",
                 x, y - 4, x + 14, y - 4, route_colour(route), x + 16, y, route);
  }
  std::string note = rep.record.routes.size() > 10 ? "colours repeat every 10 routes; " : "";
  note += "hover a line for its route";
  if (faint) note += "; routes without violations drawn faint";
  std::fprintf(out, "<text x=\"%.1f\" y=\"%.1f\" fill=\"#666\">%s</text>\n", PAD, y + 20,
               note.c_str());
  std::fputs("</g>\n", out);
}

} // namespace

void write_html_map(const Report &rep, std::FILE *out) {
  int32_t min_x = rep.run.customers[0].x, max_x = min_x, min_y = rep.run.customers[0].y, max_y = min_y;
  for (int64_t i = 1; i <= rep.run.n; ++i) {
    min_x = std::min(min_x, rep.run.customers[i].x);
    max_x = std::max(max_x, rep.run.customers[i].x);
    min_y = std::min(min_y, rep.run.customers[i].y);
    max_y = std::max(max_y, rep.run.customers[i].y);
  }
  double span_x = std::max(1.0, double(max_x) - min_x),
         span_y = std::max(1.0, double(max_y) - min_y);
  double scale = std::min((WIDTH - 2 * PAD) / span_x, (MAX_HEIGHT - 2 * PAD) / span_y);
  Frame f{double(min_x), double(max_y), scale};
  double height = span_y * scale + 2 * PAD;

  // Smaller marks and thinner lines as the picture fills up.
  double dot = rep.run.n > 300 ? 1.8 : 2.6;
  double line = rep.record.routes.size() > 30 ? 0.9 : 1.4;

  std::vector<int64_t> bad = violations_by_route(rep);
  bool faint = false;
  for (const KeptRoute &k : rep.record.routes) faint |= bad[k.figures.route] > 0;

  // Which route serves each customer (the first that does), for its dot's colour.
  std::vector<int32_t> served_by(rep.run.n + 1, 0);
  for (const Stop &s : rep.record.stops)
    if (s.node > 0 && s.node <= rep.run.n && served_by[s.node] == 0) served_by[s.node] = s.route;

  std::fprintf(out,
               "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%.0f\" height=\"%.0f\" "
               "viewBox=\"0 0 %.0f %.0f\" role=\"img\">\n"
               "<title>Route map</title>\n"
               "<rect width=\"100%%\" height=\"100%%\" fill=\"#fff\"/>\n",
               WIDTH, height + LEGEND, WIDTH, height + LEGEND);

  // Routes at fault go last, on top of the faint ones.
  for (int pass = 0; pass < 2; ++pass) {
    for (const KeptRoute &k : rep.record.routes) {
      const RouteFigures &r = k.figures;
      bool at_fault = bad[r.route] > 0;
      if (at_fault != (pass == 1)) continue;
      std::string points = format_point(f, rep.run.customers[0]);
      for (size_t i = 0; i < k.stop_count; ++i)
        points += " " + format_point(f, rep.run.customers[rep.record.stops[k.first_stop + i].node]);
      points += " " + format_point(f, rep.run.customers[0]);
      // A dark casing under the route at fault lifts it off the others,
      // whatever its own colour.
      if (at_fault)
        std::fprintf(out,
                     "<polyline fill=\"none\" stroke=\"#000\" stroke-opacity=\"0.7\" "
                     "stroke-width=\"%.2f\" stroke-linejoin=\"round\" points=\"%s\"/>\n",
                     line * 1.8 + 2, points.c_str());
      std::fprintf(out,
                   "<polyline fill=\"none\" stroke=\"%s\" stroke-width=\"%.2f\"%s "
                   "stroke-linejoin=\"round\" points=\"%s\"><title>route %d: %d customers, "
                   "load %.0f, duration %.2f, slack %.2f%s</title></polyline>\n",
                   route_colour(r.route), at_fault ? line * 1.8 : line,
                   faint && !at_fault ? " stroke-opacity=\"0.35\"" : "", points.c_str(), r.route,
                   r.customers, r.load, to_double(r.duration), to_double(r.slack),
                   k.stops_left_out > 0 ? " (drawn in part)" : "");
    }
  }

  // Customers: served ones in their route's colour, unvisited ones hollow.
  for (int64_t i = 1; i <= rep.run.n; ++i) {
    const Customer &c = rep.run.customers[i];
    if (c.visits == 0)
      std::fprintf(out,
                   "<circle cx=\"%.1f\" cy=\"%.1f\" r=\"%.1f\" fill=\"#fff\" stroke=\"#000\" "
                   "stroke-width=\"1.2\"><title>customer %lld: not visited</title></circle>\n",
                   f.x(c.x), f.y(c.y), dot + 1, static_cast<long long>(i));
    else
      std::fprintf(out,
                   "<circle cx=\"%.1f\" cy=\"%.1f\" r=\"%.1f\" fill=\"%s\"><title>customer "
                   "%lld, route %d</title></circle>\n",
                   f.x(c.x), f.y(c.y), dot, served_by[i] ? route_colour(served_by[i]) : "#555",
                   static_cast<long long>(i), served_by[i]);
  }
  const Customer &depot = rep.run.customers[0];
  std::fprintf(out,
               "<rect x=\"%.1f\" y=\"%.1f\" width=\"10\" height=\"10\" fill=\"#000\">"
               "<title>depot</title></rect>\n",
               f.x(depot.x) - 5, f.y(depot.y) - 5);

  // Violations by node, in the order found; one ring per node.
  std::map<int64_t, std::vector<const Finding *>> at_node;
  for (const Finding &v : rep.record.violations)
    if (v.node >= 0 && v.node <= rep.run.n && !is_declared(v.kind) && v.kind != Kind::customer_out_of_range)
      at_node[v.node].push_back(&v);
  size_t labelled = 0;
  for (const auto &[node, findings] : at_node) {
    const Customer &c = rep.run.customers[node];
    double x = f.x(c.x), y = f.y(c.y);
    std::fprintf(out,
                 "<g><circle cx=\"%.1f\" cy=\"%.1f\" r=\"7\" fill=\"none\" stroke=\"%s\" "
                 "stroke-width=\"2.5\"/><title>",
                 x, y, RED);
    for (size_t i = 0; i < findings.size(); ++i) {
      if (i) std::fputc('\n', out);
      std::fprintf(out, "%s: ", kind_name(findings[i]->kind));
      put_html_text(out, describe(*findings[i]));
    }
    std::fputs("</title></g>\n", out);
    if (labelled++ < LABELS) {
      // Labels to the left near the right edge, so that they stay inside.
      bool left = x > WIDTH - 220;
      std::fprintf(out,
                   "<text x=\"%.1f\" y=\"%.1f\" font-size=\"13\" font-weight=\"bold\" "
                   "fill=\"%s\" stroke=\"#fff\" stroke-width=\"3\" paint-order=\"stroke\" "
                   "text-anchor=\"%s\">",
                   left ? x - 10 : x + 10, y + 4, RED, left ? "end" : "start");
      put_html_text(out, short_text(*findings[0]));
      std::fputs("</text>\n", out);
    }
  }
  put_legend(rep, out, height, faint);
  std::fputs("</svg>\n", out);
  if (labelled > LABELS)
    std::fprintf(out,
                 "<p class=\"note\">%zu customers with violations are ringed; the first %zu "
                 "are labelled, the rest name their violations on hover.</p>\n",
                 labelled, LABELS);
}
