// IFC-67 sub-regions 1 (compressed liquid) and 2 (steam): the reduced volume
// and enthalpy as derivatives of the sub-region Gibbs functions, one state at
// a time, from the pieces that the batch forms share
// (Ifc67Region12Internal.h).

#include "pemar/numerics/Ifc67Equations.h"
#include "pemar/numerics/Ifc67Region12Internal.h"

namespace pemar::ifc67 {

double Region1Y(double theta) { return region12::Region1ThetaTerms(theta).y; }

double Region1Z(double theta, double beta) {
  return region12::Region1ZAt(region12::Region1ThetaTerms(theta), beta);
}

double Region1Chi(double theta, double beta) {
  const region12::Region1Theta r = region12::Region1ThetaTerms(theta);
  return region12::Region1ChiAt(
      r, beta, region12::Region1ZPower(region12::Region1ZAt(r, beta)));
}

double Region1Epsilon(double theta, double beta) {
  const region12::Region1Theta r = region12::Region1ThetaTerms(theta);
  const double z = region12::Region1ZAt(r, beta);
  return region12::Region1EpsilonAt(r, beta, z, region12::Region1ZPower(z));
}

double Region2X(double theta) { return region12::Region2XAt(theta); }

double Region2Chi(double theta, double beta, double beta_l) {
  return region12::Region2ChiAt(
      region12::Region2ThetaTerms(region12::Region2XAt(theta)), theta, beta,
      beta_l);
}

double Region2Epsilon(double theta, double beta, double beta_l,
                      double beta_l_slope) {
  return region12::Region2EpsilonAt(
      region12::Region2ThetaTerms(region12::Region2XAt(theta)), theta, beta,
      beta_l, beta_l_slope);
}

}  // namespace pemar::ifc67
