// Molar volume and enthalpy of water and steam after IFC-67.
//
// Sub-regions 1 and 2 are explicit in temperature and pressure. Sub-regions 3
// and 4 give the pressure as a function of volume, so their volume is found
// by a secant iteration on v + 0.001 (beta - beta(v)), clamped to the volume
// range of those sub-regions.

#include "pemar/numerics/SteamProperties.h"

#include <cmath>

#include "pemar/numerics/Ifc67Equations.h"

namespace pemar {
namespace ifc67 {
namespace {

constexpr double kMinVolume = 0.001292222;  // m3/kg
constexpr double kMaxVolume = 0.0126948;    // m3/kg
constexpr int kMaxIterations = 100;
constexpr double kTolerance = 1e-7;

}  // namespace

double SolveRegion34Volume(double t, double p, int region, bool vapour_start) {
  const double theta = t / kCriticalTemperature;
  const double beta = p / kCriticalPressure;
  // First estimate from an engineering-units correlation: an ideal-gas-like
  // volume at or below the limit pressure, a liquid-like one above it.
  const double p_lim = theta < 1.0
                           ? kCriticalPressure * BoundaryBeta(theta) - 0.01
                           : kCriticalPressure;
  const double t_f = (t - 273.15) * 1.8 + 32.0;
  const double p_psia = p * 0.145037738;
  double v = (p <= p_lim || vapour_start)
                 ? (t_f + 459.67) * 0.3 / p_psia
                 : (t_f - 482.0) / (t_f + 58.0) * (92.8 / p_psia + 0.077);
  v *= 0.0624262126;

  const Isotherm isotherm(theta, region == 4);
  double v_prev = 0.0;
  double g_prev = 0.0;
  for (int iteration = 0; iteration < kMaxIterations; ++iteration) {
    const double beta_v = isotherm.Beta(v / kCriticalVolume);
    const double g = v + 0.001 * (beta - beta_v);
    double next = g;
    if (iteration > 0) {
      const double denominator = (v_prev - v) + (g - g_prev);
      if (denominator == 0.0) return kFailure;
      next = (g * v_prev - v * g_prev) / denominator;
    }
    // A NaN step (only from non-finite intermediate values) is sent to the
    // lower bound rather than carried on.
    if (!(next >= kMinVolume)) {
      next = kMinVolume;
    } else if (next > kMaxVolume) {
      next = kMaxVolume;
    }
    if (std::fabs(beta_v - beta) / beta <= kTolerance) return next;
    v_prev = v;
    g_prev = g;
    v = next;
  }
  return kFailure;
}

int SubRegion(double t, double p, int phase_hint) {
  // Non-finite input and negative pressures (among them the empty value
  // -32767 passed for an unset pressure) are out of range for the property
  // functions, whatever the sub-region rule says about negative pressures.
  if (!std::isfinite(t) || !std::isfinite(p) || p < 0.0) return -1;
  const double region = Steam67RegionsCalcTPi(
      t / kCriticalTemperature, p / kCriticalPressure, phase_hint);
  // The rule returns only -1 to 4; anything else counts as out of range.
  if (!(region >= -1.0 && region <= 4.0)) return -1;
  return static_cast<int>(region);
}

namespace {

// Specific volume (m3/kg) in sub-region 3 or 4, or kFailure.
double Region34Volume(double t, double p, int region) {
  if (p == 0.0) return kFailure;
  const double theta = t / kCriticalTemperature;
  // Below the critical temperature a vapour-side state of sub-region 3 (hint
  // vapour, pressure between the boundary and saturation) lies above the
  // limit pressure; a liquid-like first estimate would lead the iteration to
  // the liquid-like root of the three that the isotherm has there. Such
  // states start from the vapour-side estimate.
  const bool vapour_start = region == 3 && theta < 1.0 &&
                            p / kCriticalPressure <= SaturationBeta(theta);
  return SolveRegion34Volume(t, p, region, vapour_start);
}

}  // namespace
}  // namespace ifc67

using ifc67::kCriticalPressure;
using ifc67::kCriticalTemperature;
using ifc67::kCriticalVolume;
using ifc67::kEnthalpyOffset;
using ifc67::kFailure;
using ifc67::kMolarEnthalpyFactor;
using ifc67::kMolarMass;
using ifc67::kMolarVolumeFactor;

double Steam67VolumeCalcTPi(double t, double p, int phase_hint) {
  // The ideal-gas term of sub-region 2 is infinite at p = 0.
  if (p == 0.0) return kFailure;
  const double theta = t / kCriticalTemperature;
  const double beta = p / kCriticalPressure;
  const int region = ifc67::SubRegion(t, p, phase_hint);
  switch (region) {
    case 1:
      return ifc67::Region1Chi(theta, beta) * kMolarVolumeFactor;
    case 2:
      return ifc67::Region2Chi(theta, beta, ifc67::BoundaryBeta(theta)) *
             kMolarVolumeFactor;
    case 3:
    case 4: {
      const double v = ifc67::Region34Volume(t, p, region);
      return v == kFailure ? kFailure : v * kMolarMass;
    }
    default:
      return kFailure;
  }
}

double SteamEnthalpyCalcTPi(double t, double p, int phase_hint) {
  const double theta = t / kCriticalTemperature;
  const double beta = p / kCriticalPressure;
  double epsilon = 0.0;
  const int region = ifc67::SubRegion(t, p, phase_hint);
  switch (region) {
    case 1:
      epsilon = ifc67::Region1Epsilon(theta, beta);
      break;
    case 2:
      epsilon = ifc67::Region2Epsilon(theta, beta, ifc67::BoundaryBeta(theta),
                                      ifc67::BoundaryBetaSlope(theta));
      break;
    case 3:
    case 4: {
      const double v = ifc67::Region34Volume(t, p, region);
      if (v == kFailure) return kFailure;
      // Same rounding as going through the molar volume.
      const double chi = v * kMolarMass / kMolarMass / kCriticalVolume;
      epsilon = region == 3 ? ifc67::Region3Epsilon(chi, theta)
                            : ifc67::Region4Epsilon(chi, theta);
      break;
    }
    default:
      // Out of range: the reference offset alone.
      return kEnthalpyOffset;
  }
  return epsilon * kMolarEnthalpyFactor + kEnthalpyOffset;
}

}  // namespace pemar
