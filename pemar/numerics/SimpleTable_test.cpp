#include "pemar/numerics/SimpleTable.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "pemar/framework/Types.h"
#include "pemar/numerics/testing/ClassDataFile.h"

namespace pemar {
namespace {

constexpr double kE = kEmptyValue;

// The row count, then weight, X, Q and Y of every row.
std::vector<double> Rows(const PemarSimpleTable& t) {
  std::vector<double> out = {1.0 * t.GetNumberOfPoints()};
  for (int i = 0; i < t.GetNumberOfPoints(); ++i)
    out.insert(out.end(), {t.GetWeight(i), t.GetX(i), t.GetQ(i), t.GetY(i)});
  return out;
}

// Three rows: X = 3, 1, 2 with weight, Q and Y tagged by row.
PemarSimpleTable ThreeRows() {
  return PemarSimpleTable(3, new double[3]{10, 11, 12}, new double[3]{3, 1, 2},
                          new double[3]{20, 21, 22}, new double[3]{30, 31, 32});
}

using PemarSimpleTableTest = test_support::ClassDataTest;

// The flags are not stored; a recall keeps the recalling table's own.
TEST_F(PemarSimpleTableTest, LayoutIsCountThenFourColumns) {
  PemarSimpleTable stored(2, new double[2]{1, 1}, new double[2]{2.0, -2.5},
                          new double[2]{kE, 1.0}, new double[2]{0.5, kE}),
      recalled;
  stored.SetReady(true);
  stored.SetCPData(false);
  recalled.SetReady(true);
  ExpectLayout(stored, recalled, "simple_table");
  EXPECT_EQ(Rows(recalled), Rows(stored));
  EXPECT_TRUE(recalled.GetReady() && recalled.GetCPData());
}

// A bad count or a cut anywhere fails and keeps the rows; zero rows recall.
TEST_F(PemarSimpleTableTest, BadOrTruncatedRecordFailsAndKeepsRows) {
  ExpectRecallFails(ThreeRows(), Sized({0x7FFFFFFF}, 1), Rows);
  ExpectRecallFails(ThreeRows(), Sized({-1}, 4), Rows);
  const std::string bytes = Stored(ThreeRows());
  ASSERT_EQ(bytes.size(), 8u + 3 * 32);
  PemarSimpleTable other;
  other.SetX(0, 42.0);
  ExpectRecallFails(other, bytes, Rows, true);
  ASSERT_TRUE(Recall(other, bytes));
  EXPECT_EQ(Rows(other), Rows(ThreeRows()));
  EXPECT_TRUE(Recall(other, Sized({0}, 0)));
  EXPECT_EQ(Rows(other), std::vector<double>{0});
  EXPECT_EQ(other.GetXPointer(), nullptr);
}

// Outside reads are empty; negative, unholdable or empty sets do nothing.
// Other sets clear ready, a row goes once all its cells are empty, and a
// set beyond the end grows the table with default rows.
TEST_F(PemarSimpleTableTest, OutsideReadsAreEmptySetsGrowAndEmptyRowsGo) {
  PemarSimpleTable t = ThreeRows();
  for (int i : {-1, 3, INT_MAX}) {
    EXPECT_EQ((std::vector<double>{t.GetWeight(i), t.GetX(i), t.GetQ(i),
                                   t.GetY(i), t.GUIX(i), t.GUIY(i)}),
              std::vector<double>(6, kE));
  }
  t.SetReady(true);
  t.SetX(INT_MAX, 1.0);
  t.SetX(-1, 1.0);
  t.SetX(7, kE);
  EXPECT_EQ(Rows(t), Rows(ThreeRows()));
  EXPECT_TRUE(t.GetReady());
  t.SetWeight(1, kE);
  t.SetX(1, kE);
  t.SetQ(1, kE);
  ASSERT_EQ(t.GetNumberOfPoints(), 3);
  EXPECT_FALSE(t.GetReady());
  t.SetY(1, kE);
  EXPECT_EQ(Rows(t), (std::vector<double>{2, 10, 3, 20, 30, 12, 2, 22, 32}));
  t.Clear();
  t.SetX(2, 10.0);
  EXPECT_EQ(Rows(t), (std::vector<double>{3, 1, kE, kE, kE, 1, kE, kE, kE, 1,
                                          10, kE, kE}));
}

// Whole rows move; long tables are ordered too, an empty X first.
TEST_F(PemarSimpleTableTest, SortOnXMovesWholeRows) {
  PemarSimpleTable t = ThreeRows();
  t.SortOnX();
  EXPECT_EQ(Rows(t), (std::vector<double>{3, 11, 1, 21, 31, 12, 2, 22, 32, 10,
                                          3, 20, 30}));
  t.Clear();
  for (int i = 0; i < 40; ++i) t.SetX(i, (i * 17) % 40);
  t.SetWeight(40, 1.0);
  t.SortOnX();
  ASSERT_EQ(t.GetNumberOfPoints(), 41);
  for (int i = 0; i < 41; ++i) EXPECT_EQ(t.GetX(i), i == 0 ? kE : i - 1);
}

TEST_F(PemarSimpleTableTest, AnyEmptyFillsWeightsAndChecksColumns) {
  EXPECT_FALSE(PemarSimpleTable().AnyEmpty(true));
  PemarSimpleTable t = ThreeRows();
  t.SetWeight(1, kE);
  EXPECT_FALSE(t.AnyEmpty(false));
  EXPECT_EQ(t.GetWeight(1), 1.0);
  t.SetQ(1, kE);
  EXPECT_FALSE(t.AnyEmpty(false));
  EXPECT_TRUE(t.AnyEmpty(true));
  t.SetY(1, kE);
  EXPECT_TRUE(t.AnyEmpty(false));
}

TEST_F(PemarSimpleTableTest, KelvinShiftRoundTripsEveryX) {
  PemarSimpleTable t = ThreeRows();
  t.SetWeight(3, 1.0);  // empty X in row 3
  t.SetReady(true);
  t.ToKelvin();
  EXPECT_DOUBLE_EQ(t.GetX(1), 274.15);
  EXPECT_TRUE(t.GetReady());
  t.FromKelvin();
  EXPECT_DOUBLE_EQ(t.GetX(1), 1.0);
  EXPECT_EQ(t.GetX(3), kE);
}

// The arrays become the columns (ThreeRows shows it); one missing leaves
// the table empty, the others still freed.
TEST_F(PemarSimpleTableTest, AdoptingConstructorOwnsArraysAndSetsFlags) {
  double* x = new double[1]{5};
  PemarSimpleTable t(1, new double[1]{1}, x, new double[1]{7},
                     new double[1]{9});
  EXPECT_EQ(t.GetXPointer(), x);  // adopted, not copied
  EXPECT_TRUE(t.GetCPData() && !t.GetReady());
  t.Clear();
  EXPECT_EQ(Rows(t), std::vector<double>{0});
  EXPECT_EQ(t.GetWPointer(), nullptr);
  EXPECT_TRUE(t.GetCPData());
  PemarSimpleTable partial(1, new double[1]{1}, nullptr, new double[1]{2},
                           new double[1]{3});
  EXPECT_EQ(Rows(partial), std::vector<double>{0});
  EXPECT_TRUE(partial.GetCPData());
}

}  // namespace
}  // namespace pemar
