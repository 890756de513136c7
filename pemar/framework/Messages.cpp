#include "pemar/framework/Messages.h"

#include <cstdio>
#include <map>

#include "pemar/framework/MessageTexts.h"

namespace pemar {
namespace {

class StandardErrorSink final : public MessageSink {
 public:
  void Deliver(const Message& message) override {
    const char* prefix = "";
    switch (message.kind) {
      case MessageKind::kError:
        prefix = "error: ";
        break;
      case MessageKind::kResponse:
        prefix = "question: ";
        break;
      case MessageKind::kTraceWarning:
        prefix = "warning: ";
        break;
      case MessageKind::kTrace:
      case MessageKind::kStatusReport:
        break;
      case MessageKind::kClearTrace:
      case MessageKind::kStatusClear:
      case MessageKind::kBusy:
        return;
    }
    std::fprintf(stderr, "%s%s\n", prefix, message.text.c_str());
  }
};

StandardErrorSink& DefaultSink() {
  static StandardErrorSink* sink = new StandardErrorSink;
  return *sink;
}

MessageSink* g_sink = nullptr;

Responder& CurrentResponder() {
  static Responder* responder = new Responder;
  return *responder;
}

std::map<Text, Text>& StringTable() {
  static std::map<Text, Text>* table = new std::map<Text, Text>;
  return *table;
}

// The text set for `key`, else its English text; false when it has none.
bool LookUp(const Text& key, Text* text) {
  const auto& table = StringTable();
  auto it = table.find(key);
  if (it != table.end()) {
    *text = it->second;
    return true;
  }
  const char* english = EnglishMessageText(key);
  if (english == nullptr) return false;
  *text = Text(english);
  return true;
}

void Send(Message& message) {
  (g_sink ? *g_sink : DefaultSink()).Deliver(message);
}

Message Keyed(MessageKind kind, const Text& key, std::vector<Text> args,
              int number) {
  Message m;
  m.kind = kind;
  m.key = key;
  m.text = KeyedText(key, args);
  m.args = std::move(args);
  m.number = number;
  return m;
}

Message Plain(MessageKind kind, const Text& text, int number) {
  Message m;
  m.kind = kind;
  m.key = text;
  m.text = text;
  m.number = number;
  return m;
}

}  // namespace

MessageSink::~MessageSink() = default;

void RecordingMessageSink::Deliver(const Message& message) {
  messages_.push_back(message);
}

bool RecordingMessageSink::Has(MessageKind kind, const Text& key) const {
  for (const Message& m : messages_) {
    if (m.kind == kind && m.key == key) return true;
  }
  return false;
}

MessageSink* SetMessageSink(MessageSink* sink) {
  MessageSink* previous = g_sink;
  g_sink = sink;
  return previous;
}

void SetResponder(Responder responder) {
  CurrentResponder() = std::move(responder);
}

Text FindString(const Text& key) {
  Text text;
  return LookUp(key, &text) ? text : key;
}

void SetString(const Text& key, const Text& text) { StringTable()[key] = text; }

void ClearStringTable() { StringTable().clear(); }

Text KeyedText(const Text& key, const std::vector<Text>& args) {
  Text pattern;
  if (!LookUp(key, &pattern)) {
    Text shown = key;
    for (const Text& arg : args) shown += " " + arg;
    return shown;
  }
  const std::string& p = pattern.str();
  std::string shown;
  std::size_t next = 0;
  std::size_t from = 0;
  for (std::size_t at = p.find("%s"); at != std::string::npos;
       at = p.find("%s", from)) {
    shown.append(p, from, at - from);
    if (next < args.size()) shown += args[next].str();
    ++next;
    from = at + 2;
  }
  shown.append(p, from, std::string::npos);
  return Text(std::move(shown));
}

void ErrorMsg(const Text& key, const std::vector<Text>& args) {
  Message m = Keyed(MessageKind::kError, key, args, 0);
  Send(m);
}

void ErrorMsg(const Text& key, double a, double b, double c) {
  ErrorMsg(key, {Text::Format("%g", a), Text::Format("%g", b),
                 Text::Format("%g", c)});
}

int ResponseMsg(const Text& key, int flags, const std::vector<Text>& args) {
  Message m = Keyed(MessageKind::kResponse, key, args, flags);
  Send(m);
  const Responder& responder = CurrentResponder();
  return responder ? responder(m) : 1;
}

void Trace(const Text& text, int colour) {
  Message m = Plain(MessageKind::kTrace, text, colour);
  Send(m);
}

void TraceWarning(const Text& text) {
  Message m = Plain(MessageKind::kTraceWarning, text, 0);
  Send(m);
}

void TraceWarning(const Text& key, const std::vector<Text>& args) {
  Message m = Keyed(MessageKind::kTraceWarning, key, args, 0);
  Send(m);
}

void ClearTrace() {
  Message m = Plain(MessageKind::kClearTrace, Text(), 0);
  Send(m);
}

void UserStatusReport(const Text& text, int line) {
  Message m = Plain(MessageKind::kStatusReport, text, line);
  Send(m);
}

void UserStatusClear(int line) {
  Message m = Plain(MessageKind::kStatusClear, Text(), line);
  Send(m);
}

void SignalBusy(int busy) {
  Message m = Plain(MessageKind::kBusy, Text(), busy);
  Send(m);
}

}  // namespace pemar
