// A chart of step functions as inline SVG: two axes with ticks and labels,
// and one polyline per series, each value holding until the next point.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "curves.h"

struct Axis {
  double low = 0, high = 1;
  bool logarithmic = false; // ticks at the powers of ten
  std::string label;
};

struct Series {
  Curve curve;
  std::string colour; // #rrggbb
  double width = 1.5, opacity = 1;
  std::string title; // shown on hover
};

struct Chart {
  Axis x, y;
  std::vector<Series> series;
  int width = 560, height = 300;
};

// Values beyond an axis are drawn at its edge.
void put_chart(const Chart &chart, std::FILE *out);

// Text for the page, as HTML and XML both read it; the text is UTF-8.
void put_escaped(std::FILE *out, const std::string &text);
