// The byte layout of the simple table's class data, written by hand from
// docs/file-format.md ("Tables").

#include <gtest/gtest.h>

#include <string>

#include "pemar/framework/MemoryFileSystem.h"
#include "pemar/numerics/SimpleTable.h"
#include "pemar/persist/testing/GoldenBytes.h"

namespace pemar {
namespace {

using test_support::Bytes;
using test_support::ReadsAll;
using test_support::SameBytes;
using test_support::WrittenBytes;

class PemarSimpleTableLayoutTest : public ::testing::Test {
 protected:
  MemoryFileSystem fs_;
  ScopedFileSystem scope_{&fs_};
};

TEST_F(PemarSimpleTableLayoutTest, CountThenFourColumns) {
  const std::string bytes = Bytes(
      "01 00 00 00"              // layout version
      "02 00 00 00"              // rows
      "00 00 00 00 00 00 F0 3F"  // weight: 1.0
      "00 00 00 00 00 00 F0 3F"  //         1.0
      "00 00 00 00 00 00 00 40"  // X:      2.0
      "00 00 00 00 00 00 04 C0"  //         -2.5
      "00 00 00 00 C0 FF DF C0"  // Q:      empty (-32767.0)
      "00 00 00 00 00 00 F0 3F"  //         1.0
      "00 00 00 00 00 00 E0 3F"  // Y:      0.5
      "00 00 00 00 C0 FF DF C0"  //         empty
  );
  PemarSimpleTable stored;
  stored.SetX(0, 2.0);
  stored.SetY(0, 0.5);
  stored.SetX(1, -2.5);
  stored.SetQ(1, 1.0);
  stored.SetReady(true);  // the flags are not stored
  stored.SetCPData(false);
  EXPECT_TRUE(SameBytes(
      WrittenBytes(fs_,
                   [&](BinaryFile& f) { return stored.StoreClassData(f); }),
      bytes));

  PemarSimpleTable recalled;
  ASSERT_TRUE(ReadsAll(
      fs_, bytes, [&](BinaryFile& f) { return recalled.RecallClassData(f); }));
  ASSERT_EQ(recalled.GetNumberOfPoints(), 2);
  const double expected[2][4] = {{1.0, 2.0, -32767.0, 0.5},
                                 {1.0, -2.5, 1.0, -32767.0}};
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(recalled.GetWeight(i), expected[i][0]) << i;
    EXPECT_EQ(recalled.GetX(i), expected[i][1]) << i;
    EXPECT_EQ(recalled.GetQ(i), expected[i][2]) << i;
    EXPECT_EQ(recalled.GetY(i), expected[i][3]) << i;
  }
  EXPECT_TRUE(recalled.GetCPData());  // the recalling table's own
}

}  // namespace
}  // namespace pemar
