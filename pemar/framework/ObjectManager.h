// ObjectManager: the framework objects of one document, and their storage.
//
// Every Viewable whose owner chain reaches a document registers with that
// document's manager when it is built, and receives an id (1, 2, 3 ... in
// registration order; the document itself has the first). The manager owns
// the objects other than the document: it destroys what is left of them
// when the document is destroyed. Deleting an object earlier unregisters it.
//
// StoreObjects writes a table of all objects (id, type name, owner id, name,
// class-data version), then one chunk of class data per object, written by
// its type's StoreClassData. RecallObjects reads such a section back into
// the document:
//   1. it creates every object with its type's CreateInstanceForRecall, in
//      file order (owners before what they own); the document's own record
//      fills the document itself;
//   2. it reads every object's class data (RecallClassData), so that
//      Viewable::RecallPointerX finds every id, also of later records;
//   3. it discards every object whose CheckRecalledPointers answers false;
//   4. it calls RecallFixUp on every object kept, in file order;
//   5. it deletes the objects handed to DeleteAfterRecall meanwhile.
// Before each hook call the type's recalled class-data version is the one
// stored for that object. The byte layout is in docs/file-format.md.
//
// Type names. A record names its type by the registered type name, except
// in files of old layouts, which stored a type number: such a record's type
// name is "#" followed by one to 18 decimal digits (for example "#24657"),
// and the recall resolves it through the owning document's
// FixupOldObjectType(number). A null answer fails the recall as an unknown
// type name does. A store writes "#<number>" for an object whose type has a
// positive OldTypeNumber(), and the type name otherwise. Any other text
// beginning with '#' is looked up as a plain type name.
//
// A store fails when an object has no registered type, or when a
// StoreClassData hook or a write fails.
//
// A recall fails, destroying every object it created and leaving the
// document's other objects and its name as they were, when the section is
// damaged: an unknown type name, an id that is 0, repeated or unknown, an
// owner that does not come earlier, a count that the file cannot hold, a
// hook that fails (the document's own class data may then be partly read).
// No allocation exceeds what the bytes in the file justify.

#ifndef PEMAR_FRAMEWORK_OBJECTMANAGER_H_
#define PEMAR_FRAMEWORK_OBJECTMANAGER_H_

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "pemar/framework/Export.h"

namespace pemar {

class BinaryFile;
class Document;
class ObjectTypeInfo;
class Viewable;

class PEMAR_EXPORT ObjectManager {
 public:
  // The manager of `document` (not owned; the document owns the manager).
  explicit ObjectManager(Document* document);
  ObjectManager(const ObjectManager&) = delete;
  ObjectManager& operator=(const ObjectManager&) = delete;
  // Destroys the objects still registered, the document excepted.
  ~ObjectManager();

  // Non-zero on success. Both fail when called from inside a store or
  // recall of the same manager.
  unsigned char StoreObjects(BinaryFile& file);
  unsigned char RecallObjects(BinaryFile& file);

  // The build number of the program that saved the file being read: the
  // one the document's file header holds, or this framework's own build
  // number when the document has no header.
  long SavedByBuildNumber() const;

  // The registered objects, the document first, in registration order.
  // With a type: only those that are of it or derive from it.
  std::vector<Viewable*> Objects() const;
  std::vector<Viewable*> Objects(const ObjectTypeInfo* type) const;
  std::size_t Count() const { return objects_.size(); }

  // The id under which `object` is registered here; 0 when it is not.
  std::uint32_t IdOf(const Viewable* object) const;

  // Deletes `object` (one of this manager's) once the recall in progress
  // has called every fix-up, or at once when none is in progress. For an
  // object that finds in its own RecallFixUp that it cannot stay: deleting
  // it there would leave the recall, and later fix-ups that name it, with a
  // dangling pointer. An object deleted meanwhile is simply dropped.
  void DeleteAfterRecall(Viewable* object);

  // The bookkeeping of a store or recall in progress; internal.
  struct StoreState;
  struct RecallState;

 private:
  friend class Document;
  friend class Viewable;

  void Register(Viewable* object);
  void Unregister(Viewable* object);
  // Destroys every object registered after `lastKeptId`, newest first,
  // never the document.
  void DestroyAfter(std::uint32_t lastKeptId);
  unsigned char DoRecall(BinaryFile& file, RecallState& state);
  // The type a record's stored type name stands for; null when none.
  const ObjectTypeInfo* ResolveStoredType(const std::string& name) const;

  Document* document_;
  std::uint32_t next_id_ = 1;
  std::map<std::uint32_t, Viewable*> objects_;
  StoreState* storing_ = nullptr;
  RecallState* recalling_ = nullptr;
};

}  // namespace pemar

#endif  // PEMAR_FRAMEWORK_OBJECTMANAGER_H_
