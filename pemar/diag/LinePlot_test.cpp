#include "pemar/diag/LinePlot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "pemar/diag/DebugOutput.h"
#include "pemar/diag/TernaryLinePlot.h"

namespace pemar {
namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

std::string Expected(const char* name) {
  return ReadAll(fs::path(PEMAR_SOURCE_DIR) / "pemar/diag/testdata" / name);
}

// The grid characters of every line of a plot `columns` wide, without the
// prefixes, borders' frame characters, legend and labels.
std::string GridCells(const std::string& text, int columns) {
  std::string cells;
  std::stringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    if (line.size() == 16 + static_cast<std::size_t>(columns) &&
        (line[14] == 'I' || line[14] == '+')) {
      cells += line.substr(15, columns);
    }
  }
  return cells;
}

struct Points {
  std::vector<double> x, y, c;
  std::vector<int> kind;
  void Add(double px, double py, int k) {
    x.push_back(px);
    y.push_back(py);
    kind.push_back(k);
  }
  void Add(double a, double b, double pc, int k) {
    Add(a, b, k);
    c.push_back(pc);
  }
  int n() const { return static_cast<int>(x.size()); }
};

// Each test draws into its own trace file and reads back what it got.
class PlotTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ =
        fs::path(::testing::TempDir()) /
        ("pemar_plot_" +
         std::string(
             ::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    out_ = std::make_unique<PmDebugOut>((dir_ / "plot").string(), 1, false);
    ASSERT_TRUE(out_->Create());
  }
  void TearDown() override {
    out_.reset();
    fs::remove_all(dir_);
  }
  std::string Written() {
    out_->Close();
    return ReadAll(dir_ / "plot.log");
  }

  fs::path dir_;
  std::unique_ptr<PmDebugOut> out_;
};

TEST_F(PlotTest, NoPointsOrNullArraysWriteNothing) {
  double v[] = {1.0};
  int k[] = {0};
  LinePlot line;
  line.Execute(out_.get(), v, v, k, 0, 0, 0, 0, 0, 0);
  line.Execute(out_.get(), v, v, k, -3, 0, 0, 0, 0, 0);
  line.Execute(out_.get(), nullptr, v, k, 1, 0, 0, 0, 0, 0);
  line.Execute(out_.get(), v, v, nullptr, 1, 0, 0, 0, 0, 0);
  line.Execute(nullptr, v, v, k, 1, 0, 0, 0, 0, 0);
  TernaryLinePlot ternary;
  ternary.Execute(out_.get(), v, v, nullptr, k, 0);
  ternary.Execute(out_.get(), nullptr, v, nullptr, k, 1);
  ternary.Execute(out_.get(), v, v, v, nullptr, 1);
  EXPECT_EQ(Written(), "");
}

TEST_F(PlotTest, GridsBelowTwoByTwoAreRaised) {
  Points p;
  p.Add(0.0, 0.0, 0);
  p.Add(1.0, 1.0, 1);
  p.Add(2.0, 0.5, 2);
  LinePlot line(1, 1);
  EXPECT_EQ(line.Rows(), 2);
  EXPECT_EQ(line.Columns(), 2);
  line.Execute(out_.get(), p.x.data(), p.y.data(), p.kind.data(), p.n(), 0, 0,
               0, 0, 0);
  TernaryLinePlot ternary(-5, 0);
  ternary.Execute(out_.get(), p.x.data(), p.y.data(), nullptr, p.kind.data(),
                  p.n());
  EXPECT_NE(Written().find("Component 2"), std::string::npos);
}

// Zero spans, huge and non-finite values never reach an int conversion or the
// line buffer; the points that do fit are still drawn.
TEST_F(PlotTest, NonFiniteAndOffGridPointsAreSkipped) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  Points p;
  p.Add(0.5, 0.5, 2);
  p.Add(1e300, 0.5, 0);
  p.Add(0.5, nan, 0);
  p.Add(inf, -inf, 0);
  p.Add(-1e300, 1e300, 1);
  LinePlot line(11, 21);
  // Zero x span: frame only.
  line.Execute(out_.get(), p.x.data(), p.y.data(), p.kind.data(), p.n(), 1, 1.0,
               1.0, 0.0, 1.0);
  std::string zero_span = Written();
  EXPECT_EQ(GridCells(zero_span, 21).find_first_not_of(" +-"),
            std::string::npos);
  EXPECT_NE(zero_span.find("Y-Axis Increment"), std::string::npos);

  ASSERT_TRUE(out_->Create());
  line.Execute(out_.get(), p.x.data(), p.y.data(), p.kind.data(), p.n(), 1, 0.0,
               1.0, 0.0, 1.0);
  // Automatic ranges around 1e300 must not overflow either.
  line.Execute(out_.get(), p.x.data(), p.y.data(), p.kind.data(), p.n(), 0, 0,
               0, 0, 0);
  std::string drawn = Written();
  EXPECT_NE(drawn.find("\n              I          C          I"),
            std::string::npos);

  ASSERT_TRUE(out_->Create());
  Points t;
  t.Add(0.0, 0.0, 0.0, 0);  // sum 0
  t.Add(nan, 0.2, 0.3, 0);
  t.Add(1.0, 1.0, 2.0, 2);
  TernaryLinePlot ternary;
  ternary.Execute(out_.get(), t.x.data(), t.y.data(), t.c.data(), t.kind.data(),
                  t.n());
  const std::string tri = GridCells(Written(), 76);
  EXPECT_EQ(std::count(tri.begin(), tri.end(), 'C'), 1);
  EXPECT_EQ(std::count(tri.begin(), tri.end(), 'V'), 0);
}

TEST_F(PlotTest, TernaryRightEdgeStaysInsideTallGrids) {
  double a[] = {0.2}, b[] = {0.3};
  int k[] = {0};
  TernaryLinePlot(100, 76).Execute(out_.get(), a, b, nullptr, k, 1);
  TernaryLinePlot(300, 3).Execute(out_.get(), a, b, nullptr, k, 1);
  const std::string text = Written();
  // Every grid line keeps its width, and the point is drawn in both.
  EXPECT_EQ(GridCells(text, 76).size(), 76u * (100 + 1));
  const std::string cells = GridCells(text, 76) + GridCells(text, 3);
  EXPECT_EQ(std::count(cells.begin(), cells.end(), 'V'), 2);
}

TEST_F(PlotTest, DefaultTicks) {
  EXPECT_EQ(plot_grid::TickSpacing(81, plot_grid::TickCount(81, 10)), 10);
  EXPECT_EQ(plot_grid::TickSpacing(51, plot_grid::TickCount(51, 10)), 10);
  EXPECT_EQ(plot_grid::TickSpacing(76, plot_grid::TickCount(76, 10)), 10);
  EXPECT_EQ(plot_grid::TickSpacing(51, plot_grid::TickCount(51, 15)), 16);
  EXPECT_EQ(plot_grid::TickSpacing(2, plot_grid::TickCount(2, 10)), 1);
}

// Whole plots, compared character for character with hand-checked files.
TEST_F(PlotTest, AutomaticRangesMatchExpectedPlot) {
  Points p;
  p.Add(0, 0, 0);
  p.Add(25, 2.5, 1);
  p.Add(50, 5, 2);
  p.Add(10, 4, 7);
  p.Add(40, 1, 3);
  const std::vector<double> x_before = p.x, y_before = p.y;
  LinePlot().Execute(out_.get(), p.x.data(), p.y.data(), p.kind.data(), p.n(),
                     0, 0, 0, 0, 0);
  EXPECT_EQ(Written(), Expected("line_plot_auto.txt"));
  EXPECT_EQ(p.x, x_before);
  EXPECT_EQ(p.y, y_before);
}

TEST_F(PlotTest, CallerRangesAndSharedCellsMatchExpectedPlot) {
  Points p;
  p.Add(0.5, 0.8, 0);  // V then C on one cell: C
  p.Add(0.5, 0.8, 2);
  p.Add(1.5, 0.8, 2);  // C then V: C stays
  p.Add(1.5, 0.8, 0);
  p.Add(1.0, 0.5, 1);  // L, V elsewhere, then V on the L: the V is written
  p.Add(1.2, 0.5, 0);
  p.Add(1.0, 0.5, 0);
  p.Add(0.0, 0.0, 7);
  p.Add(2.0, 1.0, 4);
  p.Add(2.0, 0.0, 9);  // not a drawn kind
  p.Add(2.5, 0.5, 0);  // off the grid on every side
  p.Add(1.0, 1.3, 0);
  p.Add(-0.3, 0.2, 1);
  p.Add(1.0, -0.5, 1);
  LinePlot(11, 21).Execute(out_.get(), p.x.data(), p.y.data(), p.kind.data(),
                           p.n(), 1, 0.0, 2.0, 0.0, 1.0);
  EXPECT_EQ(Written(), Expected("line_plot_mode1.txt"));
}

TEST_F(PlotTest, UnitXAxisModesMatchExpectedPlots) {
  Points two;
  two.Add(0.0, 3.2, 0);
  two.Add(0.5, 5.0, 1);
  two.Add(1.0, 7.9, 5);
  two.Add(1.5, 6.0, 0);
  LinePlot plot(11, 21);
  plot.Execute(out_.get(), two.x.data(), two.y.data(), two.kind.data(), two.n(),
               2, 0, 0, 0, 0);
  EXPECT_EQ(Written(), Expected("line_plot_mode2.txt"));

  ASSERT_TRUE(out_->Create());
  Points three;
  three.Add(0.2, -4.5, 0);
  three.Add(0.6, -2.0, 6);
  three.Add(0.8, 0.5, 1);  // rounds onto the top row
  three.Add(0.9, 1.0, 1);  // above it: skipped
  plot.Execute(out_.get(), three.x.data(), three.y.data(), three.kind.data(),
               three.n(), 3, 0, 0, 0, 0);
  EXPECT_EQ(Written(), Expected("line_plot_mode3.txt"));
}

TEST_F(PlotTest, TernaryWithTwoArraysMatchesExpectedPlot) {
  Points p;
  p.Add(1.0, 0.0, 0);  // component 1: bottom left
  p.Add(0.0, 0.0, 2);  // component 3: apex, column 37
  p.Add(0.0, 1.0, 1);  // component 2: bottom right
  p.Add(0.3, 0.3, 7);
  p.Add(0.5, 0.5, 3);
  p.Add(0.2, 0.2, 0);
  TernaryLinePlot().Execute(out_.get(), p.x.data(), p.y.data(), nullptr,
                            p.kind.data(), p.n());
  EXPECT_EQ(Written(), Expected("ternary_two_arrays.txt"));
}

TEST_F(PlotTest, TernaryWithThreeArraysMatchesExpectedPlot) {
  Points p;
  p.Add(1.0, 1.0, 2.0, 0);  // same cell as the next
  p.Add(0.25, 0.25, 0.5, 2);
  p.Add(2.0, 1.0, 1.0, 1);
  p.Add(0.0, 0.0, 0.0, 1);  // no composition: skipped
  p.Add(1.0, 0.0, 0.0, 7);
  TernaryLinePlot().Execute(out_.get(), p.x.data(), p.y.data(), p.c.data(),
                            p.kind.data(), p.n());
  EXPECT_EQ(Written(), Expected("ternary_three_arrays.txt"));
}

}  // namespace
}  // namespace pemar
