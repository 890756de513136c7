#include "pemar/numerics/SparseMatrix.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace pemar {
namespace {

// Rows, columns and capacity, then row, column and value of every element
// in enumeration order, on which every way of reading them must agree.
std::vector<double> Elements(const PemarSparseMatrix& m) {
  std::vector<double> out = {1.0 * m.GetRowSize(), 1.0 * m.GetColSize(),
                             1.0 * m.GetCapacity()};
  const int count = m.GetNumberOfNonZeroElements();
  std::vector<int> rows(count), cols(count);
  std::vector<double> vals(count);
  m.GetNonZeroValues(rows.data(), cols.data(), vals.data());
  for (int i = -1; i <= count; ++i) {
    int r = -1, c = -1;
    double v = -1;
    const int found = m.GetIthNonZeroRow(i, r) + m.GetIthNonZeroColumn(i, c) +
                      m.GetIthNonZerothValue(i, v);
    EXPECT_EQ(found, i >= 0 && i < count ? 3 : 0) << i;
    if (found != 3) continue;
    EXPECT_EQ(std::tuple(r, c, v, m.GetElement(r, c)),
              std::tuple(rows[i], cols[i], vals[i], v));
    out.insert(out.end(), {1.0 * r, 1.0 * c, v});
  }
  return out;
}

// As does every cell of a matrix with no rows, until a row is added.
TEST(PemarSparseMatrixTest, CellsOutsideTheMatrixReadAsZeroAndSetNothing) {
  PemarSparseMatrix m;
  m.SetElement(7, 0, 4.0);
  // Row 8 is inside the capacity, past the rows.
  for (const auto& [r, c] :
       {std::pair(8, 0), std::pair(0, -1), std::pair(0, 8), std::pair(-1, 0)}) {
    double v = 9.0, row[8] = {5.0};
    EXPECT_EQ(m.GetElement(r, c, v), 0);
    EXPECT_EQ(v, 0.0);
    if (c != 0) continue;
    EXPECT_EQ(m.GetElement(r, c), 0.0);
    EXPECT_EQ(m.SetElement(r, c, 1.0), 0);
    EXPECT_EQ(m.GetRow(r, row), 0);
    EXPECT_EQ(row[0], 5.0);
  }
  EXPECT_EQ(m.GetElement(100, 0), 0.0);
  EXPECT_EQ(Elements(m), (std::vector<double>{8, 8, 16, 7, 0, 4}));
  PemarSparseMatrix none(-1, 2);
  EXPECT_EQ(Elements(none), (std::vector<double>{0, 2, 0}));
  EXPECT_EQ(none.SetElement(0, 0, 1.0), 0);
  none.Resize(-3, -4);
  EXPECT_EQ(Elements(none), (std::vector<double>{0, 0, 0}));
  none.IncrementRow();
  EXPECT_EQ(none.SetElement(0, 0, 1.0), 1);
}

// Kept beyond the column count, though rows do not show them.
TEST(PemarSparseMatrixTest, ElementsAreStoredEvenZeroAndEnumeratedByRow) {
  PemarSparseMatrix m;
  EXPECT_EQ(m.SetElement(2, 3, 0.0), 1);
  EXPECT_EQ(Elements(m), (std::vector<double>{8, 8, 16, 2, 3, 0}));
  for (const auto& [r, c, v] : {std::tuple(2, 3, 7.0), std::tuple(5, 0, 30.0),
                                std::tuple(1, 2, 12.0), std::tuple(1, 0, 10.0)})
    m.SetElement(r, c, v);
  EXPECT_EQ(Elements(m), (std::vector<double>{8, 8, 16, 1, 0, 10, 1, 2, 12, 2,
                                              3, 7, 5, 0, 30}));
  PemarSparseMatrix narrow(2, 2);
  EXPECT_EQ(narrow.SetElement(0, 5, 3.0), 1);
  EXPECT_EQ(narrow.GetElement(0, 5), 3.0);
  double v, row[2] = {1, 1};
  EXPECT_EQ(narrow.GetElement(0, 5, v), 0);
  EXPECT_EQ(narrow.GetRow(0, row), 1);
  EXPECT_EQ(std::vector<double>(row, row + 2), std::vector<double>(2, 0.0));
}

// A matrix appended to itself is read before it grows; null is nothing.
TEST(PemarSparseMatrixTest, AppendPlacesTheOtherInTheLowerRightBlock) {
  PemarSparseMatrix a(3, 3), b(2, 2);
  a.SetElement(0, 0, 1.0);
  b.SetElement(0, 1, 5.0);
  a.AppendMatrix(&b);
  EXPECT_EQ(Elements(a), (std::vector<double>{5, 5, 10, 0, 0, 1, 3, 4, 5}));
  EXPECT_EQ(Elements(b), (std::vector<double>{2, 2, 4, 0, 1, 5}));
  b.AppendMatrix(&b);
  b.AppendMatrix(nullptr);
  EXPECT_EQ(Elements(b), (std::vector<double>{4, 4, 8, 0, 1, 5, 2, 3, 5}));
}

TEST(PemarSparseMatrixTest, IncrementKeepsElementsAndResizeEmpties) {
  PemarSparseMatrix m(3, 3);
  m.SetElement(2, 1, 4.0);
  for (int i = 0; i < 4; ++i) m.IncrementRow();
  EXPECT_EQ(m.SetElement(6, 0, 1.0), 1);
  m.IncrementColumn();
  EXPECT_EQ(Elements(m), (std::vector<double>{7, 4, 14, 2, 1, 4, 6, 0, 1}));
  m.Resize(4, 5);
  EXPECT_EQ(Elements(m), (std::vector<double>{4, 5, 8}));
  m.Resize();
  EXPECT_EQ(Elements(m), (std::vector<double>{8, 8, 16}));
  m.Resize(3);
  EXPECT_EQ(Elements(m), (std::vector<double>{3, 3, 6}));
}

// Both are destroyed without anything freed twice (checked under ASan).
TEST(PemarSparseMatrixTest, CopiesAreDeep) {
  PemarSparseMatrix matrix(3, 3);
  matrix.SetElement(1, 1, 2.0);
  PemarSparseMatrix copy(matrix), assigned;
  copy.SetElement(1, 1, 9.0);
  copy.SetElement(0, 0, 1.0);
  EXPECT_EQ(Elements(matrix), (std::vector<double>{3, 3, 6, 1, 1, 2}));
  assigned = copy;
  const PemarSparseMatrix& alias = assigned;
  assigned = alias;
  EXPECT_EQ(assigned.GetElement(1, 1), 9.0);
}

}  // namespace
}  // namespace pemar
