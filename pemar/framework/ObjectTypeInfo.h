// ObjectTypeInfo: the process-wide type record of a framework object class.
//
// Every framework class (documents, views, reports, plots) has exactly one
// ObjectTypeInfo, usually a static object of a subclass named after the type
// with "InfoT" (for example SimCaseObjectInfoT for "SimCaseObject"). It is
// built at load time from the type name, the parent type, the class name,
// two framework flags, an identifier and the empty marker -32767, and it
// enters a process-wide registry as it is built:
//
//   class PlotViewObjectInfoT : public ObjectTypeInfo {
//    public:
//     using ObjectTypeInfo::ObjectTypeInfo;
//     Viewable* CreateInstanceForRecall(ObjectInstanceInfo& info)
//         const override { return new PlotView(info); }
//     unsigned char StoreClassData(BinaryFile& f, Viewable* v)
//         const override;
//     ...
//   };
//   const PlotViewObjectInfoT& PlotViewObjectType() {
//     static PlotViewObjectInfoT* type = new PlotViewObjectInfoT(
//         "PlotViewObject", ViewableObjectType(), "PlotView", 0, 0,
//         "plotview", kEmptyMarker);
//     return *type;
//   }
//
// Reaching a type through a function with a local static, as above, makes
// registration independent of the order in which libraries and translation
// units are initialised. The registry itself is built on first use.
//
// The object manager (ObjectManager.h) calls the six hooks while it stores
// and recalls a document's objects. Their defaults do nothing and succeed,
// except the creators, which answer null (the type cannot be made).
//
// Types are never copied. A type must outlive every object of it; static
// types live for the whole process. Destroying a type takes it out of the
// registry.

#ifndef PEMAR_FRAMEWORK_OBJECTTYPEINFO_H_
#define PEMAR_FRAMEWORK_OBJECTTYPEINFO_H_

#include <vector>

#include "pemar/framework/Export.h"
#include "pemar/framework/Text.h"

namespace pemar {

class BinaryFile;
class ObjectInstanceInfo;
class Viewable;

class PEMAR_EXPORT ObjectTypeInfo {
 public:
  // `parent` may be null only for a root type. `marker` is the framework's
  // empty marker, -32767, kept for the record. A type whose name is already
  // registered stays out of the registry: FindObjectType keeps answering the
  // first one.
  ObjectTypeInfo(const char* typeName, const ObjectTypeInfo* parent,
                 const char* className, int flag1, int flag2,
                 const char* identifier, int marker);
  ObjectTypeInfo(const ObjectTypeInfo&) = delete;
  ObjectTypeInfo& operator=(const ObjectTypeInfo&) = delete;
  virtual ~ObjectTypeInfo();

  const Text& Name() const { return name_; }
  const Text& ClassName() const { return class_name_; }
  const Text& Identifier() const { return identifier_; }
  const ObjectTypeInfo* Parent() const { return parent_; }
  int Flag1() const { return flag1_; }
  int Flag2() const { return flag2_; }

  // The name the user sees for objects of this type ("Case"); the class
  // name until one is set.
  const Text& DisplayName() const {
    return display_name_.IsEmpty() ? class_name_ : display_name_;
  }
  // Its plural ("Cases"): the one set, else the display name followed by
  // "s".
  Text PluralDisplayName() const {
    return plural_display_name_.IsEmpty() ? DisplayName() + "s"
                                          : plural_display_name_;
  }
  // Set once, while the type is registered at load.
  void SetDisplayName(const Text& name, const Text& plural = Text()) {
    display_name_ = name;
    plural_display_name_ = plural;
  }

  // True when this type is `other` or derives from it. False for null.
  bool IsA(const ObjectTypeInfo* other) const;

  // The version of the class data that a store writes. Set by the class
  // after construction; 0 until then.
  int ClassDataVersion() const { return class_data_version_; }
  void SetClassDataVersion(int version) { class_data_version_ = version; }

  // Whether objects of this type have a report of their own (see
  // GetClosestTypeWithReport in Reports.h); false for every type until set.
  // Settable on a const type, as types are handed around as const.
  bool HasReport() const { return has_report_; }
  void SetHasReport(bool has) const { has_report_ = has; }

  // The number under which an old file layout stored this type instead of
  // its name; 0 (the default) for none. A store writes the record of an
  // object of a type with a positive number as "#<number>" (see
  // ObjectManager.h); this is how tests produce files of the old layout.
  long OldTypeNumber() const { return old_type_number_; }
  void SetOldTypeNumber(long number) { old_type_number_ = number; }

  // During a recall: the version found in the file for the object whose
  // hooks are running. It keeps the last value afterwards; 0 before any
  // recall.
  int RecalledClassDataVersion() const { return recalled_version_; }
  // For the object manager, which sets it before each hook call.
  void SetRecalledClassDataVersion(int version) const {
    recalled_version_ = version;
  }

  // The "InfoT" hooks, in slot order.
  //
  // A new object of this type, owned by the caller; null by default.
  virtual Viewable* CreateInstance() const;
  // An object to be filled by a recall, built from `info` (owner, name and
  // type of the stored record); it registers with its document's object
  // manager, which owns it. Null by default: such records cannot be read.
  virtual Viewable* CreateInstanceForRecall(ObjectInstanceInfo& info) const;
  // Writes / reads the class data of `object` (never null) inside the chunk
  // that the object manager opened for it. Non-zero on success.
  virtual unsigned char StoreClassData(BinaryFile& file,
                                       Viewable* object) const;
  virtual unsigned char RecallClassData(BinaryFile& file,
                                        Viewable* object) const;
  // After every object's class data is read: false makes the object manager
  // discard the object.
  virtual unsigned char CheckRecalledPointers(Viewable* object) const;
  // Last step of a recall, called for every object kept, in file order.
  virtual void RecallFixUp(Viewable* object) const;

 private:
  Text name_;
  Text class_name_;
  Text identifier_;
  Text display_name_;
  Text plural_display_name_;
  const ObjectTypeInfo* parent_;
  int flag1_;
  int flag2_;
  int marker_;
  int class_data_version_ = 0;
  mutable int recalled_version_ = 0;
  mutable bool has_report_ = false;
  long old_type_number_ = 0;
  bool registered_ = false;
};

// The registered type of that name; null when there is none (or for null).
PEMAR_EXPORT const ObjectTypeInfo* FindObjectType(const char* name);
PEMAR_EXPORT const ObjectTypeInfo* FindObjectType(const Text& name);
// Every registered type, in registration order.
PEMAR_EXPORT std::vector<const ObjectTypeInfo*> AllObjectTypes();

// Object types as the values of numeric variables: 0 is the unknown type
// (null), k the k-th registered type. A value that names no registered type
// (negative, fractional beyond it, too large, not finite) gives null.
PEMAR_EXPORT double ObjectTypeAsValue(const ObjectTypeInfo* type);
PEMAR_EXPORT const ObjectTypeInfo* ObjectTypeFromValue(double value);

// The framework's root types. "ViewableObject" makes plain Viewable objects,
// for CreateInstance and for a recall; "DocumentObject" (derived from it)
// makes plain Document objects with CreateInstance.
PEMAR_EXPORT const ObjectTypeInfo* ViewableObjectType();
PEMAR_EXPORT const ObjectTypeInfo* DocumentObjectType();

// What a recall constructor receives: the stored record of the object.
class PEMAR_EXPORT ObjectInstanceInfo {
 public:
  ObjectInstanceInfo(Viewable* owner, const Text& name,
                     const ObjectTypeInfo* type)
      : owner_(owner), name_(name), type_(type) {}

  Viewable* Owner() const { return owner_; }
  const Text& Name() const { return name_; }
  const ObjectTypeInfo* Type() const { return type_; }

 private:
  Viewable* owner_;
  Text name_;
  const ObjectTypeInfo* type_;
};

}  // namespace pemar

#endif  // PEMAR_FRAMEWORK_OBJECTTYPEINFO_H_
