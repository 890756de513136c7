#include "pemar/utility/UtilitySelection.h"

#include <gtest/gtest.h>

#include <memory>

#include "pemar/framework/ConfigStore.h"
#include "pemar/framework/Messages.h"
#include "pemar/framework/Platform.h"
#include "pemar/utility/DefaultManager.h"
#include "pemar/utility/testing/UtilityTestFiles.h"

namespace pemar {
namespace {

class UtilitySelectionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetConfigStore();
    SetExecutableFolder(dir_.Folder());
    m_.reset(static_cast<DefaultManager*>(CreateDefaultUtilManager()));
  }
  void TearDown() override { SetExecutableFolder(""); }

  void ExpectRange(const char* name, double low, double high) {
    EXPECT_DOUBLE_EQ(m_->GetValue(name, ARTempLow), low) << name;
    EXPECT_DOUBLE_EQ(m_->GetValue(name, ARTempHigh), high) << name;
  }

  testing::ScratchDir dir_;
  RecordingMessageSink sink_;
  ScopedMessageSink scoped_{&sink_};
  std::unique_ptr<DefaultManager> m_;
};

// --- Boundaries --------------------------------------------------------------

TEST_F(UtilitySelectionTest, EmptyTemperatureOrUndefinedTypeSelectsNothing) {
  CVList list;
  list.push_back(nullptr);
  EXPECT_EQ(m_->GetUsableUtilList(kEmptyValue, HotSegment, &list), 0);
  EXPECT_EQ(m_->GetUsableUtilList(40, UndefinedSegment, &list), 0);
  EXPECT_EQ(list.size(), 1u);
  EXPECT_EQ(m_->GetUsableUtilList(40, ColdSegment, nullptr), 0);
  EXPECT_EQ(m_->GetRecommendedUtilityName(40, UndefinedSegment, nullptr),
            nullptr);
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
  EXPECT_STREQ(m_->GetRecommendedUtilityName(44.5, ColdSegment, nullptr),
               "Air");
  EXPECT_STREQ(m_->GetRecommendedUtilityName(115.5, HotSegment, nullptr),
               "LP Steam");
  EXPECT_STREQ(m_->GetRecommendedUtilityName(115.6, HotSegment, nullptr),
               "MP Steam");
  EXPECT_EQ(m_->GetRecommendedUtilityName(3000, ColdSegment, nullptr), nullptr);
  EXPECT_EQ(m_->GetRecommendedUtilityName(-273.15, HotSegment, nullptr),
            nullptr);
  EXPECT_EQ(m_->GetRecommendedUtilityName(2995, HotSegment, nullptr), nullptr);
}

// --- AR ranges ---------------------------------------------------------------

TEST_F(UtilitySelectionTest, BuiltInTableGivesTheDocumentedRanges) {
  ExpectRange("Refrigerant 4 Generation", -273.15, -103.5);
  ExpectRange("Refrigerant 3 Generation", -103.5, -65.5);
  ExpectRange("Refrigerant 2 Generation", -65.5, -41.5);
  ExpectRange("Refrigerant 1 Generation", -41.5, -26.5);
  ExpectRange("LP Steam", -26.5, 115.5);
  ExpectRange("MP Steam", 115.5, 165.5);
  ExpectRange("HP Steam", 165.5, 240.5);
  ExpectRange("Hot Oil", 240.5, 275.5);
  ExpectRange("Fired Heat (1000)", 275.5, 975.5);
  ExpectRange("Fired Heat (2000)", 975.5, 1970.5);
  ExpectRange("Very High Temperature", 1970.5, 2990.5);
  ExpectRange("HP Steam Generation", 259.5, 3000);
  ExpectRange("MP Steam Generation", 184.5, 259.5);
  ExpectRange("LP Steam Generation", 134.5, 184.5);
  ExpectRange("Air", 44.5, 134.5);
  ExpectRange("Cooling Water", 29.5, 44.5);
  ExpectRange("Refrigerant 1", -21.5, 29.5);
  ExpectRange("Refrigerant 2", -36.5, -21.5);
  ExpectRange("Refrigerant 3", -62.5, -36.5);
  ExpectRange("Refrigerant 4", -100.5, -62.5);
  ExpectRange("Very Low Temperature", -267.5, -100.5);
  ExpectRange("Power", kEmptyValue, kEmptyValue);
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
      const char* names[] = {
          m_->GetRecommendedUtilityName(t, type, nullptr),
          m_->GetMostEconomicalUtilityName(t, type),
          m_->GetRecommendedUtilityForDataExt(t, type, -300)};
      for (const char* name : names) {
        if (name) {
          EXPECT_STRNE(name, "X");
        }
      }
    }
  }
}

// --- Selection ---------------------------------------------------------------

TEST_F(UtilitySelectionTest, RecommendationFollowsListOrderAndExchanger) {
  EXPECT_STREQ(m_->GetRecommendedUtilityName(40, ColdSegment, nullptr),
               "Cooling Water");
  EXPECT_STREQ(m_->GetRecommendedUtilityName(100, ColdSegment, nullptr), "Air");
  EXPECT_STREQ(m_->GetRecommendedUtilityName(100, ColdSegment, "Air Cooler"),
               "Air");
  EXPECT_EQ(m_->GetRecommendedUtilityName(100, ColdSegment, "Shell & Tube"),
            nullptr);
  EXPECT_STREQ(m_->GetRecommendedUtilityName(500, HotSegment, "Fired Heater"),
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
  EXPECT_STREQ(m_->GetRecommendedUtilityForDataExt(40, ColdSegment, -273.15),
               "Cooling Water");
  EXPECT_STREQ(m_->GetRecommendedUtilityForDataExt(100, HotSegment, -300),
               "LP Steam");
  // Outlet - delta-T min must reach t2: LP Steam gives 114, MP Steam 164.
  EXPECT_STREQ(m_->GetRecommendedUtilityForDataExt(100, HotSegment, 150),
               "MP Steam");
  m_->SetValue("HP Steam", SimulationUtility, 1.0);
  EXPECT_STREQ(m_->GetRecommendedUtilityForDataExt(100, HotSegment, -300),
               "HP Steam");
  // Nothing usable in either pass: the plain recommendation answers.
  EXPECT_EQ(m_->GetRecommendedUtilityForDataExt(2995, HotSegment, -300),
            nullptr);
}

TEST_F(UtilitySelectionTest, EmptyARTemperatureNeverMatchesInDataExtraction) {
  m_->AddDefaultUtility("S");
  m_->SetStreamType("S", ColdSegment);
  m_->SetValue("S", SimulationUtility, 1.0);
  EXPECT_STREQ(m_->GetRecommendedUtilityForDataExt(40, ColdSegment, -273.15),
               "Cooling Water");
  m_->SetStreamType("S", HotSegment);
  EXPECT_STREQ(m_->GetRecommendedUtilityForDataExt(100, HotSegment, -300),
               "LP Steam");
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
