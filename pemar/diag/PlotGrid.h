// Grid rules shared by the character plots (LinePlot, TernaryLinePlot):
// tick spacing, ordering of points, their cells, and the placement of their
// symbols on each grid line. Internal to the library.

#ifndef PEMAR_DIAG_PLOTGRID_H_
#define PEMAR_DIAG_PLOTGRID_H_

#include <cstddef>
#include <string>
#include <vector>

namespace pemar {
namespace plot_grid {

// The smallest grid either plot draws; smaller requests are raised to it.
inline constexpr int kMinSize = 2;

// One point as the plots store it: plot coordinates and kind.
struct PointRecord {
  double x = 0.0;
  double y = 0.0;
  int kind = 0;
};

// A point that lands on the grid, with its cell.
struct Cell {
  int row = 0;
  int column = 0;
  int kind = 0;
};

// The symbol of a point kind, and its priority when two points share a
// cell. Only kinds 0 to 7 are drawn.
bool IsDrawnKind(int kind);
char Symbol(int kind);
int Priority(int kind);

// Number of ticks along an axis of `size` cells: max(2, (size - 1)/divisor
// + 1.4) cut to an integer, the division being integral.
int TickCount(int size, int divisor);
// Cells between ticks: (size - 1)/(ticks - 1), at least 1.
int TickSpacing(int size, int ticks);

// Orders points by y, largest first; equal y keep their input order.
// Points whose y is not a number go last, in input order.
void SortByYDescending(std::vector<PointRecord>* points);

// The geometry that maps plot coordinates to cells: column 0 is xmin, row 0
// is ymax, and one column (row) is sx (sy) wide.
struct Mapping {
  int columns = 0;
  int rows = 0;
  double xmin = 0.0;
  double ymax = 0.0;
  double sx = 0.0;
  double sy = 0.0;
};

// The cells of the points that land on the grid, in the order the points
// are given but grouped by row from the top. A point is left out when its
// position is not finite, lies outside the grid or its kind is not drawn.
std::vector<Cell> CellsOnGrid(const std::vector<PointRecord>& sorted,
                              const Mapping& mapping);

// Places the symbols of row `row` into `line` (one character per column),
// taking cells from *cursor on and moving the cursor past them. A cell in a
// column other than that of the cell taken just before it is always
// written; one in the same column overwrites only a symbol of lower
// priority.
void PlaceRow(int row, const std::vector<Cell>& cells, std::size_t* cursor,
              std::string* line);

// "%13.5f +" style row prefixes and other fixed-width numbers, formatted
// into a short text.
std::string FormatNumber(const char* format, double value);

}  // namespace plot_grid
}  // namespace pemar

#endif  // PEMAR_DIAG_PLOTGRID_H_
