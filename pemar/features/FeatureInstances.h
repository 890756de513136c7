// What a feature instance of a case is: the key of the feature it was made
// from and that feature's technology, as the pemar tool and the Python
// package list a case's features.

#ifndef PEMAR_FEATURES_FEATUREINSTANCES_H_
#define PEMAR_FEATURES_FEATUREINSTANCES_H_

#include <string>

#include "pemar/features/ExpMgrView.h"
#include "pemar/framework/Export.h"

namespace pemar {

// The key of the registered feature under which `manager` files `instance`
// (not an "All" list), or "" when it files it under none; a null instance
// gives "".
PEMAR_EXPORT std::string FeatureKeyOf(const ExpMgrView& manager,
                                      const Viewable* instance);

// The technology feature `key` was registered under, or "" when no feature
// of that key is registered.
PEMAR_EXPORT std::string FeatureTechnology(const std::string& key);

}  // namespace pemar

#endif  // PEMAR_FEATURES_FEATUREINSTANCES_H_
