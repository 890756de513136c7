#include "pemar/case/SimulationCase.h"

#include <gtest/gtest.h>

#include "pemar/framework/Messages.h"
#include "pemar/framework/Platform.h"
#include "pemar/framework/ProcessCaseEngine.h"
#include "pemar/framework/Session.h"
#include "pemar/project/EngineeringManager.h"

namespace pemar {
namespace {

class SimulationCaseTest : public ::testing::Test {
 protected:
  void SetUp() override { SetCommandLine("pemar_tests"); }
  void TearDown() override { SetCommandLine(Text()); }

  // The shown texts of the messages of `kind`.
  std::vector<Text> Of(MessageKind kind) const {
    std::vector<Text> found;
    for (const Message& m : sink_.messages()) {
      if (m.kind == kind) found.push_back(m.text);
    }
    return found;
  }

  RecordingMessageSink sink_;
  ScopedMessageSink scoped_{&sink_};
  SimulationCase case_{Text(), nullptr};
  EngineeringManager* manager_ = case_.GetEngineeringManager();
};

TEST_F(SimulationCaseTest, ErrorToleranceByVariableType) {
  const double single = static_cast<double>(0.01f);
  const double expected[] = {single, single, single, 0.1,    10.0,
                             0.01,   1.0,    1.0,    single, 0.0001};
  for (int i = 0; i < 10; ++i) EXPECT_EQ(case_.ErrorTolerance(i), expected[i]);
  EXPECT_EQ(case_.ErrorTolerance(10), kEmptyValue);
  EXPECT_EQ(case_.ErrorTolerance(-1), kEmptyValue);
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

// Console text is data, never a format.
TEST_F(SimulationCaseTest, ConsoleLinesBecomeTraceLinesAndWarnings) {
  EXPECT_TRUE(case_.UpdateErrors(
      "  *** Warning: low flow\nFailed: 100% %s %n\nInvalid input\n"
      "Converged in 4 steps\nfailure in lower case\n"));
  EXPECT_EQ(Of(MessageKind::kTraceWarning),
            (std::vector<Text>{"$: *** Warning: low flow",
                               "$: Failed: 100% %s %n", "$: Invalid input"}));
  EXPECT_EQ(
      Of(MessageKind::kTrace),
      (std::vector<Text>{"Converged in 4 steps", "failure in lower case"}));
}

TEST_F(SimulationCaseTest, NewConsoleTextReachesTheTraceThroughTheManager) {
  ResetProcessCaseEngine();
  // The link is made on first need and remembers the console as it is.
  manager_->InterpretVistaroCase("none", nullptr, nullptr);
  WriteConsoleLine("Unresolved stream S1");
  manager_->UpdateErrors();
  manager_->UpdateErrors();
  EXPECT_EQ(Of(MessageKind::kTraceWarning),
            std::vector<Text>{"$: Unresolved stream S1"});
  ResetProcessCaseEngine();
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
