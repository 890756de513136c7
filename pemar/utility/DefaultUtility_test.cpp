#include "pemar/utility/DefaultUtility.h"

#include <gtest/gtest.h>

#include <string>

#include "pemar/utility/testing/UtilityTest.h"

namespace pemar {
namespace {

using test_support::RecallFromBytes;
using testing::Fields;

class DefaultUtilityTest : public testing::UtilityTest {};

// A count the file cannot hold fails without allocating; a cut in the
// components leaves the record as it was; odd counts and heat types read as
// none.
TEST_F(DefaultUtilityTest, DamagedRecordsFailOrReadAsNone) {
  for (const char* bad : {"utility_huge_count", "utility_cut_component"}) {
    DefaultUtility u;
    EXPECT_FALSE(RecallFromBytes(fs_, u, testing::Golden(bad)));
    EXPECT_EQ(u.GetComponentCount(), 0);
    EXPECT_STREQ(u.GetUtilityName(), "UndefinedUtility");
  }
  DefaultUtility u;
  ASSERT_TRUE(RecallFromBytes(fs_, u, testing::Golden("utility_odd_counts")));
  EXPECT_EQ(u.GetComponentCount(), 0);
  EXPECT_EQ(u.GetHeatType(), UndefinedSegment);
  EXPECT_DOUBLE_EQ(u.GetFuelSourceID(), 3.0);
  EXPECT_TRUE(u.IsHTCCalculated());
}

// Each revision adds items: 2 delta-T min, 3 the exchanger, 4 the
// properties, 5 the components, 6 the fuel, 7 the HTC-calculated flag.
TEST_F(DefaultUtilityTest, EachOlderRevisionReadsOnlyItsItems) {
  const char* const kWant[] = {
      // NOLINTNEXTLINE(bugprone-suspicious-missing-comma): one text, cut
      "10 | Shell & Tube | -32767 -32767 -32767 -32767 | | 5.589e-05 76 1 1 1 "
      "0",
      "5 | Shell & Tube | -32767 -32767 -32767 -32767 | | 5.589e-05 76 1 1 1 0",
      "5 | Shell & Tube | -32767 -32767 -32767 -32767 | | 5.589e-05 76 1 1 1 0",
      "5 | Shell & Tube | 1 0.603 998 4.183 | | 5.589e-05 76 1 1 1 0",
      // Older records get today's component name; the current one keeps
      // the user's.
      "5 | Shell & Tube | 1 0.603 998 4.183 | H2O:0.75 | 5.589e-05 76 1 1 1 0",
      "5 | Shell & Tube | 1 0.603 998 4.183 | H2O:0.75 | 7e-05 3 0.9 0 0 0",
      "5 | Shell & Tube | 1 0.603 998 4.183 | Water:0.75 | 7e-05 3 0.9 0 0 1"};
  // testdata/old_utilities.golden holds one record of each, in order.
  const std::string bytes = testing::Golden("old_utilities");
  ASSERT_TRUE(Unchunked(bytes, [&](IPemarBinaryFile* f) {
    for (int r = 1; r <= 7; ++r) {
      DefaultUtility u;
      EXPECT_TRUE(u.Recall(f)) << "revision " << r;
      EXPECT_EQ(Fields(u), std::string("Cooling Water | 20 25 3.75 2e-07 44.5 "
                                       "29.5 1 ") +
                               kWant[r - 1])
          << "revision " << r;
    }
    return true;
  }));
}

TEST_F(DefaultUtilityTest, CoefficientEstimateFromProperties) {
  DefaultUtility water("Cooling Water", ColdSegment, 20, 25, -32767, 0, 0, 0, 5,
                       "Shell & Tube", 1.0, 0.603, 998, 4.183);
  water.CalcHTCFromPropForORVEX();
  EXPECT_NEAR(water.GetHeatTransferCoefficient(), 3.5, 0.1);
  DefaultUtility zero("Z", ColdSegment, 20, 25, 1.25, 0, 0, 0, 5,
                      "Shell & Tube", 0.0, 0.603, 998, 4.183);
  zero.CalcHTCFromPropForORVEX();
  EXPECT_EQ(zero.GetHeatTransferCoefficient(), 1.25);
}

TEST_F(DefaultUtilityTest, CompositionComparisonAndCopies) {
  DefaultUtility u;
  EXPECT_TRUE(u.CompareComp("anything", 0.3));
  EXPECT_TRUE(u.CompareComp(nullptr, 0.3));
  char a[] = "H2O";
  char* names[] = {a};
  double fractions[] = {1.0};
  u.SetComponents(1, names, fractions);
  a[0] = 'X';  // the record keeps its own copy
  EXPECT_TRUE(u.CompareComp("H2O", 1.0));
  EXPECT_FALSE(u.CompareComp("H2O", 0.5));
  EXPECT_TRUE(u.CompareComp("N2", 0.0));
  EXPECT_FALSE(u.CompareComp("N2", 0.1));
  DefaultUtility copy(u);
  EXPECT_STREQ(copy.GetComponentName(0), "H2O");
  u.SetComponents(-1, names, fractions);
  EXPECT_EQ(u.GetComponentCount(), 0);
  u.SetComponents(2, nullptr, fractions);
  EXPECT_EQ(u.GetComponentCount(), 0);
}

}  // namespace
}  // namespace pemar
