// Water and steam properties at one state, and why a state has none.

#include "tooling/SteamPoint.h"

#include <cmath>
#include <cstdio>

#include "pemar/numerics/SteamProperties.h"

namespace pemar::tooling {
namespace {

constexpr double kFailure = -32767.0;
constexpr int kUndecided = kSteamPhaseUndecided;

}  // namespace

SteamPoint EvaluateSteam(double t, double p, int hint) {
  SteamPoint point;
  point.temperature = t;
  point.pressure = p;
  point.hint = hint;
  // The property functions treat non-finite input and negative pressures as
  // out of range; so does the report.
  if (std::isfinite(t) && std::isfinite(p) && p >= 0.0) {
    const double region =
        Steam67RegionsCalcTPi(t / SteamCriticalProperty("Temperature"),
                              p / SteamCriticalProperty("Pressure"), hint);
    if (region >= -1.0 && region <= 4.0) {
      point.subregion = static_cast<int>(region);
    }
  }
  const double v = Steam67VolumeCalcTPi(t, p, hint);
  if (v != kFailure) point.molar_volume = v;
  const double h = SteamEnthalpyCalcTPi(t, p, hint);
  // Out of range the enthalpy is the bare reference offset; it is reported
  // only together with a volume.
  if (h != kFailure && point.molar_volume) point.molar_enthalpy = h;
  const double beta_k = Steam67ReducedVPCalcT(t);
  if (std::isfinite(beta_k)) {
    point.saturation_pressure = beta_k * SteamCriticalProperty("Pressure");
  }
  const double theta_b = Steam67ReducedBPCalcT(p);
  if (theta_b != kFailure) {
    point.boiling_temperature = theta_b * SteamCriticalProperty("Temperature");
  }
  return point;
}

std::string SteamNumber(double value) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.10g", value);
  return buffer;
}

std::string SteamNumber(const std::optional<double>& value) {
  return value ? SteamNumber(*value) : std::string();
}

const char* PhaseName(int hint) {
  return hint == 0 ? "vapour" : hint == 1 ? "liquid" : "";
}

std::string SteamProblem(const SteamPoint& point) {
  const double t = point.temperature;
  const double p = point.pressure;
  const std::string at = SteamNumber(t) + " K and " + SteamNumber(p) + " kPa";
  if (!std::isfinite(t) || t < 273.16 || t > 1073.15) {
    return "temperature " + SteamNumber(t) +
           " K is outside the range of the steam formulation, 273.16 K to "
           "1073.15 K";
  }
  if (!std::isfinite(p) || p <= 0.0) {
    return "pressure " + SteamNumber(p) + " kPa is not above 0 kPa";
  }
  if (point.subregion < 0) {
    if (t > 623.15 && p > 100000.0) {
      return "pressure " + SteamNumber(p) +
             " kPa is above 100000 kPa, the limit of the steam formulation "
             "above 623.15 K";
    }
    if (point.hint == kUndecided && t > 623.15) {
      return "between 623.15 K and 647.3 K the phase decides the result; "
             "give the phase, vapour or liquid";
    }
    if (point.hint == kUndecided) {
      return at + " lie within 10 % of the saturation pressure (" +
             SteamNumber(point.saturation_pressure) +
             " kPa); give the phase, vapour or liquid";
    }
    return at + " lie outside the range of the steam formulation";
  }
  if (!point.molar_volume || !point.molar_enthalpy) {
    return "the volume iteration of sub-region " +
           std::to_string(point.subregion) + " found no volume at " + at;
  }
  return {};
}

}  // namespace pemar::tooling
