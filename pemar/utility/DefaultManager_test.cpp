#include "pemar/utility/DefaultManager.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

#include "pemar/framework/ConfigStore.h"
#include "pemar/framework/Messages.h"
#include "pemar/framework/Platform.h"
#include "pemar/utility/testing/RecordingReceiver.h"
#include "pemar/utility/testing/UtilityTestFiles.h"

namespace pemar {
namespace {

using testing::RecordingReceiver;

class DefaultManagerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetConfigStore();
    SetExecutableFolder(dir_.Folder());
    manager_.reset(static_cast<DefaultManager*>(CreateDefaultUtilManager()));
    receiver_ = std::make_unique<RecordingReceiver>(manager_.get());
  }
  void TearDown() override {
    receiver_.reset();
    manager_.reset();
    SetExecutableFolder("");
  }

  testing::ScratchDir dir_;
  RecordingMessageSink sink_;
  ScopedMessageSink scoped_{&sink_};
  std::unique_ptr<DefaultManager> manager_;
  std::unique_ptr<RecordingReceiver> receiver_;
};

// --- Boundaries and refusals -------------------------------------------------

TEST_F(DefaultManagerTest, NullNamesMatchNothing) {
  DefaultManager& m = *manager_;
  EXPECT_EQ(m.Exists(nullptr), 0);
  EXPECT_EQ(m.AddDefaultUtility(nullptr), 0);
  EXPECT_EQ(m.RenameDefaultUtility("Air", nullptr), 0);
  EXPECT_EQ(m.RenameDefaultUtility(nullptr, "X"), 0);
  EXPECT_EQ(m.RemoveDefaultUtility(nullptr), 0);
  EXPECT_EQ(m.CloneDefaultUtility(nullptr), 0);
  EXPECT_EQ(m.SetValue(static_cast<const char*>(nullptr), UtilityCost, 1.0), 1);
  EXPECT_EQ(m.GetValue(static_cast<const char*>(nullptr), UtilityCost),
            kEmptyValue);
  EXPECT_EQ(m.CompareComp(nullptr, "H2O", 1.0), 0);
  EXPECT_EQ(m.GetExchangerType(static_cast<const char*>(nullptr)), nullptr);
  EXPECT_EQ(m.SetStreamType(nullptr, HotSegment), 0);
  EXPECT_EQ(m.SetExchangerType(static_cast<const char*>(nullptr), "X"),
            nullptr);
  m.AddCompInfoToUtility(nullptr, 0, nullptr, nullptr);
  SetCompInfoForUtility(nullptr, "Air", 0, nullptr, nullptr);
  EXPECT_EQ(m.GetNumberOfDefaultUtilities(), 22);
  EXPECT_TRUE(receiver_->events.empty());
}

TEST_F(DefaultManagerTest, IndexesOutsideTheListGiveEmptyAnswers) {
  DefaultManager& m = *manager_;
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
  DefaultManager& m = *manager_;
  EXPECT_EQ(m.SetValue("Cooling Water", InletTemperature, 30), 0);
  EXPECT_TRUE(
      sink_.Has(MessageKind::kError, "ColdStreamInletTemperatureUpdateError"));
  EXPECT_EQ(m.GetValue("Cooling Water", InletTemperature), 20);
  EXPECT_EQ(m.SetValue("Cooling Water", OutletTemperature, 15), 0);
  EXPECT_TRUE(
      sink_.Has(MessageKind::kError, "ColdStreamOutletTemperatureUpdateError"));
  EXPECT_EQ(m.SetValue("LP Steam", InletTemperature, 100), 0);
  EXPECT_TRUE(
      sink_.Has(MessageKind::kError, "HotStreamInletTemperatureUpdateError"));
  EXPECT_EQ(m.SetValue("LP Steam", OutletTemperature, 130), 0);
  EXPECT_TRUE(
      sink_.Has(MessageKind::kError, "HotStreamOutletTemperatureUpdateError"));
  EXPECT_EQ(m.SetValue("LP Steam", InletTemperature,
                       std::numeric_limits<double>::quiet_NaN()),
            0);
  receiver_->events.clear();
  EXPECT_EQ(m.SetValue("Cooling Water", InletTemperature, 15), 1);
  EXPECT_EQ(receiver_->Count(DatabaseChanged), 1);
  // The AR range follows: the lower end still comes from the outlet.
  EXPECT_EQ(m.GetValue("Cooling Water", ARTempLow), 29.5);
}

TEST_F(DefaultManagerTest, NewUtilityBecomesHotOrColdFromItsTemperatures) {
  DefaultManager& m = *manager_;
  ASSERT_EQ(m.AddDefaultUtility("X"), 1);
  EXPECT_EQ(m.SetValue("X", InletTemperature, 100), 1);
  EXPECT_EQ(m.GetValue("X", HeatType), UndefinedSegment);
  EXPECT_EQ(m.SetValue("X", OutletTemperature, 100), 0);  // equal
  EXPECT_EQ(m.SetValue("X", OutletTemperature, 80), 1);
  EXPECT_EQ(m.GetValue("X", HeatType), HotSegment);

  ASSERT_EQ(m.AddDefaultUtility("Y"), 1);
  EXPECT_EQ(m.SetExchangerType("Y", "Air Cooler"), nullptr);  // undefined
  EXPECT_EQ(m.SetValue("Y", InletTemperature, 100), 1);
  EXPECT_EQ(m.SetValue("Y", OutletTemperature, 80), 0);
  EXPECT_TRUE(sink_.Has(MessageKind::kError, "AirCoolerNotValidOnHotUtility"));
  EXPECT_EQ(m.GetValue("Y", HeatType), UndefinedSegment);
  EXPECT_EQ(m.GetValue("Y", OutletTemperature), kEmptyValue);
  EXPECT_EQ(m.SetValue("Y", OutletTemperature, 120), 1);
  EXPECT_EQ(m.GetValue("Y", HeatType), ColdSegment);
}

TEST_F(DefaultManagerTest, ARTemperatureEditsStayInsideTheUtility) {
  DefaultManager& m = *manager_;
  // LP Steam: inlet 125, outlet 124, AR (-26.5, 115.5).
  EXPECT_EQ(m.SetValue("LP Steam", ARTempHigh, 130), 0);
  EXPECT_EQ(m.SetValue("LP Steam", ARTempHigh, -30), 0);
  EXPECT_EQ(m.SetValue("LP Steam", ARTempHigh, 120), 1);
  EXPECT_EQ(m.SetValue("LP Steam", ARTempLow, 124), 0);
  EXPECT_EQ(m.SetValue("LP Steam", ARTempLow, 0), 1);
  // Cooling Water: inlet 20, outlet 25, AR (29.5, 44.5).
  EXPECT_EQ(m.SetValue("Cooling Water", ARTempHigh, 24), 0);
  EXPECT_EQ(m.SetValue("Cooling Water", ARTempHigh, 50), 1);
  EXPECT_EQ(m.SetValue("Cooling Water", ARTempLow, 19), 0);
  EXPECT_EQ(m.SetValue("Cooling Water", ARTempLow, 21), 1);
  ASSERT_EQ(m.AddDefaultUtility("U"), 1);
  EXPECT_EQ(m.SetValue("U", ARTempHigh, 10), 0);
  EXPECT_EQ(m.SetValue("U", ARTempLow, 10), 0);
  // Power has no AR range: the lower end is accepted at once.
  m.SetStreamType("Power", HotSegment);
  EXPECT_EQ(m.SetValue("Power", ARTempLow, 5), 1);
  EXPECT_EQ(receiver_->Count(DatabaseChanged), 0);
}

TEST_F(DefaultManagerTest, SmallDeltaTminIsWarnedAboutAndKept) {
  DefaultManager& m = *manager_;
  EXPECT_EQ(m.SetValue("Air", DeltaTmin, 0.5), 1);
  EXPECT_EQ(m.GetValue("Air", DeltaTmin), 10);
  ASSERT_EQ(receiver_->events.size(), 1u);
  EXPECT_EQ(receiver_->events[0].what, ErrorMessage);
  EXPECT_EQ(receiver_->events[0].text, "DeltaTMinWarning");
  EXPECT_EQ(receiver_->events[0].data,
            static_cast<IDefaultUtilityManager*>(&m));
  EXPECT_EQ(m.SetValue("Air", DeltaTmin, 1.0), 1);
  EXPECT_EQ(m.GetValue("Air", DeltaTmin), 1.0);
  EXPECT_EQ(m.GetValue("Air", ARTempLow), 35.5);
}

TEST_F(DefaultManagerTest, PropertiesMustBePositive) {
  DefaultManager& m = *manager_;
  for (auto p : {Viscosity, ThermCond, MassDensity, MassHeatCap}) {
    EXPECT_EQ(m.SetValue("Air", p, 0.0), 0);
    EXPECT_EQ(m.SetValue("Air", p, std::nan("")), 0);
    EXPECT_EQ(m.SetValue("Air", p, 2.5), 1);
    EXPECT_EQ(m.GetValue("Air", p), 2.5);
  }
  EXPECT_EQ(m.SetValue("Air", static_cast<DefaultUtilityParameter>(19), 1), 1);
  EXPECT_EQ(m.SetValue("Air", HeatType, 0.0), 1);
  EXPECT_EQ(m.GetValue("Air", HeatType), ColdSegment);
  EXPECT_EQ(m.SetValue("Nowhere", UtilityCost, 5.0), 1);
}

TEST_F(DefaultManagerTest, FlagsCutNonFiniteValuesSafely) {
  DefaultManager& m = *manager_;
  const double nan = std::numeric_limits<double>::quiet_NaN();
  m.SetValue("Air", GlobalSetting, nan);
  EXPECT_EQ(m.GetValue("Air", GlobalSetting), 0.0);
  m.SetValue("Air", GlobalSetting, 1e300);
  EXPECT_EQ(m.GetValue("Air", GlobalSetting), 1.0);
  m.SetValue("Air", GlobalSetting, 0.5);
  EXPECT_EQ(m.GetValue("Air", GlobalSetting), 0.0);
  m.SetValue("Air", HTCCalculated, 1e300);
  EXPECT_TRUE(m.GetDefaultUtility(12)->IsHTCCalculated());
  m.SetValue("Air", HTCCalculated, std::numeric_limits<double>::infinity());
  EXPECT_FALSE(m.GetDefaultUtility(12)->IsHTCCalculated());
  m.SetValue("Air", SimulationUtility, 1.0);
  EXPECT_EQ(m.GetNumberOfSimulationUtilities(), 1);
  EXPECT_EQ(m.AmISimulationUtility(12), 1);
  EXPECT_EQ(m.GetValue("Air", SimulationUtility), 0.0);
  m.SetValue("Air", SimulationUtility, 2.0);
  EXPECT_EQ(m.GetNumberOfSimulationUtilities(), 0);
}

TEST_F(DefaultManagerTest, HTCCalculatedEstimatesFromProperties) {
  DefaultManager& m = *manager_;
  EXPECT_EQ(m.SetValue("Cooling Water", HTCCalculated, 1.0), 1);
  EXPECT_NEAR(m.GetValue("Cooling Water", HeatTransferCoefficient), 3.5, 0.1);
  EXPECT_EQ(m.GetValue("Cooling Water", HTCCalculated), 1.0);
}

TEST_F(DefaultManagerTest, ExchangerTypeRefusalsReturnTheKey) {
  DefaultManager& m = *manager_;
  EXPECT_STREQ(m.SetExchangerType("Cooling Water", "Fired Heater"),
               "FiredHeaterNotValidOnColdUtility");
  EXPECT_STREQ(m.GetExchangerType("Cooling Water"), "Shell & Tube");
  EXPECT_STREQ(m.SetExchangerType(0, "Steam Generator"),
               "SteamGeneratorNotValidOnHotUtility");
  EXPECT_EQ(m.SetExchangerType(0, "Plate"), nullptr);
  EXPECT_STREQ(m.GetExchangerType(0), "Plate");
  EXPECT_EQ(m.SetExchangerType(0, nullptr), nullptr);
  EXPECT_TRUE(receiver_->events.empty());
}

// --- The built-in set --------------------------------------------------------

TEST_F(DefaultManagerTest, BuiltInSetHoldsTheTableInOrder) {
  DefaultManager& m = *manager_;
  const char* names[] = {"LP Steam",
                         "MP Steam",
                         "HP Steam",
                         "Hot Oil",
                         "Fired Heat (1000)",
                         "Fired Heat (2000)",
                         "Very High Temperature",
                         "Refrigerant 1 Generation",
                         "Refrigerant 2 Generation",
                         "Refrigerant 3 Generation",
                         "Refrigerant 4 Generation",
                         "Cooling Water",
                         "Air",
                         "LP Steam Generation",
                         "MP Steam Generation",
                         "HP Steam Generation",
                         "Refrigerant 1",
                         "Refrigerant 2",
                         "Refrigerant 3",
                         "Refrigerant 4",
                         "Very Low Temperature",
                         "Power"};
  ASSERT_EQ(m.GetNumberOfDefaultUtilities(), 22);
  for (int i = 0; i < 22; ++i)
    EXPECT_STREQ(m.GetDefaultUtilityName(i), names[i]);
  EXPECT_EQ(m.GetValue("Power", ARTempHigh), kEmptyValue);
  EXPECT_EQ(m.GetValue("Power", ARTempLow), kEmptyValue);
  EXPECT_EQ(m.GetValue("Power", UtilityCost), 1.58e-05);
  EXPECT_STREQ(m.GetExchangerType("Power"), "Electricity");
  EXPECT_EQ(m.GetValue("Hot Oil", HeatTransferCoefficient), 0.232282);
  EXPECT_EQ(m.GetValue("Refrigerant 4", UtilityCost), 8.5311e-06);
  EXPECT_EQ(m.GetValue("LP Steam", MassHeatCap), 2196.4);
  EXPECT_EQ(m.GetValue("Air", FuelSourceID), 76.0);
  EXPECT_EQ(m.GetValue("Air", CO2EmissionFactor), 5.589e-5);
  EXPECT_EQ(m.GetValue("Air", EFDataSource), 1.0);
  EXPECT_EQ(m.GetValue("Air", GlobalSetting), 1.0);
  EXPECT_EQ(m.CompareComp("Cooling Water", "H2O", 1.0), 1);
  EXPECT_EQ(m.CompareComp("Air", "Air", 1.0), 1);
  EXPECT_EQ(m.CompareComp("Air", "H2O", 1.0), 0);
  EXPECT_EQ(m.GetDefaultUtility(3)->GetComponentCount(), 0);  // Hot Oil
  EXPECT_EQ(m.GetNumberOfSimulationUtilities(), 0);
  EXPECT_EQ(m.GetMode(), 0);
}

// --- Edits and their notifications ------------------------------------------

TEST_F(DefaultManagerTest, AddIsAnnouncedOnceWithoutDatabaseChanged) {
  DefaultManager& m = *manager_;
  EXPECT_EQ(m.AddDefaultUtility("X"), 1);
  EXPECT_EQ(m.AddDefaultUtility("X"), 0);
  ASSERT_EQ(receiver_->events.size(), 1u);
  EXPECT_EQ(receiver_->events[0].what, UtilityAdded);
  EXPECT_EQ(receiver_->events[0].text, "X");
  EXPECT_EQ(receiver_->events[0].data, nullptr);
  DefaultUtility* x = m.GetDefaultUtility(22);
  EXPECT_EQ(x->GetHeatType(), UndefinedSegment);
  EXPECT_EQ(x->GetDeltaTmin(), kEmptyValue);
  EXPECT_EQ(x->GetUtilityCost(), 0.0);
  EXPECT_EQ(x->GetARTempHigh(), kEmptyValue);
}

TEST_F(DefaultManagerTest, RemoveAndRenameSendCopiesOfTheNames) {
  DefaultManager& m = *manager_;
  // The names passed are the records' own texts.
  EXPECT_EQ(m.RemoveDefaultUtility(m.GetDefaultUtilityName(0)), 1);
  EXPECT_EQ(m.RenameDefaultUtility(m.GetDefaultUtilityName(0), "X"), 1);
  ASSERT_EQ(receiver_->events.size(), 4u);
  EXPECT_EQ(receiver_->events[0].what, UtilityRemoved);
  EXPECT_EQ(receiver_->events[0].text, "LP Steam");
  EXPECT_EQ(receiver_->events[1].what, DatabaseChanged);
  EXPECT_EQ(receiver_->events[1].text, "hi");
  EXPECT_EQ(receiver_->events[2].what, UtilityNameChanged);
  EXPECT_EQ(receiver_->events[2].text, "MP Steam");
  EXPECT_EQ(receiver_->events[2].data_text, "X");
  EXPECT_EQ(receiver_->events[3].what, DatabaseChanged);
  EXPECT_EQ(m.RemoveDefaultUtility("LP Steam"), 0);
  EXPECT_EQ(m.RenameDefaultUtility("Air", "Cooling Water"), 0);
  EXPECT_EQ(m.RenameDefaultUtility("Nowhere", "Z"), 0);
  EXPECT_EQ(receiver_->events.size(), 4u);
  EXPECT_EQ(m.Exists("X"), 1);
  EXPECT_EQ(m.Exists("MP Steam"), 0);
}

TEST_F(DefaultManagerTest, RestoreAnnouncesEveryRemovalByName) {
  DefaultManager& m = *manager_;
  m.AddDefaultUtility("Extra");
  m.SetValue("Air", UtilityCost, 7.0);
  receiver_->events.clear();
  EXPECT_EQ(m.RestoreDefaultUtilities(), 1);
  std::vector<std::string> removed = receiver_->Texts(UtilityRemoved);
  ASSERT_EQ(removed.size(), 23u);
  EXPECT_EQ(removed[0], "LP Steam");
  EXPECT_EQ(removed[21], "Power");
  EXPECT_EQ(removed[22], "Extra");
  EXPECT_EQ(m.GetNumberOfDefaultUtilities(), 22);
  EXPECT_EQ(m.GetValue("Air", UtilityCost), 1e-09);
  EXPECT_EQ(m.CompareComp("Air", "Air", 1.0), 1);
}

TEST_F(DefaultManagerTest, ClonesGetNumberedNamesWithoutComposition) {
  DefaultManager& m = *manager_;
  EXPECT_EQ(m.CloneDefaultUtility("LP Steam"), 1);
  EXPECT_EQ(m.CloneDefaultUtility("LP Steam"), 1);
  EXPECT_STREQ(m.GetDefaultUtilityName(22), "LP Steam - 1");
  EXPECT_STREQ(m.GetDefaultUtilityName(23), "LP Steam - 2");
  EXPECT_EQ(m.GetDefaultUtility(22)->GetComponentCount(), 0);
  EXPECT_EQ(m.GetValue("LP Steam - 2", InletTemperature), 125);
  EXPECT_EQ(receiver_->Texts(UtilityAdded),
            (std::vector<std::string>{"LP Steam - 1", "LP Steam - 2"}));
  EXPECT_EQ(receiver_->Count(DatabaseChanged), 2);
  // A percent sign in a name is text, never a format.
  m.AddDefaultUtility("50%s steam");
  EXPECT_EQ(m.CloneDefaultUtility("50%s steam"), 1);
  EXPECT_EQ(m.Exists("50%s steam - 1"), 1);
}

TEST_F(DefaultManagerTest, ModeHoldsBackTheBroadcastUntilReset) {
  DefaultManager& m = *manager_;
  m.SetMode(1);
  EXPECT_EQ(m.SetValue("Air", UtilityCost, 2.0), 1);
  EXPECT_EQ(m.SetValue("Air", HeatTransferCoefficient, 0.2), 1);
  EXPECT_TRUE(receiver_->events.empty());
  m.SetMode(0);
  ASSERT_EQ(receiver_->events.size(), 1u);
  EXPECT_EQ(receiver_->events[0].what, DatabaseChanged);
  EXPECT_EQ(receiver_->events[0].data,
            static_cast<IDefaultUtilityManager*>(&m));
  // Fuel fields and properties change silently.
  receiver_->events.clear();
  m.SetValue("Air", FuelSourceID, 3);
  m.SetValue("Air", Viscosity, 3);
  EXPECT_TRUE(receiver_->events.empty());
}

TEST_F(DefaultManagerTest, CopyIsIndependentAndHasNoReceivers) {
  DefaultManager& m = *manager_;
  m.AddRef();
  m.SetMode(2);
  m.AddEconomicData("Shell & Tube");
  m.SetEconomicData(EconomicCoefficient0, 4.0, "Shell & Tube");
  // A set that only the dictionary holds is copied too.
  m.AddEconomicData("Plate");
  m.SetEconomicData(EconomicCoefficient0, 7.0, "Plate");
  m.SetEconomicDataList(new EconomicDataList{
      m.GetEconomicDataPointer("SHELL & TUBE")});
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
    receiver_->events.clear();
    copy.RemoveDefaultUtility("Air");
    copy.SetMode(0);
    EXPECT_TRUE(receiver_->events.empty());
    EXPECT_EQ(copy.NumberOfReceivers(), 0);
  }
  EXPECT_EQ(m.Exists("Air"), 1);
  EXPECT_EQ(m.RefCount(), 1);
  // The last reference going destroys the object; the fixture must not.
  DefaultManager* owned = manager_.release();
  receiver_->Detach();
  EXPECT_EQ(owned->Release(), 0);
}

TEST_F(DefaultManagerTest, DestructionAnnouncesSenderDyingLast) {
  receiver_->events.clear();
  receiver_->Detach();
  RecordingReceiver* receiver = receiver_.get();
  manager_.reset();
  ASSERT_EQ(receiver->events.size(), 1u);
  EXPECT_EQ(receiver->events[0].what, SenderDying);
  EXPECT_FALSE(receiver->events[0].has_text);
  EXPECT_EQ(receiver->events[0].data, nullptr);
}

TEST_F(DefaultManagerTest, CompositionGoesThroughTheExportedFunction) {
  char n2[] = "N2";
  char o2[] = "O2";
  char* names[] = {n2, o2};
  double fractions[] = {0.79, 0.21};
  SetCompInfoForUtility(manager_.get(), "Air", 2, names, fractions);
  EXPECT_EQ(manager_->CompareComp("Air", "O2", 0.21), 1);
  EXPECT_EQ(manager_->CompareComp("Air", "Air", 1.0), 0);
  SetCompInfoForUtility(manager_.get(), "Air", -3, names, fractions);
  EXPECT_EQ(manager_->GetDefaultUtility(12)->GetComponentCount(), 0);
  ReleaseDefaultUtilManager(nullptr);
}

}  // namespace
}  // namespace pemar
