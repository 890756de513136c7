// The plot view: building the plot and its data sets, toggling, commands
// and variables. Storage and recall are in PlotViewStorage.cpp.

#include "pemar/diag/PlotView.h"

#include "pemar/framework/Document.h"
#include "pemar/framework/Messages.h"
#include "pemar/framework/Types.h"
#include "pemar/framework/VarDescription.h"
#include "pemar/framework/ViewLog.h"

namespace pemar {
namespace {

constexpr int kFormVariableType = 104;
constexpr int kDeleteDisabledNumber = 185;
constexpr int kTriangleFormNumber = 399;
constexpr int kPlotTypeNumber = 300;
constexpr int kLabelNumber = 300;
constexpr int kNameNumber = 200;
constexpr int kPlotObjectMessage = 6;
// Answer style of the delete question, and its "go on".
constexpr int kYesNoStyle = 2;
constexpr int kYes = 1;

constexpr int kShowEntireProfileEvent = 21;
constexpr int kShowIntersectionEvent = 22;

// Layout values of the framework plots.
constexpr char kTwoDimFormat[] = "%.2g";
constexpr char kOtherFormat[] = "%.1g";
constexpr double kViewAngle = 30.0;

int LabelsOf(PlotTypeEnum type) {
  switch (type) {
    case kTwoDimPlotType:
      return 2;
    case kThreeDimPlotType:
      return 4;
    case kEquTriPlotType:
      return 3;
    default:
      return 0;
  }
}

bool Toggled(int id) {
  return id >= kFirstToggledDataSet && id <= kLastToggledDataSet;
}

// The last character of a moniker; 0 for an empty one, which ends in
// nothing.
char LastOf(const Text& moniker) {
  return moniker.IsEmpty() ? '\0' : moniker[moniker.Length() - 1];
}

}  // namespace

bool PlotViewInteraction::HandleEvent(int event) {
  if (event == 1) {
    view_->CallCalculate();
  } else if (event == kShowEntireProfileEvent ||
             event == kShowIntersectionEvent) {
    view_->ToggleIntersection();
  }
  return true;
}

PlotView::PlotView(Viewable* owner, const ObjectTypeInfo* type)
    : Viewable(owner, type) {
  UseOwner(owner);
}

PlotView::PlotView(ObjectInstanceInfo& info) : Viewable(info) {}

PlotView::~PlotView() { ReplacePlot(nullptr); }

void PlotView::UseOwner(Viewable* owner) {
  if (owner_ == owner) return;
  if (owner_ != nullptr) owner_->RemoveDeathPostee(this);
  owner_ = owner;
  if (owner_ != nullptr) owner_->AddDeathPostee(this);
}

// Deletes the current plot (unless it is `plot`) and watches the new one.
void PlotView::ReplacePlot(PlotObject* plot) {
  if (plot_ == plot) return;
  PlotObject* old = plot_;
  plot_ = plot;
  if (plot_ != nullptr) plot_->AddDeathPostee(this);
  if (old != nullptr) {
    old->RemoveDeathPostee(this);
    delete old;
  }
}

EquTriDimPlot* PlotView::Triangle() const {
  return dynamic_cast<EquTriDimPlot*>(plot_);
}

PlotParameters* PlotView::GetParameters(PlotTypeEnum type) const {
  if (type == kTwoDimPlotType) return two_dim_parameters_.get();
  if (type == kThreeDimPlotType) return three_dim_parameters_.get();
  return nullptr;
}

PlotObject* PlotView::SetPlot(PlotTypeEnum type) {
  ReplacePlot(nullptr);
  two_dim_parameters_.reset();
  three_dim_parameters_.reset();
  plot_type_ = type;
  labels_.assign(LabelsOf(type), Text());
  axis_order_.clear();
  if (type == kEquTriPlotType || type == kThreeDimPlotType) {
    for (int i = 0; i < LabelsOf(type); ++i) axis_order_.push_back(i);
  }
  return ConstructPlot();
}

PlotObject* PlotView::ConstructPlot() {
  if (plot_ != nullptr) return plot_;
  // Once the owner is gone the plot is made where the view itself lives, so
  // that it belongs to the view's document and is stored with it.
  Viewable* home = owner_ != nullptr ? owner_ : GetOwner();
  PlotObject* plot = nullptr;
  if (plot_type_ == kTwoDimPlotType) {
    auto* two_dim = new TwoDimPlot(home, two_dim_parameters_.get());
    for (int i = 0; i < 2; ++i) {
      two_dim->Axis(i)->number_format = kTwoDimFormat;
      two_dim->Axis(i)->label = GetLabel(i);
      two_dim->Axis(i)->label_visible = true;
    }
    plot = two_dim;
  } else if (plot_type_ == kThreeDimPlotType) {
    auto* three_dim = new ThreeDimPlot(home, three_dim_parameters_.get());
    for (int i = 0; i < 3; ++i) {
      three_dim->Axis(i)->number_format = kOtherFormat;
      three_dim->Axis(i)->label = GetLabel(i);
    }
    three_dim->SetViewAngles(kViewAngle, kViewAngle);
    three_dim->SetData(Text());
    plot = three_dim;
  } else if (plot_type_ == kEquTriPlotType) {
    auto* triangle = new EquTriDimPlot(home, nullptr);
    for (int i = 0; i < 3; ++i) {
      triangle->Axis(i)->number_format = kOtherFormat;
      triangle->Axis(i)->label = GetLabel(i);
    }
    triangle->SetInteraction(&interaction_);
    triangle->AmIAnEquTriangle(false);
    plot = triangle;
  } else {
    return nullptr;
  }
  ReplacePlot(plot);
  if (mapping_style_set_) plot->SetMappingStyle(mapping_style_);
  plot->SetTitle(GetName());
  ConstructDataSets();
  return plot;
}

void PlotView::ConstructDataSets() {
  if (plot_ == nullptr) return;
  PlotDataArea& area = plot_->DataArea();
  const bool triangle = plot_type_ == kEquTriPlotType;
  for (std::size_t i = 0; i < records_.Count(); ++i) {
    const PlottedDataSet& r = *records_.At(i);
    std::vector<Text> monikers = {r.GetMoniker(0), r.GetMoniker(1)};
    PlotDataSet* set = nullptr;
    if (r.GetShowLine()) {
      if (plot_type_ == kThreeDimPlotType) monikers.push_back(r.GetMoniker(2));
      const PointSymbolsEnum symbol =
          r.GetShowSymbols() ? r.GetSymbol() : kNoSymbol;
      set = area.Create(DataSetKind::kLine, r.GetId(), monikers, r.GetLabel(),
                        r.GetDataColour(), symbol);
      if (set == nullptr) continue;
      set->line_style = r.GetLineStyle();
      set->line_width = triangle ? r.GetLineWidth() : 0;
      set->show_symbols = symbol != kNoSymbol;
    } else if (r.GetShowSymbols()) {
      if (triangle && !r.GetMoniker(2).IsEmpty()) {
        monikers.push_back(r.GetMoniker(2));
      }
      set = area.Create(DataSetKind::kPoint, r.GetId(), monikers, r.GetLabel(),
                        r.GetDataColour(), r.GetSymbol());
      if (set == nullptr) continue;
      set->show_text_on_plot = r.GetShowTextOnPlot();
    } else if (triangle && r.IsArrow()) {
      set = area.Create(DataSetKind::kArrow, r.GetId(), monikers, r.GetLabel(),
                        r.GetDataColour(), r.GetSymbol());
      if (set == nullptr) continue;
      set->show_symbols = false;
    } else {
      continue;
    }
    if (!set->legend_locked) set->show_in_legend = r.GetShowInLegend();
    if (triangle) {
      set->symbol_size = r.GetSymbolSize();
      if (Toggled(r.GetId())) RegisterToggleEvents(r);
    }
  }
}

void PlotView::RegisterToggleEvents(const PlottedDataSet& record) {
  if (plot_ == nullptr) return;
  for (int i = 0; i < 3; ++i) {
    const Text moniker = record.GetMoniker(i);
    const char last = LastOf(moniker);
    if (last == '0') {
      plot_->RegisterInspectionEvent(moniker, kShowEntireProfileEvent,
                                     "ShowEntireProfile");
    } else if (last == '1') {
      plot_->RegisterInspectionEvent(moniker, kShowIntersectionEvent,
                                     "ShowIntersection");
    }
  }
}

void PlotView::ToggleIntersection() {
  for (std::size_t i = 0; i < records_.Count(); ++i) {
    PlottedDataSet& r = *records_.At(i);
    if (!Toggled(r.GetId())) continue;
    bool changed = false;
    for (int m = 0; m < 3; ++m) {
      Text moniker = r.GetMoniker(m);
      const char last = LastOf(moniker);
      if (last != '0' && last != '1') continue;
      moniker[moniker.Length() - 1] = last == '0' ? '1' : '0';
      r.AddMoniker(m, moniker);
      changed = true;
      if (plot_ != nullptr) {
        if (last == '0') {
          plot_->RegisterInspectionEvent(moniker, kShowEntireProfileEvent,
                                         "ShowEntireProfile");
        } else {
          plot_->RegisterInspectionEvent(moniker, kShowIntersectionEvent,
                                         "ShowIntersection");
        }
      }
    }
    if (changed && plot_ != nullptr) plot_->DataArea().Destroy(r.GetId());
  }
  ConstructDataSets();
  UpdateViews();
}

void PlotView::UpdateViews() {
  if (Document* document = GetDocument()) document->UpdateViews(nullptr);
}

void PlotView::CallCalculate() {
  if (owner_ != nullptr) owner_->Message("Calculate");
}

void PlotView::SetTitle(const Text& title) {
  if (plot_ != nullptr) plot_->SetTitle(title);
}

void PlotView::SetName(const Text& name) {
  Viewable::SetName(name);
  SetTitle(name);
}

void PlotView::SetLabel(int i, const Text& label) {
  if (i < 0 || i >= LabelCount()) return;
  labels_[i] = label;
  if (plot_ == nullptr || i >= 3) return;
  if (PlotAxis* axis = plot_->Axis(i)) {
    axis->label = label;
    if (plot_type_ == kTwoDimPlotType) axis->label_visible = true;
  }
}

Text PlotView::GetLabel(int i) const {
  return i >= 0 && i < LabelCount() ? labels_[i] : Text();
}

void PlotView::SetData(const Text& data) {
  if (auto* plot = dynamic_cast<ThreeDimPlot*>(plot_)) plot->SetData(data);
}

void PlotView::SetLogAxis(bool x, bool y) {
  if (auto* plot = dynamic_cast<TwoDimPlot*>(plot_)) plot->SetLogAxis(x, y);
}

void PlotView::AddDataSet(PlottedDataSet* record) {
  if (record == nullptr) return;
  records_.Append(record);
  ConstructDataSets();
}

void PlotView::RemoveDataSet(int id) {
  records_.RemoveId(id);
  if (plot_ != nullptr) plot_->DataArea().Destroy(id);
  ConstructDataSets();
}

void PlotView::RemoveAllDataSets() {
  records_.RemoveAll();
  if (plot_ != nullptr) plot_->DataArea().DestroyAll();
  ConstructDataSets();
}

void PlotView::AddMouseMoniker(const Text& x, const Text& y) {
  if (EquTriDimPlot* plot = Triangle()) plot->SetMouseMonikers(x, y);
}

void PlotView::SetMappingStyle(ScaleMapping::Styles style) {
  mapping_style_ = style;
  mapping_style_set_ = true;
}

int PlotView::Message(const Text& command) {
  Text rest = command;
  const Text word = rest.Token();
  if (word == "ChangeTriangleType") {
    if (EquTriDimPlot* plot = Triangle()) {
      plot->AmIAnEquTriangle(!plot->IsEquTriangle());
    }
    return 1;
  }
  if (word == "ViewPlotControl") {
    if (plot_type_ == kTwoDimPlotType || plot_type_ == kThreeDimPlotType) {
      auto& parameters = plot_type_ == kTwoDimPlotType ? two_dim_parameters_
                                                       : three_dim_parameters_;
      PlotObject* plot = ConstructPlot();
      if (parameters == nullptr && plot != nullptr) {
        parameters = plot->CreateParameters();
        plot->SetParameters(parameters.get());
      }
      if (parameters != nullptr) OpenView("PlotParameters");
    } else if (EquTriDimPlot* plot = Triangle()) {
      if (!plot->HoldsBackControlView()) OpenView("TriangleGraphControl");
    }
    return 1;
  }
  if (word == "Delete") {
    if (ResponseMsg("ConfirmDeleteRCMPlot", kYesNoStyle) != kYes) return 1;
    return Viewable::Message(command);
  }
  return Viewable::Message(command);
}

double PlotView::Value(const VarDescription& desc) {
  if (desc.VariableIs("PlotType") && desc.Number() == kPlotTypeNumber) {
    return kEmptyValue;
  }
  if (desc.Type() == kFormVariableType) {
    if (desc.Number() == kDeleteDisabledNumber) {
      return delete_disabled_ ? 1.0 : 0.0;
    }
    if (desc.Number() == kTriangleFormNumber) {
      const EquTriDimPlot* plot = Triangle();
      return plot != nullptr && plot->IsEquTriangle() ? 1.0 : 0.0;
    }
  }
  return Viewable::Value(desc);
}

Text PlotView::TextValue(const VarDescription& desc) {
  if (desc.VariableIs("Label") && desc.Number() == kLabelNumber) {
    return GetLabel(desc.Index());
  }
  if (desc.VariableIs("Name") && desc.Number() == kNameNumber) {
    if (owner_ == nullptr) return GetName();
    return owner_->GetName() + ": " + GetName();
  }
  return Viewable::TextValue(desc);
}

unsigned char PlotView::SpecifyText(const VarDescription& desc,
                                    const Text& value) {
  const unsigned char done = Viewable::SpecifyText(desc, value);
  UpdateViews();
  return done;
}

int PlotView::GenMessage(MessageInfo& info) {
  if (info.kind == kPlotObjectMessage) {
    info.object = ConstructPlot();
    return 1;
  }
  return Viewable::GenMessage(info);
}

Viewable* PlotView::AttachedObject(const VarDescription& desc) {
  if (desc.IsSelf()) return this;
  return Viewable::AttachedObject(desc);
}

Text PlotView::AttachedName(Viewable* object) {
  if (object != nullptr && object == plot_) return GetName();
  return Viewable::AttachedName(object);
}

void PlotView::DisconnectDeadObject(Viewable* dying) {
  if (dying == plot_) plot_ = nullptr;
  if (dying == owner_) owner_ = nullptr;
  Viewable::DisconnectDeadObject(dying);
}

}  // namespace pemar
