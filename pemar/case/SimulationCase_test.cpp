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

  std::vector<Message> Of(MessageKind kind) const {
    std::vector<Message> found;
    for (const Message& m : sink_.messages()) {
      if (m.kind == kind) found.push_back(m);
    }
    return found;
  }

  RecordingMessageSink sink_;
  ScopedMessageSink scoped_{&sink_};
};

TEST_F(SimulationCaseTest, ToleranceOutsideTheVariableTypesIsEmpty) {
  SimulationCase theCase(Text(), nullptr);
  EXPECT_EQ(theCase.ErrorTolerance(10), kEmptyValue);
  EXPECT_EQ(theCase.ErrorTolerance(-1), kEmptyValue);
  const double single = static_cast<double>(0.01f);
  const double expected[] = {single, single, single, 0.1,    10.0,
                             0.01,   1.0,    1.0,    single, 0.0001};
  for (int i = 0; i < 10; ++i)
    EXPECT_EQ(theCase.ErrorTolerance(i), expected[i]);
  EXPECT_EQ(theCase.ErrorTolerance(0), 0.009999999776482582);
}

TEST_F(SimulationCaseTest, NewCaseStartsClean) {
  SimulationCase theCase(Text("SIM"), nullptr);
  EXPECT_EQ(theCase.GetName(), FindString("Case"));
  EXPECT_EQ(theCase.SaveCounter(), 0);
  EXPECT_FALSE(theCase.Dynamic());
  EXPECT_FALSE(theCase.DontUseCase());
  EXPECT_FALSE(theCase.BackupMade());
  EXPECT_EQ(theCase.FileStructureRevision(), kCaseFileStructureRevision);
  EXPECT_EQ(theCase.DocumentType(), "SIM");
  EXPECT_NE(theCase.GetEngineeringManager(), nullptr);
  EXPECT_EQ(theCase.CastToClassType("IEngineeringManager"),
            static_cast<IEngineeringManager*>(theCase.GetEngineeringManager()));
  EXPECT_EQ(theCase.CastToClassType("Other"), nullptr);
  EXPECT_EQ(Session::ActiveAutomationObject(), &theCase);
}

TEST_F(SimulationCaseTest, CommandLineChoosesTheDocumentType) {
  struct Choice {
    const char* commandLine;
    const char* type;
  };
  for (Choice choice :
       {Choice{"app -plexa", "PLEXA"}, Choice{"app -frakto", "FRAKTO"},
        Choice{"app -plexa -molara3", "QRN"},
        Choice{"app -frakto -plexa", "PLEXA"}, Choice{"app", "SIM"}}) {
    SetCommandLine(choice.commandLine);
    SimulationCase theCase(Text(), nullptr);
    EXPECT_EQ(theCase.DocumentType(), choice.type) << choice.commandLine;
  }
}

TEST_F(SimulationCaseTest, SessionPlaysScriptsAndSavesRecoveryFiles) {
  SimulationCase theCase(Text(), nullptr);
  theCase.StartSpec();
  EXPECT_TRUE(theCase.UserHasSpecd());
  theCase.EndSpec();  // no session: nothing to play
  EXPECT_FALSE(theCase.UserHasSpecd());

  Session session;
  ScopedSession scoped(&session);
  theCase.EndSpec();
  EXPECT_EQ(session.ScriptCommandsPlayed(), 1);
  EXPECT_EQ(session.LastScriptValue(), kEmptyValue);
  theCase.SolveCompleted();
  EXPECT_EQ(session.ScriptCommandsPlayed(), 2);
  EXPECT_EQ(session.RecoveryFilesSaved(), 0);
  theCase.SetRecoverySetting(true);
  theCase.SolveCompleted();
  EXPECT_EQ(session.RecoveryFilesSaved(), 1);
  EXPECT_EQ(session.LastRecoveryDocument(), &theCase);
}

TEST_F(SimulationCaseTest, NullTextsAreIgnoredOrClear) {
  SimulationCase theCase(Text(), nullptr);
  EngineeringManager* manager = theCase.GetEngineeringManager();
  manager->SendAMessage(ErrorMessage, nullptr, nullptr);
  manager->SendAMessage(ResponseMessage, nullptr, nullptr);
  manager->SendAMessage(ConsoleErrors, nullptr, nullptr);
  manager->SendAMessage(TraceWarningMessage, nullptr, nullptr);
  EXPECT_TRUE(Of(MessageKind::kError).empty());
  EXPECT_TRUE(Of(MessageKind::kResponse).empty());
  EXPECT_TRUE(Of(MessageKind::kTrace).empty());
  EXPECT_TRUE(Of(MessageKind::kTraceWarning).empty());
  manager->SendAMessage(TraceMessage, nullptr, nullptr);
  manager->SendAMessage(StatusMessage, nullptr, nullptr);
  EXPECT_EQ(Of(MessageKind::kClearTrace).size(), 1u);
  EXPECT_EQ(Of(MessageKind::kStatusClear).size(), 1u);
}

TEST_F(SimulationCaseTest, MessagesOfTheEngineeringManagerAreShown) {
  SimulationCase theCase(Text(), nullptr);
  EngineeringManager* manager = theCase.GetEngineeringManager();
  manager->SendAMessage(ErrorMessage, "Key 1.5", nullptr);
  ASSERT_EQ(Of(MessageKind::kError).size(), 1u);
  Message error = Of(MessageKind::kError)[0];
  EXPECT_EQ(error.key, "Key");
  ASSERT_EQ(error.args.size(), 3u);
  EXPECT_EQ(error.args[0], Text::Format("%g", 1.5));
  EXPECT_EQ(error.args[1], Text::Format("%g", 0.0));

  manager->SendAMessage(ResponseMessage, "Go on?", nullptr);
  manager->SendAMessage(TraceMessage, "a line", nullptr);
  manager->SendAMessage(TraceWarningMessage, "careful", nullptr);
  manager->SendAMessage(StatusMessage, "working", nullptr);
  manager->SendAMessage(UpdateAllViews, nullptr, nullptr);
  ASSERT_EQ(Of(MessageKind::kResponse).size(), 1u);
  EXPECT_EQ(Of(MessageKind::kResponse)[0].number, 1);
  EXPECT_EQ(Of(MessageKind::kTrace).back().text, "a line");
  EXPECT_EQ(Of(MessageKind::kTraceWarning).back().text, "careful");
  ASSERT_EQ(Of(MessageKind::kStatusReport).size(), 1u);
  EXPECT_EQ(Of(MessageKind::kStatusReport)[0].number, 2);
  EXPECT_EQ(theCase.UpdateViewsCalls(), 1);
}

TEST_F(SimulationCaseTest, ConsoleLinesBecomeTraceLinesAndWarnings) {
  SimulationCase theCase(Text(), nullptr);
  EXPECT_TRUE(theCase.UpdateErrors(
      "  *** Warning: low flow\nFailed: 100% %s %n\nInvalid input\n"
      "Converged in 4 steps\nfailure in lower case\n"));
  std::vector<Message> warnings = Of(MessageKind::kTraceWarning);
  ASSERT_EQ(warnings.size(), 3u);
  EXPECT_EQ(warnings[0].text, "$: *** Warning: low flow");
  EXPECT_EQ(warnings[1].text, "$: Failed: 100% %s %n");
  EXPECT_EQ(warnings[2].text, "$: Invalid input");
  std::vector<Message> lines = Of(MessageKind::kTrace);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].text, "Converged in 4 steps");
  EXPECT_EQ(lines[1].text, "failure in lower case");
}

TEST_F(SimulationCaseTest, NewConsoleTextReachesTheTraceThroughTheManager) {
  ResetProcessCaseEngine();
  SimulationCase theCase(Text(), nullptr);
  EngineeringManager* manager = theCase.GetEngineeringManager();
  // The link is made on first need and remembers the console as it is.
  manager->InterpretVistaroCase("none", nullptr, nullptr);
  WriteConsoleLine("Unresolved stream S1");
  manager->UpdateErrors();
  std::vector<Message> warnings = Of(MessageKind::kTraceWarning);
  ASSERT_EQ(warnings.size(), 1u);
  EXPECT_EQ(warnings[0].text, "$: Unresolved stream S1");
  manager->UpdateErrors();
  EXPECT_EQ(Of(MessageKind::kTraceWarning).size(), 1u);
  ResetProcessCaseEngine();
}

TEST_F(SimulationCaseTest, OldParameterTypeNumberOnlyForOldStructures) {
  SimulationCase theCase(Text(), nullptr);
  EXPECT_EQ(theCase.FixupOldObjectType(24657), OldCaseParamObjectType());
  EXPECT_EQ(theCase.FixupOldObjectType(24658), nullptr);
  theCase.CaseFileHeader()->SetFileStructureRevision(12);
  EXPECT_EQ(theCase.FixupOldObjectType(24657), nullptr);
}

TEST_F(SimulationCaseTest, DeactivationClearsStatusLines) {
  SimulationCase theCase(Text(), nullptr);
  theCase.SetEnvironmentMode("Build");
  theCase.NotifyActivated(true);
  EXPECT_EQ(theCase.EnvironmentMode(), "Build");
  theCase.NotifyActivated(false);
  EXPECT_EQ(theCase.EnvironmentMode(), "");
  EXPECT_EQ(Of(MessageKind::kStatusClear).size(), 2u);
  EXPECT_EQ(theCase.NotifyActivatedCalls(), 2);
}

}  // namespace
}  // namespace pemar
