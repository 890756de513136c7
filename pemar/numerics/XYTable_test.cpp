#include "pemar/numerics/XYTable.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "pemar/framework/Types.h"
#include "pemar/numerics/testing/ClassDataFile.h"

namespace pemar {
namespace {

constexpr double kEmptyCell = kEmptyValue;

// Points, columns and capacity, then the cells of every point.
std::vector<double> Cells(const XYTableClass& t) {
  std::vector<double> out = {1.0 * t.NumbPoint(), 1.0 * t.NumbColumns(),
                             1.0 * t.Capacity()};
  for (int i = 0; i < t.NumbPoint(); ++i) {
    for (int c = 0; c < t.NumbColumns(); ++c) out.push_back(*t.Value(i, c));
  }
  return out;
}

XYTableClass Table(int columns, int capacity,
                   std::vector<std::vector<double>> rows) {
  XYTableClass t(columns, capacity);
  for (auto& row : rows) t.InputData(0, columns, row.data(), kEmptyMarker);
  return t;
}

// Capacity 10, after one growth.
XYTableClass ThreeRowTable() {
  return Table(2, 0, {{0, 1}, {10, 11}, {20, 21}});
}

using XYTableClassTest = test_support::ClassDataTest;

// The spare rows are stored too.
TEST_F(XYTableClassTest, LayoutIsSizesThenEveryRowSpareRowsIncluded) {
  XYTableClass stored = Table(2, 2, {{0.5, -2.5}, {4.0, -1.0}}), recalled;
  stored.ClearTable();  // keeps the rows as spare ones
  stored.InputData(0, 2, std::array{1.0, 2.0}.data(), kEmptyMarker);
  ExpectLayout(stored, recalled, "xy_table");
  EXPECT_EQ(Cells(recalled), (std::vector<double>{1, 2, 2, 1.0, 2.0}));
}

// Points above capacity; huge sizes, refused without allocating (the last
// a huge row width with no rows); negative sizes; then every cut. The heads
// give points, columns, capacity, then how many doubles follow.
TEST_F(XYTableClassTest, BadSizesOrTruncatedRecordFailAndKeepTheTable) {
  const int heads[][4] = {{100, 2, 1, 2},        {0, 2, 0x7FFFFFFF, 4},
                          {0, 0x7FFFFFFF, 2, 4}, {0, 0, 0x7FFFFFFF, 0},
                          {0, 50000000, 0, 0},   {0, -1, 2, 4},
                          {-1, 2, 2, 4},         {0, 2, -2, 4}};
  for (const auto& h : heads) {
    SCOPED_TRACE(testing::Message() << h[0] << ", " << h[1] << ", " << h[2]);
    ExpectRecallFails(ThreeRowTable(), Sized({h[0], h[1], h[2]}, h[3]), Cells);
  }
  const std::string bytes = Stored(ThreeRowTable());
  ASSERT_EQ(bytes.size(), 16u + 10 * 16);
  XYTableClass other = Table(1, 1, {{7.0}});
  ExpectRecallFails(other, bytes, Cells, true);
  ASSERT_TRUE(Recall(other, bytes));
  EXPECT_EQ(Cells(other), Cells(ThreeRowTable()));
}

// Rows that become points by a write past the last start empty, and so do
// spare rows, stored and recalled alike, rows cut or widened, and cleared
// rows coming back.
TEST_F(XYTableClassTest, GrowsByTenOnAppendAndByRowPlusElevenPastTheEnd) {
  XYTableClass t(3, 5), recalled;
  double v[3] = {1, 2, 3};
  for (int i = 0; i < 6; ++i) t.InputData(0, 3, v, kEmptyMarker);
  EXPECT_EQ(t.NumbPoint(), 6);
  EXPECT_EQ(t.Capacity(), 15);
  t = XYTableClass(2, 0);
  t.InputData(0, 2, v, 7);
  std::vector<double> cells(19, kEmptyCell);
  cells[0] = 8, cells[1] = 2, cells[2] = 18, cells[17] = 1, cells[18] = 2;
  EXPECT_EQ(Cells(t), cells);
  const std::string first = Stored(t);
  EXPECT_EQ(Stored(t), first);
  ASSERT_TRUE(Recall(recalled, first));
  EXPECT_EQ(Cells(recalled), Cells(t));
  recalled.NewTableSize(2, 18);  // spare rows become points, still empty
  EXPECT_EQ(*recalled.Value(17, 0), kEmptyCell);
  t = Table(2, 0, {{0, 1}, {10, 11}, {20, 21}, {30, 31}});
  t.NewTableSize(4, 2);
  EXPECT_EQ(Cells(t),
            (std::vector<double>{2, 4, 2, 0, 1, kEmptyCell, kEmptyCell, 10, 11,
                                 kEmptyCell, kEmptyCell}));
  t = ThreeRowTable();
  t.ClearTable();
  EXPECT_EQ(Cells(t), (std::vector<double>{0, 2, 10}));
  t.InputData(0, 1, v, 1);
  EXPECT_EQ(Cells(t), (std::vector<double>{2, 2, 10, kEmptyCell, kEmptyCell, 1,
                                           kEmptyCell}));
}

// Out of range or null arguments change nothing; the markers pick the last
// point and the row's start.
TEST_F(XYTableClassTest, OutOfRangeArgumentsAreIgnored) {
  XYTableClass t(2, 2), empty;
  double v[2] = {1.0, 2.0};
  // (first column, count, row) out of range, then null values
  for (const auto& c :
       {std::array{0, 2, -5}, {1, 2, 0}, {-1, 1, 0}, {0, -1, 0}})
    t.InputData(c[0], c[1], v, c[2]);
  t.InputData(0, 2, nullptr, 0);
  EXPECT_EQ(Cells(t), (std::vector<double>{0, 2, 2}));
  EXPECT_FALSE(t.InputData(0, 0, 1.0));
  EXPECT_EQ(t.Value(kEmptyMarker, 0), nullptr);
  empty.InputData(0, 1, v, kEmptyMarker);
  EXPECT_EQ(empty.NumbPoint(), 0);
  EXPECT_EQ(XYTableClass(2, -5).Capacity(), 0);
  t = ThreeRowTable();
  t.NewTableSize(-1, 3);
  t.NewTableSize(2, -3);
  t.ExpandTableSize(-4);
  EXPECT_FALSE(t.InputData(3, 0, 1.0));
  EXPECT_FALSE(t.InputData(0, 2, 1.0));
  EXPECT_EQ(Cells(t), Cells(ThreeRowTable()));
  EXPECT_TRUE(t.InputData(1, 1, 5.0));
  EXPECT_EQ(Cells(t), (std::vector<double>{3, 2, 10, 0, 1, 10, 5, 20, 21}));
  EXPECT_EQ(t.Value(kEmptyMarker, 5), t.Value(2, 0));
  EXPECT_EQ(t.Value(1, kEmptyMarker), t.Value(1, 0));
  for (int row : {-1, 1, 3}) EXPECT_EQ(t.Value(row, row == 1 ? 2 : 0), nullptr);
}

// Mid, reversed, at the end, from itself; a bad position or column count is
// refused, an empty table inserts nothing.
TEST_F(XYTableClassTest, InsertDataFrom) {
  XYTableClass t = ThreeRowTable();
  EXPECT_FALSE(t.InsertDataFrom(ThreeRowTable(), 7, false));
  EXPECT_FALSE(t.InsertDataFrom(ThreeRowTable(), -1, false));
  EXPECT_FALSE(t.InsertDataFrom(XYTableClass(3, 1), 0, false));
  EXPECT_TRUE(t.InsertDataFrom(XYTableClass(2, 4), 0, false));
  EXPECT_EQ(Cells(t), Cells(ThreeRowTable()));
  ASSERT_TRUE(t.InsertDataFrom(t, 1, true));
  EXPECT_EQ(Cells(t), (std::vector<double>{6, 2, 6, 0, 1, 20, 21, 10, 11, 0, 1,
                                           10, 11, 20, 21}));
  XYTableClass own = ThreeRowTable(), other = Table(2, 0, {{100, 0}, {101, 0}});
  ASSERT_TRUE(own.InsertDataFrom(other, 1, true));
  EXPECT_EQ(Cells(own), (std::vector<double>{5, 2, 5, 0, 1, 101, 0, 100, 0, 10,
                                             11, 20, 21}));
  EXPECT_EQ(other.NumbPoint(), 2);
  ASSERT_TRUE(own.InsertDataFrom(other, kEmptyMarker, false));
  EXPECT_EQ(Cells(own), (std::vector<double>{7, 2, 7, 0, 1, 101, 0, 100, 0, 10,
                                             11, 20, 21, 100, 0, 101, 0}));
}

}  // namespace
}  // namespace pemar
