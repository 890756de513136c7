// LinePlot: a character-grid plot of (x, y) points for trace files.
//
// The grid has a framed border, numbered y ticks down the left side and x
// tick labels below; each point is marked with the symbol of its kind:
//
//   kind      0  1  2  3  4  5  6  7
//   symbol    V  L  C  M  M  M  M  0 (the digit)
//   priority  1  2  8  3  4  5  6  7
//
// (V/L calculated vapour/liquid point, C critical point, M maximum or
// minimum, 0 tabulated point). When points share a cell one after the other
// the symbol of higher priority stays. Kinds outside 0 to 7 are not drawn.

#ifndef PEMAR_DIAG_LINEPLOT_H_
#define PEMAR_DIAG_LINEPLOT_H_

#include <string>
#include <vector>

#include "pemar/diag/PlotGrid.h"
#include "pemar/framework/Export.h"

namespace pemar {

class PmDebugOut;

class PEMAR_EXPORT LinePlot {
 public:
  // A grid of `rows` lines of `columns` characters; sizes below 2 are
  // raised to 2.
  explicit LinePlot(int rows = 51, int columns = 81);

  // Writes the plot of n points (x[i], y[i]) of kind kind[i] to out's open
  // file; nothing when out has none. mode selects the axis ranges:
  //   below 1  automatic, from the data, on round steps of 0.1, 10 or 100;
  //   1        x from xmin to xmax, y from ymin to ymax;
  //   2        x from 0 to 1, y from the data (whole numbers);
  //   3 and up x from 0 to 1, y from the data's lowest (whole number) to 0.
  // The four doubles are read only in mode 1. Points whose position is not
  // finite or lies off the grid are skipped; with a zero span no point is
  // drawn but the frame is. Nothing at all is written when n < 1 or an
  // array or out is null. The arrays are read, never changed, and must hold
  // n values each.
  void Execute(PmDebugOut* out, const double* x, const double* y,
               const int* kind, int n, int mode, double xmin, double xmax,
               double ymin, double ymax);

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

#endif  // PEMAR_DIAG_LINEPLOT_H_
