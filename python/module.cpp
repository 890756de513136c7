// pemar._pemar: the library's steam tables, utility database, cases and
// file functions for Python. The package pemar (pemar/__init__.py) is the
// public face; this extension holds the compiled parts.

#include <pybind11/pybind11.h>

#include "bindings.h"

PYBIND11_MODULE(_pemar, m) {
  m.doc() = "Compiled parts of the pemar package; use the package pemar.";
  pemar::python::DefineSteam(m);
  pemar::python::DefineUtilities(m);
  pemar::python::DefineCases(m);
  pemar::python::DefineFiles(m);
}
