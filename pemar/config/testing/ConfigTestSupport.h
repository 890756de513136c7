// Shared fixture of the configuration tests: files live in memory, and each
// test starts with an empty configuration store, unit tables and view log,
// with its messages recorded. Tables of cases live in
// pemar/config/testdata/*.csv.

#ifndef PEMAR_CONFIG_TESTING_CONFIGTESTSUPPORT_H_
#define PEMAR_CONFIG_TESTING_CONFIGTESTSUPPORT_H_

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "pemar/framework/ConfigStore.h"
#include "pemar/framework/FileSystem.h"
#include "pemar/framework/MemoryFileSystem.h"
#include "pemar/framework/Messages.h"
#include "pemar/framework/Units.h"
#include "pemar/framework/ViewLog.h"

namespace pemar::test_support {

// One row of a testdata table: its fields as text, or read as numbers
// ("nan", "1e300", -32767 for the empty value).
struct Row : std::vector<std::string> {
  double Number(std::size_t i) const { return std::stod(at(i)); }
  int Int(std::size_t i) const { return std::stoi(at(i)); }
};

// The parts of `text` between separators; an empty text has none.
inline std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::istringstream in(text);
  for (std::string part; std::getline(in, part, separator);) {
    parts.push_back(part);
  }
  return parts;
}

// The rows of `table` in pemar/config/testdata/`file`: a line
// "table,a,b,..." is the row {a, b, ...}; other lines are skipped. A missing
// file or table fails the current test.
inline std::vector<Row> Rows(const std::string& file,
                             const std::string& table) {
  std::ifstream in(PEMAR_SOURCE_DIR "/pemar/config/testdata/" + file);
  std::vector<Row> rows;
  for (std::string line; std::getline(in, line);) {
    if (line.rfind(table + ",", 0) != 0) continue;
    rows.push_back({Split(line.substr(table.size() + 1) + ",", ',')});
  }
  EXPECT_FALSE(rows.empty()) << "no table " << table << " in " << file;
  return rows;
}

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
