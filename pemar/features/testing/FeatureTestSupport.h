// Test support: a small set of registered features over three technologies,
// for the feature tests, the round-trip fuzzing and the benchmark. Needs no
// GoogleTest.
//
//   key                technology         type                builder
//   "PropertyTable"    "Thermodynamics"   PropertyTableObject  real
//   "HI Case"          "Heat Integration" HeatIntegrationType  plain view
//   "ResidueCurveMap"  "Separation"       SeparationType       plain view
//   "ColumnDesign"     "Separation"       SeparationType       none
//   "StreamManager"    "Separation"       SeparationType       plain view
//
// "StreamManager" is known to every configuration only as a manager, so it
// registers but is never listed under "FEATURES"; "ColumnDesign" has no
// builder. The plain views are of types derived from the two base types.

#ifndef PEMAR_FEATURES_TESTING_FEATURETESTSUPPORT_H_
#define PEMAR_FEATURES_TESTING_FEATURETESTSUPPORT_H_

#include "pemar/features/FeatureRegistry.h"
#include "pemar/features/PropertyTableFeature.h"
#include "pemar/framework/Types.h"

namespace pemar::test_support {

// A feature class of its own: a plain view, stored without class data.
class PlainFeatureInfoT : public ObjectTypeInfo {
 public:
  using ObjectTypeInfo::ObjectTypeInfo;
  Viewable* CreateInstanceForRecall(ObjectInstanceInfo& info) const override {
    return new Viewable(info);
  }
};

// The plain view type under heat integration (hi) or separation.
inline const ObjectTypeInfo* PlainFeatureType(bool hi) {
  static auto* hi_type =
      new PlainFeatureInfoT("TestHICaseObject", HeatIntegrationObjectType(),
                            "TestHICase", 0, 0, "thic", kEmptyMarker);
  static auto* separation_type =
      new PlainFeatureInfoT("TestSeparationObject", SeparationObjectType(),
                            "TestSeparation", 0, 0, "tsep", kEmptyMarker);
  return hi ? hi_type : separation_type;
}

template <bool kHI>
Viewable* BuildPlainView(Viewable* parent, const char* name) {
  auto* view = new Viewable(parent, PlainFeatureType(kHI));
  view->SetName(Text(name));
  return view;
}
inline constexpr auto& BuildPlainHI = BuildPlainView<true>;

// Registers the table above; safe to call any number of times.
inline void RegisterTestFeatures() {
  PropertyTableFeature::RegisterFeature();
  _add_FeatureInfo("HI Case", "HI Case", "Heat Integration",
                   PlainFeatureType(true), &BuildPlainHI);
  const ObjectTypeInfo* separation = PlainFeatureType(false);
  _add_FeatureInfo("ResidueCurveMap", "Residue Curve Map", "Separation",
                   separation, &BuildPlainView<false>);
  _add_FeatureInfo("ColumnDesign", "Column Design", "Separation", separation,
                   nullptr);
  _add_FeatureInfo("StreamManager", "Stream Manager", "Separation", separation,
                   &BuildPlainView<false>);
}

// The keys that make instances.
inline constexpr const char* kCreatableFeatureKeys[] = {
    "PropertyTable", "HI Case", "ResidueCurveMap"};

}  // namespace pemar::test_support

#endif  // PEMAR_FEATURES_TESTING_FEATURETESTSUPPORT_H_
