// The steam kernels behind pemar.steam: flat arrays in, flat arrays out,
// computed with the GIL released. Broadcasting and the checks of the
// arguments' types are done by pemar/steam.py.

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <cmath>
#include <cstddef>
#include <limits>

#include "bindings.h"
#include "pemar/numerics/SteamBatch.h"
#include "pemar/numerics/SteamProperties.h"

namespace py = pybind11;

namespace pemar::python {
namespace {

using Doubles = py::array_t<double, py::array::c_style | py::array::forcecast>;

constexpr double kFailure = -32767.0;
constexpr double kEnthalpyOutOfRange = -287436.0;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// The step of an input of `a.size()` values read for `n` states: 0 for one
// value shared by all, 1 for one value per state.
std::ptrdiff_t StepFor(const Doubles& a, py::ssize_t n, const char* name) {
  if (a.ndim() != 1) {
    throw py::value_error(std::string(name) + " must be one-dimensional");
  }
  if (a.size() == 1) return 0;
  if (a.size() != n) {
    throw py::value_error(std::string(name) + " holds " +
                          std::to_string(a.size()) + " values for " +
                          std::to_string(n) + " states");
  }
  return 1;
}

py::ssize_t CheckedCount(py::ssize_t n) {
  if (n < 0) throw py::value_error("the number of states must not be negative");
  return n;
}

using BatchFunction = void (*)(const double*, std::ptrdiff_t, const double*,
                               std::ptrdiff_t, std::size_t, int, double*);

// `failure` and `out_of_range` are replaced by NaN unless `raw`.
py::array_t<double> Properties(BatchFunction batch, const Doubles& t,
                               const Doubles& p, py::ssize_t n, int hint,
                               bool raw, double out_of_range) {
  n = CheckedCount(n);
  const std::ptrdiff_t t_step = StepFor(t, n, "T");
  const std::ptrdiff_t p_step = StepFor(p, n, "p");
  py::array_t<double> out(n);
  double* values = out.mutable_data();
  const double* tv = t.data();
  const double* pv = p.data();
  {
    py::gil_scoped_release unlocked;
    batch(tv, t_step, pv, p_step, static_cast<std::size_t>(n), hint, values);
    if (!raw) {
      for (py::ssize_t i = 0; i < n; ++i) {
        if (values[i] == kFailure || values[i] == out_of_range) {
          values[i] = kNaN;
        }
      }
    }
  }
  return out;
}

py::array_t<int> SubRegions(const Doubles& t, const Doubles& p, py::ssize_t n,
                            int hint) {
  n = CheckedCount(n);
  const std::ptrdiff_t t_step = StepFor(t, n, "T");
  const std::ptrdiff_t p_step = StepFor(p, n, "p");
  py::array_t<int> out(n);
  int* values = out.mutable_data();
  const double* tv = t.data();
  const double* pv = p.data();
  {
    py::gil_scoped_release unlocked;
    SteamSubRegionBatch(tv, t_step, pv, p_step, static_cast<std::size_t>(n),
                        hint, values);
  }
  return out;
}

// f(x) for each value of a flat array, with the GIL released.
template <typename F>
py::array_t<double> Each(const Doubles& x, F f) {
  if (x.ndim() != 1) throw py::value_error("expected a one-dimensional array");
  const py::ssize_t n = x.size();
  py::array_t<double> out(n);
  double* values = out.mutable_data();
  const double* in = x.data();
  {
    py::gil_scoped_release unlocked;
    for (py::ssize_t i = 0; i < n; ++i) values[i] = f(in[i]);
  }
  return out;
}

}  // namespace

void DefineSteam(py::module_& m) {
  m.def(
      "_steam_volume",
      [](const Doubles& t, const Doubles& p, py::ssize_t n, int hint,
         bool raw) {
        return Properties(Steam67VolumeBatch, t, p, n, hint, raw, kFailure);
      },
      py::arg("t"), py::arg("p"), py::arg("n"), py::arg("hint"), py::arg("raw"),
      "Molar volumes (m3/kmol) of n states; t and p hold 1 or n values.");
  m.def(
      "_steam_enthalpy",
      [](const Doubles& t, const Doubles& p, py::ssize_t n, int hint,
         bool raw) {
        return Properties(SteamEnthalpyBatch, t, p, n, hint, raw,
                          kEnthalpyOutOfRange);
      },
      py::arg("t"), py::arg("p"), py::arg("n"), py::arg("hint"), py::arg("raw"),
      "Molar enthalpies (kJ/kmol) of n states; t and p hold 1 or n values.");
  m.def("_steam_subregion", &SubRegions, py::arg("t"), py::arg("p"),
        py::arg("n"), py::arg("hint"),
        "IFC-67 sub-regions (1 to 4, -1 outside) of n states.");
  m.def(
      "_steam_saturation_pressure",
      [](const Doubles& t) {
        const double pc = SteamCriticalProperty("Pressure");
        return Each(t,
                    [pc](double x) { return Steam67ReducedVPCalcT(x) * pc; });
      },
      py::arg("t"), "Saturation pressures (kPa) at temperatures (K).");
  m.def(
      "_steam_boiling_temperature",
      [](const Doubles& p, bool raw) {
        const double tc = SteamCriticalProperty("Temperature");
        return Each(p, [raw, tc](double x) {
          const double theta = Steam67ReducedBPCalcT(x);
          if (theta == kFailure) return raw ? kFailure : kNaN;
          return theta * tc;
        });
      },
      py::arg("p"), py::arg("raw"),
      "Boiling temperatures (K) at pressures (kPa).");
}

}  // namespace pemar::python
