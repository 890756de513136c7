// The plot views a case holds, with their data sets and the points these
// give.

#include "tooling/CasePlots.h"

#include <cctype>
#include <cstdio>
#include <string>

#include "pemar/diag/DocumentPlots.h"
#include "pemar/diag/NamedPlot.h"
#include "pemar/diag/PlotSvg.h"
#include "pemar/diag/PlotView.h"
#include "pemar/diag/SaturationCurve.h"
#include "pemar/framework/ObjectManager.h"
#include "tooling/Format.h"

namespace pemar::tooling {
namespace {

std::string PlotNumber(double value) {
  if (value == kEmptyValue) return "-";
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.6g", value);
  return buffer;
}

std::string Quoted(const Text& text) { return "\"" + text.str() + "\""; }

const char* TypeName(PlotTypeEnum type) {
  switch (type) {
    case kTwoDimPlotType:
      return "two-dimensional";
    case kThreeDimPlotType:
      return "three-dimensional";
    case kEquTriPlotType:
      return "triangle";
    default:
      return "unknown type";
  }
}

void PrintPlot(std::ostream& out, PlotObject* plot) {
  if (plot == nullptr) {
    out << "  (the plot is not built)\n";
    return;
  }
  for (std::size_t i = 0; i < plot->AxisCount(); ++i) {
    const PlotAxis& axis = *plot->Axis(static_cast<int>(i));
    out << "  axis " << i + 1 << ": " << Quoted(axis.label)
        << (axis.log ? " (log)" : "") << "\n";
  }
  static const char* const kKinds[] = {"line", "points", "arrow"};
  const PlotDataArea& area = plot->DataArea();
  for (std::size_t i = 0; i < area.Count(); ++i) {
    const PlotDataSet& set = area.At(i);
    const auto points = plot->Points(set.id);
    out << "  data set " << set.id << " " << Quoted(set.label) << ": "
        << kKinds[static_cast<int>(set.kind)] << " in "
        << set.colour.Name().str() << ", " << points.size()
        << (points.size() == 1 ? " point" : " points");
    for (std::size_t m = 0; m < set.monikers.size(); ++m) {
      out << (m == 0 ? " from " : " and ") << set.monikers[m].str();
    }
    out << "\n";
    for (const PlotPoint& p : points) {
      out << "    (" << PlotNumber(p.x) << ", " << PlotNumber(p.y);
      if (p.z != kEmptyValue) out << ", " << PlotNumber(p.z);
      out << ")\n";
    }
  }
}

nlohmann::ordered_json PlotJson(PlotObject& plot) {
  static const char* const kKinds[] = {"line", "points", "arrow"};
  nlohmann::ordered_json axes = nlohmann::ordered_json::array();
  for (std::size_t i = 0; i < plot.AxisCount(); ++i) {
    const PlotAxis& axis = *plot.Axis(static_cast<int>(i));
    axes.push_back({{"label", axis.label.str()}, {"log", axis.log}});
  }
  nlohmann::ordered_json sets = nlohmann::ordered_json::array();
  const PlotDataArea& area = plot.DataArea();
  for (std::size_t i = 0; i < area.Count(); ++i) {
    const PlotDataSet& set = area.At(i);
    nlohmann::ordered_json points = nlohmann::ordered_json::array();
    for (const PlotPoint& p : plot.Points(set.id)) {
      nlohmann::ordered_json point = {JsonNumber(p.x), JsonNumber(p.y)};
      if (p.z != kEmptyValue) point.push_back(JsonNumber(p.z));
      points.push_back(point);
    }
    sets.push_back({{"id", set.id},
                    {"label", set.label.str()},
                    {"kind", kKinds[static_cast<int>(set.kind)]},
                    {"points", points}});
  }
  return {
      {"type", TypeName(plot.PlotType())}, {"axes", axes}, {"data_sets", sets}};
}

}  // namespace

nlohmann::ordered_json PlotsJson(SimulationCase& doc) {
  nlohmann::ordered_json list = nlohmann::ordered_json::array();
  int number = 0;
  for (const DocumentPlot& shown : DocumentPlots(doc)) {
    nlohmann::ordered_json j = {{"number", ++number},
                                {"name", shown.name.str()}};
    j.update(PlotJson(*shown.plot));
    list.push_back(j);
  }
  return list;
}

void PrintPlots(std::ostream& out, SimulationCase& doc) {
  bool any = false;
  for (Viewable* object : doc.GetObjectManager().Objects()) {
    if (auto* view = dynamic_cast<PlotView*>(object)) {
      Viewable* owner = view->GetPlotOwner();
      out << "Plot view " << Quoted(view->GetName()) << " ("
          << TypeName(view->GetPlotType()) << ") of "
          << (owner != nullptr ? Quoted(owner->GetName()) : "nothing") << ", "
          << view->GetDataSetList()->Count()
          << (view->GetDataSetList()->Count() == 1 ? " data-set record\n"
                                                   : " data-set records\n");
      PrintPlot(out, view->GetPlotObject());
      any = true;
    } else if (auto* named = dynamic_cast<NamedPlot*>(object)) {
      out << "Named plot " << Quoted(named->GetPlotName()) << " ("
          << TypeName(named->GetPlotType()) << ")\n";
      PrintPlot(out, named->GetPlotObject());
      any = true;
    }
  }
  if (!any) out << "no plot views\n";
}

// A file name from a plot's name: letters and digits in lower case, other
// runs as one '-', at most 40 characters.
std::string PlotFileStem(const std::string& name) {
  std::string stem;
  for (unsigned char c : name) {
    if (stem.size() >= 40) break;
    if (std::isalnum(c) && c < 0x80) {
      stem += static_cast<char>(std::tolower(c));
    } else if (!stem.empty() && stem.back() != '-') {
      stem += '-';
    }
  }
  while (!stem.empty() && stem.back() == '-') stem.pop_back();
  return stem.empty() ? "plot" : stem;
}

bool AddSaturationPlot(SimulationCase& doc) {
  auto* curve = new SaturationCurve(&doc);
  curve->SetName("Saturation curve");
  auto* view = new PlotView(curve);
  view->SetName("Steam saturation pressure");
  if (view->SetPlot(kTwoDimPlotType) == nullptr) return false;
  view->SetLabel(0, "T / K");
  view->SetLabel(1, "p / kPa");
  view->SetLogAxis(false, true);
  auto* record = new PlottedDataSet(1, "Saturation pressure");
  record->AddMoniker(0, CreateMoniker("Temperature", 300, kEmptyMarker, true));
  record->AddMoniker(1, CreateMoniker("Pressure", 300, kEmptyMarker, true));
  record->SetDataColour(GetColourID(2));
  record->SetLegend(true);
  view->AddDataSet(record);
  return view->GetPlotObject()->Points(1).size() ==
         static_cast<std::size_t>(curve->Points());
}

}  // namespace pemar::tooling
