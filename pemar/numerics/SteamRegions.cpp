// The saturation line, the 2/3 boundary and the choice of IFC-67 sub-region
// for a state and phase hint; also the critical constants by name.

#include <cmath>
#include <cstring>

#include "pemar/numerics/Ifc67Equations.h"
#include "pemar/numerics/Ifc67Region12Internal.h"
#include "pemar/numerics/SteamProperties.h"

namespace pemar {
namespace ifc67 {
namespace {

constexpr double k1 = -7.691234564;
constexpr double k2 = -26.08023696;
constexpr double k3 = -168.1706546;
constexpr double k4 = 64.23285504;
constexpr double k5 = -118.9646225;
constexpr double k6 = 4.16711732;
constexpr double k7 = 20.9750676;
constexpr double k8 = 1.0e9;
constexpr double k9 = 6.0;

constexpr double kL1 = -34.17061978;
constexpr double kTwoL2 = 38.62761414;

}  // namespace

double SaturationBeta(double theta) {
  const double u = 1.0 - theta;
  const double numerator = u * (k1 + u * (k2 + u * (k3 + u * (k4 + u * k5))));
  const double denominator = 1.0 + u * (k6 + u * k7);
  return std::exp(numerator / denominator / theta - u / (k8 * u * u + k9));
}

double BoundaryBeta(double theta) { return region12::BoundaryBetaAt(theta); }

double BoundaryBetaSlope(double theta) { return kL1 + kTwoL2 * theta; }

}  // namespace ifc67

using ifc67::BoundaryBeta;
using ifc67::kBetaMax;
using ifc67::kCriticalPressure;
using ifc67::kCriticalTemperature;
using ifc67::kCriticalVolume;
using ifc67::kTheta1;
using ifc67::kTheta2;
using ifc67::kThetaMax;
using ifc67::kThetaMin;

double Steam67RegionsCalcTPi(double theta, double beta, int phase_hint) {
  double region = -1.0;
  if (theta >= kThetaMin && theta <= kTheta1) {
    // Within ten per cent of the saturation pressure the hint decides, and
    // the other phase's equation serves as its metastable continuation.
    const double beta_k = Steam67ReducedVPCalcT(kCriticalTemperature * theta);
    if (phase_hint == 0) {
      region = (beta <= 1.1 * beta_k) ? 2.0 : 1.0;
    } else if (phase_hint == 1) {
      region = (beta > 0.9 * beta_k) ? 1.0 : 2.0;
    } else if (beta <= 0.9 * beta_k) {
      region = 2.0;
    } else if (beta > 1.1 * beta_k) {
      region = 1.0;
    }
  } else if (theta > kTheta1 && theta < 1.0) {
    if (phase_hint == 0) {
      region = (beta >= 0.0 && beta <= BoundaryBeta(theta)) ? 2.0 : 3.0;
    } else if (phase_hint == 1) {
      region = 4.0;
    }
  } else if (theta >= 1.0 && theta < kTheta2) {
    const double beta_l = BoundaryBeta(theta);
    if (beta >= 0.0 && beta <= beta_l) {
      region = 2.0;
    } else if (beta > beta_l && beta <= kBetaMax) {
      region = 3.0;
    }
  } else if (theta >= kTheta2 && theta <= kThetaMax) {
    if (beta >= 0.0 && beta <= kBetaMax) region = 2.0;
  }
  return region;
}

double Steam67Beta_lCalcT(double theta) { return BoundaryBeta(theta); }

double Steam67ReducedVPCalcT(double t) {
  return ifc67::SaturationBeta(t / kCriticalTemperature);
}

double SteamCriticalProperty(const char* name) {
  if (name == nullptr) return 0.0;
  if (std::strcmp(name, "Pressure") == 0) return kCriticalPressure;
  if (std::strcmp(name, "Temperature") == 0) return kCriticalTemperature;
  if (std::strcmp(name, "Volume") == 0) return kCriticalVolume;
  return 0.0;
}

}  // namespace pemar
