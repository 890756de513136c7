// Test support for projects, notifications and the engineering manager.

#ifndef PEMAR_PROJECT_TESTING_PROJECTTESTSUPPORT_H_
#define PEMAR_PROJECT_TESTING_PROJECTTESTSUPPORT_H_

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "pemar/framework/MemoryFileSystem.h"
#include "pemar/framework/Platform.h"
#include "pemar/project/IPemarProject.h"
#include "pemar/project/Notification.h"
#include "tests/support/GoldenFile.h"
#include "tests/support/StoredRecord.h"

namespace pemar::test_support {

// Fields, notes (making default titles), and the index SetNoteCount leaves
// for an absent title (99 if no list). Null reads "-", today's date today.
inline std::string ProjectText(IPemarProject& p) {
  auto field = [today = TodayDate().str()](const char* s) {
    if (s != nullptr && s == today) return std::string("today");
    return s ? std::string("'") + s + "'" : std::string("-");
  };
  std::string d = field(p.GetProjectName()) + field(p.GetEngineersName()) +
                  field(p.GetComments()) + field(p.GetDate()) + " notes " +
                  std::to_string(p.GetNumberOfNotes());
  for (int i = 0; i < p.GetNumberOfNotes(); ++i) {
    d += " (" + field(p.GetNoteText(i)) + field(p.GetNoteAuthor(i)) +
         field(p.GetNoteTitle(i)) + field(p.GetNoteDate(i)) + ")";
  }
  int index = 99;
  p.SetNoteCount("no such title", index);
  return d + " last " + std::to_string(index);
}

inline std::string ProjectGolden(const std::string& name) {
  return GoldenFile("pemar/project/testdata/" + name + ".golden");
}

// Calls `recall(damaged)` for every copy of `bytes` cut short, each of which
// must fail, and for every copy with one byte flipped, which may go either
// way; `recall` checks what a failure leaves.
template <typename Recall>
void ForEachDamagedCopy(const std::string& bytes, Recall recall) {
  for (std::size_t n = 0; n < bytes.size(); ++n) {
    EXPECT_FALSE(recall(bytes.substr(0, n))) << "cut at " << n;
  }
  ForEachFlippedByte(bytes, recall);
}

// Logs each message as "kind:text " with its data, then runs `action`.
struct LoggingReceiver : INotificationReceiver {
  void NotifyChange(ChangeWhat what, const char* text, void* data) override {
    log += std::to_string(what) + ":" + (text ? text : "") + " ";
    datas.push_back(data);
    if (action) action(what);
  }
  std::string log;
  std::vector<void*> datas;
  std::function<void(ChangeWhat)> action;
};

// Files live in memory.
class RecordTest : public ::testing::Test {
 protected:
  MemoryFileSystem fs_;
  ScopedFileSystem scope_{&fs_};
};

}  // namespace pemar::test_support

#endif  // PEMAR_PROJECT_TESTING_PROJECTTESTSUPPORT_H_
