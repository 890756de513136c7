// Document: a framework object that is saved as one file.
//
// A document holds its file name (a full path), a modified flag, a flag that
// records whether a save has already made a backup, the environment number,
// its file header and the object manager of all its framework objects.
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

#include "pemar/framework/Export.h"
#include "pemar/framework/ObjectManager.h"
#include "pemar/framework/PackedBinaryFileHeader.h"
#include "pemar/framework/Platform.h"
#include "pemar/framework/Text.h"
#include "pemar/framework/Viewable.h"

namespace pemar {

class PEMAR_EXPORT Document : public Viewable {
 public:
  // A new document in `owner` (the session, or null).
  Document(Viewable* owner, const ObjectTypeInfo* type);
  // The document that a recall fills.
  explicit Document(ObjectInstanceInfo& info);
  ~Document() override;

  // The document's file: a full path, empty for a new document.
  const Text& GetFileName() const { return file_name_; }
  void SetFileName(const Text& name) { file_name_ = name; }
  bool IsModified() const { return modified_; }
  void SetModified(bool modified) { modified_ = modified; }
  bool BackupMade() const { return backup_made_; }
  void SetBackupMade(bool made) { backup_made_ = made; }
  int EnvironmentNumber() const { return environment_number_; }
  void SetEnvironmentNumber(int number) { environment_number_ = number; }

  ObjectManager& GetObjectManager() { return *objects_; }
  const ObjectManager& GetObjectManager() const { return *objects_; }

  // The header that saves write and recalls read; owned by the document,
  // valid while it lives. The base gives a header with the framework's
  // stamp; a document class with its own stamp returns its own header.
  virtual PackedBinaryFileHeader* DocumentFileHeader();

  // Saves to GetFileName(); the flag is not used. On success the modified
  // flag is cleared. On failure the previous file is left as it was.
  virtual unsigned char SaveDocument(unsigned char flag);
  // Sets the file name to `name` and reads the file into this document.
  virtual unsigned char RecallDocument(const FileName& name);

  // The type that replaces an object type number of an old file layout;
  // null here, as this framework's own layout stores type names.
  virtual const ObjectTypeInfo* FixupOldObjectType(long oldType);

 private:
  Text file_name_;
  bool modified_ = false;
  bool backup_made_ = false;
  int environment_number_ = 0;
  PackedBinaryFileHeader header_;
  std::unique_ptr<ObjectManager> objects_;
};

}  // namespace pemar

#endif  // PEMAR_FRAMEWORK_DOCUMENT_H_
