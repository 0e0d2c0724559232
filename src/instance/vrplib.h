// The VRPLIB instance reader: the capacitated VRP (CVRP) and the VRPTW, as
// the large benchmark sets are distributed (NAME.vrp beside NAME.sol).
//
// Key lines "KEY : value", then sections of node rows, up to EOF.
// Node 1 is the depot and becomes node 0; node k + 1 becomes customer k, the
// numbering of the .sol files. Without a TIME_WINDOW_SECTION every window is
// [0, +inf) and the depot never closes; without VEHICLES the fleet is
// unlimited. Leg lengths come from coordinates (EUC_2D) or from the file
// (EXPLICIT, in any of the five matrix layouts). Anything the rules would
// read differently, or that the file does not make whole, ends the reading
// with a fault naming the line; nothing is sized by a number of the file
// before that many rows have been read.
#pragma once

#include <string_view>

#include "scan.h"

struct Run;
void read_vrplib(Run &r, InputFile &file);

// Whether `head` holds a key line "DIMENSION : value" and a section line
// ("NODE_COORD_SECTION"). A Solomon file could hold both only in its name and
// title lines, which are not read; the guess takes that risk, and
// --instance-format overrides it.
bool looks_like_vrplib(std::string_view head);
// Whether the first non-blank line of `head` has the form "KEY : value".
bool begins_with_key_line(std::string_view head);
