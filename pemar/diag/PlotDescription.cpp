#include "pemar/diag/PlotDescription.h"

#include <cmath>
#include <cstdio>

#include "pemar/diag/NamedPlot.h"
#include "pemar/diag/PlotView.h"
#include "pemar/framework/Document.h"
#include "pemar/framework/ObjectManager.h"
#include "pemar/framework/PlotObjects.h"

namespace pemar {
namespace {

class Describer {
 public:
  explicit Describer(bool readable) : readable_(readable) {}

  std::string Number(double value) const {
    if (std::isnan(value)) return "nan";
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, readable_ ? "%.6g" : "%a", value);
    return buffer;
  }

  static std::string Quoted(const Text& text) {
    return QuotedEscaped(text.str());
  }

  static std::string Flag(bool flag) { return flag ? "1" : "0"; }

  std::string Parameters(const PlotParameters* p) const {
    if (p == nullptr) return "(none)";
    std::string out = std::to_string(p->Dimensions()) + "d";
    for (int axis = 0; axis < p->Dimensions(); ++axis) {
      out += " [" + Number(p->Minimum(axis)) + " " + Number(p->Maximum(axis)) +
             "]";
    }
    return out + " grid " + Flag(p->Grid());
  }

  std::string Record(const PlottedDataSet& r) const {
    std::string out =
        std::to_string(r.GetId()) + " " + Quoted(r.GetLabel()) + " colour " +
        Quoted(r.GetDataColour().Name()) + " symbol " +
        std::to_string(r.GetSymbol()) + " " + Number(r.GetSymbolSize()) + " " +
        Flag(r.GetShowSymbols()) + " line " + std::to_string(r.GetLineStyle()) +
        " " + std::to_string(r.GetLineWidth()) + " " + Flag(r.GetShowLine()) +
        " legend " + Flag(r.GetShowInLegend()) + " arrow " + Flag(r.IsArrow()) +
        " text " + Flag(r.GetShowTextOnPlot()) + " monikers";
    for (int i = 0; i < kPlottedDataSetMonikers; ++i) {
      out += ' ';
      out += Quoted(r.GetMoniker(i));
    }
    return out;
  }

  std::string Plot(PlotObject& plot) const {
    static const char* const kKinds[] = {"line", "point", "arrow"};
    std::string out =
        "plot " + std::string(plot.Type()->Name().c_str()) + " " +
        Quoted(plot.Title()) + " legend " + Flag(plot.LegendShown()) +
        " mapping " +
        (plot.HasMappingStyle() ? std::to_string(plot.MappingStyle())
                                : std::string("(none)")) +
        " parameters " + Parameters(plot.Parameters()) + "\n";
    for (std::size_t i = 0; i < plot.AxisCount(); ++i) {
      const PlotAxis& a = *plot.Axis(static_cast<int>(i));
      out += "  axis[" + std::to_string(i) + "] " + Quoted(a.label) + " " +
             Flag(a.label_visible) + " " + Quoted(a.number_format) + " log " +
             Flag(a.log) + " units " + Flag(a.units_shown) + " data " +
             Quoted(a.data) + "\n";
    }
    if (auto* three = dynamic_cast<ThreeDimPlot*>(&plot)) {
      out += "  angles " + Number(three->FirstViewAngle()) + " " +
             Number(three->SecondViewAngle()) + "\n";
    }
    if (auto* triangle = dynamic_cast<EquTriDimPlot*>(&plot)) {
      out += "  equilateral " + Flag(triangle->IsEquTriangle()) +
             " control held back " + Flag(triangle->HoldsBackControlView()) +
             "\n";
    }
    const PlotDataArea& area = plot.DataArea();
    for (std::size_t i = 0; i < area.Count(); ++i) {
      const PlotDataSet& s = area.At(i);
      out += "  set " + std::to_string(s.id) + " " +
             kKinds[static_cast<int>(s.kind)] + " " + Quoted(s.label) +
             " colour " + Quoted(s.colour.Name()) + " symbol " +
             std::to_string(s.symbol) + " " + Number(s.symbol_size) + " " +
             Flag(s.show_symbols) + " line " + std::to_string(s.line_style) +
             " " + std::to_string(s.line_width) + " " + Flag(s.show_line) +
             " legend " + Flag(s.show_in_legend) + " " + Flag(s.legend_locked) +
             " text " + Flag(s.show_text_on_plot) + " monikers";
      for (const Text& m : s.monikers) {
        out += ' ';
        out += Quoted(m);
      }
      out += "\n";
      for (const PlotPoint& p : plot.Points(s.id)) {
        out += "    (" + Number(p.x) + ", " + Number(p.y);
        if (p.z != -32767.0) out += ", " + Number(p.z);
        out += ")\n";
      }
    }
    return out;
  }

 private:
  bool readable_;
};

}  // namespace

std::string DescribeDocumentPlots(Document& document, bool readable) {
  std::string out;
  for (Viewable* object : document.GetObjectManager().Objects()) {
    if (auto* view = dynamic_cast<PlotView*>(object)) {
      out += DescribePlotView(*view, readable);
    } else if (auto* named = dynamic_cast<NamedPlot*>(object)) {
      out += "named plot " + Describer::Quoted(named->GetPlotName()) +
             " type " + std::to_string(named->GetPlotType()) + "\n";
      PlotObject* plot = named->GetPlotObject();
      if (plot != nullptr) {
        out += ' ';
        out += DescribePlot(*plot, readable);
      } else {
        out += " plot (none)\n";
      }
    }
  }
  return out.empty() ? "(no plot views)\n" : out;
}

std::string DescribePlot(PlotObject& plot, bool readable) {
  return Describer(readable).Plot(plot);
}

std::string DescribePlotView(PlotView& view, bool readable) {
  const Describer d(readable);
  std::string out = "plot view " + Describer::Quoted(view.GetName()) +
                    " type " + std::to_string(view.GetPlotType()) + " of " +
                    (view.GetPlotOwner() != nullptr
                         ? Describer::Quoted(view.GetPlotOwner()->GetName())
                         : std::string("(none)")) +
                    " second " + Describer::Quoted(view.GetSecondName()) +
                    " state " + std::to_string(view.StoredState()) +
                    " delete disabled " +
                    Describer::Flag(view.IsDeleteDisabled()) + "\n";
  // A triangle view keeps its corner labels with its plot (described
  // there) and stores no copy of its own.
  const int labels =
      view.GetPlotType() == kEquTriPlotType ? 0 : view.LabelCount();
  for (int i = 0; i < labels; ++i) {
    out += " label[" + std::to_string(i) + "] " +
           Describer::Quoted(view.GetLabel(i)) + "\n";
  }
  if (!view.AxisOrder().empty()) {
    out += " axis order";
    for (int axis : view.AxisOrder()) {
      out += ' ';
      out += std::to_string(axis);
    }
    out += "\n";
  }
  out += " parameters " + d.Parameters(view.GetParameters(kTwoDimPlotType)) +
         " / " + d.Parameters(view.GetParameters(kThreeDimPlotType)) + "\n";
  const PlottedDataSetList& records = *view.GetDataSetList();
  for (std::size_t i = 0; i < records.Count(); ++i) {
    out += " record " + d.Record(*records.At(i)) + "\n";
  }
  PlotObject* plot = view.GetPlotObject();
  if (plot != nullptr) {
    out += ' ';
    out += d.Plot(*plot);
  } else {
    out += " plot (none)\n";
  }
  return out;
}

}  // namespace pemar
