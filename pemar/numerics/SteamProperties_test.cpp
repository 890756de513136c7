// The exported steam functions: the sub-region rule at its edges, the phase
// hints, the failure values, the bad-input guards and the start of the
// volume iteration on the vapour side below the critical temperature.

#include "pemar/numerics/SteamProperties.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "pemar/numerics/Ifc67Equations.h"

namespace pemar {
namespace {

constexpr double kFail = -32767.0;
constexpr double kOffset = -287436.0;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

double Region(double t, double p, int hint) {
  return Steam67RegionsCalcTPi(t / 647.3, p / 22120.0, hint);
}

// Specific volume in m3/kg from the molar interface.
double SpecificVolume(double t, double p, int hint) {
  return Steam67VolumeCalcTPi(t, p, hint) / 18.02;
}

TEST(SteamRegionsTest, TemperatureLimitsAreInclusive) {
  EXPECT_EQ(Region(273.16, 101.325, 1), 1.0);
  EXPECT_EQ(Region(273.15, 101.325, 1), -1.0);
  EXPECT_EQ(Steam67VolumeCalcTPi(273.15, 101.325, 1), kFail);
  EXPECT_EQ(SteamEnthalpyCalcTPi(273.15, 101.325, 1), kOffset);
  EXPECT_EQ(Region(1073.15, 100000.0, 2), 2.0);
  EXPECT_EQ(Region(1073.16, 100.0, 0), -1.0);
  EXPECT_EQ(Region(1073.16, 100.0, 1), -1.0);
  EXPECT_EQ(Steam67RegionsCalcTPi(kNaN, 0.1, 0), -1.0);
}

TEST(SteamRegionsTest, HintDecidesWithinTenPerCentOfSaturation) {
  const double p = 1.05 * Steam67ReducedVPCalcT(500.0) * 22120.0;
  EXPECT_EQ(Region(500.0, p, 0), 2.0);
  EXPECT_EQ(Region(500.0, p, 1), 1.0);
  EXPECT_EQ(Region(500.0, p, 2), -1.0);
  EXPECT_EQ(Region(500.0, p, -7), -1.0);
  // Outside the ten per cent band the hint only matters on its own side.
  const double p_sat = Steam67ReducedVPCalcT(500.0) * 22120.0;
  EXPECT_EQ(Region(500.0, 0.85 * p_sat, 2), 2.0);
  EXPECT_EQ(Region(500.0, 1.15 * p_sat, 2), 1.0);
  EXPECT_EQ(Region(500.0, 1.15 * p_sat, 0), 1.0);
  EXPECT_EQ(Region(500.0, 0.85 * p_sat, 1), 2.0);
  // The same state on the saturation line gives either phase by hint.
  EXPECT_EQ(Region(373.15, 101.325, 0), 2.0);
  EXPECT_EQ(Region(373.15, 101.325, 1), 1.0);
}

TEST(SteamRegionsTest, NoUpperPressureBoundBelow623K) {
  EXPECT_EQ(Region(500.0, 150000.0, 0), 1.0);
  EXPECT_EQ(Region(623.15, 150000.0, 1), 1.0);
  // A negative pressure is still sub-region 2 for the rule itself.
  EXPECT_EQ(Steam67RegionsCalcTPi(500.0 / 647.3, -0.1, 1), 2.0);
}

TEST(SteamRegionsTest, Between623KAndCriticalOnlyTheHintDecides) {
  const double theta = 640.0 / 647.3;
  const double beta_l = Steam67Beta_lCalcT(theta);
  for (double beta : {0.01, 0.5, beta_l, 1.2, 4.0, 10.0}) {
    SCOPED_TRACE(beta);
    EXPECT_EQ(Steam67RegionsCalcTPi(theta, beta, 1), 4.0);
    EXPECT_EQ(Steam67RegionsCalcTPi(theta, beta, 2), -1.0);
  }
  EXPECT_EQ(Steam67RegionsCalcTPi(theta, beta_l, 0), 2.0);
  EXPECT_EQ(Steam67RegionsCalcTPi(theta, std::nextafter(beta_l, 2.0), 0), 3.0);
  EXPECT_EQ(Steam67RegionsCalcTPi(theta, -0.1, 0), 3.0);
  // 623.15 K itself belongs to the lower band.
  EXPECT_EQ(Steam67RegionsCalcTPi(ifc67::kTheta1, 0.8, 1), 1.0);
  EXPECT_EQ(Steam67RegionsCalcTPi(std::nextafter(ifc67::kTheta1, 2.0), 0.8, 1),
            4.0);
}

TEST(SteamRegionsTest, AboveCriticalThePressureDecides) {
  EXPECT_EQ(Region(700.0, 50000.0, 0), 3.0);
  EXPECT_EQ(Region(700.0, 50000.0, 1), 3.0);
  for (int hint : {0, 1, 2}) {
    EXPECT_EQ(Region(700.0, 120000.0, hint), -1.0);
    EXPECT_EQ(Region(700.0, -1.0, hint), -1.0);
  }
  // The critical temperature belongs to the band above it.
  EXPECT_EQ(Steam67RegionsCalcTPi(1.0, 0.5, 1), 2.0);
  EXPECT_EQ(Steam67RegionsCalcTPi(1.0, ifc67::kBetaMax, 1), 3.0);
  EXPECT_EQ(Steam67RegionsCalcTPi(1.0, std::nextafter(ifc67::kBetaMax, 5.0), 1),
            -1.0);
  // From 863.15 K on, sub-region 2 up to 100 MPa.
  EXPECT_EQ(Steam67RegionsCalcTPi(ifc67::kTheta2, ifc67::kBetaMax, 1), 2.0);
  EXPECT_EQ(Steam67RegionsCalcTPi(std::nextafter(ifc67::kTheta2, 0.0),
                                  ifc67::kBetaMax, 1),
            3.0);
  EXPECT_EQ(Region(900.0, 100001.0, 0), -1.0);
}

TEST(SteamPropertiesTest, OutOfRangeGivesTheDocumentedValues) {
  EXPECT_EQ(Steam67VolumeCalcTPi(700.0, 120000.0, 0), kFail);
  EXPECT_EQ(SteamEnthalpyCalcTPi(700.0, 120000.0, 0), kOffset);
  // Undecided hint next to saturation.
  EXPECT_EQ(Steam67VolumeCalcTPi(640.0, 20000.0, 2), kFail);
  EXPECT_EQ(SteamEnthalpyCalcTPi(640.0, 20000.0, 2), kOffset);
}

TEST(SteamPropertiesTest, ZeroAndNegativePressureAreNotResults) {
  EXPECT_EQ(Steam67VolumeCalcTPi(500.0, 0.0, 0), kFail);
  EXPECT_EQ(Steam67VolumeCalcTPi(500.0, -32767.0, 0), kFail);
  EXPECT_EQ(Steam67VolumeCalcTPi(500.0, -1e-9, 1), kFail);
  EXPECT_EQ(Steam67VolumeCalcTPi(640.0, -5.0, 0), kFail);
  EXPECT_EQ(SteamEnthalpyCalcTPi(500.0, -32767.0, 0), kOffset);
  EXPECT_EQ(SteamEnthalpyCalcTPi(640.0, -5.0, 0), kOffset);
  // The ideal-gas enthalpy at zero pressure is a proper value, just above
  // the one at 0.1 Pa.
  const double h0 = SteamEnthalpyCalcTPi(500.0, 0.0, 0);
  ASSERT_TRUE(std::isfinite(h0));
  EXPECT_NEAR(h0, SteamEnthalpyCalcTPi(500.0, 1e-4, 0), 1e-3);
  // A zero pressure in the liquid sub-region 4 has no volume, so no
  // enthalpy either.
  EXPECT_EQ(SteamEnthalpyCalcTPi(640.0, 0.0, 1), kFail);
}

TEST(SteamPropertiesTest, NonFiniteInputIsOutOfRange) {
  for (double bad : {kNaN, kInf, -kInf}) {
    EXPECT_EQ(Steam67VolumeCalcTPi(bad, 1000.0, 0), kFail);
    EXPECT_EQ(Steam67VolumeCalcTPi(500.0, bad, 1), kFail);
    EXPECT_EQ(SteamEnthalpyCalcTPi(bad, 1000.0, 0), kOffset);
    EXPECT_EQ(SteamEnthalpyCalcTPi(500.0, bad, 1), kOffset);
  }
}

TEST(SteamPropertiesTest, GuardsLeaveOrdinaryStatesUnchanged) {
  const double theta = 500.0 / 647.3;
  const double beta = 100.0 / 22120.0;
  const double beta_l = ifc67::BoundaryBeta(theta);
  EXPECT_DOUBLE_EQ(Steam67VolumeCalcTPi(500.0, 100.0, 0),
                   ifc67::Region2Chi(theta, beta, beta_l) * 0.00317 * 18.02);
  EXPECT_DOUBLE_EQ(SteamEnthalpyCalcTPi(500.0, 100.0, 0),
                   ifc67::Region2Epsilon(theta, beta, beta_l,
                                         ifc67::BoundaryBetaSlope(theta)) *
                           1263.569608 -
                       287436.0);
}

TEST(SteamPropertiesTest, MolarValuesUseTheLibraryConstants) {
  const double theta = 300.0 / 647.3;
  const double beta = 3000.0 / 22120.0;
  EXPECT_DOUBLE_EQ(Steam67VolumeCalcTPi(300.0, 3000.0, 1),
                   ifc67::Region1Chi(theta, beta) * 0.00317 * 18.02);
  EXPECT_DOUBLE_EQ(SteamEnthalpyCalcTPi(300.0, 3000.0, 1),
                   ifc67::Region1Epsilon(theta, beta) * 1263.569608 - 287436.0);
}

// Sub-region 4 at 633.15 K and 20 MPa has three roots; the liquid one is
// the answer.
TEST(SteamPropertiesTest, SubRegion4FindsTheLiquidRoot) {
  EXPECT_NEAR(SpecificVolume(633.15, 20000.0, 1), 0.5763030 * 0.00317, 2e-9);
}

// Below 647.3 K, between the 2/3 boundary and saturation with the vapour
// hint, the isotherm of sub-region 3 has three roots; a start on the liquid
// side ends on the liquid-like one.
TEST(SteamPropertiesTest, VapourSideOfSubRegion3GivesTheVapourRoot) {
  EXPECT_EQ(Region(630.0, 17500.0, 0), 3.0);
  EXPECT_NEAR(SpecificVolume(630.0, 17500.0, 0), 0.00836320, 1e-8);
  const double h = (SteamEnthalpyCalcTPi(630.0, 17500.0, 0) + 287436.0) / 18.02;
  EXPECT_GT(h, 2500.0);  // kJ/kg: steam, not liquid
  // What the liquid-side start gives there.
  EXPECT_NEAR(ifc67::SolveRegion34Volume(630.0, 17500.0, 3, false), 0.00186264,
              1e-8);
  // States where the liquid-side start does not converge at all.
  EXPECT_EQ(ifc67::SolveRegion34Volume(640.0, 19000.0, 3, false), kFail);
  EXPECT_EQ(ifc67::SolveRegion34Volume(645.0, 21000.0, 3, false), kFail);
  EXPECT_GT(SpecificVolume(640.0, 19000.0, 0), 0.005);
  EXPECT_GT(SpecificVolume(645.0, 21000.0, 0), 0.005);
}

TEST(SteamPropertiesTest, VapourSideStartReachesTheLargestRootEverywhere) {
  for (double t = 624.0; t < 647.0; t += 1.0) {
    const double theta = t / 647.3;
    const double beta_l = ifc67::BoundaryBeta(theta);
    const double beta_k = ifc67::SaturationBeta(theta);
    for (int i = 1; i <= 9; ++i) {
      const double beta = beta_l + (beta_k - beta_l) * i / 10.0;
      const double p = beta * 22120.0;
      SCOPED_TRACE(testing::Message() << t << " K, " << p << " kPa");
      const double v = SpecificVolume(t, p, 0);
      ASSERT_GT(v, 0.0);
      EXPECT_NEAR(ifc67::Region3Beta(v / 0.00317, theta), beta, 1e-6 * beta);
      // No root of beta3(v) = beta between the result and the largest
      // volume of the iteration.
      const double sign = ifc67::Region3Beta(v * 1.001 / 0.00317, theta) - beta;
      for (double w = v * 1.001; w <= 0.0126948; w += 2e-5) {
        const double f = ifc67::Region3Beta(w / 0.00317, theta) - beta;
        ASSERT_EQ(f > 0.0, sign > 0.0) << "larger root near " << w;
      }
    }
  }
}

TEST(SteamPropertiesTest, VapourStartDoesNotReachAboveSaturation) {
  // With the vapour hint just above saturation the state is compressed
  // liquid, evaluated by sub-region 3 from the liquid side as before.
  const double p = 1.01 * Steam67ReducedVPCalcT(630.0) * 22120.0;
  EXPECT_EQ(Region(630.0, p, 0), 3.0);
  EXPECT_LT(SpecificVolume(630.0, p, 0), 0.0025);
}

TEST(SteamBoilingPointTest, NormalBoilingPoint) {
  EXPECT_NEAR(Steam67ReducedBPCalcT(101.325) * 647.3, 373.148, 2e-3);
}

TEST(SteamBoilingPointTest, FollowsTheSaturationLineToItsAccuracy) {
  // The correlation is not IFC-67; it agrees with the K-function to about
  // one per cent in pressure up to the critical point.
  for (double p : {1.0, 10.0, 101.325, 1000.0, 5000.0, 16000.0, 22000.0}) {
    SCOPED_TRACE(p);
    const double t = Steam67ReducedBPCalcT(p) * 647.3;
    EXPECT_NEAR(Steam67ReducedVPCalcT(t) * 22120.0 / p, 1.0, 0.01);
  }
}

TEST(SteamBoilingPointTest, NonPositiveOrNonFinitePressureFails) {
  EXPECT_EQ(Steam67ReducedBPCalcT(0.0), kFail);
  EXPECT_EQ(Steam67ReducedBPCalcT(-32767.0), kFail);
  EXPECT_EQ(Steam67ReducedBPCalcT(-1e-12), kFail);
  EXPECT_EQ(Steam67ReducedBPCalcT(kNaN), kFail);
  EXPECT_EQ(Steam67ReducedBPCalcT(kInf), kFail);
}

TEST(SteamCriticalPropertyTest, ExactNamesOnly) {
  EXPECT_EQ(SteamCriticalProperty("Pressure"), 22120.0);
  EXPECT_EQ(SteamCriticalProperty("Temperature"), 647.3);
  EXPECT_EQ(SteamCriticalProperty("Volume"), 0.00317);
  EXPECT_EQ(SteamCriticalProperty("pressure"), 0.0);
  EXPECT_EQ(SteamCriticalProperty("Pressure "), 0.0);
  EXPECT_EQ(SteamCriticalProperty(""), 0.0);
  EXPECT_EQ(SteamCriticalProperty(nullptr), 0.0);
}

}  // namespace
}  // namespace pemar
