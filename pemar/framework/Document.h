// Document: a framework object that is saved as one file.
//
// A document holds its file name (a full path), a modified flag, a flag that
// records whether a save has already made a backup, the environment number
// and mode, its status lists, its recovery setting, its file header and the
// object manager of all its framework objects (among them, once asked for,
// its report manager).
// Destroying a document destroys every object its manager still holds.
//
// The base SaveDocument writes the header, the objects and the confirmation
// into a temporary file beside the document, forces it to disk and renames
// it over the document's file; RecallDocument reads such a file back. A
// document class with a layout of its own (the simulation case) overrides
// both and uses the same pieces.

#ifndef PEMAR_FRAMEWORK_DOCUMENT_H_
#define PEMAR_FRAMEWORK_DOCUMENT_H_

#include <memory>
#include <vector>

#include "pemar/framework/Export.h"
#include "pemar/framework/ObjectManager.h"
#include "pemar/framework/PackedBinaryFileHeader.h"
#include "pemar/framework/Platform.h"
#include "pemar/framework/Text.h"
#include "pemar/framework/Viewable.h"

namespace pemar {

class ReportManager;

// One status information of a document: a text of its own, or (when the
// text is empty) a key into the string table, and a level.
struct PEMAR_EXPORT StatusInfo {
  Text text;
  Text key;
  int level = 0;
};

class PEMAR_EXPORT Document : public Viewable {
 public:
  // A new document in `owner` (the session, or null).
  Document(Viewable* owner, const ObjectTypeInfo* type);
  // The document that a recall fills.
  explicit Document(ObjectInstanceInfo& info);
  ~Document() override;

  // The document's file: a full path, empty for a new document.
  const Text& GetFileName() const { return file_name_; }
  // A new name is a name the user chose: it is no longer temporary.
  void SetFileName(const Text& name) {
    file_name_ = name;
    temp_name_ = false;
  }
  // Marks the name as temporary, so that the next save asks for a name
  // (a recalled backup or temporary file must not be saved over itself).
  void SetTempName() { temp_name_ = true; }
  bool IsTempName() const { return temp_name_; }
  bool IsModified() const { return modified_; }
  void SetModified(bool modified) { modified_ = modified; }
  bool BackupMade() const { return backup_made_; }
  void SetBackupMade(bool made) { backup_made_ = made; }
  int EnvironmentNumber() const { return environment_number_; }
  void SetEnvironmentNumber(int number) { environment_number_ = number; }
  // Enters framework environment `number` (the flag is the framework's and
  // changes nothing here): only the environment number changes.
  void EnterEnvironment(int number, int flag);
  // The environment mode text, empty for a new document.
  const Text& EnvironmentMode() const { return environment_mode_; }
  void SetEnvironmentMode(const Text& mode) { environment_mode_ = mode; }

  // The document's status lists, each a list of status informations; empty
  // for a new document. Tests fill them.
  using StatusInfo = pemar::StatusInfo;
  std::vector<std::vector<StatusInfo>>& StatusLists() { return status_lists_; }
  const std::vector<std::vector<StatusInfo>>& StatusLists() const {
    return status_lists_;
  }

  // Whether the session should keep a recovery file of the document after a
  // solve; false for a new document.
  bool RecoverySetting() const { return recovery_setting_; }
  void SetRecoverySetting(bool on) { recovery_setting_ = on; }

  // The document's report manager: an object of the document (owned by it,
  // so stored and recalled with it and destroyed with it). The first one
  // found among the document's objects is answered; only when there is none
  // is one created, so a new document stores none until someone asks, and a
  // recalled document answers the recalled one. Valid until the document or
  // the manager is destroyed; never null.
  ReportManager* GetReportManager();

  // The framework tells the document that its window became active (true)
  // or inactive (false). The base only counts the calls.
  virtual void NotifyActivated(bool active);
  int NotifyActivatedCalls() const { return notify_activated_calls_; }
  // Opens the document's own view: the base counts the call and opens the
  // view of the document (Viewable::View).
  virtual void ViewDocument();
  int ViewDocumentCalls() const { return view_document_calls_; }
  // Has every view of the document redraw; `hint` (not owned, may be null)
  // tells them what changed. The stand-in has no views: it counts the calls.
  void UpdateViews(void* hint);
  int UpdateViewsCalls() const { return update_views_calls_; }

  // The base answer to a command no class handled: the result set with
  // SetUnhandledMessageResult (0 unless a test set another), the same for
  // every document of the process.
  int Message(const Text& command) override;
  static void SetUnhandledMessageResult(int result);

  ObjectManager& GetObjectManager() { return *objects_; }
  const ObjectManager& GetObjectManager() const { return *objects_; }

  // The header that saves write and recalls read; owned by the document,
  // valid while it lives. The base gives a header with the framework's
  // stamp; a document class with its own stamp returns its own header.
  virtual PackedBinaryFileHeader* DocumentFileHeader();

  // Saves to GetFileName(); the flag is not used. On success the modified
  // flag is cleared. On a failure up to the rename the previous file is
  // left as it was. A folder that cannot be synced after the rename does
  // not fail the save (SyncFolderOfSavedFile).
  virtual unsigned char SaveDocument(unsigned char flag);
  // Sets the file name to `name` and reads the file into this document.
  virtual unsigned char RecallDocument(const FileName& name);

  // The type that replaces an object type number of an old file layout;
  // null here, as this framework's own layout stores type names.
  virtual const ObjectTypeInfo* FixupOldObjectType(long oldType);

 private:
  Text file_name_;
  bool temp_name_ = false;
  bool modified_ = false;
  bool backup_made_ = false;
  int environment_number_ = 0;
  Text environment_mode_;
  std::vector<std::vector<StatusInfo>> status_lists_;
  bool recovery_setting_ = false;
  int notify_activated_calls_ = 0;
  int view_document_calls_ = 0;
  int update_views_calls_ = 0;
  PackedBinaryFileHeader header_;
  std::unique_ptr<ObjectManager> objects_;
};

// Syncs the folder of `path` after a save's final rename put the new file
// there, so that the new name survives a crash. A folder that cannot be
// synced does not fail the save: the file holds the new data, and a failure
// would tell the user that the old file is still there. It is shown as the
// warning "UnableToSyncFolder" with the path. Every document's save ends
// with it.
PEMAR_EXPORT void SyncFolderOfSavedFile(const Text& path);

}  // namespace pemar

#endif  // PEMAR_FRAMEWORK_DOCUMENT_H_
