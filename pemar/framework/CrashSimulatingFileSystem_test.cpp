#include "pemar/framework/CrashSimulatingFileSystem.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>

namespace pemar {
namespace {

using State = CrashSimulatingFileSystem::State;

std::string Listing(const State& files) {
  std::string out;
  for (const auto& [path, bytes] : files) out += path + "=" + bytes + ";";
  return out;
}

void Put(FileSystem& fs, const std::string& path, const std::string& bytes,
         bool sync) {
  auto file = fs.NewWritableFile(path);
  ASSERT_TRUE(file && file->Append(bytes.data(), bytes.size()));
  if (sync) {
    ASSERT_TRUE(file->Sync());
  }
  ASSERT_TRUE(file->Close());
}

// What a crash at the end of a run may leave: unsynced data lost, kept or
// torn; a name change not followed by a folder sync done or not.
TEST(CrashSimulatingFileSystemTest, CrashAtTheEndLeavesEveryAllowedState) {
  struct Row {
    const char* what;
    State before;
    std::function<void(FileSystem&)> run;
    std::set<std::string> states;
  };
  const Row rows[] = {
      {"unsynced overwrite",
       {{"/d/a", "old"}},
       [](FileSystem& fs) { Put(fs, "/d/a", "12345678", false); },
       {"/d/a=old;", "/d/a=12345678;", "/d/a=1234;"}},
      {"synced overwrite",
       {{"/d/a", "old"}},
       [](FileSystem& fs) { Put(fs, "/d/a", "12345678", true); },
       {"/d/a=12345678;"}},
      {"synced new file, folder not synced",
       {},
       [](FileSystem& fs) { Put(fs, "/d/n", "x", true); },
       {"", "/d/n=x;"}},
      {"rename over a file, folder not synced",
       {{"/d/a", "A"}, {"/d/b", "B"}},
       [](FileSystem& fs) { fs.RenameFile("/d/a", "/d/b"); },
       {"/d/a=A;/d/b=B;", "/d/b=A;"}},
      {"rename and delete, folder synced",
       {{"/d/a", "A"}, {"/d/b", "B"}},
       [](FileSystem& fs) {
         fs.RenameFileNoReplace("/d/a", "/d/c");
         fs.DeleteFile("/d/b");
         fs.SyncDirectory("/d/");
       },
       {"/d/c=A;"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    CrashSimulatingFileSystem fs;
    for (const auto& [path, bytes] : row.before) fs.SetFile(path, bytes);
    fs.StartRecording();
    row.run(fs);
    std::set<std::string> states;
    for (const State& files : fs.CrashStates(fs.OperationCount()))
      states.insert(Listing(files));
    EXPECT_EQ(states, row.states);
    // A crash before anything was done leaves the files as they were.
    auto first = fs.CrashStates(0);
    ASSERT_EQ(first.size(), 1u);
    EXPECT_EQ(first[0], row.before);
  }
}

TEST(CrashSimulatingFileSystemTest, StatesOverAllPrefixesAreGivenOnce) {
  CrashSimulatingFileSystem fs;
  fs.SetFile("/d/a", "old");
  fs.StartRecording();
  Put(fs, "/d/t", "new", true);
  fs.RenameFile("/d/t", "/d/a");
  fs.SyncDirectory("/d");
  std::set<std::string> seen;
  std::size_t count = fs.ForEachCrashState([&](const State& files) {
    EXPECT_TRUE(seen.insert(Listing(files)).second) << Listing(files);
  });
  // Old alone; old beside the new file's name holding nothing, "n" or all
  // of it; new in place.
  EXPECT_EQ(seen, (std::set<std::string>{"/d/a=old;", "/d/a=old;/d/t=;",
                                         "/d/a=old;/d/t=n;",
                                         "/d/a=old;/d/t=new;", "/d/a=new;"}));
  EXPECT_EQ(count, seen.size());
}

}  // namespace
}  // namespace pemar
