#include "pemar/numerics/SparseMatrix.h"

#include <gtest/gtest.h>

#include <vector>

#include "pemar/framework/Types.h"
#include "pemar/numerics/SimpleTable.h"
#include "pemar/numerics/XYTable.h"

namespace pemar {
namespace {

class PemarSparseMatrixTest : public ::testing::Test {};

TEST_F(PemarSparseMatrixTest, RowsOutsideTheMatrixReadAsZero) {
  PemarSparseMatrix m;
  m.SetElement(7, 0, 4.0);
  EXPECT_EQ(m.GetElement(100, 0), 0.0);
  EXPECT_EQ(m.GetElement(-1, 0), 0.0);
  EXPECT_EQ(m.GetElement(8, 0), 0.0);  // inside the capacity, past the rows
  double v = 9.0;
  EXPECT_EQ(m.GetElement(8, 0, v), 0);
  EXPECT_EQ(v, 0.0);
  v = 9.0;
  EXPECT_EQ(m.GetElement(0, -1, v), 0);
  EXPECT_EQ(v, 0.0);
  EXPECT_EQ(m.GetElement(0, 8, v), 0);
  EXPECT_EQ(m.SetElement(8, 0, 1.0), 0);
  EXPECT_EQ(m.SetElement(-1, 0, 1.0), 0);
  std::vector<double> row(8, 5.0);
  EXPECT_EQ(m.GetRow(8, row.data()), 0);
  EXPECT_EQ(m.GetRow(-1, row.data()), 0);
  EXPECT_EQ(row[0], 5.0);
}

TEST_F(PemarSparseMatrixTest, NegativeSizesCountAsZero) {
  PemarSparseMatrix m(-1, 2);
  EXPECT_EQ(m.GetRowSize(), 0);
  EXPECT_EQ(m.GetColSize(), 2);
  EXPECT_EQ(m.SetElement(0, 0, 1.0), 0);
  m.Resize(-3, -4);
  EXPECT_EQ(m.GetRowSize(), 0);
  EXPECT_EQ(m.GetColSize(), 0);
  m.IncrementRow();
  EXPECT_EQ(m.SetElement(0, 0, 1.0), 1);
}

TEST_F(PemarSparseMatrixTest, DefaultIsEightByEightAndEmpty) {
  PemarSparseMatrix m;
  EXPECT_EQ(m.GetRowSize(), 8);
  EXPECT_EQ(m.GetColSize(), 8);
  EXPECT_EQ(m.GetCapacity(), 16);
  EXPECT_EQ(m.GetNumberOfNonZeroElements(), 0);
  int r;
  EXPECT_FALSE(m.GetIthNonZeroRow(0, r));
}

TEST_F(PemarSparseMatrixTest, StoredZeroCountsAsAnElement) {
  PemarSparseMatrix m;
  EXPECT_EQ(m.SetElement(2, 3, 0.0), 1);
  EXPECT_EQ(m.GetNumberOfNonZeroElements(), 1);
  EXPECT_EQ(m.GetElement(2, 3), 0.0);
  int c = -1;
  EXPECT_TRUE(m.GetIthNonZeroColumn(0, c));
  EXPECT_EQ(c, 3);
  m.SetElement(2, 3, 7.0);
  EXPECT_EQ(m.GetNumberOfNonZeroElements(), 1);
  EXPECT_EQ(m.GetElement(2, 3), 7.0);
}

TEST_F(PemarSparseMatrixTest, ColumnsBeyondTheCountAreKeptButNotInRows) {
  PemarSparseMatrix m(2, 2);
  EXPECT_EQ(m.SetElement(0, 5, 3.0), 1);
  EXPECT_EQ(m.GetElement(0, 5), 3.0);
  double v;
  EXPECT_EQ(m.GetElement(0, 5, v), 0);
  double row[2] = {1, 1};
  EXPECT_EQ(m.GetRow(0, row), 1);
  EXPECT_EQ(row[0], 0.0);
  EXPECT_EQ(row[1], 0.0);
}

TEST_F(PemarSparseMatrixTest, EnumerationIsByRowThenColumn) {
  PemarSparseMatrix m(4, 4);
  m.SetElement(3, 0, 30.0);
  m.SetElement(1, 2, 12.0);
  m.SetElement(1, 0, 10.0);
  const int count = m.GetNumberOfNonZeroElements();
  ASSERT_EQ(count, 3);
  std::vector<int> rows(count), cols(count);
  std::vector<double> vals(count);
  m.GetNonZeroValues(rows.data(), cols.data(), vals.data());
  EXPECT_EQ(rows, (std::vector<int>{1, 1, 3}));
  EXPECT_EQ(cols, (std::vector<int>{0, 2, 0}));
  EXPECT_EQ(vals, (std::vector<double>{10.0, 12.0, 30.0}));
  for (int i = 0; i < count; ++i) {
    int r, c;
    double v;
    ASSERT_TRUE(m.GetIthNonZeroRow(i, r));
    ASSERT_TRUE(m.GetIthNonZeroColumn(i, c));
    ASSERT_TRUE(m.GetIthNonZerothValue(i, v));
    EXPECT_EQ(r, rows[i]);
    EXPECT_EQ(c, cols[i]);
    EXPECT_EQ(v, vals[i]);
  }
  int r;
  double v;
  EXPECT_FALSE(m.GetIthNonZeroRow(3, r));
  EXPECT_FALSE(m.GetIthNonZerothValue(-1, v));
}

TEST_F(PemarSparseMatrixTest, AppendPlacesTheOtherInTheLowerRightBlock) {
  PemarSparseMatrix a(3, 3), b(2, 2);
  a.SetElement(0, 0, 1.0);
  b.SetElement(0, 1, 5.0);
  a.AppendMatrix(&b);
  EXPECT_EQ(a.GetRowSize(), 5);
  EXPECT_EQ(a.GetColSize(), 5);
  EXPECT_EQ(a.GetCapacity(), 10);
  EXPECT_EQ(a.GetElement(3, 4), 5.0);
  EXPECT_EQ(a.GetElement(0, 0), 1.0);
  EXPECT_EQ(a.GetNumberOfNonZeroElements(), 2);
  EXPECT_EQ(b.GetElement(0, 1), 5.0);
  EXPECT_EQ(b.GetRowSize(), 2);
}

TEST_F(PemarSparseMatrixTest, AppendOfItselfOrNull) {
  PemarSparseMatrix a(2, 2);
  a.SetElement(0, 1, 5.0);
  a.AppendMatrix(&a);
  EXPECT_EQ(a.GetRowSize(), 4);
  EXPECT_EQ(a.GetColSize(), 4);
  EXPECT_EQ(a.GetElement(0, 1), 5.0);
  EXPECT_EQ(a.GetElement(2, 3), 5.0);
  EXPECT_EQ(a.GetNumberOfNonZeroElements(), 2);
  a.AppendMatrix(nullptr);
  EXPECT_EQ(a.GetRowSize(), 4);
  EXPECT_EQ(a.GetNumberOfNonZeroElements(), 2);
}

TEST_F(PemarSparseMatrixTest, IncrementRowGrowsTheTableAndKeepsElements) {
  PemarSparseMatrix m(3, 3);
  EXPECT_EQ(m.GetCapacity(), 6);
  m.SetElement(2, 1, 4.0);
  for (int i = 0; i < 4; ++i) m.IncrementRow();
  EXPECT_EQ(m.GetRowSize(), 7);
  EXPECT_EQ(m.GetCapacity(), 14);
  EXPECT_EQ(m.GetElement(2, 1), 4.0);
  EXPECT_EQ(m.SetElement(6, 0, 1.0), 1);
  m.IncrementColumn();
  EXPECT_EQ(m.GetColSize(), 4);
}

TEST_F(PemarSparseMatrixTest, ResizeEmptiesTheMatrix) {
  PemarSparseMatrix m;
  m.SetElement(1, 1, 1.0);
  m.Resize(4, 5);
  EXPECT_EQ(m.GetRowSize(), 4);
  EXPECT_EQ(m.GetColSize(), 5);
  EXPECT_EQ(m.GetNumberOfNonZeroElements(), 0);
  EXPECT_EQ(m.GetElement(1, 1), 0.0);
  m.Resize();
  EXPECT_EQ(m.GetRowSize(), 8);
  m.Resize(3);
  EXPECT_EQ(m.GetColSize(), 3);
}

// The three classes that own arrays copy them: a copy is changed and both
// are destroyed without anything freed twice (checked under ASan).
TEST(NumericsCopyTest, ArrayOwningClassesCopyDeeply) {
  {
    PemarSparseMatrix original(3, 3);
    original.SetElement(1, 1, 2.0);
    PemarSparseMatrix copy(original);
    copy.SetElement(1, 1, 9.0);
    copy.SetElement(0, 0, 1.0);
    EXPECT_EQ(original.GetElement(1, 1), 2.0);
    EXPECT_EQ(original.GetNumberOfNonZeroElements(), 1);
    PemarSparseMatrix assigned;
    assigned = copy;
    const PemarSparseMatrix& alias = assigned;
    assigned = alias;
    EXPECT_EQ(assigned.GetElement(1, 1), 9.0);
  }
  {
    PemarSimpleTable original;
    original.SetX(0, 5.0);
    PemarSimpleTable copy(original);
    copy.SetX(0, 6.0);
    copy.SetX(3, 7.0);
    EXPECT_EQ(original.GetX(0), 5.0);
    EXPECT_EQ(original.GetNumberOfPoints(), 1);
    EXPECT_NE(original.GetXPointer(), copy.GetXPointer());
  }
  {
    XYTableClass original(2, 2);
    double v[2] = {1.0, 2.0};
    original.InputData(0, 2, v, kEmptyMarker);
    XYTableClass copy(original);
    ASSERT_TRUE(copy.InputData(0, 0, 8.0));
    EXPECT_EQ(*original.Value(0, 0), 1.0);
    EXPECT_NE(original.Value(0, 0), copy.Value(0, 0));
  }
}

}  // namespace
}  // namespace pemar
