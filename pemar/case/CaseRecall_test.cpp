#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "pemar/case/SimulationCase.h"
#include "pemar/case/testing/CaseTestSupport.h"
#include "pemar/case/testing/OldCaseFiles.h"
#include "pemar/framework/BinaryFile.h"
#include "pemar/framework/ObjectTypeInfo.h"
#include "pemar/persist/testing/GoldenBytes.h"
#include "pemar/reports/CaseDescription.h"
#include "pemar/utility/IDefaultUtilityManager.h"

namespace pemar {
namespace {

using test_support::OldLayoutCase;
using test_support::OldParametersType;
using test_support::ScopedCaseRevision;

class CaseRecallTest : public test_support::CaseTest {
 protected:
  static int CountNamed(SimulationCase& theCase, const char* name) {
    int count = 0;
    for (Viewable* object : theCase.GetObjectManager().Objects()) {
      count += object->GetName() == name;
    }
    return count;
  }
};

// Every cut of a case file, and no file at all, fail the recall with
// "RecallFailure"; a flipped byte never crashes it. Every byte of a small
// case is flipped, a sample of one that carries the utility database (whose
// reader has tests of its own).
TEST_F(CaseRecallTest, DamagedOrMissingFileFailsWithoutCrashing) {
  auto small = NewCase("small.kcs");
  AddProject(*small, "P", 2);
  ASSERT_TRUE(small->SaveDocument(0));
  auto large = NewCase("large.kcs");
  AddProject(*large, "P", 1);
  large->UtilityDatabase(true);
  ASSERT_TRUE(large->SaveDocument(0));
  const std::string whole = Bytes("small.kcs");
  for (std::size_t size = 0; size <= whole.size(); ++size) {
    if (size == whole.size()) std::filesystem::remove(Path("cut.kcs"));
    if (size < whole.size()) WriteBytes("cut.kcs", whole.substr(0, size));
    sink_.Clear();
    EXPECT_EQ(Reopen("cut.kcs"), nullptr) << size;
    EXPECT_TRUE(sink_.Has(MessageKind::kError, "RecallFailure")) << size;
  }
  for (const auto& [name, stride] :
       {std::pair<std::string, std::size_t>{"small.kcs", 1},
        {"large.kcs", 101}}) {
    const std::string bytes = Bytes(name);
    for (std::size_t i = 0; i < bytes.size(); i += stride) {
      std::string bad = bytes;
      bad[i] = static_cast<char>(bad[i] ^ 0xFF);
      WriteBytes("bad.kcs", bad);
      Reopen("bad.kcs");
    }
  }
}

// The reopened case equals the saved one; a file of a reserved type (a
// backup) opens under a temporary name.
TEST_F(CaseRecallTest, RoundTripKeepsTheWholeCase) {
  auto theCase = NewCase("a.kcs");
  IPemarProject* first = AddProject(*theCase, "Crude unit", 3);
  first->SetEngineersName("R. Ames");
  first->SetComments("Revamp study");
  AddProject(*theCase, "Second", 0);
  ASSERT_EQ(theCase->UtilityDatabase(true)->AddDefaultUtility("Hot oil"),
            kDone);
  theCase->CaseFileHeader()->SetDescription("A case");
  theCase->SetModified(true);
  ASSERT_TRUE(theCase->SaveDocument(0));

  savedCaseBuildNumber = 0;
  auto reopened = Reopen("a.kcs");
  ASSERT_NE(reopened, nullptr);
  EXPECT_EQ(savedCaseBuildNumber, kFrameworkBuildNumber);
  EXPECT_EQ(FirstDifference(DescribeCase(*theCase), DescribeCase(*reopened)),
            "");
  EXPECT_FALSE(reopened->IsTempName());
  std::filesystem::copy_file(Path("a.kcs"), Path("a.bk0"));
  auto fromBackup = Reopen("a.bk0");
  ASSERT_NE(fromBackup, nullptr);
  EXPECT_TRUE(fromBackup->IsTempName());
}

// A case file as an older program wrote it. The case holds a project and
// the objects "Obsolete" and "Watched"; its class data is the save counter 7
// and then pointer records, one letter each: O "Obsolete", W "Watched", C
// the case, - none. Older class-data revisions name objects the recall
// destroys; a crafted file may name one twice, or the case, or the kept bug
// report manager.
struct OldLayout {
  unsigned char structure;  // from 7 with projects, from 8 with a zero
  int classData;
  long build;
  const char* pointers;
  bool recalls;
  int obsoleteKept;
  const char* bugReportManager;  // "" for none
};

const OldLayout kOldLayouts[] = {
    {6, kCaseClassDataVersion, 2100, "-", true, 1, ""},
    {7, kCaseClassDataVersion, 2100, "-", true, 1, ""},
    {8, 15, 1500, "OOCWW-", true, 0, ""},
    {8, 16, 2100, "WWWWWWW", true, 1, "Watched"},
    {8, 18, 2100, "C", false, 0, ""},
};

TEST_F(CaseRecallTest, OlderLayoutsRecallAndDropTheirObsoleteObjectsOnce) {
  for (const OldLayout& row : kOldLayouts) {
    SCOPED_TRACE(::testing::Message() << int{row.structure} << " "
                                      << row.classData << " " << row.pointers);
    ScopedCaseRevision revision(row.classData);
    OldLayoutCase theCase;
    AddProject(theCase, "Kept", 1);
    auto* obsolete = new Viewable(&theCase, ViewableObjectType());
    obsolete->SetName("Obsolete");
    auto* watched = new Viewable(&theCase, ViewableObjectType());
    watched->SetName("Watched");
    for (char c : std::string(row.pointers)) {
      theCase.pointers.push_back(c == 'O'   ? obsolete
                                 : c == 'W' ? watched
                                 : c == 'C' ? &theCase
                                            : nullptr);
    }
    ASSERT_TRUE(test_support::WriteOldCaseFile(theCase, Text(Path("old.kcs")),
                                               row.structure, row.build));
    auto reopened = Reopen("old.kcs");
    ASSERT_EQ(reopened != nullptr, row.recalls);
    if (reopened == nullptr) continue;
    EXPECT_EQ(reopened->SaveCounter(), 7);
    EXPECT_EQ(reopened->FileStructureRevision(), kCaseFileStructureRevision);
    EXPECT_EQ(reopened->GetEngineeringManager()->GetProjectSize(1),
              row.structure >= 7 ? 1 : 0);
    EXPECT_EQ(CountNamed(*reopened, "Obsolete"), row.obsoleteKept);
    EXPECT_EQ(CountNamed(*reopened, "Watched"), 1);
    Viewable* bugs = reopened->BugReportManagerObject();
    EXPECT_EQ(bugs ? bugs->GetName().str() : "", row.bugReportManager);
    // The case hears of its manager's death: it never holds a dangling one.
    if (bugs) EXPECT_EQ(bugs->DeathPosteeRefCount(reopened.get()), 1);
  }
}

// Old files stored the case parameters as an object of their own: the
// recall moves its counter into the case, destroys what its records name
// and then the object itself.
TEST_F(CaseRecallTest, OldCaseParametersFillTheCaseAndDisappear) {
  static OldParametersType* type =
      new OldParametersType("TestOldCaseParameters");
  auto theCase = NewCase("params.kcs");
  auto* watched = new Viewable(theCase.get(), ViewableObjectType());
  watched->SetName("Watched");
  auto* placeholder = new Viewable(theCase.get(), type);
  auto* obsolete = new Viewable(theCase.get(), ViewableObjectType());
  obsolete->SetName("Obsolete");
  // Revision 15: step 3's object (destroyed), three records, the bug report
  // manager and one more record.
  type->counter = (3 << 16) | 15;
  type->pointers = {obsolete, nullptr, nullptr, watched, nullptr, nullptr};
  ASSERT_TRUE(theCase->SaveDocument(0));
  delete placeholder;

  auto reopened = Reopen("params.kcs");
  ASSERT_NE(reopened, nullptr);
  EXPECT_EQ(reopened->SaveCounter(), (3 << 16) | 15);
  EXPECT_EQ(CountNamed(*reopened, "Obsolete"), 0);
  EXPECT_EQ(CountNamed(*reopened, "Watched"), 1);
  EXPECT_TRUE(
      reopened->GetObjectManager().Objects(OldCaseParamObjectType()).empty());

  // Outside a case the parameters object fails without reading.
  Document document(nullptr, DocumentObjectType());
  Viewable stray(&document, ViewableObjectType());
  WriteBytes("bytes", std::string(64, '\0'));
  BinaryFile file(Text(Path("bytes")));
  ASSERT_TRUE(file.Open(false));
  EXPECT_FALSE(OldCaseParamObjectType()->RecallClassData(file, &stray));
  EXPECT_FALSE(OldCaseParamObjectType()->CheckRecalledPointers(&stray));
  EXPECT_FALSE(OldCaseParamObjectType()->StoreClassData(file, &stray));
}

// Stands in for the problem-report library's manager type while it lives.
class BugReportManagerType : public ObjectTypeInfo {
 public:
  BugReportManagerType()
      : ObjectTypeInfo("BugReportManagerObject", ViewableObjectType(),
                       "BugReportManager", 0, 0, "bugmgr", kEmptyMarker) {}
  Viewable* CreateInstanceForRecall(ObjectInstanceInfo& info) const override {
    return new Viewable(info);
  }
};

// The byte layout of a whole case file, written by hand from
// docs/file-format.md ("Document files", "Case files").
TEST_F(CaseRecallTest, CaseWithItsBugReportManagerHasTheDocumentedLayout) {
  BugReportManagerType type;
  const std::string bytes = test_support::Bytes(
      "'PemarCaseV3.00K '"       // stamp
      "A5 5A 01 00 AE 00 00 00"  // envelope: revision 1, the rest of the file
      "A5 5A 01 00 13 00 00 00"  // fields: revision 1, 19 bytes
      "34 08 00 00"              //   saved by build 2100
      "D0 07 00 00"              //   required build 2000
      "08"                       //   structure revision
      "00 00"                    //   ask for a name
      "00 00 00 00"              //   description ""
      "00 00 00 00"              //   original name ""
      "00 00 00 00"              // zero
      "A5 5A 02 00 04 00 00 00"  // engineering manager: revision 2, 4 bytes
      "00 00 00 00"              //   no objects
      "A5 5A 01 00 7B 00 00 00"  // object section: revision 1, 123 bytes
      "02 00 00 00"              //   count
      "01 00 00 00"              //   id
      "0D 00 00 00 'SimCaseObject'"
      "00 00 00 00"         //   owner: none
      "04 00 00 00 'Case'"  //   name
      "12 00 00 00"         //   class-data version 18
      "02 00 00 00"         //   id
      "16 00 00 00 'BugReportManagerObject'"
      "01 00 00 00"  //   owner: the case
      "10 00 00 00 'BugReportManager'"
      "00 00 00 00"                //   class-data version 0
      "A5 5A 01 00 08 00 00 00"    //   the case's class data: 8 bytes
      "01 00 00 00"                //     save counter
      "02 00 00 00"                //     bug report manager: pointer to id 2
      "A5 5A 01 00 00 00 00 00");  //   the manager's class data: none
  auto stored = NewCase("stored.kcs");
  ASSERT_TRUE(stored->Message("BugReportMgr"));
  ASSERT_NE(stored->BugReportManagerObject(), nullptr);
  stored->SetModified(true);  // the save counts it
  ASSERT_TRUE(stored->SaveDocument(0));
  EXPECT_TRUE(test_support::SameBytes(Bytes("stored.kcs"), bytes));

  WriteBytes("golden.kcs", bytes);
  auto recalled = Reopen("golden.kcs");
  ASSERT_NE(recalled, nullptr);
  EXPECT_EQ(FirstDifference(DescribeCase(*stored), DescribeCase(*recalled)),
            "");
  EXPECT_EQ(recalled->BugReportManagerObject()->GetOwner(), recalled.get());
}

}  // namespace
}  // namespace pemar
