// The batch forms of the steam functions give what the scalar functions give,
// bit for bit, over a grid that crosses every sub-region, its edges and the
// bad values.

#include "pemar/numerics/SteamBatch.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <ostream>
#include <tuple>
#include <vector>

#include "pemar/numerics/SteamProperties.h"

namespace pemar {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// Compared as bits, NaNs and signed zeros included.
std::uint64_t Bits(double x) { return std::bit_cast<std::uint64_t>(x); }

void AddAround(std::vector<double>& values, double x) {
  values.push_back(std::nextafter(x, -kInf));
  values.push_back(x);
  values.push_back(std::nextafter(x, kInf));
}

// Temperatures (K) across the whole range and beyond, with every edge of the
// sub-region rule and its neighbours.
std::vector<double> Temperatures() {
  std::vector<double> t = {kNaN, kInf, -kInf, -32767.0, 0.0, 100.0, 1200.0};
  for (double edge : {273.16, 623.15, 647.3, 863.15, 1073.15})
    AddAround(t, edge);
  for (int i = 0; i < 114; ++i) t.push_back(260.0 + 7.3 * i);  // to 1085
  return t;
}

// Pressures (kPa) for temperature `t`: bad values, a sweep, and the edges
// that depend on the temperature (the 10 % band around saturation, the 2/3
// boundary) with their neighbours.
std::vector<double> Pressures(double t) {
  std::vector<double> p = {kNaN, kInf, -kInf, -32767.0, -1.0, 0.0, -0.0};
  for (int i = 0; i < 27; ++i) p.push_back(0.01 * std::pow(1.9, i));
  AddAround(p, 100000.0);
  const double saturation = Steam67ReducedVPCalcT(t) * 22120.0;
  for (double f : {0.9, 0.95, 1.0, 1.05, 1.1}) AddAround(p, f * saturation);
  AddAround(p, Steam67Beta_lCalcT(t / 647.3) * 22120.0);
  return p;
}

struct Grid {
  std::vector<double> t, p;
};

Grid AllStates() {
  Grid g;
  for (double t : Temperatures()) {
    for (double p : Pressures(t)) {
      g.t.push_back(t);
      g.p.push_back(p);
    }
  }
  return g;
}

using Scalar = double (*)(double, double, int);
using Batch = void (*)(const double*, std::ptrdiff_t, const double*,
                       std::ptrdiff_t, std::size_t, int, double*);

struct Function {
  const char* name;
  Scalar scalar;
  Batch batch;
};

void PrintTo(const Function& f, std::ostream* out) { *out << f.name; }

class SteamBatchTest : public ::testing::TestWithParam<Function> {};

TEST_P(SteamBatchTest, EveryStateMatchesTheScalarCallBitForBit) {
  const Grid g = AllStates();
  std::vector<double> out(g.t.size());
  for (int hint : {0, 1, 2, -7}) {
    GetParam().batch(g.t.data(), 1, g.p.data(), 1, g.t.size(), hint,
                     out.data());
    for (std::size_t i = 0; i < out.size(); ++i) {
      const double expected = GetParam().scalar(g.t[i], g.p[i], hint);
      ASSERT_EQ(Bits(out[i]), Bits(expected))
          << "T " << g.t[i] << " K, p " << g.p[i] << " kPa, hint " << hint
          << ": " << out[i] << " against " << expected;
    }
  }
}

// One temperature against many pressures (step 0), and the pressures read
// backwards (step -1), as a broadcast or a reversed view passes them.
TEST_P(SteamBatchTest, StepsOfZeroAndMinusOneReadTheSameStates) {
  const double t = 500.0;
  const std::vector<double> p = Pressures(t);
  std::vector<double> forward(p.size()), backward(p.size());
  GetParam().batch(&t, 0, p.data(), 1, p.size(), 2, forward.data());
  GetParam().batch(&t, 0, p.data() + p.size() - 1, -1, p.size(), 2,
                   backward.data());
  for (std::size_t i = 0; i < p.size(); ++i) {
    EXPECT_EQ(Bits(forward[i]), Bits(GetParam().scalar(t, p[i], 2)));
    EXPECT_EQ(Bits(backward[p.size() - 1 - i]), Bits(forward[i]));
  }
}

// Runs of states in one sub-region, as tables and sweeps pass them, take
// the whole-block path: compressed liquid, steam, and steam from p = 0
// (where the volume fails).
TEST_P(SteamBatchTest, RunsInOneSubRegionMatchTheScalarCalls) {
  for (const auto& [t0, t_span, p0, p_span, hint] :
       {std::tuple{280.0, 320.0, 25000.0, 35000.0, 1},
        std::tuple{650.0, 400.0, 1000.0, 9000.0, 0},
        std::tuple{700.0, 0.0, 0.0, 5000.0, 2}}) {
    std::vector<double> t(1000), p(1000), out(1000);
    for (std::size_t i = 0; i < t.size(); ++i) {
      t[i] = t0 + t_span * static_cast<double>(i * 37 % 1000) / 1000.0;
      p[i] = p0 + p_span * static_cast<double>(i * 7919 % 1000) / 1000.0;
    }
    GetParam().batch(t.data(), 1, p.data(), 1, t.size(), hint, out.data());
    for (std::size_t i = 0; i < t.size(); ++i) {
      ASSERT_EQ(Bits(out[i]), Bits(GetParam().scalar(t[i], p[i], hint)))
          << "T " << t[i] << " K, p " << p[i] << " kPa";
    }
  }
}

TEST_P(SteamBatchTest, NullArraysWriteNothing) {
  const double t = 300.0, p = 100.0;
  double out = 1.0;
  GetParam().batch(nullptr, 0, &p, 0, 1, 2, &out);
  GetParam().batch(&t, 0, nullptr, 0, 1, 2, &out);
  GetParam().batch(&t, 0, &p, 0, 1, 2, nullptr);
  GetParam().batch(&t, 0, &p, 0, 0, 2, &out);
  EXPECT_EQ(out, 1.0);
}

INSTANTIATE_TEST_SUITE_P(
    Steam, SteamBatchTest,
    ::testing::Values(
        Function{"Enthalpy", SteamEnthalpyCalcTPi, SteamEnthalpyBatch},
        Function{"Volume", Steam67VolumeCalcTPi, Steam67VolumeBatch}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SteamSubRegionBatchTest, EveryStateMatchesTheRuleOfTheScalarCalls) {
  const Grid g = AllStates();
  std::vector<int> out(g.t.size());
  for (int hint : {0, 1, 2}) {
    SteamSubRegionBatch(g.t.data(), 1, g.p.data(), 1, g.t.size(), hint,
                        out.data());
    for (std::size_t i = 0; i < out.size(); ++i) {
      const bool bad =
          !std::isfinite(g.t[i]) || !std::isfinite(g.p[i]) || g.p[i] < 0.0;
      const int expected = bad ? -1
                               : static_cast<int>(Steam67RegionsCalcTPi(
                                     g.t[i] / 647.3, g.p[i] / 22120.0, hint));
      ASSERT_EQ(out[i], expected) << g.t[i] << " K, " << g.p[i] << " kPa";
    }
  }
}

}  // namespace
}  // namespace pemar
