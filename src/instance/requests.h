// The requests of a pickup and delivery instance, from the two columns every
// task's line has: `pickup` names a delivery's pickup, `delivery` a
// pickup's delivery, 0 where there is none. Both layouts pair them here.
#pragma once

#include <cstdint>
#include <vector>

#include "node_table.h"
#include "scan.h"

struct Run;

struct TaskColumns {
  int32_t pickup = 0, delivery = 0;
  int64_t line = 0; // in the file, for a message
};

// Sets every task's role and partner in the run's instance, whose node
// table holds the demands already. An inconsistent pair is a fault naming
// the line of the task it is found at: the depot with a partner, a task that
// is both or neither, a partner that is no task or does not name it back, a
// pickup with a negative demand, a delivery whose demand is not the negative
// of its pickup's. Returns whether every request is sound.
bool pair_requests(Run &r, InputFile &file, const std::vector<TaskColumns> &columns);

// A task's line as read, in the order of the file.
struct TaskRow {
  int32_t id = 0;
  Customer values{};
  TaskColumns columns;
};

// Places every task in the run's node table by its id and pairs them: each id
// from 0 to the number of rows less one, once, so that the table is sized by
// the lines read, never by a number written. A service time below zero, an
// id out of range or given twice, and every inconsistent pair is a fault at
// its line. Returns whether all were placed and paired.
bool place_tasks(Run &r, InputFile &file, const std::vector<TaskRow> &rows);
