// Failures of the library become Python exceptions here, at the binding
// boundary only: the messages the library delivered while a call ran are
// caught, and the exception says the first one's text and carries its key
// (the `key` attribute, and `filename` for files).

#ifndef PEMAR_PYTHON_ERRORS_H_
#define PEMAR_PYTHON_ERRORS_H_

#include <pybind11/pybind11.h>

#include <string>
#include <vector>

#include "pemar/framework/Messages.h"
#include "pemar/project/Notification.h"

namespace pemar::python {

// Why the library refused: a message key and the text it shows; both empty
// when the library gave no message.
struct Reason {
  std::string key;
  std::string text;
};

// The reason named by `key` with `args`, as the library would show it.
Reason ReasonOf(const std::string& key, const std::vector<Text>& args = {});

// Catches the error messages delivered while it lives, instead of their
// reaching standard error; also those that `sender` (when not null)
// announces as ErrorMessage notifications.
class MessageCapture : public INotificationReceiver {
 public:
  explicit MessageCapture(INotificationSender* sender = nullptr);
  ~MessageCapture() override;
  MessageCapture(const MessageCapture&) = delete;
  MessageCapture& operator=(const MessageCapture&) = delete;

  void NotifyChange(ChangeWhat what, const char* text, void* data) override;

  // The first error caught, or an empty reason when none was.
  Reason First() const;

 private:
  RecordingMessageSink sink_;
  ScopedMessageSink scope_;
  INotificationSender* sender_;
  Reason notified_;
};

// Raises `type` (a Python exception class) saying `what`, then ": " and the
// reason's text (either alone when the other is empty), whose `key` is the
// reason's key (None when it is empty, as when the library refused without
// a message) and, when `filename` is not empty, with that file name as its
// `filename`.
[[noreturn]] void Raise(PyObject* type, const std::string& what,
                        const Reason& reason, const std::string& filename = "");

}  // namespace pemar::python

#endif  // PEMAR_PYTHON_ERRORS_H_
