#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <set>
#include <string>

#include "pemar/case/SimulationCase.h"
#include "pemar/case/testing/CaseTestSupport.h"
#include "pemar/case/testing/OldCaseFiles.h"
#include "pemar/case/testing/SaveFaultLoop.h"
#include "pemar/framework/FaultInjectingFileSystem.h"
#include "pemar/framework/FileSystem.h"

namespace pemar {
namespace {

using Op = FaultInjectingFileSystem::Op;

class CaseSaveTest : public test_support::SaveFaultTest {
 protected:
  // Saves a case with one project whose name marks the content.
  bool SaveMarked(const std::string& file, const char* marker) {
    auto theCase = NewCase(file);
    AddProject(*theCase, marker, 2);
    return theCase->SaveDocument(0);
  }
  // The name of the one project of a case file; "" when it does not load.
  std::string Marker(const std::string& file) {
    auto theCase = Reopen(file);
    if (theCase == nullptr) return "";
    IPemarBaseObject* object = nullptr;
    theCase->GetEngineeringManager()->GetProjectByNum(0, 1, &object);
    return object != nullptr && object->GetMyIdentifier() != nullptr
               ? object->GetMyIdentifier()
               : "";
  }
};

// A file system on which one path may not be written.
class WriteProtectingFileSystem : public FaultInjectingFileSystem {
 public:
  explicit WriteProtectingFileSystem(std::string path)
      : path_(std::move(path)) {}
  bool IsWritable(const std::string& path) override {
    return path != path_ && FaultInjectingFileSystem::IsWritable(path);
  }

 private:
  std::string path_;
};

TEST_F(CaseSaveTest, WriteProtectedCaseOrTempFileIsNotTouched) {
  ASSERT_TRUE(SaveMarked("a.kcs", "Old"));
  for (const char* protectedName : {"a.kcs", "a.tmp"}) {
    SCOPED_TRACE(protectedName);
    if (std::string(protectedName) == "a.tmp") WriteBytes("a.tmp", "x");
    WriteProtectingFileSystem fs(Path(protectedName));
    ScopedFileSystem scoped(&fs);
    sink_.Clear();
    auto theCase = NewCase("a.kcs");
    AddProject(*theCase, "New", 0);
    EXPECT_FALSE(theCase->SaveDocument(0));
    EXPECT_TRUE(sink_.Has(MessageKind::kError, "FileWriteProtected"));
    EXPECT_EQ(fs.Count(Op::kOpenWrite), 0);
  }
  EXPECT_EQ(Marker("a.kcs"), "Old");
}

TEST_F(CaseSaveTest, FirstSaveMakesNoBackupAndLeavesNoTempFile) {
  SetConfigData("NCaseBackups", 3);
  ASSERT_TRUE(SaveMarked("a.kcs", "First"));
  EXPECT_EQ(Marker("a.kcs"), "First");
  EXPECT_FALSE(Exists("a.bk0"));
  EXPECT_FALSE(Exists("a.tmp"));
  EXPECT_TRUE(sink_.Has(MessageKind::kTrace, "StoreCaseOK"));
}

TEST_F(CaseSaveTest, ThreeBackupsRotateOnTheFirstSaveOfTheSession) {
  SetConfigData("NCaseBackups", 3);
  WriteBytes("a.bk0", "backup zero");
  WriteBytes("a.bk1", "backup one");
  ASSERT_TRUE(SaveMarked("a.kcs", "Current"));
  std::string current = Bytes("a.kcs");
  ASSERT_TRUE(SaveMarked("a.kcs", "Newest"));
  EXPECT_EQ(Marker("a.kcs"), "Newest");
  EXPECT_EQ(Bytes("a.bk0"), current);
  EXPECT_EQ(Bytes("a.bk1"), "backup zero");
  EXPECT_EQ(Bytes("a.bk2"), "backup one");
  EXPECT_FALSE(Exists("a.bk3"));
}

TEST_F(CaseSaveTest, SecondSaveOnTheSameDayReplacesInsteadOfRotating) {
  SetConfigData("NCaseBackups", 3);
  ASSERT_TRUE(SaveMarked("a.kcs", "Original"));
  std::string original = Bytes("a.kcs");
  auto theCase = NewCase("a.kcs");
  AddProject(*theCase, "Second", 0);
  ASSERT_TRUE(theCase->SaveDocument(0));
  EXPECT_TRUE(theCase->BackupMade());
  AddProject(*theCase, "Third", 0);
  ASSERT_TRUE(theCase->SaveDocument(0));
  EXPECT_EQ(Bytes("a.bk0"), original);
  EXPECT_FALSE(Exists("a.bk1"));
  auto reopened = Reopen("a.kcs");
  ASSERT_NE(reopened, nullptr);
  EXPECT_NE(FindProject(*reopened, "Third"), nullptr);
}

TEST_F(CaseSaveTest, ChangedOnALaterDayRotatesAgain) {
  SetConfigData("NCaseBackups", 2);
  ASSERT_TRUE(SaveMarked("a.kcs", "Original"));
  auto theCase = NewCase("a.kcs");
  ASSERT_TRUE(theCase->SaveDocument(0));
  std::string second = Bytes("a.kcs");
  // The newest backup is from three days before the case file.
  std::int64_t now = 0;
  ASSERT_TRUE(FileSystem::Default()->GetModificationTime(Path("a.kcs"), &now));
  ASSERT_TRUE(FileSystem::Default()->SetModificationTime(
      Path("a.bk0"), now - std::int64_t{3} * 86400));
  ASSERT_TRUE(theCase->SaveDocument(0));
  EXPECT_EQ(Bytes("a.bk0"), second);
  EXPECT_EQ(Marker("a.bk1"), "Original");
}

TEST_F(CaseSaveTest, NoBackupsReplacesTheCaseFileInOneStep) {
  SetConfigData("NCaseBackups", 0);
  ASSERT_TRUE(SaveMarked("a.kcs", "Old"));
  FaultInjectingFileSystem fs;
  ScopedFileSystem scoped(&fs);
  ASSERT_TRUE(SaveMarked("a.kcs", "New"));
  EXPECT_EQ(Marker("a.kcs"), "New");
  EXPECT_FALSE(Exists("a.bk0"));
  EXPECT_EQ(fs.Count(Op::kDelete), 0);
  EXPECT_EQ(fs.Count(Op::kSyncDir), 1);
}

TEST_F(CaseSaveTest, FailedFinalRenameWithoutBackupsKeepsTheOldFile) {
  SetConfigData("NCaseBackups", 0);
  ASSERT_TRUE(SaveMarked("a.kcs", "Old"));
  FaultInjectingFileSystem fs;
  ScopedFileSystem scoped(&fs);
  fs.FailAt(Op::kRename, 1);
  auto theCase = NewCase("a.kcs");
  theCase->SetModified(true);
  EXPECT_FALSE(theCase->SaveDocument(0));
  EXPECT_TRUE(sink_.Has(MessageKind::kError, "UnableToRenameFile"));
  EXPECT_TRUE(theCase->IsModified());
  EXPECT_EQ(theCase->SaveCounter(), 0);
  EXPECT_EQ(Marker("a.kcs"), "Old");
}

TEST_F(CaseSaveTest, PlexaCaseKeepsNoBackups) {
  SetConfigData("NCaseBackups", 3);
  ASSERT_TRUE(SaveMarked("a.plexa", "Old"));
  ASSERT_TRUE(SaveMarked("a.plexa", "New"));
  EXPECT_EQ(Marker("a.plexa"), "New");
  EXPECT_FALSE(Exists("a.bk0"));
  // A case made for another mode keeps none under a main-mode name either.
  SetCommandLine("pemar_tests -plexa");
  ASSERT_TRUE(SaveMarked("b.kcs", "Old"));
  ASSERT_TRUE(SaveMarked("b.kcs", "New"));
  EXPECT_EQ(Marker("b.kcs"), "New");
  EXPECT_FALSE(Exists("b.bk0"));
}

TEST_F(CaseSaveTest, BackupCountIsClampedToOneDigit) {
  struct Setting {
    double value;
    int expectedBackups;
  };
  for (Setting setting :
       {Setting{12, 10}, Setting{1e300, 10}, Setting{-3, 1},
        Setting{std::numeric_limits<double>::quiet_NaN(), 1},
        Setting{std::numeric_limits<double>::infinity(), 1}}) {
    SCOPED_TRACE(setting.value);
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    for (int k = 0; k < 10; ++k) {
      WriteBytes("a.bk" + std::to_string(k), "backup " + std::to_string(k));
    }
    ASSERT_TRUE(SaveMarked("a.kcs", "Old"));
    SetConfigData("NCaseBackups", setting.value);
    ASSERT_TRUE(SaveMarked("a.kcs", "New"));
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir_)) {
      names.insert(entry.path().filename().string());
    }
    for (const std::string& name : names) {
      if (name == "a.kcs") continue;
      ASSERT_EQ(name.size(), 5u) << name;
      EXPECT_EQ(name.substr(0, 4), "a.bk");
      EXPECT_TRUE(name[4] >= '0' && name[4] <= '9') << name;
    }
    EXPECT_EQ(Marker("a.bk0"), "Old");
    // The rotation moved the backups up to the last one kept.
    int last = setting.expectedBackups - 1;
    if (last >= 1) {
      EXPECT_EQ(Bytes("a.bk" + std::to_string(last)),
                "backup " + std::to_string(last - 1));
    }
    SetConfigData("NCaseBackups", 1);
  }
}

TEST_F(CaseSaveTest, BackupThatCannotMoveOnIsNeverOverwritten) {
  SetConfigData("NCaseBackups", 3);
  WriteBytes("a.bk0", "backup zero");
  WriteBytes("a.bk1", "backup one");
  ASSERT_TRUE(SaveMarked("a.kcs", "Old"));
  FaultInjectingFileSystem fs;
  ScopedFileSystem scoped(&fs);
  fs.FailAt(Op::kRename, 1);  // B1 -> B2
  EXPECT_FALSE(SaveMarked("a.kcs", "New"));
  EXPECT_TRUE(sink_.Has(MessageKind::kError, "UnableToRenameFile"));
  EXPECT_EQ(Bytes("a.bk1"), "backup one");
  EXPECT_EQ(Bytes("a.bk0"), "backup zero");
  EXPECT_EQ(Marker("a.kcs"), "Old");
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

// A case named with the temporary file type would be its own temporary
// file: the save is refused and the file is not touched.
TEST_F(CaseSaveTest, CaseNamedWithTheTemporaryTypeIsNotSavedOverItself) {
  ASSERT_TRUE(SaveMarked("a.kcs", "Old"));
  for (const char* name : {"a.tmp", "b.TMP"}) {
    SCOPED_TRACE(name);
    WriteBytes(name, Bytes("a.kcs"));
    sink_.Clear();
    auto theCase = NewCase(name);
    AddProject(*theCase, "New", 0);
    theCase->SetModified(true);
    EXPECT_FALSE(theCase->SaveDocument(0));
    EXPECT_TRUE(sink_.Has(MessageKind::kError, "SaveCaseError"));
    EXPECT_TRUE(theCase->IsModified());
    EXPECT_EQ(Bytes(name), Bytes("a.kcs"));
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
    auto reopened = Reopen("new.kcs");
    ASSERT_NE(reopened, nullptr);
    EXPECT_NE(FindProject(*reopened, "Saved"), nullptr);
  }
}

TEST_F(CaseSaveTest, SaveCounterCountsSavesOfChangedCases) {
  auto theCase = NewCase("a.kcs");
  ASSERT_TRUE(theCase->SaveDocument(0));
  EXPECT_EQ(theCase->SaveCounter(), 0);
  theCase->SetModified(true);
  ASSERT_TRUE(theCase->SaveDocument(0));
  EXPECT_EQ(theCase->SaveCounter(), 1);
  EXPECT_FALSE(theCase->IsModified());
  auto reopened = Reopen("a.kcs");
  ASSERT_NE(reopened, nullptr);
  EXPECT_EQ(reopened->SaveCounter(), 1);
}

}  // namespace
}  // namespace pemar
