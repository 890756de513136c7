#include "pemar/utility/EconomicData.h"

#include <gtest/gtest.h>

#include "pemar/utility/testing/UtilityTest.h"

namespace pemar {
namespace {

class EconomicDataTest : public testing::UtilityTest {};

// The scripts of testdata/economics.csv, one test each.
class EconomicDataScript : public testing::ScriptTest {};
TEST_P(EconomicDataScript, Runs) { Run("economics.csv", GetParam()); }
INSTANTIATE_TEST_SUITE_P(Economics, EconomicDataScript,
                         ::testing::ValuesIn(testing::Scripts("economics.csv")),
                         testing::TableName);

TEST_F(EconomicDataTest, BareDatabaseHasNoFigures) {
  DefaultManager bare;
  Run("economics.csv", "bare", &bare);
  EXPECT_EQ(m_->GetEconomicDataPointer(nullptr), m_->GetEconomicDataPointer());
  EXPECT_EQ(EconomicInfo().GetEconomicInfo(EconomicCoefficient0), 0.0);
}

TEST_F(EconomicDataTest, ReplacingARecordWithItselfKeepsIt) {
  m_->SetEconomicInfo(m_->GetEconomicInfoPointer());
  m_->SetEconomicData(m_->GetEconomicDataPointer());
  m_->AddEconomicData("Plate");
  m_->SetEconomicDataDict(m_->GetEconomicDataDict());
  m_->SetEconomicDataList(m_->GetEconomicDataList());
  Run("economics.csv", "replaced");
  // Pointer lookups take the name as given.
  EXPECT_EQ(m_->GetEconomicDataPointer("Plate"), m_->GetEconomicDataPointer());
  EXPECT_NE(m_->GetEconomicDataPointer("PLATE"), m_->GetEconomicDataPointer());
  m_->SetEconomicInfo(new EconomicInfo);
  EXPECT_EQ(m_->GetEconomicData(EconomicOperatingHours, ""), 0.0);
}

TEST_F(EconomicDataTest, RecordsCheckValidityAndCopyDeeply) {
  EconomicData data;
  EXPECT_EQ(data.IsValid(), 0);
  data.SetEconomicData(EconomicCoefficient1, 1e-8);
  EXPECT_EQ(data.IsValid(), 1);
  data.SetExchangerType("PLATE");
  EconomicData copy(data);
  data.SetExchangerType("OTHER");
  EXPECT_EQ(*copy.GetExchangerType(), "PLATE");
  EXPECT_EQ(copy.GetEconomicData(EconomicCoefficient1), 1e-8);
  EXPECT_EQ(copy.GetEconomicData(EconomicParameter3), 0.0);
  EconomicInfo info;
  EXPECT_EQ(info.IsValid(), 0);
  info.SetEconomicInfo(EconomicParameter4, 1.0);
  EXPECT_EQ(info.IsValid(), 1);
}

TEST_F(EconomicDataTest, OlderRevisionsReadOnlyTheirItems) {
  EconomicInfo info;
  EconomicData data;
  data.SetEconomicData(EconomicSwitch, 1.0);
  const std::string bytes = testing::Golden("economics_old_revisions");
  ASSERT_TRUE(Unchunked(bytes, [&](IPemarBinaryFile* f) {
    EXPECT_TRUE(info.Recall(f));
    EXPECT_TRUE(data.Recall(f));
    EXPECT_FALSE(data.Recall(f));  // nothing left
    return true;
  }));
  EXPECT_EQ(info.GetEconomicInfo(EconomicOperatingHours), 8765.76);
  EXPECT_EQ(info.GetEconomicInfo(EconomicParameter4), 6.0);
  EXPECT_TRUE(info.IsLocked());
  EXPECT_EQ(*data.GetExchangerType(), "plate");
  EXPECT_EQ(data.GetEconomicData(EconomicCoefficient2), 3.0);
  EXPECT_EQ(data.GetEconomicData(EconomicSwitch), 1.0);
  EXPECT_FALSE(data.IsLocked());
}

}  // namespace
}  // namespace pemar
