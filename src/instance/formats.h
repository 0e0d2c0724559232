// Which layout an instance is written in, told from its first bytes, and the
// readers of the two pickup and delivery layouts.
//
// Li & Lim's first, a first line of three numbers, then lines of nine, which
// no layout of key lines can begin with; then Sartori & Buriol's (a SIZE:
// line, and a NODES or an EDGES line, so that a file short of one section is
// still refused as what it is; its NAME: line alone would pass it off as
// VRPLIB); then VRPLIB (a DIMENSION line and a section); else fleetjudge's
// Solomon text.
#pragma once

#include <string_view>

#include "instance_data.h"
#include "scan.h"

struct Run;

InstanceFormat told_instance_format(std::string_view head);

// Li & Lim: "K Q S" (vehicles, capacity, an unused speed), then one line per
// task, "id x y demand earliest latest service pickup delivery", task 0 the
// depot. The name is the file's, without folder and extension.
bool looks_like_lilim(std::string_view head);
void read_lilim(Run &r, InputFile &file);

// Sartori & Buriol: key lines "KEY: value", NODES rows "id lat lon demand
// earliest latest service pickup delivery", then EDGES, a full matrix of
// whole travel times, row = from, column = to (not symmetric), then EOF. The
// fleet is unlimited.
bool looks_like_sartori(std::string_view head);
void read_sartori(Run &r, InputFile &file);
