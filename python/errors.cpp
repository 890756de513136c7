// Message capture and exceptions with the library's message texts and keys.

#include "errors.h"

namespace py = pybind11;

namespace pemar::python {

Reason ReasonOf(const std::string& key, const std::vector<Text>& args) {
  return {key, KeyedText(Text(key), args).str()};
}

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
  // The text is the key, perhaps followed by numbers that a text may show.
  if (what == ErrorMessage && text != nullptr && notified_.key.empty()) {
    Text rest(text);
    const Text key = rest.Token();
    std::vector<Text> numbers;
    for (Text n = rest.Token(); !n.IsEmpty(); n = rest.Token()) {
      numbers.push_back(n);
    }
    notified_ = ReasonOf(key.str(), numbers);
  }
}

Reason MessageCapture::First() const {
  for (const Message& m : sink_.messages()) {
    if (m.kind == MessageKind::kError) return {m.key.str(), m.text.str()};
  }
  return notified_;
}

void Raise(PyObject* type, const std::string& what, const Reason& reason,
           const std::string& filename) {
  const std::string text = what.empty() || reason.text.empty()
                               ? what + reason.text
                               : what + ": " + reason.text;
  py::object error = py::reinterpret_borrow<py::object>(type)(text);
  error.attr("key") =
      reason.key.empty() ? py::none() : py::object(py::str(reason.key));
  if (!filename.empty()) {
    // An OSError with a file name prints its strerror, not its argument.
    error.attr("filename") = filename;
    error.attr("strerror") = text;
  }
  PyErr_SetObject(type, error.ptr());
  throw py::error_already_set();
}

}  // namespace pemar::python
