// Words for a utility's fields.

#include "pemar/utility/UtilityDescription.h"

#include "pemar/utility/DefaultUtility.h"
#include "pemar/utility/FuelSource.h"

namespace pemar {

const char* HeatTypeName(SegmentHeatType type) {
  return type == HotSegment    ? "hot"
         : type == ColdSegment ? "cold"
                               : "undefined";
}

const char* UtilityFuelName(const DefaultUtility& utility) {
  const double source = utility.GetEFDataSource();
  if (source != 0.0 && source != 1.0) return "";
  const FuelTableEntry* fuel =
      FindFuelByID(static_cast<int>(source), utility.GetFuelSourceID());
  return fuel != nullptr ? fuel->name : "";
}

}  // namespace pemar
