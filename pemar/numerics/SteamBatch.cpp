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
// the bins, ask ifc67::SubRegion itself. The test runs as a vectorised loop
// over the block after the table lookups, without branches on the state.
// A block wholly in sub-region 1 or 2 skips the sorting.

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

constexpr std::size_t kBlock = 64;
constexpr int kBins = 1024;
// Relative slack on the bounds: far above the rounding of the saturation
// line and of the bin index (about 1e-14), far below a bin's width.
constexpr double kSlack = 1e-9;

// For each temperature bin, the products with 0.9 and 1.1 of a lower and an
// upper bound of the saturation pressure in that bin.
struct SaturationBounds {
  double scale;  // bins per unit of theta
  // The four of a bin side by side: one cache line serves a lookup.
  struct Bin {
    double low09, low11, high09, high11;
  } bins[kBins];
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
    b.bins[j] = {0.9 * low, 1.1 * low, 0.9 * high, 1.1 * high};
    below = above;
  }
  return b;
}

const SaturationBounds& Bounds() {
  static const SaturationBounds bounds = MakeBounds();
  return bounds;
}

// The arithmetic loops, vectorised; on x86-64 Linux also compiled for AVX2
// (without FMA, so that every operation still rounds as in the scalar code)
// and chosen by the processor at load time.
#if defined(__x86_64__) && defined(__linux__)
#define PEMAR_VECTOR_KERNEL __attribute__((target_clones("avx2", "default")))
#else
#define PEMAR_VECTOR_KERNEL
#endif

// Marks a state whose sub-region the bounds do not decide.
constexpr int kAsk = -2;

// One block of states read from the inputs, reduced, with the 2/3 boundary
// at each temperature, the saturation bounds of its bin, and each state's
// sub-region.
struct Reduced {
  std::size_t count = 0;
  // The temperatures and pressures: the caller's when they lie side by
  // side, else copies in own_t and own_p.
  const double* t = nullptr;
  const double* p = nullptr;
  double own_t[kBlock], own_p[kBlock];
  double theta[kBlock], beta[kBlock], beta_l[kBlock];
  double low09[kBlock], low11[kBlock], high09[kBlock], high11[kBlock];
  int bin[kBlock];  // the temperature bin, clamped to the table
  int region[kBlock];
};

// The bounds of each state's temperature bin that the hint needs (low11
// and high11 for 0, low09 and high09 for 1, all four otherwise). A
// separate loop, since the compiler does not vectorise table lookups.
void LookUpBounds(Reduced& r, const SaturationBounds& b, int hint) {
  for (std::size_t k = 0; hint == 0 && k < r.count; ++k) {
    r.low11[k] = b.bins[r.bin[k]].low11;
    r.high11[k] = b.bins[r.bin[k]].high11;
  }
  for (std::size_t k = 0; hint == 1 && k < r.count; ++k) {
    r.low09[k] = b.bins[r.bin[k]].low09;
    r.high09[k] = b.bins[r.bin[k]].high09;
  }
  for (std::size_t k = 0; hint != 0 && hint != 1 && k < r.count; ++k) {
    const SaturationBounds::Bin& bounds = b.bins[r.bin[k]];
    r.low09[k] = bounds.low09;
    r.low11[k] = bounds.low11;
    r.high09[k] = bounds.high09;
    r.high11[k] = bounds.high11;
  }
}

// The sub-region ifc67::SubRegion gives for state k of `r`, or kAsk when
// the state lies near the band around saturation, or outside both
// stretches handled here. A rounded product with a positive factor never
// falls below the product with a smaller number, so a comparison with a
// bound's product decides the one with the exact saturation pressure.
// Random states cross the edges at random, so every condition is evaluated
// for every state and the result chosen by masks, which vectorises.
template <int kHint>
inline double QuickSubRegion(const Reduced& r, std::size_t k) {
  const double p = r.p[k];
  const double theta = r.theta[k];
  const double beta = r.beta[k];
  const bool p_ok = (p >= 0.0) & (p <= std::numeric_limits<double>::max());
  const bool below_line = (theta >= kThetaMin) & (theta <= kTheta1) & p_ok;
  const bool above_critical =
      (theta >= 1.0) & (theta <= ifc67::kThetaMax) & p_ok;
  double near = kAsk;
  if (kHint == 0) {
    near = beta <= r.low11[k] ? 2.0 : (beta > r.high11[k] ? 1.0 : kAsk);
  } else if (kHint == 1) {
    near = beta > r.high09[k] ? 1.0 : (beta <= r.low09[k] ? 2.0 : kAsk);
  } else {
    const bool in_band = (beta > r.high09[k]) & (beta <= r.low11[k]);
    const double band = in_band ? -1.0 : kAsk;
    near = beta <= r.low09[k] ? 2.0 : (beta > r.high11[k] ? 1.0 : band);
  }
  // Above the critical temperature the rule has no hint and no saturation
  // line: steam up to the 2/3 boundary (up to 100 MPa from 863.15 K), and
  // sub-region 3 above it up to 100 MPa below 863.15 K.
  const bool below_theta2 = theta < ifc67::kTheta2;
  const bool below_beta_max = beta <= ifc67::kBetaMax;
  const bool steam =
      (below_theta2 & (beta <= r.beta_l[k])) | (!below_theta2 & below_beta_max);
  const double dense = (below_theta2 & below_beta_max) ? 3.0 : -1.0;
  const double far = steam ? 2.0 : dense;
  const double outside = above_critical ? far : kAsk;
  return below_line ? near : outside;
}

template <int kHint>
[[gnu::always_inline]] inline void QuickSubRegions(Reduced& r) {
  for (std::size_t k = 0; k < r.count; ++k) {
    r.region[k] = static_cast<int>(QuickSubRegion<kHint>(r, k));
  }
}

// The sub-regions of a block as far as the bounds decide them; the hint is
// one for the whole batch.
PEMAR_VECTOR_KERNEL void QuickSubRegions(Reduced& r, int hint) {
  if (hint == 0) {
    QuickSubRegions<0>(r);
  } else if (hint == 1) {
    QuickSubRegions<1>(r);
  } else {
    QuickSubRegions<2>(r);
  }
}

// The states of one block that lie in one sub-region, in their order.
struct Group {
  std::size_t count = 0;
  // The states' values: the group's own copies, or a whole block's arrays.
  const double* theta = nullptr;
  const double* beta = nullptr;
  const double* beta_l = nullptr;  // the 2/3 boundary (sub-region 2 only)

  // Empties the group; Add fills it.
  void Clear() {
    count = 0;
    theta = own_theta_;
    beta = own_beta_;
    beta_l = own_beta_l_;
    whole_ = false;
  }
  void Add(double th, double be, double bl, std::size_t index) {
    own_theta_[count] = th;
    own_beta_[count] = be;
    own_beta_l_[count] = bl;
    at_[count++] = index;
  }
  // Takes every state of `r` (which must outlive the group's use), the
  // first being state `start`, without copying.
  void TakeAll(const Reduced& r, std::size_t start) {
    count = r.count;
    theta = r.theta;
    beta = r.beta;
    beta_l = r.beta_l;
    whole_ = true;
    start_ = start;
  }
  // Writes the result of each state to its place in `out`.
  void Put(const double* result, double* out) const {
    if (whole_) {
      std::copy(result, result + count, out + start_);
      return;
    }
    for (std::size_t k = 0; k < count; ++k) out[at_[k]] = result[k];
  }

 private:
  double own_theta_[kBlock];
  double own_beta_[kBlock];
  double own_beta_l_[kBlock];
  std::size_t at_[kBlock];  // index into the output
  bool whole_ = false;
  std::size_t start_ = 0;
};

// True when every state of `r` lies in the first one's sub-region and, when
// `zero_pressure_fails`, none is at p = 0.
bool OneSubRegion(const Reduced& r, bool zero_pressure_fails) {
  bool same = true;
  for (std::size_t k = 0; k < r.count; ++k) {
    same &=
        (r.region[k] == r.region[0]) & !(zero_pressure_fails & (r.p[k] == 0.0));
  }
  return same;
}

// Molar enthalpy or volume from the reduced value, as the scalar functions
// scale it.
template <bool kEnthalpy>
inline double Scaled(double reduced) {
  return kEnthalpy
             ? reduced * ifc67::kMolarEnthalpyFactor + ifc67::kEnthalpyOffset
             : reduced * ifc67::kMolarVolumeFactor;
}

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
  g.Put(result, out);
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
  g.Put(result, out);
}

// A state outside the bins takes the nearest (the first for NaN) and does
// not use its bounds.
PEMAR_VECTOR_KERNEL void ReduceBlock(Reduced& r, double bin_scale) {
  for (std::size_t k = 0; k < r.count; ++k) {
    r.theta[k] = r.t[k] / kCriticalTemperature;
    r.beta[k] = r.p[k] / kCriticalPressure;
    r.beta_l[k] = region12::BoundaryBetaAt(r.theta[k]);
    double bin = (r.theta[k] - kThetaMin) * bin_scale;
    bin = bin > 0.0 ? bin : 0.0;
    bin = bin < kBins - 1.0 ? bin : kBins - 1.0;
    r.bin[k] = static_cast<int>(bin);
  }
}

// Reads states [start, start + r.count) and finds their sub-regions.
void ReadBlock(const double* t, std::ptrdiff_t t_step, const double* p,
               std::ptrdiff_t p_step, std::size_t start, int hint,
               const SaturationBounds& bounds, Reduced& r) {
  const auto first = static_cast<std::ptrdiff_t>(start);
  r.t = t_step == 1 ? t + first : r.own_t;
  r.p = p_step == 1 ? p + first : r.own_p;
  for (std::size_t k = 0; t_step != 1 && k < r.count; ++k) {
    r.own_t[k] = t[(first + static_cast<std::ptrdiff_t>(k)) * t_step];
  }
  for (std::size_t k = 0; p_step != 1 && k < r.count; ++k) {
    r.own_p[k] = p[(first + static_cast<std::ptrdiff_t>(k)) * p_step];
  }
  ReduceBlock(r, bounds.scale);
  LookUpBounds(r, bounds, hint);
  QuickSubRegions(r, hint);
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
    region1.Clear();
    region2.Clear();
    // States mostly come in runs in one sub-region; a block of such is
    // taken whole.
    const int first = r.region[0];
    const bool whole =
        (first == 1 || first == 2) && OneSubRegion(r, !kEnthalpy);
    if (whole) (first == 1 ? region1 : region2).TakeAll(r, start);
    for (std::size_t k = 0; !whole && k < r.count; ++k) {
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
