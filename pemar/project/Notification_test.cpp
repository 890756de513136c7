#include "pemar/project/Notification.h"

#include <gtest/gtest.h>

#include <climits>
#include <initializer_list>
#include <string>
#include <vector>

#include "pemar/project/testing/ProjectTestSupport.h"

namespace pemar {
namespace {

class NotificationTest : public ::testing::Test {
 protected:
  // Adds an entry for `r` that accepts `kinds`.
  void Listen(INotificationReceiver& r,
              std::initializer_list<ChangeWhat> kinds) {
    sender_.AddNotificationReceiver(&r);
    for (ChangeWhat what : kinds) sender_.AddValidMessage(&r, what);
  }

  NotificationSender sender_;
  test_support::LoggingReceiver a_, b_;
};

TEST_F(NotificationTest, ContainerSetIgnoresOutOfRangeKindsAndCallbacksAnswer) {
  using C = NotificationContainer;
  auto* c = new C(&a_);
  c->AddValidMessage(-1);
  c->AddValidMessage(INT_MAX);
  c->RemoveValidMessage(-1);
  EXPECT_EQ(c->GetValidMessages(), nullptr);
  c->AddValidMessage(97);
  const char* set = c->GetValidMessages();
  for (int what : {-1, INT_MAX}) {
    c->AddValidMessage(what);
    c->RemoveValidMessage(what);
  }
  c->RemoveValidMessage(200);  // beyond the set: nothing
  EXPECT_EQ(std::string(set), std::string(97, '0') + "1");
  c->AddValidMessage(55);
  EXPECT_EQ(c->GetValidMessages(), set);  // changed in place
  EXPECT_EQ(std::string(set),
            std::string(55, '0') + "1" + std::string(41, '0') + "1");
  // The callbacks of the sender's list; itNotify ignores the set.
  EXPECT_TRUE(C::itIsNotificationContainerValid(c, nullptr));
  EXPECT_TRUE(C::itFindIAmNotificationContainer(c, &a_));
  EXPECT_FALSE(C::itFindIAmNotificationContainer(c, &b_));
  c->itNotify(UtilityAdded, "direct", nullptr);
  c->MakeNotificationContainerInvalid();
  EXPECT_FALSE(C::itIsNotificationContainerValid(c, nullptr));
  c->itNotify(UtilityAdded, "dead", nullptr);
  EXPECT_EQ(a_.log, "55:direct ");
  EXPECT_TRUE(C::itKillNotificationContainerCallback(c, nullptr));
  EXPECT_TRUE(C::itKillNotificationContainerCallback(nullptr, nullptr));
}

TEST_F(NotificationTest, DeliversOnlyAcceptedKindsToKnownUnheldReceivers) {
  sender_.RemoveNotificationReceiver(&a_);  // no list yet
  sender_.SendAMessage(UtilityAdded, "x", nullptr);
  Listen(a_, {});
  // Null and unknown receivers are ignored.
  sender_.RemoveNotificationReceiver(nullptr);
  sender_.RemoveNotificationReceiver(&b_);
  sender_.AddValidMessage(nullptr, UtilityAdded);
  sender_.HoldNotificationForReceiver(&b_, 1);
  sender_.SendAMessage(UtilityAdded, "fresh", nullptr);  // none accepted
  sender_.AddValidMessage(&a_, UtilityAdded);
  sender_.AddValidMessage(&a_, UtilityRemoved);
  sender_.RemoveValidMessage(&a_, UtilityAdded);
  sender_.RemoveValidMessage(&a_, DatabaseChanged);  // beyond the set
  for (int what : {-1, int{UtilityAdded}, int{DatabaseChanged}}) {
    sender_.SendAMessage(static_cast<ChangeWhat>(what), "x", nullptr);
  }
  sender_.SendAMessage(UtilityRemoved, "Steam", &b_);
  sender_.HoldNotificationForReceiver(&a_, 1);
  sender_.SendAMessage(UtilityRemoved, "held", nullptr);
  sender_.HoldNotificationForReceiver(&a_, 0);
  sender_.SendAMessage(UtilityRemoved, "released", nullptr);
  EXPECT_EQ(a_.log, "57:Steam 57:released ");
  EXPECT_EQ(a_.datas, (std::vector<void*>{&b_, nullptr}));
  EXPECT_EQ(sender_.NumberOfReceivers(), 1);
}

TEST_F(NotificationTest, ReceiverMayRemoveItselfOrOthersDuringDelivery) {
  Listen(a_, {UtilityAdded});
  Listen(b_, {UtilityAdded});
  a_.action = [&](ChangeWhat) {
    sender_.RemoveNotificationReceiver(&b_);
    sender_.RemoveNotificationReceiver(&a_);
  };
  sender_.SendAMessage(UtilityAdded, "x", nullptr);
  sender_.SendAMessage(UtilityAdded, "y", nullptr);
  EXPECT_EQ(a_.log, "55:x ");
  EXPECT_EQ(b_.log, "");
  EXPECT_EQ(sender_.NumberOfReceivers(), 0);
}

TEST_F(NotificationTest, NestedPassDoesNotFreeEntriesTheOuterPassStandsOn) {
  Listen(a_, {UtilityAdded, UtilityRemoved});
  Listen(b_, {UtilityAdded});
  a_.action = [&](ChangeWhat what) {
    if (what != UtilityAdded) return;
    sender_.RemoveNotificationReceiver(&a_);
    // The inner pass ends while the outer one still stands on a_'s entry.
    sender_.SendAMessage(UtilityRemoved, "inner", nullptr);
  };
  sender_.SendAMessage(UtilityAdded, "outer", nullptr);
  EXPECT_EQ(a_.log, "55:outer ");
  EXPECT_EQ(b_.log, "55:outer ");
  EXPECT_EQ(sender_.NumberOfReceivers(), 1);
}

TEST_F(NotificationTest, ReceiverAddedTwiceGetsOneMessagePerAcceptingEntry) {
  Listen(a_, {UtilityAdded});  // the first entry only
  Listen(a_, {});
  sender_.SendAMessage(UtilityAdded, "x", nullptr);
  EXPECT_EQ(sender_.NumberOfReceivers(), 2);
  sender_.RemoveNotificationReceiver(&a_);
  sender_.AddValidMessage(&a_, UtilityAdded);  // now the second entry
  sender_.SendAMessage(UtilityAdded, "y", nullptr);
  EXPECT_EQ(a_.log, "55:x 55:y ");
  EXPECT_EQ(sender_.NumberOfReceivers(), 1);
}

}  // namespace
}  // namespace pemar
