// Words for a utility's fields, as the pemar tool and the Python package
// show them, so that both describe a utility alike.

#ifndef PEMAR_UTILITY_UTILITYDESCRIPTION_H_
#define PEMAR_UTILITY_UTILITYDESCRIPTION_H_

#include "pemar/framework/Export.h"
#include "pemar/utility/UtilityTypes.h"

namespace pemar {

class DefaultUtility;

// "hot", "cold", or "undefined" for any other value. A static text.
PEMAR_EXPORT const char* HeatTypeName(SegmentHeatType type);

// The name of the fuel that the utility's data source (0 or 1) and fuel
// source ID pick from the built-in lists, or "" when they pick none (data
// source 2, a factor the user entered, among them). A static text.
PEMAR_EXPORT const char* UtilityFuelName(const DefaultUtility& utility);

}  // namespace pemar

#endif  // PEMAR_UTILITY_UTILITYDESCRIPTION_H_
