// Routes in memory, from Python's sequences into the library's routes, read
// as they are: never written out as text.
#pragma once

#include <pybind11/pybind11.h>

#include <vector>

#include <fleetjudge/fleetjudge.h>

namespace fleetjudge_python {

// Whether a solution argument is routes rather than a path or bytes: a
// sequence that is not text.
bool are_routes(pybind11::handle solution);

// A sequence of routes, each a sequence of customer numbers: ints, numpy
// integers, or a 1-D array of integers (read through the buffer protocol).
// A route or a number of another type raises TypeError naming its index and
// position; an integer beyond 32 bits raises OverflowError. Needs the
// interpreter.
std::vector<fleetjudge::Route> routes_from(pybind11::handle solution);

} // namespace fleetjudge_python
