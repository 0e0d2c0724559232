#include "inputs.h"

#include <cerrno>
#include <charconv>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace py = pybind11;

namespace fleetjudge_python {

namespace {

// One customer number as the plain list writes it: the integer's decimal
// text, whatever its size, so that the list reads as the same routes would
// from a file. A bool is a flag, not a customer, so it is refused as well.
bool append_customer(std::string &text, py::handle item) {
  if (PyBool_Check(item.ptr())) return false;
  py::object number = py::reinterpret_steal<py::object>(PyNumber_Index(item.ptr()));
  if (!number) {
    PyErr_Clear();
    return false;
  }
  int overflow = 0;
  long long value = PyLong_AsLongLongAndOverflow(number.ptr(), &overflow);
  if (overflow == 0) {
    char digits[24];
    auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    text.append(digits, end);
  } else {
    text += py::str(number).cast<std::string>();
  }
  return true;
}

std::string type_name(py::handle value) {
  return py::str(py::type::handle_of(value).attr("__name__"));
}

bool is_text(py::handle value) {
  return PyUnicode_Check(value.ptr()) || PyBytes_Check(value.ptr()) ||
         PyByteArray_Check(value.ptr());
}

// One route a line, customers separated by spaces; an empty route writes
// nothing, as a blank line of a plain list is skipped.
std::string plain_list(py::handle routes) {
  py::sequence outer = py::reinterpret_borrow<py::sequence>(routes);
  std::string text;
  size_t count = outer.size();
  for (size_t i = 0; i < count; ++i) {
    py::object route = outer[i];
    if (is_text(route) || !PySequence_Check(route.ptr()))
      throw py::type_error("routes[" + std::to_string(i) +
                           "] is not a sequence of customer numbers: " + type_name(route));
    // A tuple of its own: an item's __index__ may change the route while it
    // is read, and the items must outlive that.
    py::object items = py::reinterpret_steal<py::object>(PySequence_Tuple(route.ptr()));
    if (!items) throw py::error_already_set();
    Py_ssize_t n = PyTuple_GET_SIZE(items.ptr());
    PyObject **item = &PyTuple_GET_ITEM(items.ptr(), 0);
    for (Py_ssize_t k = 0; k < n; ++k) {
      if (k > 0) text += ' ';
      if (!append_customer(text, item[k]))
        throw py::type_error("routes[" + std::to_string(i) + "][" + std::to_string(k) +
                             "] is not a customer number (an integer): " + type_name(item[k]));
    }
    if (n > 0) text += '\n';
  }
  return text;
}

} // namespace

Input take_input(py::handle value, const char *kind, bool routes_allowed) {
  Input in;
  in.kind = kind;
  in.keep = py::reinterpret_borrow<py::object>(value);
  PyObject *v = value.ptr();
  if (PyBytes_Check(v)) {
    in.given = std::string_view(PyBytes_AS_STRING(v), static_cast<size_t>(PyBytes_GET_SIZE(v)));
    return in;
  }
  if (PyUnicode_Check(v) || PyObject_HasAttrString(v, "__fspath__")) {
    // The file system's bytes for the path, as the command line gets them in
    // argv; a path with a NUL byte is a ValueError here, as for open().
    PyObject *encoded = nullptr;
    if (!PyUnicode_FSConverter(v, &encoded)) throw py::error_already_set();
    py::bytes path = py::reinterpret_steal<py::bytes>(encoded);
    in.path = path.cast<std::string>();
    in.source = Source::path;
    return in;
  }
  if (routes_allowed && !is_text(value) && PySequence_Check(v)) {
    in.source = Source::routes;
    in.owned = plain_list(value);
    return in;
  }
  throw py::type_error(std::string(kind) + " must be a path (str or os.PathLike) or the file's " +
                       "contents (bytes)" + (routes_allowed ? ", or a sequence of routes" : "") +
                       ", not " + type_name(value));
}

void refuse_text_as_path(py::handle value, const char *kind) {
  if (!PyUnicode_Check(value.ptr())) return;
  Py_ssize_t length = PyUnicode_GET_LENGTH(value.ptr());
  for (const char *line_end : {"\n", "\r"}) {
    py::str end(line_end);
    if (PyUnicode_Find(value.ptr(), end.ptr(), 0, length, 1) >= 0)
      throw py::value_error(std::string(kind) + " is a str with a line break: a str is a path. " +
                            "To pass the file's contents, pass bytes: text.encode()");
  }
}

void refuse_nul(const char *function, const char *name, const std::string &value) {
  if (value.find('\0') != std::string::npos)
    throw py::value_error(std::string(function) + ": " + name + " holds a NUL character");
}

void read_input(Input &in) {
  if (in.source != Source::path) return;
  int fd = open(in.path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    in.error = errno;
    return;
  }
  struct stat st;
  if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) in.owned.reserve(static_cast<size_t>(st.st_size));
  char chunk[1 << 16];
  for (;;) {
    ssize_t got = read(fd, chunk, sizeof chunk);
    if (got > 0) {
      in.owned.append(chunk, static_cast<size_t>(got));
    } else if (got == 0) {
      break;
    } else if (errno != EINTR) {
      in.error = errno;
      break;
    }
  }
  close(fd);
}

void raise_if_unread(const Input &in) {
  if (in.error == 0) return;
  errno = in.error;
  PyErr_SetFromErrnoWithFilenameObject(PyExc_OSError, in.keep.ptr());
  throw py::error_already_set();
}

} // namespace fleetjudge_python
