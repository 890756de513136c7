// The byte layouts of the utility record and the utility database editor's
// class data (which holds a whole database), pinned by the tables in
// testdata/ (written by hand from docs/file-format.md).

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "pemar/utility/DefaultUtilManagerView.h"
#include "pemar/utility/testing/UtilityTest.h"

namespace pemar {
namespace {

using test_support::ReadsAll;
using test_support::RecallsAll;
using test_support::SameBytes;
using test_support::StoredBytes;
using test_support::WrittenBytes;
using Io = std::function<bool(BinaryFile&)>;

class UtilityLayoutTest : public testing::UtilityTest {
 protected:
  // `store` writes the table of testdata/`name`.golden; `recall` reads all
  // of it.
  void ExpectLayout(const char* name, const Io& store, const Io& recall) {
    const std::string bytes = testing::Golden(name);
    EXPECT_TRUE(SameBytes(WrittenBytes(fs_, store), bytes));
    EXPECT_TRUE(ReadsAll(fs_, bytes, recall));
  }
};

TEST_F(UtilityLayoutTest, UtilityRecordHoldsEveryField) {
  DefaultUtility stored(CVString("CW"), ColdSegment, 20.0, 40.0, 1.0, 0.5, 4.0,
                        2.0, 5.0, "Air Cooler", 1.0, 0.5, -32767.0, 4.0);
  char water[] = "H2O";
  char* names[] = {water};
  double fractions[] = {1.0};
  stored.SetComponents(1, names, fractions);
  stored.SetHTCCalculated(true);
  const std::string bytes = testing::Golden("utility_record");
  EXPECT_TRUE(SameBytes(StoredBytes(fs_, stored), bytes));
  DefaultUtility read;
  ASSERT_TRUE(RecallsAll(fs_, bytes, read));
  EXPECT_TRUE(SameBytes(StoredBytes(fs_, read), bytes));
  EXPECT_FALSE(read.IsSimulationUtility());  // not stored
}

TEST_F(UtilityLayoutTest, EditorCarriesWholeDatabaseAndFuel) {
  DefaultManager database;
  ASSERT_EQ(database.SetEconomicData(EconomicParameter3, 0.5, "DEFAULT"),
            kDone);
  ASSERT_EQ(database.AddEconomicData("ac"), kDone);
  ASSERT_EQ(database.SetEconomicData(EconomicSwitch, 1.0, "AC"), kDone);
  ASSERT_EQ(database.AddHTCDefaultValue("B", 2.0, "n"), kDone);
  database.SetMode(1);
  DefaultUtilManagerView stored(nullptr, &database);
  stored.SetCarbonTrackingEnabled(true);
  ASSERT_TRUE(stored.SetSelectedDataSource(1));
  ASSERT_TRUE(stored.SelectFuelSource(30));
  DefaultUtilManagerView read(nullptr, nullptr);
  ExpectLayout(
      "editor_class_data",
      [&](BinaryFile& f) { return stored.StoreClassData(f); },
      [&](BinaryFile& f) {
        return read.RecallClassData(f,
                                    DefaultUtilManagerView::kClassDataVersion);
      });
  EXPECT_EQ(testing::Fields(read.GetSelectedFuelSource()),
            "Natural gas 30 5.589e-05 1");
}

}  // namespace
}  // namespace pemar
