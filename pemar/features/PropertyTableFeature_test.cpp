#include "pemar/features/PropertyTableFeature.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "pemar/framework/FileSystem.h"
#include "pemar/framework/MemoryFileSystem.h"
#include "pemar/numerics/SteamProperties.h"
#include "tests/support/GoldenFile.h"

namespace pemar {
namespace {

TEST(PropertyTableFeatureTest, RowsSpanTheRangeWithThePhaseOfEachPoint) {
  PropertyTableFeature table(nullptr, "T");
  ASSERT_TRUE(table.SetRange(350.0, 450.0, 101.325));
  ASSERT_EQ(table.Rows().size(), static_cast<size_t>(kPropertyTableRows));
  EXPECT_EQ(table.Rows().front().temperature, 350.0);
  EXPECT_EQ(table.Rows().back().temperature, 450.0);
  // Water boils near 373 K at one atmosphere.
  EXPECT_EQ(table.Rows()[2].phase, 1);  // 370 K
  EXPECT_EQ(table.Rows()[3].phase, 0);  // 380 K
  for (const PropertyTableRow& row : table.Rows()) {
    EXPECT_EQ(row.enthalpy,
              SteamEnthalpyCalcTPi(row.temperature, 101.325, row.phase));
  }
  ASSERT_TRUE(table.SetRange(400.0, 400.0, 1000.0));
  EXPECT_EQ(table.Rows().size(), 1u);
}

TEST(PropertyTableFeatureTest, RangesOutsideTheSteamFunctionsAreRefused) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double bad[][3] = {{450, 350, 100}, {200, 300, 100}, {300, 1100, 100},
                           {300, 400, 0},   {300, 400, 2e5}, {nan, 400, 100},
                           {300, 400, nan}};
  PropertyTableFeature table(nullptr, "T");
  const auto rows = table.Rows();
  for (const auto& b : bad) {
    EXPECT_FALSE(table.SetRange(b[0], b[1], b[2])) << b[0] << " " << b[1];
  }
  EXPECT_EQ(table.Rows(), rows);
  EXPECT_EQ(table.From(), 300.0);
}

// The record of testdata/property_table.golden (written from
// docs/file-format.md) recalls as the table it describes, rows as stored,
// and that table stores the same bytes.
TEST(PropertyTableFeatureTest, RecordHasTheDocumentedLayout) {
  MemoryFileSystem fs;
  ScopedFileSystem scoped(&fs);
  const std::string golden =
      test_support::GoldenFile("pemar/features/testdata/property_table.golden");
  PropertyTableFeature table(nullptr, "T");
  ASSERT_TRUE(test_support::ReadsAll(fs, golden, [&](BinaryFile& file) {
    return table.RecallClassData(file) != 0;
  }));
  EXPECT_EQ((std::vector<double>{table.From(), table.To(), table.Pressure()}),
            (std::vector<double>{350.0, 450.0, 101.325}));
  EXPECT_EQ(table.Rows(),
            (std::vector<PropertyTableRow>{{350.0, 1, 2000.5, 0.018},
                                           {450.0, 0, -32767.0, -32767.0}}));
  EXPECT_TRUE(test_support::SameBytes(
      test_support::WrittenBytes(
          fs,
          [&](BinaryFile& file) { return table.StoreClassData(file) != 0; }),
      golden));
}

}  // namespace
}  // namespace pemar
