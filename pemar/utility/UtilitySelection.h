// Callbacks of the utility selection, in the framework's (element, context)
// shape. `item` is a DefaultUtility*; they are exported for callers that
// filter or sort utility lists the same way the database does.

#ifndef PEMAR_UTILITY_UTILITYSELECTION_H_
#define PEMAR_UTILITY_UTILITYSELECTION_H_

#include "pemar/framework/Export.h"

namespace pemar {

// 1 when the utility's heat type equals *(SegmentHeatType*)heatType and its
// inlet, outlet and delta-T min are all specified.
PEMAR_EXPORT int itFindDefaultUtilityStructSHT(void* item, void* heatType);
// Ascending inlet temperature: -1, 0 or 1.
PEMAR_EXPORT int itDefaultUtilityInletTempSort(void* a, void* b);
// Descending outlet temperature: -1, 0 or 1.
PEMAR_EXPORT int itDefaultUtilityOutletTempSort(void* a, void* b);

}  // namespace pemar

#endif  // PEMAR_UTILITY_UTILITYSELECTION_H_
