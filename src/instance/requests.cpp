#include "requests.h"

#include <string>

#include "../run.h"

namespace {

bool refuse(Run &r, InputFile &file, int64_t line, const std::string &problem) {
  input_fault(r, file, ("line " + std::to_string(line) + ": " + problem).c_str());
  return false;
}

std::string task(int64_t i) { return "task " + std::to_string(i); }

} // namespace

bool pair_requests(Run &r, InputFile &file, const std::vector<TaskColumns> &columns) {
  InstanceData &d = r.own_instance;
  int64_t last = static_cast<int64_t>(columns.size()) - 1;
  auto is_task = [&](int32_t k) { return k >= 1 && k <= last; };
  std::vector<Task> tasks(columns.size());
  if (columns[0].pickup != 0 || columns[0].delivery != 0)
    return refuse(r, file, columns[0].line, "the depot, task 0, names a pickup or a delivery");
  for (int64_t i = 1; i <= last; ++i) {
    const TaskColumns &c = columns[i];
    if (c.pickup != 0 && c.delivery != 0)
      return refuse(r, file, c.line, task(i) + " is both a pickup and a delivery");
    if (c.pickup == 0 && c.delivery == 0)
      return refuse(r, file, c.line, task(i) + " is neither a pickup nor a delivery");
    bool pickup = c.delivery != 0;
    int32_t partner = pickup ? c.delivery : c.pickup;
    const char *wanted = pickup ? "delivery" : "pickup";
    if (!is_task(partner))
      return refuse(r, file, c.line,
                    task(i) + "'s " + wanted + " " + std::to_string(partner) + " is no task");
    const TaskColumns &other = columns[partner];
    int32_t named_back = pickup ? other.pickup : other.delivery;
    if (named_back != i)
      return refuse(r, file, c.line,
                    task(i) + " names " + wanted + " " + std::to_string(partner) +
                        ", which does not name it back as its " + (pickup ? "pickup" : "delivery"));
    int32_t demand = d.customers[i].demand;
    if (pickup && demand < 0)
      return refuse(r, file, c.line,
                    "pickup " + std::to_string(i) + " has a negative demand " +
                        std::to_string(demand));
    if (!pickup && int64_t{demand} != -int64_t{d.customers[partner].demand})
      return refuse(r, file, c.line,
                    "delivery " + std::to_string(i) + "'s demand " + std::to_string(demand) +
                        " is not the negative of its pickup " + std::to_string(partner) + "'s " +
                        std::to_string(d.customers[partner].demand));
    tasks[i] = Task{partner, pickup ? Role::pickup : Role::delivery};
  }
  d.tasks = std::move(tasks);
  return true;
}

bool place_tasks(Run &r, InputFile &file, const std::vector<TaskRow> &rows) {
  InstanceData &d = r.own_instance;
  int64_t last = static_cast<int64_t>(rows.size()) - 1;
  d.customers.assign(rows.size(), Customer{});
  std::vector<TaskColumns> columns(rows.size()); // a line of 0: not placed yet
  for (const TaskRow &t : rows) {
    int64_t line = t.columns.line;
    if (t.id < 0 || t.id > last)
      return refuse(r, file, line,
                    task(t.id) + " out of range 0 to " + std::to_string(last) +
                        " (one line per task, the depot's 0 first)");
    if (columns[t.id].line)
      return refuse(r, file, line,
                    task(t.id) + " again, after line " + std::to_string(columns[t.id].line));
    if (t.values.service < 0)
      return refuse(r, file, line,
                    task(t.id) + "'s service time " + std::to_string(t.values.service) +
                        " is negative");
    d.customers[t.id] = t.values;
    columns[t.id] = t.columns;
  }
  return pair_requests(r, file, columns);
}
