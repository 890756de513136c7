#include "pemar/framework/Units.h"

#include <map>
#include <vector>

namespace pemar {
namespace {

struct Quantity {
  std::vector<UnitRecord> units;
  Text current;
};

std::map<int, Quantity>& Tables() {
  static auto* tables = new std::map<int, Quantity>;
  return *tables;
}

UnitRecord* Find(int type, const Text& name) {
  auto q = Tables().find(type);
  if (q == Tables().end()) return nullptr;
  for (UnitRecord& unit : q->second.units) {
    if (unit.name == name) return &unit;
  }
  return nullptr;
}

}  // namespace

void AddUnit(int type, const UnitRecord& unit) {
  if (UnitRecord* existing = Find(type, unit.name)) {
    *existing = unit;
  } else {
    Tables()[type].units.push_back(unit);
  }
}

const UnitRecord* FindUnit(int type, const Text& name) {
  return Find(type, name);
}

bool IsUnitKnown(const Text& name) {
  for (const auto& [type, quantity] : Tables()) {
    for (const UnitRecord& unit : quantity.units) {
      if (unit.name == name) return true;
    }
  }
  return false;
}

double GetUnitConvFactorByName(int item, int type, const Text& name) {
  const UnitRecord* unit = Find(type, name);
  if (unit == nullptr || (item != 0 && item != 1)) return kEmptyValue;
  return item == 0 ? unit->item0 : unit->item1;
}

bool SetUnitConvFactorByName(int item, int type, const Text& name,
                             double value) {
  UnitRecord* unit = Find(type, name);
  if (unit == nullptr || (item != 0 && item != 1)) return false;
  (item == 0 ? unit->item0 : unit->item1) = value;
  return true;
}

bool RenameUnit(int type, const Text& from, const Text& to) {
  UnitRecord* unit = Find(type, from);
  if (unit == nullptr) return false;
  Quantity& quantity = Tables()[type];
  if (quantity.current == from) quantity.current = to;
  unit->name = to;
  return true;
}

Text UnitNameAt(int type, int position) {
  auto q = Tables().find(type);
  if (q == Tables().end() || position < 0 ||
      static_cast<std::size_t>(position) >= q->second.units.size()) {
    return Text();
  }
  return q->second.units[static_cast<std::size_t>(position)].name;
}

Text GetCurrentUnitName(int type) {
  auto q = Tables().find(type);
  if (q == Tables().end() || q->second.units.empty()) return Text();
  const Quantity& quantity = q->second;
  return Find(type, quantity.current) != nullptr ? quantity.current
                                                 : quantity.units.front().name;
}

bool SetCurrentUnitName(int type, const Text& name) {
  if (Find(type, name) == nullptr) return false;
  Tables()[type].current = name;
  return true;
}

void ClearUnitTables() { Tables().clear(); }

}  // namespace pemar
