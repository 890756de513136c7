// Water and steam properties at one state as the tool's steam command and
// the web application's steam page report them: the sub-region, molar
// volume and enthalpy after IFC-67, the saturation pressure at the
// temperature and the boiling temperature at the pressure, and why a state
// has no result.

#ifndef PEMAR_TOOLING_STEAMPOINT_H_
#define PEMAR_TOOLING_STEAMPOINT_H_

#include <optional>
#include <string>

namespace pemar::tooling {

// The phase hint of the steam functions: 0 vapour, 1 liquid, 2 undecided.
inline constexpr int kSteamPhaseUndecided = 2;

// Everything reported for one state. Absent values could not be computed
// there.
struct SteamPoint {
  double temperature = 0.0;  // K
  double pressure = 0.0;     // kPa
  int hint = kSteamPhaseUndecided;
  int subregion = -1;
  std::optional<double> molar_volume;         // m3/kmol
  std::optional<double> molar_enthalpy;       // kJ/kmol
  std::optional<double> saturation_pressure;  // kPa, at the temperature
  std::optional<double> boiling_temperature;  // K, at the pressure
};

// The state at temperature `t` (K) and pressure `p` (kPa) with the phase
// hint `hint`. Non-finite input and negative pressures are out of range.
SteamPoint EvaluateSteam(double t, double p, int hint);

// Why a state has no result, in words; empty when it has one.
std::string SteamProblem(const SteamPoint& point);

// `value` with ten significant digits; empty for an absent value.
std::string SteamNumber(double value);
std::string SteamNumber(const std::optional<double>& value);

// "vapour", "liquid", or "" for an undecided hint.
const char* PhaseName(int hint);

}  // namespace pemar::tooling

#endif  // PEMAR_TOOLING_STEAMPOINT_H_
