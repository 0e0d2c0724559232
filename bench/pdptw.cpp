// Reading the pickup and delivery layouts, in one process through the
// library (Instance::read with the format told by `auto`, as every program
// reads):
//
//   - a 1000-task Li & Lim instance against the Solomon text of the same
//     nodes, padded as published and with one tab between numbers: rounds
//     alternate them, each read `BATCH` times in a row, and the medians of a
//     read are compared (the bound: 1.3 times); also with the format named,
//     the readers alone;
//   - the largest Sartori & Buriol size, 5001 nodes: a matrix of 25 million
//     travel times (about 100 MB of text), read a few times.
//
//   pdptw OUT_DIR [ROUNDS]
//
// Generates the four files into OUT_DIR from one seeded generator (so that
// they can be looked at or given to the programs), then prints one line per
// measurement. The Li & Lim file is written as published, with tabs; the
// Solomon text as fleetjudge's instances are, in padded columns.
#include <fleetjudge/fleetjudge.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace {

struct Task {
  int x, y, demand, ready, due, service, pickup, delivery;
};

// 500 requests round a depot in the middle of a 500 x 500 square, each
// pickup's window before its delivery's, as in the 1000-task sets.
std::vector<Task> requests(std::mt19937 &random, int pairs) {
  std::uniform_int_distribution<int> coordinate(0, 500), demand(1, 40), start(0, 3000);
  std::vector<Task> tasks(static_cast<size_t>(2 * pairs + 1));
  tasks[0] = Task{250, 250, 0, 0, 4000, 0, 0, 0};
  for (int k = 0; k < pairs; ++k) {
    int p = 2 * k + 1, d = p + 1, q = demand(random), open = start(random);
    tasks[p] = Task{coordinate(random), coordinate(random), q, open, open + 120, 10, 0, d};
    tasks[d] = Task{coordinate(random), coordinate(random), -q, open + 200, open + 320, 10, p, 0};
  }
  return tasks;
}

std::string lilim_text(const std::vector<Task> &tasks) {
  std::string text = "40\t200\t1\n";
  char line[160];
  for (size_t i = 0; i < tasks.size(); ++i) {
    const Task &t = tasks[i];
    std::snprintf(line, sizeof line, "%zu\t%d\t%d\t%d\t%d\t%d\t%d\t%d\t%d\n", i, t.x, t.y, t.demand,
                  t.ready, t.due, t.service, t.pickup, t.delivery);
    text += line;
  }
  return text;
}

// Padded as the published Solomon files are, or compact: one tab between
// numbers, as Li & Lim's, so that only the count of fields differs.
std::string solomon_text(const std::vector<Task> &tasks, bool padded) {
  std::string text = "LC1_10_1\n\nVEHICLE\nNUMBER     CAPACITY\n  40         200\n\nCUSTOMER\n"
                     "CUST NO.  XCOORD.   YCOORD.    DEMAND   READY TIME  DUE DATE   SERVICE TIME\n"
                     "\n";
  char line[160];
  for (size_t i = 0; i < tasks.size(); ++i) {
    const Task &t = tasks[i];
    std::snprintf(line, sizeof line,
                  padded ? "%5zu %8d %9d %9d %11d %10d %11d\n" : "%zu\t%d\t%d\t%d\t%d\t%d\t%d\n", i,
                  t.x, t.y, t.demand, t.ready, t.due, t.service);
    text += line;
  }
  return text;
}

// Sartori & Buriol's largest size: 2500 requests on a road network round
// Barcelona, travel times from 1 to 300 minutes, not symmetric.
std::string sartori_text(std::mt19937 &random, int nodes) {
  std::vector<Task> tasks = requests(random, (nodes - 1) / 2);
  std::uniform_int_distribution<int> minutes(1, 300), degrees(0, 99999);
  std::string text = "NAME: bar-n5000-1\nLOCATION: barcelona\nCOMMENT: generated\nTYPE: PDPTW\n"
                     "SIZE: " +
                     std::to_string(nodes) +
                     "\nDISTRIBUTION: cluster\nDEPOT: central\nROUTE-TIME: 4000\n"
                     "TIME-WINDOW: 120\nCAPACITY: 200\nNODES\n";
  char line[200];
  for (int i = 0; i < nodes; ++i) {
    const Task &t = tasks[static_cast<size_t>(i)];
    std::snprintf(line, sizeof line, "%d 41.%05d 2.%05d %d %d %d %d %d %d\n", i, degrees(random),
                  degrees(random), t.demand, t.ready, t.due, t.service, t.pickup, t.delivery);
    text += line;
  }
  text += "EDGES\n";
  for (int i = 0; i < nodes; ++i) {
    for (int j = 0; j < nodes; ++j) {
      text += std::to_string(i == j ? 0 : minutes(random));
      text += j + 1 < nodes ? ' ' : '\n';
    }
  }
  return text + "EOF\n";
}

void write(const std::string &path, const std::string &text) {
  std::ofstream(path, std::ios::binary) << text;
}

double read_ms(const std::string &text, const char *expected_format, const char *choice = "auto") {
  auto start = std::chrono::steady_clock::now();
  fleetjudge::Instance instance = fleetjudge::Instance::read(text, {choice});
  double ms =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  if (std::string(instance.format()) != expected_format) {
    std::fprintf(stderr, "pdptw: read as %s, not %s\n", instance.format(), expected_format);
    std::exit(1);
  }
  return ms;
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

} // namespace

int main(int argc, char **argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: pdptw OUT_DIR [ROUNDS]\n");
    return 2;
  }
  std::string out = argv[1];
  int rounds = argc > 2 ? std::atoi(argv[2]) : 101;
  std::mt19937 random(29);
  std::vector<Task> tasks = requests(random, 500);
  std::string lilim = lilim_text(tasks), padded = solomon_text(tasks, true),
              compact = solomon_text(tasks, false);
  std::string sartori = sartori_text(random, 5001);
  write(out + "/lc1_10_1.txt", lilim);
  write(out + "/lc1_10_1-solomon.txt", padded);
  write(out + "/lc1_10_1-solomon-tabs.txt", compact);
  write(out + "/bar-n5000-1.txt", sartori);

  // Rounds alternate the texts, each read BATCH times in a row: the three
  // told by `auto`, then Li & Lim's and the compact Solomon text read in the
  // format named, the readers alone, without the look at the first bytes.
  constexpr int BATCH = 10;
  const std::string *texts[] = {&lilim, &padded, &compact, &lilim, &compact};
  const char *formats[] = {"lilim", "solomon", "solomon", "lilim", "solomon"};
  const char *choices[] = {"auto", "auto", "auto", "lilim", "solomon"};
  std::vector<double> ms[5];
  for (int round = 0; round < rounds; ++round)
    for (int k = 0; k < 5; ++k) {
      double sum = 0;
      for (int i = 0; i < BATCH; ++i) sum += read_ms(*texts[k], formats[k], choices[k]);
      ms[k].push_back(sum / BATCH);
    }
  double l = median(ms[0]);
  const char *names[] = {"", "padded as published", "one tab between numbers"};
  for (int k = 1; k < 3; ++k) {
    double s = median(ms[k]);
    std::printf("1000 tasks: Li & Lim %.3f ms (%zu bytes), Solomon text %s %.3f ms (%zu bytes): "
                "%.2fx (<= 1.3 %s)\n",
                l, lilim.size(), names[k], s, texts[k]->size(), l / s,
                l / s <= 1.3 ? "met" : "MISSED");
  }
  double named = median(ms[3]), solomon_named = median(ms[4]);
  std::printf("1000 tasks, the format named (the readers alone): Li & Lim %.3f ms, Solomon text "
              "one tab between numbers %.3f ms: %.2fx\n",
              named, solomon_named, named / solomon_named);

  std::vector<double> big;
  for (int i = 0; i < 5; ++i) big.push_back(read_ms(sartori, "sartori"));
  double m = median(big);
  std::printf("5001 nodes: Sartori & Buriol %.1f ms (%.1f MB, 25,010,001 travel times): "
              "%.0f MB/s\n",
              m, sartori.size() / 1e6, sartori.size() / 1e3 / m);
  return 0;
}
