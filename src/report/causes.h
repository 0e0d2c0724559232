// The notes and hints that name the likely cause of what a report found,
// where the findings alone would leave a person searching: two arguments
// swapped, an instance format guessed otherwise than the file is written,
// the depot given in a route, a declared figure that is another figure,
// lines of a route list ignored, numbers beyond 32 bits, a file cut short,
// a window that closes before it opens.
#pragma once

#include <string>
#include <string_view>

#include "report.h"

// What an instance's first lines say of it, read before the run.
struct InstanceHead {
  bool key_line_first; // its first line is a key line "KEY : value", as in a VRPLIB file
  bool like_solution;  // they begin with a route label, or hold customer numbers only
};
InstanceHead instance_head_of(std::string_view head);

// Where an instance that cannot be read was read in the format its first
// lines do not show, a hint to the error that says so; empty otherwise.
std::string instance_format_hint(InstanceFormat format, const InstanceHead &head);

// Once the run is done: hints added to the error, or notes.
void point_at_causes(ReportRun &rep, Inputs &in, const InstanceHead &head);
void note_what_was_read(ReportRun &rep);
// What the solution format's guess decided, why, and how to choose otherwise.
std::string format_note(SolutionFormat format, const char *why);
