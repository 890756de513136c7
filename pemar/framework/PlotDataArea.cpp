#include "pemar/framework/PlotDataArea.h"

#include <algorithm>

#include "pemar/framework/VarDescription.h"
#include "pemar/framework/Viewable.h"
#include "pemar/framework/ViewableProtocol.h"

namespace pemar {

std::vector<double> ResolveMoniker(Viewable* source, const Text& moniker) {
  std::vector<double> values;
  VarDescription desc;
  if (source == nullptr || moniker.IsEmpty() ||
      !VarDescription::Parse(moniker.str(), &desc)) {
    return values;
  }
  if (!desc.IsIndexed()) {
    values.push_back(source->Value(desc));
    return values;
  }
  DimInfo dims;
  if (!source->Dimensions(desc, dims) || dims.Count() == 0 ||
      dims.Dim(0) <= 0) {
    return values;
  }
  const auto count =
      std::min(static_cast<std::size_t>(dims.Dim(0)), kMaxPlotPoints);
  values.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    desc.SetIndex(static_cast<int>(i));
    values.push_back(source->Value(desc));
  }
  return values;
}

std::vector<PlotPoint> DataSetPoints(Viewable* source, const PlotDataSet& set) {
  std::vector<std::vector<double>> columns;
  for (std::size_t i = 0; i < set.monikers.size() && i < 3; ++i) {
    // Only a third moniker may be left empty.
    if (i == 2 && set.monikers[i].IsEmpty()) break;
    columns.push_back(ResolveMoniker(source, set.monikers[i]));
  }
  std::vector<PlotPoint> points;
  if (columns.size() < 2) return points;
  std::size_t count = columns[0].size();
  for (const auto& column : columns) count = std::min(count, column.size());
  points.resize(count);
  for (std::size_t i = 0; i < count; ++i) {
    points[i].x = columns[0][i];
    points[i].y = columns[1][i];
    if (columns.size() > 2) points[i].z = columns[2][i];
  }
  return points;
}

PlotDataSet* PlotDataArea::Find(int id) const {
  for (const auto& set : sets_) {
    if (set->id == id) return set.get();
  }
  return nullptr;
}

PlotDataSet* PlotDataArea::Create(DataSetKind kind, int id,
                                  std::vector<Text> monikers, const Text& label,
                                  const ColourResourceRef& colour,
                                  PointSymbolsEnum symbol) {
  if (Find(id) != nullptr) return nullptr;
  auto set = std::make_unique<PlotDataSet>();
  set->id = id;
  set->kind = kind;
  set->monikers = std::move(monikers);
  set->label = label;
  set->colour = colour;
  set->symbol = symbol;
  set->show_line = kind == DataSetKind::kLine;
  sets_.push_back(std::move(set));
  return sets_.back().get();
}

bool PlotDataArea::Destroy(int id) {
  auto it = std::find_if(sets_.begin(), sets_.end(),
                         [id](const auto& set) { return set->id == id; });
  if (it == sets_.end()) return false;
  sets_.erase(it);
  return true;
}

}  // namespace pemar
