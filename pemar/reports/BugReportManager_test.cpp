#include "pemar/reports/BugReportManager.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pemar/case/SimulationCase.h"
#include "pemar/case/testing/CaseTestSupport.h"
#include "pemar/framework/BinaryFile.h"
#include "pemar/framework/MemoryFileSystem.h"
#include "pemar/framework/Platform.h"
#include "pemar/framework/Session.h"
#include "pemar/framework/ViewLog.h"
#include "pemar/reports/BugReport.h"
#include "pemar/reports/CaseDescription.h"
#include "tests/support/GoldenBytes.h"
#include "tests/support/GoldenFile.h"

namespace pemar {
namespace {

using test_support::GoldenFile;
using test_support::ReadsAll;
using test_support::SameBytes;
using test_support::WrittenBytes;

VarDescription Reports(const char* text) {
  VarDescription desc;
  EXPECT_TRUE(VarDescription::Parse(text, &desc)) << text;
  return desc;
}

std::vector<std::string> Titles(const BugReportManager& m) {
  std::vector<std::string> titles;
  for (const BugReport* r : m.Reports()) titles.push_back(r->GetName().str());
  return titles;
}

class BugReportManagerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetSystemTexts("Linux 6.1", "512 MB of memory free");
    ClearOpenedViews();
  }
  void TearDown() override {
    SetSystemTexts("", "");
    MutableType()->SetClassDataVersion(kBugReportManagerVersion);
  }
  static ObjectTypeInfo* MutableType() {
    return const_cast<ObjectTypeInfo*>(BugReportManagerObjectType());
  }
  // The two reports of testdata/bug_report_manager_v1.golden.
  static void FillGoldenReports(BugReportManager& m) {
    BugReport* first = m.NewReport();
    first->SetName("Pump trips");
    first->SetDate("12/07/26");
    first->SetReportedBy("R. Ames");
    first->SetProgramBuildDate("11/30/26");
    first->SetClassChoice(BugReport::kEnhancement);
    first->SetPriorityChoice(BugReport::kHigh);
    first->SetProgramArea("Targeting");
    first->SetDescription("Open.\nRun.\n");
    first->SetReproducibilityChoice(BugReport::kNever);
    m.NewReport()->SetDate("12/08/26");
  }
  std::string Stored(BugReportManager& m, int version) {
    MutableType()->SetClassDataVersion(version);
    return WrittenBytes(fs_,
                        [&](BinaryFile& f) { return m.StoreClassData(f); });
  }
  // Recalls `bytes` into `m`; true when it read every byte.
  bool Recall(const std::string& bytes, int version, BugReportManager& m) {
    return ReadsAll(fs_, bytes, [&](BinaryFile& f) {
      return m.RecallClassData(f, version);
    });
  }

  MemoryFileSystem fs_;
  ScopedFileSystem scoped_fs_{&fs_};
  Session session_;
  ScopedSession scoped_session_{&session_};
};

TEST_F(BugReportManagerTest, NewBugReportAppendsANumberedReportAndOpensIt) {
  BugReportManager m(nullptr);
  EXPECT_EQ(m.GetName(), "BugReportManager");
  EXPECT_TRUE(m.Message("NewBugReport"));
  EXPECT_TRUE(m.Message("NewBugReport"));
  ASSERT_EQ(m.Reports().size(), 2u);
  EXPECT_EQ(m.Reports()[1]->DefaultName(), "Report2");
  EXPECT_EQ(m.Reports()[1]->GetName(), "");
  EXPECT_EQ(OpenedViews(),
            (std::vector<Text>{"BugReportObject", "BugReportObject"}));
  EXPECT_FALSE(m.Message("NewReport"));
}

TEST_F(BugReportManagerTest, ReportsAreReachedAndNamedByPosition) {
  BugReportManager m(nullptr);
  BugReport* first = m.NewReport();
  BugReport* second = m.NewReport();
  DimInfo dims;
  EXPECT_TRUE(m.Dimensions(Reports("BugReport.200"), dims));
  EXPECT_EQ(dims.Dim(0), 2);
  EXPECT_EQ(m.AttachedObject(Reports("BugReport.200.0")), first);
  EXPECT_EQ(m.AttachedObject(Reports("BugReport.200.1")), second);
  for (const char* outside :
       {"BugReport.200.2", "BugReport.200.-1", "BugReport.200",
        "BugReport.200.0/Viewable.600.(X)", "Viewable.200.0"}) {
    EXPECT_EQ(m.AttachedObject(Reports(outside)), nullptr) << outside;
  }
  EXPECT_EQ(m.AttachedName(second), "BugReport.200.1");
  BugReport stranger("Report9");
  stranger.SetName("Stranger");
  EXPECT_EQ(m.AttachedName(&stranger), "Stranger");
  EXPECT_EQ(m.AttachedName(nullptr), "");
  EXPECT_EQ(m.AttachedObject(Reports(m.AttachedName(first).c_str())), first);
}

TEST_F(BugReportManagerTest, DeletedReportLeavesTheList) {
  BugReportManager m(nullptr);
  m.NewReport()->SetName("a");
  delete m.NewReport();
  m.NewReport()->SetName("c");
  EXPECT_EQ(Titles(m), (std::vector<std::string>{"a", "c"}));
  EXPECT_EQ(m.FindReport("c"), m.Reports()[1]);
  EXPECT_EQ(m.FindReport(nullptr), nullptr);
  EXPECT_EQ(m.NewReport()->DefaultName(), "Report3");
}

// testdata/bug_report_manager_v1.golden both ways. A version-1 recall
// leaves program version and system details as a new report has them.
TEST_F(BugReportManagerTest, Version1RecordHasTheDocumentedLayout) {
  const std::string golden =
      GoldenFile("pemar/reports/testdata/bug_report_manager_v1.golden");
  BugReportManager stored(nullptr);
  FillGoldenReports(stored);
  EXPECT_TRUE(SameBytes(Stored(stored, 1), golden));

  session_.SetVersionText("3.0");
  BugReportManager recalled(nullptr);
  ASSERT_TRUE(Recall(golden, 1, recalled));
  ASSERT_EQ(recalled.Reports().size(), 2u);
  for (std::size_t i = 0; i < 2; ++i) {
    stored.Reports()[i]->SetProgramVersion("3.0");
    EXPECT_EQ(recalled.Reports()[i]->ReportText(),
              stored.Reports()[i]->ReportText());
  }
  EXPECT_EQ(recalled.Reports()[1]->DefaultName(), "Report2");
}

// A store fills empty entries first; version 2 keeps every field.
TEST_F(BugReportManagerTest, Version2RoundTripKeepsEveryField) {
  BugReportManager stored(nullptr);
  FillGoldenReports(stored);
  BugReport* odd = stored.NewReport();
  odd->SetPriorityChoice(7);
  odd->SetSystemDetails("");
  const std::string bytes = Stored(stored, 2);
  EXPECT_EQ(odd->GetName(), "Report3");
  EXPECT_EQ(odd->Date(), TodayDate());

  session_.SetVersionText("3.0");
  SetSystemTexts("Other", "system");
  BugReportManager recalled(nullptr);
  ASSERT_TRUE(Recall(bytes, 2, recalled));
  ASSERT_EQ(recalled.Reports().size(), 3u);
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(recalled.Reports()[i]->ReportText(),
              stored.Reports()[i]->ReportText());
    EXPECT_EQ(recalled.Reports()[i]->ProgramBuildDate(),
              stored.Reports()[i]->ProgramBuildDate());
  }
}

// Every cut fails; a report cut short is deleted and those before it stay;
// a count the record cannot hold fails before anything is made; a flipped
// byte never crashes.
TEST_F(BugReportManagerTest, TruncatedOrCorruptRecordFails) {
  BugReportManager stored(nullptr);
  FillGoldenReports(stored);
  for (int version : {1, 2}) {
    const std::string bytes = Stored(stored, version);
    // Where the second report's record begins: its title's length.
    const std::size_t second = bytes.find("Report2") - 4;
    for (std::size_t size = 0; size < bytes.size(); ++size) {
      BugReportManager m(nullptr);
      EXPECT_FALSE(Recall(bytes.substr(0, size), version, m)) << size;
      EXPECT_EQ(m.Reports().size(), size >= second ? 1u : 0u) << size;
    }
    for (std::size_t i = 0; i < bytes.size(); ++i) {
      std::string bad = bytes;
      bad[i] = static_cast<char>(bad[i] ^ 0xFF);
      BugReportManager m(nullptr);
      Recall(bad, version, m);
    }
  }
  BugReportManager m(nullptr);
  EXPECT_FALSE(
      Recall(std::string("\xff\xff\xff\x0f", 4) + std::string(40, 0), 2, m));
  EXPECT_TRUE(m.Reports().empty());
}

class BugReportCaseTest : public test_support::CaseTest {};

// The case makes its manager once, stores its reports and reopens them.
TEST_F(BugReportCaseTest, CaseSavesAndReopensItsReports) {
  auto theCase = NewCase("reports.kcs");
  ASSERT_TRUE(theCase->Message("BugReportMgr"));
  auto* manager =
      dynamic_cast<BugReportManager*>(theCase->BugReportManagerObject());
  ASSERT_NE(manager, nullptr);
  ASSERT_TRUE(theCase->Message("BugReportMgr"));
  EXPECT_EQ(theCase->BugReportManagerObject(), manager);
  EXPECT_EQ(manager->GetOwner(), theCase.get());
  manager->NewReport()->SetDescription("Step one\nStep two");
  manager->NewReport()->SetClassChoice(BugReport::kEnhancement);
  ASSERT_TRUE(theCase->SaveDocument(0));
  auto reopened = Reopen("reports.kcs");
  ASSERT_NE(reopened, nullptr);
  EXPECT_EQ(FirstDifference(DescribeCase(*theCase), DescribeCase(*reopened)),
            "");
  EXPECT_NE(DescribeCase(*reopened).find("Step one\\x0aStep two"),
            std::string::npos);
}

}  // namespace
}  // namespace pemar
