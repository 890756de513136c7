// A power cut at any point of a save: every state of the files that the
// crash could leave is reopened, and the user finds either the old or the
// new case, whole.

#include <gtest/gtest.h>

#include <iostream>
#include <map>
#include <set>
#include <string>

#include "pemar/case/SimulationCase.h"
#include "pemar/reports/CaseDescription.h"
#include "pemar/case/testing/CaseTestSupport.h"
#include "pemar/framework/FileSystem.h"
#include "pemar/framework/MemoryFileSystem.h"
#include "pemar/framework/CrashSimulatingFileSystem.h"
#include "pemar/utility/IDefaultUtilityManager.h"

namespace pemar {
namespace {


class CaseCrashTest : public test_support::CaseTest {
 protected:
  static constexpr int kManyNotes = 3000;

  // Saves a case with a project and a utility named after `marker`. The
  // new case is large enough for several writes of the file's buffer, so
  // that a crash can cut it between them.
  bool SaveMarked(const std::string& file, const std::string& marker) {
    auto theCase = NewCase(file);
    AddProject(*theCase, marker.c_str(), marker == "New" ? kManyNotes : 3);
    IDefaultUtilityManager* database = theCase->UtilityDatabase(true);
    if (database == nullptr) return false;
    database->AddDefaultUtility((marker + " steam").c_str());
    theCase->SetModified(true);
    return theCase->SaveDocument(0);
  }
  // The case in `file` as its recall gives it; empty when it does not load.
  std::string Describe(const std::string& file) {
    auto theCase = Reopen(file);
    return theCase ? DescribeCase(*theCase) : std::string();
  }
};

TEST_F(CaseCrashTest, CrashAtAnyPointOfASaveLeavesTheOldOrTheNewCase) {
  struct Scenario {
    const char* name;
    int backups;
    bool caseExists;
  };
  for (const Scenario& scenario :
       {Scenario{"no backups", 0, true}, Scenario{"three backups", 3, true},
        Scenario{"first save", 3, false}}) {
    SCOPED_TRACE(scenario.name);
    CrashSimulatingFileSystem fs;
    ScopedFileSystem scoped(&fs);
    SetConfigData("NCaseBackups", scenario.backups);
    std::string oldCase;
    if (scenario.caseExists) {
      for (const char* backup : {"a.bk2", "a.bk1", "a.bk0"}) {
        ASSERT_TRUE(SaveMarked(backup, backup));
      }
      ASSERT_TRUE(SaveMarked("a.kcs", "Old"));
      oldCase = Describe("a.kcs");
      ASSERT_FALSE(oldCase.empty());
    }
    // The save may drop the oldest backup, and nothing else that was there.
    std::multiset<std::string> kept;
    for (const auto& [path, bytes] : fs.Files()) {
      if (path != Path("a.bk2")) kept.insert(bytes);
    }

    fs.StartRecording();
    ASSERT_TRUE(SaveMarked("a.kcs", "New"));
    const std::string newCase = Describe("a.kcs");
    ASSERT_FALSE(newCase.empty());

    std::size_t states = fs.ForEachCrashState([&](const auto& files) {
      MemoryFileSystem disk;
      for (const auto& [path, bytes] : files) disk.SetFile(path, bytes);
      ScopedFileSystem crashed(&disk);
      std::string found = disk.FileExists(Path("a.kcs")) ? "a.kcs" : "a.bk0";
      if (!disk.FileExists(Path(found))) {
        EXPECT_FALSE(scenario.caseExists) << "no case file after a crash";
        return;
      }
      std::string content = Describe(found);
      EXPECT_TRUE(content == newCase ||
                  (scenario.caseExists && content == oldCase))
          << found << " holds neither case";
      if (scenario.backups == 0) return;
      std::multiset<std::string> now;
      for (const auto& [path, bytes] : files) now.insert(bytes);
      for (const std::string& bytes : kept) {
        EXPECT_GT(now.count(bytes), 0u) << "a file of before the save is lost";
      }
    });
    std::cout << "[ crash    ] case save, " << scenario.name << ": " << states
              << " crash states of " << fs.OperationCount() << " operations\n";
    RecordProperty(std::string("crash_states_") +
                       std::to_string(scenario.backups) +
                       (scenario.caseExists ? "" : "_first"),
                   static_cast<int>(states));
  }
}

}  // namespace
}  // namespace pemar
