// Batch forms of the steam functions. Each block of states is sorted by
// sub-region; sub-regions 1 and 2 then run in three passes over their states:
// the transcendental calls (one exp or pow per state, reused when the
// argument repeats), which stay scalar so that they round as the scalar
// functions' calls do; the remaining arithmetic, vectorised; and the scatter
// into the output. Sub-regions 3 and 4 go through the scalar functions.
//
// The sub-region test needs the saturation pressure below 623.15 K, an exp
// per state. A table of saturation pressures at the edges of narrow
// temperature bins bounds it, so that only states near the hint's 10 % band
// around saturation need the exact value: those, and every state outside
// the bins, ask ifc67::SubRegion itself.

#include "pemar/numerics/SteamBatch.h"

#include <algorithm>
#include <limits>

#include "pemar/numerics/Ifc67Equations.h"
#include "pemar/numerics/Ifc67Region12Internal.h"
#include "pemar/numerics/SteamProperties.h"

namespace pemar {
namespace {

namespace region12 = ifc67::region12;
using ifc67::kCriticalPressure;
using ifc67::kCriticalTemperature;
using ifc67::kTheta1;
using ifc67::kThetaMin;

constexpr std::size_t kBlock = 256;
constexpr int kBins = 1024;
// Relative slack on the bounds: far above the rounding of the saturation
// line and of the bin index (about 1e-14), far below a bin's width.
constexpr double kSlack = 1e-9;

// For each temperature bin, the products with 0.9 and 1.1 of a lower and an
// upper bound of the saturation pressure in that bin.
struct SaturationBounds {
  double scale;  // bins per unit of theta
  double low09[kBins], low11[kBins], high09[kBins], high11[kBins];
};

SaturationBounds MakeBounds() {
  SaturationBounds b;
  const double width = (kTheta1 - kThetaMin) / kBins;
  b.scale = 1.0 / width;
  double below = ifc67::SaturationBeta(kThetaMin);
  for (int j = 0; j < kBins; ++j) {
    // The line rises with the temperature.
    const double above = ifc67::SaturationBeta(kThetaMin + (j + 1) * width);
    const double low = below * (1.0 - kSlack);
    const double high = above * (1.0 + kSlack);
    b.low09[j] = 0.9 * low;
    b.low11[j] = 1.1 * low;
    b.high09[j] = 0.9 * high;
    b.high11[j] = 1.1 * high;
    below = above;
  }
  return b;
}

const SaturationBounds& Bounds() {
  static const SaturationBounds bounds = MakeBounds();
  return bounds;
}

// Marks a state whose sub-region the bounds do not decide.
constexpr int kAsk = -2;

// The sub-region ifc67::SubRegion gives for pressure `p` (kPa), theta = T / Tc,
// beta = p / pc and the 2/3 boundary `beta_l` at theta; or kAsk when the
// state lies near the band around saturation, or outside both stretches
// handled here. A rounded product with a positive factor never falls below
// the product with a smaller number, so a comparison with a bound's product
// decides the one with the exact saturation pressure. Written with few
// branches that depend on the state (random states cross the edges at
// random); the hint is one for the whole batch.
inline int QuickSubRegion(double p, double theta, double beta, double beta_l,
                          int hint, const SaturationBounds& b) {
  const bool p_ok = (p >= 0.0) & (p <= std::numeric_limits<double>::max());
  const bool below_line = (theta >= kThetaMin) & (theta <= kTheta1) & p_ok;
  const bool above_critical =
      (theta >= 1.0) & (theta <= ifc67::kThetaMax) & p_ok;
  const double bin = below_line ? (theta - kThetaMin) * b.scale : 0.0;
  const int j = std::min(static_cast<int>(bin), kBins - 1);
  int near = kAsk;
  if (hint == 0) {
    near = beta <= b.low11[j] ? 2 : (beta > b.high11[j] ? 1 : kAsk);
  } else if (hint == 1) {
    near = beta > b.high09[j] ? 1 : (beta <= b.low09[j] ? 2 : kAsk);
  } else {
    const bool in_band = (beta > b.high09[j]) & (beta <= b.low11[j]);
    const int band = in_band ? -1 : kAsk;
    near = beta <= b.low09[j] ? 2 : (beta > b.high11[j] ? 1 : band);
  }
  // Above the critical temperature the rule has no hint and no saturation
  // line: steam up to the 2/3 boundary (up to 100 MPa from 863.15 K), and
  // sub-region 3 above it up to 100 MPa below 863.15 K.
  const bool below_theta2 = theta < ifc67::kTheta2;
  const double steam_limit = below_theta2 ? beta_l : ifc67::kBetaMax;
  const int dense = (below_theta2 & (beta <= ifc67::kBetaMax)) ? 3 : -1;
  const int far = beta <= steam_limit ? 2 : dense;
  return below_line ? near : (above_critical ? far : kAsk);
}

// The states of one block that lie in one sub-region, in their order.
struct Group {
  std::size_t count = 0;
  double theta[kBlock];
  double beta[kBlock];
  double beta_l[kBlock];   // the 2/3 boundary at theta (sub-region 2 only)
  std::size_t at[kBlock];  // index into the output

  void Add(double th, double be, double bl, std::size_t index) {
    theta[count] = th;
    beta[count] = be;
    beta_l[count] = bl;
    at[count++] = index;
  }
};

// Molar enthalpy or volume from the reduced value, as the scalar functions
// scale it.
template <bool kEnthalpy>
inline double Scaled(double reduced) {
  return kEnthalpy
             ? reduced * ifc67::kMolarEnthalpyFactor + ifc67::kEnthalpyOffset
             : reduced * ifc67::kMolarVolumeFactor;
}

// The arithmetic loops, vectorised; on x86-64 Linux also compiled for AVX2
// (without FMA, so that every operation still rounds as in the scalar code)
// and chosen by the processor at load time.
#if defined(__x86_64__) && defined(__linux__)
#define PEMAR_VECTOR_KERNEL __attribute__((target_clones("avx2", "default")))
#else
#define PEMAR_VECTOR_KERNEL
#endif

PEMAR_VECTOR_KERNEL void Region1Z(const Group& g, double* z) {
  for (std::size_t k = 0; k < g.count; ++k) {
    z[k] = region12::Region1ZAt(region12::Region1ThetaTerms(g.theta[k]),
                                g.beta[k]);
  }
}

template <bool kEnthalpy>
[[gnu::always_inline]] inline void Region1Results(const Group& g,
                                                  const double* z,
                                                  const double* power,
                                                  double* result) {
  for (std::size_t k = 0; k < g.count; ++k) {
    const region12::Region1Theta r = region12::Region1ThetaTerms(g.theta[k]);
    result[k] = Scaled<kEnthalpy>(
        kEnthalpy ? region12::Region1EpsilonAt(r, g.beta[k], z[k], power[k])
                  : region12::Region1ChiAt(r, g.beta[k], power[k]));
  }
}
PEMAR_VECTOR_KERNEL void Region1Enthalpies(const Group& g, const double* z,
                                           const double* power,
                                           double* result) {
  Region1Results<true>(g, z, power, result);
}
PEMAR_VECTOR_KERNEL void Region1Volumes(const Group& g, const double* z,
                                        const double* power, double* result) {
  Region1Results<false>(g, z, power, result);
}

template <bool kEnthalpy>
[[gnu::always_inline]] inline void Region2Results(const Group& g,
                                                  const double* x,
                                                  const double* slope,
                                                  double* result) {
  for (std::size_t k = 0; k < g.count; ++k) {
    const region12::Region2Theta r = region12::Region2ThetaTerms(x[k]);
    result[k] = Scaled<kEnthalpy>(
        kEnthalpy
            ? region12::Region2EpsilonAt(r, g.theta[k], g.beta[k], g.beta_l[k],
                                         slope[k])
            : region12::Region2ChiAt(r, g.theta[k], g.beta[k], g.beta_l[k]));
  }
}
PEMAR_VECTOR_KERNEL void Region2Enthalpies(const Group& g, const double* x,
                                           const double* slope,
                                           double* result) {
  Region2Results<true>(g, x, slope, result);
}
PEMAR_VECTOR_KERNEL void Region2Volumes(const Group& g, const double* x,
                                        const double* slope, double* result) {
  Region2Results<false>(g, x, slope, result);
}

template <bool kEnthalpy>
void Region1(const Group& g, double* out) {
  double z[kBlock];
  double power[kBlock];
  double result[kBlock];
  Region1Z(g, z);
  for (std::size_t k = 0; k < g.count; ++k) {
    power[k] = (k > 0 && z[k] == z[k - 1]) ? power[k - 1]
                                           : region12::Region1ZPower(z[k]);
  }
  if (kEnthalpy) {
    Region1Enthalpies(g, z, power, result);
  } else {
    Region1Volumes(g, z, power, result);
  }
  for (std::size_t k = 0; k < g.count; ++k) out[g.at[k]] = result[k];
}

template <bool kEnthalpy>
void Region2(const Group& g, double* out) {
  double x[kBlock];
  double slope[kBlock];
  double result[kBlock];
  for (std::size_t k = 0; k < g.count; ++k) {
    if (k > 0 && g.theta[k] == g.theta[k - 1]) {
      x[k] = x[k - 1];
      slope[k] = slope[k - 1];
    } else {
      x[k] = region12::Region2XAt(g.theta[k]);
      slope[k] = ifc67::BoundaryBetaSlope(g.theta[k]);
    }
  }
  if (kEnthalpy) {
    Region2Enthalpies(g, x, slope, result);
  } else {
    Region2Volumes(g, x, slope, result);
  }
  for (std::size_t k = 0; k < g.count; ++k) out[g.at[k]] = result[k];
}

// One block of states read from the inputs, reduced, with the 2/3 boundary
// at each temperature and each state's sub-region.
struct Reduced {
  std::size_t count = 0;
  double t[kBlock], p[kBlock];
  double theta[kBlock], beta[kBlock], beta_l[kBlock];
  int region[kBlock];
};

PEMAR_VECTOR_KERNEL void ReduceBlock(Reduced& r) {
  for (std::size_t k = 0; k < r.count; ++k) {
    r.theta[k] = r.t[k] / kCriticalTemperature;
    r.beta[k] = r.p[k] / kCriticalPressure;
    r.beta_l[k] = region12::BoundaryBetaAt(r.theta[k]);
  }
}

// Reads states [start, start + r.count) and finds their sub-regions.
void ReadBlock(const double* t, std::ptrdiff_t t_step, const double* p,
               std::ptrdiff_t p_step, std::size_t start, int hint,
               const SaturationBounds& bounds, Reduced& r) {
  for (std::size_t k = 0; k < r.count; ++k) {
    const auto i = static_cast<std::ptrdiff_t>(start + k);
    r.t[k] = t[i * t_step];
    r.p[k] = p[i * p_step];
  }
  ReduceBlock(r);
  for (std::size_t k = 0; k < r.count; ++k) {
    r.region[k] = QuickSubRegion(r.p[k], r.theta[k], r.beta[k], r.beta_l[k],
                                 hint, bounds);
  }
  for (std::size_t k = 0; k < r.count; ++k) {
    if (r.region[k] == kAsk)
      r.region[k] = ifc67::SubRegion(r.t[k], r.p[k], hint);
  }
}

template <bool kEnthalpy>
void PropertyBatch(const double* t, std::ptrdiff_t t_step, const double* p,
                   std::ptrdiff_t p_step, std::size_t n, int hint,
                   double* out) {
  if (t == nullptr || p == nullptr || out == nullptr) return;
  const SaturationBounds& bounds = Bounds();
  Reduced r;
  Group region1;
  Group region2;
  for (std::size_t start = 0; start < n; start += kBlock) {
    r.count = std::min(kBlock, n - start);
    ReadBlock(t, t_step, p, p_step, start, hint, bounds, r);
    region1.count = 0;
    region2.count = 0;
    for (std::size_t k = 0; k < r.count; ++k) {
      const std::size_t i = start + k;
      // The volume's ideal-gas term is infinite at p = 0.
      if (!kEnthalpy && r.p[k] == 0.0) {
        out[i] = ifc67::kFailure;
        continue;
      }
      switch (r.region[k]) {
        case 1:
          region1.Add(r.theta[k], r.beta[k], r.beta_l[k], i);
          break;
        case 2:
          region2.Add(r.theta[k], r.beta[k], r.beta_l[k], i);
          break;
        case 3:
        case 4:
          out[i] = kEnthalpy ? SteamEnthalpyCalcTPi(r.t[k], r.p[k], hint)
                             : Steam67VolumeCalcTPi(r.t[k], r.p[k], hint);
          break;
        default:
          out[i] = kEnthalpy ? ifc67::kEnthalpyOffset : ifc67::kFailure;
      }
    }
    Region1<kEnthalpy>(region1, out);
    Region2<kEnthalpy>(region2, out);
  }
}

}  // namespace

void SteamEnthalpyBatch(const double* t, std::ptrdiff_t t_step, const double* p,
                        std::ptrdiff_t p_step, std::size_t n, int phase_hint,
                        double* out) {
  PropertyBatch<true>(t, t_step, p, p_step, n, phase_hint, out);
}

void Steam67VolumeBatch(const double* t, std::ptrdiff_t t_step, const double* p,
                        std::ptrdiff_t p_step, std::size_t n, int phase_hint,
                        double* out) {
  PropertyBatch<false>(t, t_step, p, p_step, n, phase_hint, out);
}

void SteamSubRegionBatch(const double* t, std::ptrdiff_t t_step,
                         const double* p, std::ptrdiff_t p_step, std::size_t n,
                         int phase_hint, int* out) {
  if (t == nullptr || p == nullptr || out == nullptr) return;
  const SaturationBounds& bounds = Bounds();
  Reduced r;
  for (std::size_t start = 0; start < n; start += kBlock) {
    r.count = std::min(kBlock, n - start);
    ReadBlock(t, t_step, p, p_step, start, phase_hint, bounds, r);
    std::copy(r.region, r.region + r.count, out + start);
  }
}

}  // namespace pemar
