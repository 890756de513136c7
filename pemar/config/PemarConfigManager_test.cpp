#include "pemar/config/PemarConfigManager.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>
#include <vector>

#include "pemar/config/PemarConfigVectorInfo.h"
#include "pemar/config/testing/ConfigTestSupport.h"
#include "tests/support/FaultLoop.h"

namespace pemar {
namespace {

VarDescription Var(int type, int number) {
  VarDescription desc("Form", number);
  desc.SetType(type);
  return desc;
}

class PemarConfigManagerTest : public test_support::ConfigTest {
 protected:
  void SetUp() override {
    ConfigTest::SetUp();
    AddUnits();
  }
  // Currencies, times, energies and compound cost units. Item 1 is the
  // factor; a time unit with item 0 = 2 stores its reciprocal.
  static void AddUnits() {
    const std::pair<int, UnitRecord> units[] = {
        {99, {"$", 1, 1, 1}},          {99, {"MM$", 1, 1, 1e-6}},
        {99, {"EUR", 1, 1, 0.9}},      {44, {"h", 1, 1, 1}},
        {44, {"day", 5, 0, 24}},       {44, {"zero", 5, 0, 0}},
        {115, {"kJ", 1, 1, 1}},        {100, {"$/h*", 5, 0, 10}},
        {100, {"MM$/day*", 5, 0, 20}}, {100, {"EUR/h*", 5, 0, 30}},
        {101, {"$/kJ*", 5, 0, 40}}};
    for (const auto& [type, unit] : units) AddUnit(type, unit);
  }
  Text Form() const {
    return OpenedViews().empty() ? Text() : OpenedViews().back();
  }
  void EditUnit(int type, const UnitRecord& unit) {
    AddUnit(type, unit);
    SetCurrentUnitName(type, unit.name);
    EXPECT_EQ(manager_.Message(Text::Format("EditUnit x %d", type)), 1);
  }

  PemarConfigManager manager_{nullptr};
};

TEST_F(PemarConfigManagerTest, VariablesReadAndWriteTheirStoreKeys) {
  const std::tuple<int, int, const char*> rows[] = {
      {1519, 400, "TempPercentageBoundValue"},
      {100, 400, "TempBoundIndex"},
      {104, 127, "SimulationUtilityDatabase"}};
  double value = 1.5;
  for (const auto& [type, number, key] : rows) {
    SCOPED_TRACE(key);
    EXPECT_EQ(manager_.Specify(Var(type, number), value), 1);
    EXPECT_EQ(GetConfigData(key, -1), value);
    SetConfigData(key, value + 1);
    EXPECT_EQ(manager_.Value(Var(type, number)), value + 1);
    value += 10;
  }
  // The simulation's utility database also supplies its utilities.
  EXPECT_EQ(GetConfigData("UtilitiesFromSimulation", -1), value - 10);
  for (const auto& [number, key] :
       {std::pair{352, "ProIIVersion"}, {353, "BrowseProIIFolder"}}) {
    EXPECT_EQ(manager_.SpecifyText(Var(1519, number), key), 1);
    EXPECT_EQ(GetConfigString(key, Text()), key);
    EXPECT_EQ(manager_.TextValue(Var(1519, number)), key);
  }
}

TEST_F(PemarConfigManagerTest, SolverChoiceAndFolderReplaceLpsolverDat) {
  // Until a folder is chosen, the solver runs from the program's folder.
  manager_.Specify(Var(100, 300), 1);
  EXPECT_EQ(File("Lpsolver.dat"), "XPRESS " + manager_.solver_folder().str());
  // A value that is no int is refused and the choice kept; 3 is kept but
  // writes nothing.
  const double kNaN = std::nan("");
  const std::tuple<double, int, const char*> rows[] = {
      {0, 0, "LPSOLVE "},     {2, 2, "LINGO "},        {kNaN, 2, "<absent>"},
      {1e300, 2, "<absent>"}, {-1e300, 2, "<absent>"}, {3, 3, "<absent>"}};
  for (const auto& [value, choice, bytes] : rows) {
    SCOPED_TRACE(value);
    fs_.DeleteFile("Lpsolver.dat");
    manager_.Specify(Var(100, 300), value);
    EXPECT_EQ(manager_.Value(Var(100, 300)), choice);
    EXPECT_EQ(File("Lpsolver.dat"), bytes);
  }
  // A new folder is written with its backslashes doubled, only then; a
  // folder that does not exist is refused.
  const std::string folder = "C:\\xpress\\bin";
  fs_.SetFile(folder, "");
  EXPECT_EQ(manager_.SpecifyText(Var(1519, 300), folder), 1);
  EXPECT_EQ(File("Lpsolver.dat"), "XPRESS C:\\\\xpress\\\\bin");
  manager_.Specify(Var(100, 300), 1);
  EXPECT_EQ(File("Lpsolver.dat"), "XPRESS " + folder);
  EXPECT_EQ(manager_.SpecifyText(Var(1519, 300), "missing"), 0);
  EXPECT_TRUE(messages_.Has(MessageKind::kError, "ErrorFingingFile"));
  EXPECT_EQ(manager_.TextValue(Var(1519, 300)), folder);
  EXPECT_EQ(File("Lpsolver.dat"), "XPRESS " + folder);
  // Each file operation of a rewrite fails in turn: the old file stays (a
  // folder sync comes after the rename), no temporary file is left, and the
  // failure is shown and answered with 0.
  FaultInjectingFileSystem faulty(&fs_);
  ScopedFileSystem scoped(&faulty);
  for (bool by_folder : {false, true}) {
    auto run = [&] {
      fs_.SetFile("Lpsolver.dat", "old");
      messages_.Clear();
      const bool written =
          (by_folder ? manager_.SpecifyText(Var(1519, 300), folder)
                     : manager_.Specify(Var(100, 300), 2)) == 1;
      EXPECT_EQ(messages_.Has(MessageKind::kError, "UnableToCreateDocument"),
                !written);
      EXPECT_TRUE(written || File("Lpsolver.dat") == "old" ||
                  faulty.Count(FaultInjectingFileSystem::Op::kSyncDir) == 1);
      EXPECT_EQ(fs_.Files().size(), 2u);
      return written;
    };
    EXPECT_GE(test_support::ForEachInjectedFailure(faulty, run), 5);
  }
}

// A key added again keeps its first label; a null key, and a change to a
// null key or outside the list, change nothing.
TEST(PemarConfigVectorInfoTest, ListsKeysWithTheirFirstLabels) {
  PemarConfigVectorInfo info;
  info.AddItem("A", "first");
  info.AddItem("B", nullptr);
  info.AddItem("A", "second");
  info.AddItem(nullptr, "x");
  for (long i : {1L, 2L, -1L}) info.ChangeItem(i, "C");
  info.ChangeItem(0, nullptr);
  EXPECT_EQ(info.lnumConfigItems(), 2);
  EXPECT_STREQ(info.GetConfigInfo(0), "A");
  EXPECT_STREQ(info.GetConfigLabel(0), "first");
  EXPECT_STREQ(info.GetConfigInfo(1), "C");
  EXPECT_STREQ(info.GetConfigLabel(1), "");
  EXPECT_EQ(info.GetConfigLabel(2), nullptr);
}

// Each opens its form; 215, 206 and 207 name the last cost unit's quantity
// and the current currency and time or energy unit (the current unit type
// kept); the unit-name fields are editable while a new unit is made.
TEST_F(PemarConfigManagerTest, NewUnitOpensItsFormAndShowsItsUnits) {
  const std::tuple<const char*, const char*, const char*, const char*, int>
      rows[] = {{"NewUnit x 100", "UserCostUnitConversion", "&Time", "h", 1},
                {"NewUnit x 101", "UserCostUnitConversion", "&Energy", "kJ", 1},
                {"CancelNew", "", "&Energy", "kJ", 0},
                {"NewUnit x 0", "NoUnitConversion", "&Energy", "kJ", 0},
                {"NewUnit x 44", "UserUnitConversion", "&Energy", "", 1}};
  for (const auto& [command, form, quantity, denominator, editable] : rows) {
    SCOPED_TRACE(command);
    ClearOpenedViews();
    EXPECT_EQ(manager_.Message(command), 1);
    EXPECT_EQ(Form(), form);
    const int type = manager_.CurrentUnitType();
    EXPECT_EQ(manager_.TextValue(Var(1519, 215)), quantity);
    EXPECT_EQ(manager_.TextValue(VarDescription("Units", 206)), "$");
    EXPECT_EQ(manager_.TextValue(VarDescription("Units", 207)), denominator);
    EXPECT_EQ(manager_.CurrentUnitType(), type);
    for (int field : {31000, 31012, 1520}) {
      ModifyState state;
      int status = -1;
      EXPECT_EQ(manager_.VariableStatus(Var(field, 225), state, status), 1);
      EXPECT_EQ(status, editable) << field;
    }
  }
  // On an indirect list the entry must be a number inside it.
  ClearOpenedViews();
  PemarConfigManager manager(nullptr);
  manager.SetIndirectUnitList({99, 100, 44});
  for (const char* command :
       {"NewUnit a 9999", "NewUnit a -1", "NewUnit a x", "NewUnit a"}) {
    SCOPED_TRACE(command);
    EXPECT_EQ(manager.Message(command), 0);
    EXPECT_TRUE(OpenedViews().empty());
    EXPECT_FALSE(manager.IsDefiningNewUnit());
  }
  manager.Message("NewUnit a 1");
  EXPECT_EQ(manager.CurrentUnitType(), 100);
  EXPECT_EQ(Form(), "UserCostUnitConversion");
}

TEST_F(PemarConfigManagerTest, DoneNewNamesAndPricesTheCompoundUnit) {
  // EUR per day: 0.9 / 24; per a time unit of factor 0, the numerator's.
  for (const auto& [denominator, factor] :
       {std::pair<const char*, double>{"day", 0.9 / 24}, {"zero", 0.9}}) {
    SCOPED_TRACE(denominator);
    manager_.Message("NewUnit x 100");
    manager_.SpecifyText(Var(31000, 225), "EUR");
    manager_.SpecifyText(Var(31012, 225), denominator);
    EXPECT_EQ(manager_.Message("DoneNew"), 1);
    Text name = Text("EUR/") + denominator + "*";
    const UnitRecord* unit = FindUnit(100, name);
    ASSERT_NE(unit, nullptr);
    EXPECT_DOUBLE_EQ(unit->item1, factor);
    EXPECT_EQ(GetCurrentUnitName(100), name);
  }
}

// On a compound unit "EditUnit" splits the name, taking the '*' off the
// denominator unless a unit is named with it; on a base unit it remembers
// the unit's factor and opens the form of its conversion type.
TEST_F(PemarConfigManagerTest, EditUnitSplitsCompoundNamesOrKeepsTheFactor) {
  AddUnit(44, {"shift*", 1, 1, 8});
  const std::tuple<const char*, const char*, const char*> compound[] = {
      {"MM$/day*", "MM$", "day"},
      {"$/shift**", "$", "shift*"},
      {"odd", "odd", ""}};
  for (const auto& [unit, numerator, denominator] : compound) {
    SCOPED_TRACE(unit);
    EditUnit(100, {unit, 5, 0, 1});
    EXPECT_EQ(manager_.numerator_unit(), numerator);
    EXPECT_EQ(manager_.denominator_unit(), denominator);
    EXPECT_EQ(Form(), "UserCostUnitConversion");
  }
  const std::tuple<UnitRecord, const char*, double> base[] = {
      {{"u2", 2, 2, 4}, "TempUnitConversion", 0.25},
      {{"u3", 3, 1, kEmptyValue}, "GPressUnitConversion", 1},
      {{"u4", 4, 2, 0}, "APIUnitConversion", kEmptyValue},
      {{"u5", 5, 0, 6}, "UserUnitConversion", 6}};

  for (const auto& [unit, form, remembered] : base) {
    SCOPED_TRACE(form);
    EditUnit(99, unit);
    EXPECT_EQ(Form(), form);
    EXPECT_EQ(manager_.edited_base_unit_factor(), remembered);
  }
}

// Editing a base unit's factor rescales the compound cost units made of it
// by the ratio (by its inverse for a time unit): doubling "$" doubles the
// "$..." and "MM$..." units, not the euro one; doubling the day halves the
// cost per day. An edited factor of 0, or a current one that became empty,
// gives no ratio and changes nothing.
TEST_F(PemarConfigManagerTest, BaseFactorChangeRescalesMatchingCostUnits) {
  const struct {
    int base, type;
    UnitRecord before, after;
    const char* name;
    double factor;
  } rows[] = {{99, 100, {"$", 1, 1, 1}, {"$", 1, 2, 1}, "$/h*", 20},
              {99, 100, {"$", 1, 1, 1}, {"$", 1, 2, 1}, "MM$/day*", 40},
              {99, 101, {"$", 1, 1, 1}, {"$", 1, 2, 1}, "$/kJ*", 80},
              {99, 100, {"$", 1, 1, 1}, {"$", 1, 2, 1}, "EUR/h*", 30},
              {99, 99, {"$", 1, 1, 1}, {"$", 1, 2, 1}, "MM$", 2e-6},
              {44, 100, {"day", 5, 0, 24}, {"day", 5, 0, 48}, "MM$/day*", 10},
              {44, 100, {"day", 5, 0, 24}, {"day", 5, 0, 48}, "$/h*", 10},
              {99, 100, {"$", 5, 0, 0}, {"$", 5, 0, 2}, "$/h*", 10},
              {99, 100, {"$", 5, 0, 1}, {"$", 5, 0, kEmptyValue}, "$/h*", 10}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.after.name.str() + " then " + row.name);
    ClearUnitTables();
    AddUnits();
    EditUnit(row.base, row.before);
    AddUnit(row.base, row.after);
    manager_.Specify(Var(1519, 121), 1);
    EXPECT_DOUBLE_EQ(FindUnit(row.type, row.name)->item1, row.factor);
    EXPECT_TRUE(std::isfinite(FindUnit(99, "MM$")->item1));
    EXPECT_EQ(manager_.edited_base_unit_factor(), kEmptyValue);
  }
}

}  // namespace
}  // namespace pemar
