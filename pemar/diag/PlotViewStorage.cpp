// The plot view's object type, class data of every version, and fix-up
// after a recall (docs/file-format.md, "Plot views").

#include <array>
#include <memory>
#include <utility>
#include <vector>

#include "pemar/diag/PlotView.h"
#include "pemar/framework/BinaryFile.h"
#include "pemar/framework/Document.h"
#include "pemar/framework/ObjectManager.h"
#include "pemar/framework/Types.h"
#include "pemar/framework/VarDescription.h"

namespace pemar {
namespace {

// The fewest bytes of a stored record of revision 0 or 1: revision, id,
// label and colour lengths, symbol, size, a flag, style, width, two flags
// and four moniker lengths.
constexpr std::uint64_t kMinRecordBytes =
    4 + 4 + 4 + 4 + 4 + 8 + 1 + 4 + 4 + 1 + 1 + 4 * 4;
constexpr int kCalcAllEvent = 1;

class PlotViewObjectInfoT : public ObjectTypeInfo {
 public:
  using ObjectTypeInfo::ObjectTypeInfo;
  Viewable* CreateInstanceForRecall(ObjectInstanceInfo& info) const override {
    return new PlotView(info);
  }
  unsigned char StoreClassData(BinaryFile& file,
                               Viewable* object) const override {
    auto* view = dynamic_cast<PlotView*>(object);
    return view != nullptr ? view->StoreClassData(file) : 0;
  }
  unsigned char RecallClassData(BinaryFile& file,
                                Viewable* object) const override {
    auto* view = dynamic_cast<PlotView*>(object);
    return view != nullptr ? view->RecallClassData(file) : 0;
  }
  unsigned char CheckRecalledPointers(Viewable* object) const override {
    auto* view = dynamic_cast<PlotView*>(object);
    return view != nullptr && !view->IsDeleteOnRecall();
  }
  void RecallFixUp(Viewable* object) const override {
    if (auto* view = dynamic_cast<PlotView*>(object)) view->RecallFixUp();
  }
};

const ObjectTypeInfo* const kPlotViewStorageTypeRegistered = PlotViewObjectType();

unsigned char WriteTexts(BinaryFile& file, const std::vector<Text>& texts) {
  for (const Text& text : texts) {
    if (!file.Write(text)) return 0;
  }
  return 1;
}

unsigned char ReadTexts(BinaryFile& file, std::vector<Text>& texts,
                        std::size_t count) {
  texts.assign(count, Text());
  for (Text& text : texts) {
    if (!file.Read(text)) return 0;
  }
  return 1;
}

// Reads `count` axis-order values; a set that is not an order of 0 to
// count - 1 values each below count becomes the identity order.
unsigned char ReadAxisOrder(BinaryFile& file, std::vector<int>& order,
                            int count) {
  order.assign(count, 0);
  bool valid = true;
  for (int& axis : order) {
    if (!file.Read(axis)) return 0;
    valid = valid && axis >= 0 && axis < count;
  }
  if (!valid) {
    for (int i = 0; i < count; ++i) order[i] = i;
  }
  return 1;
}

unsigned char RecallPlot(BinaryFile& file, Viewable*& plot,
                         const ObjectTypeInfo* type) {
  return Viewable::RecallPointerX(file, plot, type);
}

}  // namespace

const ObjectTypeInfo* PlotViewObjectType() {
  static const ObjectTypeInfo* type = [] {
    auto* t =
        new PlotViewObjectInfoT("PlotViewObject", ViewableObjectType(),
                                "PlotView", 0, 0, "plotview", kEmptyMarker);
    t->SetClassDataVersion(kPlotViewVersion);
    t->SetDisplayName("Plot View");
    return t;
  }();
  (void)kPlotViewStorageTypeRegistered;
  return type;
}

unsigned char PlotView::StoreClassData(BinaryFile& file) {
  if (!file.Write(plot_type_) || !file.Write(second_name_) ||
      !file.Write(static_cast<unsigned int>(records_.Count()))) {
    return 0;
  }
  for (std::size_t i = 0; i < records_.Count(); ++i) {
    if (!records_.At(i)->StoreClassData(file)) return 0;
  }
  unsigned char ok = 1;
  if (plot_type_ == kEquTriPlotType) {
    ok = Viewable::StorePointer(file, plot_);
  } else if (plot_type_ == kTwoDimPlotType) {
    ok = WriteTexts(file, labels_) &&
         StorePlotParameters(file, two_dim_parameters_.get()) &&
         Viewable::StorePointer(file, plot_);
  } else if (plot_type_ == kThreeDimPlotType) {
    for (int axis : axis_order_) ok = ok && file.Write(axis);
    ok = ok && WriteTexts(file, labels_) &&
         StorePlotParameters(file, three_dim_parameters_.get()) &&
         Viewable::StorePointer(file, plot_);
  }
  if (!ok) return 0;
  stored_state_ =
      plot_ != nullptr ? kPlotViewStateWithPlot : kPlotViewStateWithoutPlot;
  return file.Write(stored_state_) &&
         file.Write(static_cast<unsigned char>(delete_disabled_ ? 1 : 0));
}

unsigned char PlotView::RecallClassData(BinaryFile& file) {
  const ObjectTypeInfo* type_info = Type();
  const int v = type_info != nullptr ? type_info->RecalledClassDataVersion()
                                     : kPlotViewVersion;
  int type = kEmptyMarker;
  Text second_name;
  unsigned int count = 0;
  if (!file.Read(type) || !file.Read(second_name) || !file.Read(count) ||
      count > file.Remaining() / kMinRecordBytes) {
    return 0;
  }
  std::vector<std::unique_ptr<PlottedDataSet>> records;
  for (unsigned int i = 0; i < count; ++i) {
    auto record = std::make_unique<PlottedDataSet>(kEmptyMarker, Text());
    if (!record->RecallClassData(file)) return 0;
    records.push_back(std::move(record));
  }

  // The arrays of the recalled type, as SetPlot makes them.
  std::vector<Text> labels;
  std::vector<int> order;
  std::unique_ptr<PlotParameters> two_dim;
  std::unique_ptr<PlotParameters> three_dim;
  Viewable* plot = nullptr;
  unsigned char ok = 1;
  if (type == kEquTriPlotType) {
    labels.assign(3, Text());
    order = {0, 1, 2};
    if (v < 5) ok = ReadAxisOrder(file, order, 3) && ReadTexts(file, labels, 3);
    if (ok && v < 2) {
      unsigned int dropped = 0;
      ok = file.Read(dropped);
    } else if (ok) {
      ok = RecallPlot(file, plot, EquTriDimPlotType());
    }
  } else if (type == kThreeDimPlotType) {
    ok = ReadAxisOrder(file, order, 4) && ReadTexts(file, labels, 4) &&
         RecallPlotParameters(file, 3, three_dim) &&
         (v < 7 || RecallPlot(file, plot, ThreeDimPlotType()));
  } else if (type == kTwoDimPlotType) {
    ok = ReadTexts(file, labels, 2) && RecallPlotParameters(file, 2, two_dim) &&
         (v < 3 || RecallPlot(file, plot, TwoDimPlotType()));
  }
  int state = 0;
  unsigned char disabled = delete_disabled_ ? 1 : 0;
  if (!ok || !file.Read(state) || (v >= 4 && !file.Read(disabled))) return 0;

  plot_type_ = type;
  second_name_ = std::move(second_name);
  records_.RemoveAll();
  for (auto& record : records) records_.Append(record.release());
  labels_ = std::move(labels);
  axis_order_ = std::move(order);
  two_dim_parameters_ = std::move(two_dim);
  three_dim_parameters_ = std::move(three_dim);
  // Every recalled plot is watched, whatever the version: a plot deleted
  // later must not leave the view a dangling pointer.
  ReplacePlot(dynamic_cast<PlotObject*>(plot));
  if (plot_ != nullptr) plot_->SetParameters(GetParameters(plot_type_));

  stored_state_ = state;
  delete_disabled_ = disabled != 0;
  return 1;
}

void PlotView::RecallFixUp() {
  // Triangle views of version 5 on keep their corner labels with the plot
  // only, whose class data may come after the view's.
  const ObjectTypeInfo* type_info = Type();
  const int v = type_info != nullptr ? type_info->RecalledClassDataVersion()
                                     : kPlotViewVersion;
  if (plot_type_ == kEquTriPlotType && v >= 5 && plot_ != nullptr) {
    for (int i = 0; i < 3; ++i) labels_[i] = plot_->Axis(i)->label;
  }
  Viewable* owner = GetOwner();
  while (owner != nullptr && !owner->IsA(ViewableObjectType())) {
    owner = owner->GetOwner();
  }
  UseOwner(owner);
  EquTriDimPlot* triangle = Triangle();
  if (plot_type_ != kEquTriPlotType ||
      stored_state_ != kPlotViewStateWithPlot || triangle == nullptr) {
    return;
  }
  triangle->SetMouseMonikers(":ExtraData.510", ":ExtraData.511");
  triangle->SetInteraction(&interaction_);
  triangle->RegisterInspectionEvent(Text(), kCalcAllEvent, "CalcAll");
  for (std::size_t i = 0; i < records_.Count(); ++i) {
    const PlottedDataSet& record = *records_.At(i);
    if (record.GetId() >= kFirstToggledDataSet &&
        record.GetId() <= kLastToggledDataSet) {
      RegisterToggleEvents(record);
    }
  }
  if (owner_ == nullptr ||
      owner_->AttachObject(this, VarDescription("PlotView", 999))) {
    return;
  }
  // Refused. The recall is still walking its objects, so the view goes
  // once it is over.
  if (Document* document = GetDocument()) {
    document->GetObjectManager().DeleteAfterRecall(this);
  }
}

}  // namespace pemar
