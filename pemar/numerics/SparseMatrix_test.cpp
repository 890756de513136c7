#include "pemar/numerics/SparseMatrix.h"

#include <gtest/gtest.h>

#include <vector>

#include "pemar/framework/Types.h"
#include "pemar/numerics/SimpleTable.h"
#include "pemar/numerics/XYTable.h"

namespace pemar {
namespace {

// Rows, columns and capacity, then row, column and value of every stored
// element in enumeration order; every way of reading the elements must
// agree on them.
std::vector<double> Elements(const PemarSparseMatrix& m) {
  std::vector<double> out = {1.0 * m.GetRowSize(), 1.0 * m.GetColSize(),
                             1.0 * m.GetCapacity()};
  const int count = m.GetNumberOfNonZeroElements();
  std::vector<int> rows(count), cols(count);
  std::vector<double> vals(count);
  m.GetNonZeroValues(rows.data(), cols.data(), vals.data());
  for (int i = 0; i < count; ++i) {
    int r = -1, c = -1;
    double v = -1;
    EXPECT_TRUE(m.GetIthNonZeroRow(i, r) && m.GetIthNonZeroColumn(i, c) &&
                m.GetIthNonZerothValue(i, v));
    EXPECT_EQ(r, rows[i]);
    EXPECT_EQ(c, cols[i]);
    EXPECT_EQ(v, vals[i]);
    EXPECT_EQ(m.GetElement(r, c), v);
    out.insert(out.end(), {1.0 * r, 1.0 * c, v});
  }
  int r;
  double v;
  EXPECT_FALSE(m.GetIthNonZeroRow(count, r));
  EXPECT_FALSE(m.GetIthNonZerothValue(-1, v));
  return out;
}

TEST(PemarSparseMatrixTest, RowsOutsideTheMatrixReadAsZero) {
  PemarSparseMatrix m;
  m.SetElement(7, 0, 4.0);
  EXPECT_EQ(m.GetElement(100, 0), 0.0);
  EXPECT_EQ(m.GetElement(-1, 0), 0.0);
  EXPECT_EQ(m.GetElement(8, 0), 0.0);  // inside the capacity, past the rows
  const int outside[][2] = {{8, 0}, {0, -1}, {0, 8}};
  for (const auto& cell : outside) {
    double v = 9.0;
    EXPECT_EQ(m.GetElement(cell[0], cell[1], v), 0);
    EXPECT_EQ(v, 0.0);
  }
  EXPECT_EQ(m.SetElement(8, 0, 1.0), 0);
  EXPECT_EQ(m.SetElement(-1, 0, 1.0), 0);
  std::vector<double> row(8, 5.0);
  EXPECT_EQ(m.GetRow(8, row.data()), 0);
  EXPECT_EQ(m.GetRow(-1, row.data()), 0);
  EXPECT_EQ(row[0], 5.0);
  EXPECT_EQ(Elements(m), (std::vector<double>{8, 8, 16, 7, 0, 4}));
}

TEST(PemarSparseMatrixTest, NegativeSizesCountAsZero) {
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

TEST(PemarSparseMatrixTest, StoredZeroCountsAsAnElement) {
  PemarSparseMatrix m;
  EXPECT_EQ(Elements(m), (std::vector<double>{8, 8, 16}));
  EXPECT_EQ(m.SetElement(2, 3, 0.0), 1);
  EXPECT_EQ(Elements(m), (std::vector<double>{8, 8, 16, 2, 3, 0}));
  m.SetElement(2, 3, 7.0);
  EXPECT_EQ(Elements(m), (std::vector<double>{8, 8, 16, 2, 3, 7}));
}

TEST(PemarSparseMatrixTest, ColumnsBeyondTheCountAreKeptButNotInRows) {
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

TEST(PemarSparseMatrixTest, EnumerationIsByRowThenColumn) {
  PemarSparseMatrix m(4, 4);
  m.SetElement(3, 0, 30.0);
  m.SetElement(1, 2, 12.0);
  m.SetElement(1, 0, 10.0);
  EXPECT_EQ(Elements(m),
            (std::vector<double>{4, 4, 8, 1, 0, 10, 1, 2, 12, 3, 0, 30}));
}

TEST(PemarSparseMatrixTest, AppendPlacesTheOtherInTheLowerRightBlock) {
  PemarSparseMatrix a(3, 3), b(2, 2);
  a.SetElement(0, 0, 1.0);
  b.SetElement(0, 1, 5.0);
  a.AppendMatrix(&b);
  EXPECT_EQ(Elements(a), (std::vector<double>{5, 5, 10, 0, 0, 1, 3, 4, 5}));
  EXPECT_EQ(Elements(b), (std::vector<double>{2, 2, 4, 0, 1, 5}));
  // Itself, read before it grows; null changes nothing.
  b.AppendMatrix(&b);
  b.AppendMatrix(nullptr);
  EXPECT_EQ(Elements(b), (std::vector<double>{4, 4, 8, 0, 1, 5, 2, 3, 5}));
}

TEST(PemarSparseMatrixTest, IncrementRowGrowsTheTableAndKeepsElements) {
  PemarSparseMatrix m(3, 3);
  EXPECT_EQ(m.GetCapacity(), 6);
  m.SetElement(2, 1, 4.0);
  for (int i = 0; i < 4; ++i) m.IncrementRow();
  EXPECT_EQ(m.SetElement(6, 0, 1.0), 1);
  m.IncrementColumn();
  EXPECT_EQ(Elements(m), (std::vector<double>{7, 4, 14, 2, 1, 4, 6, 0, 1}));
}

TEST(PemarSparseMatrixTest, ResizeEmptiesTheMatrix) {
  PemarSparseMatrix m;
  m.SetElement(1, 1, 1.0);
  m.Resize(4, 5);
  EXPECT_EQ(Elements(m), (std::vector<double>{4, 5, 8}));
  EXPECT_EQ(m.GetElement(1, 1), 0.0);
  m.Resize();
  EXPECT_EQ(m.GetRowSize(), 8);
  m.Resize(3);
  EXPECT_EQ(m.GetColSize(), 3);
}

// The three classes that own arrays copy them: a copy is changed and both
// are destroyed without anything freed twice (checked under ASan).
TEST(NumericsCopyTest, ArrayOwningClassesCopyDeeply) {
  PemarSparseMatrix matrix(3, 3);
  matrix.SetElement(1, 1, 2.0);
  PemarSparseMatrix matrix_copy(matrix);
  matrix_copy.SetElement(1, 1, 9.0);
  matrix_copy.SetElement(0, 0, 1.0);
  EXPECT_EQ(Elements(matrix), (std::vector<double>{3, 3, 6, 1, 1, 2}));
  PemarSparseMatrix assigned;
  assigned = matrix_copy;
  const PemarSparseMatrix& alias = assigned;
  assigned = alias;
  EXPECT_EQ(assigned.GetElement(1, 1), 9.0);

  PemarSimpleTable table;
  table.SetX(0, 5.0);
  PemarSimpleTable table_copy(table);
  table_copy.SetX(0, 6.0);
  table_copy.SetX(3, 7.0);
  EXPECT_EQ(table.GetX(0), 5.0);
  EXPECT_EQ(table.GetNumberOfPoints(), 1);
  EXPECT_NE(table.GetXPointer(), table_copy.GetXPointer());

  XYTableClass xy(2, 2);
  double v[2] = {1.0, 2.0};
  xy.InputData(0, 2, v, kEmptyMarker);
  XYTableClass xy_copy(xy);
  ASSERT_TRUE(xy_copy.InputData(0, 0, 8.0));
  EXPECT_EQ(*xy.Value(0, 0), 1.0);
  EXPECT_NE(xy.Value(0, 0), xy_copy.Value(0, 0));
}

}  // namespace
}  // namespace pemar
