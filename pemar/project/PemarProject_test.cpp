#include "pemar/project/PemarProject.h"

#include <gtest/gtest.h>

#include <climits>
#include <regex>
#include <string>

#include "pemar/framework/BinaryFile.h"
#include "pemar/framework/Platform.h"
#include "pemar/persist/CrossReference.h"
#include "pemar/persist/testing/FakeEngineeringManager.h"
#include "pemar/project/NotesProject.h"
#include "pemar/project/testing/ProjectTestSupport.h"

namespace pemar {
namespace {

using test_support::Bytes;
using test_support::ProjectText;

class PemarProjectTest : public test_support::RecordTest {
 protected:
  // The bytes of a project with every field set and three notes: one
  // untitled whose default title was made (and so is stored), one with only
  // a text.
  std::string FilledBytes() {
    NotesProject p;
    p.SetProjectName("Crude unit");
    p.SetEngineersName("R. Ames");
    p.SetComments("Revamp study");
    for (int i = 0; i < 3; ++i) p.AddNote();
    p.SetNoteText(0, "Check the preheat train");
    p.SetNoteAuthor(0, "RA");
    p.SetNoteTitle(0, "Preheat");
    p.SetNoteText(2, "Second column");
    p.GetNoteTitle(1);
    filled_ = ProjectText(p);
    return StoreBytes(p);
  }

  std::string filled_;
};

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

// ------------------------------------------------------ store and recall

TEST_F(PemarProjectTest, LayoutOfProjectWithOneNote) {
  NotesProject stored(nullptr, "P1");
  stored.SetComments("");
  stored.SetEngineersName("RA");
  stored.AddNote();
  stored.SetNoteText(0, "Hi");
  stored.SetNoteTitle(0, "T");
  EXPECT_TRUE(test_support::SameBytes(StoreBytes(stored),
                                      ProjectBytes(TodayDate().str())));
  NotesProject recalled;
  ASSERT_TRUE(
      test_support::RecallsAll(fs_, ProjectBytes("12/31/99"), recalled));
  EXPECT_EQ(ProjectText(recalled),
            "'P1''RA''''12/31/99' notes 1 ['Hi'-'T''12/31/99'] last 0");
}

TEST_F(PemarProjectTest, DamagedRecordFailsWithoutChangingTheProject) {
  const std::string bytes = FilledBytes();
  auto recall = [&](const std::string& damaged) {
    NotesProject target(nullptr, "Kept");
    target.SetComments("kept comments");
    target.AddNote();
    target.SetNoteText(0, "kept note");
    const std::string before = ProjectText(target);
    const bool recalled = RecallBytes(target, damaged);
    if (!recalled) {
      EXPECT_EQ(ProjectText(target), before);
    }
    return recalled;
  };
  for (std::size_t n = 0; n < bytes.size(); ++n) {
    EXPECT_FALSE(recall(bytes.substr(0, n))) << "cut at " << n;
  }
  test_support::ForEachFlippedByte(bytes, recall);
}

TEST_F(PemarProjectTest, NegativeOrHugeNoteCountFailsRecall) {
  for (int count : {-1, INT_MIN, INT_MAX, 3}) {
    // Absent fields, the notes flag, the count and a little more data.
    const std::string bytes = Chunk(1, [&](PemarBinaryFile& f) {
      for (unsigned char flag : {0, 0, 0, 0, 1}) f.Write(flag);
      f.Write(count);
      for (int i = 0; i < 5; ++i) f.Write(0);
    });
    NotesProject target;
    EXPECT_FALSE(RecallBytes(target, bytes)) << count;
    EXPECT_EQ(target.GetNumberOfNotes(), 0);
  }
}

TEST_F(PemarProjectTest, FlagOtherThanZeroOrOneFailsRecall) {
  NotesProject source;
  std::string bytes = StoreBytes(source);
  ASSERT_EQ(bytes[8], '\x01');  // the name flag, after the chunk header
  bytes[8] = '\x02';
  NotesProject target(nullptr, "Kept");
  EXPECT_FALSE(RecallBytes(target, bytes));
  EXPECT_STREQ(target.GetProjectName(), "Kept");
}

TEST_F(PemarProjectTest, StoreThenRecallReproducesEveryField) {
  const std::string bytes = FilledBytes();
  NotesProject target;
  ASSERT_TRUE(RecallBytes(target, bytes));
  // Stored again, the same bytes, the default title included.
  EXPECT_EQ(StoreBytes(target), bytes);
  EXPECT_EQ(ProjectText(target), filled_);
  EXPECT_STREQ(target.GetNoteAuthor(2), nullptr);
}

TEST_F(PemarProjectTest, AbsentStoredFieldsKeepCurrentValues) {
  NotesProject source(nullptr, "Stored");  // only a name and a date
  NotesProject target(nullptr, "Current");
  target.SetComments("current comments");
  target.SetEngineersName("current engineer");
  auto afterName = [&] {
    const std::string text = ProjectText(target);
    return text.substr(text.find('\'', 1) + 1);
  };
  for (int notes = 0; notes < 2; ++notes) {
    // Without a list ("last 99") or with one, the notes stay as they are.
    const std::string kept = afterName();
    ASSERT_TRUE(RecallBytes(target, StoreBytes(source)));
    EXPECT_STREQ(target.GetProjectName(), "Stored");
    EXPECT_EQ(afterName(), kept);
    target.AddNote();
  }
  // An empty list, on the other hand, is stored and recalled as a list.
  source.AddNote();
  source.DeleteNote(0);
  NotesProject fresh;
  ASSERT_TRUE(RecallBytes(fresh, StoreBytes(source)));
  int index = 7;
  fresh.SetNoteCount("Note - 1", index);
  EXPECT_EQ(index, -1);
}

TEST_F(PemarProjectTest, NoteStoredWithoutDateTakesTheRecallDay) {
  // A project with no fields and one note with no fields.
  const std::string bytes = Bytes(
      "A5 5A 01 00 16 00 00 00  00 00 00 00  01 01 00 00 00"
      "A5 5A 01 00 04 00 00 00  00 00 00 00  00");
  NotesProject target;
  ASSERT_TRUE(RecallBytes(target, bytes));
  ASSERT_EQ(target.GetNumberOfNotes(), 1);
  EXPECT_EQ(Text(target.GetNoteDate(0)), TodayDate());
  EXPECT_EQ(target.GetNoteText(0), nullptr);
}

// ------------------------------------------------------ project and notes

TEST_F(PemarProjectTest, FreshProjectHasDefaults) {
  NotesProject p(nullptr, nullptr);
  EXPECT_EQ(ProjectText(p),
            "'Project1'--'" + TodayDate().str() + "' notes 0 last 99");
  EXPECT_TRUE(std::regex_match(p.GetDate(), std::regex(R"(\d\d/\d\d/\d\d)")));
  EXPECT_EQ(p.GetNoteTitle(0), nullptr);
  p.AddNote();
  EXPECT_STREQ(p.GetNoteTitle(0), "Note - 1");
  EXPECT_EQ(Text(p.GetNoteDate(0)), TodayDate());
}

TEST_F(PemarProjectTest, NullTextLeavesFieldsUnchanged) {
  NotesProject p;
  p.AddNote();
  p.SetNoteText(0, "text");
  const std::string before = ProjectText(p);
  p.SetProjectName(nullptr);
  p.SetEngineersName(nullptr);
  p.SetComments(nullptr);
  p.SetNoteText(0, nullptr);
  p.SetNoteAuthor(0, nullptr);
  p.SetNoteTitle(0, nullptr);
  EXPECT_EQ(ProjectText(p), before);
  int index = 5;
  p.SetNoteCount(nullptr, index);
  EXPECT_EQ(index, 5);
}

TEST_F(PemarProjectTest, SetNoteCountFindsTitlesOrEndsAtTheLastPosition) {
  NotesProject p;
  for (int i = 0; i < 3; ++i) p.AddNote();
  int index = 99;
  // The argument is the project's own default-title buffer, which the walk
  // replaces; under the sanitizers a read of the freed buffer would fail.
  p.SetNoteCount(p.GetNoteTitle(1), index);
  EXPECT_EQ(index, 1);
  p.SetNoteTitle(0, "Feed");
  for (auto [title, expected] :
       {std::pair{"Feed", 0}, {"Note - 2", 1}, {"absent", 2}}) {
    index = 99;
    p.SetNoteCount(title, index);
    EXPECT_EQ(index, expected) << title;
  }
}

TEST_F(PemarProjectTest, NoteIndexErrorsAreSilent) {
  NotesProject p;
  p.AddNote();
  p.AddNote();
  p.SetNoteText(1, "second");
  const std::string before = ProjectText(p);
  for (int bad : {2, -1}) {
    p.DeleteNote(bad);
    p.SetNoteText(bad, "x");
    EXPECT_EQ(p.GetNoteText(bad), nullptr);
    EXPECT_EQ(p.GetNoteAuthor(bad), nullptr);
    EXPECT_EQ(p.GetNoteDate(bad), nullptr);
    EXPECT_EQ(p.GetNoteTitle(bad), nullptr);
  }
  EXPECT_EQ(ProjectText(p), before);
  p.DeleteNote(0);
  EXPECT_STREQ(p.GetNoteText(0), "second");
}

TEST_F(PemarProjectTest, InterfacesOfProjectAndNotesProject) {
  NotesProject notes(nullptr, "Notes");
  CPemarProject& base = notes;
  void* result = nullptr;
  EXPECT_EQ(base.CPemarProject::QueryInterface(701, &result), kNoInterface);
  EXPECT_EQ(result, nullptr);
  EXPECT_EQ(base.CPemarProject::GetObjectType(), 101);
  EXPECT_STREQ(notes.GetMyIdentifier(), "Notes");
  const std::pair<long, void*> answers[] = {
      {101, static_cast<IPemarProject*>(&notes)},
      {kNotesProjectType, &notes},
      {1, static_cast<IPemarBaseObject*>(&notes)}};
  for (const auto& [id, expected] : answers) {
    EXPECT_EQ(notes.QueryInterface(id, &result), kDone) << id;
    EXPECT_EQ(result, expected) << id;
  }
}

// Persistence resolves a generic scenario reference through the scenario
// lookup that every project is; a project found by name answers it.
TEST_F(PemarProjectTest, ProjectResolvesGenericScenarioReferences) {
  struct Scenario : IPemarScenario {
    IPemarBaseObject* project = nullptr;
    int GetDesignCount() override { return 0; }
    IPemarBaseObject* GetProject() override { return project; }
    const char* GetName() override { return "Split"; }
  };
  struct ScenarioProject : NotesProject {
    ScenarioProject() : NotesProject(nullptr, "Column study") {}
    Scenario scenario;
    void FindScenario(const char* name, IPemarScenario** result) override {
      *result =
          name != nullptr && std::string(name) == "Split" ? &scenario : nullptr;
    }
  };
  test_support::FakeEngineeringManager manager;
  auto* project = new ScenarioProject();
  project->scenario.project = project;
  manager.Adopt(project);
  const std::string bytes = test_support::WrittenBytes(fs_, [&](BinaryFile& f) {
    return StorePemarScenarioPointer(f, &project->scenario);
  });
  IPemarScenario* found = nullptr;
  EXPECT_TRUE(test_support::ReadsAll(fs_, bytes, [&](BinaryFile& f) {
    return RecallPemarScenarioPointer(f, &manager, &found);
  }));
  EXPECT_EQ(found, &project->scenario);
}

}  // namespace
}  // namespace pemar
