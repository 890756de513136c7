// The byte layout of the engineering manager's chunk, written by hand from
// docs/file-format.md ("Engineering manager").

#include <gtest/gtest.h>

#include <string>

#include "pemar/framework/MemoryFileSystem.h"
#include "pemar/framework/Platform.h"
#include "pemar/persist/testing/GoldenBytes.h"
#include "pemar/project/EngineeringManager.h"
#include "pemar/project/NotesProject.h"

namespace pemar {
namespace {

using test_support::Bytes;
using test_support::RecallsAll;
using test_support::SameBytes;
using test_support::StoredBytes;

// A manager holding one notes project "N" with only its name and `date`.
std::string ManagerBytes(const std::string& date) {
  const std::string dated = "01 01 09 00 00 00 '" + date + "' 00";
  return Bytes(
      "A5 5A 02 00 2B 00 00 00"   // chunk: revision 2, 43 bytes
      "01 00 00 00"               // count
      "BD 02 00 00"               // type 701
      "A5 5A 01 00 1B 00 00 00"   // project chunk: revision 1, 27 bytes
      "01 01 02 00 00 00 'N' 00"  //   name
      "00 00"                     //   comments, engineer: absent
      + dated +                   //   date
      "00 00");                   //   has-notes 0, default note title absent
}

class EngineeringManagerLayoutTest : public ::testing::Test {
 protected:
  void SetUp() override { NotesProject::RegisterType(); }

  MemoryFileSystem fs_;
  ScopedFileSystem scope_{&fs_};
};

TEST_F(EngineeringManagerLayoutTest, TypeNumberBeforeEachObjectRecord) {
  EngineeringManager stored;
  ASSERT_NE(stored.AddEngObject("N", kNotesProjectType, 0), nullptr);
  EXPECT_TRUE(
      SameBytes(StoredBytes(fs_, stored), ManagerBytes(TodayDate().str())));

  EngineeringManager recalled;
  ASSERT_TRUE(RecallsAll(fs_, ManagerBytes("12/31/99"), recalled));
  ASSERT_EQ(recalled.GetProjectSize(1), 1);
  IPemarBaseObject* object = nullptr;
  recalled.GetProjectByNum(0, 1, &object);
  ASSERT_NE(object, nullptr);
  EXPECT_EQ(object->GetObjectType(), kNotesProjectType);
  IPemarProject* project = AsPemarProject(object);
  ASSERT_NE(project, nullptr);
  EXPECT_STREQ(project->GetProjectName(), "N");
  EXPECT_EQ(project->GetComments(), nullptr);
  EXPECT_STREQ(project->GetDate(), "12/31/99");
  EXPECT_EQ(project->GetNumberOfNotes(), 0);
}

}  // namespace
}  // namespace pemar
