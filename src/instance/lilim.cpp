// Li & Lim's pickup and delivery instances: "K Q S", then a line of nine
// whole numbers per task, the depot first.
#include <string>

#include "../run.h"
#include "formats.h"
#include "requests.h"

namespace {

constexpr int TASK_FIELDS = 9; // id x y demand earliest latest service pickup delivery

struct TaskLine {
  int32_t fields[TASK_FIELDS];
  int64_t line;
};

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

// Every id from 0 to the number of task lines less one, once: the node
// table is sized by the lines read, never by a number written.
bool place_tasks(Run &r, InputFile &file, const std::vector<TaskLine> &lines) {
  InstanceData &d = r.own_instance;
  int64_t last = static_cast<int64_t>(lines.size()) - 1;
  d.customers.assign(lines.size(), Customer{});
  std::vector<TaskColumns> columns(lines.size());
  std::vector<int64_t> placed_at(lines.size(), 0);
  for (const TaskLine &t : lines) {
    int32_t id = t.fields[0];
    if (id < 0 || id > last)
      return refuse(r, file, t.line,
                    "task " + std::to_string(id) + " out of range 0 to " + std::to_string(last) +
                        " (one line per task, the depot's 0 first)");
    if (placed_at[id])
      return refuse(r, file, t.line,
                    "task " + std::to_string(id) + " again, after line " +
                        std::to_string(placed_at[id]));
    placed_at[id] = t.line;
    const int32_t *f = t.fields;
    d.customers[id] = Customer{f[1], f[2], f[3], f[4], f[5], f[6]};
    columns[id] = TaskColumns{f[7], f[8], t.line};
    if (f[6] < 0)
      return refuse(r, file, t.line,
                    "task " + std::to_string(id) + "'s service time " + std::to_string(f[6]) +
                        " is negative");
  }
  return pair_requests(r, file, columns);
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
  std::vector<TaskLine> tasks;
  bool fleet_read = false;
  while (!at_end(file) && !r.stopped) {
    read_line(r, file);
    TaskLine t;
    t.line = file.lines_read;
    int count = whole_fields(r.line, t.fields, TASK_FIELDS);
    if (count == 0) continue;
    if (!fleet_read) {
      // The speed is not read: travel time is the distance, and some files
      // hold 0 there.
      if (count != 3 || t.fields[0] < 0 || t.fields[1] < 0) {
        refuse(r, file, t.line,
               "the first line must hold the vehicles, the capacity and the speed, three whole "
               "numbers, the first two not negative");
        break;
      }
      d.vehicles = t.fields[0];
      d.capacity = t.fields[1];
      fleet_read = true;
    } else if (count == TASK_FIELDS) {
      tasks.push_back(t);
    } else {
      refuse(r, file, t.line,
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
