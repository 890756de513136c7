#include "pemar/config/PemarConfigManager.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>

#include "pemar/config/PemarConfigVectorInfo.h"
#include "pemar/config/testing/ConfigTestSupport.h"
#include "pemar/framework/ConfigStore.h"
#include "pemar/framework/FolderPicker.h"
#include "pemar/framework/Units.h"
#include "pemar/framework/ViewLog.h"

namespace pemar {
namespace {

VarDescription Var(int type, int number, int index = 0) {
  VarDescription desc("Form", number);
  desc.SetType(type);
  desc.SetIndex(index);
  return desc;
}

class PemarConfigManagerTest : public test_support::ConfigTest {
 protected:
  void SetUp() override {
    ConfigTest::SetUp();
    // Currencies, times, energies and compound cost units. Item 1 is the
    // factor; a time unit with item 0 = 2 stores its reciprocal.
    AddUnit(99, {"$", 1, 1, 1});
    AddUnit(99, {"MM$", 1, 1, 1e-6});
    AddUnit(99, {"EUR", 1, 1, 0.9});
    AddUnit(44, {"h", 1, 1, 1});
    AddUnit(44, {"day", 5, 0, 24});
    AddUnit(44, {"zero", 5, 0, 0});
    AddUnit(115, {"kJ", 1, 1, 1});
    AddUnit(100, {"$/h*", 5, 0, 10});
    AddUnit(100, {"MM$/day*", 5, 0, 20});
    AddUnit(100, {"EUR/h*", 5, 0, 30});
    AddUnit(101, {"$/kJ*", 5, 0, 40});
  }

  Text Form() const {
    return OpenedViews().empty() ? Text() : OpenedViews().back();
  }

  PemarConfigManager manager_{nullptr};
};

TEST_F(PemarConfigManagerTest, RegisteredAtLoadAsTheProgramsManager) {
  std::unique_ptr<ConfigManager> made(CreateConfigManager(nullptr));
  ASSERT_NE(dynamic_cast<PemarConfigManager*>(made.get()), nullptr);
  const ObjectTypeInfo* type = made->Type();
  EXPECT_EQ(type->Name(), "PemarConfigMgrObject");
  EXPECT_EQ(type->Parent(), ConfigMgrObjectType());
  EXPECT_EQ(type->Identifier(), "pmcfgmgr");
  EXPECT_EQ(type->Flag2(), -1);
}

TEST_F(PemarConfigManagerTest, NumericVariablesReadAndWriteTheirStoreKeys) {
  struct Row {
    int type, number;
    const char* key;
  };
  const Row rows[] = {{1519, 400, "TempPercentageBoundValue"},
                      {1519, 401, "FlowPercentageBoundValue"},
                      {100, 400, "TempBoundIndex"},
                      {100, 401, "FlowBoundIndex"},
                      {104, 400, "AdvanceStreamLinkPreference"},
                      {104, 351, "UseProIIFile"},
                      {1, 400, "TemperatureAbsBoundValue"},
                      {4, 400, "MassFlowAbsBoundValue"},
                      {105, 125, "MeridORVEXVersion"},
                      {105, 126, "CalvexVersion"}};
  double value = 1.5;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.key);
    EXPECT_EQ(manager_.Specify(Var(row.type, row.number), value), 1);
    EXPECT_EQ(GetConfigData(row.key, -1), value);
    SetConfigData(row.key, value + 1);
    EXPECT_EQ(manager_.Value(Var(row.type, row.number)), value + 1);
    value += 10;
  }
  manager_.Specify(Var(104, 127), 1);
  EXPECT_EQ(GetConfigData("SimulationUtilityDatabase", -1), 1);
  EXPECT_EQ(GetConfigData("UtilitiesFromSimulation", -1), 1);
  // The framework saw every Specify before the manager's own effect.
  EXPECT_EQ(manager_.base_calls().size(), std::size(rows) + 1);
}

TEST_F(PemarConfigManagerTest, SolverChoiceRewritesLpsolverDat) {
  const double kNaN = std::numeric_limits<double>::quiet_NaN();
  struct Row {
    double value;
    int choice;
    const char* bytes;
  };
  const std::string folder = manager_.solver_folder().str();
  const Row rows[] = {{0, 0, "LPSOLVE "},     {2, 2, "LINGO "},
                      {3, 3, "<absent>"},     {kNaN, 0, "<absent>"},
                      {1e300, 0, "<absent>"}, {-1e300, 0, "<absent>"}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.value);
    std::filesystem::remove("Lpsolver.dat");
    PemarConfigManager manager(nullptr);
    manager.Specify(Var(100, 300), row.value);
    EXPECT_EQ(manager.solver_choice(), row.choice);
    EXPECT_EQ(manager.Value(Var(100, 300)), row.choice);
    EXPECT_EQ(ReadFile("Lpsolver.dat"), row.bytes);
  }
  manager_.Specify(Var(100, 300), 1);
  EXPECT_EQ(ReadFile("Lpsolver.dat"), "XPRESS " + folder);
}

TEST_F(PemarConfigManagerTest,
       SolverFolderDoublesBackslashesOnlyWhenItChanges) {
  const std::string folder = Path("C:\\xpress");
  std::filesystem::create_directory(folder);
  std::string doubled;
  for (char c : folder) {
    doubled += c;
    if (c == '\\') doubled += c;
  }
  EXPECT_EQ(manager_.SpecifyText(Var(1519, 300), folder), 1);
  EXPECT_EQ(ReadFile("Lpsolver.dat"), "XPRESS " + doubled);
  EXPECT_EQ(manager_.TextValue(Var(1519, 300)), folder);
  manager_.Specify(Var(100, 300), 1);
  EXPECT_EQ(ReadFile("Lpsolver.dat"), "XPRESS " + folder);

  EXPECT_EQ(manager_.SpecifyText(Var(1519, 300), Path("missing")), 0);
  EXPECT_TRUE(messages_.Has(MessageKind::kError, "ErrorFingingFile"));
  EXPECT_EQ(manager_.TextValue(Var(1519, 300)), folder);
  EXPECT_EQ(ReadFile("Lpsolver.dat"), "XPRESS " + folder);
}

TEST_F(PemarConfigManagerTest, VectorInfoTextsAreStoreTextsByIndex) {
  PemarConfigVectorInfo* items = _get_PemarConfigVectorInfo();
  const long first = items->lnumConfigItems();
  items->AddItem("PmTestKeyA", "Label A");
  items->AddItem("PmTestKeyA", "Label B");
  items->AddItem(nullptr, "ignored");
  ASSERT_EQ(items->lnumConfigItems(), first + 1);
  EXPECT_STREQ(items->GetConfigLabel(first), "Label A");

  EXPECT_EQ(manager_.SpecifyText(Var(1519, 4, first), "value"), 1);
  EXPECT_EQ(GetConfigString("PmTestKeyA"), "value");
  EXPECT_EQ(manager_.TextValue(Var(1519, 4, first)), "value");
  EXPECT_EQ(manager_.TextValue(Var(1519, 5, first)), "Label A");
  DimInfo dims;
  EXPECT_EQ(manager_.Dimensions(Var(1519, 5), dims), 1);
  EXPECT_EQ(dims.Dim(0), first + 1);

  // Indexes outside the list change and find nothing.
  items->ChangeItem(99, "k");
  items->ChangeItem(-1, "k");
  EXPECT_EQ(items->GetConfigInfo(99), nullptr);
  EXPECT_EQ(manager_.TextValue(Var(1519, 4, 99)), "");
  EXPECT_EQ(manager_.SpecifyText(Var(1519, 4, 99), "x"), 0);
  EXPECT_EQ(manager_.TextValue(Var(1519, 5, -1)), "");
  items->ChangeItem(first, "PmTestKeyB");
  EXPECT_STREQ(items->GetConfigInfo(first), "PmTestKeyB");
}

TEST_F(PemarConfigManagerTest, NewUnitOpensTheFormOfItsQuantity) {
  struct Row {
    const char* command;
    const char* form;
    const char* flag_text;
  };
  const Row rows[] = {
      {"NewUnit x 100", "UserCostUnitConversion", "&Time"},
      {"NewUnit x 101", "UserCostUnitConversion", "&Energy"},
      {"NewUnit x 0", "NoUnitConversion", nullptr},
      {"NewUnit x 44", "UserUnitConversion", nullptr},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.command);
    ClearOpenedViews();
    EXPECT_EQ(manager_.Message(row.command), 1);
    EXPECT_EQ(Form(), row.form);
    if (row.flag_text) {
      EXPECT_EQ(manager_.TextValue(Var(1519, 215)), row.flag_text);
    }
  }
}

TEST_F(PemarConfigManagerTest, NewUnitOnAnIndirectListChecksTheEntry) {
  manager_.SetIndirectUnitList({99, 100, 44});
  for (const char* command :
       {"NewUnit a 9999", "NewUnit a -1", "NewUnit a x", "NewUnit a"}) {
    SCOPED_TRACE(command);
    EXPECT_EQ(manager_.Message(command), 0);
    EXPECT_TRUE(OpenedViews().empty());
    EXPECT_FALSE(manager_.IsDefiningNewUnit());
  }
  manager_.Message("NewUnit a 1");
  EXPECT_EQ(manager_.CurrentUnitType(), 100);
  EXPECT_EQ(Form(), "UserCostUnitConversion");
}

TEST_F(PemarConfigManagerTest, DoneNewNamesAndPricesTheCompoundUnit) {
  struct Row {
    const char* denominator;
    double factor;  // of the new unit
  };
  // EUR per day: 0.9 / 24; per a time unit of factor 0, the numerator's.
  const Row rows[] = {{"day", 0.9 / 24}, {"zero", 0.9}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.denominator);
    manager_.Message("NewUnit x 100");
    manager_.SpecifyText(Var(31000, 225), "EUR");
    manager_.SpecifyText(Var(31012, 225), row.denominator);
    int status = -1;
    ModifyState state;
    manager_.VariableStatus(Var(1520, 225), state, status);
    EXPECT_EQ(status, 1);  // that of "Units.105" while a unit is new
    EXPECT_EQ(manager_.Message("DoneNew"), 1);
    Text name = Text("EUR/") + row.denominator + "*";
    const UnitRecord* unit = FindUnit(100, name);
    ASSERT_NE(unit, nullptr);
    EXPECT_DOUBLE_EQ(unit->item1, row.factor);
    EXPECT_EQ(unit->item0, 0);
    EXPECT_EQ(GetCurrentUnitName(100), name);
    EXPECT_EQ(manager_.numerator_unit(), "");
  }
}

TEST_F(PemarConfigManagerTest, DoneNewWithoutBothNamesCancels) {
  manager_.Message("NewUnit x 101");
  manager_.SpecifyText(Var(31000, 225), "EUR");
  EXPECT_EQ(manager_.Message("DoneNew"), 1);
  EXPECT_FALSE(manager_.IsDefiningNewUnit());
  EXPECT_EQ(UnitNameAt(101, 1), "");
  EXPECT_EQ(manager_.numerator_unit(), "");
  EXPECT_EQ(manager_.base_calls().back(), "CancelNew");
}

TEST_F(PemarConfigManagerTest, EditUnitSplitsCompoundNames) {
  AddUnit(44, {"shift*", 1, 1, 8});
  struct Row {
    const char* unit;
    const char* numerator;
    const char* denominator;
  };
  const Row rows[] = {{"MM$/day*", "MM$", "day"},
                      {"$/shift**", "$", "shift*"},
                      {"$/x***", "$", "x"},
                      {"odd", "odd", ""}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.unit);
    AddUnit(100, {row.unit, 5, 0, 1});
    SetCurrentUnitName(100, row.unit);
    EXPECT_EQ(manager_.Message("EditUnit x 100"), 1);
    EXPECT_EQ(manager_.numerator_unit(), row.numerator);
    EXPECT_EQ(manager_.denominator_unit(), row.denominator);
    EXPECT_EQ(Form(), "UserCostUnitConversion");
  }
}

TEST_F(PemarConfigManagerTest, EditUnitRemembersTheBaseFactorAndPicksTheForm) {
  struct Row {
    UnitRecord unit;
    const char* form;
    double remembered;
  };
  const Row rows[] = {{{"u1", 1, 1, 3}, "NormalUnitConversion", 3},
                      {{"u2", 2, 2, 4}, "TempUnitConversion", 0.25},
                      {{"u3", 3, 1, kEmptyValue}, "GPressUnitConversion", 1},
                      {{"u4", 4, 2, 0}, "APIUnitConversion", kEmptyValue},
                      {{"u5", 5, 0, 6}, "UserUnitConversion", 6},
                      {{"u6", 9, 0, 7}, "NoUnitConversion", 7}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.form);
    AddUnit(99, row.unit);
    SetCurrentUnitName(99, row.unit.name);
    manager_.Message("EditUnit x 99");
    EXPECT_EQ(Form(), row.form);
    EXPECT_EQ(manager_.edited_base_unit_factor(), row.remembered);
  }
}

TEST_F(PemarConfigManagerTest, CurrencyFactorChangeRescalesMatchingCostUnits) {
  // The user edits "$" (factor 1) and changes it to 2.
  SetCurrentUnitName(99, "$");
  manager_.Message("EditUnit x 99");
  SetUnitConvFactorByName(0, 99, "$", 2);
  manager_.Specify(Var(1519, 121), 2);
  // "$..." and "MM$..." units doubled and marked, the euro one untouched.
  EXPECT_EQ(FindUnit(100, "$/h*")->item1, 20);
  EXPECT_EQ(FindUnit(100, "MM$/day*")->item1, 40);
  EXPECT_EQ(FindUnit(101, "$/kJ*")->item1, 80);
  EXPECT_EQ(FindUnit(100, "EUR/h*")->item1, 30);
  EXPECT_DOUBLE_EQ(FindUnit(99, "MM$")->item1, 2e-6);
  EXPECT_EQ(manager_.edited_base_unit_factor(), kEmptyValue);
}

TEST_F(PemarConfigManagerTest, TimeFactorChangeRescalesByTheInverseRatio) {
  SetCurrentUnitName(44, "day");
  manager_.Message("EditUnit x 44");  // remembers 24
  SetUnitConvFactorByName(1, 44, "day", 48);
  manager_.Specify(Var(1519, 121), 48);
  EXPECT_EQ(FindUnit(100, "MM$/day*")->item1, 10);
  EXPECT_EQ(FindUnit(100, "$/h*")->item1, 10);
}

TEST_F(PemarConfigManagerTest, UnusableFactorsLeaveCostUnitsAlone) {
  // An edited factor of 0, and a current factor that became empty.
  struct Row {
    UnitRecord before, after;
  };
  const Row rows[] = {{{"$", 5, 0, 0}, {"$", 5, 0, 2}},
                      {{"$", 5, 0, 1}, {"$", 5, 0, kEmptyValue}}};
  for (const Row& row : rows) {
    AddUnit(99, row.before);
    SetCurrentUnitName(99, "$");
    manager_.Message("EditUnit x 99");
    AddUnit(99, row.after);
    manager_.Specify(Var(1519, 121), 1);
    EXPECT_EQ(FindUnit(100, "$/h*")->item1, 10);
    EXPECT_EQ(FindUnit(101, "$/kJ*")->item1, 40);
    EXPECT_TRUE(std::isfinite(FindUnit(99, "MM$")->item1));
  }
}

TEST_F(PemarConfigManagerTest, UnitTextsShowTheBaseUnitsOfTheCompound) {
  SetCurrentUnitName(99, "EUR");
  SetCurrentUnitName(44, "day");
  manager_.SetCurrentUnit(100);
  EXPECT_EQ(manager_.TextValue(VarDescription("Units", 206)), "EUR");
  EXPECT_EQ(manager_.TextValue(VarDescription("Units", 207)), "day");
  manager_.SetCurrentUnit(101);
  EXPECT_EQ(manager_.TextValue(VarDescription("Units", 207)), "kJ");
  EXPECT_EQ(manager_.CurrentUnitType(), 101);
  manager_.SetCurrentUnit(99);
  EXPECT_EQ(manager_.TextValue(VarDescription("Units", 207)), "");
}

TEST_F(PemarConfigManagerTest, BrowseSimulatorFolderKeepsOnlySystemFolders) {
  const std::string system = Path("SIMSCI/PROII/System");
  const std::string other = Path("Tools/System");
  std::filesystem::create_directories(system);
  std::filesystem::create_directories(other);
  struct Row {
    std::string chosen;
    const char* stored;
  };
  const Row rows[] = {{system + "/", system.c_str()},
                      {other, ""},
                      {Path("SIMSCI/None/System"), ""}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.chosen);
    ResetConfigStore();
    SetFolderPicker([&](const Text&, const Text&) {
      return FolderChoice{row.chosen, ""};
    });
    EXPECT_EQ(manager_.Message("BrowseSimulatorFolder"), 1);
    EXPECT_EQ(GetConfigString("BrowseProIIFolder"), row.stored);
  }
  SetFolderPicker(nullptr);
  manager_.Message("BrowseSimulatorFolder");
  EXPECT_TRUE(messages_.Has(MessageKind::kError, "ErrorFingingFile"));
}

}  // namespace
}  // namespace pemar
