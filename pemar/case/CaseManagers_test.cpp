#include "pemar/case/CaseManagers.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "pemar/case/SimulationCase.h"
#include "pemar/case/SimulationObject.h"
#include "pemar/framework/Messages.h"
#include "pemar/framework/Reports.h"
#include "pemar/project/EngineeringManager.h"

namespace pemar {
namespace {

int builds = 0;

Viewable* BuildFeatureManager(SimulationCase* theCase, const char* name) {
  ++builds;
  auto* manager = new ExpMgrView(theCase, ViewableObjectType());
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
    _add_ViewableBuilderFnc("FeatureManager", &BuildFeatureManager);
    _add_ViewableBuilderFnc("Refusing", &BuildNothing);
    builds = 0;
  }
  // Declared before the case, so that its messages are kept, not printed.
  RecordingMessageSink sink_;
  ScopedMessageSink scoped_{&sink_};
  SimulationCase case_{Text("SIM"), nullptr};
};

TEST_F(CaseManagersTest, NullArgumentsGiveNothing) {
  EXPECT_EQ(CaseBuildManager(nullptr, "FeatureManager"), nullptr);
  EXPECT_EQ(CaseBuildManager(&case_, nullptr), nullptr);
  CaseAddManager(nullptr, &case_, "X");
  CaseAddManager(&case_, nullptr, "X");
  EXPECT_EQ(CaseFeatureManager(nullptr), nullptr);
  EXPECT_EQ(CaseStreamManager(nullptr), nullptr);
  EXPECT_EQ(CaseEngineeringManager(nullptr), nullptr);
  EXPECT_EQ(case_.AttachedName(nullptr), "");
  EXPECT_EQ(builds, 0);
}

TEST_F(CaseManagersTest, FeatureManagerIsBuiltOnlyThroughTheBuildAddress) {
  EXPECT_EQ(CaseFeatureManager(&case_), nullptr);
  EXPECT_EQ(builds, 0);
  Viewable* built = CaseBuildManager(&case_, "FeatureManager");
  ASSERT_NE(built, nullptr);
  EXPECT_EQ(CaseFeatureManager(&case_), built);
  EXPECT_EQ(CaseBuildManager(&case_, "FeatureManager"), built);
  EXPECT_EQ(builds, 1);
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

TEST_F(CaseManagersTest, DestroyedManagerIsForgottenAndBuiltAgain) {
  Viewable* built = CaseBuildManager(&case_, "FeatureManager");
  ASSERT_NE(built, nullptr);
  delete built;
  EXPECT_EQ(case_.AttachedObject(Parsed("Viewable.600.(FeatureManager)")),
            nullptr);
  Viewable* again =
      case_.AttachedObject(Parsed("Viewable.500.(FeatureManager)"));
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(builds, 2);
}

TEST_F(CaseManagersTest, RecalledManagerIsFoundInsteadOfBuiltAgain) {
  static int recalledBuilds = 0;
  _add_ViewableBuilderFnc("RecalledManager", [](SimulationCase* theCase,
                                                const char* name) {
    ++recalledBuilds;
    auto* manager = new SimulationObject(theCase, SimulationObjectObjectType());
    manager->SetName(name);
    return static_cast<Viewable*>(manager);
  });
  const std::string path =
      (std::filesystem::temp_directory_path() / "pemar-recalled-manager.kcs")
          .string();
  case_.SetFileName(path);
  ASSERT_NE(CaseBuildManager(&case_, "RecalledManager"), nullptr);
  ASSERT_TRUE(case_.SaveDocument(0));
  SimulationCase reopened(Text("SIM"), nullptr);
  ASSERT_TRUE(reopened.RecallDocument(FileName(Text(path))));
  std::filesystem::remove(path);
  Viewable* held =
      reopened.AttachedObject(Parsed("Viewable.600.(RecalledManager)"));
  ASSERT_NE(held, nullptr);
  EXPECT_EQ(CaseBuildManager(&reopened, "RecalledManager"), held);
  EXPECT_EQ(recalledBuilds, 1);
  EXPECT_EQ(
      reopened.GetObjectManager().Objects(SimulationObjectObjectType()).size(),
      1u);
}

TEST_F(CaseManagersTest, AttachedNameResolvesBackToTheSameManager) {
  Viewable* built = CaseBuildManager(&case_, "FeatureManager");
  Text name = case_.AttachedName(built);
  EXPECT_EQ(name, "Viewable.500.(FeatureManager)");
  EXPECT_EQ(case_.AttachedObject(Parsed(name.c_str())), built);
}

TEST_F(CaseManagersTest, ObjectNamedLikeAManagerDoesNotGetItsAddress) {
  Viewable* manager = CaseBuildManager(&case_, "FeatureManager");
  Viewable impostor(&case_, ViewableObjectType());
  impostor.SetName("FeatureManager");
  EXPECT_NE(case_.AttachedName(&impostor), "Viewable.500.(FeatureManager)");
  EXPECT_EQ(case_.AttachedName(manager), "Viewable.500.(FeatureManager)");
}

TEST_F(CaseManagersTest, ReportManagerHasItsOwnAddress) {
  Viewable* reports = case_.AttachedObject(Parsed("ReportMgr.300"));
  ASSERT_NE(reports, nullptr);
  EXPECT_EQ(reports, case_.GetReportManager());
  EXPECT_EQ(case_.AttachedName(reports), "ReportMgr.300");
}

TEST_F(CaseManagersTest, NextLinkIsResolvedOnTheManager) {
  SimulationObject manager(&case_, SimulationObjectObjectType());
  CaseAddManager(&case_, &manager, "Linked");
  EXPECT_EQ(case_.AttachedObject(Parsed("Viewable.600.(Linked)/SimCase.200")),
            &case_);
  EXPECT_EQ(case_.AttachedObject(Parsed("Viewable.600.(Absent)/SimCase.200")),
            nullptr);
}

TEST_F(CaseManagersTest, EngineeringManagerIsTheCasesOwn) {
  EXPECT_EQ(CaseEngineeringManager(&case_),
            static_cast<IEngineeringManager*>(case_.GetEngineeringManager()));
  Document plain(nullptr, DocumentObjectType());
  EXPECT_EQ(CaseEngineeringManager(&plain), nullptr);
}

TEST_F(CaseManagersTest, SimulationObjectReachesItsCase) {
  SimulationObject object(&case_, SimulationObjectObjectType());
  EXPECT_EQ(object.Case(), &case_);
  EXPECT_EQ(object.AttachedObject(Parsed("SimCase.200")), &case_);
  EXPECT_EQ(object.AttachedName(&case_), "SimCase.200");
  Viewable* manager = CaseBuildManager(&case_, "FeatureManager");
  EXPECT_EQ(object.AttachedObject(
                Parsed("SimCase.200/Viewable.600.(FeatureManager)")),
            manager);

  Document plain(nullptr, DocumentObjectType());
  SimulationObject stray(&plain, SimulationObjectObjectType());
  EXPECT_EQ(stray.Case(), nullptr);
  EXPECT_EQ(stray.AttachedObject(Parsed("SimCase.200")), nullptr);
}

}  // namespace
}  // namespace pemar
