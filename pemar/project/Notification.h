// Change notifications: a small synchronous publish-subscribe mechanism.
//
// A sender keeps a list of receivers. Each receiver states which kinds of
// change (ChangeWhat values) it accepts, and may be put on hold; a freshly
// added receiver accepts nothing. SendAMessage calls NotifyChange on every
// accepting receiver that is not held, in list order, on the caller's thread.
//
// Removing a receiver only marks its entry; marked entries are freed when the
// outermost delivery pass ends, at NumberOfReceivers or at destruction. A
// receiver may therefore remove itself or others, add receivers, or send
// further messages from inside NotifyChange.

#ifndef PEMAR_PROJECT_NOTIFICATION_H_
#define PEMAR_PROJECT_NOTIFICATION_H_

#include <string>
#include <vector>

#include "pemar/framework/Export.h"

namespace pemar {

enum ChangeWhat {
  UtilityAdded = 55,
  UtilityNameChanged = 56,
  UtilityRemoved = 57,
  ErrorMessage = 60,
  ResponseMessage = 61,
  TraceMessage = 62,
  TraceWarningMessage = 63,
  StatusMessage = 64,
  UpdateAllViews = 66,
  HTCDefaultsChanged = 67,
  ConsoleErrors = 70,
  SenderDying = 91,
  DatabaseChanged = 97,
};

// The largest ChangeWhat a receiver can accept; larger and negative values
// are ignored by AddValidMessage and RemoveValidMessage.
inline constexpr int kMaxChangeWhat = 1023;

class PEMAR_EXPORT INotificationReceiver {
 public:
  virtual ~INotificationReceiver();
  // `text` may be null and is valid only during the call; the meaning of
  // `data` depends on `what`.
  virtual void NotifyChange(ChangeWhat what, const char* text, void* data) = 0;
};

class PEMAR_EXPORT INotificationSender {
 public:
  virtual ~INotificationSender();
  virtual void AddNotificationReceiver(INotificationReceiver* receiver) = 0;
  virtual void RemoveNotificationReceiver(INotificationReceiver* receiver) = 0;
  virtual void SendAMessage(ChangeWhat what, const char* text, void* data) = 0;
  virtual void AddValidMessage(INotificationReceiver* receiver,
                               ChangeWhat what) = 0;
  virtual void RemoveValidMessage(INotificationReceiver* receiver,
                                  ChangeWhat what) = 0;
  virtual void HoldNotificationForReceiver(INotificationReceiver* receiver,
                                           char hold) = 0;
};

// One registration: the receiver, the set of accepted messages and the hold
// flag. The set is a zero-terminated string of '0' and '1'; the character at
// position N is '1' when ChangeWhat N is accepted.
class PEMAR_EXPORT NotificationContainer {
 public:
  NotificationContainer() = default;
  explicit NotificationContainer(INotificationReceiver* receiver)
      : receiver_(receiver) {}

  void AddValidMessage(int what);
  void RemoveValidMessage(int what);
  void HoldNotification(char hold) { hold_ = hold; }
  char GetHold() const { return hold_; }
  INotificationReceiver* GetNotificationReceiver() const { return receiver_; }
  INotificationReceiver* GetIAmNotificationContainer() const {
    return receiver_;
  }
  // The accepted-message set, or null when none was ever accepted. Valid
  // until the set next grows or is freed.
  const char* GetValidMessages() const {
    return hasSet_ ? set_.c_str() : nullptr;
  }
  bool Accepts(int what) const;
  // Marks the container dead.
  void MakeNotificationContainerInvalid() { receiver_ = nullptr; }
  // Frees the set and marks the container dead.
  void RemoveNotificationContainer();
  // Calls the receiver unless it is dead or held; does not consult the set.
  void itNotify(ChangeWhat what, const char* text, void* data);

  // List callbacks in the framework's (element, context) shape.
  static int itIsNotificationContainerValid(void* container, void* ignored);
  static int itFindIAmNotificationContainer(void* container, void* receiver);
  static int itKillNotificationContainerCallback(void* container,
                                                 void* ignored);

 private:
  INotificationReceiver* receiver_ = nullptr;
  std::string set_;
  bool hasSet_ = false;
  char hold_ = 0;
};

class PEMAR_EXPORT NotificationSender : public virtual INotificationSender {
 public:
  NotificationSender() = default;
  // Senders are not copied: a copy starts with no receivers.
  NotificationSender(const NotificationSender&) : INotificationSender() {}
  NotificationSender& operator=(const NotificationSender&) { return *this; }
  ~NotificationSender() override;

  // Adds a new entry for the receiver, even when it is listed already.
  void AddNotificationReceiver(INotificationReceiver* receiver) override;
  // Marks the first entry of the receiver dead; unknown receivers and null
  // are ignored.
  void RemoveNotificationReceiver(INotificationReceiver* receiver) override;
  void SendAMessage(ChangeWhat what, const char* text, void* data) override;
  // These act on the first live entry of the receiver.
  void AddValidMessage(INotificationReceiver* receiver,
                       ChangeWhat what) override;
  void RemoveValidMessage(INotificationReceiver* receiver,
                          ChangeWhat what) override;
  void HoldNotificationForReceiver(INotificationReceiver* receiver,
                                   char hold) override;

  // Frees dead entries (unless a delivery is in progress) and returns the
  // number of live entries.
  int NumberOfReceivers();

 private:
  NotificationContainer* FindFirst(INotificationReceiver* receiver);
  void CleanUpNotificationList();

  std::vector<NotificationContainer*> receivers_;
  int deliveryDepth_ = 0;
};

}  // namespace pemar

#endif  // PEMAR_PROJECT_NOTIFICATION_H_
