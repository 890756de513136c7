#include "pemar/utility/UtilitySelection.h"

#include <gtest/gtest.h>

#include "pemar/utility/testing/UtilityTest.h"

namespace pemar {
namespace {

class UtilitySelectionTest : public testing::UtilityTest {
 protected:
  void ExpectRange(const char* name, double low, double high) {
    EXPECT_DOUBLE_EQ(m_->GetValue(name, ARTempLow), low) << name;
    EXPECT_DOUBLE_EQ(m_->GetValue(name, ARTempHigh), high) << name;
  }
  const char* Recommended(double t, SegmentHeatType type,
                          const char* exchanger = nullptr) {
    return m_->GetRecommendedUtilityName(t, type, exchanger);
  }
};

// --- Boundaries --------------------------------------------------------------

TEST_F(UtilitySelectionTest, EmptyTemperatureOrUndefinedTypeSelectsNothing) {
  CVList list;
  list.push_back(nullptr);
  EXPECT_EQ(m_->GetUsableUtilList(kEmptyValue, HotSegment, &list), 0);
  EXPECT_EQ(m_->GetUsableUtilList(40, UndefinedSegment, &list), 0);
  EXPECT_EQ(list.size(), 1u);
  EXPECT_EQ(m_->GetUsableUtilList(40, ColdSegment, nullptr), 0);
  EXPECT_EQ(Recommended(40, UndefinedSegment), nullptr);
  EXPECT_EQ(m_->GetMostEconomicalUtilityName(kEmptyValue, HotSegment), nullptr);
  EXPECT_EQ(m_->GetMostEconomicalUtilityName(40, UndefinedSegment), nullptr);
  EXPECT_EQ(
      m_->GetRecommendedUtilityForDataExt(kEmptyValue, HotSegment, kEmptyValue),
      nullptr);
  EXPECT_EQ(m_->GetRecommendedUtilityForDataExt(40, UndefinedSegment, -300),
            nullptr);
  DefaultManager empty;
  EXPECT_EQ(empty.GetRecommendedUtilityForDataExt(40, ColdSegment, -300),
            nullptr);
}

TEST_F(UtilitySelectionTest, RangeEndsBelongToTheirUtility) {
  EXPECT_STREQ(Recommended(44.5, ColdSegment), "Air");
  EXPECT_STREQ(Recommended(115.5, HotSegment), "LP Steam");
  EXPECT_STREQ(Recommended(115.6, HotSegment), "MP Steam");
  EXPECT_EQ(Recommended(3000, ColdSegment), nullptr);
  EXPECT_EQ(Recommended(-273.15, HotSegment), nullptr);
  EXPECT_EQ(Recommended(2995, HotSegment), nullptr);
}

// --- AR ranges ---------------------------------------------------------------

TEST_F(UtilitySelectionTest, BuiltInSetHoldsTheTableInOrderWithItsRanges) {
  const struct {
    const char* name;
    double low, high;
  } table[] = {{"LP Steam", -26.5, 115.5},
               {"MP Steam", 115.5, 165.5},
               {"HP Steam", 165.5, 240.5},
               {"Hot Oil", 240.5, 275.5},
               {"Fired Heat (1000)", 275.5, 975.5},
               {"Fired Heat (2000)", 975.5, 1970.5},
               {"Very High Temperature", 1970.5, 2990.5},
               {"Refrigerant 1 Generation", -41.5, -26.5},
               {"Refrigerant 2 Generation", -65.5, -41.5},
               {"Refrigerant 3 Generation", -103.5, -65.5},
               {"Refrigerant 4 Generation", -273.15, -103.5},
               {"Cooling Water", 29.5, 44.5},
               {"Air", 44.5, 134.5},
               {"LP Steam Generation", 134.5, 184.5},
               {"MP Steam Generation", 184.5, 259.5},
               {"HP Steam Generation", 259.5, 3000},
               {"Refrigerant 1", -21.5, 29.5},
               {"Refrigerant 2", -36.5, -21.5},
               {"Refrigerant 3", -62.5, -36.5},
               {"Refrigerant 4", -100.5, -62.5},
               {"Very Low Temperature", -267.5, -100.5},
               {"Power", kEmptyValue, kEmptyValue}};
  ASSERT_EQ(m_->GetNumberOfDefaultUtilities(), 22);
  for (int i = 0; i < 22; ++i) {
    EXPECT_STREQ(m_->GetDefaultUtilityName(i), table[i].name);
    ExpectRange(table[i].name, table[i].low, table[i].high);
  }
}

TEST_F(UtilitySelectionTest, EqualInletTemperaturesShareOneRange) {
  m_->CloneDefaultUtility("MP Steam");
  m_->SetValue("MP Steam - 1", DeltaTmin, 20);
  ExpectRange("MP Steam - 1", 115.5, 165.5);
  ExpectRange("MP Steam", 115.5, 165.5);
  ExpectRange("HP Steam", 165.5, 240.5);
  m_->CloneDefaultUtility("Air");
  ExpectRange("Air - 1", 44.5, 134.5);
}

TEST_F(UtilitySelectionTest, UndefinedUtilityIsNeverSelected) {
  m_->AddDefaultUtility("X");
  m_->SetValue("X", InletTemperature, 100);
  m_->SetValue("X", DeltaTmin, 5);
  EXPECT_EQ(m_->GetValue("X", ARTempHigh), kEmptyValue);
  for (double t : {-200.0, 40.0, 100.0, 500.0}) {
    for (SegmentHeatType type : {HotSegment, ColdSegment}) {
      for (const char* name :
           {Recommended(t, type), m_->GetMostEconomicalUtilityName(t, type),
            m_->GetRecommendedUtilityForDataExt(t, type, -300)}) {
        EXPECT_STRNE(name ? name : "", "X");
      }
    }
  }
}

// --- Selection ---------------------------------------------------------------

TEST_F(UtilitySelectionTest, RecommendationFollowsListOrderAndExchanger) {
  EXPECT_STREQ(Recommended(40, ColdSegment), "Cooling Water");
  EXPECT_STREQ(Recommended(100, ColdSegment), "Air");
  EXPECT_STREQ(Recommended(100, ColdSegment, "Air Cooler"), "Air");
  EXPECT_EQ(Recommended(100, ColdSegment, "Shell & Tube"), nullptr);
  EXPECT_STREQ(Recommended(500, HotSegment, "Fired Heater"),
               "Fired Heat (1000)");
}

TEST_F(UtilitySelectionTest, CheapestUsableUtilityWins) {
  EXPECT_STREQ(m_->GetMostEconomicalUtilityName(40, ColdSegment),
               "Cooling Water");
  EXPECT_STREQ(m_->GetMostEconomicalUtilityName(100, HotSegment), "LP Steam");
  // Credits count as cheaper: at -50 every refrigerant generation above it
  // is usable and the largest credit wins.
  EXPECT_STREQ(m_->GetMostEconomicalUtilityName(-50, HotSegment),
               "Refrigerant 2 Generation");
  CVList list;
  EXPECT_EQ(m_->GetUsableUtilList(40, ColdSegment, &list), 1);
  EXPECT_EQ(list.size(), 6u);
  EXPECT_STREQ(static_cast<DefaultUtility*>(list[0])->GetUtilityName(),
               "Cooling Water");
  // The answer is about the caller's list, which may hold earlier entries.
  EXPECT_EQ(m_->GetUsableUtilList(3500, HotSegment, &list), 1);
  list.clear();
  EXPECT_EQ(m_->GetUsableUtilList(3500, HotSegment, &list), 0);
}

TEST_F(UtilitySelectionTest, DataExtractionPrefersSimulationUtilities) {
  auto data_ext = [&](double t, SegmentHeatType type, double t2) {
    return m_->GetRecommendedUtilityForDataExt(t, type, t2);
  };
  EXPECT_STREQ(data_ext(40, ColdSegment, -273.15), "Cooling Water");
  EXPECT_STREQ(data_ext(100, HotSegment, -300), "LP Steam");
  // Outlet - delta-T min must reach t2: LP Steam gives 114, MP Steam 164.
  EXPECT_STREQ(data_ext(100, HotSegment, 150), "MP Steam");
  // An empty AR temperature never matches.
  m_->AddDefaultUtility("S");
  m_->SetStreamType("S", ColdSegment);
  m_->SetValue("S", SimulationUtility, 1.0);
  EXPECT_STREQ(data_ext(40, ColdSegment, -273.15), "Cooling Water");
  m_->SetStreamType("S", HotSegment);
  EXPECT_STREQ(data_ext(100, HotSegment, -300), "LP Steam");
  m_->SetValue("HP Steam", SimulationUtility, 1.0);
  EXPECT_STREQ(data_ext(100, HotSegment, -300), "HP Steam");
  // Nothing usable in either pass: the plain recommendation answers.
  EXPECT_EQ(data_ext(2995, HotSegment, -300), nullptr);
}

TEST_F(UtilitySelectionTest, CallbacksOrderAndFilterLikeTheDatabase) {
  DefaultUtility* lp = m_->GetDefaultUtility(0);
  DefaultUtility* mp = m_->GetDefaultUtility(1);
  EXPECT_EQ(itDefaultUtilityInletTempSort(lp, mp), -1);
  EXPECT_EQ(itDefaultUtilityInletTempSort(mp, lp), 1);
  EXPECT_EQ(itDefaultUtilityInletTempSort(lp, lp), 0);
  EXPECT_EQ(itDefaultUtilityOutletTempSort(lp, mp), 1);
  SegmentHeatType hot = HotSegment;
  EXPECT_EQ(itFindDefaultUtilityStructSHT(lp, &hot), 1);
  EXPECT_EQ(itFindDefaultUtilityStructSHT(m_->GetDefaultUtility(21), &hot), 0);
}

}  // namespace
}  // namespace pemar
