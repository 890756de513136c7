// IFC-67 sub-regions 3 and 4: the Helmholtz function psi3(chi, theta), the
// pressure, entropy and enthalpy derived from it, and the sub-region 4
// corrections in y = (1 - theta) / (1 - theta1).

#include <cmath>

#include "pemar/numerics/Ifc67Equations.h"

namespace pemar::ifc67 {
namespace {

// One group of the temperature-independent functions of chi:
//   G(chi) = linear * chi + sum_{j=1..n} inverse[j] / chi^j + log * ln(chi).
struct ChiGroup {
  double linear;
  int n;
  double inverse[11];  // index j = 1..n; slot 0 unused
  double log;
};

// Groups 0 to 3 (the last three are multiplied by (theta - 1)^k).
constexpr ChiGroup kGroups[4] = {
    {-0.017226042,
     10,
     {0.0, -7.77175039, 4.20460752, -2.76807038, 2.10419707, -1.14649588,
      0.223138085, 0.116250363, -0.0820900544, 0.0194129239, -1.69470576e-3},
     -4.311577033},
    {0.708636085,
     5,
     {0.0, 12.3679455, -12.0389004, 5.40437422, -0.993865043, 0.0627523182},
     -7.74743016},
    {-4.29885092,
     6,
     {0.0, 43.1430538, -14.1619313, 4.04172459, 1.55546326, -1.66568935,
      0.324881158},
     29.3655325},
    {7.94841842e-6,
     8,
     {0.0, 80.8859747, -83.6153380, 35.8636517, 7.51895954, -12.6160640,
      1.09717462, 2.12145492, -0.546529566},
     8.32875413},
};

constexpr double C00 = -6.8399;
constexpr double C40 = 2.75971776e-6;
constexpr double C41 = -5.09073985e-4;
constexpr double C50 = 210.636332;
constexpr double C6[5] = {0.05528935335, -0.2336365955, 0.369707142,
                          -0.259641547, 0.06828087013};
constexpr double C7[9] = {-257.1600553, -151.8783715, 22.20723208,
                          -180.203957,  2357.09622,   -14623.35698,
                          45429.1663,   -70535.56432, 43815.71428};

constexpr double D3[5] = {-1.717616747, 3.526389875, -2.690899373, 0.9070982605,
                          -0.1138791156};
constexpr double D4[5] = {1.301023613, -2.642777743, 1.996765362, -0.6661557013,
                          0.08270860589};
constexpr double D50 = 3.426663535e-4;
constexpr double D51 = -1.236521258e-3;
constexpr double D52 = 1.155018309e-3;

struct GroupValue {
  double g;   // G(chi)
  double dg;  // dG/dchi
};

inline GroupValue EvaluateGroup(const ChiGroup& group, double chi, double r,
                                double ln_chi) {
  double s = 0.0;   // sum c_j r^j
  double sd = 0.0;  // sum j c_j r^j
  for (int j = group.n; j >= 1; --j) {
    s = (s + group.inverse[j]) * r;
    sd = (sd + j * group.inverse[j]) * r;
  }
  return {group.linear * chi + s + group.log * ln_chi,
          group.linear - sd * r + group.log * r};
}

struct Helmholtz {
  double psi;
  double beta;
  double sigma;
};

inline Helmholtz EvaluateRegion3(double chi, double theta) {
  const double r = 1.0 / chi;
  const double ln_chi = std::log(chi);
  const double t = theta - 1.0;
  GroupValue g[4];
  for (int k = 0; k < 4; ++k) g[k] = EvaluateGroup(kGroups[k], chi, r, ln_chi);

  const double s = 1.0 / theta;
  const double s2 = s * s;
  const double s4 = s2 * s2;
  const double s8 = s4 * s4;
  const double s16 = s8 * s8;
  const double theta_m23 = s16 * s4 * s2 * s;
  const double theta_m24 = theta_m23 * s;

  const double r2 = r * r;
  const double r5 = r2 * r2 * r;
  const double chi2 = chi * chi;
  const double chi5 = chi2 * chi2 * chi;
  const double chi6 = chi5 * chi;

  // sum C6i theta^-(i+2) and sum (i+2) C6i theta^-(i+3).
  const double c6 =
      s2 * (C6[0] + s * (C6[1] + s * (C6[2] + s * (C6[3] + s * C6[4]))));
  const double c6d =
      s2 * s *
      (2.0 * C6[0] +
       s * (3.0 * C6[1] +
            s * (4.0 * C6[2] + s * (5.0 * C6[3] + s * 6.0 * C6[4]))));
  // sum C7i t^i and sum (i+1) C7i t^i.
  double c7 = 0.0;
  double c7d = 0.0;
  for (int i = 8; i >= 0; --i) {
    c7 = c7 * t + C7[i];
    c7d = c7d * t + (i + 1) * C7[i];
  }
  const double ln_theta = std::log(theta);
  const double c4 = C40 + C41 * r5;

  Helmholtz h;
  h.psi = C00 + g[0].g + t * (g[1].g + t * (g[2].g + t * g[3].g)) +
          t * theta_m23 * c4 + C50 * theta * ln_theta + chi6 * c6 + t * c7;
  h.beta = -(g[0].dg + t * (g[1].dg + t * (g[2].dg + t * g[3].dg)) -
             5.0 * C41 * t * theta_m23 * r5 * r + 6.0 * chi5 * c6);
  h.sigma = -(g[1].g + t * (2.0 * g[2].g + 3.0 * t * g[3].g) +
              c4 * (23.0 * theta_m24 - 22.0 * theta_m23) +
              C50 * (ln_theta + 1.0) - chi6 * c6d + c7d);
  return h;
}

}  // namespace

double Region3Psi(double chi, double theta) {
  return EvaluateRegion3(chi, theta).psi;
}

double Region3Beta(double chi, double theta) {
  return EvaluateRegion3(chi, theta).beta;
}

double Region3Sigma(double chi, double theta) {
  return EvaluateRegion3(chi, theta).sigma;
}

double Region3Epsilon(double chi, double theta) {
  const Helmholtz h = EvaluateRegion3(chi, theta);
  return h.psi + theta * h.sigma + chi * h.beta;
}

Region4Correction Region4Corrections(double chi, double theta) {
  const double y = (1.0 - theta) / kOneMinusTheta1;
  const double y2 = y * y;
  const double y3 = y2 * y;
  const double y4 = y2 * y2;
  const double y8 = y4 * y4;
  const double y16 = y8 * y8;
  const double y31 = y16 * y8 * y4 * y3;
  const double y32 = y31 * y;
  const double r = 1.0 / chi;
  // sum Di r^i and sum i Di r^(i+1) for the y^3 and y^4 rows.
  double s3 = 0.0, s3d = 0.0, s4 = 0.0, s4d = 0.0;
  for (int i = 4; i >= 1; --i) {
    s3 = (s3 + D3[i]) * r;
    s4 = (s4 + D4[i]) * r;
    s3d = (s3d + i * D3[i]) * r;
    s4d = (s4d + i * D4[i]) * r;
  }
  s3 += D3[0];
  s4 += D4[0];
  s3d *= r;
  s4d *= r;
  const double q = D50 + chi * (D51 + chi * D52);
  Region4Correction c;
  c.psi = y3 * s3 + y4 * s4 + y32 * q;
  c.beta = y3 * s3d + y4 * s4d - y32 * (D51 + 2.0 * D52 * chi);
  c.sigma = (3.0 * y2 * s3 + 4.0 * y3 * s4 + 32.0 * y31 * q) / kOneMinusTheta1;
  return c;
}

double Region4Beta(double chi, double theta) {
  return Region3Beta(chi, theta) + Region4Corrections(chi, theta).beta;
}

double Region4Epsilon(double chi, double theta) {
  const Helmholtz h = EvaluateRegion3(chi, theta);
  const Region4Correction c = Region4Corrections(chi, theta);
  return h.psi + theta * h.sigma + chi * h.beta + c.psi + theta * c.sigma +
         chi * c.beta;
}

Isotherm::Isotherm(double theta, bool region4) {
  const double t = theta - 1.0;
  double tk = 1.0;  // t^k
  for (double& c : inverse_) c = 0.0;
  constant_ = 0.0;
  for (int k = 0; k < 4; ++k) {
    const ChiGroup& group = kGroups[k];
    // beta gets -dG/dchi = -linear + sum j c_j r^(j+1) - log r, times t^k.
    constant_ -= tk * group.linear;
    inverse_[1] -= tk * group.log;
    for (int j = 1; j <= group.n; ++j) {
      inverse_[j + 1] += tk * j * group.inverse[j];
    }
    tk *= t;
  }
  const double s = 1.0 / theta;
  const double s2 = s * s;
  const double s4 = s2 * s2;
  const double s8 = s4 * s4;
  const double theta_m23 = s8 * s8 * s4 * s2 * s;
  inverse_[6] += 5.0 * C41 * t * theta_m23;
  fifth_ =
      -6.0 * s2 * (C6[0] + s * (C6[1] + s * (C6[2] + s * (C6[3] + s * C6[4]))));
  linear_ = 0.0;
  if (region4) {
    const double y = (1.0 - theta) / kOneMinusTheta1;
    const double y2 = y * y;
    const double y3 = y2 * y;
    const double y4 = y2 * y2;
    const double y8 = y4 * y4;
    const double y16 = y8 * y8;
    const double y32 = y16 * y16;
    for (int i = 1; i <= 4; ++i) {
      inverse_[i + 1] += i * (y3 * D3[i] + y4 * D4[i]);
    }
    constant_ -= y32 * D51;
    linear_ -= 2.0 * y32 * D52;
  }
}

double Isotherm::Beta(double chi) const {
  const double r = 1.0 / chi;
  double s = inverse_[11];
  for (int k = 10; k >= 1; --k) s = s * r + inverse_[k];
  const double chi2 = chi * chi;
  return s * r + constant_ + chi * (linear_ + fifth_ * chi2 * chi2);
}

}  // namespace pemar::ifc67
