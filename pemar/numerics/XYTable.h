// XYTableClass: a growable table of points, each a row of a fixed number of
// double columns (for instance x and several y values).
//
// Every row is its own allocation, so rows can be appended, inserted from
// another table (in order or reversed) and handed out by pointer. The table
// has `NumbPoint()` rows in use and spare rows above them up to its
// capacity. The int kEmptyMarker (-32767) is a marker argument: as a row
// index it means "append" or "the last row"; as a column index, "the whole
// row". Cells that the table fills on its own (new and spare rows, widened
// columns) hold kEmptyValue (-32767.0).
//
// Stored form (StoreClassData / RecallClassData, no chunk): unsigned int
// version 1, int points, int columns, int capacity, then capacity rows of
// `columns` doubles each, spare rows included. A recall checks the sizes
// against the bytes left in the file and reads the whole record before it
// replaces the table: a truncated or corrupt record fails and leaves the
// table as it was.
//
// The table owns all its rows; copies are independent.

#ifndef PEMAR_NUMERICS_XYTABLE_H_
#define PEMAR_NUMERICS_XYTABLE_H_

#include <vector>

#include "pemar/framework/Export.h"

namespace pemar {

class BinaryFile;

class PEMAR_EXPORT XYTableClass {
 public:
  // No points, no columns, no storage.
  XYTableClass();
  // `capacity` spare rows of `columns` cells; negative sizes count as 0.
  XYTableClass(int columns, int capacity);
  XYTableClass(const XYTableClass&) = default;
  XYTableClass& operator=(const XYTableClass&) = default;
  virtual ~XYTableClass();

  int NumbPoint() const { return points_; }
  int NumbColumns() const { return columns_; }
  int Capacity() const { return static_cast<int>(rows_.size()); }

  // Writes values[0 ... count - 1] into columns first_column ...
  // first_column + count - 1 of a row:
  //   row == kEmptyMarker: a new last point (capacity + 10 when full);
  //   row >= NumbPoint(): the points become row + 1 (capacity + row + 11
  //     when full);
  //   rows that become points this way start as kEmptyValue;
  //   otherwise the existing row is overwritten.
  // Ignored, with nothing changed, for another negative row, a negative
  // first_column or count, columns beyond NumbColumns(), null values, or a
  // size that cannot be held.
  void InputData(int first_column, int count, const double* values, int row);
  // Sets one cell; false, with nothing changed, unless 0 <= row <
  // NumbPoint() and 0 <= col < NumbColumns().
  bool InputData(int row, int col, double v);

  // row == kEmptyMarker: the last row (null without points), col ignored.
  // 0 <= row < NumbPoint(): the whole row for col == kEmptyMarker, the cell
  // for 0 <= col < NumbColumns(). Null otherwise. Valid until the table is
  // resized, has rows inserted, is recalled or destroyed.
  double* Value(int row, int col);
  const double* Value(int row, int col) const;

  // New storage of exactly `rows` rows of `columns` cells, keeping the old
  // cells that fit (others kEmptyValue); afterwards every row is a point.
  // Negative sizes change nothing.
  void NewTableSize(int columns, int rows);
  // `extra` more spare rows; the points stay. Negative or overflowing
  // `extra` changes nothing.
  void ExpandTableSize(int extra);
  // No points; the storage stays.
  void ClearTable() { points_ = 0; }

  // Inserts copies of other's points before own point `at` (kEmptyMarker:
  // at the end), in other's order or reversed; spare rows are released.
  // False, with nothing changed, for a different column count or `at`
  // outside 0 ... NumbPoint(); true with nothing changed when other has no
  // points. `other` may be this table.
  bool InsertDataFrom(const XYTableClass& other, int at, bool reverse);

  bool StoreClassData(BinaryFile& file) const;
  bool RecallClassData(BinaryFile& file);

 private:
  using Row = std::vector<double>;

  int points_ = 0;
  int columns_ = 0;
  // Capacity rows of columns_ cells; rows below points_ are the points.
  std::vector<Row> rows_;
};

}  // namespace pemar

#endif  // PEMAR_NUMERICS_XYTABLE_H_
