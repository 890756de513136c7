// Messages to the user: errors, questions, trace lines and status lines.
//
// The library names every message by a key into the string table
// (FindString); the text shown is the table's text for the key with the
// message's arguments in place of its "%s" (KeyedText), or the key itself
// followed by the arguments when the table has none. The table holds the
// English texts of MessageTexts.h unless a program sets its own. Every message
// is delivered to the process-wide MessageSink: by default one that writes the
// text to standard error; tests and embedding programs install their own
// (RecordingMessageSink keeps them for inspection). Questions (ResponseMsg) are
// answered by the process-wide responder, which answers 1 ("go on") unless
// replaced.
//
// Outside text (file names, console lines) is passed as arguments or as the
// text of a trace line and is never used as a printf format.

#ifndef PEMAR_FRAMEWORK_MESSAGES_H_
#define PEMAR_FRAMEWORK_MESSAGES_H_

#include <functional>
#include <vector>

#include "pemar/framework/Export.h"
#include "pemar/framework/Text.h"

namespace pemar {

enum class MessageKind {
  kError,         // ErrorMsg
  kResponse,      // ResponseMsg: a question with an answer
  kTrace,         // Trace
  kTraceWarning,  // TraceWarning
  kClearTrace,    // ClearTrace
  kStatusReport,  // UserStatusReport
  kStatusClear,   // UserStatusClear
  kBusy,          // SignalBusy
};

struct PEMAR_EXPORT Message {
  MessageKind kind = MessageKind::kError;
  Text key;                // the key, or the plain text of a trace line
  Text text;               // what is shown: FindString(key) and the arguments
  std::vector<Text> args;  // arguments in order, numbers already formatted
  int number = 0;          // response flags, status line, colour or busy state
};

class PEMAR_EXPORT MessageSink {
 public:
  virtual ~MessageSink();
  virtual void Deliver(const Message& message) = 0;
};

// Keeps every message delivered to it, in order.
class PEMAR_EXPORT RecordingMessageSink : public MessageSink {
 public:
  void Deliver(const Message& message) override;
  const std::vector<Message>& messages() const { return messages_; }
  // True when a message of this kind and key was delivered.
  bool Has(MessageKind kind, const Text& key) const;
  void Clear() { messages_.clear(); }

 private:
  std::vector<Message> messages_;
};

// Drops every message: for fuzzing and benchmarks, where failures are
// expected by the thousand and neither printing nor keeping them helps.
class PEMAR_EXPORT DiscardingMessageSink : public MessageSink {
 public:
  void Deliver(const Message& /*message*/) override {}
};

// Installs `sink` (not owned; null restores the standard-error sink) and
// returns the previous one.
PEMAR_EXPORT MessageSink* SetMessageSink(MessageSink* sink);

// Puts a sink in place for the life of the guard.
class PEMAR_EXPORT ScopedMessageSink {
 public:
  explicit ScopedMessageSink(MessageSink* sink)
      : previous_(SetMessageSink(sink)) {}
  ~ScopedMessageSink() { SetMessageSink(previous_); }
  ScopedMessageSink(const ScopedMessageSink&) = delete;
  ScopedMessageSink& operator=(const ScopedMessageSink&) = delete;

 private:
  MessageSink* previous_;
};

// Answers questions: receives the question (already delivered to the sink)
// and returns the answer. Null restores the default, which answers 1.
using Responder = std::function<int(const Message& question)>;
PEMAR_EXPORT void SetResponder(Responder responder);

// The string table. FindString gives the text set for key with SetString,
// else its English text (MessageTexts.h), else the key itself.
// ClearStringTable forgets the texts set, leaving the English ones.
PEMAR_EXPORT Text FindString(const Text& key);
PEMAR_EXPORT void SetString(const Text& key, const Text& text);
PEMAR_EXPORT void ClearStringTable();

// What a message of `key` with `args` shows: the key's text with each "%s"
// replaced by the next argument (an argument's own text is never read as a
// pattern; arguments beyond the placeholders are not shown, missing ones
// show as nothing). A key without text shows as itself followed by its
// arguments, each after a space.
PEMAR_EXPORT Text KeyedText(const Text& key, const std::vector<Text>& args);

// An error message with text arguments (file names and the like).
PEMAR_EXPORT void ErrorMsg(const Text& key, const std::vector<Text>& args = {});
// An error message with three real numbers, as change notifications carry.
PEMAR_EXPORT void ErrorMsg(const Text& key, double a, double b, double c);
// A question; returns the responder's answer (1 means go on).
PEMAR_EXPORT int ResponseMsg(const Text& key, int flags,
                             const std::vector<Text>& args = {});
// A line in the trace window; colour -1 means none.
PEMAR_EXPORT void Trace(const Text& text, int colour = -1);
PEMAR_EXPORT void TraceWarning(const Text& text);
// A warning line named by a key, with text arguments (file names and the
// like), as ErrorMsg shows them.
PEMAR_EXPORT void TraceWarning(const Text& key, const std::vector<Text>& args);
PEMAR_EXPORT void ClearTrace();
PEMAR_EXPORT void UserStatusReport(const Text& text, int line);
PEMAR_EXPORT void UserStatusClear(int line);
// Brackets long work: 1 busy, 0 done.
PEMAR_EXPORT void SignalBusy(int busy);

}  // namespace pemar

#endif  // PEMAR_FRAMEWORK_MESSAGES_H_
