// The byte layouts of the utility record, the utility database chunk and the
// utility database editor's class data, pinned by the tables in testdata/
// (written by hand from docs/file-format.md).

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
  // of it, after which `restore`, if given, writes it again, so that every
  // field read went where the writer takes it from.
  void ExpectLayout(const char* name, const Io& store, const Io& recall,
                    const Io& restore = nullptr) {
    const std::string bytes = testing::Golden(name);
    EXPECT_TRUE(SameBytes(WrittenBytes(fs_, store), bytes));
    ASSERT_TRUE(ReadsAll(fs_, bytes, recall));
    if (restore) {
      EXPECT_TRUE(SameBytes(WrittenBytes(fs_, restore), bytes));
    }
  }
  // Store or recall of `m` through the chunked file object.
  static Io SetIo(DefaultManager& m, bool store) {
    return [&m, store](BinaryFile& raw) {
      PemarBinaryFile f(&raw);
      return store ? m.Store(&f, UtilitiesOnly) : m.Recall(&f, UtilitiesOnly);
    };
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

TEST_F(UtilityLayoutTest, UtilitySetHoldsUtilitiesAndMode) {
  DefaultManager stored;
  ASSERT_EQ(stored.AddDefaultUtility("U"), kDone);
  stored.SetMode(1);
  DefaultManager read;
  ExpectLayout("utility_set", SetIo(stored, true), SetIo(read, false),
               SetIo(read, true));
  ASSERT_EQ(read.GetNumberOfDefaultUtilities(), 1);
  EXPECT_EQ(read.GetMode(), 1);
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
