// Units: the named units of each quantity and their conversion records.
//
// Every quantity has a code (1 temperature, 4 mass flow, 44 time, 99
// currency, 100 cost per time, 101 cost per energy, 115 energy, ...) and an
// ordered list of named units. A unit carries a conversion type (1 normal,
// 2 temperature, 3 gauge pressure, 4 API, 5 user-defined, anything else
// none) and two conversion items, 0 and 1, whose meaning depends on the
// type (for a normal unit item 1 is the factor to the base unit). Each
// quantity has one current unit, the one values are shown in: the unit set
// with SetCurrentUnitName, else the quantity's first unit.
//
// The tables hold no arithmetic: the library reads and writes the items and
// does its own conversions. They are process-wide and start empty; programs
// and tests fill them with AddUnit.

#ifndef PEMAR_FRAMEWORK_UNITS_H_
#define PEMAR_FRAMEWORK_UNITS_H_

#include "pemar/framework/Export.h"
#include "pemar/framework/Text.h"
#include "pemar/framework/Types.h"

namespace pemar {

struct PEMAR_EXPORT UnitRecord {
  Text name;
  int conversion_type = 0;
  double item0 = kEmptyValue;
  double item1 = kEmptyValue;
};

// Appends a unit of quantity `type`, or replaces the unit of that name.
PEMAR_EXPORT void AddUnit(int type, const UnitRecord& unit);
// The unit of that name and quantity; null when there is none. Valid until
// the tables next change.
PEMAR_EXPORT const UnitRecord* FindUnit(int type, const Text& name);
// True when any quantity has a unit of that name.
PEMAR_EXPORT bool IsUnitKnown(const Text& name);

// Conversion item 0 or 1 of the named unit; -32767 when there is no such
// unit or item.
PEMAR_EXPORT double GetUnitConvFactorByName(int item, int type,
                                            const Text& name);
// Sets conversion item 0 or 1 of the named unit; false when there is no
// such unit or item.
PEMAR_EXPORT bool SetUnitConvFactorByName(int item, int type, const Text& name,
                                          double value);
// Renames a unit; false when `from` is not a unit of `type`.
PEMAR_EXPORT bool RenameUnit(int type, const Text& from, const Text& to);

// The name of the unit at `position` of quantity `type`; empty past the end
// and for a negative position.
PEMAR_EXPORT Text UnitNameAt(int type, int position);

// The current unit of quantity `type`; empty when it has no units.
PEMAR_EXPORT Text GetCurrentUnitName(int type);
// False, and nothing changed, when `name` is not a unit of `type`.
PEMAR_EXPORT bool SetCurrentUnitName(int type, const Text& name);

// Empties every quantity.
PEMAR_EXPORT void ClearUnitTables();

}  // namespace pemar

#endif  // PEMAR_FRAMEWORK_UNITS_H_
