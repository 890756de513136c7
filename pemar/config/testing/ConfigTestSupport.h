// Shared fixture of the configuration tests: files live in memory, and each
// test starts with an empty configuration store, unit tables and view log,
// with its messages recorded.

#ifndef PEMAR_CONFIG_TESTING_CONFIGTESTSUPPORT_H_
#define PEMAR_CONFIG_TESTING_CONFIGTESTSUPPORT_H_

#include <gtest/gtest.h>

#include "pemar/framework/ConfigStore.h"
#include "pemar/framework/MemoryFileSystem.h"
#include "pemar/framework/Messages.h"
#include "pemar/framework/Units.h"
#include "pemar/framework/ViewLog.h"

namespace pemar::test_support {

class ConfigTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetConfigStore();
    ClearUnitTables();
    ClearOpenedViews();
  }

  // The whole file, or "<absent>".
  std::string File(const std::string& path) {
    return fs_.FileExists(path) ? fs_.GetFile(path) : "<absent>";
  }

  MemoryFileSystem fs_;
  ScopedFileSystem scoped_fs_{&fs_};
  RecordingMessageSink messages_;
  ScopedMessageSink sink_{&messages_};
};

}  // namespace pemar::test_support

#endif  // PEMAR_CONFIG_TESTING_CONFIGTESTSUPPORT_H_
