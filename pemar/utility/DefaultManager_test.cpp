#include "pemar/utility/DefaultManager.h"

#include <gtest/gtest.h>

#include "pemar/utility/testing/UtilityTest.h"

namespace pemar {
namespace {

constexpr int kAir = 12;  // position of "Air" in the built-in set

class DefaultManagerTest : public testing::UtilityTest {};

// --- Boundaries and refusals -------------------------------------------------

TEST_F(DefaultManagerTest, NullNamesMatchNothing) {
  const char* none = nullptr;
  EXPECT_EQ(m_->Exists(nullptr), 0);
  EXPECT_EQ(m_->AddDefaultUtility(nullptr), 0);
  EXPECT_EQ(m_->RenameDefaultUtility("Air", nullptr), 0);
  EXPECT_EQ(m_->RenameDefaultUtility(nullptr, "X"), 0);
  EXPECT_EQ(m_->RemoveDefaultUtility(nullptr), 0);
  EXPECT_EQ(m_->CloneDefaultUtility(nullptr), 0);
  EXPECT_EQ(m_->SetValue(none, UtilityCost, 1.0), 1);
  EXPECT_EQ(m_->GetValue(none, UtilityCost), kEmptyValue);
  EXPECT_EQ(m_->CompareComp(nullptr, "H2O", 1.0), 0);
  EXPECT_EQ(m_->GetExchangerType(none), nullptr);
  EXPECT_EQ(m_->SetStreamType(nullptr, HotSegment), 0);
  EXPECT_EQ(m_->SetExchangerType(none, "X"), nullptr);
  m_->AddCompInfoToUtility(nullptr, 0, nullptr, nullptr);
  SetCompInfoForUtility(nullptr, "Air", 0, nullptr, nullptr);
  ReleaseDefaultUtilManager(nullptr);
  EXPECT_EQ(m_->GetNumberOfDefaultUtilities(), 22);
  EXPECT_EQ(receiver_->Log(), "");
}

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

// The tables of value edits are in testdata/edits.csv.
TEST_F(DefaultManagerTest, TemperatureEditsFollowTheHeatType) {
  Apply("temperature");
  for (const char* key : {"ColdStreamInletTemperatureUpdateError",
                          "ColdStreamOutletTemperatureUpdateError",
                          "HotStreamInletTemperatureUpdateError",
                          "HotStreamOutletTemperatureUpdateError"}) {
    EXPECT_TRUE(sink_.Has(MessageKind::kError, key)) << key;
  }
  EXPECT_EQ(receiver_->Log(), "Changed(hi)*");
}

TEST_F(DefaultManagerTest, NewUtilityBecomesHotOrColdFromItsTemperatures) {
  ASSERT_EQ(m_->AddDefaultUtility("X"), 1);
  ASSERT_EQ(m_->AddDefaultUtility("Y"), 1);
  EXPECT_EQ(m_->SetExchangerType("Y", "Air Cooler"), nullptr);  // undefined
  Apply("new-type");
  EXPECT_TRUE(sink_.Has(MessageKind::kError, "AirCoolerNotValidOnHotUtility"));
}

TEST_F(DefaultManagerTest, ARTemperatureEditsStayInsideTheUtility) {
  ASSERT_EQ(m_->AddDefaultUtility("U"), 1);
  receiver_->Clear();
  m_->SetStreamType("Power", HotSegment);
  Apply("ar");
  EXPECT_EQ(receiver_->Count("Changed"), 0);
}

TEST_F(DefaultManagerTest, SmallDeltaTminIsWarnedAboutAndKept) {
  Apply("delta-t");
  EXPECT_EQ(receiver_->Log(), "Error(DeltaTMinWarning)* Changed(hi)*");
}

TEST_F(DefaultManagerTest, PropertiesMustBePositive) { Apply("properties"); }

TEST_F(DefaultManagerTest, FlagsCutNonFiniteValuesSafely) {
  Apply("flags");
  m_->SetValue("Air", SimulationUtility, 1.0);
  EXPECT_EQ(m_->GetNumberOfSimulationUtilities(), 1);
  EXPECT_EQ(m_->AmISimulationUtility(kAir), 1);
  EXPECT_EQ(m_->GetValue("Air", SimulationUtility), 0.0);
  m_->SetValue("Air", SimulationUtility, 2.0);
  EXPECT_EQ(m_->GetNumberOfSimulationUtilities(), 0);
  // Setting the flag estimates the coefficient from the properties.
  EXPECT_EQ(m_->SetValue("Cooling Water", HTCCalculated, 1.0), 1);
  EXPECT_NEAR(m_->GetValue("Cooling Water", HeatTransferCoefficient), 3.5, 0.1);
}

TEST_F(DefaultManagerTest, ExchangerTypeRefusalsReturnTheKey) {
  EXPECT_STREQ(m_->SetExchangerType("Cooling Water", "Fired Heater"),
               "FiredHeaterNotValidOnColdUtility");
  EXPECT_STREQ(m_->GetExchangerType("Cooling Water"), "Shell & Tube");
  EXPECT_STREQ(m_->SetExchangerType(0, "Steam Generator"),
               "SteamGeneratorNotValidOnHotUtility");
  EXPECT_EQ(m_->SetExchangerType(0, "Plate"), nullptr);
  EXPECT_STREQ(m_->GetExchangerType(0), "Plate");
  EXPECT_EQ(m_->SetExchangerType(0, nullptr), nullptr);
  EXPECT_EQ(receiver_->Log(), "");
}

// --- The built-in set (names and ranges: UtilitySelection_test) --------------

TEST_F(DefaultManagerTest, BuiltInSetHoldsTheTableValues) {
  Apply("builtin");
  EXPECT_STREQ(m_->GetExchangerType("Power"), "Electricity");
  EXPECT_EQ(m_->CompareComp("Cooling Water", "H2O", 1.0), 1);
  EXPECT_EQ(m_->CompareComp("Air", "Air", 1.0), 1);
  EXPECT_EQ(m_->CompareComp("Air", "H2O", 1.0), 0);
  EXPECT_EQ(m_->GetDefaultUtility(3)->GetComponentCount(), 0);  // Hot Oil
  EXPECT_EQ(m_->GetNumberOfSimulationUtilities(), 0);
  EXPECT_EQ(m_->GetMode(), 0);
}

// --- Edits and their notifications ------------------------------------------

TEST_F(DefaultManagerTest, AddIsAnnouncedOnceWithoutDatabaseChanged) {
  EXPECT_EQ(m_->AddDefaultUtility("X"), 1);
  EXPECT_EQ(m_->AddDefaultUtility("X"), 0);
  EXPECT_EQ(receiver_->Log(), "Added(X)");
  EXPECT_EQ(
      testing::Fields(*m_->GetDefaultUtility(22)),
      "X | -32767 -32767 -32767 0 -32767 -32767 2 -32767 | Shell & Tube | "
      "-32767 -32767 -32767 -32767 | | 5.589e-05 76 1 1 1 0");
}

TEST_F(DefaultManagerTest, RemoveAndRenameSendCopiesOfTheNames) {
  // The names passed are the records' own texts.
  EXPECT_EQ(m_->RemoveDefaultUtility(m_->GetDefaultUtilityName(0)), 1);
  EXPECT_EQ(m_->RenameDefaultUtility(m_->GetDefaultUtilityName(0), "X"), 1);
  EXPECT_EQ(m_->RemoveDefaultUtility("LP Steam"), 0);
  EXPECT_EQ(m_->RenameDefaultUtility("Air", "Cooling Water"), 0);
  EXPECT_EQ(m_->RenameDefaultUtility("Nowhere", "Z"), 0);
  EXPECT_EQ(receiver_->Log(),
            "Removed(LP Steam) Changed(hi)* Renamed(MP Steam)->X Changed(hi)*");
  EXPECT_EQ(m_->Exists("X"), 1);
  EXPECT_EQ(m_->Exists("MP Steam"), 0);
}

TEST_F(DefaultManagerTest, RestoreAnnouncesEveryRemovalByName) {
  m_->AddDefaultUtility("Extra");
  m_->SetValue("Air", UtilityCost, 7.0);
  receiver_->Clear();
  EXPECT_EQ(m_->RestoreDefaultUtilities(), 1);
  // In list order, the added one last, each followed by the broadcast.
  EXPECT_EQ(receiver_->Count("Removed("), 23);
  EXPECT_EQ(receiver_->Log().find("Removed(LP Steam) Changed(hi)* "), 0u);
  EXPECT_TRUE(receiver_->Log().ends_with(
      "Removed(Power) Changed(hi)* Removed(Extra) Changed(hi)*"));
  EXPECT_EQ(m_->GetNumberOfDefaultUtilities(), 22);
  EXPECT_EQ(m_->GetValue("Air", UtilityCost), 1e-09);
  EXPECT_EQ(m_->CompareComp("Air", "Air", 1.0), 1);
}

TEST_F(DefaultManagerTest, ClonesGetNumberedNamesWithoutComposition) {
  EXPECT_EQ(m_->CloneDefaultUtility("LP Steam"), 1);
  EXPECT_EQ(m_->CloneDefaultUtility("LP Steam"), 1);
  EXPECT_STREQ(m_->GetDefaultUtilityName(22), "LP Steam - 1");
  EXPECT_STREQ(m_->GetDefaultUtilityName(23), "LP Steam - 2");
  EXPECT_EQ(m_->GetDefaultUtility(22)->GetComponentCount(), 0);
  EXPECT_EQ(m_->GetValue("LP Steam - 2", InletTemperature), 125);
  EXPECT_EQ(
      receiver_->Log(),
      "Added(LP Steam - 1) Changed(hi)* Added(LP Steam - 2) Changed(hi)*");
  // A percent sign in a name is text, never a format.
  m_->AddDefaultUtility("50%s steam");
  EXPECT_EQ(m_->CloneDefaultUtility("50%s steam"), 1);
  EXPECT_EQ(m_->Exists("50%s steam - 1"), 1);
}

TEST_F(DefaultManagerTest, ModeHoldsBackTheBroadcastUntilReset) {
  m_->SetMode(1);
  EXPECT_EQ(m_->SetValue("Air", UtilityCost, 2.0), 1);
  EXPECT_EQ(m_->SetValue("Air", HeatTransferCoefficient, 0.2), 1);
  EXPECT_EQ(receiver_->Log(), "");
  m_->SetMode(0);
  EXPECT_EQ(receiver_->Log(), "Changed(hi)*");
  // Fuel fields and properties change silently.
  receiver_->Clear();
  m_->SetValue("Air", FuelSourceID, 3);
  m_->SetValue("Air", Viscosity, 3);
  EXPECT_EQ(receiver_->Log(), "");
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

TEST_F(DefaultManagerTest, CompositionGoesThroughTheExportedFunction) {
  char n2[] = "N2";
  char o2[] = "O2";
  char* names[] = {n2, o2};
  double fractions[] = {0.79, 0.21};
  SetCompInfoForUtility(m_.get(), "Air", 2, names, fractions);
  EXPECT_EQ(m_->CompareComp("Air", "O2", 0.21), 1);
  EXPECT_EQ(m_->CompareComp("Air", "Air", 1.0), 0);
  SetCompInfoForUtility(m_.get(), "Air", -3, names, fractions);
  EXPECT_EQ(m_->GetDefaultUtility(kAir)->GetComponentCount(), 0);
}

}  // namespace
}  // namespace pemar
