// fleetjudge.Report and its parts: Python objects over the library's Report,
// each made when it is first read.
#pragma once

#include <pybind11/pybind11.h>

#include <fleetjudge/fleetjudge.h>

namespace fleetjudge_python {

void bind_report(pybind11::module_ &m);

// The Python Report that holds this one. Needs the interpreter.
pybind11::object report_object(fleetjudge::Report &&report);

// Bytes read from a file, one character per byte, as the report's JSON
// writes them.
pybind11::str latin1(const std::string &bytes);

} // namespace fleetjudge_python
