#include "pemar/config/CompNameMap.h"

#include <gtest/gtest.h>

#include "pemar/config/testing/ConfigTestSupport.h"

namespace pemar {
namespace {

using CompNameMapTest = test_support::ConfigTest;

// A missing file (null here) leaves the map empty.
TEST_F(CompNameMapTest, ReadsKeyAndRestOfLineUntilAnEmptyLine) {
  const struct {
    const char* file;
    CompNameDictionary map;
  } rows[] = {
      {"H2O  WATER\r\nCO2\tCARBON DIOXIDE  \nH2O other\n\nN2 NITROGEN\n",
       {{"H2O", "WATER"}, {"CO2", "CARBON DIOXIDE  "}}},
      {"C1 METHANE\n\nC2 ETHANE\n", {{"C1", "METHANE"}}},
      {"   \nC1 METHANE\n", {}},
      {"C1", {{"C1", ""}}},
      {"", {}},
      {nullptr, {}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.file ? row.file : "missing");
    getMyORVEXCompNameDict()->emplace("old", "entry");
    if (row.file) fs_.SetFile("CompNameMap.dat", row.file);
    if (!row.file) fs_.DeleteFile("CompNameMap.dat");
    EXPECT_EQ(LoadCompNameMap("CompNameMap.dat"), row.file != nullptr);
    EXPECT_EQ(*getMyORVEXCompNameDict(), row.map);
  }
}

}  // namespace
}  // namespace pemar
