#include "routes.h"

#include <climits>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace py = pybind11;

namespace fleetjudge_python {

namespace {

std::string type_name(PyObject *value) { return Py_TYPE(value)->tp_name; }

std::string where(size_t route, Py_ssize_t position) {
  return "routes[" + std::to_string(route) + "][" + std::to_string(position) + "]";
}

[[noreturn]] void too_large(size_t route, Py_ssize_t position, const std::string &value) {
  PyErr_SetString(PyExc_OverflowError,
                  (where(route, position) + " = " + value +
                   " is beyond the 32 bits a customer number has in memory (a solution file "
                   "can hold it)")
                      .c_str());
  throw py::error_already_set();
}

// One customer number. A bool is a flag, not a customer; anything with
// __index__ (numpy's integers) is an integer.
int customer(PyObject *item, size_t route, Py_ssize_t position) {
  if (PyLong_CheckExact(item)) {
    int overflow = 0;
    long value = PyLong_AsLongAndOverflow(item, &overflow);
    if (overflow == 0 && value >= INT_MIN && value <= INT_MAX) return static_cast<int>(value);
    too_large(route, position, py::str(item).cast<std::string>());
  }
  // numpy's bool scalar has __index__ as well, to be removed.
  std::string_view type = Py_TYPE(item)->tp_name;
  if (PyBool_Check(item) || type == "numpy.bool_" || type == "numpy.bool")
    throw py::type_error(where(route, position) + " is not a customer number: " + type_name(item));
  py::object number = py::reinterpret_steal<py::object>(PyNumber_Index(item));
  if (!number) {
    PyErr_Clear();
    throw py::type_error(where(route, position) +
                         " is not a customer number (an integer): " + type_name(item));
  }
  return customer(number.ptr(), route, position);
}

// One item of an integer buffer, of the unsigned type U read as the signed S
// where the buffer is signed: its value, and its bits as written.
template <typename U, typename S> int64_t load(const char *at, bool is_signed, uint64_t &bits) {
  U v;
  std::memcpy(&v, at, sizeof v);
  bits = v;
  return is_signed ? static_cast<int64_t>(static_cast<S>(v)) : static_cast<int64_t>(v);
}

// A 1-D buffer of native integers (a numpy array, an array.array), read in
// place; false for any other buffer, which is then read item by item.
bool integer_buffer(PyObject *value, fleetjudge::Route &out, size_t route) {
  if (!PyObject_CheckBuffer(value)) return false;
  Py_buffer view;
  if (PyObject_GetBuffer(value, &view, PyBUF_FORMAT | PyBUF_STRIDES) != 0) {
    PyErr_Clear();
    return false;
  }
  struct Release {
    Py_buffer *view;
    ~Release() { PyBuffer_Release(view); }
  } release{&view};
  const char *format = view.format ? view.format : "B";
  if (*format == '@' || *format == '=') ++format; // native order; '=' with standard sizes
  char code = format[0];
  if (view.ndim != 1 || code == '\0' || format[1] != '\0' ||
      std::strchr("bBhHiIlLqQnN", code) == nullptr)
    return false;
  bool is_signed = std::strchr("bhilqn", code) != nullptr;
  size_t size = static_cast<size_t>(view.itemsize);
  if (size != 1 && size != 2 && size != 4 && size != 8) return false;
  Py_ssize_t count = view.shape[0], stride = view.strides[0];
  out.reserve(static_cast<size_t>(count));
  const char *at = static_cast<const char *>(view.buf);
  for (Py_ssize_t k = 0; k < count; ++k, at += stride) {
    uint64_t bits = 0;
    int64_t value = size == 1   ? load<uint8_t, int8_t>(at, is_signed, bits)
                    : size == 2 ? load<uint16_t, int16_t>(at, is_signed, bits)
                    : size == 4 ? load<uint32_t, int32_t>(at, is_signed, bits)
                                : load<uint64_t, int64_t>(at, true, bits);
    bool unsigned_beyond = !is_signed && size == 8 && bits > static_cast<uint64_t>(INT64_MAX);
    if (unsigned_beyond || value < INT_MIN || value > INT_MAX)
      too_large(route, k, unsigned_beyond ? std::to_string(bits) : std::to_string(value));
    out.push_back(static_cast<int>(value));
  }
  return true;
}

bool is_text(PyObject *value) {
  return PyUnicode_Check(value) || PyBytes_Check(value) || PyByteArray_Check(value);
}

} // namespace

bool are_routes(py::handle solution) {
  return !is_text(solution.ptr()) && !PyObject_HasAttrString(solution.ptr(), "__fspath__") &&
         PySequence_Check(solution.ptr());
}

std::vector<fleetjudge::Route> routes_from(py::handle solution) {
  // A list or tuple of its own: an item's __index__ may change the sequence
  // it is read from, and its items must outlive that.
  py::object outer = py::reinterpret_steal<py::object>(PySequence_Tuple(solution.ptr()));
  if (!outer) throw py::error_already_set();
  Py_ssize_t count = PyTuple_GET_SIZE(outer.ptr());
  std::vector<fleetjudge::Route> routes(static_cast<size_t>(count));
  for (Py_ssize_t i = 0; i < count; ++i) {
    size_t index = static_cast<size_t>(i);
    PyObject *route = PyTuple_GET_ITEM(outer.ptr(), i);
    if (integer_buffer(route, routes[index], index)) continue;
    if (is_text(route) || !PySequence_Check(route))
      throw py::type_error("routes[" + std::to_string(i) +
                           "] is not a sequence of customer numbers: " + type_name(route));
    py::object items = py::reinterpret_steal<py::object>(PySequence_Tuple(route));
    if (!items) throw py::error_already_set();
    Py_ssize_t n = PyTuple_GET_SIZE(items.ptr());
    routes[index].reserve(static_cast<size_t>(n));
    for (Py_ssize_t k = 0; k < n; ++k)
      routes[index].push_back(customer(PyTuple_GET_ITEM(items.ptr(), k), index, k));
  }
  return routes;
}

} // namespace fleetjudge_python
