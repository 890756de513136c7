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

#include <vector>

#include "pemar/framework/Export.h"

namespace pemar {

class BinaryFile;

class PEMAR_EXPORT PemarSimpleTable {
 public:
  // No rows, ready false, CP-data true.
  PemarSimpleTable();
  // Takes ownership of four arrays of n doubles allocated with new[]; the
  // table frees them (at once: it keeps its own copy). Null arrays are read
  // as all empty. Ready false, CP-data true.
  PemarSimpleTable(int n, double* weight, double* x, double* q, double* y);
  PemarSimpleTable(const PemarSimpleTable&) = default;
  PemarSimpleTable& operator=(const PemarSimpleTable&) = default;
  virtual ~PemarSimpleTable();

  // Removes every row; the flags stay.
  void Clear();

  int GetNumberOfPoints() const { return static_cast<int>(x_.size()); }

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
  double* GetWPointer() { return Column(weight_); }
  double* GetXPointer() { return Column(x_); }
  double* GetQPointer() { return Column(q_); }
  double* GetYPointer() { return Column(y_); }

  // Sets the cell of row i. A negative i is ignored. Setting kEmptyValue
  // beyond the last row does nothing; any other value there grows the table
  // to i + 1 rows (nothing changes when that cannot be held). Clears ready
  // and removes rows left all empty.
  void SetWeight(int i, double v) { SetCell(weight_, i, v); }
  void SetX(int i, double v) { SetCell(x_, i, v); }
  void SetQ(int i, double v) { SetCell(q_, i, v); }
  void SetY(int i, double v) { SetCell(y_, i, v); }

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
  static double Cell(const std::vector<double>& column, int i);
  static double* Column(std::vector<double>& column) {
    return column.empty() ? nullptr : column.data();
  }
  void SetCell(std::vector<double>& column, int i, double v);
  void RemoveEmptyRows();
  void ShiftX(double delta);

  bool ready_ = false;
  bool cp_data_ = true;
  // Four columns of the same length, the number of points.
  std::vector<double> weight_;
  std::vector<double> x_;
  std::vector<double> q_;
  std::vector<double> y_;
};

}  // namespace pemar

#endif  // PEMAR_NUMERICS_SIMPLETABLE_H_
