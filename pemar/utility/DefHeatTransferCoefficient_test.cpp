#include "pemar/utility/DefHeatTransferCoefficient.h"

#include <gtest/gtest.h>

#include "pemar/utility/testing/UtilityTest.h"

namespace pemar {
namespace {

class HTCDefaultsTest : public testing::UtilityTest {};

// The scripts of testdata/htc.csv, one test each.
class HTCDefaultsScript : public testing::ScriptTest {};
TEST_P(HTCDefaultsScript, Runs) { Run("htc.csv", GetParam()); }
INSTANTIATE_TEST_SUITE_P(Defaults, HTCDefaultsScript,
                         ::testing::ValuesIn(testing::Scripts("htc.csv")),
                         testing::TableName);

TEST_F(HTCDefaultsTest, PositionsOutsideTheListAreRefused) {
  for (int i : {-1, 28, 1 << 30}) {
    EXPECT_EQ(m_->GetHTCDefaultValue(i), 0.0);
    EXPECT_EQ(m_->GetHTCDefaultValueName(i), nullptr);
    EXPECT_EQ(m_->GetHTCDefaultValueNote(i), nullptr);
    EXPECT_EQ(m_->DeleteHTCDefaultValue(i), 0);
    EXPECT_EQ(m_->SetHTCDefaultValue(i, 1.0), 0);
    EXPECT_EQ(m_->SetHTCDefaultValueName(i, "New"), 0);
    EXPECT_EQ(m_->SetHTCDefaultValueNote(i, "n"), 0);
  }
  DefaultManager bare;
  Run("htc.csv", "bare", &bare);
}

TEST_F(HTCDefaultsTest, BuiltInAndFallbackTablesHaveTheirSizes) {
  std::size_t n = 0;
  BuiltInHTCDefaults(&n);
  EXPECT_EQ(n, 26u);
  FallbackHTCDefaults(&n);
  EXPECT_EQ(n, 27u);
}

// Storing an entry is pinned with the editor's layout (UtilityLayout_test).
TEST_F(HTCDefaultsTest, EntryReadsWholeAndTruncatedEntryFails) {
  const std::string bytes = testing::Golden("htc_entry");
  DefHeatTransferCoefficient read;
  ASSERT_TRUE(
      Unchunked(bytes, [&](IPemarBinaryFile* f) { return read.Recall(f); }));
  EXPECT_STREQ(read.GetName(), "Brine");
  EXPECT_STREQ(read.GetNote(), "cold");
  EXPECT_EQ(read.GetHTCValue(), 0.5);
  testing::ForEachTruncation(bytes, 0, [&](const std::string& cut) {
    DefHeatTransferCoefficient read;
    EXPECT_FALSE(
        Unchunked(cut, [&](IPemarBinaryFile* f) { return read.Recall(f); }));
    EXPECT_STREQ(read.GetName(), "");
  });
}

}  // namespace
}  // namespace pemar
