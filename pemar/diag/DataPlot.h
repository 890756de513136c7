// DataPlot: a plot of numbers the caller has in hand (a table computed by a
// tool, a fitted curve), drawn by the same SVG renderer as the plots that a
// document keeps.
//
// The plot is a framework plot object over a private table of columns: each
// data set added gets its own columns, and its monikers name them, so the
// plot behaves like any other (Points, RenderPlotSvg). Nothing joins a
// document and nothing is stored.

#ifndef PEMAR_DIAG_DATAPLOT_H_
#define PEMAR_DIAG_DATAPLOT_H_

#include <memory>
#include <string>
#include <vector>

#include "pemar/diag/PlotSvg.h"
#include "pemar/framework/Export.h"
#include "pemar/framework/PlotObjects.h"

namespace pemar {

class PEMAR_EXPORT DataPlot {
 public:
  // A two-dimensional plot, or a triangle plot for kEquTriPlotType; other
  // types give a two-dimensional one. Its legend is shown.
  explicit DataPlot(PlotTypeEnum type = kTwoDimPlotType);
  DataPlot(const DataPlot&) = delete;
  DataPlot& operator=(const DataPlot&) = delete;
  ~DataPlot();

  // The plot, to set its title, axes and parameters; lives as long as this.
  PlotObject& Plot() { return *plot_; }
  const PlotObject& Plot() const { return *plot_; }

  // Sets the title, and the label of axis 0 and 1 (x and y; the first two
  // corners of a triangle), made visible. Empty labels stay hidden.
  void SetLabels(const Text& title, const Text& x, const Text& y);

  // Adds a data set of `kind` drawing (first[i], second[i]) or, with `third`
  // not empty, (first[i], second[i], third[i]). The points are as many as
  // the shortest column gives, at most kMaxPlotPoints. Its colour is
  // GetColourID(colour), its symbol kDefaultSymbol (kNoSymbol for a line
  // when `symbols` is false). The returned data set belongs to the plot and
  // may be restyled; it lives as long as this.
  PlotDataSet& Add(DataSetKind kind, const Text& label, int colour,
                   std::vector<double> first, std::vector<double> second,
                   std::vector<double> third = {}, bool symbols = false);

  std::string Svg(const SvgOptions& options = {}) const;
  // The picture written atomically through the file-system layer; false
  // (and the file as it was) when the write fails.
  bool WriteSvg(const std::string& path, const SvgOptions& options = {}) const;

 private:
  class Table;
  // Declared first so that the plot dies first, leaving its owner's list
  // while the owner lives.
  std::unique_ptr<Table> table_;
  std::unique_ptr<PlotObject> plot_;
};

}  // namespace pemar

#endif  // PEMAR_DIAG_DATAPLOT_H_
