#include "pemar/diag/PlotSvg.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "pemar/diag/PlottedDataSet.h"
#include "pemar/diag/testing/SvgMarks.h"
#include "pemar/framework/FileSystem.h"
#include "pemar/framework/MemoryFileSystem.h"
#include "pemar/framework/ViewableProtocol.h"

namespace pemar {
namespace {

using testing::kCanParseSvg;
using testing::kNoSvgParser;
using Mark = testing::SvgMark;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Answers "x.1.[]", "y.1.[]" and "z.1.[]" with the columns the test sets.
class Source : public Viewable {
 public:
  Source() : Viewable(nullptr, nullptr) {}
  double Value(const VarDescription& d) override {
    const std::vector<double>& c = Column(d);
    const auto i = static_cast<std::size_t>(d.Index());
    return i < c.size() ? c[i] : kEmptyValue;
  }
  unsigned char Dimensions(const VarDescription& d, DimInfo& dims) override {
    dims.AddDim(static_cast<int>(Column(d).size()));
    return 1;
  }
  std::vector<double> x, y, z;

 private:
  const std::vector<double>& Column(const VarDescription& d) const {
    return d.VariableIs("x") ? x : d.VariableIs("y") ? y : z;
  }
};

class PlotSvgTest : public ::testing::Test {
 protected:
  // Gives `plot` one data set of `kind` over the source's columns.
  void AddSet(PlotObject& plot, DataSetKind kind, bool three = false) {
    std::vector<Text> monikers = {"x.1.[]", "y.1.[]"};
    if (three) monikers.emplace_back("z.1.[]");
    plot.DataArea().Create(kind, 1, monikers, "set", GetColourID(3),
                           kDefaultSymbol);
  }

  std::vector<Mark> Marks(const std::string& svg, const char* xpath) {
    return testing::SvgMarks(svg, xpath);
  }

  Source source_;
  PlotParameters parameters_{2};
  TwoDimPlot plot_{&source_, &parameters_};
  const SvgPlotArea area_ = PlotSvgArea({});
};

TEST_F(PlotSvgTest, AwkwardDataStillGivesWellFormedPictures) {
  if (!kCanParseSvg) GTEST_SKIP() << kNoSvgParser;
  ThreeDimPlot cube(&source_, nullptr);
  EquTriDimPlot triangle(&source_, nullptr);
  PlotObject* plots[] = {&plot_, &cube, &triangle};
  const struct {
    std::vector<double> x, y;
  } kData[] = {
      {{}, {}},
      {{0.2}, {0.3}},
      {{kNaN, 0.1, kEmptyValue, 1e300}, {0.5, -kNaN, 0.2, -1e300}},
      {{-1, 0, std::numeric_limits<double>::infinity()}, {0, -2, 1}},
  };
  for (PlotObject* plot : plots) {
    AddSet(*plot, DataSetKind::kLine, plot == &cube);
    plot->DataArea().Create(DataSetKind::kArrow, 2, {"x.1.[]", "y.1.[]"},
                            "arrows", GetColourID(5), kNoSymbol);
    for (bool log : {false, true}) {
      if (plot == &plot_) plot_.SetLogAxis(log, log);
      for (const auto& data : kData) {
        source_.x = source_.z = data.x;
        source_.y = data.y;
        const std::string svg = RenderPlotSvg(*plot);
        EXPECT_EQ(Marks(svg, "/svg").size(), 1u) << svg;
        EXPECT_TRUE(Marks(svg, "//script").empty());
        EXPECT_EQ(svg, RenderPlotSvg(*plot));
      }
    }
  }
}

TEST_F(PlotSvgTest, SkippedValuesBreakTheLine) {
  if (!kCanParseSvg) GTEST_SKIP() << kNoSvgParser;
  AddSet(plot_, DataSetKind::kLine);
  source_.x = {0, 1, 2, 3, 4, 5, 6};
  source_.y = {1, 2, kNaN, 3, kEmptyValue, 4, 5};
  const std::string svg = RenderPlotSvg(plot_);
  EXPECT_EQ(Marks(svg, "//g[@clip-path]//polyline").size(), 2u);
  EXPECT_EQ(Marks(svg, "//g[@clip-path]//circle").size(), 5u);
}

TEST_F(PlotSvgTest, EmptyPlotDrawsAxesOnly) {
  if (!kCanParseSvg) GTEST_SKIP() << kNoSvgParser;
  const std::string svg = RenderPlotSvg(plot_);
  EXPECT_TRUE(Marks(svg, "//g[@class='data-set']").empty());
  const std::vector<Mark> ticks = Marks(svg, "//text[@class='tick-x']");
  ASSERT_FALSE(ticks.empty());
  EXPECT_EQ(ticks.front().text, "0");
  EXPECT_EQ(ticks.back().text, "1");
}

TEST_F(PlotSvgTest, PointsAndTicksSitWhereTheDataPutsThem) {
  if (!kCanParseSvg) GTEST_SKIP() << kNoSvgParser;
  AddSet(plot_, DataSetKind::kPoint);
  parameters_.SetRange(1, 0, 1);
  const struct {
    bool log;
    double minimum, maximum;
    std::vector<double> x;
    std::vector<double> at;  // fractions of the axis; for the points drawn
    std::string format;
    std::vector<std::string> ticks;
  } kCases[] = {
      {false,
       0,
       10,
       {0, 5, 10},
       {0, 0.5, 1},
       "%.1f",
       {"0.0", "2.0", "4.0", "6.0", "8.0", "10.0"}},
      {true,
       1,
       1000,
       {1, -1, 10, 0, 100},
       {0, 1 / 3.0, 2 / 3.0},
       "%g",
       {"1", "10", "100", "1000"}},
      // A format that would read other arguments is not used.
      {false, 0, 1, {1}, {1}, "%s%n", {"0", "0.2", "0.4", "0.6", "0.8", "1"}},
      // Nor one that a NUL would cut short ("%.2" as printf sees it).
      {false,
       0,
       1,
       {1},
       {1},
       std::string("%.2\0f", 5),
       {"0", "0.2", "0.4", "0.6", "0.8", "1"}},
  };
  for (const auto& c : kCases) {
    plot_.SetLogAxis(c.log, false);
    plot_.Axis(0)->number_format = c.format;
    parameters_.SetRange(0, c.minimum, c.maximum);
    source_.x = c.x;
    source_.y.assign(c.x.size(), 0.5);
    const std::string svg = RenderPlotSvg(plot_);
    const double width = area_.right - area_.left;
    const std::vector<Mark> points = Marks(svg, "//g[@clip-path]//circle");
    ASSERT_EQ(points.size(), c.at.size()) << svg;
    for (std::size_t i = 0; i < points.size(); ++i) {
      EXPECT_NEAR(points[i].x, area_.left + c.at[i] * width, 0.01);
      EXPECT_NEAR(points[i].y, (area_.top + area_.bottom) / 2, 0.01);
    }
    const std::vector<Mark> ticks = Marks(svg, "//text[@class='tick-x']");
    ASSERT_EQ(ticks.size(), c.ticks.size()) << svg;
    for (std::size_t i = 0; i < ticks.size(); ++i) {
      EXPECT_EQ(ticks[i].text, c.ticks[i]);
      const double fraction = static_cast<double>(i) / (ticks.size() - 1);
      EXPECT_NEAR(ticks[i].x, area_.left + fraction * width, 0.01);
    }
  }
}

TEST_F(PlotSvgTest, LabelsThatNeedEscapingStayText) {
  if (!kCanParseSvg) GTEST_SKIP() << kNoSvgParser;
  const std::string label = "<&>\"' a]]>b \xC3\xA9";
  plot_.SetTitle(label);
  plot_.Axis(1)->label = label;
  plot_.Axis(1)->label_visible = true;
  AddSet(plot_, DataSetKind::kLine);
  plot_.DataArea().At(0).label = label;
  plot_.DataArea().At(0).show_in_legend = true;
  const std::string svg = RenderPlotSvg(plot_);
  for (const char* xpath :
       {"//text[@class='title']", "//text[@class='label-y']",
        "//text[@class='legend-label']"}) {
    const std::vector<Mark> texts = Marks(svg, xpath);
    ASSERT_EQ(texts.size(), 1u) << xpath;
    EXPECT_EQ(texts[0].text, label);
  }
  // Bytes that are not UTF-8 (a lone lead, an overlong form, a surrogate)
  // and control characters cannot stay.
  plot_.SetTitle("a\xC3 \xC0\x80 \xED\xA0\x80\x01\tz");
  const std::vector<Mark> title =
      Marks(RenderPlotSvg(plot_), "//text[@class='title']");
  ASSERT_EQ(title.size(), 1u);
  EXPECT_EQ(title[0].text,
            "a\xEF\xBF\xBD \xEF\xBF\xBD\xEF\xBF\xBD "
            "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\tz");
}

TEST_F(PlotSvgTest, TriangleCornersHoldTheirPureComponents) {
  if (!kCanParseSvg) GTEST_SKIP() << kNoSvgParser;
  // The first, second and third corner, the middle of the first side, and
  // a point that is skipped: fractions past the triangle, or a third amount
  // that is missing. Three amounts are in any common unit.
  const struct {
    bool equilateral, three;
    std::vector<double> x, y, z;
  } kCases[] = {
      {true, false, {1, 0, 0, 0.5, 0.8}, {0, 1, 0, 0.5, 0.8}, {}},
      {false, false, {1, 0, 0, 0.5, 0.8}, {0, 1, 0, 0.5, 0.8}, {}},
      {true,
       true,
       {2, 0, 0, 3, 0.3},
       {0, 2, 0, 3, 0.3},
       {0, 0, 2, 0, kEmptyValue}},
  };
  for (const auto& c : kCases) {
    EquTriDimPlot triangle(&source_, nullptr);
    triangle.AmIAnEquTriangle(c.equilateral);
    for (int i = 0; i < 3; ++i)
      triangle.Axis(i)->label = std::string(1, "ABC"[i]);
    AddSet(triangle, DataSetKind::kPoint, c.three);
    source_.x = c.x;
    source_.y = c.y;
    source_.z = c.z;
    const std::string svg = RenderPlotSvg(triangle);
    const std::vector<Mark> corners = Marks(svg, "//text[@class='corner']");
    ASSERT_EQ(corners.size(), 3u);
    EXPECT_EQ(corners[0].text + corners[1].text + corners[2].text, "ABC");
    const std::vector<Mark> points = Marks(svg, "//g[@clip-path]//circle");
    ASSERT_EQ(points.size(), 4u);
    EXPECT_NEAR(points[0].x, corners[0].x, 0.01);
    EXPECT_NEAR(points[1].x, corners[1].x, 0.01);
    EXPECT_NEAR(points[2].x, corners[2].x, 0.01);
    EXPECT_NEAR(points[0].y, area_.bottom, 0.01);
    EXPECT_NEAR(points[1].y, area_.bottom, 0.01);
    EXPECT_LT(points[2].y, area_.bottom - 100);
    EXPECT_NEAR(points[3].x, (points[0].x + points[1].x) / 2, 0.01);
  }
}

TEST_F(PlotSvgTest, ThreeDimensionsFacingFrontShowXAcrossAndZUp) {
  if (!kCanParseSvg) GTEST_SKIP() << kNoSvgParser;
  ThreeDimPlot cube(&source_, nullptr);
  cube.SetViewAngles(0, 0);
  AddSet(cube, DataSetKind::kPoint, true);
  source_.x = {0, 1, 1, 0};
  source_.y = {0, 0, 1, 1};  // depth: hidden when facing front
  source_.z = {0, 1, 1, 0};
  const std::vector<Mark> p =
      Marks(RenderPlotSvg(cube), "//g[@clip-path]//circle");
  ASSERT_EQ(p.size(), 4u);
  EXPECT_GT(p[1].x, p[0].x);
  EXPECT_LT(p[1].y, p[0].y);
  EXPECT_NEAR(p[2].x, p[1].x, 0.01);
  EXPECT_NEAR(p[2].y, p[1].y, 0.01);
  EXPECT_NEAR(p[3].x, p[0].x, 0.01);
}

TEST_F(PlotSvgTest, WriteReplacesTheFileWithThePicture) {
  MemoryFileSystem fs;
  ScopedFileSystem scoped(&fs);
  fs.SetFile("plot.svg", "old");
  plot_.SetTitle("T");
  ASSERT_TRUE(WritePlotSvg(plot_, "plot.svg"));
  EXPECT_EQ(fs.GetFile("plot.svg"), RenderPlotSvg(plot_));
}

}  // namespace
}  // namespace pemar
