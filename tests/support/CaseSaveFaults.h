// Test support: the fault loop for case saves, shared by the tests of the
// case and of what a case carries (features): a case saved over earlier
// files with each file operation of the save failing in turn.

#ifndef PEMAR_TESTS_SUPPORT_CASESAVEFAULTS_H_
#define PEMAR_TESTS_SUPPORT_CASESAVEFAULTS_H_

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>

#include "pemar/case/SimulationCase.h"
#include "pemar/case/testing/CaseTestSupport.h"
#include "pemar/casereport/CaseDescription.h"
#include "pemar/framework/FaultInjectingFileSystem.h"
#include "tests/support/FaultLoop.h"

namespace pemar::test_support {

class SaveFaultTest : public CaseTest {
 protected:
  // Saves `makeCase()` as "a.kcs" over the files `prepare` lays down, once
  // counting its file operations and then once with each of them failing in
  // turn. A save that succeeds reopens equal to the case; one that fails
  // reports an error and leaves the case modified with its save counter,
  // "a.kcs" as it was, and the bytes of every earlier file in a file that
  // loads (or the temporary one). Returns the number of failed saves.
  int FailEachStepOfTheSave(
      const std::function<void()>& prepare,
      const std::function<std::unique_ptr<SimulationCase>()>& makeCase) {
    FaultInjectingFileSystem fs;
    return ForEachInjectedFailure(fs, [&] {
      std::filesystem::remove_all(dir_);
      std::filesystem::create_directories(dir_);
      prepare();
      const std::map<std::string, std::string> before = Snapshot();
      sink_.Clear();
      auto theCase = makeCase();
      theCase->SetModified(true);
      const int counter = theCase->SaveCounter();
      bool saved;
      {
        ScopedFileSystem scoped(&fs);
        saved = theCase->SaveDocument(0);
      }
      if (saved) {
        EXPECT_EQ(FirstDifference(DescribeCase(*theCase), Describe("a.kcs")),
                  "");
        return true;
      }
      EXPECT_TRUE(theCase->IsModified());
      EXPECT_EQ(theCase->SaveCounter(), counter);
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
      EXPECT_TRUE(sink_.Has(MessageKind::kError, "SaveCaseError") ||
                  sink_.Has(MessageKind::kError, "UnableToCreateDocument") ||
                  sink_.Has(MessageKind::kError, "UnableToDeleteFile") ||
                  sink_.Has(MessageKind::kError, "UnableToRenameFile"));
      return false;
    });
  }
};

}  // namespace pemar::test_support

#endif  // PEMAR_TESTS_SUPPORT_CASESAVEFAULTS_H_
