#include "pemar/framework/ObjectTypeInfo.h"

#include <algorithm>
#include <map>
#include <string>

#include "pemar/framework/Document.h"
#include "pemar/framework/Viewable.h"

namespace pemar {
namespace {

struct TypeTable {
  std::map<std::string, const ObjectTypeInfo*, std::less<>> by_name;
  std::vector<const ObjectTypeInfo*> in_order;
};

// Built on first use and never destroyed, so that types in any library and
// any translation unit may register, look up and unregister during static
// initialisation and destruction.
TypeTable& TheTypeTable() {
  static TypeTable* registry = new TypeTable;
  return *registry;
}

class ViewableObjectInfoT : public ObjectTypeInfo {
 public:
  using ObjectTypeInfo::ObjectTypeInfo;
  Viewable* CreateInstance() const override {
    return new Viewable(nullptr, this);
  }
  Viewable* CreateInstanceForRecall(ObjectInstanceInfo& info) const override {
    return new Viewable(info);
  }
};

class DocumentObjectInfoT : public ObjectTypeInfo {
 public:
  using ObjectTypeInfo::ObjectTypeInfo;
  Viewable* CreateInstance() const override {
    return new Document(nullptr, this);
  }
};

}  // namespace

ObjectTypeInfo::ObjectTypeInfo(const char* typeName,
                               const ObjectTypeInfo* parent,
                               const char* className, int flag1, int flag2,
                               const char* identifier, int marker)
    : name_(typeName),
      class_name_(className),
      identifier_(identifier),
      parent_(parent),
      flag1_(flag1),
      flag2_(flag2),
      marker_(marker) {
  (void)marker_;
  TypeTable& registry = TheTypeTable();
  if (name_.IsEmpty()) return;
  if (registry.by_name.emplace(name_.str(), this).second) {
    registry.in_order.push_back(this);
    registered_ = true;
  }
}

ObjectTypeInfo::~ObjectTypeInfo() {
  if (!registered_) return;
  TypeTable& registry = TheTypeTable();
  registry.by_name.erase(name_.str());
  auto& order = registry.in_order;
  order.erase(std::remove(order.begin(), order.end(), this), order.end());
}

bool ObjectTypeInfo::IsA(const ObjectTypeInfo* other) const {
  if (other == nullptr) return false;
  // The parent chain of static types is short; the bound only guards
  // against a chain that loops.
  int depth = 0;
  for (const ObjectTypeInfo* t = this; t != nullptr && depth < 1000;
       t = t->parent_, ++depth) {
    if (t == other) return true;
  }
  return false;
}

Viewable* ObjectTypeInfo::CreateInstance() const { return nullptr; }

Viewable* ObjectTypeInfo::CreateInstanceForRecall(
    ObjectInstanceInfo& /*info*/) const {
  return nullptr;
}

unsigned char ObjectTypeInfo::StoreClassData(BinaryFile& /*file*/,
                                             Viewable* /*object*/) const {
  return 1;
}

unsigned char ObjectTypeInfo::RecallClassData(BinaryFile& /*file*/,
                                              Viewable* /*object*/) const {
  return 1;
}

unsigned char ObjectTypeInfo::CheckRecalledPointers(
    Viewable* /*object*/) const {
  return 1;
}

void ObjectTypeInfo::RecallFixUp(Viewable* /*object*/) const {}

namespace {

const ObjectTypeInfo* Lookup(std::string_view name) {
  // The root types join the registry before anything is looked up in it.
  ViewableObjectType();
  DocumentObjectType();
  TypeTable& registry = TheTypeTable();
  auto it = registry.by_name.find(name);
  return it == registry.by_name.end() ? nullptr : it->second;
}

}  // namespace

const ObjectTypeInfo* FindObjectType(const char* name) {
  if (name == nullptr) return nullptr;
  return Lookup(std::string_view(name));
}

const ObjectTypeInfo* FindObjectType(const Text& name) {
  return Lookup(name.str());
}

std::vector<const ObjectTypeInfo*> AllObjectTypes() {
  ViewableObjectType();
  DocumentObjectType();
  return TheTypeTable().in_order;
}

double ObjectTypeAsValue(const ObjectTypeInfo* type) {
  if (type == nullptr) return 0.0;
  std::vector<const ObjectTypeInfo*> all = AllObjectTypes();
  auto it = std::find(all.begin(), all.end(), type);
  return it == all.end() ? 0.0 : static_cast<double>(it - all.begin() + 1);
}

const ObjectTypeInfo* ObjectTypeFromValue(double value) {
  std::vector<const ObjectTypeInfo*> all = AllObjectTypes();
  // Checked before the cast, which NaN and far-off values would make
  // undefined.
  if (!(value >= 1.0) || value > static_cast<double>(all.size())) {
    return nullptr;
  }
  return all[static_cast<std::size_t>(value) - 1];
}

const ObjectTypeInfo* ViewableObjectType() {
  static const ObjectTypeInfo* type = [] {
    auto* t = new ViewableObjectInfoT("ViewableObject", nullptr, "Viewable", 0,
                                      0, "", kEmptyMarker);
    t->SetDisplayName("Object");
    return t;
  }();
  return type;
}

const ObjectTypeInfo* DocumentObjectType() {
  static const ObjectTypeInfo* type = [] {
    auto* t = new DocumentObjectInfoT("DocumentObject", ViewableObjectType(),
                                      "Document", 0, 0, "", kEmptyMarker);
    t->SetDisplayName("Document");
    return t;
  }();
  return type;
}

}  // namespace pemar
