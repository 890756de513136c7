// Viewable: the base of every framework object (documents, views, reports,
// plots).
//
// An object has an owner (another Viewable, or null), a name and a type. An
// object whose owner chain reaches a Document registers with that
// document's object manager when it is built; the manager owns it from then
// on and destroys it with the document, and it writes and reads it when the
// document is saved and recalled (ObjectManager.h). An object outside any
// document belongs to whoever made it. Deleting an object at any time is
// allowed: it leaves its document's object manager, tells its death
// postees, and hands what it owns to its own owner.
//
// Death postees: another object that asks to hear of this one's destruction
// (AddDeathPostee) has DisconnectDeadObject(this) called on it from this
// object's destructor, once, whatever its count. By then the dying object is
// only a Viewable: a postee compares the pointer and must not call into it.
// A postee that dies first is withdrawn automatically.
//
// The variable protocol: the virtuals from Value to CastToClassType (in the
// framework's slot order) are how forms, commands and other objects read and
// change an object's named variables. An override answers the descriptions
// it owns and passes every other one to its base class; the answers here are
// neutral ("nothing to report", "not handled").

#ifndef PEMAR_FRAMEWORK_VIEWABLE_H_
#define PEMAR_FRAMEWORK_VIEWABLE_H_

#include <cstddef>
#include <cstdint>
#include <vector>

#include "pemar/framework/Export.h"
#include "pemar/framework/ObjectTypeInfo.h"
#include "pemar/framework/Text.h"
#include "pemar/framework/VarDescription.h"
#include "pemar/framework/ViewableProtocol.h"

namespace pemar {

class BinaryFile;
class Document;
class ObjectManager;

class PEMAR_EXPORT Viewable {
 public:
  // A new object in `owner` (may be null), of `type` (not owned; may be null
  // for an object that is never stored).
  Viewable(Viewable* owner, const ObjectTypeInfo* type);
  // The object that a recall fills: owner, name and type from the record.
  explicit Viewable(ObjectInstanceInfo& info);
  Viewable(const Viewable&) = delete;
  Viewable& operator=(const Viewable&) = delete;
  virtual ~Viewable();

  Viewable* GetOwner() const { return owner_; }
  // The document this object belongs to (itself for a document); null when
  // its owner chain reaches none.
  Document* GetDocument();
  const Text& GetName() const { return name_; }
  virtual void SetName(const Text& name) { name_ = name; }
  const ObjectTypeInfo* Type() const { return type_; }
  // True when the object's type is `type` or derives from it.
  bool IsA(const ObjectTypeInfo* type) const;

  // Death postees. Adding a postee again raises its count; removing lowers
  // it and forgets the postee at 0. Null and the object itself are ignored.
  void AddDeathPostee(Viewable* postee);
  void RemoveDeathPostee(Viewable* postee);
  // How many times `postee` was added and not yet removed.
  int DeathPosteeRefCount(const Viewable* postee) const;
  // Called on a postee when an object it watches is being destroyed.
  virtual void DisconnectDeadObject(Viewable* dying);

  // The variable protocol, in slot order.
  // The value of a numeric variable; -32767 when there is nothing.
  virtual double Value(const VarDescription& desc);
  // Sets a numeric variable; -32767 sets nothing. Non-zero when done.
  virtual unsigned char Specify(const VarDescription& desc, double value);
  virtual Text TextValue(const VarDescription& desc);
  virtual unsigned char SpecifyText(const VarDescription& desc,
                                    const Text& value);
  // The end of a run of Specify calls from a form.
  virtual void EndSpec();
  // A named command; non-zero when handled, 0 otherwise.
  virtual int Message(const Text& command);
  virtual int GenMessage(MessageInfo& info);
  virtual Viewable* AttachedObject(const VarDescription& desc);
  // Non-zero when `object` was accepted.
  virtual unsigned char AttachObject(Viewable* object,
                                     const VarDescription& desc);
  virtual unsigned char GetAttachableObjects(const VarDescription& desc,
                                             AttachableObjects& objects);
  // Adds the sizes of an indexed variable to `dims`; non-zero when known.
  virtual unsigned char Dimensions(const VarDescription& desc, DimInfo& dims);
  virtual unsigned char VariableStatus(const VarDescription& desc,
                                       ModifyState& state, int& status);
  virtual int ViewNotification(int kind, int task, const Text& text);
  // The name under which `object` is shown here: its own name by default.
  virtual Text AttachedName(Viewable* object);
  // An interface of this object by its class name; null by default.
  virtual void* CastToClassType(const Text& className);

  // Opens a view of this object with the framework's default arguments. The
  // stand-in records the type name (the object name when there is no type)
  // in the view log (ViewLog.h).
  virtual void View();

  // References to framework objects inside class data. Valid only while the
  // object manager of a document stores or recalls `file`: the record is the
  // object's id in the object table (0 for null).
  //
  // StorePointer fails for an object that is not in the table being written.
  static unsigned char StorePointer(BinaryFile& file, Viewable* object);
  // Gives the object of the stored id (which may come later in the file),
  // or null for 0 and for an object that was deleted during the recall.
  // Fails for an id not in the table and for an object that is not of
  // `type` (when `type` is not null); `object` is then unchanged.
  static unsigned char RecallPointerX(BinaryFile& file, Viewable*& object,
                                      const ObjectTypeInfo* type);

 private:
  friend class Document;
  friend class ObjectManager;

  // For Document, which registers with its own object manager instead of
  // its owner's.
  struct DocumentTag {};
  Viewable(DocumentTag, Viewable* owner, const ObjectTypeInfo* type);
  Viewable(DocumentTag, ObjectInstanceInfo& info);

  void Attach(bool joinDocument);
  void AddOwned(Viewable* child);
  void RemoveOwned(Viewable* child);

  Viewable* owner_;
  const ObjectTypeInfo* type_;
  Text name_;
  std::vector<Viewable*> owned_;
  // (postee, count)
  std::vector<std::pair<Viewable*, int>> postees_;
  // Objects this one is a postee of (one entry per watched object).
  std::vector<Viewable*> watching_;

  // Set by the object manager that holds this object.
  ObjectManager* manager_ = nullptr;
  std::uint32_t id_ = 0;
  // Index of the object's record while its manager recalls; -1 otherwise.
  std::ptrdiff_t recall_index_ = -1;
};

}  // namespace pemar

#endif  // PEMAR_FRAMEWORK_VIEWABLE_H_
