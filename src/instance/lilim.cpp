// Li & Lim's pickup and delivery instances: "K Q S", then a line of nine
// whole numbers per task, the depot first.
#include <string>

#include "../run.h"
#include "formats.h"
#include "requests.h"

namespace {

constexpr int TASK_FIELDS = 9; // id x y demand earliest latest service pickup delivery

// The name the instance goes by: its file's, without folder and extension,
// as the best-known solutions name it ("lr101").
std::string stem(const std::string &path) {
  size_t slash = path.find_last_of('/');
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  size_t dot = name.find_last_of('.');
  return dot == 0 || dot == std::string::npos ? name : name.substr(0, dot);
}

bool refuse(Run &r, InputFile &file, int64_t line, const std::string &problem) {
  input_fault(r, file, ("line " + std::to_string(line) + ": " + problem).c_str());
  return false;
}

} // namespace

bool looks_like_lilim(std::string_view head) {
  LinesAhead lines{head};
  std::string_view line;
  int32_t fields[TASK_FIELDS];
  for (int want : {3, TASK_FIELDS, TASK_FIELDS}) {
    if (!lines.next(line)) return false;
    std::string text(line); // the scan stops at a NUL
    if (whole_fields(text.c_str(), fields, TASK_FIELDS) != want) return false;
  }
  return true;
}

void read_lilim(Run &r, InputFile &file) {
  InstanceData &d = r.own_instance;
  d.format = InstanceFormat::lilim;
  d.name = stem(file.path);
  // Room for as many rows as the bytes at hand can hold (all of them, for
  // bytes in memory; a task's line takes 18 bytes at least), so that the
  // rows are never moved as they come, and the run leaves no garbage behind
  // for the heap to give back and take again at the next read.
  std::string_view ahead = look_ahead(file, 0);
  std::vector<TaskRow> tasks;
  tasks.reserve(ahead.size() / 18 + 1);
  bool fleet_read = false;
  while (!at_end(file) && !r.stopped) {
    read_line(r, file);
    int32_t f[TASK_FIELDS];
    int64_t line = file.lines_read;
    int count = whole_fields(r.line, f, TASK_FIELDS);
    if (count == 0) continue;
    if (!fleet_read) {
      // The speed is not read: travel time is the distance, and some files
      // hold 0 there.
      if (count != 3 || f[0] < 0 || f[1] < 0) {
        refuse(r, file, line,
               "the first line must hold the vehicles, the capacity and the speed, three whole "
               "numbers, the first two not negative");
        break;
      }
      d.vehicles = f[0];
      d.capacity = f[1];
      fleet_read = true;
    } else if (count == TASK_FIELDS) {
      tasks.push_back(
          TaskRow{f[0], Customer{f[1], f[2], f[3], f[4], f[5], f[6]}, {f[7], f[8], line}});
    } else {
      refuse(r, file, line,
             "a task's line holds nine whole numbers: id x y demand earliest latest service "
             "pickup delivery");
      break;
    }
  }
  if (r.stopped) return;
  if (tasks.empty()) {
    refuse(r, file, file.lines_read, fleet_read ? "no task lines" : "no lines");
    return;
  }
  if (!place_tasks(r, file, tasks)) return;
  d.customer_count = static_cast<int64_t>(tasks.size()) - 1;
  close_input(file);
}
