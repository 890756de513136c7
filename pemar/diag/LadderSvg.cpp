#include "pemar/diag/LadderSvg.h"

#include <algorithm>
#include <cmath>

#include "pemar/diag/PlotSvgInternal.h"
#include "pemar/diag/PlottedDataSet.h"
#include "pemar/framework/Types.h"
#include "pemar/utility/DefaultUtility.h"
#include "pemar/utility/IDefaultUtilityManager.h"

namespace pemar {
namespace {

using plot_svg::Escape;
using plot_svg::Num;
using plot_svg::Usable;

constexpr double kTop = 60.0;
constexpr double kBottom = 60.0;
constexpr double kRow = 26.0;
constexpr int kMaxSize = 10000;

std::string Colour(bool hot) {
  return plot_svg::Hex(GetColourID(hot ? 0 : 2).Rgb());
}

void Label(std::string& out, double x, double y, const char* anchor,
           const char* cls, const std::string& text, const char* extra = "") {
  out += "<text x=\"" + Num(x) + "\" y=\"" + Num(y) + "\" text-anchor=\"" +
         anchor + "\" class=\"" + cls + "\"" + extra + ">" + Escape(text) +
         "</text>\n";
}

void Rect(std::string& out, double x, double y, double w, double h,
          const std::string& fill, const char* extra = "") {
  out += "<rect x=\"" + Num(x) + "\" y=\"" + Num(y) + "\" width=\"" + Num(w) +
         "\" height=\"" + Num(h) + "\" fill=\"" + fill + "\"" + extra + "/>\n";
}

// A bar from a to b at height y; ends that cannot be drawn leave it out.
void Bar(std::string& out, const plot_svg::Scale& s, double a, double b,
         double y, double h, const std::string& fill, const char* extra) {
  if (!Usable(a) || !Usable(b)) return;
  double x0 = s.Map(std::min(a, b));
  double x1 = s.Map(std::max(a, b));
  if (x1 - x0 < 2.0) {  // equal ends: a tick that can still be seen
    x0 -= 1.0;
    x1 += 1.0;
  }
  Rect(out, x0, y, x1 - x0, h, fill, extra);
}

}  // namespace

std::string RenderLadderSvg(const std::vector<LadderBar>& bars,
                            const std::string& title,
                            const std::string& axis_label,
                            const SvgOptions& options) {
  const int w = std::clamp(options.width, 100, kMaxSize);
  const int most = static_cast<int>((kMaxSize - kTop - kBottom) / kRow);
  const int rows = std::min(static_cast<int>(bars.size()), most);
  const int h = std::clamp(
      std::max(options.height, static_cast<int>(kTop + kBottom + rows * kRow)),
      100, kMaxSize);
  const double left = std::min(200.0, w / 3.0);
  const double right = w - 30.0;
  const double bottom = h - kBottom;

  std::vector<double> values;
  for (int i = 0; i < rows; ++i) {
    const LadderBar& b = bars[static_cast<std::size_t>(i)];
    for (double v : {b.from, b.to, b.range_low, b.range_high}) {
      values.push_back(v);
    }
  }
  plot_svg::Scale scale;
  scale.from_px = left;
  scale.to_px = right;
  plot_svg::ChooseRange(values, kEmptyValue, kEmptyValue, scale);

  std::string out = plot_svg::SvgStart(w, h);
  Rect(out, 0, 0, w, h, "#ffffff");
  Label(out, w / 2.0, 28.0, "middle", "title", title, " font-size=\"16\"");
  const char* kinds[] = {"hot", "cold"};
  for (int k = 0; k < 2; ++k) {
    const double x = right - 150.0 + 80.0 * k;
    Rect(out, x, 38.0, 12.0, 10.0, Colour(k == 0));
    Label(out, x + 16.0, 47.0, "start", "legend-label", kinds[k]);
  }

  for (double t : plot_svg::Ticks(scale)) {
    const double x = scale.Map(t);
    out += "<line x1=\"" + Num(x) + "\" y1=\"" + Num(kTop) + "\" x2=\"" +
           Num(x) + "\" y2=\"" + Num(bottom + 5.0) +
           "\" stroke=\"#dddddd\"/>\n";
    Label(out, x, bottom + 20.0, "middle", "tick-x",
          plot_svg::FormatTick("%g", t));
  }
  out += "<line x1=\"" + Num(left) + "\" y1=\"" + Num(bottom) + "\" x2=\"" +
         Num(right) + "\" y2=\"" + Num(bottom) + "\" stroke=\"#000000\"/>\n";
  Label(out, (left + right) / 2.0, bottom + 44.0, "middle", "label-x",
        axis_label);

  for (int i = 0; i < rows; ++i) {
    const LadderBar& b = bars[static_cast<std::size_t>(i)];
    const double y = kTop + i * kRow;
    const std::string fill = Colour(b.hot);
    Label(out, left - 8.0, y + 15.0, "end", "name", b.name);
    Bar(out, scale, b.from, b.to, y + 4.0, 12.0, fill, "");
    Bar(out, scale, b.range_low, b.range_high, y + 18.0, 4.0, fill,
        " fill-opacity=\"0.4\"");
  }
  out += "</svg>\n";
  return out;
}

std::vector<LadderBar> UtilityLadderBars(IDefaultUtilityManager& db) {
  std::vector<LadderBar> bars;
  for (int i = 0; i < db.GetNumberOfDefaultUtilities(); ++i) {
    const DefaultUtility* u = db.GetDefaultUtility(i);
    if (u == nullptr) continue;
    LadderBar bar;
    bar.name = u->GetUtilityName() != nullptr ? u->GetUtilityName() : "";
    bar.hot = u->GetHeatType() != ColdSegment;
    bar.from = u->GetInletTemperature();
    bar.to = u->GetOutletTemperature();
    bar.range_low = u->GetARTempLow();
    bar.range_high = u->GetARTempHigh();
    bars.push_back(std::move(bar));
  }
  return bars;
}

std::string RenderUtilityLadderSvg(IDefaultUtilityManager& db,
                                   const SvgOptions& options) {
  return RenderLadderSvg(UtilityLadderBars(db), "Utility temperature ladder",
                         "Temperature / \xC2\xB0"
                         "C (bar: inlet to outlet; "
                         "beneath: AR range)",
                         options);
}

}  // namespace pemar
