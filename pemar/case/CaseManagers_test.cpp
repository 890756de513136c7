#include "pemar/case/CaseManagers.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>

#include "pemar/case/SimulationCase.h"
#include "pemar/case/SimulationObject.h"
#include "pemar/features/ExpMgrView.h"
#include "pemar/framework/Messages.h"
#include "pemar/framework/Reports.h"
#include "pemar/project/EngineeringManager.h"
#include "pemar/utility/DefaultUtilManagerView.h"

namespace pemar {
namespace {

int builds = 0;

Viewable* BuildTestManager(SimulationCase* theCase, const char* name) {
  ++builds;
  auto* manager = new Viewable(theCase, ViewableObjectType());
  manager->SetName(name);
  return manager;
}

Viewable* BuildNothing(SimulationCase* /*theCase*/, const char* /*name*/) {
  ++builds;
  return nullptr;
}

VarDescription Parsed(const char* text) {
  VarDescription desc;
  EXPECT_TRUE(VarDescription::Parse(text, &desc)) << text;
  return desc;
}

class CaseManagersTest : public ::testing::Test {
 protected:
  void SetUp() override {
    _add_ViewableBuilderFnc("TestManager", &BuildTestManager);
    _add_ViewableBuilderFnc("Refusing", &BuildNothing);
    builds = 0;
  }
  // Declared before the case, so that its messages are kept, not printed.
  RecordingMessageSink sink_;
  ScopedMessageSink scoped_{&sink_};
  SimulationCase case_{Text("SIM"), nullptr};
};

TEST_F(CaseManagersTest, NullArgumentsGiveNothing) {
  EXPECT_EQ(CaseBuildManager(nullptr, "TestManager"), nullptr);
  EXPECT_EQ(CaseBuildManager(&case_, nullptr), nullptr);
  CaseAddManager(nullptr, &case_, "X");
  CaseAddManager(&case_, nullptr, "X");
  EXPECT_EQ(CaseFeatureManager(nullptr), nullptr);
  EXPECT_EQ(CaseStreamManager(nullptr), nullptr);
  EXPECT_EQ(CaseEngineeringManager(nullptr), nullptr);
  EXPECT_EQ(case_.AttachedName(nullptr), "");
  EXPECT_EQ(builds, 0);
}

// A manager is built only through the build address, once, and again
// when it was destroyed; its name resolves back to it.
TEST_F(CaseManagersTest, ManagerIsBuiltOnlyThroughTheBuildAddress) {
  EXPECT_EQ(case_.AttachedObject(Parsed("Viewable.600.(TestManager)")),
            nullptr);
  EXPECT_EQ(builds, 0);
  Viewable* built = CaseBuildManager(&case_, "TestManager");
  ASSERT_NE(built, nullptr);
  EXPECT_EQ(case_.AttachedObject(Parsed("Viewable.600.(TestManager)")), built);
  EXPECT_EQ(CaseBuildManager(&case_, "TestManager"), built);
  EXPECT_EQ(builds, 1);
  EXPECT_EQ(case_.AttachedName(built), "Viewable.500.(TestManager)");
  EXPECT_EQ(case_.AttachedObject(Parsed("Viewable.500.(TestManager)")), built);
  delete built;
  EXPECT_EQ(case_.AttachedObject(Parsed("Viewable.600.(TestManager)")),
            nullptr);
  EXPECT_NE(case_.AttachedObject(Parsed("Viewable.500.(TestManager)")),
            nullptr);
  EXPECT_EQ(builds, 2);
}

TEST_F(CaseManagersTest, FeatureManagerComesFromTheLibrarysOwnBuilder) {
  EXPECT_EQ(CaseFeatureManager(&case_), nullptr);
  Viewable* built = CaseBuildManager(&case_, "FeatureManager");
  ASSERT_NE(built, nullptr);
  EXPECT_EQ(CaseFeatureManager(&case_), built);
  EXPECT_EQ(FindViewableBuilderType("FeatureManager"), ExpMgrViewObjectType());
}

TEST_F(CaseManagersTest, NameWithoutBuilderOrManagerGivesNullAndAddsNothing) {
  EXPECT_EQ(CaseBuildManager(&case_, "StreamManager"), nullptr);
  EXPECT_EQ(CaseBuildManager(&case_, "Refusing"), nullptr);
  EXPECT_EQ(CaseStreamManager(&case_), nullptr);
  EXPECT_EQ(case_.AttachedObject(Parsed("Viewable.600.(Refusing)")), nullptr);
}

TEST_F(CaseManagersTest, AddingUnderAHeldNameKeepsTheFirstManager) {
  StreamManager first(&case_, ViewableObjectType());
  StreamManager second(&case_, ViewableObjectType());
  CaseAddManager(&case_, &first, "StreamManager");
  CaseAddManager(&case_, &second, "StreamManager");
  EXPECT_EQ(CaseStreamManager(&case_), &first);
  EXPECT_EQ(first.DeathPosteeRefCount(&case_), 1);
}

int recalledBuilds = 0;

Viewable* BuildRecalledManager(SimulationCase* theCase, const char* name) {
  ++recalledBuilds;
  auto* manager = new SimulationObject(theCase, SimulationObjectObjectType());
  manager->SetName(name);
  return manager;
}

// Saves the case and reopens it into `reopened`.
void SaveAndReopen(SimulationCase& saved, SimulationCase& reopened) {
  const std::string path =
      (std::filesystem::temp_directory_path() / "pemar-recalled-manager.kcs")
          .string();
  saved.SetFileName(path);
  ASSERT_TRUE(saved.SaveDocument(0));
  ASSERT_TRUE(reopened.RecallDocument(FileName(Text(path))));
  std::filesystem::remove(path);
}

TEST_F(CaseManagersTest, RecalledManagerIsFoundInsteadOfBuiltAgain) {
  _add_ViewableBuilderFnc("RecalledManager", &BuildRecalledManager,
                          SimulationObjectObjectType());
  recalledBuilds = 0;
  ASSERT_NE(CaseBuildManager(&case_, "RecalledManager"), nullptr);
  SimulationCase reopened(Text("SIM"), nullptr);
  SaveAndReopen(case_, reopened);
  Viewable* held =
      reopened.AttachedObject(Parsed("Viewable.600.(RecalledManager)"));
  ASSERT_NE(held, nullptr);
  EXPECT_EQ(CaseBuildManager(&reopened, "RecalledManager"), held);
  EXPECT_EQ(recalledBuilds, 1);
  EXPECT_EQ(
      reopened.GetObjectManager().Objects(SimulationObjectObjectType()).size(),
      1u);
}

Viewable* BuildEditorManager(SimulationCase* theCase, const char* name) {
  auto* manager = new DefaultUtilManagerView(theCase, nullptr);
  manager->SetName(name);
  return manager;
}

TEST_F(CaseManagersTest, RecalledObjectOfAnotherTypeIsNotTakenBack) {
  // The type is learnt from the builder's first manager.
  _add_ViewableBuilderFnc("LearntManager", &BuildEditorManager);
  EXPECT_EQ(FindViewableBuilderType("LearntManager"), nullptr);
  SimulationCase other(Text("SIM"), nullptr);
  Viewable* first = CaseBuildManager(&other, "LearntManager");
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(FindViewableBuilderType("LearntManager"), first->Type());

  auto* impostor = new SimulationObject(&case_, SimulationObjectObjectType());
  impostor->SetName("LearntManager");
  SimulationCase reopened(Text("SIM"), nullptr);
  SaveAndReopen(case_, reopened);
  EXPECT_EQ(reopened.AttachedObject(Parsed("Viewable.600.(LearntManager)")),
            nullptr);
  Viewable* built = CaseBuildManager(&reopened, "LearntManager");
  ASSERT_NE(built, nullptr);
  EXPECT_EQ(built->Type(), first->Type());
}

TEST_F(CaseManagersTest, ObjectNamedLikeAManagerDoesNotGetItsAddress) {
  Viewable* manager = CaseBuildManager(&case_, "TestManager");
  Viewable impostor(&case_, ViewableObjectType());
  impostor.SetName("TestManager");
  EXPECT_NE(case_.AttachedName(&impostor), "Viewable.500.(TestManager)");
  EXPECT_EQ(case_.AttachedName(manager), "Viewable.500.(TestManager)");
}

// Addresses from the case and from a simulation object in it: the report
// manager's own, a link resolved on a manager, the case from its objects.
TEST_F(CaseManagersTest, AddressesResolveFromTheCaseAndItsObjects) {
  SimulationObject linked(&case_, SimulationObjectObjectType());
  CaseAddManager(&case_, &linked, "Linked");
  Viewable* manager = CaseBuildManager(&case_, "TestManager");
  SimulationObject object(&case_, SimulationObjectObjectType());
  Document plain(nullptr, DocumentObjectType());
  SimulationObject stray(&plain, SimulationObjectObjectType());
  const std::tuple<Viewable*, const char*, Viewable*> rows[] = {
      {&case_, "ReportMgr.300", case_.GetReportManager()},
      {&case_, "Viewable.600.(Linked)/SimCase.200", &case_},
      {&case_, "Viewable.600.(Absent)/SimCase.200", nullptr},
      {&object, "SimCase.200", &case_},
      {&object, "SimCase.200/Viewable.600.(TestManager)", manager},
      {&stray, "SimCase.200", nullptr}};
  for (const auto& [from, address, expected] : rows) {
    EXPECT_EQ(from->AttachedObject(Parsed(address)), expected) << address;
  }
  EXPECT_EQ(case_.AttachedName(case_.GetReportManager()), "ReportMgr.300");
  EXPECT_EQ(object.AttachedName(&case_), "SimCase.200");
  EXPECT_EQ(object.Case(), &case_);
  EXPECT_EQ(stray.Case(), nullptr);
  EXPECT_EQ(CaseEngineeringManager(&case_),
            static_cast<IEngineeringManager*>(case_.GetEngineeringManager()));
  EXPECT_EQ(case_.CastToClassType("IEngineeringManager"),
            static_cast<IEngineeringManager*>(case_.GetEngineeringManager()));
  EXPECT_EQ(case_.CastToClassType("Other"), nullptr);
  EXPECT_EQ(CaseEngineeringManager(&plain), nullptr);
}

}  // namespace
}  // namespace pemar
