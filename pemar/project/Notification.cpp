#include "pemar/project/Notification.h"

#include <algorithm>

namespace pemar {

INotificationReceiver::~INotificationReceiver() = default;
INotificationSender::~INotificationSender() = default;

// ---------------------------------------------------------------------------
// NotificationContainer

void NotificationContainer::AddValidMessage(int what) {
  if (what < 0 || what > kMaxChangeWhat) return;
  std::size_t at = static_cast<std::size_t>(what);
  if (hasSet_ && at < set_.size()) {
    set_[at] = '1';
    return;
  }
  if (set_.size() < at) set_.resize(at, '0');
  set_.resize(at + 1, '0');
  set_[at] = '1';
  hasSet_ = true;
}

void NotificationContainer::RemoveValidMessage(int what) {
  if (what < 0 || what > kMaxChangeWhat || !hasSet_) return;
  std::size_t at = static_cast<std::size_t>(what);
  if (at < set_.size()) set_[at] = '0';
}

bool NotificationContainer::Accepts(int what) const {
  // Compared as unsigned, so that a negative value is never accepted.
  return hasSet_ && static_cast<unsigned int>(what) < set_.size() &&
         set_[static_cast<std::size_t>(what)] == '1';
}

void NotificationContainer::RemoveNotificationContainer() {
  set_.clear();
  set_.shrink_to_fit();
  hasSet_ = false;
  receiver_ = nullptr;
}

void NotificationContainer::itNotify(ChangeWhat what, const char* text,
                                     void* data) {
  if (receiver_ != nullptr && hold_ == 0) {
    receiver_->NotifyChange(what, text, data);
  }
}

int NotificationContainer::itIsNotificationContainerValid(void* container,
                                                          void*) {
  auto* c = static_cast<NotificationContainer*>(container);
  return c != nullptr && c->receiver_ != nullptr;
}

int NotificationContainer::itFindIAmNotificationContainer(void* container,
                                                          void* receiver) {
  auto* c = static_cast<NotificationContainer*>(container);
  return c != nullptr &&
         c->receiver_ == static_cast<INotificationReceiver*>(receiver);
}

int NotificationContainer::itKillNotificationContainerCallback(void* container,
                                                               void*) {
  delete static_cast<NotificationContainer*>(container);
  return 1;
}

// ---------------------------------------------------------------------------
// NotificationSender

NotificationSender::~NotificationSender() {
  for (NotificationContainer* c : receivers_) delete c;
}

void NotificationSender::AddNotificationReceiver(
    INotificationReceiver* receiver) {
  receivers_.push_back(new NotificationContainer(receiver));
}

NotificationContainer* NotificationSender::FindFirst(
    INotificationReceiver* receiver) {
  if (receiver == nullptr) return nullptr;
  for (NotificationContainer* c : receivers_) {
    if (c->GetNotificationReceiver() == receiver) return c;
  }
  return nullptr;
}

void NotificationSender::RemoveNotificationReceiver(
    INotificationReceiver* receiver) {
  if (NotificationContainer* c = FindFirst(receiver)) {
    c->RemoveNotificationContainer();
  }
}

void NotificationSender::AddValidMessage(INotificationReceiver* receiver,
                                         ChangeWhat what) {
  if (NotificationContainer* c = FindFirst(receiver)) c->AddValidMessage(what);
}

void NotificationSender::RemoveValidMessage(INotificationReceiver* receiver,
                                            ChangeWhat what) {
  if (NotificationContainer* c = FindFirst(receiver)) {
    c->RemoveValidMessage(what);
  }
}

void NotificationSender::HoldNotificationForReceiver(
    INotificationReceiver* receiver, char hold) {
  if (NotificationContainer* c = FindFirst(receiver)) c->HoldNotification(hold);
}

void NotificationSender::SendAMessage(ChangeWhat what, const char* text,
                                      void* data) {
  if (receivers_.empty()) return;
  ++deliveryDepth_;
  // By index: a receiver may add entries while we walk, and dead entries stay
  // in place until the outermost pass ends.
  for (std::size_t i = 0; i < receivers_.size(); ++i) {
    NotificationContainer* c = receivers_[i];
    if (c->Accepts(what) && c->GetNotificationReceiver() != nullptr &&
        c->GetHold() == 0) {
      c->GetNotificationReceiver()->NotifyChange(what, text, data);
    }
  }
  --deliveryDepth_;
  CleanUpNotificationList();
}

int NotificationSender::NumberOfReceivers() {
  CleanUpNotificationList();
  return static_cast<int>(std::count_if(
      receivers_.begin(), receivers_.end(), [](NotificationContainer* c) {
        return c->GetNotificationReceiver() != nullptr;
      }));
}

void NotificationSender::CleanUpNotificationList() {
  // An enclosing pass still stands on these entries.
  if (deliveryDepth_ > 0) return;
  auto dead = std::stable_partition(
      receivers_.begin(), receivers_.end(), [](NotificationContainer* c) {
        return c->GetNotificationReceiver() != nullptr;
      });
  for (auto it = dead; it != receivers_.end(); ++it) {
    NotificationContainer::itKillNotificationContainerCallback(*it, nullptr);
  }
  receivers_.erase(dead, receivers_.end());
}

}  // namespace pemar
