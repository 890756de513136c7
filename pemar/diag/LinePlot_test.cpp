#include "pemar/diag/LinePlot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <limits>
#include <string>
#include <vector>

#include "pemar/diag/DebugOutput.h"
#include "pemar/diag/TernaryLinePlot.h"
#include "pemar/framework/FileSystem.h"
#include "pemar/framework/MemoryFileSystem.h"

namespace pemar {
namespace {

// A hand-checked plot of the test data.
std::string Expected(const char* name) {
  std::ifstream in(
      std::string(PEMAR_SOURCE_DIR) + "/pemar/diag/testdata/" + name,
      std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// The arrays of a plot: x (or a), y (or b), kind, and c for compositions of
// three amounts.
struct Points {
  std::vector<double> x, y;
  std::vector<int> kind;
  std::vector<double> c = {};  // ternary plots only
  int n() const { return static_cast<int>(x.size()); }
};

// Each plot is drawn into a trace file in memory and read back.
class PlotTest : public ::testing::Test {
 protected:
  std::string Line(LinePlot& plot, const Points& p, int mode, double xmin = 0,
                   double xmax = 0, double ymin = 0, double ymax = 0) {
    EXPECT_TRUE(out_.Create());
    plot.Execute(&out_, p.x.data(), p.y.data(), p.kind.data(), p.n(), mode,
                 xmin, xmax, ymin, ymax);
    out_.Close();
    return fs_.GetFile("plot.log");
  }
  // With c when the points have it, else of fractions a and b.
  std::string Ternary(TernaryLinePlot plot, const Points& p) {
    EXPECT_TRUE(out_.Create());
    plot.Execute(&out_, p.x.data(), p.y.data(),
                 p.c.empty() ? nullptr : p.c.data(), p.kind.data(), p.n());
    out_.Close();
    return fs_.GetFile("plot.log");
  }

  MemoryFileSystem fs_;
  ScopedFileSystem scoped_{&fs_};
  PmDebugOut out_{"plot", 1, false};
};

TEST_F(PlotTest, NoPointsOrNullArraysWriteNothing) {
  double v[] = {1.0};
  int k[] = {0};
  ASSERT_TRUE(out_.Create());
  LinePlot line;
  line.Execute(&out_, v, v, k, 0, 0, 0, 0, 0, 0);
  line.Execute(&out_, v, v, k, -3, 0, 0, 0, 0, 0);
  line.Execute(&out_, nullptr, v, k, 1, 0, 0, 0, 0, 0);
  line.Execute(&out_, v, v, nullptr, 1, 0, 0, 0, 0, 0);
  line.Execute(nullptr, v, v, k, 1, 0, 0, 0, 0, 0);
  TernaryLinePlot ternary;
  ternary.Execute(&out_, v, v, nullptr, k, 0);
  ternary.Execute(&out_, nullptr, v, nullptr, k, 1);
  ternary.Execute(&out_, v, v, v, nullptr, 1);
  out_.Close();
  EXPECT_EQ(fs_.GetFile("plot.log"), "");
}

TEST_F(PlotTest, GridsBelowTwoByTwoAreRaised) {
  const Points p = {{0.0, 1.0, 2.0}, {0.0, 1.0, 0.5}, {0, 1, 2}};
  LinePlot line(1, 1);
  EXPECT_EQ(line.Rows(), 2);
  EXPECT_EQ(line.Columns(), 2);
  Line(line, p, 0);
  EXPECT_NE(Ternary(TernaryLinePlot(-5, 0), p).find("Component 2"),
            std::string::npos);
}

// Zero spans, huge and non-finite values never reach an int conversion or the
// line buffer; the points that do fit are still drawn.
TEST_F(PlotTest, NonFiniteAndOffGridPointsAreSkipped) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const Points p = {{0.5, 1e300, 0.5, inf, -1e300},
                    {0.5, 0.5, nan, -inf, 1e300},
                    {2, 0, 0, 0, 1}};
  LinePlot line(11, 21);
  EXPECT_EQ(Line(line, p, 1, 1.0, 1.0, 0.0, 1.0),  // zero x span: frame only
            Expected("line_plot_zero_span.txt"));
  EXPECT_EQ(Line(line, p, 1, 0.0, 1.0, 0.0, 1.0),
            Expected("line_plot_off_grid.txt"));
  Line(line, p, 0);  // automatic ranges around 1e300 must not overflow either
  // A composition of nothing (0, 0, 0) and one with a NaN amount.
  const Points t = {{0, nan, 1}, {0, 0.2, 1}, {0, 0, 2}, {0, 0.3, 2}};
  EXPECT_EQ(Ternary(TernaryLinePlot(), t),
            Expected("ternary_skipped_points.txt"));
}

// More rows than columns put the edge in the row above the base past the
// last column unless it is held inside.
TEST_F(PlotTest, TernaryRightEdgeStaysInsideTallGrids) {
  const Points p = {{0.2}, {0.3}, {0}};
  EXPECT_EQ(Ternary(TernaryLinePlot(100, 76), p), Expected("ternary_tall.txt"));
  const std::string narrow = Ternary(TernaryLinePlot(300, 3), p);
  EXPECT_EQ(std::count(narrow.begin(), narrow.end(), 'V'), 1);
}

// Whole plots, compared character for character with hand-checked files.
TEST_F(PlotTest, PlotsMatchHandCheckedFiles) {
  LinePlot automatic;
  Points p = {{0, 25, 50, 10, 40}, {0, 2.5, 5, 4, 1}, {0, 1, 2, 7, 3}};
  const Points before = p;
  EXPECT_EQ(Line(automatic, p, 0), Expected("line_plot_auto.txt"));
  // The data is not sorted in place.
  EXPECT_TRUE(p.x == before.x && p.y == before.y);

  // By pairs: V then C on one cell gives C, and C then V keeps it. Then an
  // L, a V elsewhere and a V on the L, which is written; kind 9 is not
  // drawn; the last four lie off the grid.
  const Points shared = {
      {0.5, 0.5, 1.5, 1.5, 1.0, 1.2, 1.0, 0.0, 2.0, 2.0, 2.5, 1.0, -0.3, 1.0},
      {0.8, 0.8, 0.8, 0.8, 0.5, 0.5, 0.5, 0.0, 1.0, 0.0, 0.5, 1.3, 0.2, -0.5},
      {0, 2, 2, 0, 1, 0, 0, 7, 4, 9, 0, 0, 1, 1}};
  // The third rounds onto the top row; the fourth, above it, is skipped.
  const Points mode3 = {{0.2, 0.6, 0.8, 0.9}, {-4.5, -2, 0.5, 1}, {0, 6, 1, 1}};
  LinePlot plot(11, 21);  // reused from plot to plot
  EXPECT_EQ(Line(plot, shared, 1, 0.0, 2.0, 0.0, 1.0),
            Expected("line_plot_mode1.txt"));
  EXPECT_EQ(Line(plot, {{0, 0.5, 1, 1.5}, {3.2, 5, 7.9, 6}, {0, 1, 5, 0}}, 2),
            Expected("line_plot_mode2.txt"));
  EXPECT_EQ(Line(plot, mode3, 3), Expected("line_plot_mode3.txt"));

  // Component 1 bottom left, component 3 the apex (column 37), component 2
  // bottom right; then three more.
  const Points fractions = {
      {1, 0, 0, 0.3, 0.5, 0.2}, {0, 0, 1, 0.3, 0.5, 0.2}, {0, 2, 1, 7, 3, 0}};
  EXPECT_EQ(Ternary(TernaryLinePlot(), fractions),
            Expected("ternary_two_arrays.txt"));
  // The first two share a cell; (0, 0, 0) is no composition.
  const Points amounts = {{1, 0.25, 2, 0, 1},
                          {1, 0.25, 1, 0, 0},
                          {0, 2, 1, 1, 7},
                          {2, 0.5, 1, 0, 0}};
  EXPECT_EQ(Ternary(TernaryLinePlot(), amounts),
            Expected("ternary_three_arrays.txt"));
}

}  // namespace
}  // namespace pemar
