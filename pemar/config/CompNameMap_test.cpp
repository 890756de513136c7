#include "pemar/config/CompNameMap.h"

#include <gtest/gtest.h>

#include "pemar/config/testing/ConfigTestSupport.h"

namespace pemar {
namespace {

class CompNameMapTest : public test_support::ConfigTest {
 protected:
  void TearDown() override {
    getMyORVEXCompNameDict()->clear();
    ConfigTest::TearDown();
  }
};

TEST_F(CompNameMapTest, ReadsKeyAndRestOfLineUntilAnEmptyLine) {
  struct Row {
    const char* file;
    CompNameDictionary map;
  };
  const Row rows[] = {
      {"H2O  WATER\r\nCO2\tCARBON DIOXIDE  \nH2O other\n\nN2 NITROGEN\n",
       {{"H2O", "WATER"}, {"CO2", "CARBON DIOXIDE  "}}},
      {"C1 METHANE\n\nC2 ETHANE\n", {{"C1", "METHANE"}}},
      {"   \nC1 METHANE\n", {}},
      {"C1", {{"C1", ""}}},
      {"", {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.file);
    WriteFile("CompNameMap.dat", row.file);
    EXPECT_TRUE(LoadCompNameMap("CompNameMap.dat"));
    EXPECT_EQ(*getMyORVEXCompNameDict(), row.map);
  }
}

TEST_F(CompNameMapTest, MissingFileLeavesAnEmptyMap) {
  getMyORVEXCompNameDict()->emplace("old", "entry");
  EXPECT_FALSE(LoadCompNameMap("CompNameMap.dat"));
  ASSERT_NE(getMyORVEXCompNameDict(), nullptr);
  EXPECT_TRUE(getMyORVEXCompNameDict()->empty());
}

}  // namespace
}  // namespace pemar
