#include "pemar/diag/LadderSvg.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "pemar/diag/testing/SvgMarks.h"
#include "pemar/framework/Types.h"
#include "pemar/utility/IDefaultUtilityManager.h"

namespace pemar {
namespace {

using testing::kCanParseSvg;
using testing::kNoSvgParser;
using testing::SvgMarks;

TEST(LadderSvgTest, BarsSitWhereTheirTemperaturesPutThem) {
  if (!kCanParseSvg) GTEST_SKIP() << kNoSvgParser;
  const double nan = std::nan("");
  const std::vector<LadderBar> bars = {
      {"Steam <&>", true, 100, 0, -20, 120},
      {"Water", false, 20, 50, kEmptyValue, 60},  // range left out
      {"Odd", true, nan, 40, 40, 40},             // bar left out, range a tick
  };
  const std::string svg = RenderLadderSvg(bars, "T", "axis");
  // The scale is read off the outer ticks.
  const auto texts = SvgMarks(svg, "//text[@class='tick-x']");
  ASSERT_GE(texts.size(), 2u) << svg;
  const testing::SvgMark& low = texts.front();
  const testing::SvgMark& high = texts.back();
  EXPECT_LE(std::stod(low.text), -20.0);
  EXPECT_GE(std::stod(high.text), 120.0);
  const double per_degree =
      (high.x - low.x) / (std::stod(high.text) - std::stod(low.text));
  const auto at = [&](double t) {
    return low.x + (t - std::stod(low.text)) * per_degree;
  };

  const auto names = SvgMarks(svg, "//text[@class='name']");
  ASSERT_EQ(names.size(), 3u);
  EXPECT_EQ(names[0].text, "Steam <&>");
  const auto rects = SvgMarks(svg, "//rect[@height='12.00' or @height='4.00']");
  ASSERT_EQ(rects.size(), 4u) << svg;
  const struct {
    double from, to;
    const char* fill;
  } kExpected[] = {{0, 100, "#ff0000"},
                   {-20, 120, "#ff0000"},
                   {20, 50, "#0000ff"},
                   {40, 40, "#ff0000"}};
  for (std::size_t i = 0; i < rects.size(); ++i) {
    const double widened = kExpected[i].from == kExpected[i].to ? 1.0 : 0.0;
    EXPECT_NEAR(rects[i].x, at(kExpected[i].from) - widened, 0.01) << i;
    EXPECT_NEAR(rects[i].x + rects[i].width, at(kExpected[i].to) + widened,
                0.01)
        << i;
    EXPECT_EQ(rects[i].fill, kExpected[i].fill);
  }
}

TEST(LadderSvgTest, RowsGrowThePictureUpToTheSizeLimit) {
  if (!kCanParseSvg) GTEST_SKIP() << kNoSvgParser;
  for (std::size_t n : {0u, 30u, 5000u}) {
    const std::vector<LadderBar> bars(n, LadderBar{"u", true, 0, 1, 0, 1});
    const std::string svg = RenderLadderSvg(bars, "", "");
    const auto root = SvgMarks(svg, "/svg");
    ASSERT_EQ(root.size(), 1u);
    const auto names = SvgMarks(svg, "//text[@class='name']");
    EXPECT_EQ(names.size(), std::min<std::size_t>(n, 380)) << n;
    EXPECT_NE(svg.find(n == 0    ? "height=\"480\""
                       : n == 30 ? "height=\"900\""
                                 : "height=\"10000\""),
              std::string::npos);
  }
}

TEST(LadderSvgTest, UtilityDatabaseGivesOneBarPerUtility) {
  IDefaultUtilityManager* db = CreateDefaultUtilManager();
  const std::vector<LadderBar> bars = UtilityLadderBars(*db);
  ASSERT_EQ(static_cast<int>(bars.size()), db->GetNumberOfDefaultUtilities());
  EXPECT_TRUE(bars.front().hot);
  EXPECT_EQ(bars.front().name, "LP Steam");
  EXPECT_FALSE(bars[12].hot);  // Cooling Water
  ReleaseDefaultUtilManager(db);
}

}  // namespace
}  // namespace pemar
