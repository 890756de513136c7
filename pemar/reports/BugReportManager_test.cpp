#include "pemar/reports/BugReportManager.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pemar/framework/BinaryFile.h"
#include "pemar/framework/Platform.h"
#include "pemar/framework/Session.h"
#include "pemar/framework/ViewLog.h"
#include "pemar/reports/BugReport.h"
#include "tests/support/GoldenBytes.h"
#include "tests/support/GoldenFile.h"

namespace pemar {
namespace {

VarDescription Reports(const char* text) {
  VarDescription desc;
  EXPECT_TRUE(VarDescription::Parse(text, &desc)) << text;
  return desc;
}

std::string Fields(const BugReport& r) {
  return r.ReportText() + r.ProgramBuildDate().str();
}

class BugReportManagerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetSystemTexts("Linux 6.1", "512 MB of memory free");
    ClearOpenedViews();
  }
  void TearDown() override {
    SetSystemTexts("", "");
    SetVersion(kBugReportManagerVersion);
  }
  static void SetVersion(int version) {
    const_cast<ObjectTypeInfo*>(BugReportManagerObjectType())
        ->SetClassDataVersion(version);
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
    SetVersion(version);
    return test_support::WrittenBytes(
        fs_, [&](BinaryFile& f) { return m.StoreClassData(f); });
  }
  bool Recall(const std::string& bytes, int version, BugReportManager& m) {
    return test_support::ReadsAll(fs_, bytes, [&](BinaryFile& f) {
      return m.RecallClassData(f, version);
    });
  }

  MemoryFileSystem fs_;
  ScopedFileSystem scoped_fs_{&fs_};
  Session session_;
  ScopedSession scoped_session_{&session_};
};

// New reports are numbered after the count; a deleted one leaves the list.
// Reports are reached and named by position.
TEST_F(BugReportManagerTest, ReportsAreListedReachedAndNamedByPosition) {
  BugReportManager m(nullptr);
  EXPECT_TRUE(m.Message("NewBugReport"));
  EXPECT_EQ(OpenedViews(), std::vector<Text>{"BugReportObject"});
  delete m.NewReport();
  BugReport* second = m.NewReport();
  EXPECT_EQ(second->DefaultName() + second->GetName(), "Report2");
  DimInfo dims;
  EXPECT_TRUE(m.Dimensions(Reports("BugReport.200"), dims) && dims.Dim(0) == 2);
  EXPECT_EQ(m.AttachedObject(Reports("BugReport.200.1")), second);
  for (const char* outside :
       {"BugReport.200.2", "BugReport.200.-1", "BugReport.200",
        "BugReport.200.0/Viewable.600.(X)", "Viewable.200.0"}) {
    EXPECT_EQ(m.AttachedObject(Reports(outside)), nullptr) << outside;
  }
  EXPECT_EQ(m.AttachedName(second), "BugReport.200.1");
}

// testdata/bug_report_manager_v1.golden both ways, and version 2. A store
// fills empty entries; version 1 leaves program version and system details.
TEST_F(BugReportManagerTest, StoredVersionsReadBackAsTheyWereWritten) {
  const std::string golden = test_support::GoldenFile(
      "pemar/reports/testdata/bug_report_manager_v1.golden");
  BugReportManager stored(nullptr);
  FillGoldenReports(stored);
  EXPECT_TRUE(test_support::SameBytes(Stored(stored, 1), golden));
  BugReport* odd = stored.NewReport();
  odd->SetPriorityChoice(7);
  const std::string version2 = Stored(stored, 2);
  EXPECT_EQ(odd->GetName() + " " + odd->Date(), "Report3 " + TodayDate());
  for (const auto& [version, bytes] : {std::pair{2, version2}, {1, golden}}) {
    session_.SetVersionText(Text::Format("%d.0", version));
    BugReportManager recalled(nullptr);
    ASSERT_TRUE(Recall(bytes, version, recalled));
    ASSERT_EQ(recalled.Reports().size(), version + 1u);
    for (std::size_t i = 0; i < recalled.Reports().size(); ++i) {
      if (version == 1) stored.Reports()[i]->SetProgramVersion("1.0");
      EXPECT_EQ(Fields(*recalled.Reports()[i]), Fields(*stored.Reports()[i]));
    }
  }
}

// Every cut fails, keeping the reports read whole; so does a count the record
// cannot hold, before anything is made. A flipped byte never crashes.
TEST_F(BugReportManagerTest, TruncatedOrCorruptRecordFails) {
  BugReportManager stored(nullptr);
  FillGoldenReports(stored);
  for (int version : {1, 2}) {
    const std::string bytes = Stored(stored, version);
    // Where the second report's record begins: its title's length.
    const std::size_t second = bytes.find("Report2") - 4;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
      BugReportManager cut(nullptr), flipped(nullptr);
      EXPECT_FALSE(Recall(bytes.substr(0, i), version, cut)) << i;
      EXPECT_EQ(cut.Reports().size(), i >= second ? 1u : 0u) << i;
      std::string bad = bytes;
      bad[i] = static_cast<char>(bad[i] ^ 0xFF);
      Recall(bad, version, flipped);
    }
  }
  BugReportManager m(nullptr);
  EXPECT_FALSE(
      Recall(std::string("\xff\xff\xff\x0f", 4) + std::string(40, 0), 2, m) ||
      !m.Reports().empty());
}

}  // namespace
}  // namespace pemar
