// The process-wide feature registry.
//
// A feature is one kind of analysis tool (a heat-integration case, a residue
// curve map, a property table), grouped under a technology. Feature
// libraries register theirs at load time with _add_FeatureInfo; the feature
// manager of every case (ExpMgrView.h) then creates, names and files
// instances of them.
//
// The registry admits a key only when the program configuration
// (ProgramConfiguration.h) knows it at all, and only once: the first
// registration of a key wins and later ones are ignored. The registry is
// never emptied. Technologies are kept in the order in which they were first
// registered; each has a feature list whose first entry is "All " followed by
// the technology name and whose further entries are its feature keys in
// registration order.
//
// Not thread-safe: registration happens at load and start-up, on one thread.
// Null texts are treated as empty and find nothing.

#ifndef PEMAR_FEATURES_FEATUREREGISTRY_H_
#define PEMAR_FEATURES_FEATUREREGISTRY_H_

#include <vector>

#include "pemar/framework/Export.h"
#include "pemar/framework/ObjectTypeInfo.h"
#include "pemar/framework/Text.h"
#include "pemar/framework/Viewable.h"

namespace pemar {

// Makes the feature view of a new instance named `name` under `parent`
// (which owns it); null when it cannot.
using FeatureBuilderFnc = Viewable* (*)(Viewable* parent, const char* name);

struct PEMAR_EXPORT FeatureInfo {
  Text display_name = "Default";
  Text technology;
  Text key;
  // The framework type of the feature's class; not owned, may be null.
  const ObjectTypeInfo* object_type = nullptr;
  FeatureBuilderFnc builder = nullptr;
};

// Registers one feature (see the file comment). An empty key is ignored.
PEMAR_EXPORT void _add_FeatureInfo(const char* key, const char* displayName,
                                   const char* technology,
                                   const ObjectTypeInfo* objectType,
                                   FeatureBuilderFnc builder);

// The record of `key`; null when it is not registered. Valid for the
// process.
PEMAR_EXPORT const FeatureInfo* FindFeatureInfo(const char* key);
// Every record, in registration order.
PEMAR_EXPORT std::vector<const FeatureInfo*> AllFeatureInfos();
// The technologies, in order of first registration.
PEMAR_EXPORT std::vector<Text> FeatureTechnologies();
PEMAR_EXPORT bool IsFeatureTechnology(const char* technology);
// "All <technology>" then its keys; empty for an unknown technology.
PEMAR_EXPORT std::vector<Text> TechnologyFeatureList(const char* technology);
// The list name under which every instance of a technology is filed.
PEMAR_EXPORT Text AllListName(const Text& technology);

// The abstract base types of the heat-integration and the separation
// feature classes ("HeatIntegrationType", "SeparationType"); registered at
// load. Nothing of these types is ever made.
PEMAR_EXPORT const ObjectTypeInfo* HeatIntegrationObjectType();
PEMAR_EXPORT const ObjectTypeInfo* SeparationObjectType();

}  // namespace pemar

#endif  // PEMAR_FEATURES_FEATUREREGISTRY_H_
