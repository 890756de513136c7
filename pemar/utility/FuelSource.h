// Fuel sources and their CO2 emission factors.
//
// Every utility carries the fuel that produces it (EF data source, fuel
// source ID, CO2 emission factor, fuel efficiency factor). The fuels come
// from two built-in lists. One fuel source ID numbers both: list 0 has the
// IDs 0 to 45 (its positions), list 1 the IDs 46 to 89 (46 plus its
// positions). A new utility's defaults, data source 1 and ID 76, are list
// 1's "Natural gas" (5.589e-5).
//
// Emission factors are CO2 per unit of fuel energy, in the unit of the
// utility field; how emissions follow from a duty is up to the caller.

#ifndef PEMAR_UTILITY_FUELSOURCE_H_
#define PEMAR_UTILITY_FUELSOURCE_H_

#include <cstddef>

#include "pemar/framework/Export.h"
#include "pemar/framework/Text.h"
#include "pemar/framework/Types.h"

namespace pemar {

// A plain record: the fuel, its factor, its position in its list (-32767
// when none) and an efficiency factor.
class PEMAR_EXPORT FuelSourceStruct {
 public:
  // Empty name, -32767 in the three numbers.
  FuelSourceStruct() = default;
  // Fuel index -32767, efficiency factor 1.0.
  FuelSourceStruct(const Text& name, double co2EmissionFactor)
      : name_(name),
        co2EmissionFactor_(co2EmissionFactor),
        fuelEffFactor_(1.0) {}

  const Text& GetDisplayName() const { return name_; }
  const Text& GetName() const { return name_; }
  double GetCO2EmissionFactor() const { return co2EmissionFactor_; }
  double GetFuelIndex() const { return fuelIndex_; }
  double GetFuelEffFactor() const { return fuelEffFactor_; }
  void SetName(const Text& name) { name_ = name; }
  void SetCO2EmissionFactor(double factor) { co2EmissionFactor_ = factor; }
  void SetFuelIndex(double index) { fuelIndex_ = index; }
  void SetFuelEffFactor(double factor) { fuelEffFactor_ = factor; }

 private:
  Text name_;
  double co2EmissionFactor_ = kEmptyValue;
  double fuelIndex_ = kEmptyValue;
  double fuelEffFactor_ = kEmptyValue;
};

struct FuelTableEntry {
  const char* name;
  double co2EmissionFactor;
};

// Lengths of the two lists, and the first ID of list 1.
inline constexpr int kFuelList0Length = 46;
inline constexpr int kFuelList1Length = 44;
inline constexpr int kFuelList1FirstID = kFuelList0Length;

// The built-in list 0 or 1 (null with *count 0 for any other number).
PEMAR_EXPORT const FuelTableEntry* BuiltInFuelList(int list,
                                                   std::size_t* count);
// The entry a fuel source ID names for a data source (0 or 1): null when
// the ID is not finite or outside that list's IDs.
PEMAR_EXPORT const FuelTableEntry* FindFuelByID(int dataSource, double id);

}  // namespace pemar

#endif  // PEMAR_UTILITY_FUELSOURCE_H_
