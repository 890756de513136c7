#include "pemar/reports/BugReportManager.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pemar/framework/BinaryFile.h"
#include "pemar/framework/Platform.h"
#include "pemar/framework/Session.h"
#include "pemar/framework/ViewLog.h"
#include "pemar/reports/BugReport.h"
#include "pemar/reports/BugReportFields.h"
#include "tests/support/GoldenFile.h"

namespace pemar {
namespace {

VarDescription Reports(const char* text) {
  VarDescription desc;
  EXPECT_TRUE(VarDescription::Parse(text, &desc)) << text;
  return desc;
}

// The fields of each report of `m`, as "name=text" joined by blanks, a line
// each.
std::string FieldsOf(const BugReportManager* m) {
  std::string all;
  for (const BugReportFieldList& fields : BugReportFieldLists(m)) {
    for (const auto& [name, text] : fields) all += name + "=" + text + " ";
    all.back() = '\n';
  }
  return all;
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

  // Two reports as older programs stored them.
  const std::string golden_ = test_support::GoldenFile(
      "pemar/reports/testdata/bug_report_manager_v1.golden");
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
        "BugReport.200.0/Viewable.600.(X)", "Viewable.200.0"})
    EXPECT_EQ(m.AttachedObject(Reports(outside)), nullptr) << outside;
  EXPECT_EQ(m.AttachedName(second), "BugReport.200.1");
}

// testdata/bug_report_manager_v1.golden recalls as two reports, listed field
// by field with choices in words, program version and system details those
// of a new report; it stores back byte for byte. A version 2 store fills
// empty entries and reads back as written, a priority without a word too.
// Every cut of either fails, keeping the reports read whole, and a flipped
// byte never crashes; a count the record cannot hold fails before anything
// is made.
TEST_F(BugReportManagerTest, StoredVersionsReadBackAndDamageFails) {
  session_.SetVersionText("1.0");
  BugReportManager stored(nullptr);
  ASSERT_TRUE(Recall(golden_, 1, stored));
  const std::string program =
      " program_version=1.0 system_details=Linux 6.1 512 MB of memory free ";
  EXPECT_EQ(FieldsOf(&stored),
            "title=Pump trips date=12/07/26 reported_by=R. Ames" + program +
                "program_build_date=11/30/26 program_area=Targeting "
                "class=enhancement priority=high reproducibility=never "
                "description=Open.\nRun.\n\n"
                "title=Report2 date=12/08/26 reported_by=" +
                program +
                "program_build_date= program_area= class=bug priority=medium "
                "reproducibility=always description=\n");
  EXPECT_TRUE(test_support::SameBytes(Stored(stored, 1), golden_));
  EXPECT_EQ(FieldsOf(nullptr), "");
  BugReport* second = stored.Reports().at(1);
  second->SetName("");
  second->SetDate("");
  second->SetPriorityChoice(7);
  const std::string version2 = Stored(stored, 2);
  EXPECT_EQ(second->GetName() + " " + second->Date(), "Report2 " + TodayDate());
  session_.SetVersionText("2.0");
  BugReportManager recalled(nullptr);
  ASSERT_TRUE(Recall(version2, 2, recalled));
  EXPECT_EQ(FieldsOf(&recalled), FieldsOf(&stored));
  EXPECT_NE(FieldsOf(&recalled).find(" priority=7 "), std::string::npos);

  for (const auto& [version, bytes] : {std::pair{2, version2}, {1, golden_}}) {
    const std::size_t start = bytes.find("Report2") - 4;  // its title's length
    for (std::size_t i = 0; i < bytes.size(); ++i) {
      BugReportManager cut(nullptr), flipped(nullptr);
      EXPECT_FALSE(Recall(bytes.substr(0, i), version, cut)) << i;
      EXPECT_EQ(cut.Reports().size(), i >= start ? 1u : 0u) << i;
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
