#include "pemar/diag/DataPlot.h"

#include <gtest/gtest.h>

#include <vector>

#include "pemar/diag/SteamChart.h"
#include "pemar/diag/testing/SvgMarks.h"
#include "pemar/framework/FileSystem.h"
#include "pemar/framework/MemoryFileSystem.h"

namespace pemar {
namespace {

TEST(DataPlotTest, EachDataSetGivesItsOwnColumnsCutToTheShortest) {
  for (PlotTypeEnum type : {kTwoDimPlotType, kEquTriPlotType}) {
    DataPlot plot(type);
    const int a = plot.Add(DataSetKind::kLine, "a", 0, {1, 2, 3}, {4, 5}).id;
    const int b =
        plot.Add(DataSetKind::kPoint, "", 1, {7, 8}, {9, 10}, {0.5}).id;
    const int c = plot.Add(DataSetKind::kArrow, "c", 2, {}, {1}).id;
    EXPECT_NE(a, b);
    const std::vector<PlotPoint> first = plot.Plot().Points(a);
    ASSERT_EQ(first.size(), 2u);
    EXPECT_EQ(first[1].x, 2);
    EXPECT_EQ(first[1].y, 5);
    EXPECT_EQ(first[1].z, kEmptyValue);
    const std::vector<PlotPoint> second = plot.Plot().Points(b);
    ASSERT_EQ(second.size(), 1u);
    EXPECT_EQ(second[0].z, 0.5);
    EXPECT_TRUE(plot.Plot().Points(c).empty());
    EXPECT_FALSE(plot.Plot().DataArea().Find(b)->show_in_legend);
  }
}

TEST(DataPlotTest, PictureShowsLabelsAndIsWrittenAtomically) {
  DataPlot plot;
  plot.SetLabels("Title", "x <K>", "");
  plot.Add(DataSetKind::kLine, "curve", 2, {0, 1}, {0, 1});
  const std::string svg = plot.Svg();
  if (testing::kCanParseSvg) {
    EXPECT_EQ(testing::SvgMarks(svg, "//text[@class='label-x']")[0].text,
              "x <K>");
    EXPECT_TRUE(testing::SvgMarks(svg, "//text[@class='label-y']").empty());
  }
  MemoryFileSystem fs;
  ScopedFileSystem scoped(&fs);
  fs.SetFile("p.svg", "old");
  ASSERT_TRUE(plot.WriteSvg("p.svg"));
  EXPECT_EQ(fs.GetFile("p.svg"), svg);
}

// The steam chart names its curves in the legend; one state is "state".
TEST(DataPlotTest, SteamChartShowsTheCurvesAndTheStates) {
  if (!testing::kCanParseSvg) GTEST_SKIP() << testing::kNoSvgParser;
  for (const auto& [states, last] :
       {std::pair{std::vector<SteamChartState>{}, "critical point"},
        {{{373.15, 101.325}}, "state"},
        {{{373.15, 101.325}, {600, 1000}}, "states"}}) {
    const auto labels = testing::SvgMarks(SteamChartSvg(states),
                                          "//text[@class='legend-label']");
    ASSERT_FALSE(labels.empty());
    EXPECT_EQ(labels[0].text, "saturation");
    EXPECT_EQ(labels.back().text, last);
  }
}

}  // namespace
}  // namespace pemar
