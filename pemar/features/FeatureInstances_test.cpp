#include "pemar/features/FeatureInstances.h"

#include <gtest/gtest.h>

#include "pemar/features/PropertyTableFeature.h"

namespace pemar {
namespace {

TEST(FeatureInstancesTest, UnknownKeysAndNullInstancesNameNothing) {
  PropertyTableFeature::RegisterFeature();
  EXPECT_EQ(FeatureTechnology(kPropertyTableKey), "Thermodynamics");
  EXPECT_EQ(FeatureTechnology("NoSuchFeature"), "");
  ExpMgrView manager(static_cast<Viewable*>(nullptr));
  EXPECT_EQ(FeatureKeyOf(manager, nullptr), "");
}

}  // namespace
}  // namespace pemar
