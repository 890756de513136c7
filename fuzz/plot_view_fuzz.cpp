// Recalls arbitrary bytes as plot views with their data sets and plots.
//
// The first byte chooses what the rest is:
//   0      a document file holding plot views, named plots, plots and
//          saturation curves (what a case's object section holds of them);
//   1 to 7 the class data of a plot view of that version, with no objects
//          for its pointer records to name;
//   8      the class data of a two-dimensional, three-dimensional or
//          triangle plot (the next byte, modulo 3, says which).
// Whatever is read is then used: described with its points, its labels
// set, its triangle toggled, built, drawn as SVG, and a document saved
// again.
// Seeds are written by fuzz/make_plot_view_seeds.cpp.

#include <cstddef>
#include <cstdint>
#include <string>

#include "pemar/diag/NamedPlot.h"
#include "pemar/diag/PlotDescription.h"
#include "pemar/diag/PlotSvg.h"
#include "pemar/diag/PlotView.h"
#include "pemar/diag/SaturationCurve.h"
#include "pemar/framework/BinaryFile.h"
#include "pemar/framework/Document.h"
#include "pemar/framework/FileSystem.h"
#include "pemar/framework/MemoryFileSystem.h"
#include "pemar/framework/Messages.h"
#include "pemar/framework/PlotObjects.h"

namespace {

using namespace pemar;

void Exercise(PlotView& view) {
  DescribePlotView(view);
  for (int i = -1; i <= 4; ++i) view.SetLabel(i, "x");
  view.ToggleIntersection();
  view.Message("ChangeTriangleType");
  view.ConstructPlot();
  DescribePlotView(view);
  if (view.GetPlotObject() != nullptr) RenderPlotSvg(*view.GetPlotObject());
}

void RecallDocument(const std::string& bytes) {
  MemoryFileSystem fs;
  fs.SetFile("/input.doc", bytes);
  ScopedFileSystem scoped(&fs);
  Document document(nullptr, DocumentObjectType());
  if (!document.RecallDocument(FileName(Text("/input.doc")))) return;
  DescribeDocumentPlots(document);
  for (Viewable* object :
       document.GetObjectManager().Objects(PlotViewObjectType())) {
    Exercise(*dynamic_cast<PlotView*>(object));
  }
  document.SetFileName("/again.doc");
  document.SaveDocument(0);
}

void RecallClassData(const std::string& bytes, int version) {
  MemoryFileSystem fs;
  fs.SetFile("/view.bin", bytes);
  ScopedFileSystem scoped(&fs);
  BinaryFile file{Text("/view.bin")};
  if (!file.Open()) return;
  Document document(nullptr, DocumentObjectType());
  auto* curve = new SaturationCurve(&document);
  ObjectInstanceInfo info(curve, "view", PlotViewObjectType());
  auto* view = new PlotView(info);
  PlotViewObjectType()->SetRecalledClassDataVersion(version);
  view->RecallClassData(file);
  Exercise(*view);
}

void RecallPlot(const std::string& bytes, int kind) {
  MemoryFileSystem fs;
  fs.SetFile("/plot.bin", bytes);
  ScopedFileSystem scoped(&fs);
  BinaryFile file{Text("/plot.bin")};
  if (!file.Open()) return;
  Document document(nullptr, DocumentObjectType());
  auto* curve = new SaturationCurve(&document);
  const ObjectTypeInfo* types[] = {TwoDimPlotType(), ThreeDimPlotType(),
                                   EquTriDimPlotType()};
  ObjectInstanceInfo info(curve, "plot", types[kind]);
  auto* plot =
      dynamic_cast<PlotObject*>(types[kind]->CreateInstanceForRecall(info));
  if (plot != nullptr && plot->RecallClassData(file)) {
    DescribePlot(*plot);
    RenderPlotSvg(*plot);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  if (size < 1) return 0;
  pemar::DiscardingMessageSink quiet;
  pemar::ScopedMessageSink sink(&quiet);
  const int mode = data[0] % 9;
  std::string rest(reinterpret_cast<const char*>(data) + 1, size - 1);
  if (mode == 0) {
    RecallDocument(rest);
  } else if (mode <= 7) {
    RecallClassData(rest, mode);
  } else if (!rest.empty()) {
    const int kind = static_cast<unsigned char>(rest[0]) % 3;
    RecallPlot(rest.substr(1), kind);
  }
  return 0;
}
