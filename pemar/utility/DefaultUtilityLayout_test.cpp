// The byte layout of the utility record, written by hand from
// docs/file-format.md ("Utility record").

#include <gtest/gtest.h>

#include <string>

#include "pemar/framework/MemoryFileSystem.h"
#include "pemar/persist/testing/GoldenBytes.h"
#include "pemar/utility/DefaultUtility.h"
#include "pemar/utility/testing/UtilityTest.h"

namespace pemar {
namespace {

using test_support::Bytes;
using test_support::RecallsAll;
using test_support::SameBytes;
using test_support::StoredBytes;

class DefaultUtilityLayoutTest : public ::testing::Test {
 protected:
  MemoryFileSystem fs_;
  ScopedFileSystem scope_{&fs_};
};

TEST_F(DefaultUtilityLayoutTest, EveryFieldInRevisionSeven) {
  const std::string bytes = Bytes(
      "A5 5A 07 00 AB 00 00 00"         // chunk: revision 7, 171 bytes
      "01 03 00 00 00 'CW' 00"          // name
      "00 00 00 00 00 00 34 40"         // inlet temperature 20.0
      "00 00 00 00 00 00 44 40"         // outlet temperature 40.0
      "00 00 00 00 00 00 F0 3F"         // heat-transfer coefficient 1.0
      "00 00 00 00 00 00 E0 3F"         // cost 0.5
      "00 00 00 00 00 00 10 40"         // upper AR temperature 4.0
      "00 00 00 00 00 00 00 40"         // lower AR temperature 2.0
      "01 00 00 00"                     // heat type: cold
      "00 00 00 00 00 00 14 40"         // delta-T min 5.0
      "01 0B 00 00 00 'Air Cooler' 00"  // exchanger type
      "00 00 00 00 00 00 F0 3F"         // viscosity 1.0
      "00 00 00 00 00 00 E0 3F"         // thermal conductivity 0.5
      "00 00 00 00 C0 FF DF C0"         // density: empty (-32767.0)
      "00 00 00 00 00 00 10 40"         // heat capacity 4.0
      "01 00 00 00"                     // component count
      "01 04 00 00 00 'H2O' 00"         //   name
      "00 00 00 00 00 00 F0 3F"         //   fraction 1.0
      "57 DE 02 C7 6D 4D 0D 3F"         // CO2 emission factor 5.589e-5
      "00 00 00 00 00 00 53 40"         // fuel source ID 76.0
      "00 00 00 00 00 00 F0 3F"         // fuel efficiency factor 1.0
      "01"                              // global setting
      "00 00 00 00 00 00 F0 3F"         // EF data source 1.0
      "01");                            // HTC calculated
  DefaultUtility stored(CVString("CW"), ColdSegment, 20.0, 40.0, 1.0, 0.5, 4.0,
                        2.0, 5.0, "Air Cooler", 1.0, 0.5, -32767.0, 4.0);
  char water[] = "H2O";
  char* names[] = {water};
  double fractions[] = {1.0};
  stored.SetComponents(1, names, fractions);
  stored.SetHTCCalculated(true);
  EXPECT_TRUE(SameBytes(StoredBytes(fs_, stored), bytes));

  DefaultUtility recalled;
  ASSERT_TRUE(RecallsAll(fs_, bytes, recalled));
  EXPECT_EQ(testing::Fields(recalled),
            "CW | 20 40 1 0.5 4 2 1 5 | Air Cooler | 1 0.5 -32767 4 | H2O:1 | "
            "5.589e-05 76 1 1 1 1");
  EXPECT_FALSE(recalled.IsSimulationUtility());  // not stored
}

}  // namespace
}  // namespace pemar
