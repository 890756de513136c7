#include "pemar/framework/FileSystem.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <string>
#include <vector>

#include "pemar/framework/FaultInjectingFileSystem.h"
#include "pemar/framework/MemoryFileSystem.h"
#include "pemar/framework/Utf8PathInternal.h"

namespace pemar {
namespace {

using Op = FaultInjectingFileSystem::Op;

class FileSystemOpsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ =
        std::filesystem::temp_directory_path() /
        ("pemar-fs-" +
         std::string(
             ::testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  std::string Path(const char* name) const { return (dir_ / name).string(); }
  static void Put(FileSystem* fs, const std::string& path,
                  const std::string& bytes) {
    auto file = fs->NewWritableFile(path);
    ASSERT_TRUE(file && file->Append(bytes.data(), bytes.size()) &&
                file->Close());
  }
  static std::string Get(FileSystem* fs, const std::string& path) {
    auto file = fs->NewReadableFile(path);
    if (!file) return "<absent>";
    std::string bytes(file->Size(), '\0');
    file->ReadAt(0, bytes.data(), bytes.size());
    return bytes;
  }

  // A file system and a folder of it, ending with '/'.
  struct Setting {
    FileSystem* fs;
    std::string folder;
  };

  std::filesystem::path dir_;
};

TEST_F(FileSystemOpsTest, RenameNoReplaceRefusesExistingTarget) {
  MemoryFileSystem memory;
  for (const Setting& s :
       {Setting{FileSystem::Posix(), Path("")}, Setting{&memory, "/d/"}}) {
    SCOPED_TRACE(s.folder);
    const std::string a = s.folder + "a.bk0", b = s.folder + "b.bk1",
                      c = s.folder + "c.bk2";
    Put(s.fs, a, "first");
    Put(s.fs, b, "second");
    EXPECT_FALSE(s.fs->RenameFileNoReplace(a, b));
    EXPECT_EQ(Get(s.fs, a), "first");
    EXPECT_EQ(Get(s.fs, b), "second");
    // A missing source fails and creates nothing.
    EXPECT_FALSE(s.fs->RenameFileNoReplace(s.folder + "absent", c));
    EXPECT_FALSE(s.fs->FileExists(c));

    EXPECT_TRUE(s.fs->RenameFileNoReplace(a, c));
    EXPECT_FALSE(s.fs->FileExists(a));
    EXPECT_EQ(Get(s.fs, c), "first");
    // The plain rename still replaces.
    EXPECT_TRUE(s.fs->RenameFile(c, b));
    EXPECT_EQ(Get(s.fs, b), "first");
    EXPECT_FALSE(s.fs->FileExists(c));
  }
}

TEST_F(FileSystemOpsTest, FaultInjectionCountsNoReplaceAndFolderSyncs) {
  MemoryFileSystem memory;
  FaultInjectingFileSystem fs(&memory);
  memory.SetFile("/x", "x");
  EXPECT_TRUE(fs.RenameFileNoReplace("/x", "/y"));
  EXPECT_TRUE(fs.RenameFile("/y", "/z"));
  EXPECT_EQ(fs.Count(Op::kRename), 2);
  EXPECT_TRUE(fs.SyncDirectory("/"));
  EXPECT_EQ(fs.Count(Op::kSyncDir), 1);
  // Syncing a file's data is counted apart from syncing a folder.
  EXPECT_EQ(fs.Count(Op::kSync), 0);

  fs.FailAt(Op::kRename, 1);
  EXPECT_FALSE(fs.RenameFileNoReplace("/z", "/w"));
  EXPECT_EQ(memory.GetFile("/z"), "x");
  EXPECT_FALSE(memory.FileExists("/w"));
  fs.FailAt(Op::kSyncDir, 1);
  EXPECT_FALSE(fs.SyncDirectory("/"));
  EXPECT_TRUE(fs.SyncDirectory("/"));
}

// A failure up to the rename keeps the old file. The folder is synced after
// the rename: when that fails the new data is already in place, and the
// failure says it may not last. No temporary file is left either way.
TEST_F(FileSystemOpsTest, AtomicWriteKeepsOldFileOnEveryFailureBeforeRename) {
  std::string path = Path("data.bin");
  FaultInjectingFileSystem fs;
  ScopedFileSystem scope(&fs);
  ASSERT_TRUE(WriteFileAtomically(path, "old", 3));
  EXPECT_EQ(fs.Count(Op::kRename), 1);
  EXPECT_EQ(fs.Count(Op::kSyncDir), 1);
  for (Op op : {Op::kOpenWrite, Op::kWrite, Op::kSync, Op::kClose, Op::kRename,
                Op::kSyncDir}) {
    fs.ResetCounts();
    fs.FailAt(op, 1);
    EXPECT_FALSE(WriteFileAtomically(path, "new contents", 12));
    EXPECT_EQ(Get(FileSystem::Posix(), path),
              op == Op::kSyncDir ? "new contents" : "old");
    EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
  }
  fs.ResetCounts();
  EXPECT_TRUE(WriteFileAtomically(path, "newer", 5));
  EXPECT_EQ(Get(FileSystem::Posix(), path), "newer");
}

// Temporary files beside a target never take the name of an existing file:
// neither the old fixed name target + ".tmp" nor an earlier numbered one.
TEST_F(FileSystemOpsTest, TemporaryFilesNeverReplaceAnExistingFile) {
  MemoryFileSystem memory;
  FaultInjectingFileSystem faultyMemory(&memory);
  for (const Setting& setting :
       {Setting{FileSystem::Posix(), Path("")}, Setting{&memory, "/m/"},
        Setting{&faultyMemory, "/f/"}}) {
    SCOPED_TRACE(setting.folder);
    FileSystem* fs = setting.fs;
    const std::string target = setting.folder + "X";
    Put(fs, target, "old");
    Put(fs, target + ".tmp", "user's own");
    Put(fs, target + ".1.tmp", "taken");
    EXPECT_EQ(fs->NewExclusiveFile(target + ".tmp"), nullptr);
    EXPECT_EQ(Get(fs, target + ".tmp"), "user's own");

    std::string temp;
    auto file = fs->NewTemporaryFile(target, &temp);
    ASSERT_NE(file, nullptr);
    EXPECT_NE(temp, target + ".tmp");
    EXPECT_NE(temp, target + ".1.tmp");
    EXPECT_EQ(temp.rfind(target + ".", 0), 0u) << temp;
    ASSERT_TRUE(file->Close());
    EXPECT_TRUE(fs->DeleteFile(temp));

    ScopedFileSystem scoped(fs);
    ASSERT_TRUE(WriteFileAtomically(target, "new", 3));
    EXPECT_EQ(Get(fs, target), "new");
    EXPECT_EQ(Get(fs, target + ".tmp"), "user's own");
    EXPECT_EQ(Get(fs, target + ".1.tmp"), "taken");
  }
  // Nothing else was left beside them.
  EXPECT_EQ(memory.Files().size(), 6u);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_), {}), 3);
}

// Names are UTF-8 on every platform; on Windows they reach the system
// through the wide-character calls, so a name outside the ANSI code page
// survives every operation unchanged. Folders are made one level at a
// time and never over a file; entering one and coming back restores the
// current folder.
TEST_F(FileSystemOpsTest, RealFileNamesAreUtf8AndFoldersEnterAndRestore) {
  FileSystem* fs = FileSystem::Posix();
  const std::string folder = Utf8FromPath(dir_) + "/Wärme Δp 熱";
  const std::string kcs = folder + "/Kühler €.kcs";
  const std::string bk0 = folder + "/Kühler €.bk0";
  EXPECT_FALSE(fs->SetCurrentDirectory(folder));
  ASSERT_TRUE(fs->CreateDirectory(folder));
  EXPECT_TRUE(fs->CreateDirectory(folder));  // already there
  EXPECT_TRUE(fs->SyncDirectory(folder));
  EXPECT_FALSE(fs->SyncDirectory(Path("absent")));
  EXPECT_FALSE(fs->CreateDirectory(Path("no/such/parent")));
  auto out = fs->NewWritableFile(kcs);
  ASSERT_NE(out, nullptr);
  ASSERT_TRUE(out->Append("case", 4) && out->Sync() && out->Close());
  EXPECT_FALSE(fs->CreateDirectory(kcs));
  EXPECT_TRUE(fs->FileExists(kcs));
  EXPECT_TRUE(fs->IsWritable(kcs));
  std::int64_t seconds = 0;
  EXPECT_TRUE(fs->GetModificationTime(kcs, &seconds));
  EXPECT_TRUE(fs->SetModificationTime(kcs, seconds - 86400));

  EXPECT_TRUE(fs->RenameFileNoReplace(kcs, bk0));
  ASSERT_NE(fs->NewExclusiveFile(kcs), nullptr);
  EXPECT_FALSE(fs->RenameFileNoReplace(kcs, bk0));
  EXPECT_TRUE(fs->RenameFile(bk0, kcs));
  auto in = fs->NewReadableFile(kcs);
  ASSERT_NE(in, nullptr);
  char bytes[4] = {};
  EXPECT_EQ(in->ReadAt(0, bytes, 4), 4);
  EXPECT_EQ(std::string(bytes, 4), "case");
  in.reset();

  std::vector<std::string> names;
  for (const auto& entry :
       std::filesystem::directory_iterator(PathFromUtf8(folder))) {
    names.push_back(Utf8FromPath(entry.path().filename()));
  }
  EXPECT_EQ(names, std::vector<std::string>{"Kühler €.kcs"});

  std::string before, now;
  ASSERT_TRUE(fs->GetCurrentDirectory(&before));
  ASSERT_TRUE(fs->SetCurrentDirectory(folder));
  EXPECT_TRUE(fs->GetCurrentDirectory(&now));
  EXPECT_TRUE(fs->SetCurrentDirectory(before));
  EXPECT_TRUE(
      std::filesystem::equivalent(PathFromUtf8(now), PathFromUtf8(folder)));
  EXPECT_EQ(Utf8FromPath(PathFromUtf8(now).filename()), "Wärme Δp 熱");
  EXPECT_TRUE(fs->GetCurrentDirectory(&now));
  EXPECT_EQ(now, before);
  EXPECT_TRUE(fs->DeleteFile(kcs));
  EXPECT_FALSE(fs->FileExists(kcs));
}

TEST_F(FileSystemOpsTest, MemoryFoldersCreateEnterAndRestore) {
  MemoryFileSystem fs;
  std::string current;
  ASSERT_TRUE(fs.GetCurrentDirectory(&current));
  EXPECT_EQ(current, "/");
  EXPECT_FALSE(fs.SetCurrentDirectory("/opt/app"));
  EXPECT_TRUE(fs.CreateDirectory("/opt/app/"));
  EXPECT_TRUE(fs.DirectoryExists("/opt"));
  EXPECT_TRUE(fs.SetCurrentDirectory("/opt"));
  // Relative to the current folder.
  EXPECT_TRUE(fs.SetCurrentDirectory("app"));
  EXPECT_TRUE(fs.GetCurrentDirectory(&current));
  EXPECT_EQ(current, "/opt/app");
  EXPECT_TRUE(fs.CreateDirectory("cases"));
  EXPECT_TRUE(fs.DirectoryExists("/opt/app/cases"));
  fs.SetFile("/opt/app/file", "f");
  EXPECT_FALSE(fs.CreateDirectory("/opt/app/file"));
  EXPECT_FALSE(fs.SetCurrentDirectory(""));
  EXPECT_TRUE(fs.SetCurrentDirectory("/"));
}

}  // namespace
}  // namespace pemar
