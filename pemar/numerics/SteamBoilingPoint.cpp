// The boiling temperature of water at a pressure, from a vapour-pressure
// correlation solved by Newton's method (not part of IFC-67, so it agrees
// with the IFC-67 saturation line only to the correlation's accuracy).

#include <cmath>

#include "pemar/numerics/Ifc67Equations.h"
#include "pemar/numerics/SteamProperties.h"

namespace pemar {

double Steam67ReducedBPCalcT(double p) {
  // ln p_Pa = 72.55 - 7206.7/T - 7.1385 ln T + 4.046e-6 T^2 has no meaning
  // at p <= 0; without this check the result would be a NaN that slips
  // through every comparison of the caller.
  if (!(p > 0.0)) return ifc67::kFailure;
  const double ln_p_pa = std::log(1000.0 * p);
  // Antoine equation in mmHg for the first estimate.
  double t = 3816.44 / (18.3036 - std::log(p / 101.325 * 760.0)) + 46.13;
  for (int step = 0; step < 100; ++step) {
    const double f =
        72.55 - ln_p_pa - 7206.7 / t - 7.1385 * std::log(t) + 4.046e-6 * t * t;
    const double df = 7206.7 / (t * t) - 7.1385 / t + 8.092e-6 * t;
    const double delta = f / df;
    const double before = t;
    t -= delta;
    if (!std::isfinite(t)) break;
    if (std::fabs(delta) / before <= 1e-7) break;
  }
  const double theta = t / ifc67::kCriticalTemperature;
  return std::isfinite(theta) ? theta : ifc67::kFailure;
}

}  // namespace pemar
