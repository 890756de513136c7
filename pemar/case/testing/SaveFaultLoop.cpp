#include "pemar/case/testing/SaveFaultLoop.h"

#include <filesystem>
#include <set>

#include "pemar/framework/FaultInjectingFileSystem.h"
#include "pemar/framework/FileSystem.h"
#include "pemar/reports/CaseDescription.h"

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

int SaveFaultTest::FailEachStepOfTheSave(
    const std::function<void()>& prepare,
    const std::function<std::unique_ptr<SimulationCase>()>& makeCase) {
  // Lays down the files, then saves the case on `fs`.
  auto save = [&](FaultInjectingFileSystem& fs, int* counterBefore) {
    ScopedFileSystem scoped(&fs);
    auto theCase = makeCase();
    theCase->SetModified(true);
    *counterBefore = theCase->SaveCounter();
    return std::make_pair(theCase->SaveDocument(0), std::move(theCase));
  };
  auto freshFolder = [&] {
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    prepare();
  };
  freshFolder();
  FaultInjectingFileSystem counter;
  int counterBefore = 0;
  if (!save(counter, &counterBefore).first || counter.Count(Op::kWrite) < 3) {
    ADD_FAILURE() << "the save fails or is too small: "
                  << counter.Count(Op::kWrite) << " writes";
    return 0;
  }

  int failures = 0;
  for (int o = 0; o <= static_cast<int>(Op::kSyncDir); ++o) {
    for (int n = 1; n <= counter.Count(static_cast<Op>(o)); ++n) {
      SCOPED_TRACE(::testing::Message() << "op " << o << " #" << n);
      freshFolder();
      const std::map<std::string, std::string> before = Snapshot();
      auto old = Reopen("a.kcs");
      const std::string oldCase = old ? DescribeCase(*old) : "(none)";
      sink_.Clear();
      FaultInjectingFileSystem fs;
      fs.FailAt(static_cast<Op>(o), n);
      auto [saved, theCase] = save(fs, &counterBefore);
      auto reopened = Reopen("a.kcs");
      const std::string now = reopened ? DescribeCase(*reopened) : "";
      if (saved) {
        EXPECT_EQ(FirstDifference(DescribeCase(*theCase), now), "");
        continue;
      }
      ++failures;
      EXPECT_TRUE(theCase->IsModified());
      EXPECT_EQ(theCase->SaveCounter(), counterBefore);
      EXPECT_EQ(FirstDifference(oldCase, now), "");
      const std::map<std::string, std::string> files = Snapshot();
      EXPECT_EQ(files.count("a.kcs") ? files.at("a.kcs") : "",
                before.at("a.kcs"));
      // Rotated backups move between names: their bytes must survive.
      std::multiset<std::string> contents;
      for (const auto& [name, bytes] : files) {
        contents.insert(bytes);
        if (name != "a.tmp") EXPECT_NE(Reopen(name), nullptr) << name;
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

}  // namespace pemar::test_support
