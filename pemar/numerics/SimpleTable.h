// PemarSimpleTable: a small user-entered table of rows with four double
// columns, weight, X, Q and Y.
//
// It behaves like an editing grid: setting a cell beyond the last row grows
// the table (new rows get weight 1.0 and empty X, Q and Y), and a row whose
// four cells are all empty disappears. The empty value is kEmptyValue
// (-32767.0). The rows can be sorted on X, and X shifted between degrees
// Celsius and kelvin. The table also carries two flags for its owner: ready
// (cleared by every cell change) and CP-data (default true). It does no
// lookup of its own; owners read the columns directly.
//
// Stored form (StoreClassData / RecallClassData, no chunk): unsigned int
// version 1, int n, then n doubles each of weight, X, Q and Y. The flags are
// not stored. A recall reads the whole record before it changes the table: a
// truncated or corrupt record (n < 0, or more values than the file holds)
// fails and leaves the table as it was.

#ifndef PEMAR_NUMERICS_SIMPLETABLE_H_
#define PEMAR_NUMERICS_SIMPLETABLE_H_

#include <memory>

#include "pemar/framework/Export.h"
#include "pemar/framework/Types.h"

namespace pemar {

class BinaryFile;

class PEMAR_EXPORT PemarSimpleTable {
 public:
  // No rows, ready false, CP-data true.
  PemarSimpleTable();
  // Adopts four arrays of n doubles allocated with new[]: they become the
  // table's columns and the table frees them. With n <= 0 or any array null
  // the table starts empty and frees the arrays at once. Ready false,
  // CP-data true.
  PemarSimpleTable(int n, double* weight, double* x, double* q, double* y);
  // Copies own their own columns.
  PemarSimpleTable(const PemarSimpleTable& other);
  PemarSimpleTable& operator=(const PemarSimpleTable& other);
  virtual ~PemarSimpleTable();

  // Removes every row; the flags stay.
  void Clear();

  int GetNumberOfPoints() const { return count_; }

  // The cell of row i, or kEmptyValue when i is outside 0 ... count - 1.
  double GetWeight(int i) const { return Cell(weight_, i); }
  double GetX(int i) const { return Cell(x_, i); }
  double GetQ(int i) const { return Cell(q_, i); }
  double GetY(int i) const { return Cell(y_, i); }
  // The same, for display grids that may ask beyond the end.
  double GUIWeight(int i) const { return Cell(weight_, i); }
  double GUIX(int i) const { return Cell(x_, i); }
  double GUIQ(int i) const { return Cell(q_, i); }
  double GUIY(int i) const { return Cell(y_, i); }

  // The column arrays (count entries), null when the table has no rows.
  // Valid until the row count next changes (a set that adds rows, removal of
  // empty rows, Clear, RecallClassData).
  double* GetWPointer() { return weight_.get(); }
  double* GetXPointer() { return x_.get(); }
  double* GetQPointer() { return q_.get(); }
  double* GetYPointer() { return y_.get(); }

  // Sets the cell of row i. A negative i is ignored. Setting kEmptyValue
  // beyond the last row does nothing; any other value there grows the table
  // to i + 1 rows (nothing changes when that cannot be held). Clears ready
  // and removes rows left all empty.
  void SetWeight(int i, double v) { SetCell(&PemarSimpleTable::weight_, i, v); }
  void SetX(int i, double v) { SetCell(&PemarSimpleTable::x_, i, v); }
  void SetQ(int i, double v) { SetCell(&PemarSimpleTable::q_, i, v); }
  void SetY(int i, double v) { SetCell(&PemarSimpleTable::y_, i, v); }

  bool GetReady() const { return ready_; }
  void SetReady(bool ready) { ready_ = ready; }
  bool GetCPData() const { return cp_data_; }
  void SetCPData(bool cp_data) { cp_data_ = cp_data; }

  // Sorts whole rows on X, ascending (comb sort, not stable; empty X first).
  void SortOnX();
  // Gives every row with an empty weight the weight 1.0; then true when any
  // row has an empty X or Y (or Q, with check_q).
  bool AnyEmpty(bool check_q);
  // Adds (ToKelvin) or subtracts (FromKelvin) 273.15 on every X, empty
  // cells included; ready is left alone.
  void ToKelvin();
  void FromKelvin();

  bool StoreClassData(BinaryFile& file) const;
  bool RecallClassData(BinaryFile& file);

 private:
  using Column = std::unique_ptr<double[]>;

  double Cell(const Column& column, int i) const {
    return i < 0 || i >= count_ ? kEmptyValue : column[i];
  }
  void SetCell(Column PemarSimpleTable::*column, int i, double v);
  // Grows the four columns to `rows` entries, the new rows with weight 1.0
  // and empty cells. False, with nothing changed, when the memory cannot be
  // had.
  bool Grow(int rows);
  void RemoveEmptyRows();
  void ShiftX(double delta);
  void SwapRow(int i, int j);

  bool ready_ = false;
  bool cp_data_ = true;
  int count_ = 0;
  // Four columns of count_ entries each; all null when the table is empty.
  Column weight_;
  Column x_;
  Column q_;
  Column y_;
};

}  // namespace pemar

#endif  // PEMAR_NUMERICS_SIMPLETABLE_H_
