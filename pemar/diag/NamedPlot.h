// NamedPlot: a named framework object that owns one framework plot, a
// two-dimensional or a triangle one, and forwards titles, axis labels, log
// axes and data sets to it.
//
// The plot is made in the named plot's owner, the object whose variables
// its data sets name. The named plot deletes it when it is destroyed, and
// forgets it when the plot is deleted first. A named plot of any other type
// has no plot; neither has one recalled without it. Every operation then
// does nothing and queries answer false.
//
// Stored through its object type ("NamedPlotObject", class "NamedPlot",
// identifier "pmfpkj", version 1; docs/file-format.md, "Plot views").

#ifndef PEMAR_DIAG_NAMEDPLOT_H_
#define PEMAR_DIAG_NAMEDPLOT_H_

#include "pemar/diag/PlottedDataSet.h"
#include "pemar/framework/Export.h"
#include "pemar/framework/ObjectTypeInfo.h"
#include "pemar/framework/PlotColours.h"
#include "pemar/framework/PlotObjects.h"
#include "pemar/framework/Text.h"
#include "pemar/framework/Viewable.h"

namespace pemar {

class BinaryFile;

PEMAR_EXPORT const ObjectTypeInfo* NamedPlotObjectType();

class PEMAR_EXPORT NamedPlot : public Viewable {
 public:
  // A plot of `type` (0 two-dimensional, 2 triangle) named `name` in
  // `owner` (may be null).
  NamedPlot(Viewable* owner, PlotTypeEnum type, const Text& name,
            const ObjectTypeInfo* typeInfo = NamedPlotObjectType());
  // The object a recall fills: empty name, no plot.
  explicit NamedPlot(ObjectInstanceInfo& info);
  ~NamedPlot() override;

  PlotTypeEnum GetPlotType() const { return type_; }
  const Text& GetPlotName() const { return plot_name_; }
  // The owned plot; null for other types and when there is none.
  PlotObject* GetPlotObject() const;

  void SetTitle(const Text& title);
  // Two-dimensional: a and b label the x and y axes (made visible).
  // Triangle: a, b and c label the three corners.
  void SetLabel(const Text& a, const Text& b, const Text& c);
  void SetLogAxis(bool x, bool y);
  bool GetXLogAxis() const;
  bool GetYLogAxis() const;

  // Adds a data set of this id unless one exists: a line (with symbols
  // unless `symbol` is kNoSymbol) when `lines`, else points; nothing for
  // points without a symbol. A data set without a label stays out of the
  // legend unless the framework locked that.
  void AddDataSet(int id, const Text& firstMoniker, const Text& secondMoniker,
                  const Text& label, const ColourResourceRef& colour,
                  PointSymbolsEnum symbol, bool lines);
  // Triangle plots only: an arrow data set, out of the legend.
  void AddArrowDataSet(int id, const Text& firstMoniker,
                       const Text& secondMoniker,
                       const ColourResourceRef& colour, bool showLine);
  // Triangle plots only.
  void AddMouseMoniker(const Text& x, const Text& y);
  void RemoveDataSet(int id);
  void RemoveAllDataSets();
  ColourResourceRef GetLineColor(int i) const { return GetColourID(i); }

  void SetToBeDeleted(bool toBeDeleted) { to_be_deleted_ = toBeDeleted; }
  bool IsToBeDeleted() const { return to_be_deleted_; }

  // "SetToBeDeletedTrue ..." marks the plot to be deleted.
  int Message(const Text& command) override;
  void DisconnectDeadObject(Viewable* dying) override;

  unsigned char StoreClassData(BinaryFile& file);
  // Version 0 reads nothing. A recalled plot that the object already owns
  // replaces it.
  unsigned char RecallClassData(BinaryFile& file);

 private:
  void Adopt(PlotObject*& slot, PlotObject* plot);
  PlotDataArea* Area() const;

  PlotTypeEnum type_ = kEmptyMarker;
  Text plot_name_;
  PlotObject* two_dim_ = nullptr;
  PlotObject* triangle_ = nullptr;
  bool to_be_deleted_ = false;
};

}  // namespace pemar

#endif  // PEMAR_DIAG_NAMEDPLOT_H_
