#include "pemar/reports/ItemReport.h"

#include <gtest/gtest.h>

#include <memory>

namespace pemar {
namespace {

TEST(ItemReportTest, KeepsItsFieldsAndNoRelations) {
  ItemReport item;
  item._set_strTableTitle("Streams");
  item._set_nReportType(3);
  EXPECT_EQ(item._get_strTableTitle(), "Streams");
  EXPECT_EQ(item._get_nReportType(), 3);
  EXPECT_EQ(item.GetClass(), 6);

  std::unique_ptr<Createable> made(item.CreateInstance());
  auto* fresh = dynamic_cast<ItemReport*>(made.get());
  ASSERT_NE(fresh, nullptr);
  EXPECT_EQ(fresh->_get_strTableTitle(), "");
  EXPECT_EQ(fresh->_get_nReportType(), 0);

  EXPECT_EQ(item.AddRelation(fresh), 0);
  EXPECT_EQ(item.RemoveRelation(fresh), 0);
  for (Navigable* none : {item.CreateNode(), item.GetRoot(),
                          item.TraverseStep(fresh), item.GetFirstRelatedNode()})
    EXPECT_EQ(none, nullptr);
}

}  // namespace
}  // namespace pemar
