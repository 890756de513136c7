// The exported steam functions: the sub-region rule, the guards, the
// vapour-side start of the volume iteration and the reference points.

#include "pemar/numerics/SteamProperties.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "pemar/numerics/Ifc67Equations.h"
#include "pemar/numerics/testing/CsvTable.h"

namespace pemar {
namespace {

using ifc67::kBetaMax;
using ifc67::kFailure;
using ifc67::kTheta1;
using ifc67::kTheta2;
using test_support::CsvTable;
constexpr double kOffset = -287436.0;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

double Region(double t, double p, int hint) {
  return Steam67RegionsCalcTPi(t / 647.3, p / 22120.0, hint);
}

// Specific volume (m3/kg) and enthalpy (kJ/kg, from the formulation's zero).
double SpecificVolume(double t, double p, int hint) {
  return Steam67VolumeCalcTPi(t, p, hint) / 18.02;
}
double SpecificEnthalpy(double t, double p, int hint) {
  return (SteamEnthalpyCalcTPi(t, p, hint) - kOffset) / 18.02;
}

// The rule at its edges. In kelvin and kPa, the sub-region (-1: none) for
// the hints 0 (vapour), 1 (liquid), 2 and -7 (undecided): the lowest and
// highest temperature and pressure, either side; at 500 K (saturation at
// 2639.6 kPa) within ten per cent of saturation, where the hint decides as
// on the line, then below and above that band; no upper pressure bound up
// to 623.15 K; above critical the pressure decides, above 863.15 K up to
// 100 MPa only; a negative pressure. Then in reduced units: a NaN, a
// negative pressure, 623.15 K to critical, the corners.
TEST(SteamRegionsTest, RuleAtItsEdges) {
  const double states[][6] = {
      {273.16, 101.325, 1, 1, 1, 1}, {273.15, 101.325, -1, -1, -1, -1},
      {1073.15, 1e5, 2, 2, 2, 2},    {1073.16, 100, -1, -1, -1, -1},
      {500, 2772, 2, 1, -1, -1},     {373.15, 101.325, 2, 1, -1, -1},
      {500, 2244, 2, 2, 2, 2},       {500, 3036, 1, 1, 1, 1},
      {500, 1.5e5, 1, 1, 1, 1},      {623.15, 1.5e5, 1, 1, 1, 1},
      {700, 5e4, 3, 3, 3, 3},        {900, 100001, -1, -1, -1, -1},
      {700, 120000, -1, -1, -1, -1}, {700, -1, -1, -1, -1, -1}};
  std::vector<std::vector<double>> rows;
  for (const auto& s : states) {
    for (int h : {0, 1, 2, 3}) {
      rows.push_back(
          {s[0] / 647.3, s[1] / 22120.0, h < 3 ? h : -7.0, s[2 + h]});
    }
  }
  const double th640 = 640.0 / 647.3, bl640 = Steam67Beta_lCalcT(th640);
  const double up_bl = std::nextafter(bl640, 2.0),
               t1_up = std::nextafter(kTheta1, 2.0);
  const double max_up = std::nextafter(kBetaMax, 5.0),
               t2_down = std::nextafter(kTheta2, 0.0);
  const double reduced[][4] = {
      {kNaN, 0.1, 0, -1},        {500.0 / 647.3, -0.1, 1, 2},
      {th640, bl640, 0, 2},      {th640, up_bl, 0, 3},
      {th640, -0.1, 0, 3},       {kTheta1, 0.8, 1, 1},
      {t1_up, 0.8, 1, 4},        {1.0, 0.5, 1, 2},
      {1.0, kBetaMax, 1, 3},     {1.0, max_up, 1, -1},
      {kTheta2, kBetaMax, 1, 2}, {t2_down, kBetaMax, 1, 3}};
  for (const auto& r : reduced) rows.emplace_back(r, r + 4);
  for (const auto& r : rows) {
    EXPECT_EQ(Steam67RegionsCalcTPi(r[0], r[1], static_cast<int>(r[2])), r[3])
        << r[0] * 647.3 << " K, " << r[1] * 22120.0 << " kPa, hint " << r[2];
  }
  // Between 623.15 K and critical only the hint decides.
  for (double beta : {0.01, 0.5, bl640, 1.2, 4.0, 10.0}) {
    EXPECT_EQ(Steam67RegionsCalcTPi(th640, beta, 1), 4.0) << beta;
    EXPECT_EQ(Steam67RegionsCalcTPi(th640, beta, 2), -1.0) << beta;
  }
}

// No volume and the bare enthalpy offset: below the lowest temperature,
// above the pressure range, an undecided hint next to saturation, the empty
// value as pressure, negative pressures, non-finite input. At zero pressure
// the ideal-gas enthalpy is still a proper value, except in the liquid
// sub-region 4.
TEST(SteamPropertiesTest, BadStatesGiveTheDocumentedValues) {
  const double t_p_hint[][3] = {
      {273.15, 101.325, 1}, {700, 120000, 0}, {640, 20000, 2}, {500, -32767, 0},
      {500, -1e-9, 1},      {640, -5, 0},     {kNaN, 1000, 0}, {kInf, 1000, 0},
      {-kInf, 1000, 0},     {500, kNaN, 1},   {500, kInf, 1},  {500, -kInf, 1}};
  for (const auto& r : t_p_hint) {
    SCOPED_TRACE(testing::Message() << r[0] << " K, " << r[1] << " kPa");
    const int hint = static_cast<int>(r[2]);
    EXPECT_EQ(Steam67VolumeCalcTPi(r[0], r[1], hint), kFailure);
    EXPECT_EQ(SteamEnthalpyCalcTPi(r[0], r[1], hint), kOffset);
  }
  EXPECT_EQ(Steam67VolumeCalcTPi(500.0, 0.0, 0), kFailure);
  const double h0 = SteamEnthalpyCalcTPi(500.0, 0.0, 0);
  ASSERT_TRUE(std::isfinite(h0));
  EXPECT_NEAR(h0, SteamEnthalpyCalcTPi(500.0, 1e-4, 0), 1e-3);
  EXPECT_EQ(SteamEnthalpyCalcTPi(640.0, 0.0, 1), kFailure);
}

// Below 647.3 K, between the 2/3 boundary and saturation, the isotherm of
// sub-region 3 has up to three roots: the vapour hint gives the largest,
// with no root between it and the iteration's largest volume, and the
// enthalpy of that root. Just above saturation the state is liquid.
TEST(SteamPropertiesTest, VapourHintGivesTheLargestRootOfSubRegion3) {
  for (double t = 624.0; t < 647.0; t += 1.0) {
    const double theta = t / 647.3;
    const double beta_l = ifc67::BoundaryBeta(theta);
    const double beta_k = ifc67::SaturationBeta(theta);
    for (int i = 1; i <= 9; ++i) {
      const double beta = beta_l + (beta_k - beta_l) * i / 10.0;
      SCOPED_TRACE(testing::Message() << t << " K, " << beta << " beta");
      const double v = SpecificVolume(t, beta * 22120.0, 0);
      ASSERT_GT(v, 0.0);
      EXPECT_NEAR(ifc67::Region3Beta(v / 0.00317, theta), beta, 1e-6 * beta);
      EXPECT_NEAR(SpecificEnthalpy(t, beta * 22120.0, 0),
                  ifc67::Region3Epsilon(v / 0.00317, theta) * 70.1204, 1e-6);
      const double sign = ifc67::Region3Beta(v * 1.001 / 0.00317, theta) - beta;
      for (double w = v * 1.001; w <= 0.0126948; w += 2e-5) {
        const double f = ifc67::Region3Beta(w / 0.00317, theta) - beta;
        ASSERT_EQ(f > 0.0, sign > 0.0) << "larger root near " << w;
      }
    }
  }
  const double p = 1.01 * Steam67ReducedVPCalcT(630.0) * 22120.0;
  EXPECT_EQ(Region(630.0, p, 0), 3.0);
  EXPECT_LT(SpecificVolume(630.0, p, 0), 0.0025);
}

// Reference points of every sub-region (the data file names the sources),
// the liquid ones with the liquid hint.
TEST(SteamReferenceTest, EveryRowAgreesInVolumeAndEnthalpy) {
  for (const auto& r : CsvTable("ifc67_reference_points.csv", "point")) {
    const double t = r[0], p = r[1], v = r[3];
    const int region = static_cast<int>(r[2]);
    const int hint = (region == 1 || region == 4) ? 1 : 0;
    SCOPED_TRACE(testing::Message() << t << " K, " << p << " kPa");
    EXPECT_EQ(Region(t, p, hint), region);
    EXPECT_NEAR(SpecificVolume(t, p, hint), v, 1e-6 * v);
    EXPECT_NEAR(SpecificEnthalpy(t, p, hint), r[4], 1e-3);
  }
}

// The correlation is not IFC-67; it agrees with the K-function to about
// one per cent in pressure up to the critical point.
TEST(SteamBoilingPointTest, FollowsTheSaturationLineToItsAccuracy) {
  EXPECT_NEAR(Steam67ReducedBPCalcT(101.325) * 647.3, 373.148, 2e-3);
  for (double p : {1.0, 10.0, 101.325, 1000.0, 5000.0, 16000.0, 22000.0}) {
    const double t = Steam67ReducedBPCalcT(p) * 647.3;
    EXPECT_NEAR(Steam67ReducedVPCalcT(t) * 22120.0 / p, 1.0, 0.01) << p;
  }
  for (double bad : {0.0, -32767.0, -1e-12, kNaN, kInf}) {
    EXPECT_EQ(Steam67ReducedBPCalcT(bad), kFailure) << bad;
  }
}

TEST(SteamCriticalPropertyTest, ExactNamesOnly) {
  EXPECT_EQ(SteamCriticalProperty("Pressure"), 22120.0);
  EXPECT_EQ(SteamCriticalProperty("Temperature"), 647.3);
  EXPECT_EQ(SteamCriticalProperty("Volume"), 0.00317);
  for (const char* name :
       {"pressure", "Pressure ", "", static_cast<const char*>(nullptr)}) {
    EXPECT_EQ(SteamCriticalProperty(name), 0.0) << (name ? name : "null");
  }
}

}  // namespace
}  // namespace pemar
