#include "pemar/utility/DefaultManager.h"

#include <gtest/gtest.h>

#include "pemar/utility/testing/UtilityTest.h"

namespace pemar {
namespace {

constexpr int kAir = 12;  // position of "Air" in the built-in set

class DefaultManagerTest : public testing::UtilityTest {};

// The scripts of testdata/edits.csv, one test each.
class DefaultManagerScript : public testing::ScriptTest {};
TEST_P(DefaultManagerScript, Runs) { Run("edits.csv", GetParam()); }
INSTANTIATE_TEST_SUITE_P(Edits, DefaultManagerScript,
                         ::testing::ValuesIn(testing::Scripts("edits.csv")),
                         testing::TableName);

TEST_F(DefaultManagerTest, IndexesOutsideTheListGiveEmptyAnswers) {
  for (int i : {-1, 22, 1000}) {
    EXPECT_EQ(m_->GetDefaultUtility(i), nullptr);
    EXPECT_EQ(m_->GetDefaultUtilityName(i), nullptr);
    EXPECT_EQ(m_->GetRecommendedUtilityName(i), nullptr);
    EXPECT_EQ(m_->GetValue(i), UndefinedSegment);
    EXPECT_EQ(m_->GetValue(i, InletTemperature), kEmptyValue);
    EXPECT_EQ(m_->GetDefaultUtilityInletTemp(i), kEmptyValue);
    EXPECT_EQ(m_->GetDefaultUtilityOutletTemp(i), kEmptyValue);
    EXPECT_EQ(m_->GetDefaultUtilityMassHeatCap(i), kEmptyValue);
    EXPECT_EQ(m_->AmISimulationUtility(i), 0);
    EXPECT_EQ(m_->GetExchangerType(i), nullptr);
    EXPECT_EQ(m_->SetExchangerType(i, "Air Cooler"), nullptr);
  }
  DefaultManager empty;
  EXPECT_EQ(empty.GetNumberOfDefaultUtilities(), 0);
  EXPECT_EQ(empty.GetValue(0), UndefinedSegment);
}

TEST_F(DefaultManagerTest, CompositionGoesThroughTheExportedFunction) {
  m_->AddCompInfoToUtility(nullptr, 0, nullptr, nullptr);
  SetCompInfoForUtility(nullptr, "Air", 0, nullptr, nullptr);
  ReleaseDefaultUtilManager(nullptr);
  char n2[] = "N2";
  char o2[] = "O2";
  char* names[] = {n2, o2};
  double fractions[] = {0.79, 0.21};
  SetCompInfoForUtility(m_.get(), "Air", 2, names, fractions);
  EXPECT_EQ(m_->CompareComp("Air", "O2", 0.21), 1);
  EXPECT_EQ(m_->CompareComp("Air", "Air", 1.0), 0);
  SetCompInfoForUtility(m_.get(), "Air", -3, names, fractions);
  EXPECT_EQ(m_->GetDefaultUtility(kAir)->GetComponentCount(), 0);
  EXPECT_EQ(receiver_->Log(), "");
}

TEST_F(DefaultManagerTest, SettingHTCCalculatedEstimatesTheCoefficient) {
  EXPECT_EQ(m_->SetValue("Cooling Water", HTCCalculated, 1.0), 1);
  EXPECT_NEAR(m_->GetValue("Cooling Water", HeatTransferCoefficient), 3.5, 0.1);
}

TEST_F(DefaultManagerTest, CopyIsIndependentAndHasNoReceivers) {
  DefaultManager& m = *m_;
  m.AddRef();
  m.SetMode(2);
  m.AddEconomicData("Shell & Tube");
  m.SetEconomicData(EconomicCoefficient0, 4.0, "Shell & Tube");
  // A set that only the dictionary holds is copied too.
  m.AddEconomicData("Plate");
  m.SetEconomicData(EconomicCoefficient0, 7.0, "Plate");
  m.SetEconomicDataList(
      new EconomicDataList{m.GetEconomicDataPointer("SHELL & TUBE")});
  {
    DefaultManager copy(m);
    EXPECT_EQ(copy.RefCount(), 0);
    EXPECT_EQ(copy.GetMode(), 2);
    EXPECT_EQ(Save(&copy, UtilitiesOnly), Save(&m, UtilitiesOnly));
    EXPECT_EQ(Save(&copy, HeatTransferCoefficientsOnly),
              Save(&m, HeatTransferCoefficientsOnly));
    EXPECT_EQ(copy.GetEconomicData(EconomicOperatingHours, "DEFAULT"), 8765.76);
    EXPECT_EQ(copy.GetNumberOfEconomicData(), 3);
    EXPECT_EQ(copy.GetEconomicData(EconomicCoefficient0, "shell & tube"), 4.0);
    EXPECT_EQ(copy.GetEconomicData(EconomicCoefficient0, "plate"), 7.0);
    EXPECT_STREQ(copy.GetEconomicDataName(1), "SHELL & TUBE");
    EXPECT_STREQ(copy.GetEconomicDataName(2), "PLATE");
    receiver_->Clear();
    copy.RemoveDefaultUtility("Air");
    copy.SetMode(0);
    EXPECT_EQ(receiver_->Log(), "");
    EXPECT_EQ(copy.NumberOfReceivers(), 0);
  }
  EXPECT_EQ(m.Exists("Air"), 1);
  EXPECT_EQ(m.RefCount(), 1);
  // The last reference going destroys the object; the fixture must not.
  DefaultManager* owned = m_.release();
  receiver_->Detach();
  EXPECT_EQ(owned->Release(), 0);
}

TEST_F(DefaultManagerTest, DestructionAnnouncesSenderDyingLast) {
  receiver_->Clear();
  receiver_->Detach();
  m_.reset();
  EXPECT_EQ(receiver_->Log(), "Dying");
}

}  // namespace
}  // namespace pemar
