#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "pemar/case/SimulationCase.h"
#include "pemar/case/testing/CaseTestSupport.h"
#include "pemar/casereport/CaseDescription.h"
#include "pemar/framework/ObjectTypeInfo.h"
#include "tests/support/GoldenFile.h"

namespace pemar {
namespace {

class CaseRecallTest : public test_support::CaseTest {
 protected:
  // Writes testdata/`name`.golden to the file `name` and reopens it.
  std::unique_ptr<SimulationCase> ReopenGolden(const std::string& name) {
    WriteBytes(name, test_support::GoldenFile("pemar/case/testdata/" + name +
                                              ".golden"));
    return Reopen(name);
  }
  static int CountNamed(SimulationCase& theCase, const char* name) {
    int count = 0;
    for (Viewable* object : theCase.GetObjectManager().Objects()) {
      count += object->GetName() == name;
    }
    return count;
  }
};

// Every cut of a case file, and no file at all, fail the recall with
// "RecallFailure".
TEST_F(CaseRecallTest, CutOrMissingFileFails) {
  auto small = NewCase("small.kcs");
  AddProject(*small, "P", 2);
  ASSERT_TRUE(small->SaveDocument(0));
  const std::string whole = Bytes("small.kcs");
  for (std::size_t size = 0; size <= whole.size(); ++size) {
    if (size == whole.size()) std::filesystem::remove(Path("cut.kcs"));
    if (size < whole.size()) WriteBytes("cut.kcs", whole.substr(0, size));
    sink_.Clear();
    EXPECT_EQ(Reopen("cut.kcs"), nullptr) << size;
    EXPECT_TRUE(sink_.Has(MessageKind::kError, "RecallFailure")) << size;
  }
}

// Case files as older programs wrote them (testdata/old_*.golden): a
// project "Kept", the objects "Obsolete" and "Watched", and pointer records
// that name objects the recall destroys, one twice, the case, or the kept
// bug report manager.
TEST_F(CaseRecallTest, OlderLayoutsRecallAndDropTheirObsoleteObjectsOnce) {
  // File, whether it recalls, projects, "Obsolete" objects kept, and the
  // name of the bug report manager kept ("" for none).
  for (const auto& [file, recalls, projects, obsoleteKept, bugReportManager] :
       {std::tuple{"old_structure6", true, 0, 1, ""},
        {"old_structure7", true, 1, 1, ""},
        {"old_classdata15", true, 1, 0, ""},
        {"old_classdata16", true, 1, 1, "Watched"},
        {"old_classdata18", false, 0, 0, ""}}) {
    SCOPED_TRACE(file);
    auto reopened = ReopenGolden(file);
    ASSERT_EQ(reopened != nullptr, recalls);
    if (reopened == nullptr) continue;
    EXPECT_EQ(reopened->SaveCounter(), 7);
    EXPECT_EQ(reopened->FileStructureRevision(), kCaseFileStructureRevision);
    EXPECT_EQ(reopened->GetEngineeringManager()->GetProjectSize(1), projects);
    EXPECT_EQ(CountNamed(*reopened, "Obsolete"), obsoleteKept);
    EXPECT_EQ(CountNamed(*reopened, "Watched"), 1);
    Viewable* bugs = reopened->BugReportManagerObject();
    EXPECT_EQ(bugs ? bugs->GetName().str() : "", bugReportManager);
    // The case hears of its manager's death: it never holds a dangling one.
    EXPECT_TRUE(!bugs || bugs->DeathPosteeRefCount(reopened.get()) == 1);

    // A recall that fails after the header leaves the old structure
    // revision in the case; a later save must still stamp the layout it
    // writes, or no reader accepts the file.
    std::string bytes = Bytes(file);
    std::fill(bytes.end() - 8, bytes.end(), '\xff');
    WriteBytes(file, bytes);
    auto theCase = std::make_unique<SimulationCase>(Text("SIM"), nullptr);
    ASSERT_FALSE(theCase->RecallDocument(FileName(Text(Path(file)))));
    AddProject(*theCase, "Saved", 1);
    theCase->SetFileName(Path("new.kcs"));
    ASSERT_TRUE(theCase->SaveDocument(0));
    auto saved = Reopen("new.kcs");
    ASSERT_NE(saved, nullptr);
    EXPECT_EQ(DescribeCase(*saved), DescribeCase(*theCase));
  }
}

// Old files stored the case parameters as an object of their own: the
// recall moves its counter into the case, destroys what its records name
// and then the object itself.
TEST_F(CaseRecallTest, OldCaseParametersFillTheCaseAndDisappear) {
  auto reopened = ReopenGolden("old_parameters");
  ASSERT_NE(reopened, nullptr);
  EXPECT_EQ(reopened->SaveCounter(), (3 << 16) | 15);
  EXPECT_EQ(CountNamed(*reopened, "Obsolete"), 0);
  EXPECT_EQ(CountNamed(*reopened, "Watched"), 1);
  EXPECT_TRUE(
      reopened->GetObjectManager().Objects(OldCaseParamObjectType()).empty());
}

// A case with its bug report manager stores and recalls the bytes of
// testdata/bug_report_manager_case.golden.
TEST_F(CaseRecallTest, CaseWithItsBugReportManagerHasTheDocumentedLayout) {
  auto stored = NewCase("stored.kcs");
  ASSERT_TRUE(stored->Message("BugReportMgr"));
  stored->SetModified(true);  // the save counts it
  ASSERT_TRUE(stored->SaveDocument(0));
  auto recalled = ReopenGolden("bug_report_manager_case");
  ASSERT_NE(recalled, nullptr);
  EXPECT_TRUE(test_support::SameBytes(Bytes("stored.kcs"),
                                      Bytes("bug_report_manager_case")));
  EXPECT_EQ(FirstDifference(DescribeCase(*stored), DescribeCase(*recalled)),
            "");
  EXPECT_EQ(recalled->BugReportManagerObject()->GetOwner(), recalled.get());
}

}  // namespace
}  // namespace pemar
