#include "pemar/reports/CaseReport.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "pemar/case/SimulationCase.h"
#include "pemar/framework/ConfigStore.h"
#include "pemar/project/EngineeringManager.h"
#include "pemar/project/IPemarProject.h"
#include "pemar/project/NotesProject.h"
#include "pemar/reports/BugReport.h"
#include "pemar/reports/BugReportManager.h"
#include "pemar/utility/IDefaultUtilityManager.h"

namespace pemar {
namespace {

class CaseReportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetConfigStore();
    SetCommandLine("pemar_tests");
    NotesProject::RegisterType();
    case_ = std::make_unique<SimulationCase>(Text("SIM"), nullptr);
  }
  void TearDown() override {
    case_.reset();
    SetCommandLine(Text());
    ResetConfigStore();
  }

  IPemarProject* AddProject(const char* name) {
    return AsPemarProject(case_->GetEngineeringManager()->AddEngObject(
        name, kNotesProjectType, 0));
  }
  static void AddNote(IPemarProject* p, const char* title, const char* text) {
    p->AddNote();
    p->SetNoteTitle(p->GetNumberOfNotes() - 1, title);
    p->SetNoteText(p->GetNumberOfNotes() - 1, text);
  }

  std::unique_ptr<SimulationCase> case_;
};

TEST_F(CaseReportTest, EmptyCaseReportsEachPartAsNone) {
  const std::string text = CaseReportText(*case_);
  EXPECT_NE(text.find("\n\n1 Case\nFile: (not saved)\n"), std::string::npos)
      << text;
  for (const char* heading :
       {"\n\n2 Projects\nnone\n", "\n\n3 Utility database\nnone\n",
        "\n\n4 Features\nnone\n", "\n\n5 Problem reports\nnone\n"}) {
    EXPECT_NE(text.find(heading), std::string::npos) << heading << text;
  }
}

// Notes repeat titles and names may hold the path separator; every one of
// them must still reach the report, numbered under its project.
TEST_F(CaseReportTest, RepeatedAndSlashedNamesKeepEverySection) {
  IPemarProject* crude = AddProject("Crude/vacuum");
  ASSERT_NE(crude, nullptr);
  AddNote(crude, "Review", "first");
  AddNote(crude, "Review", "second");
  AddNote(crude, "", "untitled");
  ASSERT_NE(AddProject("Second"), nullptr);
  ASSERT_NE(case_->UtilityDatabase(true), nullptr);

  const std::string text = CaseReportText(*case_);
  const char* expected[] = {
      "\n\n2 Projects",         "\n\n2.1 Crude-vacuum\n",
      "\n\n2.1.1 Review\n",     "first\n",
      "\n\n2.1.2 Review (2)\n", "second\n",
      "\n\n2.1.3 (unnamed)\n",  "untitled\n",
      "\n\n2.2 Second\n",       "\n\n3 Utility database",
      "\n\n3.1 Utilities\n",    "\n\n3.2 Heat-transfer-coefficient defaults\n",
      "\n\n4 Features\nnone\n"};
  std::size_t at = 0;
  for (const char* part : expected) {
    const std::size_t found = text.find(part, at);
    ASSERT_NE(found, std::string::npos) << part << "\n" << text;
    at = found;
  }
}

TEST_F(CaseReportTest, ProblemReportsGiveTheirChoicesInWords) {
  case_->Message("BugReportMgr");
  auto* manager =
      dynamic_cast<BugReportManager*>(case_->BugReportManagerObject());
  ASSERT_NE(manager, nullptr);
  BugReport* report = manager->NewReport();
  report->SetClassChoice(1);
  report->SetPriorityChoice(7);  // out of range
  report->SetDescription("Open the case.\nIt fails.");

  const std::string text = CaseReportText(*case_);
  const std::string expected = "\n\n5 Problem reports\n\n\n5.1 Report1\nDate: ";
  ASSERT_NE(text.find(expected), std::string::npos) << text;
  EXPECT_NE(text.find("\nClass: enhancement\nPriority: -\nReproducible: "
                      "always\n"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("Description:\nOpen the case.\nIt fails.\n"),
            std::string::npos)
      << text;
}

TEST_F(CaseReportTest, UtilityTableListsEveryUtility) {
  IDefaultUtilityManager* db = case_->UtilityDatabase(true);
  ASSERT_NE(db, nullptr);
  const std::string text = CaseReportText(*case_);
  for (int i = 0; i < db->GetNumberOfDefaultUtilities(); ++i) {
    EXPECT_NE(text.find(std::string("\n") + db->GetDefaultUtilityName(i) + " "),
              std::string::npos)
        << db->GetDefaultUtilityName(i);
  }
}

}  // namespace
}  // namespace pemar
