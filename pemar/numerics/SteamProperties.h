// Water and steam properties after IFC-67, the 1967 IFC Formulation for
// Industrial Use, in its sub-regions 1 to 4.
//
// Units at this interface: temperature in K, pressure in kPa, molar volume in
// m3/kmol, molar enthalpy in kJ/kmol (molar mass 18.02 kg/kmol). Enthalpies
// carry the library's reference offset of -287436.0 kJ/kmol. Inside, values
// are reduced by the critical constants: theta = T / 647.3,
// beta = p / 22120.
//
// Valid range: 273.16 K to 1073.15 K. Below 623.15 K there is no upper
// pressure bound; above it pressures up to 100 MPa. Near saturation the phase
// hint decides which phase is computed:
//   0     vapour,
//   1     liquid,
//   other undecided (no result within 10 % of the saturation pressure below
//         623.15 K, and none at all between 623.15 K and 647.3 K).
//
// The functions hold no state and may be called from any thread. None throws
// or logs; failures come back as the values documented below.

#ifndef PEMAR_NUMERICS_STEAMPROPERTIES_H_
#define PEMAR_NUMERICS_STEAMPROPERTIES_H_

#include "pemar/framework/Export.h"

namespace pemar {

// Molar enthalpy in kJ/kmol at temperature `t` (K) and pressure `p` (kPa).
// Outside the valid range, for a negative pressure and for non-finite input
// the result is the reference offset -287436.0. When the volume iteration of
// sub-regions 3 and 4 fails the result is -32767.0.
PEMAR_EXPORT double SteamEnthalpyCalcTPi(double t, double p, int phase_hint);

// Molar volume in m3/kmol at temperature `t` (K) and pressure `p` (kPa).
// Returns -32767.0 outside the valid range, for p <= 0, for non-finite input
// and when the volume iteration of sub-regions 3 and 4 fails.
PEMAR_EXPORT double Steam67VolumeCalcTPi(double t, double p, int phase_hint);

// The sub-region (1, 2, 3 or 4) in which reduced temperature `theta` and
// reduced pressure `beta` lie for the given hint, or -1 when out of range or
// undecided; returned as a double. Any argument is accepted.
PEMAR_EXPORT double Steam67RegionsCalcTPi(double theta, double beta,
                                          int phase_hint);

// The reduced pressure of the boundary between sub-regions 2 and 3 at reduced
// temperature `theta` (a quadratic through 16540 kPa at 623.15 K and
// 100 MPa at 863.15 K).
PEMAR_EXPORT double Steam67Beta_lCalcT(double theta);

// The saturation pressure at temperature `t` (K, not reduced), divided by
// 22120 kPa. Evaluated for any `t`; no range check.
PEMAR_EXPORT double Steam67ReducedVPCalcT(double t);

// The boiling temperature at pressure `p` (kPa), divided by 647.3 K. Solves a
// vapour-pressure correlation (not part of IFC-67) by Newton's method.
// Returns -32767.0 for p <= 0 and whenever the result is not finite.
PEMAR_EXPORT double Steam67ReducedBPCalcT(double p);

// The critical constant called `name`: "Pressure" 22120.0 (kPa),
// "Temperature" 647.3 (K), "Volume" 0.00317 (m3/kg). Case-sensitive; any
// other name, and a null name, give 0.0.
PEMAR_EXPORT double SteamCriticalProperty(const char* name);

}  // namespace pemar

#endif  // PEMAR_NUMERICS_STEAMPROPERTIES_H_
