// The parts of the Python module pemar._pemar, one function per area, and
// what they share: turning the library's failures into Python exceptions at
// this boundary only.

#ifndef PEMAR_PYTHON_BINDINGS_H_
#define PEMAR_PYTHON_BINDINGS_H_

#include <pybind11/pybind11.h>

#include <string>

#include "pemar/framework/Types.h"

namespace pemar::python {

// A number, or None for the empty value.
inline pybind11::object Number(double value) {
  if (value == kEmptyValue) return pybind11::none();
  return pybind11::float_(value);
}

void DefineSteam(pybind11::module_& m);
void DefineUtilities(pybind11::module_& m);
void DefineCases(pybind11::module_& m);
void DefineFiles(pybind11::module_& m);

}  // namespace pemar::python

#endif  // PEMAR_PYTHON_BINDINGS_H_
