#include "pemar/project/PemarProject.h"

#include <gtest/gtest.h>

#include <string>

#include "pemar/framework/BinaryFile.h"
#include "pemar/persist/CrossReference.h"
#include "pemar/persist/testing/FakeEngineeringManager.h"
#include "pemar/project/NotesProject.h"
#include "pemar/project/testing/ProjectTestSupport.h"

namespace pemar {
namespace {

using test_support::ProjectGolden;
using test_support::ProjectText;

using PemarProjectTest = test_support::RecordTest;

// Gives `p` an engineer, comments and one note with a text.
void Populate(NotesProject& p) {
  p.SetEngineersName("E");
  p.SetComments("C");
  p.AddNote();
  p.SetNoteText(0, "kept");
}

// The layout both ways, then damaged and malformed copies.
TEST_F(PemarProjectTest, RecordRoundTripsAndDamagedCopiesChangeNothing) {
  const std::string golden = ProjectGolden("project_two_notes");
  NotesProject p;
  ASSERT_TRUE(test_support::RecallsAll(fs_, golden, p));
  // Stored before anything asks for a title: the default title recalled.
  EXPECT_TRUE(
      test_support::SameBytes(test_support::StoreToBytes(fs_, p), golden));
  EXPECT_EQ(ProjectText(p),
            "'P1''RA''''12/31/99' notes 2 ('Hi''RA''T''12/31/99') "
            "('Second'-'Note - 2''01/02/03') last 1");
  auto recall = [&](const std::string& damaged) {
    NotesProject target(nullptr, "Kept");
    Populate(target);
    const std::string before = ProjectText(target);
    const bool recalled = test_support::RecallFromBytes(fs_, target, damaged);
    if (!recalled) {
      EXPECT_EQ(ProjectText(target), before);
    }
    return recalled;
  };
  test_support::ForEachDamagedCopy(golden, recall);
  // Malformed records, each described in its golden file.
  for (std::string name :
       {"name_flag_2", "notes_flag_2", "note_count_negative",
        "note_count_int_min", "note_count_int_max", "note_count_too_big"}) {
    EXPECT_FALSE(recall(ProjectGolden("project_" + name))) << name;
  }
}

// Absent fields and a missing note list keep the project's; an empty list
// replaces its notes; a note without a date takes the day of the recall.
TEST_F(PemarProjectTest, RecallReplacesOnlyWhatTheRecordHolds) {
  const std::pair<const char*, const char*> rows[] = {
      {"project_absent_fields",
       "'Current''E''C'today notes 1 ('kept'-'Note - 1'today) last 0"},
      {"project_empty_note_list", "'S''E''C'today notes 0 last -1"},
      {"project_undated_note",
       "'Current''E''C'today notes 1 (--'Note - 1'today) last 0"}};
  for (const auto& [golden, text] : rows) {
    NotesProject p(nullptr, "Current");
    Populate(p);
    ASSERT_TRUE(test_support::RecallsAll(fs_, ProjectGolden(golden), p));
    EXPECT_EQ(ProjectText(p), text) << golden;
  }
}

// A fresh project has defaults; notes are found by title, and bad indexes
// and null texts change nothing.
TEST_F(PemarProjectTest, FreshProjectHasDefaultsAndNotesAreFoundByTitle) {
  NotesProject p(nullptr, nullptr);
  EXPECT_EQ(ProjectText(p), "'Project1'--today notes 0 last 99");
  EXPECT_EQ(p.GetNoteTitle(0), nullptr);
  for (int i = 0; i < 3; ++i) p.AddNote();
  int index = 99;
  p.SetNoteCount(nullptr, index);
  EXPECT_EQ(index, 99);
  // The argument is the project's own default-title buffer, which the walk
  // replaces; under the sanitizers a read of the freed buffer would fail.
  p.SetNoteCount(p.GetNoteTitle(1), index);
  EXPECT_EQ(index, 1);
  p.SetNoteTitle(0, "Feed");
  for (auto [title, expected] :
       {std::pair{"Feed", 0}, {"Note - 2", 1}, {"absent", 2}}) {
    p.SetNoteCount(title, index);
    EXPECT_EQ(index, expected) << title;
  }
  const std::string notes = " (--'Note - 2'today) (--'Note - 3'today) last 2";
  EXPECT_EQ(ProjectText(p),
            "'Project1'--today notes 3 (--'Feed'today)" + notes);
  for (int bad : {3, -1}) {
    p.DeleteNote(bad);
    p.SetNoteText(bad, "bad");
    for (auto get :
         {&IPemarProject::GetNoteText, &IPemarProject::GetNoteAuthor,
          &IPemarProject::GetNoteDate, &IPemarProject::GetNoteTitle}) {
      EXPECT_EQ((p.*get)(bad), nullptr) << bad;
    }
  }
  for (const char* text : {"x", static_cast<const char*>(nullptr)}) {
    p.SetProjectName(text);
    p.SetEngineersName(text);
    p.SetComments(text);
    p.SetNoteText(0, text);
    p.SetNoteAuthor(0, text);
    p.SetNoteTitle(0, text);
  }
  EXPECT_EQ(ProjectText(p), "'x''x''x'today notes 3 ('x''x''x'today)" + notes);
  p.DeleteNote(0);
  EXPECT_STREQ(p.GetNoteTitle(0), "Note - 1");  // "x" went
  EXPECT_EQ(p.GetNumberOfNotes(), 2);
}

// A notes project answers its interfaces and is the scenario lookup through
// which persistence resolves a generic scenario reference.
TEST_F(PemarProjectTest, InterfacesAnswerAndScenarioReferencesResolve) {
  struct ScenarioProject : NotesProject {
    test_support::FakeHiScenario split{this, "Split"};
    void FindScenario(const char* name, IPemarScenario** result) override {
      *result = name && std::string(name) == "Split" ? &split : nullptr;
    }
  };
  test_support::FakeEngineeringManager manager;
  auto* project = new ScenarioProject();
  manager.Adopt(project);
  void* result = project;
  EXPECT_EQ(project->CPemarProject::QueryInterface(701, &result), kNoInterface);
  EXPECT_EQ(result, nullptr);
  EXPECT_EQ(project->CPemarProject::GetObjectType(), 101);
  const std::pair<long, void*> answers[] = {
      {101, static_cast<IPemarProject*>(project)},
      {kNotesProjectType, static_cast<NotesProject*>(project)},
      {1, static_cast<IPemarBaseObject*>(project)}};
  for (const auto& [id, expected] : answers) {
    EXPECT_EQ(project->QueryInterface(id, &result), kDone) << id;
    EXPECT_EQ(result, expected) << id;
  }
  const std::string bytes = test_support::WrittenBytes(fs_, [&](BinaryFile& f) {
    return StorePemarScenarioPointer(f, &project->split);
  });
  IPemarScenario* found = nullptr;
  EXPECT_TRUE(test_support::ReadsAll(fs_, bytes, [&](BinaryFile& f) {
    return RecallPemarScenarioPointer(f, &manager, &found);
  }));
  EXPECT_EQ(found, &project->split);
}

}  // namespace
}  // namespace pemar
