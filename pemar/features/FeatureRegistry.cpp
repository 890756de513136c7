// The feature registry: records by key, technologies and their lists.

#include "pemar/features/FeatureRegistry.h"

#include <algorithm>
#include <map>
#include <memory>

#include "pemar/config/ProgramConfiguration.h"
#include "pemar/framework/Types.h"

namespace pemar {
namespace {

struct FeatureTable {
  std::map<Text, std::unique_ptr<FeatureInfo>> by_key;
  std::vector<const FeatureInfo*> in_order;
  std::vector<Text> technologies;
  std::map<Text, std::vector<Text>> technology_lists;
};

// Never destroyed: instances may be looked up while static objects die.
FeatureTable& TheFeatureTable() {
  static auto* registry = new FeatureTable();
  return *registry;
}

const ObjectTypeInfo* const kBaseTypes[] = {HeatIntegrationObjectType(),
                                            SeparationObjectType()};

}  // namespace

Text AllListName(const Text& technology) { return "All " + technology; }

void _add_FeatureInfo(const char* key, const char* displayName,
                      const char* technology, const ObjectTypeInfo* objectType,
                      FeatureBuilderFnc builder) {
  if (key == nullptr || *key == '\0') return;
  ProgramConfiguration* config = _get_theProgramConfiguration();
  if (!config->IsConfigurationFeatureAvailableAtAll(key)) return;
  FeatureTable& r = TheFeatureTable();
  const Text k(key);
  if (r.by_key.count(k) != 0) return;

  auto info = std::make_unique<FeatureInfo>();
  if (displayName != nullptr) info->display_name = displayName;
  info->technology = Text(technology);
  info->key = k;
  info->object_type = objectType;
  info->builder = builder;
  r.in_order.push_back(info.get());
  const Text tech = info->technology;
  r.by_key.emplace(k, std::move(info));

  auto list = r.technology_lists.find(tech);
  if (list == r.technology_lists.end()) {
    r.technologies.push_back(tech);
    list =
        r.technology_lists.emplace(tech, std::vector<Text>{AllListName(tech)})
            .first;
  }
  if (std::find(list->second.begin(), list->second.end(), k) ==
      list->second.end()) {
    list->second.push_back(k);
  }
}

const FeatureInfo* FindFeatureInfo(const char* key) {
  if (key == nullptr) return nullptr;
  const auto& byKey = TheFeatureTable().by_key;
  auto it = byKey.find(Text(key));
  return it == byKey.end() ? nullptr : it->second.get();
}

std::vector<const FeatureInfo*> AllFeatureInfos() {
  return TheFeatureTable().in_order;
}

std::vector<Text> FeatureTechnologies() {
  return TheFeatureTable().technologies;
}

bool IsFeatureTechnology(const char* technology) {
  return technology != nullptr &&
         TheFeatureTable().technology_lists.count(Text(technology)) != 0;
}

std::vector<Text> TechnologyFeatureList(const char* technology) {
  if (technology == nullptr) return {};
  const auto& lists = TheFeatureTable().technology_lists;
  auto it = lists.find(Text(technology));
  return it == lists.end() ? std::vector<Text>() : it->second;
}

const ObjectTypeInfo* HeatIntegrationObjectType() {
  static const ObjectTypeInfo* type =
      new ObjectTypeInfo("HeatIntegrationType", ViewableObjectType(),
                         "HeatIntegration", 0, 0, "", kEmptyMarker);
  (void)kBaseTypes;
  return type;
}

const ObjectTypeInfo* SeparationObjectType() {
  static const ObjectTypeInfo* type =
      new ObjectTypeInfo("SeparationType", ViewableObjectType(), "Separation",
                         0, 0, "", kEmptyMarker);
  return type;
}

}  // namespace pemar
