// How the report reads what the checker reads otherwise: an instance with CR
// LF line ends, which the report reads as LF, and a byte-order mark at the
// start of a file, which the report skips. The checker's verdict is then
// that of a run of its own, on a second thread over the one read of the
// files (check_alongside), or on the bytes in memory.
#pragma once

#include <string_view>

#include "report.h"

// Whether the first line ends in CR LF, as the published benchmark instances do.
bool has_crlf(std::string_view head);

// The UTF-8 byte-order mark that editors on Windows put at the start of a
// file. The report skips it; fleetjudge reads it as text.
constexpr std::string_view BYTE_ORDER_MARK = "\xEF\xBB\xBF";
bool begins_with_mark(InputFile &file);
void skip_mark(InputFile &file, bool mark);

// The report's run on the inputs, with the checker's run alongside on a
// second thread: either run may end first, and neither waits for the other.
// The checker reads the files' marks (marks[0]: the instance's, marks[1]:
// the solution's); the report skips them.
fleetjudge::Verdict check_alongside(ReportRun &rep, Inputs &in, const bool marks[2]);
