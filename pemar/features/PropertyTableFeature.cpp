// The steam property table feature.

#include "pemar/features/PropertyTableFeature.h"

#include <cmath>

#include "pemar/features/FeatureRegistry.h"
#include "pemar/framework/BinaryFile.h"
#include "pemar/framework/Types.h"
#include "pemar/numerics/SteamProperties.h"

namespace pemar {
namespace {

constexpr double kCriticalTemperatureK = 647.3;
// Bytes of one stored row: temperature, phase, enthalpy, volume.
constexpr std::uint64_t kRowBytes = 8 + 4 + 8 + 8;

class PropertyTableObjectInfoT : public ObjectTypeInfo {
 public:
  using ObjectTypeInfo::ObjectTypeInfo;
  Viewable* CreateInstanceForRecall(ObjectInstanceInfo& info) const override {
    return new PropertyTableFeature(info);
  }
  unsigned char StoreClassData(BinaryFile& file,
                               Viewable* object) const override {
    auto* table = dynamic_cast<PropertyTableFeature*>(object);
    return table != nullptr ? table->StoreClassData(file) : 0;
  }
  unsigned char RecallClassData(BinaryFile& file,
                                Viewable* object) const override {
    auto* table = dynamic_cast<PropertyTableFeature*>(object);
    return table != nullptr ? table->RecallClassData(file) : 0;
  }
};

const ObjectTypeInfo* const kPropertyTableFeatureTypeRegistered = PropertyTableObjectType();

bool ValidRange(double from, double to, double pressure) {
  return std::isfinite(from) && std::isfinite(to) && std::isfinite(pressure) &&
         kPropertyTableMinK <= from && from <= to && to <= kPropertyTableMaxK &&
         pressure > 0.0 && pressure <= kPropertyTableMaxKPa;
}

std::vector<PropertyTableRow> ComputeRows(double from, double to,
                                          double pressure) {
  const double reducedBoiling = Steam67ReducedBPCalcT(pressure);
  const double boiling = reducedBoiling == kEmptyValue
                             ? kEmptyValue
                             : reducedBoiling * kCriticalTemperatureK;
  const int n = from == to ? 1 : kPropertyTableRows;
  std::vector<PropertyTableRow> rows;
  rows.reserve(n);
  for (int i = 0; i < n; ++i) {
    PropertyTableRow row;
    row.temperature = n == 1 ? from : from + (to - from) * i / (n - 1);
    row.phase = boiling != kEmptyValue && row.temperature < boiling ? 1 : 0;
    row.enthalpy = SteamEnthalpyCalcTPi(row.temperature, pressure, row.phase);
    row.volume = Steam67VolumeCalcTPi(row.temperature, pressure, row.phase);
    rows.push_back(row);
  }
  return rows;
}

}  // namespace

const ObjectTypeInfo* PropertyTableObjectType() {
  static PropertyTableObjectInfoT* type = [] {
    auto* t = new PropertyTableObjectInfoT(
        "PropertyTableObject", ViewableObjectType(), "PropertyTableFeature", 0,
        0, "proptab", kEmptyMarker);
    t->SetClassDataVersion(1);
    t->SetDisplayName("Property Table");
    return t;
  }();
  (void)kPropertyTableFeatureTypeRegistered;
  return type;
}

PropertyTableFeature::PropertyTableFeature(Viewable* parent, const char* name)
    : Viewable(parent, PropertyTableObjectType()),
      rows_(ComputeRows(from_, to_, pressure_)) {
  if (name != nullptr) SetName(Text(name));
}

PropertyTableFeature::PropertyTableFeature(ObjectInstanceInfo& info)
    : Viewable(info) {}

PropertyTableFeature::~PropertyTableFeature() = default;

void PropertyTableFeature::RegisterFeature() {
  _add_FeatureInfo(kPropertyTableKey, "Property Table",
                   kPropertyTableTechnology, PropertyTableObjectType(),
                   &PropertyTableFeature::Build);
}

Viewable* PropertyTableFeature::Build(Viewable* parent, const char* name) {
  return new PropertyTableFeature(parent, name);
}

bool PropertyTableFeature::SetRange(double from, double to, double pressure) {
  if (!ValidRange(from, to, pressure)) return false;
  from_ = from;
  to_ = to;
  pressure_ = pressure;
  rows_ = ComputeRows(from, to, pressure);
  return true;
}

unsigned char PropertyTableFeature::StoreClassData(BinaryFile& file) {
  if (!file.Write(from_) || !file.Write(to_) || !file.Write(pressure_) ||
      !file.Write(static_cast<int>(rows_.size()))) {
    return 0;
  }
  for (const PropertyTableRow& row : rows_) {
    if (!file.Write(row.temperature) || !file.Write(row.phase) ||
        !file.Write(row.enthalpy) || !file.Write(row.volume)) {
      return 0;
    }
  }
  return 1;
}

unsigned char PropertyTableFeature::RecallClassData(BinaryFile& file) {
  double from = 0.0;
  double to = 0.0;
  double pressure = 0.0;
  int count = 0;
  if (!file.Read(from) || !file.Read(to) || !file.Read(pressure) ||
      !file.Read(count) || count < 0 ||
      static_cast<std::uint64_t>(count) > file.Remaining() / kRowBytes) {
    return 0;
  }
  std::vector<PropertyTableRow> rows(static_cast<std::size_t>(count));
  for (PropertyTableRow& row : rows) {
    if (!file.Read(row.temperature) || !file.Read(row.phase) ||
        !file.Read(row.enthalpy) || !file.Read(row.volume)) {
      return 0;
    }
  }
  from_ = from;
  to_ = to;
  pressure_ = pressure;
  rows_ = std::move(rows);
  return 1;
}

}  // namespace pemar
