// fleetjudge.Instance: an instance read once, and judge() against it.
#pragma once

#include <pybind11/pybind11.h>

namespace fleetjudge_python {

void bind_instance(pybind11::module_ &m);

} // namespace fleetjudge_python
