// The instance reader: fills the run's node table, `n` and `capacity` from the
// instance file and closes it. Title and column-title lines are skipped
// unread; the two header numbers may share a line or not; node lines may come
// in any order.
//
// The checker's table holds node numbers 0 to MAX_N - 1 and at most MAX_N node
// lines. The report's table grows with the lines read: it accepts node numbers
// up to the larger of MAX_N - 1 and the number of node lines less one, so that
// every instance the checker reads is read the same way, and larger ones too.
#pragma once

#include "scan.h"

struct Run;
void read_instance(Run &r, InputFile &file);
