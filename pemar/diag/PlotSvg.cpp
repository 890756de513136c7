#include "pemar/diag/PlotSvg.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

#include "pemar/diag/PlotSvgInternal.h"
#include "pemar/framework/FileSystem.h"
#include "pemar/framework/Types.h"

namespace pemar {
namespace {

using plot_svg::Escape;
using plot_svg::Num;
using plot_svg::Scale;

constexpr double kPi = 3.14159265358979323846;
constexpr double kLegendWidth = 170.0;

struct Px {
  double x = 0.0;
  double y = 0.0;
};

// A data set with the points it gives now and where they are drawn (none
// for a point that is skipped).
struct DrawnSet {
  const PlotDataSet* set = nullptr;
  std::vector<PlotPoint> points;
  std::vector<std::optional<Px>> at;
};

const PlotAxis& AxisOf(const PlotObject& plot, int i) {
  static const PlotAxis kNone;
  const PlotAxis* axis = plot.Axis(i);
  return axis ? *axis : kNone;
}

double ParameterMinimum(const PlotObject& plot, int axis) {
  return plot.Parameters() ? plot.Parameters()->Minimum(axis) : kEmptyValue;
}
double ParameterMaximum(const PlotObject& plot, int axis) {
  return plot.Parameters() ? plot.Parameters()->Maximum(axis) : kEmptyValue;
}

std::vector<DrawnSet> ReadSets(const PlotObject& plot) {
  std::vector<DrawnSet> sets;
  const PlotDataArea& area = plot.DataArea();
  for (std::size_t i = 0; i < area.Count(); ++i) {
    DrawnSet drawn;
    drawn.set = &area.At(i);
    drawn.points = DataSetPoints(plot.GetOwner(), area.At(i));
    sets.push_back(std::move(drawn));
  }
  return sets;
}

// The values of coordinate `c` (0 x, 1 y, 2 z) of every point.
std::vector<double> Values(const std::vector<DrawnSet>& sets, int c) {
  std::vector<double> values;
  for (const DrawnSet& s : sets) {
    for (const PlotPoint& p : s.points) {
      values.push_back(c == 0 ? p.x : c == 1 ? p.y : p.z);
    }
  }
  return values;
}

void TextAt(std::string& out, Px at, const char* anchor, const char* cls,
            std::string_view text, const std::string& extra = {}) {
  out += "<text x=\"" + Num(at.x) + "\" y=\"" + Num(at.y) +
         "\" text-anchor=\"" + anchor + "\" class=\"" + cls + "\"" + extra +
         ">" + Escape(text) + "</text>\n";
}

void LineAt(std::string& out, Px a, Px b, const char* cls, const char* stroke) {
  out += "<line x1=\"" + Num(a.x) + "\" y1=\"" + Num(a.y) + "\" x2=\"" +
         Num(b.x) + "\" y2=\"" + Num(b.y) + "\" class=\"" + cls +
         "\" stroke=\"" + stroke + "\"/>\n";
}

const char* DashArray(LineStyles style) {
  switch (style) {
    case 1:
      return "8,4";
    case 2:
      return "2,3";
    case 3:
      return "8,3,2,3";
    case 4:
      return "8,3,2,3,2,3";
    default:
      return nullptr;
  }
}

// Symbol shapes: the default symbol is a circle; other codes take a square,
// diamond, triangle, plus or cross by their remainder.
void Symbol(std::string& out, const PlotDataSet& set, Px c) {
  const double size = std::isfinite(set.symbol_size) ? set.symbol_size : 1.0;
  const double r = std::clamp(3.0 * size, 1.0, 30.0);
  const int shape = set.symbol == kDefaultSymbol ? 0 : std::abs(set.symbol % 6);
  const auto at = [&](double dx, double dy) {
    return Num(c.x + dx * r) + "," + Num(c.y + dy * r);
  };
  switch (shape) {
    case 0:
      out += "<circle cx=\"" + Num(c.x) + "\" cy=\"" + Num(c.y) + "\" r=\"" +
             Num(r) + "\"/>\n";
      return;
    case 1:
      out += "<rect x=\"" + Num(c.x - r) + "\" y=\"" + Num(c.y - r) +
             "\" width=\"" + Num(2 * r) + "\" height=\"" + Num(2 * r) +
             "\"/>\n";
      return;
    case 2:
      out += "<polygon points=\"" + at(0, -1) + " " + at(1, 0) + " " +
             at(0, 1) + " " + at(-1, 0) + "\"/>\n";
      return;
    case 3:
      out += "<polygon points=\"" + at(0, -1) + " " + at(1, 0.8) + " " +
             at(-1, 0.8) + "\"/>\n";
      return;
    case 4:
      out += "<path fill=\"none\" d=\"M" + at(-1, 0) + " L" + at(1, 0) + " M" +
             at(0, -1) + " L" + at(0, 1) + "\"/>\n";
      return;
    default:
      out += "<path fill=\"none\" d=\"M" + at(-1, -1) + " L" + at(1, 1) + " M" +
             at(-1, 1) + " L" + at(1, -1) + "\"/>\n";
  }
}

void Arrow(std::string& out, const PlotDataSet& set, Px a, Px b) {
  out += "<line x1=\"" + Num(a.x) + "\" y1=\"" + Num(a.y) + "\" x2=\"" +
         Num(b.x) + "\" y2=\"" + Num(b.y) + "\"/>\n";
  const double dx = b.x - a.x;
  const double dy = b.y - a.y;
  const double length = std::hypot(dx, dy);
  if (!(length > 1e-9) || !std::isfinite(length)) return;
  const double size = std::isfinite(set.symbol_size) ? set.symbol_size : 1.0;
  const double head = std::clamp(8.0 * size, 3.0, 40.0);
  const double ux = dx / length;
  const double uy = dy / length;
  const Px base{b.x - head * ux, b.y - head * uy};
  out += "<polygon points=\"" + Num(b.x) + "," + Num(b.y) + " " +
         Num(base.x - uy * head / 2) + "," + Num(base.y + ux * head / 2) + " " +
         Num(base.x + uy * head / 2) + "," + Num(base.y - ux * head / 2) +
         "\"/>\n";
}

// A data set's line (broken at skipped points), symbols or arrows.
void DrawSet(std::string& out, const DrawnSet& drawn) {
  const PlotDataSet& set = *drawn.set;
  const std::string colour = plot_svg::Hex(set.colour.Rgb());
  const int width = std::clamp(set.line_width, 1, 20);
  out += "<g class=\"data-set\" stroke=\"" + colour + "\" fill=\"" + colour +
         "\" stroke-width=\"" + std::to_string(width) + "\">\n";
  if (set.kind == DataSetKind::kArrow) {
    for (std::size_t i = 0; i + 1 < drawn.at.size(); i += 2) {
      if (drawn.at[i] && drawn.at[i + 1]) {
        Arrow(out, set, *drawn.at[i], *drawn.at[i + 1]);
      }
    }
    out += "</g>\n";
    return;
  }
  if (set.kind == DataSetKind::kLine && set.show_line) {
    const char* dash = DashArray(set.line_style);
    std::string run;
    std::size_t run_points = 0;
    const auto flush = [&] {
      if (run_points > 1) {
        out += "<polyline class=\"line\" fill=\"none\"";
        if (dash) out += std::string(" stroke-dasharray=\"") + dash + "\"";
        out += " points=\"" + run + "\"/>\n";
      }
      run.clear();
      run_points = 0;
    };
    for (const std::optional<Px>& p : drawn.at) {
      if (!p) {
        flush();
        continue;
      }
      if (run_points++ > 0) run += ' ';
      run += Num(p->x) + "," + Num(p->y);
    }
    flush();
  }
  if (set.show_symbols && set.symbol != kNoSymbol) {
    for (const std::optional<Px>& p : drawn.at) {
      if (p) Symbol(out, set, *p);
    }
  }
  if (set.show_text_on_plot) {
    for (const std::optional<Px>& p : drawn.at) {
      if (!p) continue;
      TextAt(out, {p->x + 6, p->y - 6}, "start", "set-text", set.label.str(),
             " stroke=\"none\"");
      break;
    }
  }
  out += "</g>\n";
}

void Legend(std::string& out, const PlotObject& plot,
            const std::vector<DrawnSet>& sets, const SvgPlotArea& area) {
  if (!plot.LegendShown()) return;
  double y = area.top + 10.0;
  for (const DrawnSet& drawn : sets) {
    if (!drawn.set->show_in_legend) continue;
    DrawnSet sample;
    sample.set = drawn.set;
    const double x = area.right + 20.0;
    // A short line or arrow, or one symbol for a point set.
    if (drawn.set->kind == DataSetKind::kPoint) {
      sample.at = {Px{x + 15.0, y}};
    } else {
      sample.at = {Px{x, y}, Px{x + 30.0, y}};
    }
    out += "<g class=\"legend\">\n";
    DrawSet(out, sample);
    TextAt(out, {x + 38.0, y + 4.0}, "start", "legend-label",
           drawn.set->label.str());
    out += "</g>\n";
    y += 20.0;
  }
}

std::string Open(const PlotObject& plot, const SvgOptions& options,
                 const SvgPlotArea& area) {
  const int w = std::clamp(options.width, 100, 10000);
  const int h = std::clamp(options.height, 100, 10000);
  std::string out = plot_svg::SvgStart(w, h) + "<defs><clipPath id=\"" +
                    Escape(options.clip_id) + "\"><rect x=\"" + Num(area.left) +
                    "\" y=\"" + Num(area.top) + "\" width=\"" +
                    Num(area.right - area.left) + "\" height=\"" +
                    Num(area.bottom - area.top) +
                    "\"/></clipPath></defs>\n"
                    "<rect width=\"" +
                    std::to_string(w) + "\" height=\"" + std::to_string(h) +
                    "\" fill=\"#ffffff\"/>\n";
  if (!plot.Title().IsEmpty()) {
    TextAt(out, {w / 2.0, 28.0}, "middle", "title", plot.Title().str(),
           " font-size=\"16\"");
  }
  return out;
}

void DrawData(std::string& out, const std::vector<DrawnSet>& sets,
              const std::string& clip_id) {
  out += "<g clip-path=\"url(#" + Escape(clip_id) + ")\">\n";
  for (const DrawnSet& drawn : sets) DrawSet(out, drawn);
  out += "</g>\n";
}

void TwoDim(std::string& out, const PlotObject& plot,
            std::vector<DrawnSet>& sets, const SvgPlotArea& area) {
  Scale x{0, 1, AxisOf(plot, 0).log, area.left, area.right};
  Scale y{0, 1, AxisOf(plot, 1).log, area.bottom, area.top};
  plot_svg::ChooseRange(Values(sets, 0), ParameterMinimum(plot, 0),
                        ParameterMaximum(plot, 0), x);
  plot_svg::ChooseRange(Values(sets, 1), ParameterMinimum(plot, 1),
                        ParameterMaximum(plot, 1), y);
  const bool grid = plot.Parameters() && plot.Parameters()->Grid();
  for (double t : plot_svg::Ticks(x)) {
    const double px = x.Map(t);
    if (grid) LineAt(out, {px, area.top}, {px, area.bottom}, "grid", "#dddddd");
    LineAt(out, {px, area.bottom}, {px, area.bottom + 5}, "tick", "#000000");
    TextAt(out, {px, area.bottom + 18}, "middle", "tick-x",
           plot_svg::FormatTick(AxisOf(plot, 0).number_format, t));
  }
  for (double t : plot_svg::Ticks(y)) {
    const double py = y.Map(t);
    if (grid) LineAt(out, {area.left, py}, {area.right, py}, "grid", "#dddddd");
    LineAt(out, {area.left - 5, py}, {area.left, py}, "tick", "#000000");
    TextAt(out, {area.left - 8, py + 4}, "end", "tick-y",
           plot_svg::FormatTick(AxisOf(plot, 1).number_format, t));
  }
  out += "<rect class=\"frame\" x=\"" + Num(area.left) + "\" y=\"" +
         Num(area.top) + "\" width=\"" + Num(area.right - area.left) +
         "\" height=\"" + Num(area.bottom - area.top) +
         "\" fill=\"none\" stroke=\"#000000\"/>\n";
  if (AxisOf(plot, 0).label_visible) {
    TextAt(out, {(area.left + area.right) / 2, area.bottom + 42}, "middle",
           "label-x", AxisOf(plot, 0).label.str());
  }
  if (AxisOf(plot, 1).label_visible) {
    const Px at{area.left - 55, (area.top + area.bottom) / 2};
    TextAt(out, at, "middle", "label-y", AxisOf(plot, 1).label.str(),
           " transform=\"rotate(-90 " + Num(at.x) + " " + Num(at.y) + ")\"");
  }
  for (DrawnSet& drawn : sets) {
    for (const PlotPoint& p : drawn.points) {
      if (x.Accepts(p.x) && y.Accepts(p.y)) {
        drawn.at.emplace_back(Px{x.Map(p.x), y.Map(p.y)});
      } else {
        drawn.at.emplace_back();
      }
    }
  }
}

// Corners of the triangle: first bottom-left, second bottom-right, third at
// the top (above the first for the right-angled form).
void Triangle(std::string& out, const EquTriDimPlot& plot,
              std::vector<DrawnSet>& sets, const SvgPlotArea& area) {
  const double w = area.right - area.left;
  const double h = area.bottom - area.top;
  Px corner[3];
  if (plot.IsEquTriangle()) {
    const double side = std::min(w, h * 2.0 / std::sqrt(3.0));
    const double middle = (area.left + area.right) / 2;
    corner[0] = {middle - side / 2, area.bottom};
    corner[1] = {middle + side / 2, area.bottom};
    corner[2] = {middle, area.bottom - side * std::sqrt(3.0) / 2};
  } else {
    const double side = std::min(w, h);
    corner[0] = {area.left, area.bottom};
    corner[1] = {area.left + side, area.bottom};
    corner[2] = {area.left, area.bottom - side};
  }
  const auto at = [&](double a, double b, double c) {
    return Px{a * corner[0].x + b * corner[1].x + c * corner[2].x,
              a * corner[0].y + b * corner[1].y + c * corner[2].y};
  };
  for (int k = 1; k < 10; ++k) {
    const double t = k / 10.0;
    LineAt(out, at(t, 1 - t, 0), at(t, 0, 1 - t), "grid", "#dddddd");
    LineAt(out, at(1 - t, t, 0), at(0, t, 1 - t), "grid", "#dddddd");
    LineAt(out, at(1 - t, 0, t), at(0, 1 - t, t), "grid", "#dddddd");
  }
  out += "<polygon class=\"frame\" fill=\"none\" stroke=\"#000000\" points=\"";
  for (const Px& c : corner) out += Num(c.x) + "," + Num(c.y) + " ";
  out.back() = '"';
  out += "/>\n";
  TextAt(out, {corner[0].x, corner[0].y + 18}, "middle", "corner",
         AxisOf(plot, 0).label.str());
  TextAt(out, {corner[1].x, corner[1].y + 18}, "middle", "corner",
         AxisOf(plot, 1).label.str());
  TextAt(out, {corner[2].x, corner[2].y - 8}, "middle", "corner",
         AxisOf(plot, 2).label.str());
  for (DrawnSet& drawn : sets) {
    // Only a set of two monikers has its third amount made up; a missing
    // value of a third moniker skips the point.
    const std::vector<Text>& monikers = drawn.set->monikers;
    const bool has_third = monikers.size() > 2 && !monikers[2].IsEmpty();
    for (const PlotPoint& p : drawn.points) {
      const double c = has_third ? p.z : 1.0 - p.x - p.y;
      const double sum = p.x + p.y + c;
      const bool fits = plot_svg::Usable(p.x) && plot_svg::Usable(p.y) &&
                        plot_svg::Usable(c) && p.x >= -1e-9 && p.y >= -1e-9 &&
                        c >= -1e-9 && sum > 0 && std::isfinite(sum);
      if (fits) {
        drawn.at.emplace_back(at(p.x / sum, p.y / sum, c / sum));
      } else {
        drawn.at.emplace_back();
      }
    }
  }
}

void ThreeDim(std::string& out, const ThreeDimPlot& plot,
              std::vector<DrawnSet>& sets, const SvgPlotArea& area) {
  Scale scale[3];
  for (int i = 0; i < 3; ++i) {
    scale[i].log = AxisOf(plot, i).log;
    plot_svg::ChooseRange(Values(sets, i), ParameterMinimum(plot, i),
                          ParameterMaximum(plot, i), scale[i]);
    scale[i].from_px = -0.5;
    scale[i].to_px = 0.5;
  }
  const double turn = std::isfinite(plot.FirstViewAngle())
                          ? plot.FirstViewAngle() * kPi / 180
                          : 0.0;
  const double tilt = std::isfinite(plot.SecondViewAngle())
                          ? plot.SecondViewAngle() * kPi / 180
                          : 0.0;
  const double size =
      std::min(area.right - area.left, area.bottom - area.top) / 1.8;
  const Px middle{(area.left + area.right) / 2, (area.top + area.bottom) / 2};
  // u, v, w from -0.5 to 0.5 along x, y and z.
  const auto project = [&](double u, double v, double w) {
    const double across = u * std::cos(turn) - v * std::sin(turn);
    const double depth = u * std::sin(turn) + v * std::cos(turn);
    const double up = w * std::cos(tilt) + depth * std::sin(tilt);
    return Px{middle.x + size * across, middle.y - size * up};
  };
  for (int edge = 0; edge < 12; ++edge) {
    // Four edges along each axis, at the corners of the other two.
    const int axis = edge / 4;
    const double p = (edge & 1) ? 0.5 : -0.5;
    const double q = (edge & 2) ? 0.5 : -0.5;
    double from[3];
    double to[3];
    from[axis] = -0.5;
    to[axis] = 0.5;
    from[(axis + 1) % 3] = to[(axis + 1) % 3] = p;
    from[(axis + 2) % 3] = to[(axis + 2) % 3] = q;
    LineAt(out, project(from[0], from[1], from[2]),
           project(to[0], to[1], to[2]), p < 0 && q < 0 ? "axis" : "box",
           p < 0 && q < 0 ? "#000000" : "#bbbbbb");
  }
  static const char* const kTickClass[3] = {"tick-x", "tick-y", "tick-z"};
  for (int i = 0; i < 3; ++i) {
    double end[3] = {-0.5, -0.5, -0.5};
    const PlotAxis& axis = AxisOf(plot, i);
    TextAt(out, project(end[0], end[1], end[2]), "end", kTickClass[i],
           plot_svg::FormatTick(axis.number_format, scale[i].min));
    end[i] = 0.5;
    Px tip = project(end[0], end[1], end[2]);
    TextAt(out, tip, "start", kTickClass[i],
           plot_svg::FormatTick(axis.number_format, scale[i].max));
    if (axis.label_visible) {
      TextAt(out, {tip.x, tip.y + 14}, "start", "label", axis.label.str());
    }
  }
  for (DrawnSet& drawn : sets) {
    for (const PlotPoint& p : drawn.points) {
      if (scale[0].Accepts(p.x) && scale[1].Accepts(p.y) &&
          scale[2].Accepts(p.z)) {
        drawn.at.emplace_back(
            project(scale[0].Map(p.x), scale[1].Map(p.y), scale[2].Map(p.z)));
      } else {
        drawn.at.emplace_back();
      }
    }
  }
}

}  // namespace

SvgPlotArea PlotSvgArea(const SvgOptions& options) {
  const double w = std::clamp(options.width, 100, 10000);
  const double h = std::clamp(options.height, 100, 10000);
  const double legend = std::min(kLegendWidth, w / 3);
  return {std::min(80.0, w / 5), std::min(50.0, h / 6), w - legend,
          h - std::min(60.0, h / 5)};
}

std::string RenderPlotSvg(const PlotObject& plot, const SvgOptions& options) {
  const SvgPlotArea area = PlotSvgArea(options);
  std::string out = Open(plot, options, area);
  std::vector<DrawnSet> sets = ReadSets(plot);
  if (const auto* triangle = dynamic_cast<const EquTriDimPlot*>(&plot)) {
    Triangle(out, *triangle, sets, area);
  } else if (const auto* cube = dynamic_cast<const ThreeDimPlot*>(&plot)) {
    ThreeDim(out, *cube, sets, area);
  } else {
    TwoDim(out, plot, sets, area);
  }
  DrawData(out, sets, options.clip_id);
  Legend(out, plot, sets, area);
  out += "</svg>\n";
  return out;
}

bool WritePlotSvg(const PlotObject& plot, const std::string& path,
                  const SvgOptions& options) {
  const std::string svg = RenderPlotSvg(plot, options);
  return WriteFileAtomically(path, svg.data(), svg.size());
}

}  // namespace pemar
