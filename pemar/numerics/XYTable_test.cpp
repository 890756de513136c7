#include "pemar/numerics/XYTable.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "pemar/framework/BinaryFile.h"
#include "pemar/framework/Types.h"

namespace pemar {
namespace {

class XYTableClassTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = ::testing::TempDir() + "xy_table_" + std::to_string(::getpid()) +
            "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name();
  }
  void TearDown() override { std::remove(path_.c_str()); }

  // Rows r0, r1, r2 of two columns: (10 i, 10 i + 1).
  static XYTableClass ThreeRows() {
    XYTableClass t(2, 0);
    for (int i = 0; i < 3; ++i) {
      double v[2] = {10.0 * i, 10.0 * i + 1};
      t.InputData(0, 2, v, kEmptyMarker);
    }
    return t;
  }

  static std::vector<double> FirstColumn(const XYTableClass& t) {
    std::vector<double> out(t.NumbPoint());
    for (int i = 0; i < t.NumbPoint(); ++i) out[i] = *t.Value(i, 0);
    return out;
  }

  void WriteHeader(int points, int columns, int capacity, int doubles) {
    BinaryFile file(path_.c_str(), "");
    ASSERT_TRUE(file.Create());
    ASSERT_TRUE(file.Write(1u));
    ASSERT_TRUE(file.Write(points));
    ASSERT_TRUE(file.Write(columns));
    ASSERT_TRUE(file.Write(capacity));
    for (int i = 0; i < doubles; ++i) ASSERT_TRUE(file.Write(0.5 * i));
    ASSERT_TRUE(file.Close());
  }

  bool Store(const XYTableClass& t) {
    BinaryFile file(path_.c_str(), "");
    if (!file.Create()) return false;
    bool ok = t.StoreClassData(file);
    return file.Close() && ok;
  }

  bool Recall(XYTableClass& t) {
    BinaryFile file(path_.c_str(), "");
    if (!file.Open()) return false;
    return t.RecallClassData(file);
  }

  std::vector<unsigned char> FileBytes() {
    BinaryFile file(path_.c_str(), "");
    std::vector<unsigned char> bytes;
    if (!file.Open()) return bytes;
    bytes.resize(file.Remaining());
    if (!file.ReadBytes(bytes.data(), bytes.size())) bytes.clear();
    return bytes;
  }

  void WriteBytes(const std::vector<unsigned char>& bytes, std::size_t n) {
    BinaryFile file(path_.c_str(), "");
    ASSERT_TRUE(file.Create());
    ASSERT_TRUE(file.WriteBytes(bytes.data(), n));
    ASSERT_TRUE(file.Close());
  }

  std::string path_;
};

TEST_F(XYTableClassTest, PointsAboveCapacityFailRecall) {
  WriteHeader(100, 2, 1, 2);
  XYTableClass t = ThreeRows();
  EXPECT_FALSE(Recall(t));
  EXPECT_EQ(t.NumbPoint(), 3);
  EXPECT_EQ(FirstColumn(t), (std::vector<double>{0, 10, 20}));
}

TEST_F(XYTableClassTest, HugeCapacityFailsRecallWithoutAllocating) {
  WriteHeader(0, 2, 0x7FFFFFFF, 4);
  XYTableClass t = ThreeRows();
  EXPECT_FALSE(Recall(t));
  EXPECT_EQ(t.NumbPoint(), 3);
  WriteHeader(0, 0x7FFFFFFF, 2, 4);
  EXPECT_FALSE(Recall(t));
  WriteHeader(0, 0, 0x7FFFFFFF, 0);
  EXPECT_FALSE(Recall(t));
  WriteHeader(0, 50000000, 0, 0);  // a huge row width with no rows
  EXPECT_FALSE(Recall(t));
  EXPECT_EQ(t.NumbColumns(), 2);
}

TEST_F(XYTableClassTest, NegativeSizesFailRecall) {
  XYTableClass t = ThreeRows();
  WriteHeader(0, -1, 2, 4);
  EXPECT_FALSE(Recall(t));
  WriteHeader(-1, 2, 2, 4);
  EXPECT_FALSE(Recall(t));
  WriteHeader(0, 2, -2, 4);
  EXPECT_FALSE(Recall(t));
  EXPECT_EQ(t.NumbPoint(), 3);
}

TEST_F(XYTableClassTest, TruncatedRecordFailsAtEveryCut) {
  XYTableClass source = ThreeRows();
  ASSERT_TRUE(Store(source));
  std::vector<unsigned char> bytes = FileBytes();
  ASSERT_EQ(bytes.size(), 16u + 10 * 16);  // capacity 10 after one growth
  for (std::size_t cut = 0; cut < bytes.size(); ++cut) {
    WriteBytes(bytes, cut);
    XYTableClass t(1, 1);
    double v = 7.0;
    t.InputData(0, 1, &v, kEmptyMarker);
    EXPECT_FALSE(Recall(t)) << "cut at " << cut;
    ASSERT_EQ(t.NumbPoint(), 1);
    EXPECT_EQ(*t.Value(0, 0), 7.0);
  }
}

TEST_F(XYTableClassTest, StoreThenRecallKeepsPointsColumnsAndCapacity) {
  XYTableClass source = ThreeRows();
  ASSERT_TRUE(Store(source));
  XYTableClass t;
  ASSERT_TRUE(Recall(t));
  EXPECT_EQ(t.NumbPoint(), 3);
  EXPECT_EQ(t.NumbColumns(), 2);
  EXPECT_EQ(t.Capacity(), source.Capacity());
  EXPECT_EQ(FirstColumn(t), FirstColumn(source));
  EXPECT_EQ(*t.Value(2, 1), 21.0);
}

TEST_F(XYTableClassTest, StoringTwiceGivesIdenticalBytes) {
  XYTableClass t(2, 0);
  double v[2] = {1.0, 2.0};
  t.InputData(0, 2, v, 7);
  for (int i = 0; i < 7; ++i) {
    EXPECT_EQ(*t.Value(i, 0), kEmptyValue);
    EXPECT_EQ(*t.Value(i, 1), kEmptyValue);
  }
  ASSERT_TRUE(Store(t));
  std::vector<unsigned char> first = FileBytes();
  ASSERT_TRUE(Store(t));
  EXPECT_EQ(FileBytes(), first);
  XYTableClass recalled;
  ASSERT_TRUE(Recall(recalled));
  EXPECT_EQ(recalled.Capacity(), 18);
  recalled.NewTableSize(2, 18);  // spare rows become points, still empty
  EXPECT_EQ(*recalled.Value(17, 0), kEmptyValue);
}

TEST_F(XYTableClassTest, OutOfRangeInputIsIgnored) {
  XYTableClass t(2, 2);
  double v[2] = {1.0, 2.0};
  t.InputData(0, 2, v, -5);
  t.InputData(1, 2, v, 0);
  t.InputData(-1, 1, v, 0);
  t.InputData(0, -1, v, 0);
  t.InputData(0, 2, nullptr, 0);
  EXPECT_EQ(t.NumbPoint(), 0);
  EXPECT_EQ(t.Capacity(), 2);
  XYTableClass empty;
  empty.InputData(0, 1, v, kEmptyMarker);
  EXPECT_EQ(empty.NumbPoint(), 0);
  EXPECT_FALSE(t.InputData(0, 0, 1.0));
}

TEST_F(XYTableClassTest, NegativeSizesCountAsZeroOrChangeNothing) {
  XYTableClass t(2, -5);
  EXPECT_EQ(t.Capacity(), 0);
  XYTableClass u = ThreeRows();
  u.NewTableSize(-1, 3);
  u.NewTableSize(2, -3);
  u.ExpandTableSize(-4);
  EXPECT_EQ(u.NumbPoint(), 3);
  EXPECT_EQ(u.Capacity(), 10);
  EXPECT_EQ(u.NumbColumns(), 2);
}

TEST_F(XYTableClassTest, AppendingGrowsCapacityByTen) {
  XYTableClass t(3, 5);
  double v[3] = {1, 2, 3};
  for (int i = 0; i < 6; ++i) t.InputData(0, 3, v, kEmptyMarker);
  EXPECT_EQ(t.NumbPoint(), 6);
  EXPECT_EQ(t.Capacity(), 15);
}

TEST_F(XYTableClassTest, WritingBeyondTheLastPointGrowsByRowPlusEleven) {
  XYTableClass t(2, 0);
  double v[2] = {1, 2};
  t.InputData(0, 2, v, 7);
  EXPECT_EQ(t.NumbPoint(), 8);
  EXPECT_EQ(t.Capacity(), 18);
  EXPECT_EQ(*t.Value(7, 1), 2.0);
}

TEST_F(XYTableClassTest, SetCellChecksRange) {
  XYTableClass t(2, 0);
  double v[2] = {1, 2};
  t.InputData(0, 2, v, kEmptyMarker);
  t.InputData(0, 2, v, kEmptyMarker);
  EXPECT_FALSE(t.InputData(2, 0, 1.0));
  EXPECT_FALSE(t.InputData(0, 2, 1.0));
  EXPECT_TRUE(t.InputData(1, 1, 5.0));
  EXPECT_EQ(*t.Value(1, 1), 5.0);
}

TEST_F(XYTableClassTest, ValueMarkers) {
  XYTableClass t(2, 3);
  EXPECT_EQ(t.Value(kEmptyMarker, 0), nullptr);
  t = ThreeRows();
  const double* last = t.Value(kEmptyMarker, 5);
  ASSERT_NE(last, nullptr);
  EXPECT_EQ(last[0], 20.0);
  EXPECT_EQ(t.Value(1, kEmptyMarker)[1], 11.0);
  EXPECT_EQ(t.Value(1, 2), nullptr);
  EXPECT_EQ(t.Value(3, 0), nullptr);
  EXPECT_EQ(t.Value(-1, 0), nullptr);
}

TEST_F(XYTableClassTest, NewTableSizeCutsAndWidens) {
  XYTableClass t(2, 0);
  for (int i = 0; i < 5; ++i) {
    double v[2] = {1.0 * i, 2.0 * i};
    t.InputData(0, 2, v, kEmptyMarker);
  }
  t.NewTableSize(4, 3);
  EXPECT_EQ(t.NumbPoint(), 3);
  EXPECT_EQ(t.Capacity(), 3);
  EXPECT_EQ(t.NumbColumns(), 4);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(*t.Value(i, 0), 1.0 * i);
    EXPECT_EQ(*t.Value(i, 1), 2.0 * i);
    EXPECT_EQ(*t.Value(i, 2), kEmptyValue);
    EXPECT_EQ(*t.Value(i, 3), kEmptyValue);
  }
}

TEST_F(XYTableClassTest, InsertReversedInTheMiddle) {
  XYTableClass own = ThreeRows();
  XYTableClass other(2, 0);
  for (int i = 0; i < 2; ++i) {
    double v[2] = {100.0 + i, 0};
    other.InputData(0, 2, v, kEmptyMarker);
  }
  ASSERT_TRUE(own.InsertDataFrom(other, 1, true));
  EXPECT_EQ(FirstColumn(own), (std::vector<double>{0, 101, 100, 10, 20}));
  EXPECT_EQ(own.Capacity(), 5);
  EXPECT_EQ(other.NumbPoint(), 2);
  ASSERT_TRUE(own.InsertDataFrom(other, kEmptyMarker, false));
  EXPECT_EQ(FirstColumn(own),
            (std::vector<double>{0, 101, 100, 10, 20, 100, 101}));
}

TEST_F(XYTableClassTest, InsertRefusesBadPositionAndColumns) {
  XYTableClass t = ThreeRows();
  XYTableClass other = ThreeRows();
  EXPECT_FALSE(t.InsertDataFrom(other, 7, false));
  EXPECT_FALSE(t.InsertDataFrom(other, -1, false));
  XYTableClass wide(3, 1);
  EXPECT_FALSE(t.InsertDataFrom(wide, 0, false));
  XYTableClass none(2, 4);
  EXPECT_TRUE(t.InsertDataFrom(none, 0, false));
  EXPECT_EQ(t.NumbPoint(), 3);
  EXPECT_EQ(t.Capacity(), 10);
}

TEST_F(XYTableClassTest, InsertIntoItself) {
  XYTableClass t = ThreeRows();
  ASSERT_TRUE(t.InsertDataFrom(t, 1, true));
  EXPECT_EQ(FirstColumn(t), (std::vector<double>{0, 20, 10, 0, 10, 20}));
}

TEST_F(XYTableClassTest, ClearedRowsComeBackEmpty) {
  XYTableClass t = ThreeRows();
  t.ClearTable();
  EXPECT_EQ(t.NumbPoint(), 0);
  EXPECT_EQ(t.Capacity(), 10);
  double v = 5.0;
  t.InputData(0, 1, &v, 1);
  EXPECT_EQ(*t.Value(0, 0), kEmptyValue);
  EXPECT_EQ(*t.Value(1, 0), 5.0);
  EXPECT_EQ(*t.Value(1, 1), kEmptyValue);
}

}  // namespace
}  // namespace pemar
