// Test helper: a notification receiver that logs what it gets as text.

#ifndef PEMAR_UTILITY_TESTING_RECORDINGRECEIVER_H_
#define PEMAR_UTILITY_TESTING_RECORDINGRECEIVER_H_

#include <string>
#include <utility>

#include "pemar/project/Notification.h"

namespace pemar::testing {

class RecordingReceiver : public INotificationReceiver {
 public:
  // Registers with `sender` for every message a utility database sends;
  // `self` is the pointer that notifications about the whole database carry.
  explicit RecordingReceiver(INotificationSender* sender,
                             const void* self = nullptr)
      : sender_(sender), self_(self) {
    sender_->AddNotificationReceiver(this);
    for (const auto& [what, name] : kNames)
      sender_->AddValidMessage(this, what);
  }
  ~RecordingReceiver() override {
    if (sender_ != nullptr) sender_->RemoveNotificationReceiver(this);
  }
  // For a sender that dies first.
  void Detach() { sender_ = nullptr; }

  // Logs "Name(text)", then what `data` points to while it is valid: "@3"
  // for an HTC position, "->X" for a new name, "*" for the database itself.
  void NotifyChange(ChangeWhat what, const char* text, void* data) override {
    std::string entry = std::to_string(what);
    for (const auto& [w, name] : kNames) entry = w == what ? name : entry;
    if (text != nullptr) entry += "(" + std::string(text) + ")";
    if (data == nullptr) {
    } else if (what == HTCDefaultsChanged) {
      entry += "@" + std::to_string(*static_cast<int*>(data));
    } else if (what == UtilityNameChanged) {
      entry += "->" + std::string(static_cast<const char*>(data));
    } else {
      entry += data == self_ ? "*" : "?";
    }
    log_ += (log_.empty() ? "" : " ") + entry;
  }

  // Every entry so far, oldest first, e.g. "Removed(LP Steam) Changed(hi)*".
  const std::string& Log() const { return log_; }
  void Clear() { log_.clear(); }

 private:
  static constexpr std::pair<ChangeWhat, const char*> kNames[] = {
      {UtilityAdded, "Added"},     {UtilityNameChanged, "Renamed"},
      {UtilityRemoved, "Removed"}, {ErrorMessage, "Error"},
      {HTCDefaultsChanged, "HTC"}, {SenderDying, "Dying"},
      {DatabaseChanged, "Changed"}};

  INotificationSender* sender_;
  const void* self_;
  std::string log_;
};

}  // namespace pemar::testing

#endif  // PEMAR_UTILITY_TESTING_RECORDINGRECEIVER_H_
