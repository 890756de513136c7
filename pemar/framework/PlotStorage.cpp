// The class data of plots and the stored form of parameter sets; the
// grammar is in docs/file-format.md, "Plots".

#include <memory>
#include <utility>
#include <vector>

#include "pemar/framework/BinaryFile.h"
#include "pemar/framework/PlotObjects.h"

namespace pemar {
namespace {

constexpr int kParametersRevision = 1;
// The fewest bytes of one stored data set: id, kind, moniker count, label
// length, colour length, symbol, line style and width (4 each), the symbol
// size (8) and five flags.
constexpr std::uint64_t kMinDataSetBytes = 8 * 4 + 8 + 5;
constexpr unsigned int kMaxMonikers = 3;

unsigned char StoreAxis(BinaryFile& file, const PlotAxis& axis) {
  return file.Write(axis.label) && WriteFlag(file, axis.label_visible) &&
         file.Write(axis.number_format) && WriteFlag(file, axis.log) &&
         WriteFlag(file, axis.units_shown) && file.Write(axis.data);
}

unsigned char RecallAxis(BinaryFile& file, PlotAxis& axis) {
  return file.Read(axis.label) && ReadFlag(file, axis.label_visible) &&
         file.Read(axis.number_format) && ReadFlag(file, axis.log) &&
         ReadFlag(file, axis.units_shown) && file.Read(axis.data);
}

unsigned char StoreDataSet(BinaryFile& file, const PlotDataSet& set) {
  if (!file.Write(set.id) || !file.Write(static_cast<int>(set.kind)) ||
      !file.Write(static_cast<unsigned int>(set.monikers.size()))) {
    return 0;
  }
  for (const Text& moniker : set.monikers) {
    if (!file.Write(moniker)) return 0;
  }
  return file.Write(set.label) && set.colour.Store(file) &&
         file.Write(set.symbol) && file.Write(set.symbol_size) &&
         WriteFlag(file, set.show_symbols) && file.Write(set.line_style) &&
         file.Write(set.line_width) && WriteFlag(file, set.show_line) &&
         WriteFlag(file, set.show_in_legend) &&
         WriteFlag(file, set.legend_locked) &&
         WriteFlag(file, set.show_text_on_plot);
}

unsigned char RecallDataSet(BinaryFile& file, PlotDataSet& set) {
  int kind = 0;
  unsigned int monikers = 0;
  if (!file.Read(set.id) || !file.Read(kind) || !file.Read(monikers)) return 0;
  if (kind < 0 || kind > static_cast<int>(DataSetKind::kArrow)) return 0;
  if (monikers > kMaxMonikers) return 0;
  set.kind = static_cast<DataSetKind>(kind);
  set.monikers.resize(monikers);
  for (Text& moniker : set.monikers) {
    if (!file.Read(moniker)) return 0;
  }
  return file.Read(set.label) && set.colour.Recall(file) &&
         file.Read(set.symbol) && file.Read(set.symbol_size) &&
         ReadFlag(file, set.show_symbols) && file.Read(set.line_style) &&
         file.Read(set.line_width) && ReadFlag(file, set.show_line) &&
         ReadFlag(file, set.show_in_legend) &&
         ReadFlag(file, set.legend_locked) &&
         ReadFlag(file, set.show_text_on_plot);
}

}  // namespace

unsigned char StorePlotParameters(BinaryFile& file,
                                  const PlotParameters* parameters) {
  if (parameters == nullptr) return WriteFlag(file, false);
  if (!WriteFlag(file, true) || !file.Write(kParametersRevision) ||
      !file.Write(parameters->Dimensions())) {
    return 0;
  }
  for (int axis = 0; axis < parameters->Dimensions(); ++axis) {
    if (!file.Write(parameters->Minimum(axis)) ||
        !file.Write(parameters->Maximum(axis))) {
      return 0;
    }
  }
  return WriteFlag(file, parameters->Grid());
}

unsigned char RecallPlotParameters(
    BinaryFile& file, int dimensions,
    std::unique_ptr<PlotParameters>& parameters) {
  bool present = false;
  if (!ReadFlag(file, present)) return 0;
  if (!present) {
    parameters.reset();
    return 1;
  }
  int revision = 0;
  int stored_dimensions = 0;
  if (!file.Read(revision) || revision != kParametersRevision ||
      !file.Read(stored_dimensions) || stored_dimensions != dimensions ||
      (dimensions != 2 && dimensions != 3)) {
    return 0;
  }
  auto read = std::make_unique<PlotParameters>(dimensions);
  for (int axis = 0; axis < dimensions; ++axis) {
    double minimum = 0.0;
    double maximum = 0.0;
    if (!file.Read(minimum) || !file.Read(maximum)) return 0;
    read->SetRange(axis, minimum, maximum);
  }
  bool grid = false;
  if (!ReadFlag(file, grid)) return 0;
  read->SetGrid(grid);
  parameters = std::move(read);
  return 1;
}

unsigned char PlotObject::StoreClassData(BinaryFile& file) const {
  if (!file.Write(title_) || !WriteFlag(file, legend_shown_) ||
      !WriteFlag(file, has_mapping_style_) ||
      !file.Write(static_cast<int>(mapping_style_)) ||
      !file.Write(static_cast<unsigned int>(axes_.size()))) {
    return 0;
  }
  for (const PlotAxis& axis : axes_) {
    if (!StoreAxis(file, axis)) return 0;
  }
  if (!file.Write(static_cast<unsigned int>(data_area_.Count()))) return 0;
  for (std::size_t i = 0; i < data_area_.Count(); ++i) {
    if (!StoreDataSet(file, data_area_.At(i))) return 0;
  }
  return StoreKindData(file);
}

unsigned char PlotObject::RecallClassData(BinaryFile& file) {
  Text title;
  bool legend = false;
  bool has_mapping = false;
  int mapping = 0;
  unsigned int axis_count = 0;
  if (!file.Read(title) || !ReadFlag(file, legend) ||
      !ReadFlag(file, has_mapping) || !file.Read(mapping) ||
      mapping < ScaleMapping::kLinear || mapping > ScaleMapping::kReciprocal ||
      !file.Read(axis_count) || axis_count != axes_.size()) {
    return 0;
  }
  std::vector<PlotAxis> axes(axis_count);
  for (PlotAxis& axis : axes) {
    if (!RecallAxis(file, axis)) return 0;
  }
  unsigned int set_count = 0;
  if (!file.Read(set_count) ||
      set_count > file.Remaining() / kMinDataSetBytes) {
    return 0;
  }
  std::vector<std::unique_ptr<PlotDataSet>> sets;
  PlotDataArea ids;
  for (unsigned int i = 0; i < set_count; ++i) {
    auto set = std::make_unique<PlotDataSet>();
    // Ids name data sets: a repeated one is damage.
    if (!RecallDataSet(file, *set) ||
        !ids.Create(set->kind, set->id, {}, Text(), ColourResourceRef(), 0)) {
      return 0;
    }
    sets.push_back(std::move(set));
  }
  if (!RecallKindData(file)) return 0;
  title_ = std::move(title);
  legend_shown_ = legend;
  has_mapping_style_ = has_mapping;
  mapping_style_ = static_cast<ScaleMapping::Styles>(mapping);
  axes_ = std::move(axes);
  data_area_.Replace(std::move(sets));
  return 1;
}

unsigned char TwoDimPlot::StoreKindData(BinaryFile& /*file*/) const {
  return 1;
}

unsigned char TwoDimPlot::RecallKindData(BinaryFile& /*file*/) { return 1; }

unsigned char ThreeDimPlot::StoreKindData(BinaryFile& file) const {
  return file.Write(angles_[0]) && file.Write(angles_[1]);
}

unsigned char ThreeDimPlot::RecallKindData(BinaryFile& file) {
  double first = 0.0;
  double second = 0.0;
  if (!file.Read(first) || !file.Read(second)) return 0;
  SetViewAngles(first, second);
  return 1;
}

unsigned char EquTriDimPlot::StoreKindData(BinaryFile& file) const {
  return WriteFlag(file, equilateral_) && file.Write(mouse_x_) &&
         file.Write(mouse_y_) && WriteFlag(file, hold_back_control_);
}

unsigned char EquTriDimPlot::RecallKindData(BinaryFile& file) {
  bool equilateral = false;
  Text x;
  Text y;
  bool hold = false;
  if (!ReadFlag(file, equilateral) || !file.Read(x) || !file.Read(y) ||
      !ReadFlag(file, hold)) {
    return 0;
  }
  equilateral_ = equilateral;
  SetMouseMonikers(x, y);
  hold_back_control_ = hold;
  return 1;
}

}  // namespace pemar
