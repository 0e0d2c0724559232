#include "svg.h"

#include <algorithm>
#include <cmath>

#include "line.h"

namespace {

constexpr double LEFT = 58, RIGHT = 14, TOP = 12, BOTTOM = 42;

struct Frame {
  const Chart &chart;
  double plot_width() const { return chart.width - LEFT - RIGHT; }
  double plot_height() const { return chart.height - TOP - BOTTOM; }
  static double unit(const Axis &a, double v) {
    if (a.logarithmic) {
      double lo = std::log10(a.low), hi = std::log10(a.high);
      return (std::log10(std::max(v, a.low)) - lo) / (hi - lo);
    }
    return (v - a.low) / (a.high - a.low);
  }
  double x(double v) const { return LEFT + plot_width() * std::clamp(unit(chart.x, v), 0.0, 1.0); }
  double y(double v) const {
    return TOP + plot_height() * (1 - std::clamp(unit(chart.y, v), 0.0, 1.0));
  }
};

// Ticks at 1, 2 or 5 times a power of ten, about five of them.
std::vector<double> linear_ticks(const Axis &a, int &decimals) {
  double span = a.high - a.low, raw = span / 5;
  double power = std::pow(10, std::floor(std::log10(raw)));
  double step = raw / power < 1.5 ? power : raw / power < 3.5 ? 2 * power : 5 * power;
  decimals = std::max(0, -static_cast<int>(std::floor(std::log10(step) + 1e-9)));
  std::vector<double> ticks;
  for (double t = std::ceil(a.low / step - 1e-9) * step; t <= a.high + step * 1e-9; t += step)
    ticks.push_back(std::fabs(t) < step * 1e-9 ? 0 : t);
  return ticks;
}

std::vector<double> log_ticks(const Axis &a) {
  std::vector<double> ticks;
  for (int k = static_cast<int>(std::ceil(std::log10(a.low) - 1e-9));
       k <= static_cast<int>(std::floor(std::log10(a.high) + 1e-9)); ++k)
    ticks.push_back(std::pow(10, k));
  return ticks;
}

std::string label(double v, int decimals, bool logarithmic) {
  char text[64];
  if (logarithmic)
    std::snprintf(text, sizeof text, "%g", v);
  else
    std::snprintf(text, sizeof text, "%.*f", decimals, v);
  return text;
}

void put_axes(const Frame &f, std::FILE *out) {
  const Chart &c = f.chart;
  double bottom = TOP + f.plot_height(), right = LEFT + f.plot_width();
  std::fprintf(out,
               "<rect x=\"%.1f\" y=\"%.1f\" width=\"%.1f\" height=\"%.1f\" fill=\"#fff\" "
               "stroke=\"#999\"/>\n",
               LEFT, TOP, f.plot_width(), f.plot_height());
  int decimals = 0;
  std::vector<double> ticks = c.x.logarithmic ? log_ticks(c.x) : linear_ticks(c.x, decimals);
  for (double t : ticks) {
    double x = f.x(t);
    std::fprintf(out,
                 "<line x1=\"%.1f\" y1=\"%.1f\" x2=\"%.1f\" y2=\"%.1f\" stroke=\"#e4e4e4\"/>"
                 "<text x=\"%.1f\" y=\"%.1f\" font-size=\"11\" text-anchor=\"middle\">%s</text>\n",
                 x, TOP, x, bottom, x, bottom + 14, label(t, decimals, c.x.logarithmic).c_str());
  }
  ticks = c.y.logarithmic ? log_ticks(c.y) : linear_ticks(c.y, decimals);
  for (double t : ticks) {
    double y = f.y(t);
    std::fprintf(out,
                 "<line x1=\"%.1f\" y1=\"%.1f\" x2=\"%.1f\" y2=\"%.1f\" stroke=\"#e4e4e4\"/>"
                 "<text x=\"%.1f\" y=\"%.1f\" font-size=\"11\" text-anchor=\"end\">%s</text>\n",
                 LEFT, y, right, y, LEFT - 4, y + 4, label(t, decimals, c.y.logarithmic).c_str());
  }
  std::fprintf(out, "<text x=\"%.1f\" y=\"%d\" font-size=\"12\" text-anchor=\"middle\">",
               LEFT + f.plot_width() / 2, c.height - 8);
  put_escaped(out, c.x.label);
  std::fprintf(out,
               "</text>\n<text x=\"14\" y=\"%.1f\" font-size=\"12\" text-anchor=\"middle\" "
               "transform=\"rotate(-90 14 %.1f)\">",
               TOP + f.plot_height() / 2, TOP + f.plot_height() / 2);
  put_escaped(out, c.y.label);
  std::fputs("</text>\n", out);
}

void put_series(const Frame &f, const Series &s, std::FILE *out) {
  if (s.curve.empty()) return;
  std::fprintf(
      out,
      "<polyline fill=\"none\" stroke=\"%s\" stroke-width=\"%.1f\" stroke-opacity=\"%.2f\" "
      "points=\"",
      s.colour.c_str(), s.width, s.opacity);
  double last_y = 0;
  for (size_t i = 0; i < s.curve.size(); ++i) {
    double x = f.x(s.curve[i].first), y = f.y(s.curve[i].second);
    if (i > 0) std::fprintf(out, " %.1f,%.1f", x, last_y); // the step, level until here
    std::fprintf(out, "%s%.1f,%.1f", i ? " " : "", x, y);
    last_y = y;
  }
  std::fputs("\">", out);
  if (!s.title.empty()) {
    std::fputs("<title>", out);
    put_escaped(out, s.title);
    std::fputs("</title>", out);
  }
  std::fputs("</polyline>\n", out);
}

} // namespace

void put_escaped(std::FILE *out, const std::string &text) {
  const unsigned char *s = reinterpret_cast<const unsigned char *>(text.data());
  for (size_t i = 0; i < text.size();) {
    unsigned char c = s[i];
    size_t n = c >= 0x80 ? utf8_sequence(s + i, text.size() - i) : 1;
    if (c == '&')
      std::fputs("&amp;", out);
    else if (c == '<')
      std::fputs("&lt;", out);
    else if (c == '>')
      std::fputs("&gt;", out);
    else if (c == '"')
      std::fputs("&quot;", out);
    else if (c == '\'')
      std::fputs("&#39;", out);
    else if ((c < 0x20 && c != '\t' && c != '\n') || c == 0x7F || n == 0)
      std::fputs("&#xFFFD;", out); // neither XML nor HTML keeps it as it is
    else
      std::fwrite(s + i, 1, n, out);
    i += n ? n : 1;
  }
}

void put_chart(const Chart &chart, std::FILE *out) {
  Frame f{chart};
  std::fprintf(out,
               "<svg class=\"chart\" xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 %d %d\" "
               "width=\"%d\" height=\"%d\" role=\"img\">\n",
               chart.width, chart.height, chart.width, chart.height);
  put_axes(f, out);
  for (const Series &s : chart.series) put_series(f, s, out);
  std::fputs("</svg>\n", out);
}
