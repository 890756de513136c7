// TernaryLinePlot: three-component compositions drawn as characters inside
// an equilateral triangle, for trace files.
//
// Component 1 is the bottom-left corner, component 2 the bottom-right corner
// and component 3 the apex. Points are marked with the symbols and
// priorities of LinePlot (see LinePlot.h).

#ifndef PEMAR_DIAG_TERNARYLINEPLOT_H_
#define PEMAR_DIAG_TERNARYLINEPLOT_H_

#include <string>
#include <vector>

#include "pemar/diag/PlotGrid.h"
#include "pemar/framework/Export.h"

namespace pemar {

class PmDebugOut;

class PEMAR_EXPORT TernaryLinePlot {
 public:
  // A grid of `rows` lines of `columns` characters; sizes below 2 are
  // raised to 2.
  explicit TernaryLinePlot(int rows = 51, int columns = 76);

  // Writes the plot of n compositions to out's open file; nothing when out
  // has none. With c null, a[i] and b[i] are the fractions of components 1
  // and 2 and the rest is component 3; with c given, a[i], b[i] and c[i]
  // are amounts of the three components in any common unit. Compositions
  // whose position is not finite or lies off the triangle's grid are
  // skipped. Nothing at all is written when n < 1 or out, a, b or kind is
  // null. The arrays are read, never changed, and must hold n values each.
  void Execute(PmDebugOut* out, const double* a, const double* b,
               const double* c, const int* kind, int n);

  int Columns() const { return columns_; }
  int Rows() const { return rows_; }

 private:
  int columns_;
  int rows_;
  // Grown to the largest plot drawn; reused by later plots.
  std::vector<plot_grid::PointRecord> records_;
  std::string line_;
};

}  // namespace pemar

#endif  // PEMAR_DIAG_TERNARYLINEPLOT_H_
