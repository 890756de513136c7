#include "pemar/project/Notification.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <string>
#include <vector>

namespace pemar {
namespace {

struct Delivery {
  ChangeWhat what;
  std::string text;
  void* data;
};

// Records what it receives and runs an optional action inside NotifyChange.
class Receiver : public INotificationReceiver {
 public:
  void NotifyChange(ChangeWhat what, const char* text, void* data) override {
    got.push_back({what, text ? text : "", data});
    if (action) action(what);
  }
  std::vector<Delivery> got;
  std::function<void(ChangeWhat)> action;
};

class NotificationTest : public ::testing::Test {
 protected:
  NotificationSender sender_;
  Receiver a_, b_;
};

// --- Bad input
// ------------------------------------------------------------------

TEST_F(NotificationTest, OutOfRangeKindsChangeNothing) {
  NotificationContainer c(&a_);
  c.AddValidMessage(-1);
  c.AddValidMessage(INT_MAX);
  c.RemoveValidMessage(-1);
  EXPECT_EQ(c.GetValidMessages(), nullptr);
  c.AddValidMessage(97);
  c.RemoveValidMessage(-1);
  c.RemoveValidMessage(INT_MAX);
  EXPECT_EQ(std::string(c.GetValidMessages()), std::string(97, '0') + "1");
}

TEST_F(NotificationTest, NegativeKindIsNeverDelivered) {
  sender_.AddNotificationReceiver(&a_);
  sender_.AddValidMessage(&a_, UtilityAdded);
  sender_.SendAMessage(static_cast<ChangeWhat>(-1), "x", nullptr);
  EXPECT_TRUE(a_.got.empty());
}

TEST_F(NotificationTest, NullAndUnknownReceiversAreIgnored) {
  sender_.RemoveNotificationReceiver(&a_);  // no list yet
  sender_.SendAMessage(UtilityAdded, "x", nullptr);
  sender_.AddNotificationReceiver(&a_);
  sender_.RemoveNotificationReceiver(nullptr);
  sender_.RemoveNotificationReceiver(&b_);
  sender_.AddValidMessage(nullptr, UtilityAdded);
  sender_.HoldNotificationForReceiver(&b_, 1);
  EXPECT_EQ(sender_.NumberOfReceivers(), 1);
}

// --- Accepted-message sets
// ---------------------------------------------------------

TEST_F(NotificationTest, FreshReceiverAcceptsNothing) {
  sender_.AddNotificationReceiver(&a_);
  sender_.SendAMessage(UtilityAdded, "Steam", nullptr);
  EXPECT_TRUE(a_.got.empty());
}

TEST_F(NotificationTest, SetGrowsOnceAndChangesInPlace) {
  NotificationContainer c(&a_);
  c.AddValidMessage(97);
  const char* set = c.GetValidMessages();
  EXPECT_EQ(std::string(set), std::string(97, '0') + "1");
  c.AddValidMessage(55);
  EXPECT_EQ(c.GetValidMessages(), set);  // no reallocation
  EXPECT_EQ(set[55], '1');
  c.RemoveValidMessage(200);  // beyond the set: nothing
  EXPECT_EQ(std::string(c.GetValidMessages()).size(), 98u);
}

TEST_F(NotificationTest, RemovedKindIsNoLongerDelivered) {
  sender_.AddNotificationReceiver(&a_);
  sender_.AddValidMessage(&a_, UtilityAdded);
  sender_.AddValidMessage(&a_, UtilityRemoved);
  sender_.RemoveValidMessage(&a_, UtilityAdded);
  sender_.RemoveValidMessage(&a_, DatabaseChanged);  // beyond: nothing
  sender_.SendAMessage(UtilityAdded, "x", nullptr);
  sender_.SendAMessage(DatabaseChanged, "hi", nullptr);
  sender_.SendAMessage(UtilityRemoved, "Steam", &b_);
  ASSERT_EQ(a_.got.size(), 1u);
  EXPECT_EQ(a_.got[0].what, UtilityRemoved);
  EXPECT_EQ(a_.got[0].text, "Steam");
  EXPECT_EQ(a_.got[0].data, &b_);
}

// --- Hold
// ---------------------------------------------------------------------------

TEST_F(NotificationTest, HeldReceiverMissesMessagesUntilReleased) {
  sender_.AddNotificationReceiver(&a_);
  sender_.AddValidMessage(&a_, UtilityAdded);
  sender_.HoldNotificationForReceiver(&a_, 1);
  sender_.SendAMessage(UtilityAdded, "first", nullptr);
  sender_.HoldNotificationForReceiver(&a_, 0);
  sender_.SendAMessage(UtilityAdded, "second", nullptr);
  ASSERT_EQ(a_.got.size(), 1u);
  EXPECT_EQ(a_.got[0].text, "second");
}

// --- Removal and nesting
// ---------------------------------------------------------------

TEST_F(NotificationTest, ReceiverRemovedDuringDeliveryGetsNoMore) {
  sender_.AddNotificationReceiver(&a_);
  sender_.AddNotificationReceiver(&b_);
  sender_.AddValidMessage(&a_, UtilityAdded);
  sender_.AddValidMessage(&b_, UtilityAdded);
  a_.action = [&](ChangeWhat) { sender_.RemoveNotificationReceiver(&b_); };
  sender_.SendAMessage(UtilityAdded, "x", nullptr);
  EXPECT_EQ(a_.got.size(), 1u);
  EXPECT_TRUE(b_.got.empty());
  EXPECT_EQ(sender_.NumberOfReceivers(), 1);
}

TEST_F(NotificationTest, ReceiverMayRemoveItself) {
  sender_.AddNotificationReceiver(&a_);
  sender_.AddValidMessage(&a_, SenderDying);
  a_.action = [&](ChangeWhat) { sender_.RemoveNotificationReceiver(&a_); };
  sender_.SendAMessage(SenderDying, nullptr, nullptr);
  sender_.SendAMessage(SenderDying, nullptr, nullptr);
  EXPECT_EQ(a_.got.size(), 1u);
  EXPECT_EQ(sender_.NumberOfReceivers(), 0);
}

TEST_F(NotificationTest, NestedPassDoesNotFreeEntriesTheOuterPassStandsOn) {
  sender_.AddNotificationReceiver(&a_);
  sender_.AddNotificationReceiver(&b_);
  sender_.AddValidMessage(&a_, UtilityAdded);
  sender_.AddValidMessage(&a_, UtilityRemoved);
  sender_.AddValidMessage(&b_, UtilityAdded);
  a_.action = [&](ChangeWhat what) {
    if (what != UtilityAdded) return;
    sender_.RemoveNotificationReceiver(&a_);
    // The inner pass ends while the outer one still stands on a_'s entry.
    sender_.SendAMessage(UtilityRemoved, "inner", nullptr);
  };
  sender_.SendAMessage(UtilityAdded, "outer", nullptr);
  EXPECT_EQ(a_.got.size(), 1u);
  ASSERT_EQ(b_.got.size(), 1u);
  EXPECT_EQ(b_.got[0].text, "outer");
  EXPECT_EQ(sender_.NumberOfReceivers(), 1);
}

TEST_F(NotificationTest, ReceiverAddedTwiceGetsOneMessagePerAcceptingEntry) {
  sender_.AddNotificationReceiver(&a_);
  sender_.AddNotificationReceiver(&a_);
  sender_.AddValidMessage(&a_, UtilityAdded);  // reaches the first entry only
  sender_.SendAMessage(UtilityAdded, "x", nullptr);
  EXPECT_EQ(a_.got.size(), 1u);
  EXPECT_EQ(sender_.NumberOfReceivers(), 2);
  sender_.RemoveNotificationReceiver(&a_);
  sender_.AddValidMessage(&a_, UtilityAdded);  // now the second entry
  sender_.SendAMessage(UtilityAdded, "y", nullptr);
  EXPECT_EQ(a_.got.size(), 2u);
  EXPECT_EQ(sender_.NumberOfReceivers(), 1);
}

TEST_F(NotificationTest, ContainerCallbacks) {
  auto* c = new NotificationContainer(&a_);
  EXPECT_TRUE(
      NotificationContainer::itIsNotificationContainerValid(c, nullptr));
  EXPECT_TRUE(NotificationContainer::itFindIAmNotificationContainer(c, &a_));
  EXPECT_FALSE(NotificationContainer::itFindIAmNotificationContainer(c, &b_));
  c->itNotify(UtilityAdded, "direct", nullptr);  // ignores the set
  EXPECT_EQ(a_.got.size(), 1u);
  c->MakeNotificationContainerInvalid();
  EXPECT_FALSE(
      NotificationContainer::itIsNotificationContainerValid(c, nullptr));
  c->itNotify(UtilityAdded, "dead", nullptr);
  EXPECT_EQ(a_.got.size(), 1u);
  EXPECT_TRUE(
      NotificationContainer::itKillNotificationContainerCallback(c, nullptr));
  EXPECT_TRUE(NotificationContainer::itKillNotificationContainerCallback(
      nullptr, nullptr));
}

}  // namespace
}  // namespace pemar
