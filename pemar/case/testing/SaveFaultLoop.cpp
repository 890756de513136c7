#include "pemar/case/testing/SaveFaultLoop.h"

#include <filesystem>
#include <set>

#include "pemar/reports/CaseDescription.h"
#include "pemar/framework/FileSystem.h"

namespace pemar::test_support {

using Op = FaultInjectingFileSystem::Op;

std::map<std::string, std::string> SaveFaultTest::Snapshot() const {
  std::map<std::string, std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(dir_)) {
    const std::string name = entry.path().filename().string();
    files[name] = Bytes(name);
  }
  return files;
}

void SaveFaultTest::ExpectNothingLost(
    const std::map<std::string, std::string>& before,
    const std::string& oldDescription) {
  const std::map<std::string, std::string> now = Snapshot();
  auto it = now.find("a.kcs");
  EXPECT_TRUE(it != now.end() && it->second == before.at("a.kcs"))
      << "a.kcs changed";
  auto reopened = Reopen("a.kcs");
  EXPECT_TRUE(reopened != nullptr && DescribeCase(*reopened) == oldDescription)
      << "a.kcs does not reopen as before";
  // Rotated backups move between names: their bytes must survive somewhere.
  std::multiset<std::string> contents;
  for (const auto& [name, bytes] : now) contents.insert(bytes);
  for (const auto& [name, bytes] : before) {
    EXPECT_TRUE(contents.count(bytes) > 0) << name << " lost";
  }
  for (const auto& [name, bytes] : now) {
    if (name != "a.tmp") {
      EXPECT_NE(Reopen(name), nullptr) << name;
    }
  }
  bool reported = false;
  for (const char* key : kSaveFailureKeys) {
    reported = reported || sink_.Has(MessageKind::kError, key);
  }
  EXPECT_TRUE(reported);
}

int SaveFaultTest::FailEachStepOfTheSave(
    const std::function<void()>& prepare,
    const std::function<std::unique_ptr<SimulationCase>()>& makeCase) {
  auto freshFolder = [&] {
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    prepare();
  };
  freshFolder();
  FaultInjectingFileSystem counter;
  {
    ScopedFileSystem scoped(&counter);
    auto theCase = makeCase();
    theCase->SetModified(true);
    if (!theCase->SaveDocument(0)) {
      ADD_FAILURE() << "the save fails without injected faults";
      return 0;
    }
  }
  if (counter.Count(Op::kWrite) < 3) {
    ADD_FAILURE() << "the case is too small: " << counter.Count(Op::kWrite)
                  << " writes";
    return 0;
  }

  int failures = 0;
  for (Op op : kSaveFaultOps) {
    for (int n = 1; n <= counter.Count(op); ++n) {
      SCOPED_TRACE(::testing::Message()
                   << "op " << static_cast<int>(op) << " #" << n);
      freshFolder();
      const std::map<std::string, std::string> before = Snapshot();
      auto old = Reopen("a.kcs");
      if (old == nullptr) {
        ADD_FAILURE() << "the prepared a.kcs does not load";
        return failures;
      }
      const std::string oldDescription = DescribeCase(*old);
      old.reset();
      sink_.Clear();

      std::unique_ptr<SimulationCase> theCase;
      int counterBefore = 0;
      bool saved = false;
      {
        FaultInjectingFileSystem fs;
        ScopedFileSystem scoped(&fs);
        fs.FailAt(op, n);
        theCase = makeCase();
        theCase->SetModified(true);
        counterBefore = theCase->SaveCounter();
        saved = theCase->SaveDocument(0);
      }
      if (saved) {
        auto reopened = Reopen("a.kcs");
        EXPECT_NE(reopened, nullptr);
        if (reopened != nullptr) {
          EXPECT_EQ(
              FirstDifference(DescribeCase(*theCase), DescribeCase(*reopened)),
              "");
        }
        continue;
      }
      ++failures;
      EXPECT_TRUE(theCase->IsModified());
      EXPECT_EQ(theCase->SaveCounter(), counterBefore);
      ExpectNothingLost(before, oldDescription);
    }
  }
  return failures;
}

}  // namespace pemar::test_support
