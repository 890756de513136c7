#include "pemar/utility/EconomicData.h"

#include <gtest/gtest.h>

#include "pemar/utility/testing/UtilityTest.h"

namespace pemar {
namespace {

class EconomicDataTest : public testing::UtilityTest {};

// Null names and bad indexes change nothing.
TEST_F(EconomicDataTest, NewDatabaseHasTheDefaultSetOnly) {
  EXPECT_EQ(m_->SetEconomicData(EconomicCoefficient0, 1, nullptr), 0);
  EXPECT_EQ(m_->GetEconomicData(EconomicCoefficient0, nullptr), 0);
  EXPECT_EQ(m_->AddEconomicData(nullptr), 0);
  EXPECT_EQ(m_->DeleteEconomicData(nullptr), 0);
  EXPECT_EQ(m_->GetEconomicDataName(-1), nullptr);
  EXPECT_EQ(m_->GetEconomicDataName(1), nullptr);
  EXPECT_EQ(m_->GetEconomicData(EconomicOperatingHours, "DEFAULT"), 8765.76);
  EXPECT_EQ(m_->GetEconomicData(EconomicParameter3, "anything"), 0.1);
  EXPECT_EQ(m_->GetEconomicData(EconomicParameter4, "default"), 5);
  EXPECT_EQ(m_->GetEconomicData(EconomicCoefficient2, ""), 1);
  EXPECT_EQ(m_->GetNumberOfEconomicData(), 1);
  EXPECT_STREQ(m_->GetEconomicDataName(0), "DEFAULT");
  for (int which : {0, 1, 7}) EXPECT_EQ(m_->isEconomicDataValid(which), 1);
  EXPECT_EQ(m_->GetVariableStatus(EconomicCoefficient0), 1);
  DefaultManager bare;
  EXPECT_EQ(bare.isEconomicDataValid(1), 0);
  EXPECT_EQ(bare.GetVariableStatus(EconomicParameter3), 0);
  EXPECT_EQ(bare.SetEconomicData(EconomicParameter3, 1, "X"), 0);
  EXPECT_EQ(m_->GetEconomicDataPointer(nullptr), m_->GetEconomicDataPointer());
  EXPECT_EQ(EconomicInfo().GetEconomicInfo(EconomicCoefficient0), 0.0);
}

TEST_F(EconomicDataTest, NamedSetsAreKeyedInUpperCase) {
  EXPECT_EQ(m_->AddEconomicData("Shell & Tube"), 1);
  EXPECT_STREQ(m_->GetEconomicDataName(1), "SHELL & TUBE");
  EXPECT_EQ(m_->AddEconomicData("shell & TUBE"), 0);
  EXPECT_EQ(m_->AddEconomicData("default"), 0);
  EXPECT_EQ(m_->SetEconomicData(EconomicCoefficient1, 3, "Plate"), 0);
  EXPECT_EQ(m_->DeleteEconomicData("Shell & Tube"), 0);
  EXPECT_EQ(m_->DeleteEconomicData("SHELL & TUBE"), 1);
  EXPECT_EQ(m_->GetNumberOfEconomicData(), 1);
}

TEST_F(EconomicDataTest, LockFreezesValuesAndMembership) {
  EXPECT_EQ(m_->AddEconomicData("Plate"), 1);
  m_->Lock();
  EXPECT_EQ(m_->SetEconomicData(EconomicCoefficient0, 5, "DEFAULT"), 0);
  EXPECT_EQ(m_->SetEconomicData(EconomicCoefficient0, 5, "Plate"), 0);
  EXPECT_EQ(m_->SetEconomicData(EconomicOperatingHours, 1, "DEFAULT"), 0);
  EXPECT_EQ(m_->GetVariableStatus(EconomicCoefficient0), 2);
  EXPECT_EQ(m_->GetVariableStatus(EconomicOperatingHours), 2);
  EXPECT_EQ(m_->AddEconomicData("Other"), 0);
  EXPECT_EQ(m_->DeleteEconomicData("PLATE"), 0);
  m_->Unlock();
  EXPECT_EQ(m_->SetEconomicData(EconomicCoefficient0, 5, "DEFAULT"), 1);
  EXPECT_EQ(m_->GetVariableStatus(EconomicCoefficient0), 1);
  EXPECT_EQ(m_->DeleteEconomicData("PLATE"), 1);
}

TEST_F(EconomicDataTest, ReplacingARecordWithItselfKeepsIt) {
  m_->SetEconomicInfo(m_->GetEconomicInfoPointer());
  m_->SetEconomicData(m_->GetEconomicDataPointer());
  m_->AddEconomicData("Plate");
  m_->SetEconomicDataDict(m_->GetEconomicDataDict());
  m_->SetEconomicDataList(m_->GetEconomicDataList());
  EXPECT_EQ(m_->GetEconomicData(EconomicOperatingHours, "DEFAULT"), 8765.76);
  EXPECT_EQ(m_->GetEconomicData(EconomicCoefficient2, "DEFAULT"), 1);
  EXPECT_STREQ(m_->GetEconomicDataName(1), "PLATE");
  // Pointer lookups take the name as given.
  EXPECT_EQ(m_->GetEconomicDataPointer("Plate"), m_->GetEconomicDataPointer());
  EXPECT_NE(m_->GetEconomicDataPointer("PLATE"), m_->GetEconomicDataPointer());
  m_->SetEconomicInfo(new EconomicInfo);
  EXPECT_EQ(m_->GetEconomicData(EconomicOperatingHours, ""), 0.0);
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
