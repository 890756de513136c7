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
};

// The scripts of testdata/selection.csv, one test each.
class UtilitySelectionScript : public testing::ScriptTest {};
TEST_P(UtilitySelectionScript, Runs) { Run("selection.csv", GetParam()); }
INSTANTIATE_TEST_SUITE_P(Picks, UtilitySelectionScript,
                         ::testing::ValuesIn(testing::Scripts("selection.csv")),
                         testing::TableName);

TEST_F(UtilitySelectionTest, BuiltInSetHoldsTheTableInOrderWithItsRanges) {
  const auto rows = testing::Rows("selection.csv", "builtin");
  ASSERT_EQ(m_->GetNumberOfDefaultUtilities(), int(rows.size()));
  for (std::size_t i = 0; i < rows.size(); ++i) {
    EXPECT_STREQ(m_->GetDefaultUtilityName(i), rows[i][0].c_str());
    ExpectRange(rows[i][0].c_str(), std::stod(rows[i][1]),
                std::stod(rows[i][2]));
  }
  DefaultManager empty;
  EXPECT_EQ(empty.GetRecommendedUtilityForDataExt(40, ColdSegment, -300),
            nullptr);
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
  Run("selection.csv", "undefined");
  for (double t : {-200.0, 40.0, 100.0, 500.0}) {
    for (SegmentHeatType type : {HotSegment, ColdSegment}) {
      for (const char* name :
           {m_->GetRecommendedUtilityName(t, type, nullptr),
            m_->GetMostEconomicalUtilityName(t, type),
            m_->GetRecommendedUtilityForDataExt(t, type, -300)}) {
        EXPECT_STRNE(name ? name : "", "X");
      }
    }
  }
}

// The answer is about the caller's list, which may hold earlier entries.
TEST_F(UtilitySelectionTest, UsableListIsAppendedToTheCallersList) {
  CVList list;
  list.push_back(nullptr);
  EXPECT_EQ(m_->GetUsableUtilList(kEmptyValue, HotSegment, &list), 0);
  EXPECT_EQ(m_->GetUsableUtilList(40, UndefinedSegment, &list), 0);
  EXPECT_EQ(list.size(), 1u);
  EXPECT_EQ(m_->GetUsableUtilList(40, ColdSegment, nullptr), 0);
  list.clear();
  EXPECT_EQ(m_->GetUsableUtilList(40, ColdSegment, &list), 1);
  EXPECT_EQ(list.size(), 6u);
  EXPECT_STREQ(static_cast<DefaultUtility*>(list[0])->GetUtilityName(),
               "Cooling Water");
  EXPECT_EQ(m_->GetUsableUtilList(3500, HotSegment, &list), 1);
  list.clear();
  EXPECT_EQ(m_->GetUsableUtilList(3500, HotSegment, &list), 0);
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
