// The data of a framework plot: data-set descriptions, the data area that
// holds them, and the points they give.
//
// A data set does not hold numbers. It names them: each moniker is the text
// form of a variable (VarDescription.h) of the object that the plot shows,
// usually an indexed one ("Temperature.300.[]"), and the points are read
// through that object's variable protocol when asked for (Points). The
// first moniker gives x (or the first corner of a triangle), the second y,
// a third (when not empty) z or the third corner.

#ifndef PEMAR_FRAMEWORK_PLOTDATAAREA_H_
#define PEMAR_FRAMEWORK_PLOTDATAAREA_H_

#include <cstddef>
#include <memory>
#include <vector>

#include "pemar/framework/Export.h"
#include "pemar/framework/PlotColours.h"
#include "pemar/framework/Text.h"
#include "pemar/framework/Types.h"

namespace pemar {

class Viewable;

// Kinds of plot: 0 two-dimensional, 1 three-dimensional, 2 triangle;
// -32767 for none yet.
using PlotTypeEnum = int;
inline constexpr PlotTypeEnum kTwoDimPlotType = 0;
inline constexpr PlotTypeEnum kThreeDimPlotType = 1;
inline constexpr PlotTypeEnum kEquTriPlotType = 2;

// Point symbols: codes of the framework's symbol set; 101 is the default
// and 1000 means no symbol.
using PointSymbolsEnum = int;
inline constexpr PointSymbolsEnum kDefaultSymbol = 101;
inline constexpr PointSymbolsEnum kNoSymbol = 1000;

// Line styles: codes of the framework's dash patterns; 0 is solid.
using LineStyles = int;
inline constexpr LineStyles kSolidLine = 0;

// How axis values map onto the drawing.
namespace ScaleMapping {
enum Styles { kLinear = 0, kLogarithmic = 1, kReciprocal = 2 };
}  // namespace ScaleMapping

enum class DataSetKind { kLine = 0, kPoint = 1, kArrow = 2 };

// One data set of a plot. Plain data; the area that holds it owns it.
struct PEMAR_EXPORT PlotDataSet {
  int id = kEmptyMarker;
  DataSetKind kind = DataSetKind::kLine;
  // Two or three monikers; a third that is empty is not used.
  std::vector<Text> monikers;
  Text label;
  ColourResourceRef colour;
  PointSymbolsEnum symbol = kDefaultSymbol;
  // Symbol size, or arrow size for arrows.
  double symbol_size = 1.0;
  bool show_symbols = true;
  LineStyles line_style = kSolidLine;
  int line_width = 1;
  bool show_line = true;
  bool show_in_legend = true;
  // Set by the framework when the user fixed the legend entry; code then
  // leaves show_in_legend alone.
  bool legend_locked = false;
  bool show_text_on_plot = false;

  friend bool operator==(const PlotDataSet&, const PlotDataSet&) = default;
};

// A point of a data set; z is -32767 for data sets of two monikers.
struct PEMAR_EXPORT PlotPoint {
  double x = kEmptyValue;
  double y = kEmptyValue;
  double z = kEmptyValue;
};

// The most points one data set gives, whatever its object answers.
inline constexpr std::size_t kMaxPlotPoints = 100000;

// The values that `moniker` names on `source`: one per index, from 0 to the
// first size the object gives for it (Dimensions), for an indexed variable;
// one value otherwise. Empty for a null source, an empty text, a text that
// is not a variable, and an indexed variable without a size. At most
// kMaxPlotPoints values.
PEMAR_EXPORT std::vector<double> ResolveMoniker(Viewable* source,
                                                const Text& moniker);

// The points of `set` on `source`: as many as the shortest of its used
// monikers gives.
PEMAR_EXPORT std::vector<PlotPoint> DataSetPoints(Viewable* source,
                                                  const PlotDataSet& set);

// The data sets of one plot, in the order they were made, each id once.
class PEMAR_EXPORT PlotDataArea {
 public:
  PlotDataArea() = default;
  PlotDataArea(const PlotDataArea&) = delete;
  PlotDataArea& operator=(const PlotDataArea&) = delete;

  // The data set of that id; null when there is none. Valid until it is
  // destroyed.
  PlotDataSet* Find(int id) const;
  // A new data set of `kind` with the given fields and the defaults of the
  // rest; null (and nothing made) when the id is taken.
  PlotDataSet* Create(DataSetKind kind, int id, std::vector<Text> monikers,
                      const Text& label, const ColourResourceRef& colour,
                      PointSymbolsEnum symbol);
  // True when a data set of that id was destroyed.
  bool Destroy(int id);
  void DestroyAll() { sets_.clear(); }

  std::size_t Count() const { return sets_.size(); }
  // The i-th data set; i below Count().
  const PlotDataSet& At(std::size_t i) const { return *sets_[i]; }
  PlotDataSet& At(std::size_t i) { return *sets_[i]; }

  // Replaces every data set (the recall of a plot); ids must be unique.
  void Replace(std::vector<std::unique_ptr<PlotDataSet>> sets) {
    sets_ = std::move(sets);
  }

 private:
  std::vector<std::unique_ptr<PlotDataSet>> sets_;
};

}  // namespace pemar

#endif  // PEMAR_FRAMEWORK_PLOTDATAAREA_H_
