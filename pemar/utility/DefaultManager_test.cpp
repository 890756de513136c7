#include "pemar/utility/DefaultManager.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <limits>
#include <string>

#include "pemar/utility/testing/UtilityTest.h"

namespace pemar {
namespace {

constexpr int kAir = 12;  // position of "Air" in the built-in set

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

class DefaultManagerTest : public testing::UtilityTest {
 protected:
  // Edits of one value each, with the answer SetValue must give.
  struct Edit {
    const char* name;
    DefaultUtilityParameter parameter;
    double value;
    int answer;
  };
  void ExpectEdits(std::initializer_list<Edit> edits) {
    for (const Edit& e : edits) {
      EXPECT_EQ(m_->SetValue(e.name, e.parameter, e.value), e.answer)
          << e.name << " " << e.parameter << " " << e.value;
    }
  }
};

TEST_F(DefaultManagerTest, NullNamesAndOutsideIndexesMatchNothing) {
  const char* const none = nullptr;
  EXPECT_EQ(m_->Exists(none), 0);
  EXPECT_EQ(m_->AddDefaultUtility(none), 0);
  EXPECT_EQ(m_->RenameDefaultUtility("Air", none), 0);
  EXPECT_EQ(m_->RenameDefaultUtility(none, "X"), 0);
  EXPECT_EQ(m_->RemoveDefaultUtility(none), 0);
  EXPECT_EQ(m_->CloneDefaultUtility(none), 0);
  EXPECT_EQ(m_->SetValue(none, UtilityCost, 1), 1);
  EXPECT_EQ(m_->GetValue(none, UtilityCost), kEmptyValue);
  EXPECT_EQ(m_->GetExchangerType(none), nullptr);
  EXPECT_EQ(m_->SetStreamType(none, HotSegment), 0);
  EXPECT_EQ(m_->SetExchangerType(none, "X"), nullptr);
  for (int i : {-1, 22, 1000}) {
    EXPECT_EQ(m_->GetDefaultUtility(i), nullptr);
    EXPECT_EQ(m_->GetDefaultUtilityName(i), nullptr);
    EXPECT_EQ(m_->GetValue(i), UndefinedSegment);
    EXPECT_EQ(m_->GetValue(i, InletTemperature), kEmptyValue);
    EXPECT_EQ(m_->GetDefaultUtilityOutletTemp(i), kEmptyValue);
    EXPECT_EQ(m_->AmISimulationUtility(i), 0);
    EXPECT_EQ(m_->GetExchangerType(i), nullptr);
    EXPECT_EQ(m_->SetExchangerType(i, "Air Cooler"), nullptr);
  }
  EXPECT_EQ(m_->GetNumberOfDefaultUtilities(), 22);
  EXPECT_EQ(receiver_->Log(), "");
}

TEST_F(DefaultManagerTest, BuiltInSetHoldsTheTableValues) {
  EXPECT_EQ(m_->GetValue("LP Steam", MassHeatCap), 2196.4);
  EXPECT_STREQ(m_->GetExchangerType("Power"), "Electricity");
  EXPECT_EQ(testing::Fields(*m_->GetDefaultUtility(kAir)),
            "Air | 30 35 0.111 1e-09 134.5 44.5 1 10 | Air Cooler | 1.79e-05 "
            "2.54e-05 1.225 1 | Air:1 | 5.589e-05 76 1 1 1 0");
  EXPECT_EQ(m_->CompareComp("Cooling Water", "H2O", 1), 1);
  // Hot Oil has no composition, so any component matches.
  EXPECT_EQ(m_->CompareComp("Hot Oil", "X", 0.5), 1);
}

TEST_F(DefaultManagerTest, TemperatureEditsFollowTheHeatType) {
  EXPECT_EQ(m_->SetValue("Cooling Water", InletTemperature, 30), 0);
  EXPECT_EQ(m_->GetValue("Cooling Water", InletTemperature), 20);
  ExpectEdits({{"Cooling Water", OutletTemperature, 15, 0},
               {"LP Steam", InletTemperature, 100, 0},
               {"LP Steam", OutletTemperature, 130, 0},
               {"LP Steam", InletTemperature, kNaN, 0},
               {"Cooling Water", InletTemperature, 15, 1}});
  EXPECT_EQ(m_->GetValue("Cooling Water", ARTempLow), 29.5);
  for (const char* key : {"ColdStreamInletTemperatureUpdateError",
                          "ColdStreamOutletTemperatureUpdateError",
                          "HotStreamInletTemperatureUpdateError",
                          "HotStreamOutletTemperatureUpdateError"}) {
    EXPECT_TRUE(sink_.Has(MessageKind::kError, key)) << key;
  }
  EXPECT_EQ(receiver_->Log(), "Changed(hi)*");
}

// Heat types read as numbers: 0 hot, 1 cold, 2 undefined.
TEST_F(DefaultManagerTest, NewUtilityBecomesHotOrColdFromItsTemperatures) {
  EXPECT_EQ(m_->AddDefaultUtility("X"), 1);
  EXPECT_EQ(m_->AddDefaultUtility("Y"), 1);
  EXPECT_EQ(m_->SetExchangerType("Y", "Air Cooler"), nullptr);
  EXPECT_EQ(m_->SetValue("X", InletTemperature, 100), 1);
  EXPECT_EQ(m_->GetValue("X", HeatType), 2);
  EXPECT_EQ(m_->SetValue("X", OutletTemperature, 100), 0);
  EXPECT_EQ(m_->SetValue("X", OutletTemperature, 80), 1);
  EXPECT_EQ(m_->GetValue("X", HeatType), 0);
  // Y's air cooler cannot serve a hot utility.
  EXPECT_EQ(m_->SetValue("Y", InletTemperature, 100), 1);
  EXPECT_EQ(m_->SetValue("Y", OutletTemperature, 80), 0);
  EXPECT_EQ(m_->GetValue("Y", OutletTemperature), kEmptyValue);
  EXPECT_EQ(m_->GetValue("Y", HeatType), 2);
  EXPECT_EQ(m_->SetValue("Y", OutletTemperature, 120), 1);
  EXPECT_EQ(m_->GetValue("Y", HeatType), 1);
  EXPECT_TRUE(sink_.Has(MessageKind::kError, "AirCoolerNotValidOnHotUtility"));
}

// LP Steam: 125 to 124, AR -26.5 to 115.5; Cooling Water: 20 to 25, AR 29.5
// to 44.5; U has no temperatures.
TEST_F(DefaultManagerTest, ARTemperatureEditsStayInsideTheUtility) {
  EXPECT_EQ(m_->AddDefaultUtility("U"), 1);
  m_->SetStreamType("Power", HotSegment);
  receiver_->Clear();
  ExpectEdits({{"LP Steam", ARTempHigh, 130, 0},
               {"LP Steam", ARTempHigh, -30, 0},
               {"LP Steam", ARTempHigh, 120, 1},
               {"LP Steam", ARTempLow, 124, 0},
               {"LP Steam", ARTempLow, 0, 1},
               {"Cooling Water", ARTempHigh, 24, 0},
               {"Cooling Water", ARTempHigh, 50, 1},
               {"Cooling Water", ARTempLow, 19, 0},
               {"Cooling Water", ARTempLow, 21, 1},
               {"U", ARTempHigh, 10, 0},
               {"Power", ARTempLow, 5, 1}});
  EXPECT_EQ(receiver_->Log(), "");
}

TEST_F(DefaultManagerTest, PropertiesMustBePositive) {
  for (auto property : {Viscosity, ThermCond, MassDensity, MassHeatCap}) {
    SCOPED_TRACE(property);
    EXPECT_EQ(m_->SetValue("Air", property, 0), 0);
    EXPECT_EQ(m_->SetValue("Air", property, kNaN), 0);
    EXPECT_EQ(m_->SetValue("Air", property, 2.5), 1);
    EXPECT_EQ(m_->GetValue("Air", property), 2.5);
  }
  // Unknown parameters, the read-only heat type and unknown utilities are
  // accepted and change nothing.
  EXPECT_EQ(m_->SetValue("Air", DefaultUtilityParameter(19), 1), 1);
  EXPECT_EQ(m_->SetValue("Air", HeatType, 0), 1);
  EXPECT_EQ(m_->GetValue("Air", HeatType), 1);
  EXPECT_EQ(m_->SetValue("Nowhere", UtilityCost, 5), 1);
  // A delta-T min under 1 is warned about and not taken.
  EXPECT_EQ(m_->SetValue("Air", DeltaTmin, 0.5), 1);
  EXPECT_EQ(m_->GetValue("Air", DeltaTmin), 10);
  EXPECT_TRUE(receiver_->Log().starts_with("Error(DeltaTMinWarning)*"));
}

// A flag takes the whole part of the value: NaN and infinity clear it.
TEST_F(DefaultManagerTest, FlagsCutNonFiniteValuesSafely) {
  const struct {
    DefaultUtilityParameter flag;
    double value, read;
  } flags[] = {{GlobalSetting, kNaN, 0},
               {GlobalSetting, 1e300, 1},
               {GlobalSetting, 0.5, 0},
               {HTCCalculated, 1e300, 1},
               {HTCCalculated, std::numeric_limits<double>::infinity(), 0}};
  for (const auto& f : flags) {
    m_->SetValue("Air", f.flag, f.value);
    EXPECT_EQ(m_->GetValue("Air", f.flag), f.read) << f.flag << " " << f.value;
  }
}

// A refusal returns the message key, reports it and keeps the old type.
TEST_F(DefaultManagerTest, ExchangerTypeMustSuitTheHeatType) {
  EXPECT_EQ(m_->AddDefaultUtility("U"), 1);  // of no heat type yet
  const struct {
    const char *name, *type, *refusal;
  } checks[] = {
      {"Cooling Water", "Fired Heater", "FiredHeaterNotValidOnColdUtility"},
      {"Cooling Water", "Steam Reboiler", "SteamReboilerNotValidOnColdUtility"},
      {"Cooling Water", "Air Cooler", nullptr},
      {"LP Steam", "Air Cooler", "AirCoolerNotValidOnHotUtility"},
      {"LP Steam", "Steam Generator", "SteamGeneratorNotValidOnHotUtility"},
      {"U", "Fired Heater", nullptr}};
  for (const auto& c : checks) {
    SCOPED_TRACE(c.type);
    const std::string before = m_->GetExchangerType(c.name);
    EXPECT_STREQ(m_->SetExchangerType(c.name, c.type), c.refusal);
    EXPECT_EQ(m_->GetExchangerType(c.name), c.refusal ? before : c.type);
    if (c.refusal) {
      EXPECT_TRUE(sink_.Has(MessageKind::kError, c.refusal));
    }
  }
  EXPECT_EQ(DefaultUtility().IsValidUtilType(nullptr), nullptr);
  EXPECT_EQ(receiver_->Log(), "Added(U)");
}

TEST_F(DefaultManagerTest, AddIsAnnouncedOnceWithoutDatabaseChanged) {
  EXPECT_EQ(m_->AddDefaultUtility("X"), 1);
  EXPECT_EQ(m_->AddDefaultUtility("X"), 0);
  EXPECT_EQ(receiver_->Log(), "Added(X)");
  EXPECT_EQ(testing::Fields(*m_->GetDefaultUtility(22)),
            "X | -32767 -32767 -32767 0 -32767 -32767 2 -32767 | Shell & Tube "
            "| -32767 -32767 -32767 -32767 | | 5.589e-05 76 1 1 1 0");
}

// The names passed in are the list's own, gone once the utility is.
TEST_F(DefaultManagerTest, RemoveAndRenameSendCopiesOfTheNames) {
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

TEST_F(DefaultManagerTest, RestoreGivesTheBuiltInSetAndAnnouncesRemovals) {
  EXPECT_EQ(m_->AddDefaultUtility("Extra"), 1);
  EXPECT_EQ(m_->SetValue("Air", UtilityCost, 7), 1);
  receiver_->Clear();
  EXPECT_EQ(m_->RestoreDefaultUtilities(), 1);
  EXPECT_TRUE(receiver_->Log().ends_with("Removed(Extra) Changed(hi)*"));
  EXPECT_EQ(Save(m_.get(), UtilitiesOnly),
            Save(testing::NewManager().get(), UtilitiesOnly));
}

TEST_F(DefaultManagerTest, ClonesGetNumberedNamesWithoutComposition) {
  EXPECT_EQ(m_->CloneDefaultUtility("LP Steam"), 1);
  EXPECT_EQ(m_->CloneDefaultUtility("LP Steam"), 1);
  EXPECT_STREQ(m_->GetDefaultUtilityName(22), "LP Steam - 1");
  EXPECT_STREQ(m_->GetDefaultUtilityName(23), "LP Steam - 2");
  EXPECT_EQ(m_->CompareComp("LP Steam - 1", "X", 0.5), 1);
  EXPECT_EQ(m_->GetValue("LP Steam - 2", InletTemperature), 125);
  EXPECT_EQ(
      receiver_->Log(),
      "Added(LP Steam - 1) Changed(hi)* Added(LP Steam - 2) Changed(hi)*");
  // A name is never taken as a format.
  EXPECT_EQ(m_->AddDefaultUtility("50%s steam"), 1);
  EXPECT_EQ(m_->CloneDefaultUtility("50%s steam"), 1);
  EXPECT_EQ(m_->Exists("50%s steam - 1"), 1);
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
  SetCompInfoForUtility(m_.get(), "Air", -3, names, fractions);
  EXPECT_EQ(m_->GetDefaultUtility(kAir)->GetComponentCount(), 0);
  EXPECT_EQ(receiver_->Log(), "");
}

TEST_F(DefaultManagerTest, CopyIsIndependentAndHasNoReceivers) {
  DefaultManager& m = *m_;
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
    // The utilities section holds the mode.
    for (auto type : {UtilitiesOnly, HeatTransferCoefficientsOnly}) {
      EXPECT_EQ(Save(&copy, type), Save(&m, type));
    }
    EXPECT_EQ(copy.GetNumberOfEconomicData(), 3);
    EXPECT_EQ(copy.GetEconomicData(EconomicCoefficient0, "shell & tube"), 4.0);
    EXPECT_EQ(copy.GetEconomicData(EconomicCoefficient0, "plate"), 7.0);
    receiver_->Clear();
    copy.RemoveDefaultUtility("Air");
    copy.SetMode(0);
    EXPECT_EQ(receiver_->Log(), "");
    EXPECT_EQ(copy.NumberOfReceivers(), 0);
  }
  EXPECT_EQ(m.Exists("Air"), 1);
}

TEST_F(DefaultManagerTest, DestructionAnnouncesSenderDyingLast) {
  receiver_->Clear();
  receiver_->Detach();
  m_.reset();
  EXPECT_EQ(receiver_->Log(), "Dying");
}

}  // namespace
}  // namespace pemar
