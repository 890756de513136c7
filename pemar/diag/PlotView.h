// PlotView: a framework object that keeps everything needed to show one
// graphical plot of another object's data, and builds the plot.
//
// The view is made in the object whose data it plots (its owner, which may
// be null) and keeps the plot type, axis labels, the data-set records
// (PlottedDataSet.h), the user's plot parameters and, once built, the
// framework plot itself (PlotObjects.h), made in the same owner. It owns
// the plot and the parameter sets: destroying the view deletes them. A plot
// deleted first is forgotten, and so is an owner that dies; a plot built
// after that is made in the view's own framework owner (GetOwner), so that
// it stays in the view's document and the document still saves.
//
// Plot types: 0 two-dimensional (2 labels: x, y), 1 three-dimensional (4
// labels, the first three on its axes), 2 triangle (3 corner labels). A
// view of any other type (only a damaged file gives one) has no labels and
// no plot; operations on it do nothing. Label indexes outside the type's
// labels are ignored, and read as empty text.
//
// Triangle views toggle the records 110 to 113 between showing the entire
// profile (monikers ending in '0') and the intersection (ending in '1').
//
// Variables: "PlotType" 300 answers -32767; type 104: 185 the
// delete-disabled flag, 399 the triangle's form flag (0 without a triangle
// plot); "Label" 300 [i] label i; "Name" 200 the owner's name, ": " and the
// view's name (the view's name alone without an owner). Commands:
// "ChangeTriangleType", "ViewPlotControl", "Delete" (asks
// "ConfirmDeleteRCMPlot"). GenMessage kind 6 hands out the plot, built
// first if needed.
//
// Stored through its object type ("PlotViewObject", class "PlotView",
// identifier "plotview", version 7); every version from 1 on is read
// (docs/file-format.md, "Plot views").

#ifndef PEMAR_DIAG_PLOTVIEW_H_
#define PEMAR_DIAG_PLOTVIEW_H_

#include <memory>
#include <vector>

#include "pemar/diag/PlottedDataSet.h"
#include "pemar/framework/Export.h"
#include "pemar/framework/ObjectTypeInfo.h"
#include "pemar/framework/PlotObjects.h"
#include "pemar/framework/Text.h"
#include "pemar/framework/Viewable.h"

namespace pemar {

class BinaryFile;
class PlotView;

inline constexpr int kPlotViewVersion = 7;
// Stored state: whether a plot existed when the view was last stored.
inline constexpr int kPlotViewStateWithPlot = 5;
inline constexpr int kPlotViewStateWithoutPlot = 10;
// The records that take part in the triangle's profile toggle.
inline constexpr int kFirstToggledDataSet = 110;
inline constexpr int kLastToggledDataSet = 113;

PEMAR_EXPORT const ObjectTypeInfo* PlotViewObjectType();

// The view's answer to a triangle plot's events: 1 asks the owner to
// calculate, 21 and 22 toggle the profiles; every event counts as handled.
class PEMAR_EXPORT PlotViewInteraction : public PlotInteractionObject {
 public:
  explicit PlotViewInteraction(PlotView* view) : view_(view) {}
  bool HandleEvent(int event) override;

 private:
  PlotView* view_;
};

class PEMAR_EXPORT PlotView : public Viewable {
 public:
  explicit PlotView(Viewable* owner,
                    const ObjectTypeInfo* type = PlotViewObjectType());
  // The object a recall fills: no owner until RecallFixUp.
  explicit PlotView(ObjectInstanceInfo& info);
  ~PlotView() override;

  // Deletes the plot and parameters, takes the type, makes its labels
  // (empty) and axis order, and builds the plot; null for other types.
  PlotObject* SetPlot(PlotTypeEnum type);
  PlotTypeEnum GetPlotType() const { return plot_type_; }
  // The plot, built when missing; null for types without one.
  PlotObject* ConstructPlot();
  // The plot if it is built; null otherwise.
  PlotObject* GetPlotObject() const { return plot_; }
  // The object plotted; null when none.
  Viewable* GetPlotOwner() const { return owner_; }

  void SetTitle(const Text& title);
  // The framework name, which is also the title.
  void SetName(const Text& name) override;
  const Text& GetSecondName() const { return second_name_; }
  void SetSecondName(const Text& name) { second_name_ = name; }

  int LabelCount() const { return static_cast<int>(labels_.size()); }
  void SetLabel(int i, const Text& label);
  Text GetLabel(int i) const;
  const std::vector<int>& AxisOrder() const { return axis_order_; }
  // Three-dimensional views: the data text of the plot's axes.
  void SetData(const Text& data);
  // Two-dimensional views.
  void SetLogAxis(bool x, bool y);

  // Takes ownership of `record` (null is ignored) and builds its data set.
  void AddDataSet(PlottedDataSet* record);
  // Deletes every record of that id and its data set.
  void RemoveDataSet(int id);
  void RemoveAllDataSets();
  PlottedDataSetList* GetDataSetList() { return &records_; }
  // Triangle views.
  void AddMouseMoniker(const Text& x, const Text& y);

  void ToggleIntersection();
  // Sends "Calculate" to the owner.
  void CallCalculate();
  bool IsDeleteDisabled() const { return delete_disabled_; }
  void SetDeleteDisable(bool disabled) { delete_disabled_ = disabled; }
  bool IsDeleteOnRecall() const { return delete_on_recall_; }
  void SetDeleteOnRecall(bool drop) { delete_on_recall_ = drop; }
  void SetMappingStyle(ScaleMapping::Styles style);
  void ClearMappingStyle() { mapping_style_set_ = false; }
  int StoredState() const { return stored_state_; }
  // The parameter set of the two- or three-dimensional plot; may be null.
  PlotParameters* GetParameters(PlotTypeEnum type) const;

  int Message(const Text& command) override;
  double Value(const VarDescription& desc) override;
  Text TextValue(const VarDescription& desc) override;
  unsigned char SpecifyText(const VarDescription& desc,
                            const Text& value) override;
  int GenMessage(MessageInfo& info) override;
  Viewable* AttachedObject(const VarDescription& desc) override;
  Text AttachedName(Viewable* object) override;
  void DisconnectDeadObject(Viewable* dying) override;

  unsigned char StoreClassData(BinaryFile& file);
  // Reads the version the type says was stored; a failed recall leaves the
  // view as it was.
  unsigned char RecallClassData(BinaryFile& file);
  // Finds the owner, sets up a recalled triangle plot, and asks the owner
  // to attach the view as "PlotView.999"; a view the owner refuses is
  // deleted once the recall is over.
  void RecallFixUp();

 private:
  void ConstructDataSets();
  void RegisterToggleEvents(const PlottedDataSet& record);
  void UseOwner(Viewable* owner);
  void ReplacePlot(PlotObject* plot);
  void UpdateViews();
  EquTriDimPlot* Triangle() const;

  bool delete_disabled_ = true;
  Viewable* owner_ = nullptr;
  PlotTypeEnum plot_type_ = kEmptyMarker;
  Text second_name_;
  std::vector<Text> labels_;
  PlottedDataSetList records_;
  PlotObject* plot_ = nullptr;
  std::unique_ptr<PlotParameters> two_dim_parameters_;
  std::unique_ptr<PlotParameters> three_dim_parameters_;
  std::vector<int> axis_order_;
  ScaleMapping::Styles mapping_style_ = ScaleMapping::kLinear;
  bool mapping_style_set_ = false;
  bool delete_on_recall_ = false;
  int stored_state_ = kPlotViewStateWithoutPlot;
  PlotViewInteraction interaction_{this};
};

}  // namespace pemar

#endif  // PEMAR_DIAG_PLOTVIEW_H_
