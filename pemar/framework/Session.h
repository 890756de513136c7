// Session: the framework's process-wide application session.
//
// There is at most one current session, and there may be none (a library
// loaded by a program without the framework's shell, most tests): code that
// needs it asks Session::Current() and does nothing when it is null. The
// session plays script commands, saves recovery files for documents, tells
// whether the program was started by automation, and gives the program's
// version text. This stand-in keeps counts of what it was asked to do, so
// that tests can check who asked; a program overrides the virtuals.
//
// The active automation object is a separate process-wide slot: the object
// that automation clients reach first. It is not owned; whoever registers an
// object revokes it before the object dies.

#ifndef PEMAR_FRAMEWORK_SESSION_H_
#define PEMAR_FRAMEWORK_SESSION_H_

#include "pemar/framework/Export.h"
#include "pemar/framework/Text.h"

namespace pemar {

class Document;

class PEMAR_EXPORT Session {
 public:
  Session() = default;
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;
  // A session that is current when destroyed stops being current.
  virtual ~Session();

  // The current session; null by default.
  static Session* Current();
  // Makes `session` current (not owned; null for none).
  static void SetCurrent(Session* session);

  // Plays the next command of a running script; `value` is the result of
  // the step that just ended, or -32767 for none. Here it only counts.
  virtual void PlayNextScriptCommand(double value);
  // Saves a recovery copy of `document` (not owned, may be null). Here it
  // only counts and remembers the document.
  virtual void SaveRecoveryFile(Document* document);

  // Whether a new document may register itself as the active automation
  // object; true by default.
  bool AllowsActiveAutomation() const { return allows_active_automation_; }
  void SetAllowsActiveAutomation(bool allows) {
    allows_active_automation_ = allows;
  }
  // Whether an automation client started the program (so nobody is there to
  // answer questions); false by default.
  bool StartedByAutomation() const { return started_by_automation_; }
  void SetStartedByAutomation(bool started) {
    started_by_automation_ = started;
  }
  // The program's version, as shown to the user.
  Text VersionText() const { return version_text_; }
  void SetVersionText(const Text& text) { version_text_ = text; }

  // What the session was asked to do.
  int ScriptCommandsPlayed() const { return script_commands_played_; }
  double LastScriptValue() const { return last_script_value_; }
  int RecoveryFilesSaved() const { return recovery_files_saved_; }
  // The document of the last SaveRecoveryFile; only for comparison, as it
  // may have died since.
  const Document* LastRecoveryDocument() const { return last_recovery_; }

  // The active automation object (not owned; null for none).
  static void SetActiveAutomationObject(void* object);
  static void* ActiveAutomationObject();
  // Clears the slot only when it holds `object`, so that an object never
  // revokes another's registration.
  static void RevokeActiveAutomationObject(void* object);

 private:
  bool allows_active_automation_ = true;
  bool started_by_automation_ = false;
  Text version_text_ = "2.1";
  int script_commands_played_ = 0;
  double last_script_value_ = 0.0;
  int recovery_files_saved_ = 0;
  const Document* last_recovery_ = nullptr;
};

// Makes a session current for the life of the guard.
class PEMAR_EXPORT ScopedSession {
 public:
  explicit ScopedSession(Session* session) : previous_(Session::Current()) {
    Session::SetCurrent(session);
  }
  ~ScopedSession() { Session::SetCurrent(previous_); }
  ScopedSession(const ScopedSession&) = delete;
  ScopedSession& operator=(const ScopedSession&) = delete;

 private:
  Session* previous_;
};

}  // namespace pemar

#endif  // PEMAR_FRAMEWORK_SESSION_H_
