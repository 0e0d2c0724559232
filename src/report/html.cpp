// The report as a page: the verdict, the summary and the violations as text,
// then the route map and, where the instance has time, the schedule
// (html_map.cpp, html_schedule.cpp), then the route table. Everything is
// inline, nothing is fetched, so the file opens anywhere and can be mailed. The
// page is polyglot: every element is closed and every attribute quoted, so an
// XML parser reads it as a browser does.
#include <algorithm>
#include <cmath>
#include <cstdarg>

#include "../solution/route_list.h"
#include "writers.h"

namespace {

using fleetjudge::Report;

constexpr size_t PER_KIND_SHOWN = 50; // violations listed of each kind

// Plain-text style sheet: no '<' or '&', so it needs no escaping in XML.
const char style[] = R"(
body { font: 14px/1.4 sans-serif; color: #222; margin: 16px 24px; max-width: 1200px; }
h1 { font-size: 20px; margin: 0 0 4px; }
h2 { font-size: 16px; margin: 24px 0 6px; border-bottom: 1px solid #ccc; }
.files { color: #555; margin: 0; }
.verdict { font-size: 16px; padding: 6px 10px; margin: 10px 0; border-left: 6px solid; }
.verdict.ok { border-color: #2ca02c; background: #eef7ee; }
.verdict.bad { border-color: #d62728; background: #fbeeee; }
.columns { display: flex; flex-wrap: wrap; gap: 32px; }
.columns > div { flex: 1 1 420px; max-width: 600px; }
.verdict code { white-space: pre-wrap; }
table { border-collapse: collapse; }
td, th { padding: 1px 8px; text-align: right; }
th { background: #f0f0f0; }
td.l, th.l { text-align: left; }
#routes th { cursor: pointer; }
#routes tr.bad td { background: #fbeeee; }
.swatch { display: inline-block; width: 10px; height: 10px; margin-right: 4px; }
.kind { font-weight: bold; }
ul { margin: 2px 0 8px; padding-left: 20px; }
.note { color: #555; }
.late { color: #d62728; }
svg.picture { display: block; width: 100%; height: auto; }
svg text { font-family: 'DejaVu Sans', sans-serif; }
.legend span[data-route] { display: inline-block; min-width: 44px; white-space: nowrap; }
body.hl svg [data-route] { opacity: 0.15; }
body.hl svg [data-route].on { opacity: 1; }
body.hl polyline.on { stroke-width: 3px; stroke-opacity: 1; }
body.hl tr.on td, body.hl .legend .on { background: #fff3b0; }
[data-route]:focus { outline: 2px solid #000; }
)";

// Sorts the route table by a clicked column head, and lights up the route
// under the pointer or the focus in the map, the schedule, the legend and the
// table at once: everything drawn for a route carries its number in
// data-route. No '<' or '&' in it, so that it stays well-formed XML; the page
// reads the same without it.
const char script[] = R"(
(function () {
  var table = document.getElementById('routes');
  if (table) {
    var heads = table.tHead.rows[0].cells;
    var sorter = function (col) {
      var up = true;
      return function () {
        var body = table.tBodies[0];
        var rows = Array.prototype.slice.call(body.rows);
        rows.sort(function (a, b) {
          var diff = parseFloat(a.cells[col].textContent) - parseFloat(b.cells[col].textContent);
          return up ? diff : -diff;
        });
        up = !up;
        rows.forEach(function (r) { body.appendChild(r); });
      };
    };
    for (var i = 0; i !== heads.length; i++) heads[i].onclick = sorter(i);
  }
  var current = null, lit = [];
  function routeOf(node) {
    for (; node; node = node.parentNode)
      if (node.getAttribute) {
        var route = node.getAttribute('data-route');
        if (route !== null) return route;
      }
    return null;
  }
  function light(event) {
    var route = routeOf(event.target);
    if (route === current) return;
    current = route;
    lit.forEach(function (n) { n.classList.remove('on'); });
    lit = route === null ? [] :
      Array.prototype.slice.call(document.querySelectorAll('[data-route="' + route + '"]'));
    lit.forEach(function (n) { n.classList.add('on'); });
    document.body.classList.toggle('hl', route !== null);
  }
  document.addEventListener('mouseover', light);
  document.addEventListener('focusin', light);
})();
)";

void put_violations(const Report &report, const Files &files, std::FILE *out) {
  int64_t total = violation_count(report);
  if (total == 0) {
    std::fputs("<p>No violations.</p>\n", out);
    return;
  }
  for (const fleetjudge::KindCount &kind : report.counts) {
    std::fprintf(out, "<div><span class=\"kind\">%s</span> %lld</div>\n<ul>\n", kind.kind.c_str(),
                 static_cast<long long>(kind.count));
    std::vector<Line> lines = lines_of(report, kind.kind);
    size_t shown = files.all ? lines.size() : std::min(lines.size(), PER_KIND_SHOWN);
    int64_t listed = 0;
    for (size_t i = 0; i < shown; ++i) {
      std::fputs("<li>", out);
      put_html_text(out, describe_line(lines[i]));
      std::fputs("</li>\n", out);
      listed += lines[i].later > 0 ? lines[i].later : 1;
    }
    if (kind.count > listed)
      std::fprintf(out, "<li>(and %lld more%s)</li>\n", static_cast<long long>(kind.count - listed),
                   files.all ? ", beyond the violations the report keeps" : "; --all lists them");
    std::fputs("</ul>\n", out);
  }
}

void put_summary(const Report &report, std::FILE *out) {
  const fleetjudge::Summary &s = *report.summary;
  std::fputs("<table>\n", out);
  std::fprintf(
      out, "<tr><td class=\"l\">vehicles</td><td>%lld</td><td class=\"l\">used, %s</td></tr>\n",
      static_cast<long long>(s.vehicles),
      report.instance.vehicles ? format("the instance has %d", *report.instance.vehicles).c_str()
                               : "the fleet is unlimited");
  std::fprintf(out,
               "<tr><td class=\"l\">customers</td><td>%lld</td><td class=\"l\">of %lld "
               "served</td></tr>\n",
               static_cast<long long>(s.customers_served),
               static_cast<long long>(report.instance.customers));
  bool timed = has_time(report), windows = has_windows(report);
  if (windows)
    std::fprintf(out, "<tr><td class=\"l\">waiting</td><td>%.4f</td><td></td></tr>\n", s.waiting);
  if (timed)
    std::fprintf(out, "<tr><td class=\"l\">service</td><td>%.4f</td><td></td></tr>\n", s.service);
  if (report.instance.route_limit) {
    std::fputs("<tr><td class=\"l\">route length</td><td></td><td class=\"l\">at most ", out);
    put_html_text(out, describe_route_limit(*report.instance.route_limit));
    std::fputs("</td></tr>\n", out);
  }
  std::fputs("</table>\n", out);
  std::fputs("<table>\n<tr><th class=\"l\"></th><th>exact</th><th>truncated</th>"
             "<th>rounded</th><th class=\"l\"></th></tr>\n",
             out);
  std::fprintf(out,
               "<tr><td class=\"l\">distance</td><td>%.4f</td><td>%s</td><td>%.0f</td><td "
               "class=\"l note\">travel only: the figure papers publish</td></tr>\n",
               s.distance, tenths_text(s.truncated.distance).c_str(), s.rounded.distance);
  if (timed)
    std::fprintf(out,
                 "<tr><td class=\"l\">duration</td><td>%.4f</td><td>%s</td><td>%.0f</td><td "
                 "class=\"l note\">%s: fleetjudge's total</td></tr>\n",
                 s.duration, tenths_text(s.truncated.duration).c_str(), s.rounded.duration,
                 windows ? "travel, waiting and service" : "travel and service");
  std::fprintf(out,
               "<tr><td class=\"l\">feasible</td><td>%s</td><td>%s</td><td>%s</td><td></td></tr>\n",
               s.feasible ? "yes" : "no", s.truncated.feasible ? "yes" : "no",
               s.rounded.feasible ? "yes" : "no");
  if (s.declared_cost)
    std::fprintf(out,
                 "<tr><td class=\"l\">declared cost</td><td>%.2f</td><td></td><td></td><td "
                 "class=\"l note\">%s</td></tr>\n",
                 s.declared_cost->value, cost_match_text(*s.declared_cost).c_str());
  std::fprintf(out, "</table>\n<p class=\"note\">%s.</p>\n", conventions_note(report));
  if (report.disagreements.empty()) return;
  std::fputs("<p>The conventions disagree where a vehicle is late in one and not the "
             "other:</p>\n<ul>\n",
             out);
  for (const std::string &d : report.disagreements) {
    std::fputs("<li>", out);
    put_html_text(out, d);
    std::fputs("</li>\n", out);
  }
  if (report.disagreements_left_out > 0)
    std::fprintf(out, "<li>(and %lld more)</li>\n",
                 static_cast<long long>(report.disagreements_left_out));
  std::fputs("</ul>\n", out);
}

// Where the instance limits a route's length: its head, and a route's cell,
// marked where the route is above the limit in the deciding convention.
std::string length_head(const Report &report) {
  if (!report.instance.route_limit) return "";
  return format("<th>length (limit %s)</th>", report.instance.route_limit->value_text.c_str());
}
std::string length_cell(const Report &report, const fleetjudge::RouteReport &r) {
  if (!report.instance.route_limit) return "";
  bool above = too_long_in_decision(report, r);
  return format("<td%s>%s</td>", above ? " class=\"late\"" : "",
                route_length_text(report, r).c_str());
}

// Without time the table holds load and distance; waiting and slack come
// with windows only.
void put_route_table(const Report &report, std::FILE *out) {
  std::vector<int64_t> bad = violations_by_route(report);
  bool windows = has_windows(report), timed = has_time(report);
  if (report.instance.route_limit) {
    std::fprintf(out, "<p class=\"note\">Length: what the limit counts, in the %s convention: ",
                 report.convention.c_str());
    put_html_text(out, describe_route_limit(*report.instance.route_limit));
    std::fputs(".</p>\n", out);
  }
  std::fprintf(out,
               "<p class=\"note\">Click a column head to sort.%s</p>\n<table id=\"routes\">\n"
               "<thead><tr><th>route</th><th>customers</th><th>load</th><th>distance</th>%s%s%s"
               "%s<th>distance (truncated)</th>%s<th>violations</th></tr></thead>\n<tbody>\n",
               windows ? " Slack: the smallest margin to a window's end on the route, the depot's "
                         "closing time included; negative when late."
                       : "",
               windows ? "<th>waiting</th>" : "", timed ? "<th>service</th><th>duration</th>" : "",
               windows ? "<th>slack</th>" : "", length_head(report).c_str(),
               timed ? "<th>duration (truncated)</th>" : "");
  for (const fleetjudge::RouteReport &r : report.routes) {
    int64_t v = bad[static_cast<size_t>(r.route)];
    std::fprintf(out,
                 "<tr%s data-route=\"%d\" tabindex=\"0\"><td><span class=\"swatch\" "
                 "style=\"background:%s\"></span>%d</td><td>%lld</td><td>%.0f</td><td>%.2f</td>",
                 v > 0 ? " class=\"bad\"" : "", r.route, route_colour(r.route).c_str(), r.route,
                 static_cast<long long>(r.served), r.load, r.distance);
    if (windows) std::fprintf(out, "<td>%.2f</td>", r.waiting);
    if (timed) std::fprintf(out, "<td>%.2f</td><td>%.2f</td>", r.service, r.duration);
    if (windows) {
      double slack = r.slack.value_or(0);
      std::fprintf(out, "<td%s>%.2f</td>", slack < 0 ? " class=\"late\"" : "", slack);
    }
    std::fputs(length_cell(report, r).c_str(), out);
    std::fprintf(out, "<td>%s</td>", tenths_text(r.truncated.distance).c_str());
    if (timed) std::fprintf(out, "<td>%s</td>", tenths_text(r.truncated.duration).c_str());
    std::fprintf(out, "<td>%lld</td></tr>\n", static_cast<long long>(v));
  }
  std::fputs("</tbody>\n</table>\n", out);
  if (report.routes_left_out > 0)
    std::fprintf(out,
                 "<p class=\"note\">(and %lld more routes, beyond what the report keeps)</p>\n",
                 static_cast<long long>(report.routes_left_out));
}

} // namespace

void put_html_text(std::FILE *out, const std::string &bytes) {
  for (unsigned char c : bytes) {
    switch (c) {
    case '&':
      std::fputs("&amp;", out);
      break;
    case '<':
      std::fputs("&lt;", out);
      break;
    case '>':
      std::fputs("&gt;", out);
      break;
    case '"':
      std::fputs("&quot;", out);
      break;
    case '\'':
      std::fputs("&#39;", out);
      break;
    default:
      // Tab and line feed are the only control characters XML and HTML both
      // keep as they are; C1 codes would be remapped by a browser.
      if ((c < 0x20 && c != '\t' && c != '\n') || (c >= 0x7F && c < 0xA0))
        std::fputs("&#xFFFD;", out);
      else if (c >= 0x80)
        std::fprintf(out, "&#%d;", c);
      else
        std::fputc(c, out);
    }
  }
}

std::string route_colour(int32_t route) {
  // Hues step by the golden angle, so that routes near in number are far apart
  // in hue and no hue comes back; they stay out of the reds kept for
  // violations. Lightness takes three levels in turn and saturation two, every
  // third route, which parts the hues that come close again (routes 21 apart).
  constexpr double golden = 0.3819660112501051; // 1 - 1/phi, of a turn
  constexpr double lightness[] = {0.30, 0.44, 0.58}, saturation[] = {0.8, 0.45};
  int32_t k = std::max(route, int32_t{1}) - 1;
  double turn = std::fmod(k * golden, 1.0);
  double hue = (20 + 320 * turn) / 60; // in sixths of a turn, 20 to 340 degrees
  double l = lightness[k % 3], s = saturation[k / 3 % 2];
  double chroma = (1 - std::fabs(2 * l - 1)) * s;
  double second = chroma * (1 - std::fabs(std::fmod(hue, 2.0) - 1)), base = l - chroma / 2;
  double rgb[3][6] = {{chroma, second, 0, 0, second, chroma},
                      {second, chroma, chroma, second, 0, 0},
                      {0, 0, second, chroma, chroma, second}};
  int sextant = std::min(5, static_cast<int>(hue));
  auto byte = [&](int c) { return static_cast<int>(std::lround((rgb[c][sextant] + base) * 255)); };
  return format("#%02x%02x%02x", byte(0), byte(1), byte(2));
}

void write_html(const Report &report, const Files &files, std::FILE *out) {
  const fleetjudge::InstanceReport &instance = report.instance;
  std::fputs("<!DOCTYPE html>\n<html xmlns=\"http://www.w3.org/1999/xhtml\" lang=\"en\">\n"
             "<head>\n<meta charset=\"utf-8\"/>\n<title>fleetjudge-report: ",
             out);
  put_html_text(out, instance.name);
  std::fprintf(out, "</title>\n<style>%s</style>\n</head>\n<body>\n<h1>", style);
  put_html_text(out, instance.name);
  std::fputs("</h1>\n<p class=\"files\">instance <code>", out);
  put_html_text(out, files.instance);
  std::fprintf(out, "</code>: %s, capacity %g, %s%s<br/>solution <code>",
               instance_size(report).c_str(), instance.capacity,
               instance.vehicles ? format("%d vehicles", *instance.vehicles).c_str()
                                 : "no fleet limit",
               problem_and_layout(report).c_str());
  put_html_text(out, files.solution);
  std::fprintf(out, "</code>: %s</p>\n", solution_format_named(report.solution.format).what);
  for (const std::string &note : report.notes) {
    std::fputs("<p class=\"note\">note: ", out);
    put_html_text(out, note);
    std::fputs("</p>\n", out);
  }

  bool judged = !report.error;
  int64_t total = violation_count(report);
  bool good = judged && total == 0;
  std::fprintf(out, "<div class=\"verdict %s\">", good ? "ok" : "bad");
  if (!judged) {
    std::fputs("The report cannot judge: ", out);
    put_html_text(out, *report.error);
  } else if (good) {
    std::fputs("No violations.", out);
  } else {
    const fleetjudge::Summary &s = *report.summary;
    std::fprintf(out, "%lld violation%s; feasible: %s (exact), %s (truncated), %s (rounded).",
                 static_cast<long long>(total), total == 1 ? "" : "s", s.feasible ? "yes" : "no",
                 s.truncated.feasible ? "yes" : "no", s.rounded.feasible ? "yes" : "no");
  }
  if (report.verdict.status) {
    std::fprintf(out, "<br/>fleetjudge's verdict (status %d): <code>", *report.verdict.status);
    put_html_text(out, report.verdict.message.value_or(""));
    std::fputs("</code>", out);
  } else {
    std::fprintf(out, "<br/>fleetjudge's verdict: none; %s", no_verdict_reason(report).c_str());
  }
  std::fputs("</div>\n", out);

  if (judged) {
    std::fputs("<div class=\"columns\">\n<div>\n<h2>Summary</h2>\n", out);
    put_summary(report, out);
    std::fputs("</div>\n<div>\n<h2>Violations</h2>\n", out);
    put_violations(report, files, out);
    std::fputs("</div>\n</div>\n", out);
  }
  if (instance.has_nodes && instance.coordinates) {
    std::fputs("<h2>Route map</h2>\n", out);
    write_html_map(report, out);
  } else if (instance.has_nodes) {
    std::fputs("<h2>Route map</h2>\n<p class=\"note\">No map: the instance gives its legs' "
               "lengths, not the nodes' coordinates.</p>\n",
               out);
  }
  if (!report.routes.empty()) {
    if (has_time(report)) { // without time, a schedule would only draw the distances again
      std::fputs("<h2>Schedule</h2>\n", out);
      write_html_schedule(report, out);
    }
    std::fputs("<h2>Routes</h2>\n", out);
    put_route_table(report, out);
  }
  std::fprintf(out, "<script>%s</script>\n</body>\n</html>\n", script);
}
