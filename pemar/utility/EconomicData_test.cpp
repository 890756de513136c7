#include "pemar/utility/EconomicData.h"

#include <gtest/gtest.h>

#include <memory>

#include "pemar/framework/ConfigStore.h"
#include "pemar/framework/Platform.h"
#include "pemar/utility/DefaultManager.h"
#include "pemar/utility/testing/UtilityTestFiles.h"

namespace pemar {
namespace {

class EconomicDataTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetConfigStore();
    SetExecutableFolder(dir_.Folder());
    m_.reset(static_cast<DefaultManager*>(CreateDefaultUtilManager()));
  }
  void TearDown() override { SetExecutableFolder(""); }

  testing::ScratchDir dir_;
  std::unique_ptr<DefaultManager> m_;
};

TEST_F(EconomicDataTest, NullNamesAndBadIndexesChangeNothing) {
  EXPECT_EQ(m_->SetEconomicData(EconomicCoefficient0, 1.0, nullptr), 0);
  EXPECT_EQ(m_->GetEconomicData(EconomicCoefficient0, nullptr), 0.0);
  EXPECT_EQ(m_->AddEconomicData(nullptr), 0);
  EXPECT_EQ(m_->DeleteEconomicData(nullptr), 0);
  EXPECT_EQ(m_->GetEconomicDataName(-1), nullptr);
  EXPECT_EQ(m_->GetEconomicDataName(1), nullptr);
  EXPECT_EQ(m_->GetEconomicDataPointer(nullptr), m_->GetEconomicDataPointer());
  EconomicInfo info;
  EXPECT_EQ(info.GetEconomicInfo(EconomicCoefficient0), 0.0);
  EXPECT_EQ(m_->GetNumberOfEconomicData(), 1);
}

TEST_F(EconomicDataTest, ReplacingARecordWithItselfKeepsIt) {
  m_->SetEconomicInfo(m_->GetEconomicInfoPointer());
  m_->SetEconomicData(m_->GetEconomicDataPointer());
  m_->AddEconomicData("Plate");
  m_->SetEconomicDataDict(m_->GetEconomicDataDict());
  m_->SetEconomicDataList(m_->GetEconomicDataList());
  EXPECT_EQ(m_->GetEconomicData(EconomicOperatingHours, "DEFAULT"), 8765.76);
  EXPECT_EQ(m_->GetEconomicData(EconomicCoefficient2, "DEFAULT"), 1.0);
  EXPECT_STREQ(m_->GetEconomicDataName(1), "PLATE");
  m_->SetEconomicInfo(new EconomicInfo);
  EXPECT_EQ(m_->GetEconomicData(EconomicOperatingHours, ""), 0.0);
}

TEST_F(EconomicDataTest, NewDatabaseHasTheDefaultFigures) {
  EXPECT_EQ(m_->GetEconomicData(EconomicOperatingHours, "DEFAULT"), 8765.76);
  EXPECT_EQ(m_->GetEconomicData(EconomicParameter3, "anything"), 0.1);
  EXPECT_EQ(m_->GetEconomicData(EconomicParameter4, "default"), 5.0);
  EXPECT_EQ(m_->GetEconomicData(EconomicCoefficient2, ""), 1.0);
  EXPECT_EQ(m_->GetEconomicData(EconomicCoefficient0, "DEFAULT"), 0.0);
  EXPECT_EQ(m_->GetNumberOfEconomicData(), 1);
  EXPECT_STREQ(m_->GetEconomicDataName(0), "DEFAULT");
  EXPECT_EQ(m_->isEconomicDataValid(0), 1);
  EXPECT_EQ(m_->isEconomicDataValid(1), 1);
  EXPECT_EQ(m_->isEconomicDataValid(7), 1);
  EXPECT_EQ(m_->GetVariableStatus(EconomicCoefficient0), 1);
  DefaultManager bare;
  EXPECT_EQ(bare.isEconomicDataValid(1), 0);
  EXPECT_EQ(bare.GetVariableStatus(EconomicParameter3), 0);
  EXPECT_EQ(bare.SetEconomicData(EconomicParameter3, 1.0, "X"), 0);
}

TEST_F(EconomicDataTest, NamedSetsAreKeyedInUpperCase) {
  EXPECT_EQ(m_->AddEconomicData("Shell & Tube"), 1);
  EXPECT_STREQ(m_->GetEconomicDataName(1), "SHELL & TUBE");
  EXPECT_EQ(m_->AddEconomicData("shell & TUBE"), 0);
  EXPECT_EQ(m_->AddEconomicData("default"), 0);
  EXPECT_EQ(m_->SetEconomicData(EconomicCoefficient1, 3.0, "shell & tube"), 1);
  EXPECT_EQ(m_->GetEconomicData(EconomicCoefficient1, "Shell & Tube"), 3.0);
  EXPECT_EQ(m_->SetEconomicData(EconomicCoefficient1, 3.0, "Plate"), 0);
  EXPECT_EQ(m_->GetNumberOfEconomicData(), 2);
  // Lookups for deletion and pointers take the name as given.
  EXPECT_EQ(m_->GetEconomicDataPointer("Shell & Tube"),
            m_->GetEconomicDataPointer());
  EXPECT_NE(m_->GetEconomicDataPointer("SHELL & TUBE"),
            m_->GetEconomicDataPointer());
  EXPECT_EQ(m_->DeleteEconomicData("Shell & Tube"), 0);
  EXPECT_EQ(m_->DeleteEconomicData("SHELL & TUBE"), 1);
  EXPECT_EQ(m_->GetNumberOfEconomicData(), 1);
}

TEST_F(EconomicDataTest, SwitchAndInfoTypesGoToTheirRecords) {
  EXPECT_EQ(m_->SetEconomicData(EconomicSwitch, 0.3, "DEFAULT"), 1);
  EXPECT_EQ(m_->GetEconomicData(EconomicSwitch, "DEFAULT"), 1.0);
  EXPECT_EQ(m_->SetEconomicData(EconomicSwitch, 0.0, "DEFAULT"), 1);
  EXPECT_EQ(m_->GetEconomicData(EconomicSwitch, "DEFAULT"), 0.0);
  m_->AddEconomicData("Plate");
  EXPECT_EQ(m_->SetEconomicData(EconomicParameter4, 7.0, "Plate"), 1);
  EXPECT_EQ(m_->GetEconomicData(EconomicParameter4, "DEFAULT"), 7.0);
  EXPECT_EQ(m_->SetEconomicData(EconomicParameter4, 7.0, "Nowhere"), 1);
}

TEST_F(EconomicDataTest, LockFreezesValuesAndMembership) {
  m_->AddEconomicData("Plate");
  m_->Lock();
  EXPECT_EQ(m_->SetEconomicData(EconomicCoefficient0, 5.0, "DEFAULT"), 0);
  EXPECT_EQ(m_->SetEconomicData(EconomicCoefficient0, 5.0, "Plate"), 0);
  EXPECT_EQ(m_->SetEconomicData(EconomicOperatingHours, 1.0, "DEFAULT"), 0);
  EXPECT_EQ(m_->GetVariableStatus(EconomicCoefficient0), 2);
  EXPECT_EQ(m_->GetVariableStatus(EconomicOperatingHours), 2);
  EXPECT_EQ(m_->AddEconomicData("Other"), 0);
  EXPECT_EQ(m_->DeleteEconomicData("PLATE"), 0);
  m_->Unlock();
  EXPECT_EQ(m_->SetEconomicData(EconomicCoefficient0, 5.0, "DEFAULT"), 1);
  EXPECT_EQ(m_->GetVariableStatus(EconomicCoefficient0), 1);
  EXPECT_EQ(m_->DeleteEconomicData("PLATE"), 1);
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
  std::string path = dir_.Path("econ.bin");
  ASSERT_TRUE(testing::WriteChunked(path, [](IPemarBinaryFile* f) {
    ChunkHeader* h = nullptr;
    bool ok = f->CreateChunk(&h, 2) && f->Write(0.5) && f->Write(6.0) &&
              f->Write(static_cast<unsigned char>(1));
    ok = f->CloseChunk(h) && ok;
    ChunkHeader* d = nullptr;
    CVString name = "plate";
    const double c[3] = {1, 2, 3};
    ok = ok && f->CreateChunk(&d, 1) && WriteCVString(f, &name) &&
         f->Write(c, 3);
    return f->CloseChunk(d) && ok;
  }));
  PemarBinaryFile file(path.c_str());
  EconomicInfo info;
  ASSERT_TRUE(info.Recall(&file));
  EXPECT_EQ(info.GetEconomicInfo(EconomicOperatingHours), 8765.76);
  EXPECT_EQ(info.GetEconomicInfo(EconomicParameter4), 6.0);
  EXPECT_TRUE(info.IsLocked());
  EconomicData data;
  data.SetEconomicData(EconomicSwitch, 1.0);
  ASSERT_TRUE(data.Recall(&file));
  EXPECT_EQ(*data.GetExchangerType(), "plate");
  EXPECT_EQ(data.GetEconomicData(EconomicCoefficient2), 3.0);
  EXPECT_EQ(data.GetEconomicData(EconomicSwitch), 1.0);
  EXPECT_FALSE(data.IsLocked());
  EXPECT_FALSE(data.Recall(&file));  // nothing left
  EXPECT_EQ(*data.GetExchangerType(), "plate");
}

}  // namespace
}  // namespace pemar
