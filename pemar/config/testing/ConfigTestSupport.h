// Shared fixture of the configuration tests: each test runs in a fresh
// scratch folder as the current folder, with an empty configuration store,
// unit tables and view log, and its messages recorded.

#ifndef PEMAR_CONFIG_TESTING_CONFIGTESTSUPPORT_H_
#define PEMAR_CONFIG_TESTING_CONFIGTESTSUPPORT_H_

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "pemar/framework/ConfigStore.h"
#include "pemar/framework/Messages.h"
#include "pemar/framework/Units.h"
#include "pemar/framework/ViewLog.h"

namespace pemar::test_support {

class ConfigTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name =
        std::string(info->test_suite_name()) + "-" + info->name();
    for (char& c : name) {
      if (c == '/') c = '_';
    }
    dir_ = std::filesystem::temp_directory_path() / ("pemar-config-" + name);
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    previous_dir_ = std::filesystem::current_path();
    std::filesystem::current_path(dir_);
    ResetConfigStore();
    ClearUnitTables();
    ClearOpenedViews();
  }
  void TearDown() override {
    std::filesystem::current_path(previous_dir_);
    std::filesystem::remove_all(dir_);
    ResetConfigStore();
    ClearUnitTables();
  }

  std::string Path(const std::string& name) const {
    return (dir_ / name).string();
  }
  // The whole file, or "<absent>".
  static std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return "<absent>";
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  static void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
  }

  std::filesystem::path dir_;
  std::filesystem::path previous_dir_;
  RecordingMessageSink messages_;
  ScopedMessageSink sink_{&messages_};
};

}  // namespace pemar::test_support

#endif  // PEMAR_CONFIG_TESTING_CONFIGTESTSUPPORT_H_
