// The report as a value (<fleetjudge/fleetjudge.h>'s Report), built once
// from a report's run: every figure the document holds, typed.
#pragma once

#include <fleetjudge/fleetjudge.h>

#include "report.h"

fleetjudge::Report build_report(const ReportRun &rep, const Files &files);
