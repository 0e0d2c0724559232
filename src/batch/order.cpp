#include "order.h"

#include <algorithm>

namespace {

bool digit(char c) { return c >= '0' && c <= '9'; }

char folded(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// -1, 0 or 1 as the chunk-by-chunk comparison finds a before, level with or
// after b.
int natural_compare(const std::string &a, const std::string &b) {
  size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    bool da = digit(a[i]), db = digit(b[j]);
    if (da != db) return da ? -1 : 1; // a number before text
    if (da) {
      size_t ei = i, ej = j;
      while (ei < a.size() && digit(a[ei])) ++ei;
      while (ej < b.size() && digit(b[ej])) ++ej;
      size_t zi = i, zj = j; // leading zeros do not count
      while (zi + 1 < ei && a[zi] == '0') ++zi;
      while (zj + 1 < ej && b[zj] == '0') ++zj;
      if (ei - zi != ej - zj) return ei - zi < ej - zj ? -1 : 1;
      int c = a.compare(zi, ei - zi, b, zj, ej - zj);
      if (c != 0) return c < 0 ? -1 : 1;
      i = ei, j = ej;
    } else {
      unsigned char ca = static_cast<unsigned char>(folded(a[i]));
      unsigned char cb = static_cast<unsigned char>(folded(b[j]));
      if (ca != cb) return ca < cb ? -1 : 1;
      ++i, ++j;
    }
  }
  if (i < a.size() || j < b.size()) return i < a.size() ? 1 : -1; // a prefix first
  return 0;
}

} // namespace

bool natural_less(const std::string &a, const std::string &b) {
  int c = natural_compare(a, b);
  return c != 0 ? c < 0 : a < b; // std::string compares bytes as unsigned char
}

void sort_pairs(std::vector<Pair> &pairs) {
  std::stable_sort(pairs.begin(), pairs.end(), [](const Pair &x, const Pair &y) {
    if (x.name != y.name) return natural_less(x.name, y.name);
    if (x.run_index != y.run_index) return x.run_index < y.run_index;
    if (x.solution != y.solution) return x.solution < y.solution;
    return x.instance < y.instance;
  });
}
