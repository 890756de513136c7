#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <iterator>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "pemar/case/SimulationCase.h"
#include "pemar/framework/CrashSimulatingFileSystem.h"
#include "pemar/framework/FileSystem.h"
#include "pemar/framework/MemoryFileSystem.h"
#include "pemar/utility/DefaultUtilManagerView.h"
#include "pemar/utility/IDefaultUtilityManager.h"
#include "tests/support/CaseSaveFaults.h"

namespace pemar {
namespace {

using Op = FaultInjectingFileSystem::Op;

// The words of `text`.
std::vector<std::string> Words(const std::string& text) {
  std::istringstream in(text);
  return {std::istream_iterator<std::string>(in), {}};
}

// A save of a case holding a project "New" to `file`, over an "Old" case
// saved there first unless laid down. `after` names the files after as
// name=source: New for the new case, else the file of before whose bytes it
// holds; no other file may appear, but "a.tmp" after a failure.
struct SaveScenario {
  double backups;        // NCaseBackups
  const char* file;      // the case file saved
  const char* laidDown;  // files laid down first, whose bytes are their names
  const char* error;     // the error reported, "" if the save succeeds
  const char* after;
  int failing = 0;          // which failingOp fails (from 1), 0 for none
  const char* locked = "";  // a write-protected file
  const char* commandLine = "pemar_tests";
  Op failingOp = Op::kRename;
  bool carbonTracking = false;  // on in the new case, no data source chosen
};

constexpr const char* kBk0To9 =
    "a.bk0 a.bk1 a.bk2 a.bk3 a.bk4 a.bk5 a.bk6 a.bk7 a.bk8 a.bk9";

const SaveScenario kSaveScenarios[] = {
    // Backups rotate on the first save of the session.
    {3, "a.kcs", "a.bk0 a.bk1", "",
     "a.kcs=New a.bk0=a.kcs a.bk1=a.bk0 a.bk2=a.bk1"},
    {0, "a.kcs", "", "", "a.kcs=New"},  // no backups: replaced in one step
    // A failed final rename without backups keeps the old file.
    {0, "a.kcs", "", "UnableToRenameFile", "a.kcs=a.kcs", 1},
    // bk1 cannot move on to bk2, so bk0 must not replace it: both are kept.
    {3, "a.kcs", "a.bk0 a.bk1", "UnableToRenameFile",
     "a.kcs=a.kcs a.bk0=a.bk0 a.bk1=a.bk1", 1},
    // A case of another mode keeps no backups, also under a main-mode name.
    {3, "b.kcs", "", "", "b.kcs=New", 0, "", "pemar_tests -plexa"},
    // A write-protected case file is refused.
    {1, "a.kcs", "", "FileWriteProtected", "a.kcs=a.kcs", 0, "a.kcs"},
    // A case named with the temporary type would be its own temporary file.
    {1, "a.tmp", "a.tmp", "SaveCaseError", "a.tmp=a.tmp"},
    // Counts over one digit are clamped; negative or not a number, the default.
    {1e300, "a.kcs", kBk0To9, "", "a.bk0=a.kcs a.bk9=a.bk8"},  // clamped
    {-3, "a.kcs", kBk0To9, "", "a.bk0=a.kcs a.bk1=a.bk1"},     // default
    {NAN, "a.kcs", kBk0To9, "", "a.bk0=a.kcs a.bk1=a.bk1"},    // default
    // A folder that cannot be synced after the rename: saved, with a warning.
    {0, "a.kcs", "", "", "a.kcs=New", 1, "", "pemar_tests", Op::kSyncDir},
    // Carbon tracking switched on before a data source is chosen reopens.
    {0, "a.kcs", "", "", "a.kcs=New", 0, "", "pemar_tests", Op::kRename, true},
};

// Fails the operations it is told to and refuses to write `locked`.
struct WriteProtectingFileSystem : FaultInjectingFileSystem {
  bool IsWritable(const std::string& path) override {
    return path != locked && FaultInjectingFileSystem::IsWritable(path);
  }
  std::string locked;
};

class CaseSaveTest : public test_support::SaveFaultTest {
 protected:
  // Saves a case with one project whose name marks the content, and with a
  // utility database when `utility`.
  bool SaveMarked(const std::string& file, const std::string& marker,
                  int notes = 2, bool utility = false) {
    auto theCase = NewCase(file);
    AddProject(*theCase, marker.c_str(), notes);
    if (utility && theCase->UtilityDatabase(true)->AddDefaultUtility(
                       (marker + " steam").c_str()) != kDone) {
      return false;
    }
    theCase->SetModified(true);
    return theCase->SaveDocument(0);
  }
};

TEST_F(CaseSaveTest, SaveKeepsBackupsAndNeverLosesTheOldFile) {
  for (const SaveScenario& s : kSaveScenarios) {
    const std::string file = s.file, error = s.error, locked = s.locked;
    SCOPED_TRACE(::testing::Message() << "scenario " << &s - kSaveScenarios);
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    ResetConfigStore();
    SetCommandLine(s.commandLine);
    if (std::string(s.laidDown).find(file) == std::string::npos) {
      ASSERT_TRUE(SaveMarked(file, "Old"));
    }
    for (const std::string& name : Words(s.laidDown)) WriteBytes(name, name);
    SetConfigData("NCaseBackups", s.backups);
    const std::map<std::string, std::string> before = Snapshot();
    sink_.Clear();

    WriteProtectingFileSystem fs;
    if (!locked.empty()) fs.locked = Path(locked);
    fs.FailAt(s.failingOp, s.failing);
    auto theCase = NewCase(file);
    AddProject(*theCase, "New", 0);
    if (s.carbonTracking) {
      theCase->UtilityDatabaseView(true)->SetCarbonTrackingEnabled(true);
    }
    theCase->SetModified(true);
    {
      ScopedFileSystem scoped(&fs);
      EXPECT_EQ(theCase->SaveDocument(0), error.empty());
    }
    EXPECT_EQ(theCase->IsModified(), !error.empty());
    EXPECT_EQ(theCase->SaveCounter(), error.empty() ? 1 : 0);
    EXPECT_TRUE(error.empty()
                    ? sink_.Has(MessageKind::kTrace, FindString("StoreCaseOK"))
                    : sink_.Has(MessageKind::kError, error.c_str()));
    EXPECT_EQ(sink_.Has(MessageKind::kTraceWarning, "UnableToSyncFolder"),
              s.failingOp == Op::kSyncDir);
    // A protected file is not even opened.
    EXPECT_TRUE(locked.empty() || fs.Count(Op::kOpenWrite) == 0);
    std::map<std::string, std::string> now = Snapshot();
    for (const std::string& entry : Words(s.after)) {
      const std::string name = entry.substr(0, entry.find('='));
      const std::string source = entry.substr(entry.find('=') + 1);
      if (source == "New") {
        EXPECT_EQ(Describe(name), DescribeCase(*theCase)) << name;
      } else {
        EXPECT_EQ(now[name], before.at(source)) << name;
      }
      now.erase(name);
    }
    if (!error.empty()) now.erase("a.tmp");
    for (const auto& [name, bytes] : now) {
      EXPECT_EQ(before.count(name), 1u) << name << " appeared";
    }
  }
}

// A case saved again on the day of its backup keeps that backup; a save on a
// later day rotates the backups.
TEST_F(CaseSaveTest, LaterSavesOfACaseRotateOnlyOnALaterDay) {
  SetConfigData("NCaseBackups", 3);
  ASSERT_TRUE(SaveMarked("a.kcs", "Original"));
  const std::string original = Bytes("a.kcs");
  auto theCase = NewCase("a.kcs");
  ASSERT_TRUE(theCase->SaveDocument(0));
  AddProject(*theCase, "Third", 0);
  theCase->SetModified(true);
  ASSERT_TRUE(theCase->SaveDocument(0));
  EXPECT_EQ(Bytes("a.bk0"), original);
  EXPECT_FALSE(std::filesystem::exists(Path("a.bk1")));

  const std::string second = Bytes("a.kcs");
  std::int64_t now = 0;
  ASSERT_TRUE(FileSystem::Default()->GetModificationTime(Path("a.kcs"), &now));
  ASSERT_TRUE(FileSystem::Default()->SetModificationTime(
      Path("a.bk0"), now - std::int64_t{3} * 86400));
  ASSERT_TRUE(theCase->SaveDocument(0));
  EXPECT_EQ(Bytes("a.bk0"), second);
  EXPECT_EQ(Bytes("a.bk1"), original);
}

// Every file operation of a save is made to fail in turn; nothing the user
// had is lost.
TEST_F(CaseSaveTest, FailureAtEveryStepLosesNothing) {
  SetConfigData("NCaseBackups", 3);
  const int failures = FailEachStepOfTheSave(
      [&] {
        ASSERT_TRUE(SaveMarked("a.bk0", "Zero"));
        ASSERT_TRUE(SaveMarked("a.bk1", "One"));
        ASSERT_TRUE(SaveMarked("a.kcs", "Old"));
      },
      [&] {
        auto theCase = NewCase("a.kcs");
        AddProject(*theCase, "New", 3000);  // several writes of the buffer
        return theCase;
      });
  EXPECT_GT(failures, 5);
}

// Every state of the files that a power cut during a save could leave
// reopens as the old or the new case, whole, and keeps every file of
// before but the oldest backup. Each backup's name holds its own case of
// before, or, once rotated, the case of the next newer name (a.bk0 the old
// case); it may be gone while the rotation moves it on, and every one is
// rotated once the new case is in place. States where the oldest backup is
// already dropped but the new case is not in place are among those checked.
TEST_F(CaseSaveTest, CrashAtAnyPointOfASaveLeavesTheOldOrTheNewCase) {
  const char* const names[] = {"a.kcs", "a.bk0", "a.bk1", "a.bk2"};
  for (const auto& scenario :
       {std::pair{0, true}, std::pair{3, true}, std::pair{3, false}}) {
    const int backups = scenario.first;
    const bool caseExists = scenario.second;
    const bool rotates = backups > 0 && caseExists;
    SCOPED_TRACE(::testing::Message() << backups << " backups " << caseExists);
    CrashSimulatingFileSystem fs;
    ScopedFileSystem scoped(&fs);
    SetConfigData("NCaseBackups", backups);
    std::string oldCase;
    if (caseExists) {
      for (const char* name : {"a.bk2", "a.bk1", "a.bk0", "a.kcs"}) {
        ASSERT_TRUE(SaveMarked(name, name, 3, true));
      }
      oldCase = Describe("a.kcs");
      ASSERT_FALSE(oldCase.empty());
    }
    const CrashSimulatingFileSystem::State before = fs.Files();
    // What `files` hold under `name`; empty when there is no such file.
    auto held = [&](const CrashSimulatingFileSystem::State& files,
                    const char* name) {
      auto it = files.find(Path(name));
      return it == files.end() ? std::string() : it->second;
    };
    fs.StartRecording();
    // Several writes of the file's buffer, so that a crash can cut between.
    ASSERT_TRUE(SaveMarked("a.kcs", "New", 3000, true));
    const std::string newCase = Describe("a.kcs");
    ASSERT_FALSE(newCase.empty());
    const std::string newBytes = fs.GetFile(Path("a.kcs"));

    int oldestDropped = 0;
    fs.ForEachCrashState([&](const auto& files) {
      const bool saved = held(files, "a.kcs") == newBytes;
      std::multiset<std::string> now;
      for (const auto& [path, bytes] : files) now.insert(bytes);
      if (rotates) {
        for (int k = 1; k < 4; ++k) {
          const std::string bytes = held(files, names[k]);
          EXPECT_TRUE(
              bytes == held(before, names[k - 1]) ||
              (!saved && (bytes.empty() || bytes == held(before, names[k]))))
              << names[k];
          EXPECT_GT(now.count(held(before, names[k - 1])), 0u)
              << "the bytes of " << names[k - 1] << " are lost";
        }
        oldestDropped += !saved && now.count(held(before, "a.bk2")) == 0;
      }
      MemoryFileSystem disk;
      for (const auto& [path, bytes] : files) disk.SetFile(path, bytes);
      ScopedFileSystem crashed(&disk);
      std::string found = disk.FileExists(Path("a.kcs")) ? "a.kcs" : "a.bk0";
      if (!disk.FileExists(Path(found))) {
        EXPECT_FALSE(caseExists) << "no case file after a crash";
        return;
      }
      const std::string content = Describe(found);
      EXPECT_TRUE(content == newCase || (caseExists && content == oldCase))
          << found << " holds neither case";
    });
    EXPECT_EQ(oldestDropped > 0, rotates);
  }
}

}  // namespace
}  // namespace pemar
