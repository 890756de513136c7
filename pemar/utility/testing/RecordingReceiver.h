// Test helper: a notification receiver that keeps copies of what it got.

#ifndef PEMAR_UTILITY_TESTING_RECORDINGRECEIVER_H_
#define PEMAR_UTILITY_TESTING_RECORDINGRECEIVER_H_

#include <string>
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
    int position;           // the int behind `data` for HTCDefaultsChanged
    std::string data_text;  // the text behind `data` for UtilityNameChanged
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

  void NotifyChange(ChangeWhat what, const char* text, void* data) override {
    Event e{what, text ? text : "", text != nullptr, data, -1, ""};
    if (what == HTCDefaultsChanged && data)
      e.position = *static_cast<int*>(data);
    if (what == UtilityNameChanged && data) {
      e.data_text = static_cast<const char*>(data);
    }
    events.push_back(e);
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
  INotificationSender* sender_;
};

}  // namespace pemar::testing

#endif  // PEMAR_UTILITY_TESTING_RECORDINGRECEIVER_H_
