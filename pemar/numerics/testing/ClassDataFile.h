// Test support: a fixture that stores the tables' class data
// (StoreClassData / RecallClassData) into in-memory files and recalls it.

#ifndef PEMAR_NUMERICS_TESTING_CLASSDATAFILE_H_
#define PEMAR_NUMERICS_TESTING_CLASSDATAFILE_H_

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "pemar/framework/BinaryFile.h"
#include "pemar/framework/MemoryFileSystem.h"
#include "tests/support/GoldenBytes.h"
#include "tests/support/GoldenFile.h"

namespace pemar::test_support {

class ClassDataTest : public ::testing::Test {
 protected:
  // What `table` stores; a failed store fails the test.
  template <typename Table>
  std::string Stored(const Table& table) {
    return WrittenBytes(fs_,
                        [&](BinaryFile& f) { return table.StoreClassData(f); });
  }

  // `table` stores testdata/<name>.golden, and `recalled` reads it all.
  template <typename Table>
  void ExpectLayout(const Table& table, Table& recalled,
                    const std::string& name) {
    const std::string bytes =
        GoldenFile("pemar/numerics/testdata/" + name + ".golden");
    EXPECT_TRUE(SameBytes(Stored(table), bytes));
    EXPECT_TRUE(ReadsAll(fs_, bytes, [&](BinaryFile& f) {
      return recalled.RecallClassData(f);
    }));
  }

  template <typename Table>
  bool Recall(Table& table, const std::string& bytes) {
    fs_.SetFile("class.bin", bytes);
    BinaryFile file{Text("class.bin")};
    return file.Open() && table.RecallClassData(file);
  }

  // A record as the tables start theirs: version 1, the int `sizes`, then
  // `doubles` values 0.0, 0.5, 1.0, ...
  std::string Sized(std::initializer_list<int> sizes, int doubles) {
    return WrittenBytes(fs_, [&](BinaryFile& f) {
      bool ok = f.Write(1u);
      for (int size : sizes) ok = ok && f.Write(size);
      for (int i = 0; i < doubles; ++i) ok = ok && f.Write(0.5 * i);
      return ok;
    });
  }

  // Recalling `bytes` (or each of its proper prefixes) into a copy of
  // `table` fails and leaves the copy as `describe` saw `table`.
  template <typename Table, typename Describe>
  void ExpectRecallFails(const Table& table, const std::string& bytes,
                         Describe describe, bool every_cut = false) {
    const std::size_t first = every_cut ? 0 : bytes.size();
    for (std::size_t cut = first; cut < bytes.size() || cut == first; ++cut) {
      SCOPED_TRACE(::testing::Message() << "cut at " << cut);
      Table copy = table;
      EXPECT_FALSE(Recall(copy, bytes.substr(0, cut)));
      EXPECT_EQ(describe(copy), describe(table));
    }
  }

  MemoryFileSystem fs_;
  ScopedFileSystem scope_{&fs_};
};

}  // namespace pemar::test_support

#endif  // PEMAR_NUMERICS_TESTING_CLASSDATAFILE_H_
