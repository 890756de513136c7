// The framework's plot objects: two-dimensional, three-dimensional and
// triangle plots.
//
// A plot is a framework object made "in" the object whose data it shows
// (its owner): its data sets' monikers name variables of that owner, and
// Points lists what they give now. Whoever makes a plot owns it (a plot
// view, a named plot); like every framework object, a plot in a document is
// also registered with the document's object manager, stored with it
// (class data in docs/file-format.md) and referenced by pointer records.
// Deleting a plot tells its death postees.
//
// The drawing itself, fonts and layout are the framework's and not kept
// here. A plot keeps what code sets and reads back: the title, the axes
// (label, number format, log flag, units shown, data text), the data area,
// whether the legend is shown, the mapping style, the parameter set it was
// given, inspection events, and, by kind, the view angles (3D) or the
// triangle form, interaction object, mouse monikers and control-view
// setting (triangle).

#ifndef PEMAR_FRAMEWORK_PLOTOBJECTS_H_
#define PEMAR_FRAMEWORK_PLOTOBJECTS_H_

#include <cstddef>
#include <memory>
#include <vector>

#include "pemar/framework/Export.h"
#include "pemar/framework/ObjectTypeInfo.h"
#include "pemar/framework/PlotDataArea.h"
#include "pemar/framework/Text.h"
#include "pemar/framework/Viewable.h"

namespace pemar {

class BinaryFile;

struct PEMAR_EXPORT PlotAxis {
  Text label;
  bool label_visible = false;
  Text number_format = "%g";
  bool log = false;
  bool units_shown = false;
  // The three-dimensional plot's data text.
  Text data;

  friend bool operator==(const PlotAxis&, const PlotAxis&) = default;
};

// The user's settings of a plot (axis ranges and grid), kept by whoever
// owns the plot so that they outlive it. Ranges are -32767 for automatic.
class PEMAR_EXPORT PlotParameters {
 public:
  // `dimensions` is 2 or 3 (other values give 2).
  explicit PlotParameters(int dimensions);
  int Dimensions() const { return static_cast<int>(minimum_.size()); }
  // Axis 0 x, 1 y, 2 z; -32767 for an axis the set does not have.
  double Minimum(int axis) const;
  double Maximum(int axis) const;
  // Ignored for an axis the set does not have.
  void SetRange(int axis, double minimum, double maximum);
  bool Grid() const { return grid_; }
  void SetGrid(bool grid) { grid_ = grid; }

  friend bool operator==(const PlotParameters&,
                         const PlotParameters&) = default;

 private:
  std::vector<double> minimum_;
  std::vector<double> maximum_;
  bool grid_ = false;
};

// Writes `parameters` (null allowed) as a present flag and the set.
PEMAR_EXPORT unsigned char StorePlotParameters(
    BinaryFile& file, const PlotParameters* parameters);
// Reads what StorePlotParameters wrote; a set must have `dimensions`
// dimensions. `parameters` changes only on success (null for an absent set).
PEMAR_EXPORT unsigned char RecallPlotParameters(
    BinaryFile& file, int dimensions,
    std::unique_ptr<PlotParameters>& parameters);

// What a triangle plot calls when the user triggers one of its events.
class PEMAR_EXPORT PlotInteractionObject {
 public:
  virtual ~PlotInteractionObject() = default;
  // True when the event was dealt with.
  virtual bool HandleEvent(int event) = 0;
};

// A command offered when the user inspects a data set's moniker.
struct PEMAR_EXPORT InspectionEvent {
  Text moniker;
  int event = 0;
  Text command;
  friend bool operator==(const InspectionEvent&,
                         const InspectionEvent&) = default;
};

// "PlotObject", the base type of the plots, and its three kinds.
PEMAR_EXPORT const ObjectTypeInfo* PlotObjectType();
PEMAR_EXPORT const ObjectTypeInfo* TwoDimPlotType();
PEMAR_EXPORT const ObjectTypeInfo* ThreeDimPlotType();
PEMAR_EXPORT const ObjectTypeInfo* EquTriDimPlotType();

class PEMAR_EXPORT PlotObject : public Viewable {
 public:
  ~PlotObject() override;

  virtual PlotTypeEnum PlotType() const = 0;

  const Text& Title() const { return title_; }
  void SetTitle(const Text& title) { title_ = title; }

  std::size_t AxisCount() const { return axes_.size(); }
  // Axis i (for a triangle, corner i); null outside the plot's axes.
  PlotAxis* Axis(int i);
  const PlotAxis* Axis(int i) const;

  PlotDataArea& DataArea() { return data_area_; }
  const PlotDataArea& DataArea() const { return data_area_; }
  // The points of the data set `id` on the plot's owner; empty when the
  // plot has no such data set or no owner.
  std::vector<PlotPoint> Points(int id);

  bool LegendShown() const { return legend_shown_; }
  void ShowLegend(bool shown) { legend_shown_ = shown; }

  void SetMappingStyle(ScaleMapping::Styles style);
  bool HasMappingStyle() const { return has_mapping_style_; }
  ScaleMapping::Styles MappingStyle() const { return mapping_style_; }

  // The parameter set the plot reads its ranges from (not owned; may be
  // null).
  PlotParameters* Parameters() const { return parameters_; }
  void SetParameters(PlotParameters* parameters) { parameters_ = parameters; }
  // A new set of the plot's dimensions, filled from the plot (its ranges
  // automatic); owned by the caller.
  std::unique_ptr<PlotParameters> CreateParameters() const;

  // Adds the event for the moniker; an equal one already there is kept.
  void RegisterInspectionEvent(const Text& moniker, int event,
                               const Text& command);
  const std::vector<InspectionEvent>& InspectionEvents() const {
    return events_;
  }

  // Class data: see docs/file-format.md, "Plots". Recall reads the whole
  // record before it changes the plot, so a failed recall leaves it as it
  // was.
  unsigned char StoreClassData(BinaryFile& file) const;
  unsigned char RecallClassData(BinaryFile& file);

 protected:
  PlotObject(Viewable* owner, const ObjectTypeInfo* type, int axes,
             PlotParameters* parameters);
  PlotObject(ObjectInstanceInfo& info, int axes);

  // The fields of each kind, after the common ones.
  virtual unsigned char StoreKindData(BinaryFile& file) const = 0;
  virtual unsigned char RecallKindData(BinaryFile& file) = 0;

 private:
  Text title_;
  std::vector<PlotAxis> axes_;
  PlotDataArea data_area_;
  bool legend_shown_ = true;
  bool has_mapping_style_ = false;
  ScaleMapping::Styles mapping_style_ = ScaleMapping::kLinear;
  PlotParameters* parameters_ = nullptr;
  std::vector<InspectionEvent> events_;
};

class PEMAR_EXPORT TwoDimPlot : public PlotObject {
 public:
  // A plot in `owner` (may be null) reading `parameters` (may be null).
  TwoDimPlot(Viewable* owner, PlotParameters* parameters);
  explicit TwoDimPlot(ObjectInstanceInfo& info);
  PlotTypeEnum PlotType() const override { return kTwoDimPlotType; }

  void SetLogAxis(bool x, bool y);
  bool GetXLogAxis() const { return Axis(0)->log; }
  bool GetYLogAxis() const { return Axis(1)->log; }

 protected:
  unsigned char StoreKindData(BinaryFile& file) const override;
  unsigned char RecallKindData(BinaryFile& file) override;
};

class PEMAR_EXPORT ThreeDimPlot : public PlotObject {
 public:
  ThreeDimPlot(Viewable* owner, PlotParameters* parameters);
  explicit ThreeDimPlot(ObjectInstanceInfo& info);
  PlotTypeEnum PlotType() const override { return kThreeDimPlotType; }

  // Degrees.
  void SetViewAngles(double first, double second);
  double FirstViewAngle() const { return angles_[0]; }
  double SecondViewAngle() const { return angles_[1]; }
  // The data text of all three axes.
  void SetData(const Text& data);

 protected:
  unsigned char StoreKindData(BinaryFile& file) const override;
  unsigned char RecallKindData(BinaryFile& file) override;

 private:
  double angles_[2] = {0.0, 0.0};
};

class PEMAR_EXPORT EquTriDimPlot : public PlotObject {
 public:
  EquTriDimPlot(Viewable* owner, PlotParameters* parameters);
  explicit EquTriDimPlot(ObjectInstanceInfo& info);
  PlotTypeEnum PlotType() const override { return kEquTriPlotType; }

  // The triangle's form: equilateral, or right-angled (false).
  void AmIAnEquTriangle(bool equilateral) { equilateral_ = equilateral; }
  bool IsEquTriangle() const { return equilateral_; }

  // Not owned; must outlive the plot or be taken back (null).
  void SetInteraction(PlotInteractionObject* interaction) {
    interaction_ = interaction;
  }
  PlotInteractionObject* Interaction() const { return interaction_; }
  // What the interaction object answers; false without one.
  bool TriggerEvent(int event);

  // The monikers that the framework fills with the pointer position.
  void SetMouseMonikers(const Text& x, const Text& y);
  const Text& MouseXMoniker() const { return mouse_x_; }
  const Text& MouseYMoniker() const { return mouse_y_; }

  // Whether the plot holds back its "TriangleGraphControl" view.
  bool HoldsBackControlView() const { return hold_back_control_; }
  void SetHoldBackControlView(bool hold) { hold_back_control_ = hold; }

 protected:
  unsigned char StoreKindData(BinaryFile& file) const override;
  unsigned char RecallKindData(BinaryFile& file) override;

 private:
  bool equilateral_ = true;
  PlotInteractionObject* interaction_ = nullptr;
  Text mouse_x_;
  Text mouse_y_;
  bool hold_back_control_ = false;
};

}  // namespace pemar

#endif  // PEMAR_FRAMEWORK_PLOTOBJECTS_H_
