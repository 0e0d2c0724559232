#include "node_table.h"

Customer customers[MAX_N];
int64_t n = -1;
double TCap = 0;
int32_t vehicles = 0;
char instance_name[256];

ext distance(int64_t a, int64_t b) {
  return ext_hypot(int64_t{customers[a].x} - customers[b].x,
                   int64_t{customers[a].y} - customers[b].y);
}
