#include "pemar/utility/DefHeatTransferCoefficient.h"

#include <gtest/gtest.h>

#include "pemar/utility/testing/UtilityTest.h"

namespace pemar {
namespace {

class HTCDefaultsTest : public testing::UtilityTest {};

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
  EXPECT_EQ(m_->AddHTCDefaultValue(nullptr, 1, nullptr), 0);
  EXPECT_EQ(m_->SetHTCDefaultValueName(0, nullptr), 0);
  EXPECT_EQ(receiver_->Log(), "");
  // A database made bare has no entries.
  DefaultManager bare;
  EXPECT_EQ(bare.GetNumberOfHTCDefaultValues(), 0);
  EXPECT_EQ(bare.DeleteHTCDefaultValue(0), 0);
}

TEST_F(HTCDefaultsTest, NewDatabaseWithoutFileHas28Entries) {
  EXPECT_EQ(m_->GetNumberOfHTCDefaultValues(), 28);
  EXPECT_STREQ(m_->GetHTCDefaultValueName(27), "Condensing/Reboiling Steam");
  EXPECT_EQ(m_->GetHTCDefaultValue(27), 6);
  EXPECT_STREQ(m_->GetHTCDefaultValueNote(27), "");
}

// A new entry without a value takes that of the first entry.
TEST_F(HTCDefaultsTest, AddRefusesDuplicatesAndTakesTheFirstValue) {
  EXPECT_EQ(m_->AddHTCDefaultValue("Brine", 1, nullptr), 0);
  EXPECT_EQ(m_->GetHTCDefaultValue(2), 0.54575);
  EXPECT_EQ(m_->AddHTCDefaultValue("Glycol", 0, "50%"), 1);
  EXPECT_EQ(m_->GetHTCDefaultValue(28), 0.2);
  EXPECT_STREQ(m_->GetHTCDefaultValueNote(28), "50%");
  EXPECT_EQ(receiver_->Log(), "HTC(Glycol)@28");
  EXPECT_EQ(m_->DeleteHTCDefaultValue(0), 1);
  EXPECT_EQ(m_->AddHTCDefaultValue("Oil", 0, nullptr), 1);
  EXPECT_EQ(m_->GetHTCDefaultValue(28), 0.393092);
}

// A deleted entry's name is sent after the entry is gone.
TEST_F(HTCDefaultsTest, EditsCheckValueAndNameAndNotify) {
  EXPECT_EQ(m_->SetHTCDefaultValue(0, 0), 0);
  EXPECT_EQ(m_->SetHTCDefaultValue(0, -1), 0);
  EXPECT_EQ(m_->SetHTCDefaultValue(0, 0.5), 1);
  EXPECT_EQ(m_->SetHTCDefaultValueName(3, "Caustic Soda Solution"), 0);
  EXPECT_EQ(m_->SetHTCDefaultValueName(3, "Brine"), 0);
  EXPECT_EQ(m_->SetHTCDefaultValueName(3, "Lye"), 1);
  EXPECT_EQ(m_->SetHTCDefaultValueNote(3, "strong"), 1);
  EXPECT_STREQ(m_->GetHTCDefaultValueNote(3), "strong");
  EXPECT_EQ(m_->DeleteHTCDefaultValue(3), 1);
  EXPECT_EQ(m_->GetNumberOfHTCDefaultValues(), 27);
  EXPECT_EQ(receiver_->Log(),
            "HTC(DEFAULT)@0 HTC(Lye)@3 HTC(Lye)@3 HTC(Lye)@3");
}

}  // namespace
}  // namespace pemar
