// Test helper: a notification receiver that keeps copies of what it got.

#ifndef PEMAR_UTILITY_TESTING_RECORDINGRECEIVER_H_
#define PEMAR_UTILITY_TESTING_RECORDINGRECEIVER_H_

#include <string>
#include <utility>
#include <vector>

#include "pemar/project/Notification.h"

namespace pemar::testing {

class RecordingReceiver : public INotificationReceiver {
 public:
  struct Event {
    ChangeWhat what;
    std::string text;
    bool has_text;
    void* data;
  };

  // Registers with `sender` for every message the database sends.
  explicit RecordingReceiver(INotificationSender* sender) : sender_(sender) {
    sender_->AddNotificationReceiver(this);
    for (ChangeWhat what :
         {UtilityAdded, UtilityNameChanged, UtilityRemoved, ErrorMessage,
          HTCDefaultsChanged, SenderDying, DatabaseChanged}) {
      sender_->AddValidMessage(this, what);
    }
  }
  ~RecordingReceiver() override {
    if (sender_ != nullptr) sender_->RemoveNotificationReceiver(this);
  }
  // For a sender that dies first.
  void Detach() { sender_ = nullptr; }

  // Keeps what `data` points to as text, as it is valid only during the
  // call: the position for HTCDefaultsChanged, the new name for
  // UtilityNameChanged.
  void NotifyChange(ChangeWhat what, const char* text, void* data) override {
    events.push_back({what, text ? text : "", text != nullptr, data});
    std::string entry = Name(what);
    if (text != nullptr) entry += "(" + std::string(text) + ")";
    if (what == HTCDefaultsChanged && data)
      entry += "@" + std::to_string(*static_cast<int*>(data));
    if (what == UtilityNameChanged && data)
      entry += "->" + std::string(static_cast<const char*>(data));
    log_ += (log_.empty() ? "" : " ") + entry;
  }

  // Every event so far, oldest first, as "Removed(LP Steam) Changed(hi)
  // Renamed(MP Steam)->X HTC(Brine)@3 Dying"; a null text gives no brackets.
  const std::string& Log() const { return log_; }
  void Clear() {
    events.clear();
    log_.clear();
  }
  int Count(ChangeWhat what) const {
    int n = 0;
    for (const Event& e : events) n += e.what == what;
    return n;
  }
  std::vector<std::string> Texts(ChangeWhat what) const {
    std::vector<std::string> texts;
    for (const Event& e : events) {
      if (e.what == what) texts.push_back(e.text);
    }
    return texts;
  }

  std::vector<Event> events;

 private:
  static std::string Name(ChangeWhat what) {
    const std::pair<ChangeWhat, const char*> names[] = {
        {UtilityAdded, "Added"},     {UtilityNameChanged, "Renamed"},
        {UtilityRemoved, "Removed"}, {ErrorMessage, "Error"},
        {HTCDefaultsChanged, "HTC"}, {SenderDying, "Dying"},
        {DatabaseChanged, "Changed"}};
    for (const auto& [w, name] : names) {
      if (w == what) return name;
    }
    return std::to_string(what);
  }

  INotificationSender* sender_;
  std::string log_;
};

}  // namespace pemar::testing

#endif  // PEMAR_UTILITY_TESTING_RECORDINGRECEIVER_H_
