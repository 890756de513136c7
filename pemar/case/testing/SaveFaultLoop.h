// Test support: the fault loop for case saves. A save runs once on a
// counting file system, then once more for every file operation it made
// (write, sync of a file or its folder, close, rename, delete, open for
// writing) with that one operation failing.

#ifndef PEMAR_CASE_TESTING_SAVEFAULTLOOP_H_
#define PEMAR_CASE_TESTING_SAVEFAULTLOOP_H_

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>

#include "pemar/case/SimulationCase.h"
#include "pemar/case/testing/CaseTestSupport.h"
#include "pemar/framework/FaultInjectingFileSystem.h"
#include "pemar/framework/FileSystem.h"
#include "pemar/reports/CaseDescription.h"

namespace pemar::test_support {

class SaveFaultTest : public CaseTest {
 protected:
  // Every file of the scratch folder by name, with its bytes.
  std::map<std::string, std::string> Snapshot() const {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(dir_)) {
      files[entry.path().filename().string()] =
          Bytes(entry.path().filename().string());
    }
    return files;
  }
  // The case in `file` as its recall gives it; empty when it does not load.
  std::string Describe(const std::string& file) {
    auto theCase = Reopen(file);
    return theCase ? DescribeCase(*theCase) : std::string();
  }

  // Each run empties the folder, lets `prepare` lay down the files (with
  // "a.kcs"), and saves `makeCase()`, named "a.kcs", on the run's file
  // system. A save that succeeds reopens equal to the case. One that fails
  // leaves the case modified with its save counter, "a.kcs" with its bytes,
  // the bytes of every earlier file in some file that loads (or is the
  // temporary one), and reports an error. The save needs three writes or
  // more. Returns the number of runs whose save failed.
  int FailEachStepOfTheSave(
      const std::function<void()>& prepare,
      const std::function<std::unique_ptr<SimulationCase>()>& makeCase) {
    using Op = FaultInjectingFileSystem::Op;
    std::map<std::string, std::string> before;
    auto save = [&](FaultInjectingFileSystem& fs, int* counterBefore) {
      std::filesystem::remove_all(dir_);
      std::filesystem::create_directories(dir_);
      prepare();
      before = Snapshot();
      sink_.Clear();
      ScopedFileSystem scoped(&fs);
      auto theCase = makeCase();
      theCase->SetModified(true);
      *counterBefore = theCase->SaveCounter();
      return std::make_pair(theCase->SaveDocument(0), std::move(theCase));
    };
    FaultInjectingFileSystem counter;
    int counterBefore = 0, failures = 0;
    if (!save(counter, &counterBefore).first || counter.Count(Op::kWrite) < 3) {
      ADD_FAILURE() << "the save fails or is too small";
      return 0;
    }
    for (int o = 0; o <= static_cast<int>(Op::kSyncDir); ++o) {
      for (int n = 1; n <= counter.Count(static_cast<Op>(o)); ++n) {
        SCOPED_TRACE(::testing::Message() << "op " << o << " #" << n);
        FaultInjectingFileSystem fs;
        fs.FailAt(static_cast<Op>(o), n);
        auto [saved, theCase] = save(fs, &counterBefore);
        if (saved) {
          EXPECT_EQ(FirstDifference(DescribeCase(*theCase), Describe("a.kcs")),
                    "");
          continue;
        }
        ++failures;
        EXPECT_TRUE(theCase->IsModified());
        EXPECT_EQ(theCase->SaveCounter(), counterBefore);
        const std::map<std::string, std::string> files = Snapshot();
        EXPECT_EQ(files.count("a.kcs") ? files.at("a.kcs") : "",
                  before.at("a.kcs"));
        // Rotated backups move between names: their bytes must survive.
        std::multiset<std::string> contents;
        for (const auto& [name, bytes] : files) {
          contents.insert(bytes);
          EXPECT_TRUE(name == "a.tmp" || Reopen(name) != nullptr) << name;
        }
        for (const auto& [name, bytes] : before) {
          EXPECT_GT(contents.count(bytes), 0u) << name << " lost";
        }
        bool reported = false;
        for (const char* key : {"SaveCaseError", "UnableToCreateDocument",
                                "UnableToDeleteFile", "UnableToRenameFile"}) {
          reported = reported || sink_.Has(MessageKind::kError, key);
        }
        EXPECT_TRUE(reported);
      }
    }
    return failures;
  }
};

}  // namespace pemar::test_support

#endif  // PEMAR_CASE_TESTING_SAVEFAULTLOOP_H_
