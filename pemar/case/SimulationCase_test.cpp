#include "pemar/case/SimulationCase.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "pemar/case/CaseManagers.h"
#include "pemar/case/SimulationObject.h"
#include "pemar/case/testing/CaseTestSupport.h"
#include "pemar/framework/ProcessCaseEngine.h"
#include "pemar/framework/ViewLog.h"
#include "pemar/utility/DefaultUtilManagerView.h"

namespace pemar {
namespace {

// Manager builders; all but the utility editor's count their calls.
int builds = 0;
template <const ObjectTypeInfo* (*type)()>
Viewable* BuildNamed(SimulationCase* theCase, const char* name) {
  ++builds;
  auto* manager = new Viewable(theCase, type());
  manager->SetName(name);
  return manager;
}
Viewable* BuildNothing(SimulationCase*, const char*) {
  return ++builds, nullptr;
}
Viewable* BuildEditor(SimulationCase* theCase, const char* name) {
  auto* manager = new DefaultUtilManagerView(theCase, nullptr);
  manager->SetName(name);
  return manager;
}

class SimulationCaseTest : public test_support::CaseTest {
 protected:
  void SetUp() override {
    CaseTest::SetUp();
    ClearOpenedViews();
    _add_ViewableBuilderFnc("TestManager", &BuildNamed<ViewableObjectType>);
    _add_ViewableBuilderFnc("Refusing", &BuildNothing);
    builds = 0;
    // The saved filter is one slot for the whole process: put its start
    // value back, and leave this case's filter unknown as in a new case.
    case_.Message("PushFindFilter ViewableObject");
    case_.Message("PushFindFilter NoSuchType");
  }
  void TearDown() override {
    Document::SetUnhandledMessageResult(0);
    CaseTest::TearDown();
  }
  // What `address`, read from `from`, names.
  static Viewable* At(Viewable& from, const char* address) {
    VarDescription desc;
    EXPECT_TRUE(VarDescription::Parse(address, &desc)) << address;
    return from.AttachedObject(desc);
  }
  // The shown texts of the messages of `kind`.
  std::vector<Text> Of(MessageKind kind) const {
    std::vector<Text> found;
    for (const Message& m : sink_.messages()) {
      if (m.kind == kind) found.push_back(m.text);
    }
    return found;
  }

  SimulationCase case_{Text("SIM"), nullptr};
  EngineeringManager* manager_ = case_.GetEngineeringManager();
};

TEST_F(SimulationCaseTest, NullArgumentsAndUnknownManagersGiveNothing) {
  CaseAddManager(nullptr, &case_, "X");
  CaseAddManager(&case_, nullptr, "X");
  EXPECT_EQ(case_.AttachedName(nullptr), "");
  EXPECT_EQ((std::vector<const void*>{
                CaseBuildManager(nullptr, "TestManager"),
                CaseBuildManager(&case_, nullptr),
                CaseExistingManager(nullptr, "FeatureManager"),
                CaseStreamManager(nullptr), CaseEngineeringManager(nullptr)}),
            std::vector<const void*>(5, nullptr));
  EXPECT_EQ(builds, 0);
  // No builder, or one that builds nothing: nothing is added.
  EXPECT_EQ(CaseBuildManager(&case_, "StreamManager"), nullptr);
  EXPECT_EQ(CaseBuildManager(&case_, "Refusing"), nullptr);
  EXPECT_EQ(CaseStreamManager(&case_), nullptr);
  EXPECT_EQ(At(case_, "Viewable.600.(Refusing)"), nullptr);
}

// The feature manager's builder is registered while the library loads, so a
// case builds it by name even in a program that never names its class.
TEST_F(SimulationCaseTest, FeatureManagerBuilderIsRegisteredAtLoad) {
  EXPECT_EQ(CaseExistingManager(&case_, "FeatureManager"), nullptr);
  Viewable* built = CaseBuildManager(&case_, "FeatureManager");
  ASSERT_NE(built, nullptr);
  EXPECT_EQ(built->Type()->Name(), "ExpMgrViewObject");
  EXPECT_EQ(CaseExistingManager(&case_, "FeatureManager"), built);
}

// A manager is built only through the build address (500), once, and again
// when it was destroyed; its name resolves back to it, and an object of the
// same name gets another.
TEST_F(SimulationCaseTest, ManagerIsBuiltOnlyThroughTheBuildAddress) {
  EXPECT_EQ(At(case_, "Viewable.600.(TestManager)"), nullptr);
  EXPECT_EQ(builds, 0);
  Viewable* built = CaseBuildManager(&case_, "TestManager");
  ASSERT_NE(built, nullptr);
  EXPECT_EQ(At(case_, "Viewable.600.(TestManager)"), built);
  EXPECT_EQ(CaseBuildManager(&case_, "TestManager"), built);
  EXPECT_EQ(builds, 1);
  EXPECT_EQ(case_.AttachedName(built), "Viewable.500.(TestManager)");
  Viewable impostor(&case_, ViewableObjectType());
  impostor.SetName("TestManager");
  EXPECT_NE(case_.AttachedName(&impostor), "Viewable.500.(TestManager)");
  delete built;
  EXPECT_EQ(At(case_, "Viewable.600.(TestManager)"), nullptr);
  EXPECT_NE(At(case_, "Viewable.500.(TestManager)"), nullptr);
  EXPECT_EQ(builds, 2);
}

// A recalled manager is found, not built again; a recalled object of
// another type than its builder's (learnt from its first manager) is not.
TEST_F(SimulationCaseTest, RecalledManagerIsTakenBackOnlyOfItsBuildersType) {
  _add_ViewableBuilderFnc("RecalledManager",
                          &BuildNamed<SimulationObjectObjectType>,
                          SimulationObjectObjectType());
  _add_ViewableBuilderFnc("LearntManager", &BuildEditor);
  SimulationCase other(Text("SIM"), nullptr);
  Viewable* first = CaseBuildManager(&other, "LearntManager");
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(FindViewableBuilderType("LearntManager"), first->Type());

  ASSERT_NE(CaseBuildManager(&case_, "RecalledManager"), nullptr);
  (new SimulationObject(&case_, SimulationObjectObjectType()))
      ->SetName("LearntManager");
  case_.SetFileName(Path("m.kcs"));
  ASSERT_TRUE(case_.SaveDocument(0));
  auto reopened = Reopen("m.kcs");
  ASSERT_NE(reopened, nullptr);
  Viewable* held = At(*reopened, "Viewable.600.(RecalledManager)");
  ASSERT_NE(held, nullptr);
  EXPECT_EQ(CaseBuildManager(reopened.get(), "RecalledManager"), held);
  EXPECT_EQ(builds, 1);
  EXPECT_EQ(At(*reopened, "Viewable.600.(LearntManager)"), nullptr);
  Viewable* built = CaseBuildManager(reopened.get(), "LearntManager");
  ASSERT_NE(built, nullptr);
  EXPECT_EQ(built->Type(), first->Type());
}

// Addresses from a simulation object reach its case; through a missing
// link, or from an object outside a case, they reach nothing.
TEST_F(SimulationCaseTest, AddressesResolveFromTheCaseAndItsObjects) {
  SimulationObject object(&case_, SimulationObjectObjectType());
  Document plain(nullptr, DocumentObjectType());
  SimulationObject stray(&plain, SimulationObjectObjectType());
  EXPECT_EQ(At(object, "SimCase.200"), &case_);
  EXPECT_EQ(At(case_, "Viewable.600.(Absent)/SimCase.200"), nullptr);
  EXPECT_EQ(At(stray, "SimCase.200"), nullptr);
  EXPECT_EQ(CaseEngineeringManager(&plain), nullptr);
}

// The saved filter is one slot, not a stack.
TEST_F(SimulationCaseTest, CommandsAndTheirResults) {
  for (const auto& [command, filter] :
       {std::pair{"PushFindFilter DocumentObject", DocumentObjectType()},
        {"PushFindFilter SimCaseObject", SimCaseObjectType()},
        {"PopFindFilter", DocumentObjectType()},
        {"PopFindFilter", DocumentObjectType()}}) {
    EXPECT_TRUE(case_.Message(command));
    EXPECT_EQ(case_.FindFilter(), filter) << command;
  }
  EXPECT_TRUE(case_.Message("CaseInfo"));
  EXPECT_EQ(OpenedViews().size(), 1u);
  // The problem-report manager is made once, and its view opened each time.
  EXPECT_TRUE(case_.Message("BugReportMgr"));
  Viewable* reports = case_.BugReportManagerObject();
  EXPECT_TRUE(case_.Message("BugReportMgr"));
  EXPECT_EQ(case_.BugReportManagerObject(), reports);
  EXPECT_EQ(OpenedViews().back(), "BugReportManagerObject");
  EXPECT_EQ(OpenedViews().size(), 3u);
  Document::SetUnhandledMessageResult(7);
  EXPECT_EQ(case_.Message("NoSuchCommand with words"), 7);
}

// Console text is data, never a format; new console text reaches the trace
// through the manager, whose link remembers the console as it was.
TEST_F(SimulationCaseTest, ConsoleLinesBecomeTraceLinesAndWarnings) {
  EXPECT_TRUE(case_.UpdateErrors(
      "  *** Warning: low flow\nFailed: 100% %s %n\nInvalid input\n"
      "Converged in 4 steps\nfailure in lower case\n"));
  ResetProcessCaseEngine();
  manager_->InterpretVistaroCase("none", nullptr, nullptr);
  WriteConsoleLine("Unresolved stream S1");
  manager_->UpdateErrors();
  manager_->UpdateErrors();
  ResetProcessCaseEngine();
  EXPECT_EQ(
      Of(MessageKind::kTraceWarning),
      (std::vector<Text>{"$: *** Warning: low flow", "$: Failed: 100% %s %n",
                         "$: Invalid input", "$: Unresolved stream S1"}));
  EXPECT_EQ(
      Of(MessageKind::kTrace),
      (std::vector<Text>{"Converged in 4 steps", "failure in lower case"}));
}

}  // namespace
}  // namespace pemar
