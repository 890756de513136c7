#include <gtest/gtest.h>

#include <iterator>
#include <limits>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "pemar/case/SimulationCase.h"
#include "pemar/case/testing/CaseTestSupport.h"
#include "pemar/case/testing/OldCaseFiles.h"
#include "pemar/case/testing/SaveFaultLoop.h"
#include "pemar/framework/CrashSimulatingFileSystem.h"
#include "pemar/framework/FaultInjectingFileSystem.h"
#include "pemar/framework/FileSystem.h"
#include "pemar/framework/MemoryFileSystem.h"
#include "pemar/reports/CaseDescription.h"
#include "pemar/utility/IDefaultUtilityManager.h"

namespace pemar {
namespace {

using Op = FaultInjectingFileSystem::Op;

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
  // The case in `file` as its recall gives it; empty when it does not load.
  std::string Describe(const std::string& file) {
    auto theCase = Reopen(file);
    return theCase ? DescribeCase(*theCase) : std::string();
  }
};

// Fails the operations it is told to and refuses to write one path.
class WriteProtectingFileSystem : public FaultInjectingFileSystem {
 public:
  explicit WriteProtectingFileSystem(std::string path) : path_(path) {}
  bool IsWritable(const std::string& path) override {
    return path != path_ && FaultInjectingFileSystem::IsWritable(path);
  }

 private:
  std::string path_;
};

// The words of `text`.
std::vector<std::string> Words(const std::string& text) {
  std::istringstream in(text);
  return {std::istream_iterator<std::string>(in), {}};
}

// One save of a case holding a project "New": what the folder holds before,
// how the save goes and what the folder holds after.
struct SaveScenario {
  const char* name;
  double backups;        // "NCaseBackups", set after the old case was saved
  const char* file;      // a case "Old" is saved there first, unless laid down
  const char* laidDown;  // files whose bytes are their names
  const char* error;     // the error reported; null: the save succeeds
  // "name=source" for each file after the save: source "New" for the new
  // case, else the file whose earlier bytes it holds. Files that appear and
  // are not listed are an error.
  const char* after;
  Op faultOp = Op::kWrite;
  int faultAt = 0;  // the faultAt-th faultOp fails; 0: none
  const char* writeProtected = "";
  const char* commandLine = "pemar_tests";
};

constexpr const char* kTen =
    "a.bk0 a.bk1 a.bk2 a.bk3 a.bk4 a.bk5 a.bk6 a.bk7 a.bk8 a.bk9";

const SaveScenario kSaveScenarios[] = {
    {"backups rotate on the first save of the session", 3, "a.kcs",
     "a.bk0 a.bk1", nullptr, "a.kcs=New a.bk0=a.kcs a.bk1=a.bk0 a.bk2=a.bk1"},
    {"without backups the case file is replaced in one step", 0, "a.kcs", "",
     nullptr, "a.kcs=New"},
    {"failed final rename without backups keeps the old file", 0, "a.kcs", "",
     "UnableToRenameFile", "a.kcs=a.kcs", Op::kRename, 1},
    // The rename B1 -> B2 fails: B0 -> B1 must then fail, not replace B1.
    {"a backup that cannot move on is never overwritten", 3, "a.kcs",
     "a.bk0 a.bk1", "UnableToRenameFile", "a.kcs=a.kcs a.bk0=a.bk0 a.bk1=a.bk1",
     Op::kRename, 1},
    {"a plexa case keeps no backups", 3, "a.plexa", "", nullptr, "a.plexa=New"},
    {"a case of another mode keeps none under a main-mode name", 3, "b.kcs", "",
     nullptr, "b.kcs=New", Op::kWrite, 0, "", "pemar_tests -plexa"},
    {"write-protected case file", 1, "a.kcs", "", "FileWriteProtected",
     "a.kcs=a.kcs", Op::kWrite, 0, "a.kcs"},
    {"write-protected temporary file", 1, "a.kcs", "a.tmp",
     "FileWriteProtected", "a.kcs=a.kcs a.tmp=a.tmp", Op::kWrite, 0, "a.tmp"},
    // A case named with the temporary type would be its own temporary file.
    {"temporary type", 1, "a.tmp", "a.tmp", "SaveCaseError", "a.tmp=a.tmp"},
    {"temporary type in capitals", 1, "b.TMP", "b.TMP", "SaveCaseError",
     "b.TMP=b.TMP"},
    // The backup count is clamped to one digit; a count that is negative or
    // not a number is the default.
    {"12 backups", 12, "a.kcs", kTen, nullptr, "a.bk0=a.kcs a.bk9=a.bk8"},
    {"1e300 backups", 1e300, "a.kcs", kTen, nullptr, "a.bk0=a.kcs a.bk9=a.bk8"},
    {"-3 backups", -3, "a.kcs", kTen, nullptr, "a.bk0=a.kcs a.bk1=a.bk1"},
    {"NaN backups", std::numeric_limits<double>::quiet_NaN(), "a.kcs", kTen,
     nullptr, "a.bk0=a.kcs a.bk1=a.bk1"},
    {"infinite backups", std::numeric_limits<double>::infinity(), "a.kcs", kTen,
     nullptr, "a.bk0=a.kcs a.bk1=a.bk1"},
};

TEST_F(CaseSaveTest, SaveKeepsBackupsAndNeverLosesTheOldFile) {
  for (const SaveScenario& s : kSaveScenarios) {
    SCOPED_TRACE(s.name);
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    ResetConfigStore();
    SetCommandLine(s.commandLine);
    if (std::string(s.laidDown).find(s.file) == std::string::npos) {
      ASSERT_TRUE(SaveMarked(s.file, "Old"));
    }
    for (const std::string& name : Words(s.laidDown)) WriteBytes(name, name);
    SetConfigData("NCaseBackups", s.backups);
    const std::map<std::string, std::string> before = Snapshot();
    sink_.Clear();

    WriteProtectingFileSystem fs(Path(s.writeProtected));
    fs.FailAt(s.faultOp, s.faultAt);
    auto theCase = NewCase(s.file);
    AddProject(*theCase, "New", 0);
    theCase->SetModified(true);
    {
      ScopedFileSystem scoped(&fs);
      EXPECT_EQ(theCase->SaveDocument(0), s.error == nullptr);
    }
    EXPECT_EQ(theCase->IsModified(), s.error != nullptr);
    EXPECT_EQ(theCase->SaveCounter(), s.error ? 0 : 1);
    EXPECT_TRUE(s.error ? sink_.Has(MessageKind::kError, s.error)
                        : sink_.Has(MessageKind::kTrace, "StoreCaseOK"));
    // A protected file is not even opened; without backups the new file
    // replaces the old one by a rename, synced, with nothing deleted.
    if (*s.writeProtected) EXPECT_EQ(fs.Count(Op::kOpenWrite), 0);
    if (s.backups == 0 && !s.error) {
      EXPECT_EQ(fs.Count(Op::kDelete), 0);
      EXPECT_EQ(fs.Count(Op::kSyncDir), 1);
    }

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
    // A failed save may leave its temporary file; nothing else appears.
    if (s.error) now.erase("a.tmp");
    for (const auto& [name, bytes] : now) {
      EXPECT_EQ(before.count(name), 1u) << name << " appeared";
    }
  }
}

// One case saved again and again: its first save of the session rotates,
// later ones on the same day replace, and a day later it rotates again.
// Only saves of a changed case count.
TEST_F(CaseSaveTest, LaterSavesOfACaseRotateOnlyOnALaterDay) {
  SetConfigData("NCaseBackups", 3);
  ASSERT_TRUE(SaveMarked("a.kcs", "Original"));
  EXPECT_TRUE(sink_.Has(MessageKind::kTrace, "StoreCaseOK"));
  EXPECT_EQ(Snapshot().size(), 1u);  // no backup, no temporary file
  const std::string original = Bytes("a.kcs");
  auto theCase = NewCase("a.kcs");
  ASSERT_TRUE(theCase->SaveDocument(0));
  EXPECT_TRUE(theCase->BackupMade());
  EXPECT_EQ(theCase->SaveCounter(), 0);
  AddProject(*theCase, "Third", 0);
  theCase->SetModified(true);
  ASSERT_TRUE(theCase->SaveDocument(0));
  EXPECT_EQ(theCase->SaveCounter(), 1);
  EXPECT_FALSE(theCase->IsModified());
  EXPECT_EQ(Bytes("a.bk0"), original);
  EXPECT_FALSE(std::filesystem::exists(Path("a.bk1")));
  EXPECT_EQ(Describe("a.kcs"), DescribeCase(*theCase));

  const std::string second = Bytes("a.kcs");
  std::int64_t now = 0;
  ASSERT_TRUE(FileSystem::Default()->GetModificationTime(Path("a.kcs"), &now));
  ASSERT_TRUE(FileSystem::Default()->SetModificationTime(
      Path("a.bk0"), now - std::int64_t{3} * 86400));
  ASSERT_TRUE(theCase->SaveDocument(0));
  EXPECT_EQ(Bytes("a.bk0"), second);
  EXPECT_EQ(Bytes("a.bk1"), original);
}

// Every write, sync, close, rename, delete and open of a save is made to
// fail in turn; nothing the user had is lost (SaveFaultLoop.h).
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
        // Large enough for several writes of the file's 64 KB buffer.
        AddProject(*theCase, "New", 3000);
        return theCase;
      });
  EXPECT_GT(failures, 5);
}

// A power cut at any point of a save: every state of the files that the
// crash could leave is reopened, and the user finds either the old or the
// new case, whole, and every file of before but the oldest backup.
TEST_F(CaseSaveTest, CrashAtAnyPointOfASaveLeavesTheOldOrTheNewCase) {
  for (const auto [backups, caseExists] :
       {std::pair{0, true}, std::pair{3, true}, std::pair{3, false}}) {
    SCOPED_TRACE(::testing::Message()
                 << backups << " backups, case exists " << caseExists);
    CrashSimulatingFileSystem fs;
    ScopedFileSystem scoped(&fs);
    SetConfigData("NCaseBackups", backups);
    std::string oldCase;
    if (caseExists) {
      for (const char* backup : {"a.bk2", "a.bk1", "a.bk0"}) {
        ASSERT_TRUE(SaveMarked(backup, backup, 3, true));
      }
      ASSERT_TRUE(SaveMarked("a.kcs", "Old", 3, true));
      oldCase = Describe("a.kcs");
      ASSERT_FALSE(oldCase.empty());
    }
    std::multiset<std::string> kept;
    for (const auto& [path, bytes] : fs.Files()) {
      if (path != Path("a.bk2")) kept.insert(bytes);
    }
    fs.StartRecording();
    // Large enough for several writes of the file's buffer, so that a crash
    // can cut it between them.
    ASSERT_TRUE(SaveMarked("a.kcs", "New", 3000, true));
    const std::string newCase = Describe("a.kcs");
    ASSERT_FALSE(newCase.empty());

    fs.ForEachCrashState([&](const auto& files) {
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
      if (backups == 0) return;
      std::multiset<std::string> now;
      for (const auto& [path, bytes] : files) now.insert(bytes);
      for (const std::string& bytes : kept) {
        EXPECT_GT(now.count(bytes), 0u) << "a file of before the save is lost";
      }
    });
  }
}

// A recall of an older layout that fails after its header leaves that
// layout's structure revision in the case; a later save must still stamp
// the layout it writes, or no reader accepts the file.
TEST_F(CaseSaveTest, SaveAfterAFailedRecallOfAnOlderLayoutReopens) {
  for (unsigned char revision : {6, 7}) {
    SCOPED_TRACE(static_cast<int>(revision));
    auto old = NewCase("old.kcs");
    AddProject(*old, "Old", 1);
    ASSERT_TRUE(test_support::WriteOldCaseFile(*old, Text(Path("old.kcs")),
                                               revision, 2100));
    // The header stays whole; the objects at the end do not.
    std::string bytes = Bytes("old.kcs");
    std::fill(bytes.end() - 8, bytes.end(), '\xff');
    WriteBytes("old.kcs", bytes);
    auto theCase = std::make_unique<SimulationCase>(Text("SIM"), nullptr);
    ASSERT_FALSE(theCase->RecallDocument(FileName(Text(Path("old.kcs")))));
    AddProject(*theCase, "Saved", 1);
    theCase->SetFileName(Path("new.kcs"));
    ASSERT_TRUE(theCase->SaveDocument(0));
    EXPECT_EQ(Describe("new.kcs"), DescribeCase(*theCase));
  }
}

}  // namespace
}  // namespace pemar
