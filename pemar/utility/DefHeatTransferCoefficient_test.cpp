#include "pemar/utility/DefHeatTransferCoefficient.h"

#include <gtest/gtest.h>

#include <memory>

#include "pemar/framework/ConfigStore.h"
#include "pemar/framework/Platform.h"
#include "pemar/utility/DefaultManager.h"
#include "pemar/utility/testing/RecordingReceiver.h"
#include "pemar/utility/testing/UtilityTestFiles.h"

namespace pemar {
namespace {

using testing::RecordingReceiver;

class HTCDefaultsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetConfigStore();
    SetExecutableFolder(dir_.Folder());
    m_.reset(static_cast<DefaultManager*>(CreateDefaultUtilManager()));
    receiver_ = std::make_unique<RecordingReceiver>(m_.get());
  }
  void TearDown() override {
    receiver_.reset();
    m_.reset();
    SetExecutableFolder("");
  }

  testing::ScratchDir dir_;
  std::unique_ptr<DefaultManager> m_;
  std::unique_ptr<RecordingReceiver> receiver_;
};

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
  EXPECT_EQ(m_->AddHTCDefaultValue(nullptr, 1.0, nullptr), 0);
  EXPECT_EQ(m_->SetHTCDefaultValueName(0, nullptr), 0);
  EXPECT_TRUE(receiver_->events.empty());
  DefaultManager bare;
  EXPECT_EQ(bare.GetNumberOfHTCDefaultValues(), 0);
  EXPECT_EQ(bare.DeleteHTCDefaultValue(0), 0);
}

TEST_F(HTCDefaultsTest, DeletedEntrysNameIsSentAfterItIsGone) {
  EXPECT_EQ(m_->DeleteHTCDefaultValue(3), 1);
  ASSERT_EQ(receiver_->events.size(), 1u);
  EXPECT_EQ(receiver_->events[0].what, HTCDefaultsChanged);
  EXPECT_EQ(receiver_->events[0].text, "Caustic Soda Solution");
  EXPECT_EQ(receiver_->events[0].position, 3);
  EXPECT_EQ(m_->GetNumberOfHTCDefaultValues(), 27);
}

TEST_F(HTCDefaultsTest, NewDatabaseWithoutFileHas28Entries) {
  ASSERT_EQ(m_->GetNumberOfHTCDefaultValues(), 28);
  EXPECT_STREQ(m_->GetHTCDefaultValueName(0), "DEFAULT");
  EXPECT_EQ(m_->GetHTCDefaultValue(0), 0.2);
  EXPECT_STREQ(m_->GetHTCDefaultValueName(5), "Demineralized Water");
  EXPECT_EQ(m_->GetHTCDefaultValue(5), 20.44);
  EXPECT_STREQ(m_->GetHTCDefaultValueName(25), "Wax Distillate");
  EXPECT_STREQ(m_->GetHTCDefaultValueName(26), "<default>");
  EXPECT_EQ(m_->GetHTCDefaultValue(26), 0.2);
  EXPECT_STREQ(m_->GetHTCDefaultValueName(27), "Condensing/Reboiling Steam");
  EXPECT_EQ(m_->GetHTCDefaultValue(27), 6.0);
  EXPECT_STREQ(m_->GetHTCDefaultValueNote(27), "");
  std::size_t n = 0;
  BuiltInHTCDefaults(&n);
  EXPECT_EQ(n, 26u);
  FallbackHTCDefaults(&n);
  EXPECT_EQ(n, 27u);
}

TEST_F(HTCDefaultsTest, AddRefusesDuplicatesAndTakesTheFirstValue) {
  EXPECT_EQ(m_->AddHTCDefaultValue("Brine", 1.0, nullptr), 0);
  EXPECT_EQ(m_->GetHTCDefaultValue(2), 0.54575);
  EXPECT_EQ(m_->AddHTCDefaultValue("Glycol", 0.0, "50%"), 1);
  EXPECT_EQ(m_->GetHTCDefaultValue(28), 0.2);
  EXPECT_STREQ(m_->GetHTCDefaultValueNote(28), "50%");
  ASSERT_EQ(receiver_->events.size(), 1u);
  EXPECT_EQ(receiver_->events[0].text, "Glycol");
  EXPECT_EQ(receiver_->events[0].position, 28);
  m_->DeleteHTCDefaultValue(0);
  EXPECT_EQ(m_->AddHTCDefaultValue("Oil", 0.0, nullptr), 1);
  EXPECT_EQ(m_->GetHTCDefaultValue(28), 0.393092);
}

TEST_F(HTCDefaultsTest, EditsCheckValueAndNameAndNotify) {
  EXPECT_EQ(m_->SetHTCDefaultValue(0, 0.0), 0);
  EXPECT_EQ(m_->SetHTCDefaultValue(0, -1.0), 0);
  EXPECT_EQ(m_->SetHTCDefaultValue(0, 0.5), 1);
  ASSERT_EQ(receiver_->events.size(), 1u);
  EXPECT_EQ(receiver_->events[0].text, "DEFAULT");
  EXPECT_EQ(receiver_->events[0].position, 0);
  EXPECT_EQ(m_->SetHTCDefaultValueName(3, "Caustic Soda Solution"), 0);
  EXPECT_EQ(m_->SetHTCDefaultValueName(3, "Brine"), 0);
  EXPECT_EQ(m_->SetHTCDefaultValueName(3, "Lye"), 1);
  EXPECT_EQ(receiver_->events.back().text, "Lye");
  EXPECT_EQ(m_->SetHTCDefaultValueNote(3, "strong"), 1);
  EXPECT_STREQ(m_->GetHTCDefaultValueNote(3), "strong");
  EXPECT_EQ(receiver_->events.back().text, "Lye");
  EXPECT_EQ(receiver_->events.back().position, 3);
}

TEST_F(HTCDefaultsTest, RestoreKeepsEditedAndAddedEntries) {
  m_->SetHTCDefaultValue(2, 9.0);
  m_->AddHTCDefaultValue("Mine", 1.5, nullptr);
  m_->RestoreDefaultUtilities();
  EXPECT_EQ(m_->GetNumberOfHTCDefaultValues(), 29);
  EXPECT_EQ(m_->GetHTCDefaultValue(2), 9.0);
}

TEST_F(HTCDefaultsTest, EntryRoundTripsAndTruncatedEntryFails) {
  std::string path = dir_.Path("entry.bin");
  DefHeatTransferCoefficient entry;
  CVString name = "Brine";
  CVString note = "cold";
  entry.SetName(&name);
  entry.SetNote(&note);
  entry.SetHTCValue(0.5);
  ASSERT_TRUE(testing::WriteChunked(
      path, [&](IPemarBinaryFile* f) { return entry.Store(f) != 0; }));
  {
    PemarBinaryFile file(path.c_str());
    DefHeatTransferCoefficient read;
    ASSERT_TRUE(read.Recall(&file));
    EXPECT_STREQ(read.GetName(), "Brine");
    EXPECT_STREQ(read.GetNote(), "cold");
    EXPECT_EQ(read.GetHTCValue(), 0.5);
  }
  std::vector<char> bytes = testing::ReadBytes(path);
  bytes.resize(bytes.size() - 3);
  testing::WriteBytes(path, bytes);
  PemarBinaryFile file(path.c_str());
  DefHeatTransferCoefficient read;
  EXPECT_FALSE(read.Recall(&file));
  EXPECT_STREQ(read.GetName(), "");
}

}  // namespace
}  // namespace pemar
