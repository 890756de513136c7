#include "pemar/utility/DefaultManager.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "pemar/utility/testing/UtilityTest.h"

namespace pemar {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr int kAir = 12;  // position of "Air" in the built-in set

// An edit, the answer SetValue must give, and the value read back after it
// (kNaN: not read).
struct Edit {
  const char* name;
  DefaultUtilityParameter parameter;
  double value;
  hresult answer;
  double after;
};

class DefaultManagerTest : public testing::UtilityTest {
 protected:
  void Apply(std::initializer_list<Edit> edits) {
    for (const Edit& e : edits) {
      SCOPED_TRACE(::testing::Message() << e.name << " parameter "
                                        << e.parameter << " = " << e.value);
      EXPECT_EQ(m_->SetValue(e.name, e.parameter, e.value), e.answer);
      if (!std::isnan(e.after)) {
        EXPECT_EQ(m_->GetValue(e.name, e.parameter), e.after);
      }
    }
  }
};

// --- Boundaries and refusals -------------------------------------------------

TEST_F(DefaultManagerTest, NullNamesMatchNothing) {
  DefaultManager& m = *m_;
  const char* none = nullptr;
  EXPECT_EQ(m.Exists(nullptr), 0);
  EXPECT_EQ(m.AddDefaultUtility(nullptr), 0);
  EXPECT_EQ(m.RenameDefaultUtility("Air", nullptr), 0);
  EXPECT_EQ(m.RenameDefaultUtility(nullptr, "X"), 0);
  EXPECT_EQ(m.RemoveDefaultUtility(nullptr), 0);
  EXPECT_EQ(m.CloneDefaultUtility(nullptr), 0);
  EXPECT_EQ(m.SetValue(none, UtilityCost, 1.0), 1);
  EXPECT_EQ(m.GetValue(none, UtilityCost), kEmptyValue);
  EXPECT_EQ(m.CompareComp(nullptr, "H2O", 1.0), 0);
  EXPECT_EQ(m.GetExchangerType(none), nullptr);
  EXPECT_EQ(m.SetStreamType(nullptr, HotSegment), 0);
  EXPECT_EQ(m.SetExchangerType(none, "X"), nullptr);
  m.AddCompInfoToUtility(nullptr, 0, nullptr, nullptr);
  SetCompInfoForUtility(nullptr, "Air", 0, nullptr, nullptr);
  ReleaseDefaultUtilManager(nullptr);
  EXPECT_EQ(m.GetNumberOfDefaultUtilities(), 22);
  EXPECT_EQ(receiver_->Log(), "");
}

TEST_F(DefaultManagerTest, IndexesOutsideTheListGiveEmptyAnswers) {
  DefaultManager& m = *m_;
  for (int i : {-1, 22, 1000}) {
    EXPECT_EQ(m.GetDefaultUtility(i), nullptr);
    EXPECT_EQ(m.GetDefaultUtilityName(i), nullptr);
    EXPECT_EQ(m.GetRecommendedUtilityName(i), nullptr);
    EXPECT_EQ(m.GetValue(i), UndefinedSegment);
    EXPECT_EQ(m.GetValue(i, InletTemperature), kEmptyValue);
    EXPECT_EQ(m.GetDefaultUtilityInletTemp(i), kEmptyValue);
    EXPECT_EQ(m.GetDefaultUtilityOutletTemp(i), kEmptyValue);
    EXPECT_EQ(m.GetDefaultUtilityMassHeatCap(i), kEmptyValue);
    EXPECT_EQ(m.AmISimulationUtility(i), 0);
    EXPECT_EQ(m.GetExchangerType(i), nullptr);
    EXPECT_EQ(m.SetExchangerType(i, "Air Cooler"), nullptr);
  }
  DefaultManager empty;
  EXPECT_EQ(empty.GetNumberOfDefaultUtilities(), 0);
  EXPECT_EQ(empty.GetValue(0), UndefinedSegment);
}

TEST_F(DefaultManagerTest, TemperatureEditsFollowTheHeatType) {
  Apply({{"Cooling Water", InletTemperature, 30, 0, 20},
         {"Cooling Water", OutletTemperature, 15, 0, kNaN},
         {"LP Steam", InletTemperature, 100, 0, kNaN},
         {"LP Steam", OutletTemperature, 130, 0, kNaN},
         {"LP Steam", InletTemperature, kNaN, 0, kNaN}});
  for (const char* key : {"ColdStreamInletTemperatureUpdateError",
                          "ColdStreamOutletTemperatureUpdateError",
                          "HotStreamInletTemperatureUpdateError",
                          "HotStreamOutletTemperatureUpdateError"}) {
    EXPECT_TRUE(sink_.Has(MessageKind::kError, key)) << key;
  }
  receiver_->Clear();
  EXPECT_EQ(m_->SetValue("Cooling Water", InletTemperature, 15), 1);
  EXPECT_EQ(receiver_->Count(DatabaseChanged), 1);
  // The AR range follows: the lower end still comes from the outlet.
  EXPECT_EQ(m_->GetValue("Cooling Water", ARTempLow), 29.5);
}

TEST_F(DefaultManagerTest, NewUtilityBecomesHotOrColdFromItsTemperatures) {
  DefaultManager& m = *m_;
  ASSERT_EQ(m.AddDefaultUtility("X"), 1);
  EXPECT_EQ(m.SetValue("X", InletTemperature, 100), 1);
  EXPECT_EQ(m.GetValue("X", HeatType), UndefinedSegment);
  EXPECT_EQ(m.SetValue("X", OutletTemperature, 100), 0);  // equal
  EXPECT_EQ(m.SetValue("X", OutletTemperature, 80), 1);
  EXPECT_EQ(m.GetValue("X", HeatType), HotSegment);

  ASSERT_EQ(m.AddDefaultUtility("Y"), 1);
  EXPECT_EQ(m.SetExchangerType("Y", "Air Cooler"), nullptr);  // undefined
  Apply({{"Y", InletTemperature, 100, 1, kNaN},
         {"Y", OutletTemperature, 80, 0, kEmptyValue}});
  EXPECT_TRUE(sink_.Has(MessageKind::kError, "AirCoolerNotValidOnHotUtility"));
  EXPECT_EQ(m.GetValue("Y", HeatType), UndefinedSegment);
  EXPECT_EQ(m.SetValue("Y", OutletTemperature, 120), 1);
  EXPECT_EQ(m.GetValue("Y", HeatType), ColdSegment);
}

TEST_F(DefaultManagerTest, ARTemperatureEditsStayInsideTheUtility) {
  // LP Steam: inlet 125, outlet 124, AR (-26.5, 115.5). Cooling Water:
  // inlet 20, outlet 25, AR (29.5, 44.5).
  Apply({{"LP Steam", ARTempHigh, 130, 0, kNaN},
         {"LP Steam", ARTempHigh, -30, 0, kNaN},
         {"LP Steam", ARTempHigh, 120, 1, kNaN},
         {"LP Steam", ARTempLow, 124, 0, kNaN},
         {"LP Steam", ARTempLow, 0, 1, kNaN},
         {"Cooling Water", ARTempHigh, 24, 0, kNaN},
         {"Cooling Water", ARTempHigh, 50, 1, kNaN},
         {"Cooling Water", ARTempLow, 19, 0, kNaN},
         {"Cooling Water", ARTempLow, 21, 1, kNaN}});
  ASSERT_EQ(m_->AddDefaultUtility("U"), 1);
  // Power has no AR range: the lower end is accepted at once.
  m_->SetStreamType("Power", HotSegment);
  Apply({{"U", ARTempHigh, 10, 0, kNaN},
         {"U", ARTempLow, 10, 0, kNaN},
         {"Power", ARTempLow, 5, 1, kNaN}});
  EXPECT_EQ(receiver_->Count(DatabaseChanged), 0);
}

TEST_F(DefaultManagerTest, SmallDeltaTminIsWarnedAboutAndKept) {
  Apply({{"Air", DeltaTmin, 0.5, 1, 10}});
  EXPECT_EQ(receiver_->Log(), "Error(DeltaTMinWarning)");
  EXPECT_EQ(receiver_->events[0].data,
            static_cast<IDefaultUtilityManager*>(m_.get()));
  Apply({{"Air", DeltaTmin, 1.0, 1, 1.0}});
  EXPECT_EQ(m_->GetValue("Air", ARTempLow), 35.5);
}

TEST_F(DefaultManagerTest, PropertiesMustBePositive) {
  for (auto p : {Viscosity, ThermCond, MassDensity, MassHeatCap}) {
    Apply({{"Air", p, 0.0, 0, kNaN},
           {"Air", p, kNaN, 0, kNaN},
           {"Air", p, 2.5, 1, 2.5}});
  }
  Apply({{"Air", static_cast<DefaultUtilityParameter>(19), 1, 1, kNaN},
         {"Air", HeatType, 0.0, 1, ColdSegment},
         {"Nowhere", UtilityCost, 5.0, 1, kNaN}});
}

TEST_F(DefaultManagerTest, FlagsCutNonFiniteValuesSafely) {
  DefaultManager& m = *m_;
  for (auto [value, global] :
       {std::pair{kNaN, 0.0}, {1e300, 1.0}, {0.5, 0.0}}) {
    m.SetValue("Air", GlobalSetting, value);
    EXPECT_EQ(m.GetValue("Air", GlobalSetting), global) << value;
  }
  m.SetValue("Air", HTCCalculated, 1e300);
  EXPECT_TRUE(m.GetDefaultUtility(kAir)->IsHTCCalculated());
  m.SetValue("Air", HTCCalculated, kInf);
  EXPECT_FALSE(m.GetDefaultUtility(kAir)->IsHTCCalculated());
  m.SetValue("Air", SimulationUtility, 1.0);
  EXPECT_EQ(m.GetNumberOfSimulationUtilities(), 1);
  EXPECT_EQ(m.AmISimulationUtility(kAir), 1);
  EXPECT_EQ(m.GetValue("Air", SimulationUtility), 0.0);
  m.SetValue("Air", SimulationUtility, 2.0);
  EXPECT_EQ(m.GetNumberOfSimulationUtilities(), 0);
}

TEST_F(DefaultManagerTest, HTCCalculatedEstimatesFromProperties) {
  Apply({{"Cooling Water", HTCCalculated, 1.0, 1, 1.0}});
  EXPECT_NEAR(m_->GetValue("Cooling Water", HeatTransferCoefficient), 3.5, 0.1);
}

TEST_F(DefaultManagerTest, ExchangerTypeRefusalsReturnTheKey) {
  DefaultManager& m = *m_;
  EXPECT_STREQ(m.SetExchangerType("Cooling Water", "Fired Heater"),
               "FiredHeaterNotValidOnColdUtility");
  EXPECT_STREQ(m.GetExchangerType("Cooling Water"), "Shell & Tube");
  EXPECT_STREQ(m.SetExchangerType(0, "Steam Generator"),
               "SteamGeneratorNotValidOnHotUtility");
  EXPECT_EQ(m.SetExchangerType(0, "Plate"), nullptr);
  EXPECT_STREQ(m.GetExchangerType(0), "Plate");
  EXPECT_EQ(m.SetExchangerType(0, nullptr), nullptr);
  EXPECT_EQ(receiver_->Log(), "");
}

// --- The built-in set (names and ranges: UtilitySelection_test) --------------

TEST_F(DefaultManagerTest, BuiltInSetHoldsTheTableValues) {
  DefaultManager& m = *m_;
  const std::pair<const char*, DefaultUtilityParameter> cells[] = {
      {"Power", UtilityCost},         {"Hot Oil", HeatTransferCoefficient},
      {"Refrigerant 4", UtilityCost}, {"LP Steam", MassHeatCap},
      {"Air", FuelSourceID},          {"Air", CO2EmissionFactor},
      {"Air", EFDataSource},          {"Air", GlobalSetting}};
  const double want[] = {1.58e-05, 0.232282, 8.5311e-06, 2196.4,
                         76.0,     5.589e-5, 1.0,        1.0};
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(m.GetValue(cells[i].first, cells[i].second), want[i]) << i;
  }
  EXPECT_STREQ(m.GetExchangerType("Power"), "Electricity");
  EXPECT_EQ(m.CompareComp("Cooling Water", "H2O", 1.0), 1);
  EXPECT_EQ(m.CompareComp("Air", "Air", 1.0), 1);
  EXPECT_EQ(m.CompareComp("Air", "H2O", 1.0), 0);
  EXPECT_EQ(m.GetDefaultUtility(3)->GetComponentCount(), 0);  // Hot Oil
  EXPECT_EQ(m.GetNumberOfSimulationUtilities(), 0);
  EXPECT_EQ(m.GetMode(), 0);
}

// --- Edits and their notifications ------------------------------------------

TEST_F(DefaultManagerTest, AddIsAnnouncedOnceWithoutDatabaseChanged) {
  EXPECT_EQ(m_->AddDefaultUtility("X"), 1);
  EXPECT_EQ(m_->AddDefaultUtility("X"), 0);
  EXPECT_EQ(receiver_->Log(), "Added(X)");
  EXPECT_EQ(receiver_->events[0].data, nullptr);
  DefaultUtility* x = m_->GetDefaultUtility(22);
  EXPECT_EQ(x->GetHeatType(), UndefinedSegment);
  EXPECT_EQ(x->GetDeltaTmin(), kEmptyValue);
  EXPECT_EQ(x->GetUtilityCost(), 0.0);
  EXPECT_EQ(x->GetARTempHigh(), kEmptyValue);
}

TEST_F(DefaultManagerTest, RemoveAndRenameSendCopiesOfTheNames) {
  DefaultManager& m = *m_;
  // The names passed are the records' own texts.
  EXPECT_EQ(m.RemoveDefaultUtility(m.GetDefaultUtilityName(0)), 1);
  EXPECT_EQ(m.RenameDefaultUtility(m.GetDefaultUtilityName(0), "X"), 1);
  EXPECT_EQ(m.RemoveDefaultUtility("LP Steam"), 0);
  EXPECT_EQ(m.RenameDefaultUtility("Air", "Cooling Water"), 0);
  EXPECT_EQ(m.RenameDefaultUtility("Nowhere", "Z"), 0);
  EXPECT_EQ(receiver_->Log(),
            "Removed(LP Steam) Changed(hi) Renamed(MP Steam)->X Changed(hi)");
  EXPECT_EQ(m.Exists("X"), 1);
  EXPECT_EQ(m.Exists("MP Steam"), 0);
}

TEST_F(DefaultManagerTest, RestoreAnnouncesEveryRemovalByName) {
  m_->AddDefaultUtility("Extra");
  m_->SetValue("Air", UtilityCost, 7.0);
  receiver_->Clear();
  EXPECT_EQ(m_->RestoreDefaultUtilities(), 1);
  std::vector<std::string> removed = receiver_->Texts(UtilityRemoved);
  ASSERT_EQ(removed.size(), 23u);
  EXPECT_EQ(removed[0], "LP Steam");
  EXPECT_EQ(removed[21], "Power");
  EXPECT_EQ(removed[22], "Extra");
  EXPECT_EQ(m_->GetNumberOfDefaultUtilities(), 22);
  EXPECT_EQ(m_->GetValue("Air", UtilityCost), 1e-09);
  EXPECT_EQ(m_->CompareComp("Air", "Air", 1.0), 1);
}

TEST_F(DefaultManagerTest, ClonesGetNumberedNamesWithoutComposition) {
  DefaultManager& m = *m_;
  EXPECT_EQ(m.CloneDefaultUtility("LP Steam"), 1);
  EXPECT_EQ(m.CloneDefaultUtility("LP Steam"), 1);
  EXPECT_STREQ(m.GetDefaultUtilityName(22), "LP Steam - 1");
  EXPECT_STREQ(m.GetDefaultUtilityName(23), "LP Steam - 2");
  EXPECT_EQ(m.GetDefaultUtility(22)->GetComponentCount(), 0);
  EXPECT_EQ(m.GetValue("LP Steam - 2", InletTemperature), 125);
  EXPECT_EQ(receiver_->Log(),
            "Added(LP Steam - 1) Changed(hi) Added(LP Steam - 2) Changed(hi)");
  // A percent sign in a name is text, never a format.
  m.AddDefaultUtility("50%s steam");
  EXPECT_EQ(m.CloneDefaultUtility("50%s steam"), 1);
  EXPECT_EQ(m.Exists("50%s steam - 1"), 1);
}

TEST_F(DefaultManagerTest, ModeHoldsBackTheBroadcastUntilReset) {
  m_->SetMode(1);
  EXPECT_EQ(m_->SetValue("Air", UtilityCost, 2.0), 1);
  EXPECT_EQ(m_->SetValue("Air", HeatTransferCoefficient, 0.2), 1);
  EXPECT_EQ(receiver_->Log(), "");
  m_->SetMode(0);
  EXPECT_EQ(receiver_->Count(DatabaseChanged), 1);
  ASSERT_EQ(receiver_->events.size(), 1u);
  EXPECT_EQ(receiver_->events[0].data,
            static_cast<IDefaultUtilityManager*>(m_.get()));
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
    EXPECT_EQ(copy.GetNumberOfDefaultUtilities(), 22);
    EXPECT_EQ(copy.GetNumberOfHTCDefaultValues(), 28);
    EXPECT_EQ(copy.GetNumberOfEconomicData(), 3);
    EXPECT_EQ(copy.GetEconomicData(EconomicCoefficient0, "shell & tube"), 4.0);
    EXPECT_EQ(copy.GetEconomicData(EconomicCoefficient0, "plate"), 7.0);
    EXPECT_STREQ(copy.GetEconomicDataName(1), "SHELL & TUBE");
    EXPECT_STREQ(copy.GetEconomicDataName(2), "PLATE");
    EXPECT_EQ(copy.GetEconomicData(EconomicOperatingHours, "DEFAULT"), 8765.76);
    EXPECT_EQ(copy.CompareComp("Cooling Water", "H2O", 1.0), 1);
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
  EXPECT_EQ(receiver_->events[0].data, nullptr);
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
