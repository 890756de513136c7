#include "pemar/diag/LinePlot.h"

#include <algorithm>
#include <cmath>

#include "pemar/diag/DebugOutput.h"

namespace pemar {

using plot_grid::Cell;
using plot_grid::FormatNumber;
using plot_grid::PointRecord;

namespace {

constexpr char kHeader[] =
    "\n\nLine Plot ..........................................."
    "\nLegend: V/L : calculated point,   0 : tabulated point"
    "\n          M : maximum/minimum,    C : critical point\n\n";

// A round range around [lo, hi]: steps of 0.1 for spans up to 1, 100 for
// spans above 1000, 10 otherwise; one step of margin below (not below 0 for
// positive data) and about a fifth of the span above. All in double, so that
// huge data cannot overflow a conversion.
void AutomaticRange(double lo, double hi, double* low, double* high) {
  const double span = hi - lo;
  double step = 10.0;
  if (span <= 1.0) {
    step = 0.1;
  } else if (span > 1000.0) {
    step = 100.0;
  }
  double l = std::trunc(lo / step) * step - step;
  if (l < 0.0 && lo > 0.0) l = 0.0;
  double h = l + std::trunc(1.2 * span / step) * step;
  if (h <= hi) h += std::trunc((hi - h) / step + 1.0) * step;
  *low = l;
  *high = h;
}

// The border line: '-' with '+' at each tick column.
std::string Border(int columns, int tx) {
  std::string line(columns, '-');
  for (int c = 0; c < columns; c += tx) line[c] = '+';
  return line;
}

}  // namespace

LinePlot::LinePlot(int rows, int columns)
    : columns_(std::max(plot_grid::kMinSize, columns)),
      rows_(std::max(plot_grid::kMinSize, rows)),
      line_(columns_, ' ') {}

void LinePlot::Execute(PmDebugOut* out, const double* x, const double* y,
                       const int* kind, int n, int mode, double xmin,
                       double xmax, double ymin, double ymax) {
  if (out == nullptr || x == nullptr || y == nullptr || kind == nullptr ||
      n < 1 || !out->File().IsOpen()) {
    return;
  }
  const int tx =
      plot_grid::TickSpacing(columns_, plot_grid::TickCount(columns_, 10));
  const int ty = plot_grid::TickSpacing(rows_, plot_grid::TickCount(rows_, 10));

  records_.clear();
  for (int i = 0; i < n; ++i) records_.push_back({x[i], y[i], kind[i]});
  plot_grid::SortByYDescending(&records_);

  // The data's extent, from the points that can be placed at all.
  double x_lo = 1e20, x_hi = -1e20, y_lo = 1e20, y_hi = -1e20;
  for (const PointRecord& p : records_) {
    if (!std::isfinite(p.x) || !std::isfinite(p.y)) continue;
    x_lo = std::min(x_lo, p.x);
    x_hi = std::max(x_hi, p.x);
    y_lo = std::min(y_lo, p.y);
    y_hi = std::max(y_hi, p.y);
  }
  if (x_lo > x_hi) x_lo = x_hi = y_lo = y_hi = 0.0;

  if (mode < 1) {
    AutomaticRange(x_lo, x_hi, &xmin, &xmax);
    AutomaticRange(y_lo, y_hi, &ymin, &ymax);
  } else if (mode >= 2) {
    xmin = 0.0;
    xmax = 1.0;
    ymin = std::trunc(y_lo - 1.0);
    ymax = mode == 2 ? std::trunc(y_hi + 1.0) : 0.0;
  }
  plot_grid::Mapping mapping;
  mapping.columns = columns_;
  mapping.rows = rows_;
  mapping.xmin = xmin;
  mapping.ymax = ymax;
  mapping.sx = (xmax - xmin) / (columns_ - 1);
  mapping.sy = (ymax - ymin) / (rows_ - 1);
  const std::vector<Cell> cells = plot_grid::CellsOnGrid(records_, mapping);

  std::string text = kHeader;
  const std::string border = Border(columns_, tx);
  text += "\n              I" + border + "I";
  std::size_t cursor = 0;
  for (int r = 0; r < rows_; ++r) {
    line_.assign(columns_, ' ');
    plot_grid::PlaceRow(r, cells, &cursor, &line_);
    if (r % ty == 0) {
      text += FormatNumber("\n%13.5f +", ymin + (rows_ - 1 - r) * mapping.sy);
      text += line_ + "+";
    } else {
      text += "\n              I" + line_ + "I";
    }
  }
  text += "\n              I" + border + "I";
  text += "\n       ";
  for (int c = 0; c < columns_; c += tx) {
    text += FormatNumber("%10.3g", xmin + c * mapping.sx);
  }
  text += FormatNumber("\n              X-Axis Increment =%12.4f", mapping.sx);
  text += FormatNumber("\n              Y-Axis Increment =%12.4f", mapping.sy);
  out->PrintText(text);
}

}  // namespace pemar
