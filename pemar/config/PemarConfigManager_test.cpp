#include "pemar/config/PemarConfigManager.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <map>
#include <memory>

#include "pemar/config/PemarConfigVectorInfo.h"
#include "pemar/config/testing/ConfigTestSupport.h"
#include "pemar/framework/FolderPicker.h"

namespace pemar {
namespace {

using test_support::Row;
using test_support::Rows;

VarDescription Var(int type, int number, int index = 0) {
  VarDescription desc("Form", number);
  desc.SetType(type);
  desc.SetIndex(index);
  return desc;
}

// The unit whose name, conversion type and items are fields i to i + 3.
UnitRecord Unit(const Row& r, std::size_t i) {
  return {r[i], r.Int(i + 1), r.Number(i + 2), r.Number(i + 3)};
}

// The fixture's units are the rows "unit" of testdata/manager.csv.
class PemarConfigManagerTest : public test_support::ConfigTest {
 protected:
  void SetUp() override {
    ConfigTest::SetUp();
    AddUnits();
  }
  static void AddUnits() {
    for (const Row& r : Rows("manager.csv", "unit")) {
      AddUnit(r.Int(0), Unit(r, 1));
    }
  }
  Text Form() const {
    return OpenedViews().empty() ? Text() : OpenedViews().back();
  }
  // Checks a number against field i of `r`, unless the field is empty.
  static void Expect(double actual, const Row& r, std::size_t i) {
    if (!r[i].empty()) {
      EXPECT_DOUBLE_EQ(actual, r.Number(i));
    }
  }

  // One step of a scenario in testdata/manager.csv (its header lists them).
  void Step(const Row& r) {
    PemarConfigManager& m = *manager_;
    auto var = [&r] {
      return r[1] == "Units" ? VarDescription("Units", r.Int(2))
                             : Var(r.Int(1), r.Int(2));
    };
    auto unit = [&r] { return FindUnit(r.Int(1), r[2]); };
    const std::map<std::string, std::function<void()>> steps = {
        {"unit", [&] { AddUnit(r.Int(1), Unit(r, 2)); }},
        {"current", [&] { SetCurrentUnitName(r.Int(1), r[2]); }},
        {"setunit", [&] { m.SetCurrentUnit(r.Int(1)); }},
        {"reset", [&] { ClearUnitTables(), AddUnits(); }},
        {"renew", [&] { manager_.reset(new PemarConfigManager(nullptr)); }},
        {"indirect",
         [&] {
           m.SetIndirectUnitList({r.Int(1), r.Int(2), r.Int(3)});
         }},
        {"mkfile", [&] { fs_.SetFile(r[1], ""); }},
        {"rm", [&] { fs_.DeleteFile(r[1]); }},
        {"pick", [&] { Pick(r[1]); }},
        {"setstore", [&] { SetConfigData(r[1], r.Number(2)); }},
        {"specify", [&] { Expect(m.Specify(var(), r.Number(3)), r, 4); }},
        {"settext", [&] { Expect(m.SpecifyText(var(), r[3]), r, 4); }},
        {"message", [&] { ClearOpenedViews(), Expect(m.Message(r[1]), r, 2); }},
        {"value", [&] { Expect(m.Value(var()), r, 3); }},
        {"text", [&] { EXPECT_EQ(m.TextValue(var()), r[3]); }},
        {"store", [&] { EXPECT_EQ(GetConfigData(r[1], -1), r.Number(2)); }},
        {"string", [&] { EXPECT_EQ(GetConfigString(r[1]), r[2]); }},
        {"file", [&] { EXPECT_EQ(File(r[1]), r[2]); }},
        {"form", [&] { EXPECT_EQ(Form(), r[1]); }},
        {"factor",
         [&] {
           ASSERT_TRUE(unit() && std::isfinite(unit()->item1));
           Expect(unit()->item0, r, 3);
           Expect(unit()->item1, r, 4);
         }},
        {"unitat", [&] { EXPECT_EQ(UnitNameAt(r.Int(1), r.Int(2)), r[3]); }},
        {"currentname", [&] { EXPECT_EQ(GetCurrentUnitName(r.Int(1)), r[2]); }},
        {"unittype", [&] { EXPECT_EQ(m.CurrentUnitType(), r.Int(1)); }},
        {"numerator", [&] { EXPECT_EQ(m.numerator_unit(), r[1]); }},
        {"denominator", [&] { EXPECT_EQ(m.denominator_unit(), r[1]); }},
        {"edited",
         [&] { EXPECT_EQ(m.edited_base_unit_factor(), r.Number(1)); }},
        {"defining", [&] { EXPECT_EQ(m.IsDefiningNewUnit(), r[1] == "1"); }},
        {"status",
         [&] {
           int status = -1;
           ModifyState state;
           m.VariableStatus(var(), state, status);
           EXPECT_EQ(status, r.Int(3));
         }},
        {"lastbase", [&] { EXPECT_EQ(m.base_calls().back(), r[1]); }},
        {"basecalls", [&] { EXPECT_EQ(m.base_calls().size(), r.Number(1)); }},
        {"error",
         [&] { EXPECT_TRUE(messages_.Has(MessageKind::kError, r[1])); }},
    };
    auto step = steps.find(r[0]);
    ASSERT_NE(step, steps.end()) << "unknown step";
    step->second();
  }
  // The folder picker chooses `folder`; none when it is empty.
  static void Pick(const Text& folder) {
    SetFolderPicker(folder.IsEmpty() ? FolderPicker()
                                     : [folder](const Text&, const Text&) {
                                         return FolderChoice{folder, ""};
                                       });
  }

  std::unique_ptr<PemarConfigManager> manager_ =
      std::make_unique<PemarConfigManager>(nullptr);
};

TEST_F(PemarConfigManagerTest, RegisteredAtLoadAsTheProgramsManager) {
  std::unique_ptr<ConfigManager> made(CreateConfigManager(nullptr));
  ASSERT_NE(dynamic_cast<PemarConfigManager*>(made.get()), nullptr);
  const ObjectTypeInfo* type = made->Type();
  EXPECT_EQ(type->Name(), "PemarConfigMgrObject");
  EXPECT_EQ(type->Parent(), ConfigMgrObjectType());
  EXPECT_EQ(type->Identifier(), "pmcfgmgr");
  // Until a folder is chosen, the solver runs from the program's folder.
  manager_->Specify(Var(100, 300), 1);
  EXPECT_EQ(File("Lpsolver.dat"), "XPRESS " + manager_->solver_folder().str());
}

TEST_F(PemarConfigManagerTest, VectorInfoTextsAreStoreTextsByIndex) {
  PemarConfigVectorInfo* items = _get_PemarConfigVectorInfo();
  const long first = items->lnumConfigItems();
  items->AddItem("PmTestKeyA", "Label A");
  items->AddItem("PmTestKeyA", "Label B");
  items->AddItem(nullptr, "ignored");
  ASSERT_EQ(items->lnumConfigItems(), first + 1);
  EXPECT_STREQ(items->GetConfigLabel(first), "Label A");

  PemarConfigManager& m = *manager_;
  EXPECT_EQ(m.SpecifyText(Var(1519, 4, first), "value"), 1);
  EXPECT_EQ(GetConfigString("PmTestKeyA"), "value");
  EXPECT_EQ(m.TextValue(Var(1519, 4, first)), "value");
  EXPECT_EQ(m.TextValue(Var(1519, 5, first)), "Label A");
  DimInfo dims;
  EXPECT_EQ(m.Dimensions(Var(1519, 5), dims), 1);
  EXPECT_EQ(dims.Dim(0), first + 1);

  // Indexes outside the list change and find nothing.
  items->ChangeItem(99, "k");
  items->ChangeItem(-1, "k");
  EXPECT_EQ(items->GetConfigInfo(99), nullptr);
  EXPECT_EQ(m.TextValue(Var(1519, 4, 99)), "");
  EXPECT_EQ(m.SpecifyText(Var(1519, 4, 99), "x"), 0);
  EXPECT_EQ(m.TextValue(Var(1519, 5, -1)), "");
  items->ChangeItem(first, "PmTestKeyB");
  EXPECT_STREQ(items->GetConfigInfo(first), "PmTestKeyB");
}

// Each scenario of testdata/manager.csv, step by step.
class PemarConfigScenarioTest
    : public PemarConfigManagerTest,
      public ::testing::WithParamInterface<const char*> {};

TEST_P(PemarConfigScenarioTest, RunsItsSteps) {
  for (const Row& r : Rows("manager.csv", GetParam())) {
    SCOPED_TRACE(::testing::PrintToString(r));
    Step(r);
  }
}

INSTANTIATE_TEST_SUITE_P(Manager, PemarConfigScenarioTest,
                         ::testing::Values("numeric_keys", "solver_file",
                                           "new_unit", "done_new", "edit_unit",
                                           "rescale", "unit_texts", "browse"),
                         [](const auto& info) { return info.param; });

}  // namespace
}  // namespace pemar
