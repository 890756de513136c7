#include "pemar/case/SimulationCase.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "pemar/case/CaseManagers.h"
#include "pemar/case/SimulationObject.h"
#include "pemar/case/testing/CaseTestSupport.h"
#include "pemar/features/ExpMgrView.h"
#include "pemar/framework/ProcessCaseEngine.h"
#include "pemar/framework/Reports.h"
#include "pemar/framework/Session.h"
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

VarDescription Var(const char* name, int index = 0, int number = 300,
                   int type = -1) {
  VarDescription desc(name, number);
  desc.SetIndex(index);
  if (type >= 0) desc.SetType(type);
  return desc;
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
                CaseBuildManager(&case_, nullptr), CaseFeatureManager(nullptr),
                CaseStreamManager(nullptr), CaseEngineeringManager(nullptr)}),
            std::vector<const void*>(5, nullptr));
  EXPECT_EQ(builds, 0);
  // No builder, or one that builds nothing: nothing is added.
  EXPECT_EQ(CaseBuildManager(&case_, "StreamManager"), nullptr);
  EXPECT_EQ(CaseBuildManager(&case_, "Refusing"), nullptr);
  EXPECT_EQ(CaseStreamManager(&case_), nullptr);
  EXPECT_EQ(At(case_, "Viewable.600.(Refusing)"), nullptr);
}

// A manager is built only through the build address (500), once, and again
// when it was destroyed; its name resolves back to it, an object of the
// same name gets another, and a second manager added under its name is not
// taken. The feature manager's builder is the library's own.
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

  StreamManager first(&case_, ViewableObjectType());
  StreamManager second(&case_, ViewableObjectType());
  CaseAddManager(&case_, &first, "StreamManager");
  CaseAddManager(&case_, &second, "StreamManager");
  EXPECT_EQ(CaseStreamManager(&case_), &first);
  EXPECT_EQ(first.DeathPosteeRefCount(&case_), 1);

  Viewable* features = CaseBuildManager(&case_, "FeatureManager");
  ASSERT_NE(features, nullptr);
  EXPECT_EQ(CaseFeatureManager(&case_), features);
  EXPECT_EQ(FindViewableBuilderType("FeatureManager"), ExpMgrViewObjectType());
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
  EXPECT_EQ(
      reopened->GetObjectManager().Objects(SimulationObjectObjectType()).size(),
      2u);
  EXPECT_EQ(At(*reopened, "Viewable.600.(LearntManager)"), nullptr);
  Viewable* built = CaseBuildManager(reopened.get(), "LearntManager");
  ASSERT_NE(built, nullptr);
  EXPECT_EQ(built->Type(), first->Type());
}

// Addresses from the case and from a simulation object in it: the report
// manager's own, a link resolved on a manager, the case from its objects.
TEST_F(SimulationCaseTest, AddressesResolveFromTheCaseAndItsObjects) {
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
    EXPECT_EQ(At(*from, address), expected) << address;
  }
  EXPECT_EQ(case_.AttachedName(case_.GetReportManager()), "ReportMgr.300");
  EXPECT_EQ(object.AttachedName(&case_), "SimCase.200");
  EXPECT_EQ(CaseEngineeringManager(&case_),
            static_cast<IEngineeringManager*>(manager_));
  EXPECT_EQ(case_.CastToClassType("Other"), nullptr);
  EXPECT_EQ(CaseEngineeringManager(&plain), nullptr);
}

// The saved filter is one slot, not a stack.
TEST_F(SimulationCaseTest, CommandsAndTheirResults) {
  SimulationCase fresh(Text(), nullptr);
  EXPECT_TRUE(fresh.Message("PopFindFilter"));  // before any push
  EXPECT_EQ(fresh.FindFilter(), ViewableObjectType());
  for (const auto& [command, filter] :
       {std::pair{"PushFindFilter DocumentObject", DocumentObjectType()},
        {"PushFindFilter SimCaseObject", SimCaseObjectType()},
        {"PopFindFilter", DocumentObjectType()},
        {"PopFindFilter", DocumentObjectType()}}) {
    EXPECT_TRUE(case_.Message(command));
    EXPECT_EQ(case_.FindFilter(), filter) << command;
  }
  case_.SetEnvironmentNumber(1);
  for (const auto& [command, environment, basis] :
       {std::tuple{"EnterBuild", 1, -1.0},
        {"EnterBasis", 2, 0.0},
        {"EnterBuild", 1, 1.0}}) {
    EXPECT_TRUE(case_.Message(command));
    EXPECT_EQ(case_.EnvironmentNumber(), environment);
    EXPECT_TRUE(basis < 0 || case_.Value(Var("Typed", 0, 303, 104)) == basis);
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

// Without a report (no name, or the manager refuses) nothing is printed.
TEST_F(SimulationCaseTest, AllViewableReportsShowsObjectsWhoseTypeHasAReport) {
  static ObjectTypeInfo* reported = [] {
    auto* type = new ObjectTypeInfo("TestReportedObject", ViewableObjectType(),
                                    "Reported", 0, 0, "rep", kEmptyMarker);
    type->SetHasReport(true);
    return type;
  }();
  Viewable shown(&case_, reported);
  Viewable hidden(&case_, ViewableObjectType());
  ReportManager* reports = case_.GetReportManager();
  EXPECT_TRUE(case_.Message("AllViewableReports"));
  reports->SetRefuseReports(true);
  EXPECT_TRUE(case_.Message("AllViewableReports Everything"));
  EXPECT_TRUE(reports->PrintedReports().empty());
  reports->SetRefuseReports(false);
  EXPECT_TRUE(case_.Message("AllViewableReports Everything"));
  ASSERT_EQ(reports->PrintedReports().size(), 1u);
  const ReportManager::PrintRecord& print = reports->PrintedReports()[0];
  EXPECT_EQ(std::tuple(print.report, print.report_flag, print.manager_printing,
                       reports->IsPrinting()),
            std::tuple(Text("Everything"), true, true, false));
  EXPECT_EQ(print.sources, std::vector<const Viewable*>{&shown});
}

TEST_F(SimulationCaseTest, TextVariables) {
  case_.StatusLists().push_back(
      {StatusInfo{"Own text", "", 1}, StatusInfo{"", "KeyedStatus", 2}});
  case_.StatusLists().push_back({StatusInfo{"Second list", "", 3}});
  EXPECT_TRUE(case_.SpecifyText(Var("Description"), "Debottleneck"));
  EXPECT_EQ(case_.CaseFileHeader()->Description(), "Debottleneck");
  case_.SetFileName("/tmp/folder/plant.kcs");
  // The command is sent before the variable is read.
  const std::tuple<const char*, const char*, int, Text> rows[] = {
      {"", "StatusDescription", 0, "Own text"},
      {"", "StatusDescription", 1, FindString("KeyedStatus")},
      {"", "StatusDescription", 2, "Second list"},
      {"", "StatusLevel", 2, FindString("status3")},
      {"", "Description", 0, "Debottleneck"},
      {"", "TemplatePageTabs", 1, FindString("TPLVariables")},
      {"", "TemplatePageTabs", 2, FindString("TPLInitialWizardView")},
      {"", "TemplatePageTabs", 7, FindString("TPLConnections")},
      {"", "CaseFileName", 0, "plant.kcs"},
      {"", "FilterType", 0, FindString("LogicalTypeLabel")},
      {"PushFindFilter SimCaseObject", "FilterType", 0, "Cases"},
      {"PushFindFilter SimulationObjectObject", "FilterType", 0,
       "Simulation Objects"},
  };
  for (const auto& [command, name, index, expected] : rows) {
    if (*command) case_.Message(command);
    EXPECT_EQ(case_.TextValue(Var(name, index)), expected)
        << name << "[" << index << "]";
  }
  for (int index : {-1, 3, 1000}) {
    EXPECT_EQ(case_.TextValue(Var("StatusDescription", index)), "");
    EXPECT_EQ(case_.TextValue(Var("StatusLevel", index)), "");
  }
  DimInfo dims;
  EXPECT_TRUE(case_.Dimensions(Var("FlowSheetObject"), dims));
  EXPECT_EQ(dims.Dim(0), 3);
  EXPECT_TRUE(case_.SpecifyText(Var("Typed", 0, 306, 1519), "notes"));
  EXPECT_EQ(case_.FreeText(), "notes");
}

TEST_F(SimulationCaseTest, ObjectTypeVariable) {
  // An unknown type asks the user to pick one.
  EXPECT_TRUE(case_.Specify(Var("ObjectType"), 0.0));
  EXPECT_EQ(OpenedViews(), std::vector<Text>{"FindObjectTypeView"});
  EXPECT_EQ(case_.Value(Var("ObjectType", 0)), 0.0);
  case_.Message("PushFindFilter SimCaseObject");
  double encoded = case_.Value(Var("ObjectType", 1));
  EXPECT_GT(encoded, 0.0);
  // A known type resets the filter from the default, which is unknown.
  EXPECT_TRUE(case_.Specify(Var("ObjectType"), encoded));
  EXPECT_EQ(case_.FindFilter(), nullptr);
  EXPECT_TRUE(case_.Specify(Var("ObjectType"), -1e300));
  EXPECT_EQ(case_.Value(Var("Typed", 0, 300, 106)), 0.0);
}

// Each prompt as "mode title: the filters' file types".
TEST_F(SimulationCaseTest, FilePromptsFollowTheMode) {
  auto shown = [](const FNPromptStruct& prompt) {
    std::string text = std::to_string(prompt.mode) + " " + prompt.title.str();
    for (const auto& filter : prompt.filters) text += " " + filter.second.str();
    return text;
  };
  FNPromptStruct main, column, save, tpl;
  case_.GetOpenFilenamePrompt(main);
  ASSERT_NE(main.header_maker, nullptr);
  std::unique_ptr<PackedBinaryFileHeader> header(main.header_maker());
  char stamp[16];
  header->GetIDStamp(stamp);
  EXPECT_EQ(std::string(stamp, 16), "PemarCaseV3.00K ");
  SetCommandLine("app -molara3 -frakto");
  case_.GetOpenFilenamePrompt(column);
  case_.GetSaveAsFilenamePrompt(save);
  tpl.default_type = "TPL";
  case_.GetOpenFilenamePrompt(tpl);
  EXPECT_EQ(shown(main), "5 " + FindString("ZENTRIKOpenTitle").str() +
                             " SIM QRN FRAKTO PLEXA");
  EXPECT_EQ(shown(column), "5 " + FindString("FRAKTOOpenTitle").str() +
                               " FRAKTO MOLARA SIM *");
  EXPECT_EQ(shown(save),
            "53 " + FindString("FRAKTOSaveTitle").str() + " FRAKTO");
  EXPECT_EQ(shown(tpl), "5 " + FindString("TPLOpenTitle").str() + " TPL *");
  EXPECT_EQ(main.default_type + column.default_type + tpl.default_type,
            "SIMFRAKTOTPL");
}

// A type outside the table has no tolerance.
TEST_F(SimulationCaseTest, ErrorToleranceByVariableType) {
  EXPECT_EQ(case_.ErrorTolerance(-1), kEmptyValue);
  EXPECT_EQ(case_.ErrorTolerance(4), 10.0);
  EXPECT_EQ(case_.ErrorTolerance(kVariableTypeCount), kEmptyValue);
}

TEST_F(SimulationCaseTest, CommandLineChoosesTheDocumentType) {
  for (const auto& [commandLine, type] : {std::pair{"app -plexa", "PLEXA"},
                                          {"app -frakto", "FRAKTO"},
                                          {"app -plexa -molara3", "QRN"},
                                          {"app -frakto -plexa", "PLEXA"},
                                          {"app", "SIM"}}) {
    SetCommandLine(commandLine);
    SimulationCase theCase(Text(), nullptr);
    EXPECT_EQ(theCase.DocumentType(), type) << commandLine;
    EXPECT_EQ(theCase.GetName(), FindString("Case"));
    EXPECT_EQ(Session::ActiveAutomationObject(), &theCase);
  }
}

TEST_F(SimulationCaseTest, SessionPlaysScriptsAndSavesRecoveryFiles) {
  case_.StartSpec();
  EXPECT_TRUE(case_.UserHasSpecd());
  case_.EndSpec();  // no session: nothing to play
  EXPECT_FALSE(case_.UserHasSpecd());
  Session session;
  ScopedSession scoped(&session);
  case_.EndSpec();
  EXPECT_EQ(session.ScriptCommandsPlayed(), 1);
  EXPECT_EQ(session.LastScriptValue(), kEmptyValue);
  case_.SolveCompleted();
  EXPECT_EQ(session.ScriptCommandsPlayed(), 2);
  EXPECT_EQ(session.RecoveryFilesSaved(), 0);
  case_.SetRecoverySetting(true);
  case_.SolveCompleted();
  EXPECT_EQ(session.RecoveryFilesSaved(), 1);
  EXPECT_EQ(session.LastRecoveryDocument(), &case_);
}

// Null texts show nothing, or clear for the trace and the status line.
TEST_F(SimulationCaseTest, MessagesOfTheEngineeringManagerAreShown) {
  for (ChangeWhat message :
       {ErrorMessage, ResponseMessage, ConsoleErrors, TraceWarningMessage,
        TraceMessage, StatusMessage}) {
    manager_->SendAMessage(message, nullptr, nullptr);
  }
  ASSERT_EQ(sink_.messages().size(), 2u);
  EXPECT_EQ(sink_.messages()[0].kind, MessageKind::kClearTrace);
  EXPECT_EQ(sink_.messages()[1].kind, MessageKind::kStatusClear);

  manager_->SendAMessage(ErrorMessage, "Key 1.5", nullptr);
  const Message error = sink_.messages().back();
  EXPECT_EQ(error.key, "Key");
  EXPECT_EQ(error.args,
            (std::vector<Text>{Text::Format("%g", 1.5), Text::Format("%g", 0.0),
                               Text::Format("%g", 0.0)}));
  manager_->SendAMessage(ResponseMessage, "Go on?", nullptr);
  EXPECT_EQ(sink_.messages().back().number, 1);
  manager_->SendAMessage(StatusMessage, "working", nullptr);
  EXPECT_EQ(sink_.messages().back().kind, MessageKind::kStatusReport);
  EXPECT_EQ(sink_.messages().back().number, 2);
  manager_->SendAMessage(TraceMessage, "a line", nullptr);
  manager_->SendAMessage(TraceWarningMessage, "careful", nullptr);
  manager_->SendAMessage(UpdateAllViews, nullptr, nullptr);
  EXPECT_EQ(Of(MessageKind::kTrace), std::vector<Text>{"a line"});
  EXPECT_EQ(Of(MessageKind::kTraceWarning), std::vector<Text>{"careful"});
  EXPECT_EQ(case_.UpdateViewsCalls(), 1);
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

TEST_F(SimulationCaseTest, OldParameterTypeNumberOnlyForOldStructures) {
  EXPECT_EQ(case_.FixupOldObjectType(24657), OldCaseParamObjectType());
  EXPECT_EQ(case_.FixupOldObjectType(24658), nullptr);
  case_.CaseFileHeader()->SetFileStructureRevision(12);
  EXPECT_EQ(case_.FixupOldObjectType(24657), nullptr);
}

TEST_F(SimulationCaseTest, DeactivationClearsStatusLines) {
  case_.SetEnvironmentMode("Build");
  case_.NotifyActivated(true);
  EXPECT_EQ(case_.EnvironmentMode(), "Build");
  case_.NotifyActivated(false);
  EXPECT_EQ(case_.EnvironmentMode(), "");
  EXPECT_EQ(Of(MessageKind::kStatusClear).size(), 2u);
  EXPECT_EQ(case_.NotifyActivatedCalls(), 2);
}

}  // namespace
}  // namespace pemar
