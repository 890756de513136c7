#include <gtest/gtest.h>

#include <string>

#include "pemar/case/SimulationCase.h"
#include "pemar/case/testing/CaseTestSupport.h"
#include "pemar/case/testing/OldCaseFiles.h"
#include "pemar/framework/BinaryFile.h"
#include "pemar/persist/PemarBinaryFile.h"
#include "pemar/utility/DefaultUtilManagerView.h"
#include "pemar/utility/IDefaultUtilityManager.h"

namespace pemar {
namespace {

using test_support::OldLayoutCase;
using test_support::OldParametersType;
using test_support::ScopedCaseRevision;

class CaseRecallTest : public test_support::CaseTest {
 protected:
  // Writes `theCase` the way a program of `build` wrote files of structure
  // `revision`.
  void WriteOldFile(SimulationCase& theCase, const std::string& name,
                    unsigned char revision, long build) {
    ASSERT_TRUE(test_support::WriteOldCaseFile(theCase, Text(Path(name)),
                                               revision, build));
  }

  int CountNamed(SimulationCase& theCase, const char* name) {
    int count = 0;
    for (Viewable* object : theCase.GetObjectManager().Objects()) {
      if (object->GetName() == name) ++count;
    }
    return count;
  }
};

TEST_F(CaseRecallTest, TruncationAtEveryByteFailsWithRecallFailure) {
  auto theCase = NewCase("a.kcs");
  AddProject(*theCase, "P", 1);
  ASSERT_TRUE(theCase->SaveDocument(0));
  const std::string whole = Bytes("a.kcs");
  for (std::size_t size = 0; size < whole.size(); ++size) {
    WriteBytes("cut.kcs", whole.substr(0, size));
    sink_.Clear();
    EXPECT_EQ(Reopen("cut.kcs"), nullptr) << size;
    EXPECT_TRUE(sink_.Has(MessageKind::kError, "RecallFailure")) << size;
  }
}

TEST_F(CaseRecallTest, CorruptedBytesNeverCrash) {
  // Every byte of a small case; a sample of one that carries the utility
  // database, whose own reader has tests of its own.
  auto small = NewCase("small.kcs");
  AddProject(*small, "P", 2);
  ASSERT_TRUE(small->SaveDocument(0));
  auto large = NewCase("large.kcs");
  AddProject(*large, "P", 1);
  large->UtilityDatabase(true);
  ASSERT_TRUE(large->SaveDocument(0));
  for (const auto& [name, stride] :
       {std::pair<std::string, std::size_t>{"small.kcs", 1},
        std::pair<std::string, std::size_t>{"large.kcs", 101}}) {
    const std::string whole = Bytes(name);
    for (std::size_t i = 0; i < whole.size(); i += stride) {
      std::string bytes = whole;
      bytes[i] = static_cast<char>(bytes[i] ^ 0xFF);
      WriteBytes("bad.kcs", bytes);
      Reopen("bad.kcs");
    }
  }
}

TEST_F(CaseRecallTest, MissingFileFailsWithRecallFailure) {
  EXPECT_EQ(Reopen("absent.kcs"), nullptr);
  EXPECT_TRUE(sink_.Has(MessageKind::kError, "RecallFailure"));
}

TEST_F(CaseRecallTest, RoundTripKeepsProjectsNotesAndUtilityDatabase) {
  auto theCase = NewCase("a.kcs");
  IPemarProject* first = AddProject(*theCase, "Crude unit", 3);
  first->SetEngineersName("R. Ames");
  first->SetComments("Revamp study");
  AddProject(*theCase, "Second", 0);
  IDefaultUtilityManager* database = theCase->UtilityDatabase(true);
  ASSERT_NE(database, nullptr);
  ASSERT_EQ(database->AddDefaultUtility("Hot oil"), kDone);
  const int utilities = database->GetNumberOfDefaultUtilities();
  theCase->CaseFileHeader()->SetDescription("A case");
  theCase->SetModified(true);
  ASSERT_TRUE(theCase->SaveDocument(0));

  savedCaseBuildNumber = 0;
  auto reopened = Reopen("a.kcs");
  ASSERT_NE(reopened, nullptr);
  EXPECT_EQ(savedCaseBuildNumber, kFrameworkBuildNumber);
  EXPECT_EQ(reopened->FileStructureRevision(), kCaseFileStructureRevision);
  EXPECT_EQ(reopened->SaveCounter(), 1);
  EXPECT_EQ(reopened->CaseFileHeader()->Description(), "A case");
  EXPECT_EQ(reopened->GetEngineeringManager()->GetProjectSize(1), 2);
  IPemarProject* project = FindProject(*reopened, "Crude unit");
  ASSERT_NE(project, nullptr);
  EXPECT_STREQ(project->GetEngineersName(), "R. Ames");
  EXPECT_STREQ(project->GetComments(), "Revamp study");
  ASSERT_EQ(project->GetNumberOfNotes(), 3);
  EXPECT_STREQ(project->GetNoteTitle(2), "Note 2");
  EXPECT_STREQ(project->GetNoteText(2), "Text of Note 2");
  IDefaultUtilityManager* recalled = reopened->UtilityDatabase(false);
  ASSERT_NE(recalled, nullptr);
  EXPECT_EQ(recalled->GetNumberOfDefaultUtilities(), utilities);
  EXPECT_TRUE(recalled->Exists("Hot oil"));
}

TEST_F(CaseRecallTest, StructureRevisionSixRecallsThroughTheObjectsAlone) {
  auto theCase = NewCase("a.kcs");
  AddProject(*theCase, "Ignored", 0);
  new Viewable(theCase.get(), ViewableObjectType());
  WriteOldFile(*theCase, "old.kcs", 6, 2100);
  auto reopened = Reopen("old.kcs");
  ASSERT_NE(reopened, nullptr);
  EXPECT_EQ(reopened->GetEngineeringManager()->GetProjectSize(1), 0);
  EXPECT_EQ(reopened->GetObjectManager().Count(), 2u);
  EXPECT_EQ(reopened->FileStructureRevision(), kCaseFileStructureRevision);
}

TEST_F(CaseRecallTest, StructureRevisionSevenHasNoZeroBeforeTheProjects) {
  auto theCase = NewCase("a.kcs");
  AddProject(*theCase, "Kept", 1);
  WriteOldFile(*theCase, "old.kcs", 7, 2100);
  auto reopened = Reopen("old.kcs");
  ASSERT_NE(reopened, nullptr);
  EXPECT_NE(FindProject(*reopened, "Kept"), nullptr);
}

TEST_F(CaseRecallTest, OldLayoutDropsItsObsoleteObjectsOnce) {
  // A program before build 2000, class-data revision 15: six pointer
  // records. The first two name objects the recall destroys; the crafted
  // file names the same object twice and points others at the case.
  ScopedCaseRevision revision(15);
  OldLayoutCase theCase;
  theCase.SetFileName(Path("old.kcs"));
  auto* obsolete = new Viewable(&theCase, ViewableObjectType());
  obsolete->SetName("Obsolete");
  auto* watched = new Viewable(&theCase, ViewableObjectType());
  watched->SetName("Watched");
  theCase.pointers = {obsolete, obsolete, &theCase, watched, watched, nullptr};
  WriteOldFile(theCase, "old.kcs", 8, 1500);

  auto reopened = Reopen("old.kcs");
  ASSERT_NE(reopened, nullptr);
  EXPECT_EQ(reopened->SaveCounter(), 7);
  EXPECT_EQ(CountNamed(*reopened, "Obsolete"), 0);
  ASSERT_EQ(CountNamed(*reopened, "Watched"), 1);
  EXPECT_EQ(reopened->BugReportManagerObject(), nullptr);
}

TEST_F(CaseRecallTest, CraftedFileCannotDestroyTheKeptBugReportManager) {
  // Revision 16 from a newer program: the record that names the bug report
  // manager and the one whose object is destroyed name the same object.
  ScopedCaseRevision revision(16);
  OldLayoutCase theCase;
  auto* shared = new Viewable(&theCase, ViewableObjectType());
  shared->SetName("Shared");
  theCase.pointers = {shared, shared, shared, shared, shared, shared, shared};
  WriteOldFile(theCase, "crafted.kcs", 8, 2100);

  auto reopened = Reopen("crafted.kcs");
  ASSERT_NE(reopened, nullptr);
  ASSERT_NE(reopened->BugReportManagerObject(), nullptr);
  EXPECT_EQ(reopened->BugReportManagerObject()->GetName(), "Shared");
  // The case hears of its death, so it can never hold a dangling pointer.
  EXPECT_EQ(
      reopened->BugReportManagerObject()->DeathPosteeRefCount(reopened.get()),
      1);
}

TEST_F(CaseRecallTest, CaseNamedAsItsOwnBugReportManagerFailsRecall) {
  ScopedCaseRevision revision(18);
  OldLayoutCase theCase;
  theCase.pointers = {&theCase};
  WriteOldFile(theCase, "self.kcs", 8, 2100);
  EXPECT_EQ(Reopen("self.kcs"), nullptr);
}

TEST_F(CaseRecallTest, OldCaseParametersFillTheCaseAndDisappear) {
  static OldParametersType* type =
      new OldParametersType("TestOldCaseParameters");
  auto theCase = NewCase("params.kcs");
  auto* watched = new Viewable(theCase.get(), ViewableObjectType());
  watched->SetName("Watched");
  auto* placeholder = new Viewable(theCase.get(), type);
  // Revision 15 in the low 16 bits of the stored counter.
  type->counter = (3 << 16) | 15;
  // Step 3's object (destroyed), three records, the bug report manager and
  // one more record.
  auto* obsolete = new Viewable(theCase.get(), ViewableObjectType());
  obsolete->SetName("Obsolete");
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
}

TEST_F(CaseRecallTest, OldCaseParametersOutsideACaseFailWithoutReading) {
  Document document(nullptr, DocumentObjectType());
  Viewable placeholder(&document, ViewableObjectType());
  WriteBytes("bytes", std::string(64, '\0'));
  BinaryFile file(Text(Path("bytes")));
  ASSERT_TRUE(file.Open(false));
  EXPECT_FALSE(OldCaseParamObjectType()->RecallClassData(file, &placeholder));
  EXPECT_FALSE(OldCaseParamObjectType()->CheckRecalledPointers(&placeholder));
  EXPECT_FALSE(OldCaseParamObjectType()->StoreClassData(file, &placeholder));
}

TEST_F(CaseRecallTest, ReservedExtensionGivesATemporaryName) {
  auto theCase = NewCase("a.kcs");
  ASSERT_TRUE(theCase->SaveDocument(0));
  std::filesystem::copy_file(Path("a.kcs"), Path("a.bk0"));
  auto fromBackup = Reopen("a.bk0");
  ASSERT_NE(fromBackup, nullptr);
  EXPECT_TRUE(fromBackup->IsTempName());
  auto fromCase = Reopen("a.kcs");
  ASSERT_NE(fromCase, nullptr);
  EXPECT_FALSE(fromCase->IsTempName());
}

}  // namespace
}  // namespace pemar
