// Message capture and exceptions with the library's message keys.

#include "errors.h"

namespace py = pybind11;

namespace pemar::python {

MessageCapture::MessageCapture(INotificationSender* sender)
    : scope_(&sink_), sender_(sender) {
  if (sender_ != nullptr) {
    sender_->AddNotificationReceiver(this);
    sender_->AddValidMessage(this, ErrorMessage);
  }
}

MessageCapture::~MessageCapture() {
  if (sender_ != nullptr) sender_->RemoveNotificationReceiver(this);
}

void MessageCapture::NotifyChange(ChangeWhat what, const char* text,
                                  void* /*data*/) {
  if (what == ErrorMessage && text != nullptr && notified_.empty()) {
    notified_ = text;
  }
}

std::string MessageCapture::FirstKey() const {
  for (const Message& m : sink_.messages()) {
    if (m.kind == MessageKind::kError) return m.key.str();
  }
  return notified_;
}

void Raise(PyObject* type, const std::string& text, const std::string& key,
           const std::string& filename) {
  py::object error = py::reinterpret_borrow<py::object>(type)(text);
  error.attr("key") = key.empty() ? py::none() : py::object(py::str(key));
  if (!filename.empty()) {
    // An OSError with a file name prints its strerror, not its argument.
    error.attr("filename") = filename;
    error.attr("strerror") = text;
  }
  PyErr_SetObject(type, error.ptr());
  throw py::error_already_set();
}

}  // namespace pemar::python
