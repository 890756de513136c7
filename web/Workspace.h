// The document a `pemar serve` edits: a case, or a utility set on its own,
// with the lock every call into the library runs under, the flag for
// unsaved changes, the log of changes the pages hear about, and the
// recovery copy written when the server stops with unsaved changes.
//
// The library is single-threaded: whoever calls into it (a request handler,
// the save, the recovery write) holds `library_lock()` for the whole call,
// including the reading of what it returned.

#ifndef PEMAR_WEB_WORKSPACE_H_
#define PEMAR_WEB_WORKSPACE_H_

#include <memory>
#include <mutex>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "pemar/framework/Messages.h"
#include "pemar/persist/PemarBaseObject.h"
#include "pemar/project/Notification.h"
#include "web/EventLog.h"

namespace pemar {
class DefaultUtilManagerView;
class IDefaultUtilityManager;
class SimulationCase;
}  // namespace pemar

namespace pemar::web {

enum class WorkspaceKind { kCase, kUtilitySet };

struct OpenOptions {
  WorkspaceKind kind = WorkspaceKind::kCase;
  std::string path;
  bool create = false;   // a new document; the file must not exist yet
  bool recover = false;  // read the recovery copy; Save still writes `path`
};

// What the library said during one call: errors and warnings, in order.
struct CallMessages {
  std::vector<Message> messages;
  bool HasError() const;
  // [{"kind": "error"|"warning", "key": ..., "text": ...}]
  nlohmann::ordered_json Json() const;
};

// Collects the library's messages while alive; questions are answered
// "go on" (1), as the tool does. Hold the library lock around it.
class ScopedCallMessages {
 public:
  explicit ScopedCallMessages(CallMessages* into);
  ~ScopedCallMessages();
  ScopedCallMessages(const ScopedCallMessages&) = delete;
  ScopedCallMessages& operator=(const ScopedCallMessages&) = delete;

 private:
  class Sink;
  std::unique_ptr<Sink> sink_;
  MessageSink* previous_;
};

class Workspace : private INotificationReceiver {
 public:
  // Opens (or, with `create`, makes) the document. Null, with a sentence
  // for the user in `error`, when it cannot.
  static std::unique_ptr<Workspace> Open(const OpenOptions& options,
                                         std::string& error);
  ~Workspace() override;
  Workspace(const Workspace&) = delete;
  Workspace& operator=(const Workspace&) = delete;

  WorkspaceKind kind() const { return kind_; }
  // The file Save writes.
  const std::string& path() const { return path_; }
  // The case; null for a utility set.
  SimulationCase* document() { return document_.get(); }
  // The utility database: the case's, or the set's own. Never null.
  IDefaultUtilityManager* utilities() { return utilities_; }
  // The case's fuel and carbon-tracking view; null for a utility set.
  DefaultUtilManagerView* utility_view();
  // The sections a Save of a utility set keeps (AllData for a case).
  StoreRecallType saved_sections() const { return sections_; }

  std::mutex& library_lock() { return library_lock_; }
  EventLog& events() { return events_; }

  // Unsaved changes; these read and set a flag of the server's own, which
  // every accepted change sets and a successful Save clears.
  bool modified() const;
  void MarkModified();

  // Saves through the document's own save (a case rotates its backups).
  // Hold the library lock. False, with the library's messages in
  // `messages`, when the save failed; the previous file is then unchanged.
  bool Save(CallMessages* messages);

  // "<folder>/<stem>.recovered<extension>" beside `path`.
  static std::string RecoveryPath(const std::string& path);
  // Whether a recovery copy of `path()` exists.
  bool RecoveryExists() const;
  // Writes the document to RecoveryPath(path()) through the atomic write,
  // leaving `path()` and its backups as they are. Hold the library lock.
  // False, with a sentence in `error`, when it cannot.
  bool WriteRecoveryCopy(std::string& error);
  // Whether the document was read from its recovery copy (`recover`).
  bool opened_from_recovery() const { return recovered_; }
  // Removes the recovery copy; only once a Save of a document opened from
  // it has written its changes, since otherwise they are nowhere else.
  void RemoveRecoveryCopy();

 private:
  Workspace() = default;
  void NotifyChange(ChangeWhat what, const char* text, void* data) override;

  WorkspaceKind kind_ = WorkspaceKind::kCase;
  std::string path_;
  std::unique_ptr<SimulationCase> document_;
  IDefaultUtilityManager* utilities_ = nullptr;
  bool owns_utilities_ = false;
  StoreRecallType sections_ = AllData;
  bool recovered_ = false;
  std::mutex library_lock_;
  mutable std::mutex flag_lock_;
  bool modified_ = false;
  EventLog events_;
};

}  // namespace pemar::web

#endif  // PEMAR_WEB_WORKSPACE_H_
