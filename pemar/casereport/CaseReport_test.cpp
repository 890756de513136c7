#include "pemar/casereport/CaseReport.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "pemar/case/SimulationCase.h"
#include "pemar/casereport/CaseReportPage.h"
#include "pemar/diag/PlotView.h"
#include "pemar/diag/PlottedDataSet.h"
#include "pemar/diag/SaturationCurve.h"
#include "pemar/diag/testing/SvgMarks.h"
#include "pemar/framework/ConfigStore.h"
#include "pemar/framework/FileSystem.h"
#include "pemar/framework/MemoryFileSystem.h"
#include "pemar/project/EngineeringManager.h"
#include "pemar/project/IPemarProject.h"
#include "pemar/project/NotesProject.h"
#include "pemar/reports/BugReport.h"
#include "pemar/reports/BugReportManager.h"
#include "pemar/reports/ReportHolder.h"
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

  // The headings of the text report ("2.1 Name") and of the page, in order.
  std::vector<std::string> TextHeadings() {
    std::vector<std::string> headings;
    std::istringstream text(CaseReportText(*case_));
    std::string line, previous = "x";
    while (std::getline(text, line)) {
      if (previous.empty() && !line.empty()) headings.push_back(line);
      previous = line;
    }
    return headings;
  }
  static std::vector<std::string> PageHeadings(const std::string& page) {
    std::vector<std::string> headings;
    for (const auto& h :
         testing::SvgMarks(page, "//*[self::h2 or self::h3 or self::h4]")) {
      headings.push_back(h.text);
    }
    return headings;
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
  // A title that is the holder's reserved name keeps a heading of its own.
  manager->NewReport()->SetName(Text(ReportHolder::kUnnamedSection));

  const std::string text = CaseReportText(*case_);
  for (const char* expected : {"\n\n5 Problem reports\n\n\n5.1 Report1\nDate: ",
                               "\n\n5.2 UnNamedSectionInternal (2)\nDate: "}) {
    ASSERT_NE(text.find(expected), std::string::npos) << text;
  }
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

TEST_F(CaseReportTest, PageHoldsTheReportLadderAndPlotsAndNothingFetched) {
  if (!testing::kCanParseSvg) GTEST_SKIP() << testing::kNoSvgParser;
  IPemarProject* project = AddProject("A <&> B");
  ASSERT_NE(project, nullptr);
  AddNote(project, "Review", "first\r\nsecond \x01line");
  ASSERT_NE(case_->UtilityDatabase(true), nullptr);
  for (const char* name : {"Curve one", ""}) {
    auto* view = new PlotView(new SaturationCurve(case_.get()));
    view->SetName(name);
    ASSERT_NE(view->SetPlot(kTwoDimPlotType), nullptr);
    auto* record = new PlottedDataSet(1, "p");
    record->AddMoniker(0, "Temperature.300.[]");
    record->AddMoniker(1, "Pressure.300.[]");
    view->AddDataSet(record);
  }

  const std::string page = CaseReportHtml(*case_);
  std::vector<std::string> expected = TextHeadings();
  expected.insert(expected.end(), {"6 Utility ladder", "7 Plot views",
                                   "7.1 Curve one", "7.2 Plot 2"});
  EXPECT_EQ(PageHeadings(page), expected);
  EXPECT_EQ(expected[2], "2.1 A <&> B");
  const auto marks = [&](const char* xpath) {
    return testing::SvgMarks(page, xpath).size();
  };
  EXPECT_EQ(marks("//pre[contains(., 'first\nsecond line')]"), 1u);
  // The ladder and two plots, each plot clipped by a path of its own.
  EXPECT_EQ(marks("//svg"), 3u);
  EXPECT_EQ(marks("//clipPath[@id='plot-area-2']"), 1u);
  EXPECT_EQ(marks("//g[@clip-path='url(#plot-area-2)']"), 1u);
  EXPECT_EQ(marks("//script|//*[@src]|//*[@href]"), 0u);

  MemoryFileSystem fs;
  ScopedFileSystem scoped(&fs);
  ASSERT_TRUE(WriteCaseReportHtml(*case_, "report.html"));
  EXPECT_EQ(fs.GetFile("report.html"), page);
}

}  // namespace
}  // namespace pemar
