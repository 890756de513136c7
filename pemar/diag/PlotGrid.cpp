#include "pemar/diag/PlotGrid.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace pemar {
namespace plot_grid {

namespace {

constexpr char kSymbols[8] = {'V', 'L', 'C', 'M', 'M', 'M', 'M', '0'};
constexpr int kPriorities[8] = {1, 2, 8, 3, 4, 5, 6, 7};

// The cell index of a plot coordinate, or -1 when it is not on an axis of
// `size` cells. Computed in double so that no value can overflow an int.
int CellIndex(double offset, double step, int size) {
  const double position = std::trunc(offset / step + 0.49);
  if (!std::isfinite(position) || position < 0.0 || position >= size) {
    return -1;
  }
  return static_cast<int>(position);
}

}  // namespace

bool IsDrawnKind(int kind) { return kind >= 0 && kind < 8; }

char Symbol(int kind) { return IsDrawnKind(kind) ? kSymbols[kind] : ' '; }

int Priority(int kind) { return IsDrawnKind(kind) ? kPriorities[kind] : 0; }

int TickCount(int size, int divisor) {
  // The division is integral on purpose: tick counts follow the grid's
  // whole tens (fifteens) of cells.
  const int whole = (size - 1) / divisor;
  const int ticks = static_cast<int>(whole + 1.4);
  return std::max(2, ticks);
}

int TickSpacing(int size, int ticks) {
  return std::max(1, (size - 1) / (ticks - 1));
}

void SortByYDescending(std::vector<PointRecord>* points) {
  // The same order as a bubble sort that swaps only when the next y is
  // strictly larger, but in n log n and with a strict weak order for NaN.
  std::stable_sort(points->begin(), points->end(),
                   [](const PointRecord& a, const PointRecord& b) {
                     if (std::isnan(a.y)) return false;
                     if (std::isnan(b.y)) return true;
                     return a.y > b.y;
                   });
}

std::vector<Cell> CellsOnGrid(const std::vector<PointRecord>& sorted,
                              const Mapping& mapping) {
  std::vector<Cell> cells;
  cells.reserve(sorted.size());
  for (const PointRecord& p : sorted) {
    if (!IsDrawnKind(p.kind)) continue;
    const int column =
        CellIndex(p.x - mapping.xmin, mapping.sx, mapping.columns);
    const int row = CellIndex(mapping.ymax - p.y, mapping.sy, mapping.rows);
    if (column < 0 || row < 0) continue;
    cells.push_back({row, column, p.kind});
  }
  // Sorted by y the rows already ascend; grouping by row keeps each point
  // on its own row also when the y axis runs the other way.
  std::stable_sort(cells.begin(), cells.end(),
                   [](const Cell& a, const Cell& b) { return a.row < b.row; });
  return cells;
}

void PlaceRow(int row, const std::vector<Cell>& cells, std::size_t* cursor,
              std::string* line) {
  int previous_column = -1;
  int written_priority = 0;
  for (; *cursor < cells.size() && cells[*cursor].row <= row; ++*cursor) {
    const Cell& cell = cells[*cursor];
    const int priority = Priority(cell.kind);
    if (cell.column != previous_column || priority > written_priority) {
      (*line)[cell.column] = Symbol(cell.kind);
      written_priority = priority;
    }
    previous_column = cell.column;
  }
}

std::string FormatNumber(const char* format, double value) {
  char text[512];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

}  // namespace plot_grid
}  // namespace pemar
