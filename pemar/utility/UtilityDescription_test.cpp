#include "pemar/utility/UtilityDescription.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "pemar/utility/DefaultUtility.h"
#include "pemar/utility/IDefaultUtilityManager.h"

namespace pemar {
namespace {

TEST(UtilityDescriptionTest, HeatTypesByName) {
  EXPECT_STREQ(HeatTypeName(HotSegment), "hot");
  EXPECT_STREQ(HeatTypeName(ColdSegment), "cold");
  EXPECT_STREQ(HeatTypeName(UndefinedSegment), "undefined");
  EXPECT_STREQ(HeatTypeName(static_cast<SegmentHeatType>(-4)), "undefined");
}

// The fuel follows the data source and ID; a factor the user entered (data
// source 2), a missing source and an ID outside the list name none.
TEST(UtilityDescriptionTest, FuelNameFollowsDataSourceAndId) {
  std::unique_ptr<IDefaultUtilityManager, void (*)(IDefaultUtilityManager*)> db(
      CreateDefaultUtilManager(), ReleaseDefaultUtilManager);
  ASSERT_EQ(db->AddDefaultUtility("Fuelled"), 1);
  const struct {
    double source, id;
    const char* name;
  } cases[] = {{1, 76, "Natural gas"},
               {2, 76, ""},
               {kEmptyValue, 76, ""},
               {0, 46, ""},
               {1, 45, ""}};
  for (const auto& c : cases) {
    db->SetValue("Fuelled", EFDataSource, c.source);
    db->SetValue("Fuelled", FuelSourceID, c.id);
    const int last = db->GetNumberOfDefaultUtilities() - 1;
    EXPECT_EQ(std::string(UtilityFuelName(*db->GetDefaultUtility(last))),
              c.name)
        << "source " << c.source << ", ID " << c.id;
  }
}

}  // namespace
}  // namespace pemar
