// pemar case plot: the plot views a case holds, with their data sets and
// the points these give. The command itself is set up with the other case
// commands (case_command.cpp).

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <string>

#include "CasePlot.h"
#include "Registry.h"
#include "pemar/diag/DocumentPlots.h"
#include "pemar/diag/NamedPlot.h"
#include "pemar/diag/PlotSvg.h"
#include "pemar/diag/PlotView.h"
#include "pemar/diag/SaturationCurve.h"
#include "pemar/framework/ObjectManager.h"

namespace pemar::cli {
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

}  // namespace

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

namespace {

// A file name from a plot's name: letters and digits in lower case, other
// runs as one '-', at most 40 characters.
std::string FileStem(const std::string& name) {
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

}  // namespace

bool WritePlotPictures(std::ostream& out, SimulationCase& doc,
                       const std::string& dir) {
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  int count = 0;
  for (const DocumentPlot& shown : DocumentPlots(doc)) {
    ++count;
    const std::string path =
        (std::filesystem::path(dir) /
         (std::to_string(count) + "-" + FileStem(shown.name.str()) + ".svg"))
            .string();
    if (!WriteOutputFile(path, RenderPlotSvg(*shown.plot))) return false;
    out << "picture: " << path << "\n";
  }
  return true;
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

}  // namespace pemar::cli
