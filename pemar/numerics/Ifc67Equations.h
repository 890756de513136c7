// The equations of IFC-67 in reduced variables, for the steam functions of
// SteamProperties.h and for tests of the pieces. Internal to the library.
//
// Reduced variables: theta = T / 647.3 K, beta = p / 22120 kPa,
// chi = v / 0.00317 m3/kg, epsilon = h / (22120 kPa * 0.00317 m3/kg).
// Every function is pure; arguments outside the formulation's range give
// whatever the equations give (possibly inf or NaN), so callers check the
// range first.

#ifndef PEMAR_NUMERICS_IFC67EQUATIONS_H_
#define PEMAR_NUMERICS_IFC67EQUATIONS_H_

namespace pemar::ifc67 {

inline constexpr double kCriticalTemperature = 647.3;  // K
inline constexpr double kCriticalPressure = 22120.0;   // kPa
inline constexpr double kCriticalVolume = 0.00317;     // m3/kg
inline constexpr double kMolarMass = 18.02;            // kg/kmol
inline constexpr double kMolarVolumeFactor = 0.00317 * 18.02;
inline constexpr double kMolarEnthalpyFactor = 1263.569608;  // kJ/kmol
inline constexpr double kEnthalpyOffset = -287436.0;         // kJ/kmol
inline constexpr double kFailure = -32767.0;

inline constexpr double kThetaMin = 0.42199907307276385;  // 273.16 K
inline constexpr double kTheta1 = 0.9626911787424688;     // 623.15 K
inline constexpr double kTheta2 = 1.3334620732272517;     // 863.15 K
inline constexpr double kThetaMax = 1.657886605901437;    // 1073.15 K
inline constexpr double kBetaMax = 4.520795660036167;     // 100 MPa
inline constexpr double kOneMinusTheta1 = 0.03730882125753121;

// Saturation line: the K-function, beta_K(theta).
double SaturationBeta(double theta);

// The 2/3 boundary in the library's form: the quadratic through
// (theta1, 0.747739602169982) and (theta2, beta_max) whose theta^2
// coefficient is the standard's L2.
double BoundaryBeta(double theta);
// d beta_L / d theta as the standard gives it (L1 + 2 L2 theta).
double BoundaryBetaSlope(double theta);

// Sub-region 1 (compressed liquid below 623.15 K).
double Region1Y(double theta);
double Region1Z(double theta, double beta);
double Region1Chi(double theta, double beta);
double Region1Epsilon(double theta, double beta);

// Sub-region 2 (steam). `beta_l` and `beta_l_slope` are the boundary and its
// slope at theta; the callers pass the library's form, tests may pass the
// standard's. At beta = 0 the volume is infinite; the enthalpy stays finite.
double Region2X(double theta);
double Region2Chi(double theta, double beta, double beta_l);
double Region2Epsilon(double theta, double beta, double beta_l,
                      double beta_l_slope);

// Sub-region 3, from its Helmholtz function psi3(chi, theta); chi > 0.
double Region3Psi(double chi, double theta);
double Region3Beta(double chi, double theta);
double Region3Sigma(double chi, double theta);
double Region3Epsilon(double chi, double theta);

// Sub-region 4: the corrections that are added to the sub-region 3 values,
// in y = (1 - theta) / (1 - theta1).
struct Region4Correction {
  double psi;
  double beta;
  double sigma;
};
Region4Correction Region4Corrections(double chi, double theta);
double Region4Beta(double chi, double theta);
double Region4Epsilon(double chi, double theta);

// The reduced pressure along one isotherm of sub-region 3 (or 4, with the
// corrections), with the temperature terms gathered once so that the volume
// iteration evaluates a short polynomial per step. Agrees with Region3Beta
// and Region4Beta to rounding.
class Isotherm {
 public:
  Isotherm(double theta, bool region4);
  double Beta(double chi) const;

 private:
  // beta(chi) = sum_{k=1..11} inverse_[k] / chi^k + constant_
  //             + linear_ * chi + fifth_ * chi^5
  double inverse_[12];
  double constant_;
  double linear_;
  double fifth_;
};

// The sub-region used by the property functions for temperature `t` (K),
// pressure `p` (kPa) and the phase hint: the sub-region rule, except that
// non-finite input and negative pressures are out of range (-1).
int SubRegion(double t, double p, int phase_hint);

// Specific volume (m3/kg) in sub-region `region` (3 or 4) at `t` (K) and
// `p` (kPa, > 0), found by the secant iteration; kFailure when a step has a
// zero denominator or the iteration does not meet its tolerance within 100
// steps. `vapour_start` forces the vapour-side first estimate; otherwise the
// estimate follows the pressure (vapour-side up to the limit pressure).
double SolveRegion34Volume(double t, double p, int region, bool vapour_start);

}  // namespace pemar::ifc67

#endif  // PEMAR_NUMERICS_IFC67EQUATIONS_H_
