#include "pemar/diag/NamedPlot.h"

#include "pemar/framework/BinaryFile.h"
#include "pemar/framework/Types.h"

namespace pemar {
namespace {

constexpr int kNamedPlotVersion = 1;

class NamedPlotObjectInfoT : public ObjectTypeInfo {
 public:
  using ObjectTypeInfo::ObjectTypeInfo;
  Viewable* CreateInstanceForRecall(ObjectInstanceInfo& info) const override {
    return new NamedPlot(info);
  }
  unsigned char StoreClassData(BinaryFile& file,
                               Viewable* object) const override {
    auto* plot = dynamic_cast<NamedPlot*>(object);
    return plot != nullptr ? plot->StoreClassData(file) : 0;
  }
  unsigned char RecallClassData(BinaryFile& file,
                                Viewable* object) const override {
    auto* plot = dynamic_cast<NamedPlot*>(object);
    return plot != nullptr ? plot->RecallClassData(file) : 0;
  }
  unsigned char CheckRecalledPointers(Viewable* object) const override {
    auto* plot = dynamic_cast<NamedPlot*>(object);
    return plot != nullptr && !plot->IsToBeDeleted();
  }
};

const ObjectTypeInfo* const kNamedPlotTypeRegistered = NamedPlotObjectType();

// Layout of the framework plots: number formats of the axes.
constexpr char kNamedPlotAxisFormat[] = "%.2g";
constexpr char kTriangleFormat[] = "%.1g";

}  // namespace

const ObjectTypeInfo* NamedPlotObjectType() {
  static const ObjectTypeInfo* type = [] {
    auto* t =
        new NamedPlotObjectInfoT("NamedPlotObject", ViewableObjectType(),
                                 "NamedPlot", 0, 0, "pmfpkj", kEmptyMarker);
    t->SetClassDataVersion(kNamedPlotVersion);
    return t;
  }();
  (void)kNamedPlotTypeRegistered;
  return type;
}

NamedPlot::NamedPlot(Viewable* owner, PlotTypeEnum type, const Text& name,
                     const ObjectTypeInfo* typeInfo)
    : Viewable(owner, typeInfo), type_(type), plot_name_(name) {
  if (type == kTwoDimPlotType) {
    auto* plot = new TwoDimPlot(owner, nullptr);
    for (int i = 0; i < 2; ++i) {
      plot->Axis(i)->number_format = kNamedPlotAxisFormat;
      plot->Axis(i)->units_shown = true;
    }
    plot->ShowLegend(true);
    Adopt(two_dim_, plot);
  } else if (type == kEquTriPlotType) {
    auto* plot = new EquTriDimPlot(owner, nullptr);
    plot->AmIAnEquTriangle(false);
    for (int i = 0; i < 3; ++i) plot->Axis(i)->number_format = kTriangleFormat;
    plot->ShowLegend(true);
    Adopt(triangle_, plot);
  }
}

NamedPlot::NamedPlot(ObjectInstanceInfo& info) : Viewable(info) {}

NamedPlot::~NamedPlot() {
  Adopt(two_dim_, nullptr);
  Adopt(triangle_, nullptr);
}

// Puts `plot` in `slot`, deleting what was there, and watches it.
void NamedPlot::Adopt(PlotObject*& slot, PlotObject* plot) {
  if (slot == plot) return;
  PlotObject* old = slot;
  slot = plot;
  if (plot != nullptr) plot->AddDeathPostee(this);
  if (old != nullptr) {
    old->RemoveDeathPostee(this);
    delete old;
  }
}

PlotObject* NamedPlot::GetPlotObject() const {
  if (type_ == kTwoDimPlotType) return two_dim_;
  if (type_ == kEquTriPlotType) return triangle_;
  return nullptr;
}

PlotDataArea* NamedPlot::Area() const {
  PlotObject* plot = GetPlotObject();
  return plot != nullptr ? &plot->DataArea() : nullptr;
}

void NamedPlot::SetTitle(const Text& title) {
  if (PlotObject* plot = GetPlotObject()) plot->SetTitle(title);
}

void NamedPlot::SetLabel(const Text& a, const Text& b, const Text& c) {
  PlotObject* plot = GetPlotObject();
  if (plot == nullptr) return;
  const Text* labels[] = {&a, &b, &c};
  const int count = type_ == kTwoDimPlotType ? 2 : 3;
  for (int i = 0; i < count; ++i) {
    PlotAxis* axis = plot->Axis(i);
    if (axis == nullptr) continue;
    axis->label = *labels[i];
    if (type_ == kTwoDimPlotType) axis->label_visible = true;
  }
}

void NamedPlot::SetLogAxis(bool x, bool y) {
  if (auto* plot = dynamic_cast<TwoDimPlot*>(GetPlotObject())) {
    plot->SetLogAxis(x, y);
  }
}

bool NamedPlot::GetXLogAxis() const {
  auto* plot = dynamic_cast<TwoDimPlot*>(GetPlotObject());
  return plot != nullptr && plot->GetXLogAxis();
}

bool NamedPlot::GetYLogAxis() const {
  auto* plot = dynamic_cast<TwoDimPlot*>(GetPlotObject());
  return plot != nullptr && plot->GetYLogAxis();
}

void NamedPlot::AddDataSet(int id, const Text& firstMoniker,
                           const Text& secondMoniker, const Text& label,
                           const ColourResourceRef& colour,
                           PointSymbolsEnum symbol, bool lines) {
  PlotDataArea* area = Area();
  if (area == nullptr || area->Find(id) != nullptr) return;
  if (!lines && symbol == kNoSymbol) return;
  PlotDataSet* set =
      area->Create(lines ? DataSetKind::kLine : DataSetKind::kPoint, id,
                   {firstMoniker, secondMoniker}, label, colour, symbol);
  if (lines) {
    set->show_line = true;
    set->show_symbols = symbol != kNoSymbol;
  } else {
    set->show_line = false;
    set->show_symbols = true;
  }
  if (label.IsEmpty() && !set->legend_locked) set->show_in_legend = false;
}

void NamedPlot::AddArrowDataSet(int id, const Text& firstMoniker,
                                const Text& secondMoniker,
                                const ColourResourceRef& colour,
                                bool showLine) {
  if (type_ != kEquTriPlotType) return;
  PlotDataArea* area = Area();
  if (area == nullptr) return;
  PlotDataSet* set =
      area->Create(DataSetKind::kArrow, id, {firstMoniker, secondMoniker},
                   Text(), colour, kNoSymbol);
  if (set == nullptr) return;
  set->show_symbols = false;
  set->show_line = showLine;
  if (!set->legend_locked) set->show_in_legend = false;
}

void NamedPlot::AddMouseMoniker(const Text& x, const Text& y) {
  if (auto* plot = dynamic_cast<EquTriDimPlot*>(GetPlotObject())) {
    plot->SetMouseMonikers(x, y);
  }
}

void NamedPlot::RemoveDataSet(int id) {
  if (PlotDataArea* area = Area()) area->Destroy(id);
}

void NamedPlot::RemoveAllDataSets() {
  if (PlotDataArea* area = Area()) area->DestroyAll();
}

int NamedPlot::Message(const Text& command) {
  Text rest = command;
  if (rest.Token() == "SetToBeDeletedTrue") {
    to_be_deleted_ = true;
    return 1;
  }
  return Viewable::Message(command);
}

void NamedPlot::DisconnectDeadObject(Viewable* dying) {
  if (dying == two_dim_) two_dim_ = nullptr;
  if (dying == triangle_) triangle_ = nullptr;
  Viewable::DisconnectDeadObject(dying);
}

unsigned char NamedPlot::StoreClassData(BinaryFile& file) {
  return Viewable::StorePointer(file, two_dim_) &&
         Viewable::StorePointer(file, triangle_) && file.Write(type_) &&
         file.Write(plot_name_);
}

unsigned char NamedPlot::RecallClassData(BinaryFile& file) {
  const ObjectTypeInfo* type_info = Type();
  if (type_info != nullptr && type_info->RecalledClassDataVersion() < 1) {
    return 1;
  }
  Viewable* two_dim = nullptr;
  Viewable* triangle = nullptr;
  int type = 0;
  Text name;
  if (!Viewable::RecallPointerX(file, two_dim, TwoDimPlotType()) ||
      !Viewable::RecallPointerX(file, triangle, EquTriDimPlotType()) ||
      !file.Read(type) || !file.Read(name)) {
    return 0;
  }
  type_ = type;
  plot_name_ = std::move(name);
  Adopt(two_dim_, dynamic_cast<PlotObject*>(two_dim));
  Adopt(triangle_, dynamic_cast<PlotObject*>(triangle));
  return 1;
}

}  // namespace pemar
