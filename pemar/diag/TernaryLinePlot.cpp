#include "pemar/diag/TernaryLinePlot.h"

#include <algorithm>
#include <cmath>

#include "pemar/diag/DebugOutput.h"

namespace pemar {

using plot_grid::Cell;
using plot_grid::FormatNumber;

namespace {

constexpr double kSqrt3 = 1.7320508075688772;

}  // namespace

TernaryLinePlot::TernaryLinePlot(int rows, int columns)
    : columns_(std::max(plot_grid::kMinSize, columns)),
      rows_(std::max(plot_grid::kMinSize, rows)),
      line_(columns_, ' ') {}

void TernaryLinePlot::Execute(PmDebugOut* out, const double* a, const double* b,
                              const double* c, const int* kind, int n) {
  if (out == nullptr || a == nullptr || b == nullptr || kind == nullptr ||
      n < 1 || !out->File().IsOpen()) {
    return;
  }
  const int tx =
      plot_grid::TickSpacing(columns_, plot_grid::TickCount(columns_, 10));
  const int ty = plot_grid::TickSpacing(rows_, plot_grid::TickCount(rows_, 15));

  // Component 1 at (0, 0), component 2 at (2, 0), component 3 at (1, sqrt 3).
  records_.clear();
  for (int i = 0; i < n; ++i) {
    double x, y;
    if (c == nullptr) {
      x = 1.0 + b[i] - a[i];
      y = kSqrt3 * (1.0 - a[i] - b[i]);
    } else {
      const double s = a[i] + b[i] + c[i];
      x = 1.0 + b[i] / s - a[i] / s;
      y = kSqrt3 * c[i] / s;
    }
    records_.push_back({x, y, kind[i]});
  }
  plot_grid::SortByYDescending(&records_);

  plot_grid::Mapping mapping;
  mapping.columns = columns_;
  mapping.rows = rows_;
  mapping.xmin = 0.0;
  mapping.ymax = kSqrt3;
  mapping.sx = 2.0 / (columns_ - 1);
  mapping.sy = kSqrt3 / (rows_ - 1);
  const std::vector<Cell> cells = plot_grid::CellsOnGrid(records_, mapping);

  std::string text =
      "\n\n                                              Component 3";
  std::size_t cursor = 0;
  const int bottom = rows_ - 1;
  for (int r = 0; r < rows_; ++r) {
    const bool tick_row = r % ty == 0;
    if (r == bottom) {
      line_.assign(columns_, '.');
      for (int col = 0; col < columns_; col += tx) line_[col] = '+';
    } else {
      line_.assign(columns_, ' ');
      // The two edges of the triangle; the right one is kept inside the
      // line when rows outnumber columns.
      const double p =
          static_cast<double>(bottom - r) * columns_ / (2.0 * bottom);
      const int left = static_cast<int>(p);
      const int right = std::min(
          columns_ - 1, static_cast<int>(std::trunc(columns_ - p + 0.5)));
      const char edge = tick_row ? '+' : '.';
      line_[left] = edge;
      line_[right] = edge;
    }
    plot_grid::PlaceRow(r, cells, &cursor, &line_);
    if (tick_row) {
      text += FormatNumber("\n%12.5f  +", (bottom - r) * mapping.sy / kSqrt3);
      text += line_ + "+";
    } else {
      text += "\n              I" + line_ + "I";
    }
  }
  text += "\n           Component 1                              ";
  text += "                              Component 2";
  std::string border(columns_, '-');
  for (int col = 0; col < columns_; col += tx) border[col] = '+';
  text += "\n              I" + border + "I";
  text += "\n ";
  for (int col = 0; col < columns_; col += tx) {
    text += FormatNumber("%15.4f", col * mapping.sx / 2.0);
  }
  out->PrintText(text);
}

}  // namespace pemar
