// PlottedDataSet: the description of one data set of a graphical plot, kept
// and stored by the library so that the plot can be built again; and
// PlottedDataSetList, an owning list of them; and the standard colours.
//
// A record holds an id, a label, a colour, a symbol (with its size and
// whether symbols are shown), a line (style, width, shown), whether it is
// in the legend, four monikers (the variables the framework reads the data
// from, see PlotDataArea.h), and whether it is an arrow data set and shows
// its text on the plot. Plain values: copies copy every field.

#ifndef PEMAR_DIAG_PLOTTEDDATASET_H_
#define PEMAR_DIAG_PLOTTEDDATASET_H_

#include <cstddef>
#include <memory>
#include <vector>

#include "pemar/framework/Export.h"
#include "pemar/framework/PlotColours.h"
#include "pemar/framework/PlotDataArea.h"
#include "pemar/framework/Text.h"
#include "pemar/framework/Types.h"

namespace pemar {

class BinaryFile;

// The revision a record is stored with.
inline constexpr unsigned int kPlottedDataSetRevision = 3;
inline constexpr int kPlottedDataSetMonikers = 4;

class PEMAR_EXPORT PlottedDataSet {
 public:
  // Id -32767, empty label.
  PlottedDataSet() = default;
  PlottedDataSet(int id, const Text& label) : id_(id), label_(label) {}

  int GetId() const { return id_; }
  const Text& GetLabel() const { return label_; }
  void SetLabel(const Text& label) { label_ = label; }
  const ColourResourceRef& GetDataColour() const { return colour_; }
  void SetDataColour(const ColourResourceRef& colour) { colour_ = colour; }

  void SetSymbol(PointSymbolsEnum symbol, double size, bool show);
  PointSymbolsEnum GetSymbol() const { return symbol_; }
  // The arrow size for arrow data sets.
  double GetSymbolSize() const { return symbol_size_; }
  bool GetShowSymbols() const { return show_symbols_; }

  // The width is truncated toward zero; a width that is not finite or does
  // not fit an int leaves the width as it was.
  void SetLine(LineStyles style, double width, bool show);
  LineStyles GetLineStyle() const { return line_style_; }
  int GetLineWidth() const { return line_width_; }
  bool GetShowLine() const { return show_line_; }

  void SetLegend(bool show) { show_in_legend_ = show; }
  bool GetShowInLegend() const { return show_in_legend_; }

  // Moniker i, 0 to 3; other indexes are ignored (and read as empty).
  void AddMoniker(int i, const Text& moniker);
  Text GetMoniker(int i) const;

  // Makes this an arrow data set of that size: no line, no symbols.
  void SetArrow(double size);
  bool IsArrow() const { return arrow_; }
  void SetShowTextOnPlot(bool show) { show_text_on_plot_ = show; }
  bool GetShowTextOnPlot() const { return show_text_on_plot_; }

  // The record, revision kPlottedDataSetRevision (docs/file-format.md,
  // "Plot views"). Recall reads revisions 0 to 3 (older ones keep the
  // defaults of the fields they lack) and fails for a newer one, which may
  // hold fields it cannot skip; a failed recall leaves the record as it was.
  unsigned char StoreClassData(BinaryFile& file) const;
  unsigned char RecallClassData(BinaryFile& file);

  friend bool operator==(const PlottedDataSet&,
                         const PlottedDataSet&) = default;

 private:
  int id_ = kEmptyMarker;
  Text label_;
  ColourResourceRef colour_ = DefaultColour();
  PointSymbolsEnum symbol_ = kDefaultSymbol;
  double symbol_size_ = 1.0;
  bool show_symbols_ = true;
  LineStyles line_style_ = kSolidLine;
  int line_width_ = 1;
  bool show_line_ = true;
  bool show_in_legend_ = false;
  Text monikers_[kPlottedDataSetMonikers];
  bool arrow_ = false;
  bool show_text_on_plot_ = false;
};

// An owning list of records, in the order they were added.
class PEMAR_EXPORT PlottedDataSetList {
 public:
  PlottedDataSetList() = default;
  PlottedDataSetList(const PlottedDataSetList&) = delete;
  PlottedDataSetList& operator=(const PlottedDataSetList&) = delete;

  // Takes ownership; null is ignored.
  void Append(PlottedDataSet* record);
  // Deletes every record with that id; the number deleted.
  std::size_t RemoveId(int id);
  // Deletes every record.
  void RemoveAll() { records_.clear(); }

  std::size_t Count() const { return records_.size(); }
  // The i-th record (owned by the list); null past the end.
  PlottedDataSet* At(std::size_t i) const;

 private:
  std::vector<std::unique_ptr<PlottedDataSet>> records_;
};

// A moniker in the framework's variable text form: base + "." + i, then
// "." + j unless j is -32767, then ".[]" when indexed ("Flow", 3, -32767,
// true gives "Flow.3.[]"; with 5 and false, "Flow.3.5").
PEMAR_EXPORT Text CreateMoniker(const Text& base, int i, int j = kEmptyMarker,
                                bool indexed = false);

// The standard colour i: "Pemar0" to "Pemar19" for i from 0 to 19, and
// "PemarDefault" (black) for any other i. The colours are registered as
// application colours when the library loads.
PEMAR_EXPORT ColourResourceRef GetColourID(int i);

}  // namespace pemar

#endif  // PEMAR_DIAG_PLOTTEDDATASET_H_
