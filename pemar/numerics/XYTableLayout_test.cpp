// The byte layout of the x-y table's class data, written by hand from
// docs/file-format.md ("Tables").

#include <gtest/gtest.h>

#include <string>

#include "pemar/framework/MemoryFileSystem.h"
#include "pemar/numerics/XYTable.h"
#include "pemar/persist/testing/GoldenBytes.h"

namespace pemar {
namespace {

using test_support::Bytes;
using test_support::ReadsAll;
using test_support::SameBytes;
using test_support::WrittenBytes;

class XYTableClassLayoutTest : public ::testing::Test {
 protected:
  MemoryFileSystem fs_;
  ScopedFileSystem scope_{&fs_};
};

TEST_F(XYTableClassLayoutTest, SizesThenEveryRowSpareRowsIncluded) {
  const std::string bytes = Bytes(
      "01 00 00 00"              // layout version
      "01 00 00 00"              // points
      "02 00 00 00"              // columns
      "02 00 00 00"              // capacity
      "00 00 00 00 00 00 F0 3F"  // row 0: 1.0
      "00 00 00 00 00 00 00 40"  //        2.0
      "00 00 00 00 00 00 10 40"  // row 1 (spare): 4.0
      "00 00 00 00 00 00 F0 BF"  //                -1.0
  );
  XYTableClass stored(2, 2);
  const double a[2] = {0.5, -2.5}, b[2] = {4.0, -1.0}, c[2] = {1.0, 2.0};
  stored.InputData(0, 2, a, -32767);
  stored.InputData(0, 2, b, -32767);
  stored.ClearTable();  // keeps the rows as spare ones
  stored.InputData(0, 2, c, -32767);
  EXPECT_TRUE(SameBytes(
      WrittenBytes(fs_,
                   [&](BinaryFile& f) { return stored.StoreClassData(f); }),
      bytes));

  XYTableClass recalled;
  ASSERT_TRUE(ReadsAll(
      fs_, bytes, [&](BinaryFile& f) { return recalled.RecallClassData(f); }));
  EXPECT_EQ(recalled.NumbPoint(), 1);
  EXPECT_EQ(recalled.NumbColumns(), 2);
  EXPECT_EQ(recalled.Capacity(), 2);
  const double* row = recalled.Value(0, -32767);
  ASSERT_NE(row, nullptr);
  EXPECT_EQ(row[0], 1.0);
  EXPECT_EQ(row[1], 2.0);
}

}  // namespace
}  // namespace pemar
