// The module's inputs: what Python passes as an instance or a solution, turned
// into the bytes the library reads and the name the command line would give.
#pragma once

#include <pybind11/pybind11.h>

#include <string>
#include <string_view>

namespace fleetjudge_python {

enum class Source { bytes, path, routes };

// One input. Bytes from Python are viewed where they lie (`keep` holds them
// while the interpreter is released); a file is read into `owned` later, by
// read_input(), so that reading happens without the interpreter; routes are
// written into `owned` as a plain list.
struct Input {
  const char *kind = ""; // "instance" or "solution": the name of bytes in messages
  pybind11::object keep; // the bytes object viewed, or the path as given
  Source source = Source::bytes;
  std::string path;       // the path's bytes as the file system takes them
  std::string_view given; // the bytes object's contents
  std::string owned;      // the file's contents, or the routes as a plain list
  int error = 0;          // errno of a file that could not be read

  std::string_view contents() const { return source == Source::bytes ? given : owned; }
  // The name the checker's messages use: the path, as the command line has it.
  std::string_view name() const { return source == Source::path ? std::string_view(path) : kind; }
  // The report's "path": the path, or none.
  const char *path_or_null() const { return source == Source::path ? path.c_str() : nullptr; }
};

// A path (str or os.PathLike) or the contents (bytes). With `routes_allowed`,
// any other sequence is a list of routes, each a sequence of integers; a route
// that is not raises TypeError naming its index. Needs the interpreter.
Input take_input(pybind11::handle value, const char *kind, bool routes_allowed);

// Refuses a str that holds a line break: it is a file's text, not a path,
// and would otherwise fail as a file name too long or not found. Needs the
// interpreter.
void refuse_text_as_path(pybind11::handle value, const char *kind);

// Refuses an option's value with a NUL character: the library reads it as a
// C string, which the NUL would cut short.
void refuse_nul(const char *function, const char *name, const std::string &value);

// Reads a file given by path into the input; on failure `error` holds errno.
// Runs without the interpreter.
void read_input(Input &in);

// Raises the OSError (FileNotFoundError, PermissionError, ...) of an input
// that could not be read. Needs the interpreter.
void raise_if_unread(const Input &in);

} // namespace fleetjudge_python
