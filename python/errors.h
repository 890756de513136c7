// Failures of the library become Python exceptions here, at the binding
// boundary only: the message keys the library delivered while a call ran
// are caught and carried by the exception (its `key` attribute, and
// `filename` for files).

#ifndef PEMAR_PYTHON_ERRORS_H_
#define PEMAR_PYTHON_ERRORS_H_

#include <pybind11/pybind11.h>

#include <string>

#include "pemar/framework/Messages.h"
#include "pemar/project/Notification.h"

namespace pemar::python {

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

  // The key of the first error caught, or "" when none was.
  std::string FirstKey() const;

 private:
  RecordingMessageSink sink_;
  ScopedMessageSink scope_;
  INotificationSender* sender_;
  std::string notified_;
};

// Raises `type` (a Python exception class) with `text`, whose `key` is the
// library's message key (None when `key` is empty, as when the library
// refused without a message) and, when `filename` is not empty, with that
// file name as its `filename`.
[[noreturn]] void Raise(PyObject* type, const std::string& text,
                        const std::string& key,
                        const std::string& filename = "");

}  // namespace pemar::python

#endif  // PEMAR_PYTHON_ERRORS_H_
