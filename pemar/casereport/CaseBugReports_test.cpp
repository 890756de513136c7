#include "pemar/casereport/CaseBugReports.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "pemar/case/testing/CaseTestSupport.h"
#include "pemar/casereport/CaseDescription.h"
#include "pemar/framework/FilePrompt.h"
#include "pemar/reports/BugReport.h"
#include "pemar/reports/BugReportManager.h"

namespace pemar {
namespace {

class CaseBugReportsTest : public test_support::CaseTest {};

TEST_F(CaseBugReportsTest, TakenTitleAddsNothingAndWriteGivesTheReportText) {
  auto theCase = NewCase("reports.kcs");
  EXPECT_EQ(CaseBugReportManager(*theCase), nullptr);
  BugReportEntry entry{"Pump trips", "R. Ames", "Pumps", "Start it", 1, 0, 2};
  ASSERT_EQ(AddCaseBugReport(*theCase, entry), AddBugReportResult::kAdded);
  EXPECT_EQ(AddCaseBugReport(*theCase, entry), AddBugReportResult::kTitleTaken);
  ASSERT_NE(CaseBugReportManager(*theCase), nullptr);
  EXPECT_EQ(CaseBugReportManager(*theCase)->Reports().size(), 1u);
  EXPECT_EQ(FindCaseBugReport(*theCase, "Other"), nullptr);
  BugReport* report = FindCaseBugReport(*theCase, "Pump trips");
  ASSERT_NE(report, nullptr);
  EXPECT_EQ(report->PriorityChoice(), 0u);
  EXPECT_FALSE(report->Date().IsEmpty());
  ScopedFilePicker mine([](auto&&...) { return Text("mine.bug"); });
  ASSERT_TRUE(WriteBugReportTo(*report, Path("pump.bug")));
  EXPECT_EQ(PickFile("", "", {}, ""), "mine.bug");  // in place again
  std::ifstream written(Path("pump.bug"), std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(written), {}),
            report->ReportText());
}

// The case makes its manager, stores its reports and reopens them.
TEST_F(CaseBugReportsTest, CaseSavesAndReopensItsReports) {
  auto theCase = NewCase("reports.kcs");
  ASSERT_TRUE(theCase->Message("BugReportMgr"));
  auto* manager =
      dynamic_cast<BugReportManager*>(theCase->BugReportManagerObject());
  ASSERT_NE(manager, nullptr);
  manager->NewReport()->SetDescription("Step one\nStep two");
  manager->NewReport()->SetClassChoice(BugReport::kEnhancement);
  ASSERT_TRUE(theCase->SaveDocument(0));
  auto reopened = Reopen("reports.kcs");
  ASSERT_NE(reopened, nullptr);
  const std::string reopenedText = DescribeCase(*reopened);
  EXPECT_EQ(FirstDifference(DescribeCase(*theCase), reopenedText), "");
  EXPECT_NE(reopenedText.find("Step one\\x0aStep two"), std::string::npos);
}

}  // namespace
}  // namespace pemar
