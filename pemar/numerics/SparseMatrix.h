// PemarSparseMatrix: a growable matrix of doubles that stores only the
// elements that were set.
//
// Indices are 0-based. Each row that holds an element has its own map from
// column number to value; rows without elements take no map. A stored
// element counts as stored even when its value is 0.0, and elements are
// never removed one by one (only Resize empties the matrix).
//
// Stored elements are enumerated row by row in ascending row order and,
// within a row, in ascending column order; the by-position accessors
// (GetIthNonZero...) and GetNonZeroValues share that order.
//
// The matrix owns all its storage; copies are independent.

#ifndef PEMAR_NUMERICS_SPARSEMATRIX_H_
#define PEMAR_NUMERICS_SPARSEMATRIX_H_

#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "pemar/framework/Export.h"

namespace pemar {

class PEMAR_EXPORT PemarSparseMatrix {
 public:
  // 8 x 8, n x n, or r x c; negative sizes count as 0. The row table gets
  // room for twice the rows.
  PemarSparseMatrix();
  explicit PemarSparseMatrix(int n);
  PemarSparseMatrix(int r, int c);
  PemarSparseMatrix(const PemarSparseMatrix& other);
  PemarSparseMatrix& operator=(const PemarSparseMatrix& other);
  virtual ~PemarSparseMatrix();

  // Empties the matrix and sets its size (8 x 8, n x n or r x c). Negative
  // sizes count as 0.
  void Resize();
  void Resize(int n);
  void Resize(int r, int c);

  int GetRowSize() const { return rows_; }
  int GetColSize() const { return columns_; }
  // Slots in the row table: twice the row count at the last allocation.
  int GetCapacity() const { return static_cast<int>(table_.size()); }

  // Stores v at (row, col); 1 done, 0 for a row outside 0 ... rows - 1. Any
  // column number is accepted, whatever the column count.
  int SetElement(int row, int col, const double& v);
  // The stored value; 0.0 when nothing is stored there or the row is out of
  // range.
  double GetElement(int row, int col) const;
  // v = the stored value or 0.0; returns 0 (v = 0.0) when row or col is
  // outside the matrix's size, 1 otherwise.
  int GetElement(int row, int col, double& v) const;
  // Writes the row into out[0 ... columns - 1], 0.0 where nothing is
  // stored; out must have room for GetColSize() doubles. 0 for a row out of
  // range (nothing written), 1 otherwise.
  int GetRow(int row, double* out) const;

  // One more row (the table doubles when full) or one more column.
  void IncrementRow();
  void IncrementColumn();

  // Appends `other` as a diagonal block: the result is (R + R2) x (C + C2)
  // with `other` in the lower-right corner. `other` is not changed and may be
  // this matrix itself. Null, or a size that would overflow, changes
  // nothing.
  void AppendMatrix(const PemarSparseMatrix* other);

  // Stored elements in rows 0 ... rows - 1.
  int GetNumberOfNonZeroElements() const;
  // Row, column or value of the i-th stored element (enumeration order
  // above); false when i is outside 0 ... count - 1.
  bool GetIthNonZeroRow(int i, int& row) const;
  bool GetIthNonZeroColumn(int i, int& col) const;
  bool GetIthNonZerothValue(int i, double& v) const;
  // Fills three caller arrays of GetNumberOfNonZeroElements() entries, in
  // enumeration order. Null arrays are skipped.
  void GetNonZeroValues(int* row_idx, int* col_idx, double* vals) const;

  // Does nothing; kept for callers that print matrix statistics.
  void PrintMatrixInfo() const {}

 private:
  using Row = std::map<int, double>;

  // Finds the i-th stored element; null when there is none.
  const std::pair<const int, double>* Find(int i, int* row) const;

  int rows_ = 0;
  int columns_ = 0;
  // One slot per row up to the capacity; null: the row stores nothing.
  std::vector<std::unique_ptr<Row>> table_;
};

}  // namespace pemar

#endif  // PEMAR_NUMERICS_SPARSEMATRIX_H_
