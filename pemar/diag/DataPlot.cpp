#include "pemar/diag/DataPlot.h"

#include <algorithm>
#include <utility>

#include "pemar/diag/PlottedDataSet.h"
#include "pemar/framework/Types.h"
#include "pemar/framework/VarDescription.h"
#include "pemar/framework/Viewable.h"
#include "pemar/framework/ViewableProtocol.h"

namespace pemar {

// The columns the data sets name: "Column.<n>.[]" is column n.
class DataPlot::Table : public Viewable {
 public:
  Table() : Viewable(nullptr, nullptr) {}

  Text AddColumn(std::vector<double> values) {
    columns_.push_back(std::move(values));
    return CreateMoniker("Column", static_cast<int>(columns_.size() - 1),
                         kEmptyMarker, true);
  }

  double Value(const VarDescription& desc) override {
    const std::vector<double>* column = Find(desc);
    if (column == nullptr) return Viewable::Value(desc);
    const int i = desc.Index();
    return i >= 0 && static_cast<std::size_t>(i) < column->size()
               ? (*column)[static_cast<std::size_t>(i)]
               : kEmptyValue;
  }

  unsigned char Dimensions(const VarDescription& desc, DimInfo& dims) override {
    const std::vector<double>* column = Find(desc);
    if (column == nullptr) return Viewable::Dimensions(desc, dims);
    dims.AddDim(static_cast<int>(column->size()));
    return 1;
  }

 private:
  const std::vector<double>* Find(const VarDescription& desc) const {
    if (!desc.VariableIs("Column") || !desc.IsIndexed()) return nullptr;
    const int n = desc.Number();
    if (n < 0 || static_cast<std::size_t>(n) >= columns_.size()) {
      return nullptr;
    }
    return &columns_[static_cast<std::size_t>(n)];
  }

  std::vector<std::vector<double>> columns_;
};

DataPlot::DataPlot(PlotTypeEnum type) : table_(std::make_unique<Table>()) {
  if (type == kEquTriPlotType) {
    plot_ = std::make_unique<EquTriDimPlot>(table_.get(), nullptr);
  } else {
    plot_ = std::make_unique<TwoDimPlot>(table_.get(), nullptr);
  }
}

DataPlot::~DataPlot() = default;

void DataPlot::SetLabels(const Text& title, const Text& x, const Text& y) {
  plot_->SetTitle(title);
  const Text* labels[] = {&x, &y};
  for (int i = 0; i < 2; ++i) {
    PlotAxis* axis = plot_->Axis(i);
    axis->label = *labels[i];
    axis->label_visible = !labels[i]->IsEmpty();
  }
}

PlotDataSet& DataPlot::Add(DataSetKind kind, const Text& label, int colour,
                           std::vector<double> first,
                           std::vector<double> second,
                           std::vector<double> third, bool symbols) {
  std::size_t n = std::min({first.size(), second.size(), kMaxPlotPoints});
  if (!third.empty()) n = std::min(n, third.size());
  first.resize(n);
  second.resize(n);
  std::vector<Text> monikers = {table_->AddColumn(std::move(first)),
                                table_->AddColumn(std::move(second))};
  if (!third.empty()) {
    third.resize(n);
    monikers.push_back(table_->AddColumn(std::move(third)));
  }
  const PlotDataArea& area = plot_->DataArea();
  const int id = area.Count() == 0 ? 1 : area.At(area.Count() - 1).id + 1;
  const bool plain_line = kind == DataSetKind::kLine && !symbols;
  PlotDataSet* set = plot_->DataArea().Create(
      kind, id, std::move(monikers), label, GetColourID(colour),
      plain_line ? kNoSymbol : kDefaultSymbol);
  set->show_symbols = !plain_line;
  set->show_in_legend = !label.IsEmpty();
  return *set;
}

std::string DataPlot::Svg(const SvgOptions& options) const {
  return RenderPlotSvg(*plot_, options);
}

bool DataPlot::WriteSvg(const std::string& path,
                        const SvgOptions& options) const {
  return WritePlotSvg(*plot_, path, options);
}

}  // namespace pemar
