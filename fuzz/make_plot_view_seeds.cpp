// Writes the seed corpus of plot_view_fuzz: documents holding plot views of
// each type with their records and plots, named plots and saturation
// curves, saved by the library (mode 0); the class data of a plot view in
// each stored version 1 to 7 (modes 1 to 7); and the class data of each
// kind of plot (mode 8). Not part of the build; run it by hand when the
// layouts change (the second line is one command):
//
//   cmake --build build/<dir> --target pemar_internal
//   c++ -std=c++20 -I. fuzz/make_plot_view_seeds.cpp
//       build/<dir>/libpemar_internal.a -ldl -o /tmp/make_plot_view_seeds
//   /tmp/make_plot_view_seeds fuzz/corpus/plot_view

#include <cstdio>
#include <fstream>
#include <functional>
#include <memory>
#include <string>

#include "pemar/diag/NamedPlot.h"
#include "pemar/diag/PlotView.h"
#include "pemar/diag/SaturationCurve.h"
#include "pemar/framework/BinaryFile.h"
#include "pemar/framework/Document.h"
#include "pemar/framework/FileSystem.h"
#include "pemar/framework/MemoryFileSystem.h"

namespace {

using namespace pemar;

MemoryFileSystem* fs = nullptr;
std::string folder;

bool Emit(const char* name, char mode, const std::string& bytes) {
  std::ofstream out(folder + "/" + name, std::ios::binary);
  out << mode << bytes;
  return static_cast<bool>(out);
}

PlottedDataSet* Record(int id, const char* x, const char* y, const char* z) {
  auto* r = new PlottedDataSet(id, "set " + std::to_string(id));
  r->AddMoniker(0, x);
  r->AddMoniker(1, y);
  r->AddMoniker(2, z);
  r->SetDataColour(GetColourID(id % 21));
  r->SetLegend(true);
  return r;
}

bool SavedDocument(
    const char* name,
    const std::function<void(pemar::Document&, Viewable*)>& fill) {
  pemar::Document document(nullptr, DocumentObjectType());
  auto* curve = new SaturationCurve(&document);
  curve->SetName("Saturation");
  fill(document, curve);
  document.SetFileName("/seed.doc");
  return document.SaveDocument(0) && Emit(name, 0, fs->GetFile("/seed.doc"));
}

bool WriteFile(const std::function<bool(BinaryFile&)>& write,
               std::string* bytes) {
  BinaryFile file{Text("/seed.bin")};
  if (!file.Create() || !write(file) || !file.Close()) return false;
  *bytes = fs->GetFile("/seed.bin");
  return true;
}

// A plot view's class data as version v laid it out, with null plot
// references: type 2 before 5 with axis order and labels, 0 before 3 and 1
// before 7 without a reference, the delete flag from 4 on.
bool OldView(int v, PlotTypeEnum type) {
  std::string bytes;
  bool ok = WriteFile(
      [&](BinaryFile& f) {
        std::unique_ptr<PlottedDataSet> record(
            Record(110, "Feed.300.0", "Feed.301.1", ""));
        bool w = f.Write(type) && f.Write(Text("second")) && f.Write(1u) &&
                 record->StoreClassData(f);
        const int labels = type == 0 ? 2 : type == 1 ? 4 : 3;
        if (type != 0 && (type == 1 || v < 5)) {
          for (int i = 0; i < labels; ++i) w = w && f.Write(labels - 1 - i);
        }
        if (type == 0 || type == 1 || v < 5) {
          for (int i = 0; i < labels; ++i) w = w && f.Write(Text("label"));
        }
        if (type != 2) {
          PlotParameters parameters(type == 0 ? 2 : 3);
          parameters.SetRange(0, 300.0, 600.0);
          w = w && StorePlotParameters(f, &parameters);
        }
        if ((type == 2 && v >= 2) || (type == 0 && v >= 3) ||
            (type == 1 && v >= 7) || (type == 2 && v < 2)) {
          w = w && f.Write(0u);
        }
        w = w && f.Write(type == 2 ? 5 : 10);
        return w && (v < 4 || f.Write(static_cast<unsigned char>(1)));
      },
      &bytes);
  const std::string name =
      "v" + std::to_string(v) + "_type" + std::to_string(type);
  return ok && Emit(name.c_str(), static_cast<char>(v), bytes);
}

bool Plot(const char* name, char kind) {
  pemar::Document document(nullptr, DocumentObjectType());
  auto* curve = new SaturationCurve(&document);
  PlotView view(curve);
  view.SetPlot(kind);
  view.SetName("Plot");
  view.AddDataSet(
      Record(1, "Temperature.300.[]", "Pressure.300.[]", "Pressure.300.[]"));
  std::string bytes;
  return WriteFile(
             [&](BinaryFile& f) {
               return view.GetPlotObject()->StoreClassData(f) != 0;
             },
             &bytes) &&
         Emit(name, 8, std::string(1, kind) + bytes);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
    return 2;
  }
  MemoryFileSystem memory;
  ScopedFileSystem scope(&memory);
  fs = &memory;
  folder = argv[1];
  bool ok = SavedDocument("two_dim",
                          [](pemar::Document&, Viewable* curve) {
                            auto* view = new PlotView(curve);
                            view->SetName("Saturation pressure");
                            view->SetPlot(kTwoDimPlotType);
                            view->SetLabel(0, "T / K");
                            view->SetLabel(1, "p / kPa");
                            view->SetLogAxis(false, true);
                            view->Message("ViewPlotControl");
                            view->AddDataSet(Record(1, "Temperature.300.[]",
                                                    "Pressure.300.[]", ""));
                            PlottedDataSet* points = Record(
                                2, "Temperature.300.[]", "Pressure.300.[]", "");
                            points->SetLine(0, 1.0, false);
                            view->AddDataSet(points);
                          }) &&
            SavedDocument("three_dim",
                          [](pemar::Document&, Viewable* curve) {
                            auto* view = new PlotView(curve);
                            view->SetPlot(kThreeDimPlotType);
                            view->SetData("surface");
                            view->AddDataSet(Record(3, "Temperature.300.[]",
                                                    "Pressure.300.[]",
                                                    "Temperature.300.[]"));
                          }) &&
            SavedDocument("triangle",
                          [](pemar::Document&, Viewable* curve) {
                            auto* view = new PlotView(curve);
                            view->SetPlot(kEquTriPlotType);
                            for (int id = 110; id <= 113; ++id) {
                              view->AddDataSet(
                                  Record(id, "Feed.300.0", "", "Feed.302.1"));
                            }
                            PlottedDataSet* arrow = Record(5, "a.1", "b.1", "");
                            arrow->SetArrow(2.0);
                            view->AddDataSet(arrow);
                            view->ToggleIntersection();
                          }) &&
            SavedDocument(
                "named_plots",
                [](pemar::Document&, Viewable* curve) {
                  auto* two = new NamedPlot(curve, kTwoDimPlotType, "curve");
                  two->AddDataSet(1, "Temperature.300.[]", "Pressure.300.[]",
                                  "p", GetColourID(1), 101, true);
                  auto* tri = new NamedPlot(curve, kEquTriPlotType, "tri");
                  tri->AddArrowDataSet(2, "a.1", "b.1", GetColourID(2), true);
                }) &&
            Plot("plot_two_dim", 0) && Plot("plot_three_dim", 1) &&
            Plot("plot_triangle", 2);
  for (int v = 1; v <= kPlotViewVersion; ++v) {
    for (PlotTypeEnum type : {0, 1, 2}) ok = ok && OldView(v, type);
  }
  if (!ok) std::fprintf(stderr, "a seed could not be written\n");
  return ok ? 0 : 1;
}
