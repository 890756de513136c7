// The byte layout of the utility database chunk and of the utility database
// editor's class data, written by hand from docs/file-format.md ("Utility
// database", "Utility database editor").

#include <gtest/gtest.h>

#include <string>

#include "pemar/framework/ConfigStore.h"
#include "pemar/framework/MemoryFileSystem.h"
#include "pemar/persist/testing/GoldenBytes.h"
#include "pemar/utility/DefaultManager.h"
#include "pemar/utility/DefaultUtilManagerView.h"
#include "pemar/utility/testing/UtilityTest.h"

namespace pemar {
namespace {

using test_support::Bytes;
using test_support::ReadsAll;
using test_support::SameBytes;
using test_support::WrittenBytes;

class UtilityPersistenceLayoutTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetConfigStore(); }

  MemoryFileSystem fs_;
  ScopedFileSystem scope_{&fs_};
};

TEST_F(UtilityPersistenceLayoutTest, UtilitySetHoldsUtilitiesAndMode) {
  const std::string bytes = Bytes(
      "A5 5A 05 00 AC 00 00 00"           // chunk: revision 5, 172 bytes
      "01 01 00 00 00"                    // has utilities, count 1
      "A5 5A 07 00 9B 00 00 00"           // utility: revision 7, 155 bytes
      "01 02 00 00 00 'U' 00"             //   name
      "00 00 00 00 C0 FF DF C0"           //   inlet temperature: empty
      "00 00 00 00 C0 FF DF C0"           //   outlet temperature: empty
      "00 00 00 00 C0 FF DF C0"           //   heat-transfer coefficient: empty
      "00 00 00 00 00 00 00 00"           //   cost 0.0
      "00 00 00 00 C0 FF DF C0"           //   upper AR temperature: empty
      "00 00 00 00 C0 FF DF C0"           //   lower AR temperature: empty
      "02 00 00 00"                       //   heat type: undefined
      "00 00 00 00 C0 FF DF C0"           //   delta-T min: empty
      "01 0D 00 00 00 'Shell & Tube' 00"  // exchanger type
      "00 00 00 00 C0 FF DF C0"           //   viscosity: empty
      "00 00 00 00 C0 FF DF C0"           //   thermal conductivity: empty
      "00 00 00 00 C0 FF DF C0"           //   density: empty
      "00 00 00 00 C0 FF DF C0"           //   heat capacity: empty
      "00 00 00 00"                       //   no components
      "57 DE 02 C7 6D 4D 0D 3F"           //   CO2 emission factor 5.589e-5
      "00 00 00 00 00 00 53 40"           //   fuel source ID 76.0
      "00 00 00 00 00 00 F0 3F"           //   fuel efficiency factor 1.0
      "01"                                //   global setting
      "00 00 00 00 00 00 F0 3F"           //   EF data source 1.0
      "00"                                //   HTC calculated
      "01 00 00 00");                     // mode 1
  DefaultManager stored;
  ASSERT_EQ(stored.AddDefaultUtility("U"), kDone);
  stored.SetMode(1);
  EXPECT_TRUE(SameBytes(WrittenBytes(fs_,
                                     [&](BinaryFile& raw) {
                                       PemarBinaryFile f(&raw);
                                       return stored.Store(&f, UtilitiesOnly);
                                     }),
                        bytes));

  DefaultManager recalled;
  ASSERT_TRUE(ReadsAll(fs_, bytes, [&](BinaryFile& raw) {
    PemarBinaryFile f(&raw);
    return recalled.Recall(&f, UtilitiesOnly);
  }));
  ASSERT_EQ(recalled.GetNumberOfDefaultUtilities(), 1);
  EXPECT_STREQ(recalled.GetDefaultUtilityName(0), "U");
  EXPECT_EQ(recalled.GetValue("U", UtilityCost), 0.0);
  EXPECT_EQ(recalled.GetMode(), 1);
}

// The database stored with everything, inside the editor's class data.
TEST_F(UtilityPersistenceLayoutTest, EditorCarriesWholeDatabaseAndFuel) {
  const std::string bytes = Bytes(
      "01"                           // the editor carries a database
      "A5 5A 05 00 14 01 00 00"      // chunk: revision 5, 276 bytes
      "00"                           // no utility list
      "01"                           // has the default economic set
      "A5 5A 03 00 2A 00 00 00"      //   chunk: revision 3, 42 bytes
      "01 08 00 00 00 'DEFAULT' 00"  //   name
      "00 00 00 00 00 00 00 00"      //   coefficient 0: 0.0
      "00 00 00 00 00 00 00 00"      //   coefficient 1: 0.0
      "00 00 00 00 00 00 F0 3F"      //   coefficient 2: 1.0
      "00"                           //   locked
      "00 00 00 00"                  //   switch
      "01"                           // has economic info
      "A5 5A 03 00 19 00 00 00"      //   chunk: revision 3, 25 bytes
      "00 00 00 00 00 00 E0 3F"      //   parameter 3: 0.5
      "00 00 00 00 00 00 00 00"      //   parameter 4: 0.0
      "00"                           //   locked
      "00 00 00 00 00 00 00 00"      //   operating hours: 0.0
      "01 01 00 00 00"               // has named sets, count 1
      "A5 5A 03 00 25 00 00 00"      //   chunk: revision 3, 37 bytes
      "01 03 00 00 00 'AC' 00"       //   name
      "00 00 00 00 00 00 00 00"      //   coefficient 0: 0.0
      "00 00 00 00 00 00 00 00"      //   coefficient 1: 0.0
      "00 00 00 00 00 00 F0 3F"      //   coefficient 2: 1.0
      "00"                           //   locked
      "01 00 00 00"                  //   switch
      "01 01 00 00 00"               // has coefficients, count 1
      "A5 5A 01 00 16 00 00 00"      //   chunk: revision 1, 22 bytes
      "01 02 00 00 00 'B' 00"        //   name
      "01 02 00 00 00 'n' 00"        //   note
      "00 00 00 00 00 00 00 40"      //   value 2.0
      "01 02 00 00 00"               // has file names, count 2
      "01 19 00 00 00 'CurrentEconomicsFileName' 00"
      "01 0D 00 00 00 'Default File' 00"
      "01 19 00 00 00 'CurrentUtilitiesFileName' 00"
      "01 0D 00 00 00 'Default File' 00"
      "01 00 00 00"                // mode 1
      "01"                         // carbon tracking
      "01 00 00 00"                // source: the second fuel list
      "00 00 00 00 00 00 3E 40"    // fuel index 30.0
      "0B 00 00 00 'Natural gas'"  // name (Text)
      "57 DE 02 C7 6D 4D 0D 3F"    // CO2 emission factor 5.589e-5
      "00 00 00 00 00 00 F0 3F");  // efficiency 1.0
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
  EXPECT_TRUE(SameBytes(
      WrittenBytes(fs_,
                   [&](BinaryFile& f) { return stored.StoreClassData(f); }),
      bytes));

  DefaultUtilManagerView recalled(nullptr, nullptr);
  ASSERT_TRUE(ReadsAll(fs_, bytes, [&](BinaryFile& f) {
    return recalled.RecallClassData(f,
                                    DefaultUtilManagerView::kClassDataVersion);
  }));
  auto* read = dynamic_cast<DefaultManager*>(recalled.GetDatabase());
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(read->GetEconomicData(EconomicCoefficient2, "DEFAULT"), 1.0);
  EXPECT_EQ(read->GetEconomicData(EconomicParameter3, "DEFAULT"), 0.5);
  ASSERT_EQ(read->GetNumberOfEconomicData(), 2);
  EXPECT_STREQ(read->GetEconomicDataName(1), "AC");
  EXPECT_EQ(read->GetEconomicData(EconomicSwitch, "AC"), 1.0);
  ASSERT_EQ(read->GetNumberOfHTCDefaultValues(), 1);
  EXPECT_STREQ(read->GetHTCDefaultValueName(0), "B");
  EXPECT_STREQ(read->GetHTCDefaultValueNote(0), "n");
  EXPECT_EQ(read->GetHTCDefaultValue(0), 2.0);
  EXPECT_EQ(read->GetMode(), 1);
  EXPECT_TRUE(recalled.IsCarbonTrackingEnabled());
  EXPECT_EQ(recalled.GetSelectedDataSource(), 1);
  EXPECT_EQ(testing::Fields(recalled.GetSelectedFuelSource()),
            "Natural gas 30 5.589e-05 1");
}

}  // namespace
}  // namespace pemar
