// The instance reader: fills the node table, `n` and `TCap` from the instance
// file and closes it. Title and column-title lines are skipped unread; the two
// header numbers may share a line or not; node lines may come in any order.
#pragma once

#include "scan.h"

void read_instance(InputFile &file);
