#include "pemar/framework/PlotObjects.h"

#include <algorithm>

#include "pemar/framework/BinaryFile.h"
#include "pemar/framework/Types.h"

namespace pemar {
namespace {

// The hooks of one kind of plot: made for a recall, stored and recalled
// through the plot's own class data.
template <typename Plot>
class PlotInfoT : public ObjectTypeInfo {
 public:
  using ObjectTypeInfo::ObjectTypeInfo;
  Viewable* CreateInstanceForRecall(ObjectInstanceInfo& info) const override {
    return new Plot(info);
  }
  unsigned char StoreClassData(BinaryFile& file,
                               Viewable* object) const override {
    auto* plot = dynamic_cast<Plot*>(object);
    return plot != nullptr ? plot->StoreClassData(file) : 0;
  }
  unsigned char RecallClassData(BinaryFile& file,
                                Viewable* object) const override {
    auto* plot = dynamic_cast<Plot*>(object);
    return plot != nullptr ? plot->RecallClassData(file) : 0;
  }
};

template <typename Plot>
const ObjectTypeInfo* MakePlotType(const char* typeName, const char* className,
                                   const char* identifier) {
  auto* type = new PlotInfoT<Plot>(typeName, PlotObjectType(), className, 0, 0,
                                   identifier, kEmptyMarker);
  type->SetClassDataVersion(1);
  return type;
}

const ObjectTypeInfo* const kRegisteredTypes[] = {
    TwoDimPlotType(), ThreeDimPlotType(), EquTriDimPlotType()};

}  // namespace

const ObjectTypeInfo* PlotObjectType() {
  static const ObjectTypeInfo* type =
      new ObjectTypeInfo("PlotObject", ViewableObjectType(), "PlotObject", 0, 0,
                         "plot", kEmptyMarker);
  return type;
}

const ObjectTypeInfo* TwoDimPlotType() {
  static const ObjectTypeInfo* type =
      MakePlotType<TwoDimPlot>("TwoDimPlotObject", "TwoDimPlot", "plot2d");
  (void)kRegisteredTypes;
  return type;
}

const ObjectTypeInfo* ThreeDimPlotType() {
  static const ObjectTypeInfo* type = MakePlotType<ThreeDimPlot>(
      "ThreeDimPlotObject", "ThreeDimPlot", "plot3d");
  return type;
}

const ObjectTypeInfo* EquTriDimPlotType() {
  static const ObjectTypeInfo* type = MakePlotType<EquTriDimPlot>(
      "EquTriDimPlotObject", "EquTriDimPlot", "plottri");
  return type;
}

// ---------------------------------------------------------------------------
// Parameter sets

PlotParameters::PlotParameters(int dimensions)
    : minimum_(dimensions == 3 ? 3 : 2, kEmptyValue),
      maximum_(dimensions == 3 ? 3 : 2, kEmptyValue) {}

double PlotParameters::Minimum(int axis) const {
  return axis >= 0 && axis < Dimensions() ? minimum_[axis] : kEmptyValue;
}

double PlotParameters::Maximum(int axis) const {
  return axis >= 0 && axis < Dimensions() ? maximum_[axis] : kEmptyValue;
}

void PlotParameters::SetRange(int axis, double minimum, double maximum) {
  if (axis < 0 || axis >= Dimensions()) return;
  minimum_[axis] = minimum;
  maximum_[axis] = maximum;
}

// ---------------------------------------------------------------------------
// Plots

PlotObject::PlotObject(Viewable* owner, const ObjectTypeInfo* type, int axes,
                       PlotParameters* parameters)
    : Viewable(owner, type), axes_(axes), parameters_(parameters) {}

PlotObject::PlotObject(ObjectInstanceInfo& info, int axes)
    : Viewable(info), axes_(axes) {}

PlotObject::~PlotObject() = default;

PlotAxis* PlotObject::Axis(int i) {
  return i >= 0 && static_cast<std::size_t>(i) < axes_.size() ? &axes_[i]
                                                              : nullptr;
}

const PlotAxis* PlotObject::Axis(int i) const {
  return i >= 0 && static_cast<std::size_t>(i) < axes_.size() ? &axes_[i]
                                                              : nullptr;
}

std::vector<PlotPoint> PlotObject::Points(int id) {
  const PlotDataSet* set = data_area_.Find(id);
  if (set == nullptr) return {};
  return DataSetPoints(GetOwner(), *set);
}

void PlotObject::SetMappingStyle(ScaleMapping::Styles style) {
  mapping_style_ = style;
  has_mapping_style_ = true;
}

std::unique_ptr<PlotParameters> PlotObject::CreateParameters() const {
  return std::make_unique<PlotParameters>(PlotType() == kThreeDimPlotType ? 3
                                                                          : 2);
}

void PlotObject::RegisterInspectionEvent(const Text& moniker, int event,
                                         const Text& command) {
  InspectionEvent added{moniker, event, command};
  if (std::find(events_.begin(), events_.end(), added) == events_.end()) {
    events_.push_back(std::move(added));
  }
}

TwoDimPlot::TwoDimPlot(Viewable* owner, PlotParameters* parameters)
    : PlotObject(owner, TwoDimPlotType(), 2, parameters) {}

TwoDimPlot::TwoDimPlot(ObjectInstanceInfo& info) : PlotObject(info, 2) {}

void TwoDimPlot::SetLogAxis(bool x, bool y) {
  Axis(0)->log = x;
  Axis(1)->log = y;
}

ThreeDimPlot::ThreeDimPlot(Viewable* owner, PlotParameters* parameters)
    : PlotObject(owner, ThreeDimPlotType(), 3, parameters) {}

ThreeDimPlot::ThreeDimPlot(ObjectInstanceInfo& info) : PlotObject(info, 3) {}

void ThreeDimPlot::SetViewAngles(double first, double second) {
  angles_[0] = first;
  angles_[1] = second;
}

void ThreeDimPlot::SetData(const Text& data) {
  for (int i = 0; i < 3; ++i) Axis(i)->data = data;
}

EquTriDimPlot::EquTriDimPlot(Viewable* owner, PlotParameters* parameters)
    : PlotObject(owner, EquTriDimPlotType(), 3, parameters) {}

EquTriDimPlot::EquTriDimPlot(ObjectInstanceInfo& info) : PlotObject(info, 3) {}

bool EquTriDimPlot::TriggerEvent(int event) {
  return interaction_ != nullptr && interaction_->HandleEvent(event);
}

void EquTriDimPlot::SetMouseMonikers(const Text& x, const Text& y) {
  mouse_x_ = x;
  mouse_y_ = y;
}

}  // namespace pemar
