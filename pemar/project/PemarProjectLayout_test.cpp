// The byte layout of project and note records, written by hand from
// docs/file-format.md ("Project record", "Note record").

#include <gtest/gtest.h>

#include <string>

#include "pemar/framework/MemoryFileSystem.h"
#include "pemar/framework/Platform.h"
#include "pemar/persist/testing/GoldenBytes.h"
#include "pemar/project/NotesProject.h"

namespace pemar {
namespace {

using test_support::Bytes;
using test_support::RecallsAll;
using test_support::SameBytes;
using test_support::StoredBytes;

// A project named "P1" with empty comments, engineer "RA", no default note
// title and one note: text "Hi", no author, title "T". Both dates are `date`.
std::string ProjectBytes(const std::string& date) {
  const std::string dated = "01 01 09 00 00 00 '" + date + "' 00";
  return Bytes(
      "A5 5A 01 00 57 00 00 00"    // project chunk: revision 1, 87 bytes
      "01 01 03 00 00 00 'P1' 00"  // name: flag, cvstring
      "01 01 01 00 00 00 00"       // comments: present and empty
      "01 01 03 00 00 00 'RA' 00"  // engineer
      + dated +                    // date
      "01 01 00 00 00"             // has-notes, count 1
      "A5 5A 01 00 21 00 00 00"    // note chunk: revision 1, 33 bytes
      "01 01 03 00 00 00 'Hi' 00"  //   text
      "00"                         //   author: absent
      "01 01 02 00 00 00 'T' 00"   //   title
      + dated +                    //   date
      "00");                       // default note title: absent
}

class PemarProjectLayoutTest : public ::testing::Test {
 protected:
  MemoryFileSystem fs_;
  ScopedFileSystem scope_{&fs_};
};

TEST_F(PemarProjectLayoutTest, ProjectWithOneNote) {
  NotesProject stored(nullptr, "P1");
  stored.SetComments("");
  stored.SetEngineersName("RA");
  stored.AddNote();
  stored.SetNoteText(0, "Hi");
  stored.SetNoteTitle(0, "T");
  EXPECT_TRUE(
      SameBytes(StoredBytes(fs_, stored), ProjectBytes(TodayDate().str())));

  NotesProject recalled;
  ASSERT_TRUE(RecallsAll(fs_, ProjectBytes("12/31/99"), recalled));
  EXPECT_STREQ(recalled.GetProjectName(), "P1");
  EXPECT_STREQ(recalled.GetComments(), "");
  EXPECT_STREQ(recalled.GetEngineersName(), "RA");
  EXPECT_STREQ(recalled.GetDate(), "12/31/99");
  ASSERT_EQ(recalled.GetNumberOfNotes(), 1);
  EXPECT_STREQ(recalled.GetNoteText(0), "Hi");
  EXPECT_EQ(recalled.GetNoteAuthor(0), nullptr);
  EXPECT_STREQ(recalled.GetNoteTitle(0), "T");
  EXPECT_STREQ(recalled.GetNoteDate(0), "12/31/99");
}

}  // namespace
}  // namespace pemar
