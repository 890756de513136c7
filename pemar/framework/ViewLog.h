// The views that the program opened, in order.
//
// The framework opens a view when an object is shown (Viewable::View,
// Document::ViewDocument) or when a named view is asked for (OpenView, for
// example "FindObjectTypeView"). This stand-in has no windows: it records
// the name of each view opened in one process-wide list, which tests read
// and clear.

#ifndef PEMAR_FRAMEWORK_VIEWLOG_H_
#define PEMAR_FRAMEWORK_VIEWLOG_H_

#include <vector>

#include "pemar/framework/Export.h"
#include "pemar/framework/Text.h"

namespace pemar {

// Opens the view named `viewName`: records the name.
PEMAR_EXPORT void OpenView(const Text& viewName);
// The names of the views opened since the start or the last clear, oldest
// first. Viewable::View records the type name of the object shown (its
// object name when it has no type).
PEMAR_EXPORT const std::vector<Text>& OpenedViews();
PEMAR_EXPORT void ClearOpenedViews();

}  // namespace pemar

#endif  // PEMAR_FRAMEWORK_VIEWLOG_H_
