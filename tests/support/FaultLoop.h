// Test support for the writers that replace a file: the fault loop, where
// a run of file operations is made once to count them, then once more for
// every operation it made with that one failing; and the crash check, where
// every state a power cut during a run could leave is looked at.

#ifndef PEMAR_TESTS_SUPPORT_FAULTLOOP_H_
#define PEMAR_TESTS_SUPPORT_FAULTLOOP_H_

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <regex>
#include <set>
#include <string>

#include "pemar/framework/CrashSimulatingFileSystem.h"
#include "pemar/framework/FaultInjectingFileSystem.h"

namespace pemar::test_support {

// Calls `run()`, which works through `fs` and answers whether it
// succeeded, first with no failure (where it must succeed), then with each
// operation it made failing in turn; `run` checks what it left. Returns the
// number of runs that failed.
template <typename Run>
int ForEachInjectedFailure(FaultInjectingFileSystem& fs, Run run) {
  using Op = FaultInjectingFileSystem::Op;
  constexpr int kOps = static_cast<int>(Op::kSyncDir) + 1;
  fs.ClearFailures();
  fs.ResetCounts();
  if (!run()) {
    ADD_FAILURE() << "the run fails without a fault";
    return 0;
  }
  int counts[kOps];
  for (int o = 0; o < kOps; ++o) counts[o] = fs.Count(static_cast<Op>(o));
  int failures = 0;
  for (int o = 0; o < kOps; ++o) {
    for (int n = 1; n <= counts[o]; ++n) {
      SCOPED_TRACE(::testing::Message() << "op " << o << " failing at " << n);
      fs.ResetCounts();
      fs.FailAt(static_cast<Op>(o), n);
      failures += run() ? 0 : 1;
      fs.ClearFailures();
    }
  }
  return failures;
}

// The number of distinct states a crash can leave while a file is replaced
// the safe way, worked out from the operations `fs` recorded, which must be
// just that: a fresh temporary file made (and maybe opened anew to write
// it), its bytes appended, synced, renamed over the target, and the folder
// synced. The states: the files as before; as before beside the temporary
// file holding nothing, or what its first writes appended, all of it or
// its first half (torn); and the files as after.
inline std::size_t SafeReplaceCrashStates(const CrashSimulatingFileSystem& fs) {
  using Kind = CrashSimulatingFileSystem::Kind;
  std::string shape;  // a letter for each operation
  std::set<std::uint64_t> lengths = {0};
  std::uint64_t written = 0;
  for (const CrashSimulatingFileSystem::Op& op : fs.Operations()) {
    shape += "WTSLRUD"[static_cast<int>(op.kind)];
    if (op.kind != Kind::kWrite) continue;
    EXPECT_EQ(op.offset, written) << "not an append";
    written += op.bytes.size();
    lengths.insert(written);
    lengths.insert(written / 2);
  }
  EXPECT_TRUE(std::regex_match(shape, std::regex("LT?W+SRD"))) << shape;
  return 1 + lengths.size() + 1;  // before, the temporary file's, after
}

// Records `change()`, run with `fs` installed, which replaces the file
// `target` the safe way; then checks that every state a crash during it
// could leave holds `target` as before (absent if it was) or as after, and
// every other file of before as it was, and that all the states that the
// recorded operations give were checked.
inline void ExpectEveryCrashLeavesOldOrNew(
    CrashSimulatingFileSystem& fs, const std::string& target,
    const std::function<void()>& change) {
  const CrashSimulatingFileSystem::State files = fs.Files();
  const bool existed = files.count(target) != 0;
  const std::string before = existed ? files.at(target) : "";
  fs.StartRecording();
  {
    ScopedFileSystem scoped(&fs);
    change();
  }
  const std::string after = fs.GetFile(target);
  EXPECT_TRUE(after != before || !existed) << "the run changed nothing";
  const std::size_t checked =
      fs.ForEachCrashState([&](const CrashSimulatingFileSystem::State& s) {
        for (const auto& [name, contents] : files) {
          if (name == target) continue;
          EXPECT_TRUE(s.count(name) && s.at(name) == contents) << name;
        }
        auto it = s.find(target);
        if (it == s.end()) {
          EXPECT_FALSE(existed) << "the target is gone";
        } else {
          EXPECT_TRUE(it->second == after || (existed && it->second == before));
        }
      });
  EXPECT_EQ(checked, SafeReplaceCrashStates(fs));
}

}  // namespace pemar::test_support

#endif  // PEMAR_TESTS_SUPPORT_FAULTLOOP_H_
