// The equations of IFC-67 sub-regions 1 and 2 split into the terms that
// depend on the temperature alone and the rest, as inline pieces. The scalar
// functions of Ifc67Equations.h and the batch forms of SteamBatch.h are both
// built from these pieces, so that they give the same results bit for bit:
// every value is formed by the same operations in the same order.
//
// Internal to the library. Reduced variables as in Ifc67Equations.h; the
// pieces check nothing (callers check the range first).

#ifndef PEMAR_NUMERICS_IFC67REGION12INTERNAL_H_
#define PEMAR_NUMERICS_IFC67REGION12INTERNAL_H_

#include <cmath>

#include "pemar/numerics/Ifc67Equations.h"

namespace pemar::ifc67::region12 {

// Sub-region 1 coefficients.
constexpr double A0 = 6824.687741;
constexpr double A1 = -542.2063673;
constexpr double A2 = -20966.66205;
constexpr double A3 = 39412.86787;
constexpr double A4 = -67332.77739;
constexpr double A5 = 99023.81028;
constexpr double A6 = -109391.1774;
constexpr double A7 = 85908.41667;
constexpr double A8 = -45111.68742;
constexpr double A9 = 14181.38926;
constexpr double A10 = -2017.271113;
constexpr double A11 = 7.982692717;
constexpr double A12 = -0.02616571843;
constexpr double A13 = 1.52241179e-3;
constexpr double A14 = 0.02284279054;
constexpr double A15 = 242.1647003;
constexpr double A16 = 1.269716088e-10;
constexpr double A17 = 2.074838328e-7;
constexpr double A18 = 2.17402035e-8;
constexpr double A19 = 1.105710498e-9;
constexpr double A20 = 12.93441934;
constexpr double A21 = 1.308119072e-5;
constexpr double A22 = 6.047626338e-14;

constexpr double a1 = 0.8438375405;
constexpr double a2 = 5.362162162e-4;
constexpr double a3 = 1.72;
constexpr double a4 = 0.07342278489;
constexpr double a5 = 0.04975858870;
constexpr double a6 = 0.65371543;
constexpr double a7 = 1.15e-6;
constexpr double a8 = 1.5108e-5;
constexpr double a9 = 0.14188;
constexpr double a10 = 7.002753165;
constexpr double a11 = 2.995284926e-4;
constexpr double a12 = 0.204;

// Sub-region 2 coefficients; the X exponent of each residual term is in its
// name's comment and in the power used below.
constexpr double kI1 = 4.260321148;
constexpr double B0 = 16.83599274;
constexpr double B01 = 28.56067796;
// Kept with its set: its term in the enthalpy has the factor (2 - 2).
[[maybe_unused]] constexpr double B02 = -54.38923329;
constexpr double B03 = 0.4330662834;
constexpr double B04 = -0.6547711697;
constexpr double B05 = 0.08565182058;

constexpr double B11 = 0.06670375918;   // X^13
constexpr double B12 = 1.388983801;     // X^3
constexpr double B21 = 0.08390104328;   // X^18
constexpr double B22 = 0.02614670893;   // X^2
constexpr double B23 = -0.03373439453;  // X^1
constexpr double B31 = 0.4520918904;    // X^18
constexpr double B32 = 0.1069036614;    // X^10
constexpr double B41 = -0.5975336707;   // X^25
constexpr double B42 = -0.08847535804;  // X^14
constexpr double B51 = 0.5958051609;    // X^32
constexpr double B52 = -0.5159303373;   // X^28
constexpr double B53 = 0.2075021122;    // X^24
constexpr double B61 = 0.1190610271;    // X^12
constexpr double B62 = -0.09867174132;  // X^11
constexpr double B71 = 0.1683998803;    // X^24
constexpr double B72 = -0.05809438001;  // X^18
constexpr double B81 = 6.552390126e-3;  // X^24
constexpr double B82 = 5.710218649e-4;  // X^14

constexpr double b61 = 0.4006073948;   // X^14
constexpr double b71 = 0.08636081627;  // X^19
constexpr double b81 = -0.8532322921;  // X^54
constexpr double b82 = 0.3460208861;   // X^27

constexpr double B90 = 193.6587558;
constexpr double B91 = -1388.522425;
constexpr double B92 = 4126.607219;
constexpr double B93 = -6508.211677;
constexpr double B94 = 5745.984054;
constexpr double B95 = -2693.088365;
constexpr double B96 = 523.5718623;

constexpr double kB = 0.7633333333;

// The 2/3 boundary, as BoundaryBeta of Ifc67Equations.h gives it: the
// quadratic through this reduced pressure at theta1 (16540 kPa) and through
// beta_max at theta2.
constexpr double kBoundaryBetaAtTheta1 = 0.747739602169982;
constexpr double kBoundaryCurvature = 7.160997524;
constexpr double kTheta2MinusTheta1 = 0.37077089448478295;

inline double BoundaryBetaAt(double theta) {
  const double below = kTheta2 - theta;
  const double above = theta - kTheta1;
  return (below * kBoundaryBetaAtTheta1 + above * kBetaMax -
          kBoundaryCurvature * below * above) /
         kTheta2MinusTheta1;
}

// Sub-region 1: the terms in theta alone.
struct Region1Theta {
  double theta;
  double theta2;     // theta^2
  double theta11;    // theta^11
  double theta18;    // theta^18
  double theta19;    // theta^19
  double theta_m20;  // theta^-20
  double y;          // Y
  double dy;         // dY/dtheta
  double z_base;     // a3 Y^2 - 2 a4 theta, the part of Z's root in theta
  double a6_t9;      // (a6 - theta)^9
  double a6_t10;     // (a6 - theta)^10
};

inline Region1Theta Region1ThetaTerms(double theta) {
  Region1Theta r;
  r.theta = theta;
  r.theta2 = theta * theta;
  const double theta4 = r.theta2 * r.theta2;
  const double theta8 = theta4 * theta4;
  const double theta9 = theta8 * theta;
  r.theta11 = theta9 * r.theta2;
  r.theta18 = theta9 * theta9;
  r.theta19 = r.theta18 * theta;
  const double inv_theta = 1.0 / theta;
  const double inv_theta2 = inv_theta * inv_theta;
  const double theta_m6 = inv_theta2 * inv_theta2 * inv_theta2;
  const double theta_m10 = theta_m6 * inv_theta2 * inv_theta2;
  r.theta_m20 = theta_m10 * theta_m10;
  r.y = 1.0 - a1 * r.theta2 - a2 * theta_m6;
  r.dy = -2.0 * a1 * theta + 6.0 * a2 * theta_m6 * inv_theta;
  r.z_base = a3 * r.y * r.y - 2.0 * a4 * theta;
  const double d = a6 - theta;
  const double d3 = d * d * d;
  r.a6_t9 = d3 * d3 * d3;
  r.a6_t10 = r.a6_t9 * d;
  return r;
}

// Z at reduced pressure `beta`, and the one power of Z the equations use.
inline double Region1ZAt(const Region1Theta& r, double beta) {
  return r.y + std::sqrt(r.z_base + 2.0 * a5 * beta);
}
inline double Region1ZPower(double z) { return std::pow(z, -5.0 / 17.0); }

// Reduced volume, given z_m5_17 = Region1ZPower(Region1ZAt(r, beta)).
inline double Region1ChiAt(const Region1Theta& r, double beta, double z_m5_17) {
  const double theta = r.theta;
  const double inv_a10_b = 1.0 / (a10 + beta);
  const double beta2 = beta * beta;
  const double inv2 = inv_a10_b * inv_a10_b;
  return A11 * a5 * z_m5_17 + A12 + A13 * theta + A14 * r.theta2 +
         A15 * r.a6_t10 + A16 / (a7 + r.theta19) -
         (A17 + 2.0 * A18 * beta + 3.0 * A19 * beta2) / (a8 + r.theta11) -
         A20 * r.theta18 * (a9 + r.theta2) * (a11 - 3.0 * inv2 * inv2) +
         3.0 * A21 * (a12 - theta) * beta2 +
         4.0 * A22 * r.theta_m20 * beta2 * beta;
}

// Reduced enthalpy, given z = Region1ZAt(r, beta) and its power.
inline double Region1EpsilonAt(const Region1Theta& r, double beta, double z,
                               double z_m5_17) {
  const double theta = r.theta;
  const double inv_a10_b = 1.0 / (a10 + beta);
  const double beta2 = beta * beta;
  const double beta3 = beta2 * beta;
  // sum_{i=1..10} (i - 2) A_i theta^(i-1), by Horner.
  const double poly =
      -A1 +
      r.theta2 *
          (A3 +
           theta * (2.0 * A4 +
                    theta * (3.0 * A5 +
                             theta * (4.0 * A6 +
                                      theta * (5.0 * A7 +
                                               theta * (6.0 * A8 +
                                                        theta * (7.0 * A9 +
                                                                 theta * 8.0 *
                                                                     A10)))))));
  const double inv3 = inv_a10_b * inv_a10_b * inv_a10_b;
  const double a7_t19 = a7 + r.theta19;
  const double a8_t11 = a8 + r.theta11;
  return A0 * theta - poly +
         A11 * z_m5_17 *
             (z * (17.0 * (z / 29.0 - r.y / 12.0) + 5.0 * theta * r.dy / 12.0) +
              a4 * theta - (a3 - 1.0) * theta * r.y * r.dy) +
         beta * (A12 - A14 * r.theta2 + A15 * (9.0 * theta + a6) * r.a6_t9 +
                 A16 * (20.0 * r.theta19 + a7) / (a7_t19 * a7_t19)) -
         (12.0 * r.theta11 + a8) / (a8_t11 * a8_t11) *
             (A17 * beta + A18 * beta2 + A19 * beta3) +
         A20 * r.theta18 * (17.0 * a9 + 19.0 * r.theta2) * (inv3 + a11 * beta) +
         A21 * a12 * beta3 + 21.0 * A22 * r.theta_m20 * beta3 * beta;
}

// Sub-region 2: X = exp(b (1 - theta)), the one transcendental term.
inline double Region2XAt(double theta) { return std::exp(kB * (1.0 - theta)); }

// Sub-region 2: the terms in theta (through X) alone.
struct Region2Theta {
  // Sums over the residual terms of rows mu = 1..8: P = sum B X^z and
  // PZ = sum z B X^z; for mu = 6..8 also G = sum b X^x and GX = sum x b X^x.
  double p[9];
  double pz[9];
  double g[9];
  double gx[9];
  double s9;   // sum B9i X^i
  double s9i;  // sum i B9i X^i
};

inline Region2Theta Region2ThetaTerms(double x) {
  const double x2 = x * x;
  const double x3 = x2 * x;
  const double x4 = x2 * x2;
  const double x5 = x4 * x;
  const double x6 = x3 * x3;
  const double x10 = x6 * x4;
  const double x11 = x10 * x;
  const double x12 = x6 * x6;
  const double x13 = x12 * x;
  const double x14 = x12 * x2;
  const double x18 = x12 * x6;
  const double x19 = x18 * x;
  const double x24 = x12 * x12;
  const double x25 = x24 * x;
  const double x27 = x24 * x3;
  const double x28 = x24 * x4;
  const double x32 = x28 * x4;
  const double x54 = x27 * x27;

  Region2Theta r;
  r.p[1] = B11 * x13 + B12 * x3;
  r.pz[1] = 13.0 * B11 * x13 + 3.0 * B12 * x3;
  r.p[2] = B21 * x18 + B22 * x2 + B23 * x;
  r.pz[2] = 18.0 * B21 * x18 + 2.0 * B22 * x2 + B23 * x;
  r.p[3] = B31 * x18 + B32 * x10;
  r.pz[3] = 18.0 * B31 * x18 + 10.0 * B32 * x10;
  r.p[4] = B41 * x25 + B42 * x14;
  r.pz[4] = 25.0 * B41 * x25 + 14.0 * B42 * x14;
  r.p[5] = B51 * x32 + B52 * x28 + B53 * x24;
  r.pz[5] = 32.0 * B51 * x32 + 28.0 * B52 * x28 + 24.0 * B53 * x24;
  r.p[6] = B61 * x12 + B62 * x11;
  r.pz[6] = 12.0 * B61 * x12 + 11.0 * B62 * x11;
  r.g[6] = b61 * x14;
  r.gx[6] = 14.0 * b61 * x14;
  r.p[7] = B71 * x24 + B72 * x18;
  r.pz[7] = 24.0 * B71 * x24 + 18.0 * B72 * x18;
  r.g[7] = b71 * x19;
  r.gx[7] = 19.0 * b71 * x19;
  r.p[8] = B81 * x24 + B82 * x14;
  r.pz[8] = 24.0 * B81 * x24 + 14.0 * B82 * x14;
  r.g[8] = b81 * x54 + b82 * x27;
  r.gx[8] = 54.0 * b81 * x54 + 27.0 * b82 * x27;
  r.s9 = B90 + B91 * x + B92 * x2 + B93 * x3 + B94 * x4 + B95 * x5 + B96 * x6;
  r.s9i = B91 * x + 2.0 * B92 * x2 + 3.0 * B93 * x3 + 4.0 * B94 * x4 +
          5.0 * B95 * x5 + 6.0 * B96 * x6;
  return r;
}

// (beta / beta_L)^10.
inline double Region2Ratio10(double beta, double beta_l) {
  const double ratio = beta / beta_l;
  const double ratio2 = ratio * ratio;
  const double ratio4 = ratio2 * ratio2;
  return ratio4 * ratio4 * ratio2;
}

// Reduced volume; `beta_l` is the 2/3 boundary at theta.
inline double Region2ChiAt(const Region2Theta& r, double theta, double beta,
                           double beta_l) {
  const double ratio10 = Region2Ratio10(beta, beta_l);
  const double beta2 = beta * beta;
  const double beta3 = beta2 * beta;
  const double beta4 = beta2 * beta2;
  const double beta5 = beta4 * beta;
  const double beta6 = beta3 * beta3;
  // The terms (mu - 2) beta^(1-mu) F / (beta^(2-mu) + G)^2, multiplied out
  // so that only positive powers of beta appear.
  const double w6 = 1.0 + r.g[6] * beta4;
  const double w7 = 1.0 + r.g[7] * beta5;
  const double w8 = 1.0 + r.g[8] * beta6;
  return kI1 * theta / beta -
         (r.p[1] + 2.0 * beta * r.p[2] + 3.0 * beta2 * r.p[3] +
          4.0 * beta3 * r.p[4] + 5.0 * beta4 * r.p[5]) -
         (4.0 * beta3 * r.p[6] / (w6 * w6) + 5.0 * beta4 * r.p[7] / (w7 * w7) +
          6.0 * beta5 * r.p[8] / (w8 * w8)) +
         11.0 * ratio10 * r.s9;
}

// Reduced enthalpy; `beta_l` and `beta_l_slope` are the 2/3 boundary and its
// slope at theta.
inline double Region2EpsilonAt(const Region2Theta& r, double theta, double beta,
                               double beta_l, double beta_l_slope) {
  const double ratio10 = Region2Ratio10(beta, beta_l);
  const double bt = kB * theta;
  const double poly =
      -B01 + theta * theta * (B03 + theta * (2.0 * B04 + theta * 3.0 * B05));
  const double beta2 = beta * beta;
  const double beta3 = beta2 * beta;
  const double beta4 = beta2 * beta2;
  const double beta5 = beta4 * beta;
  const double beta6 = beta3 * beta3;
  double sum =
      beta * (r.p[1] + bt * r.pz[1]) + beta2 * (r.p[2] + bt * r.pz[2]) +
      beta3 * (r.p[3] + bt * r.pz[3]) + beta4 * (r.p[4] + bt * r.pz[4]) +
      beta5 * (r.p[5] + bt * r.pz[5]);
  // mu = 6..8: 1/D = q / (1 + G q) with q = beta^(mu-2), which stays finite
  // (zero) at beta = 0.
  const double q[3] = {beta4, beta5, beta6};
  for (int mu = 6; mu <= 8; ++mu) {
    const double inv_d = q[mu - 6] / (1.0 + r.g[mu] * q[mu - 6]);
    sum += inv_d * (r.p[mu] + bt * r.pz[mu] - bt * r.gx[mu] * inv_d * r.p[mu]);
  }
  return B0 * theta - poly - sum +
         beta * ratio10 *
             (r.s9 * (1.0 + 10.0 * theta * beta_l_slope / beta_l) + bt * r.s9i);
}

}  // namespace pemar::ifc67::region12

#endif  // PEMAR_NUMERICS_IFC67REGION12INTERNAL_H_
