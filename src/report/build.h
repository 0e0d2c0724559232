// The report as a value (<fleetjudge/fleetjudge.h>'s Report), built once
// from a report's run: every figure the document holds, typed.
#pragma once

#include <fleetjudge/fleetjudge.h>

#include "report.h"

// `judged_against`: the instance read once, where the run judged against
// one; else the run's own instance is moved into the report.
fleetjudge::Report build_report(ReportRun &rep, const Files &files,
                                fleetjudge::Instance judged_against = {});
