// The feature key and technology of a feature instance.

#include "pemar/features/FeatureInstances.h"

#include "pemar/features/FeatureRegistry.h"

namespace pemar {

std::string FeatureKeyOf(const ExpMgrView& manager, const Viewable* instance) {
  if (instance == nullptr) return std::string();
  for (const FeatureInfo* info : AllFeatureInfos()) {
    const auto* list = manager.InstanceList(info->key.c_str());
    if (list == nullptr) continue;
    for (const Viewable* v : *list) {
      if (v == instance) return info->key.str();
    }
  }
  return std::string();
}

std::string FeatureTechnology(const std::string& key) {
  const FeatureInfo* info = FindFeatureInfo(key.c_str());
  return info == nullptr ? std::string() : info->technology.str();
}

}  // namespace pemar
