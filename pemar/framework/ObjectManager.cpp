#include "pemar/framework/ObjectManager.h"

#include <algorithm>
#include <limits>
#include <string>
#include <unordered_map>

#include "pemar/framework/BinaryFile.h"
#include "pemar/framework/Document.h"
#include "pemar/framework/ObjectTypeInfo.h"
#include "pemar/framework/PackedBinaryFileHeader.h"
#include "pemar/framework/Text.h"
#include "pemar/framework/Viewable.h"

namespace pemar {
namespace {

constexpr short kSectionRevision = 1;
constexpr short kClassDataRevision = 1;
// The fewest bytes one object takes in a section: id, type-name length,
// owner id, name length and version (4 bytes each), and an empty
// class-data chunk (8). A count is accepted only when the section can hold
// that many objects.
constexpr std::uint64_t kMinObjectBytes = 5 * 4 + 8;

// The store or recall that pointer records of a file belong to. Kept in a
// stack, innermost first, so that a document stored from inside another's
// class data resolves its own pointers.
struct PointerScope {
  BinaryFile* file;
  ObjectManager* manager;
  ObjectManager::StoreState* store;
  ObjectManager::RecallState* recall;
  PointerScope* outer;
};

thread_local PointerScope* innermost_scope = nullptr;

class ScopeGuard {
 public:
  ScopeGuard(PointerScope* scope) : scope_(scope) {
    scope_->outer = innermost_scope;
    innermost_scope = scope_;
  }
  ~ScopeGuard() {
    // Scopes end in the reverse order they began.
    innermost_scope = scope_->outer;
  }
  ScopeGuard(const ScopeGuard&) = delete;
  ScopeGuard& operator=(const ScopeGuard&) = delete;

 private:
  PointerScope* scope_;
};

PointerScope* ScopeOf(const BinaryFile& file) {
  for (PointerScope* s = innermost_scope; s != nullptr; s = s->outer) {
    if (s->file == &file) return s;
  }
  return nullptr;
}

}  // namespace

struct ObjectManager::StoreState {
  // The objects of the table, sorted by id; an entry of `objects` becomes
  // null when its object is deleted during the store.
  std::vector<std::uint32_t> ids;
  std::vector<Viewable*> objects;

  // The entry of `id`, or null when the table does not list it.
  Viewable** Find(std::uint32_t id) {
    auto it = std::lower_bound(ids.begin(), ids.end(), id);
    if (it == ids.end() || *it != id) return nullptr;
    return &objects[static_cast<std::size_t>(it - ids.begin())];
  }
};

struct ObjectManager::RecallState {
  struct Record {
    std::uint32_t file_id = 0;
    const ObjectTypeInfo* type = nullptr;
    std::size_t owner = 0;
    Text name;
    int version = 0;
    Viewable* object = nullptr;
  };
  std::vector<Record> records;
  std::unordered_map<std::uint32_t, std::size_t> index_of;
  // Objects to delete once the fix-ups are done.
  std::vector<Viewable*> doomed;
};

ObjectManager::ObjectManager(Document* document) : document_(document) {}

ObjectManager::~ObjectManager() { DestroyAfter(0); }

void ObjectManager::Register(Viewable* object) {
  object->manager_ = this;
  object->id_ = next_id_++;
  objects_.emplace(object->id_, object);
}

void ObjectManager::Unregister(Viewable* object) {
  if (object->manager_ != this) return;
  objects_.erase(object->id_);
  if (storing_ != nullptr) {
    Viewable** entry = storing_->Find(object->id_);
    if (entry != nullptr && *entry == object) *entry = nullptr;
  }
  if (recalling_ != nullptr && object->recall_index_ >= 0) {
    auto& records = recalling_->records;
    std::size_t i = static_cast<std::size_t>(object->recall_index_);
    if (i < records.size() && records[i].object == object) {
      records[i].object = nullptr;
    }
  }
  if (recalling_ != nullptr) {
    auto& doomed = recalling_->doomed;
    doomed.erase(std::remove(doomed.begin(), doomed.end(), object),
                 doomed.end());
  }
  object->recall_index_ = -1;
  object->manager_ = nullptr;
}

void ObjectManager::DeleteAfterRecall(Viewable* object) {
  if (object == nullptr || object->manager_ != this || object == document_) {
    return;
  }
  if (recalling_ == nullptr) {
    delete object;
    return;
  }
  auto& doomed = recalling_->doomed;
  if (std::find(doomed.begin(), doomed.end(), object) == doomed.end()) {
    doomed.push_back(object);
  }
}

void ObjectManager::DestroyAfter(std::uint32_t lastKeptId) {
  // The document registers first, so it has the lowest id and ends the
  // loop; deleting an object unregisters it.
  while (!objects_.empty()) {
    auto last = std::prev(objects_.end());
    if (last->first <= lastKeptId || last->second == document_) break;
    delete last->second;
  }
}

std::uint32_t ObjectManager::IdOf(const Viewable* object) const {
  return object != nullptr && object->manager_ == this ? object->id_ : 0;
}

std::vector<Viewable*> ObjectManager::Objects() const {
  std::vector<Viewable*> list;
  list.reserve(objects_.size());
  if (document_ != nullptr && document_->manager_ == this) {
    list.push_back(document_);
  }
  for (const auto& [id, object] : objects_) {
    if (object != document_) list.push_back(object);
  }
  return list;
}

std::vector<Viewable*> ObjectManager::Objects(
    const ObjectTypeInfo* type) const {
  std::vector<Viewable*> list;
  for (Viewable* object : Objects()) {
    if (object->IsA(type)) list.push_back(object);
  }
  return list;
}

long ObjectManager::SavedByBuildNumber() const {
  if (document_ == nullptr) return kFrameworkBuildNumber;
  PackedBinaryFileHeader* header = document_->DocumentFileHeader();
  return header != nullptr ? header->BuildNumber() : kFrameworkBuildNumber;
}

// ---------------------------------------------------------------------------
// Store

unsigned char ObjectManager::StoreObjects(BinaryFile& file) {
  if (document_ == nullptr || storing_ != nullptr || recalling_ != nullptr) {
    return 0;
  }
  // In id order, which puts the document (the first registered) first and
  // every owner before what it owns.
  std::vector<Viewable*> table = Objects();
  if (table.empty() || table.front() != document_) return 0;

  ChunkHeader section;
  if (!section.Create(file, kSectionRevision)) return 0;
  if (!file.Write(static_cast<unsigned int>(table.size()))) return 0;
  for (std::size_t i = 0; i < table.size(); ++i) {
    Viewable* object = table[i];
    const ObjectTypeInfo* type = object->Type();
    // Only a registered type can be found again by its name.
    if (type == nullptr || FindObjectType(type->Name()) != type) return 0;
    unsigned int owner_id = 0;
    if (i > 0) {
      // Owners come before what they own, so the reader can build in order.
      Viewable* owner = object->GetOwner();
      if (owner == nullptr || owner->manager_ != this) return 0;
      if (owner->id_ >= object->id_) return 0;
      owner_id = owner->id_;
    }
    // Types of old layouts are stored by number, as those files were.
    Text stored_name = type->Name();
    if (type->OldTypeNumber() > 0) {
      std::string number = "#";
      number += std::to_string(type->OldTypeNumber());
      stored_name = Text(number);
    }
    if (!file.Write(static_cast<unsigned int>(object->id_)) ||
        !file.Write(stored_name) || !file.Write(owner_id) ||
        !file.Write(object->GetName()) ||
        !file.Write(static_cast<int>(type->ClassDataVersion()))) {
      return 0;
    }
  }

  StoreState state;
  for (Viewable* object : table) state.ids.push_back(object->id_);
  state.objects = table;
  storing_ = &state;
  PointerScope scope{&file, this, &state, nullptr, nullptr};
  ScopeGuard guard(&scope);
  unsigned char ok = 1;
  for (std::size_t i = 0; i < table.size(); ++i) {
    // An object deleted by an earlier object's store cannot keep the
    // table's promise.
    Viewable* object = state.objects[i];
    if (object == nullptr) {
      ok = 0;
      break;
    }
    ChunkHeader chunk;
    if (!chunk.Create(file, kClassDataRevision) ||
        !object->Type()->StoreClassData(file, object) || !chunk.Close(file)) {
      ok = 0;
      break;
    }
  }
  storing_ = nullptr;
  if (!ok) return 0;
  return section.Close(file);
}

unsigned char Viewable::StorePointer(BinaryFile& file, Viewable* object) {
  if (object == nullptr) return file.Write(0u);
  PointerScope* scope = ScopeOf(file);
  if (scope == nullptr || scope->store == nullptr) return 0;
  if (object->manager_ != scope->manager) return 0;
  Viewable** entry = scope->store->Find(object->id_);
  if (entry == nullptr || *entry != object) return 0;
  return file.Write(static_cast<unsigned int>(object->id_));
}

// ---------------------------------------------------------------------------
// Recall

unsigned char Viewable::RecallPointerX(BinaryFile& file, Viewable*& object,
                                       const ObjectTypeInfo* type) {
  unsigned int id = 0;
  if (!file.Read(id)) return 0;
  if (id == 0) {
    object = nullptr;
    return 1;
  }
  PointerScope* scope = ScopeOf(file);
  if (scope == nullptr || scope->recall == nullptr) return 0;
  auto it = scope->recall->index_of.find(id);
  if (it == scope->recall->index_of.end()) return 0;
  Viewable* found = scope->recall->records[it->second].object;
  if (found != nullptr && type != nullptr && !found->IsA(type)) return 0;
  object = found;
  return 1;
}

unsigned char ObjectManager::RecallObjects(BinaryFile& file) {
  if (document_ == nullptr || storing_ != nullptr || recalling_ != nullptr) {
    return 0;
  }
  // Everything registered after this belongs to the recall.
  std::uint32_t last_before = next_id_ - 1;
  Text old_name = document_->name_;
  RecallState state;
  recalling_ = &state;
  unsigned char ok = DoRecall(file, state);
  recalling_ = nullptr;
  for (const auto& record : state.records) {
    if (record.object != nullptr) record.object->recall_index_ = -1;
  }
  if (!ok) {
    DestroyAfter(last_before);
    document_->name_ = std::move(old_name);
  }
  return ok;
}

const ObjectTypeInfo* ObjectManager::ResolveStoredType(
    const std::string& name) const {
  // 18 digits always fit a 64-bit long; a longer number names nothing.
  constexpr std::size_t kMaxDigits = 18;
  bool numbered = name.size() >= 2 && name[0] == '#';
  for (std::size_t i = 1; numbered && i < name.size(); ++i) {
    numbered = name[i] >= '0' && name[i] <= '9';
  }
  if (!numbered) return FindObjectType(Text(name));
  if (name.size() - 1 > kMaxDigits) return nullptr;
  long long number = 0;
  for (std::size_t i = 1; i < name.size(); ++i) {
    number = number * 10 + (name[i] - '0');
  }
  if (number > std::numeric_limits<long>::max()) return nullptr;
  return document_->FixupOldObjectType(static_cast<long>(number));
}

unsigned char ObjectManager::DoRecall(BinaryFile& file, RecallState& state) {
  ChunkHeader section;
  if (!section.Open(file)) return 0;
  if (section.Revision() != kSectionRevision) return 0;
  unsigned int count = 0;
  if (!file.Read(count)) return 0;
  if (count == 0 || count > file.Remaining() / kMinObjectBytes) return 0;

  // The table, checked whole before anything is created.
  auto& records = state.records;
  records.reserve(count);
  state.index_of.reserve(count);
  for (unsigned int i = 0; i < count; ++i) {
    RecallState::Record record;
    unsigned int id = 0;
    unsigned int owner_id = 0;
    Text type_name;
    int version = 0;
    if (!file.Read(id) || !file.Read(type_name) || !file.Read(owner_id) ||
        !file.Read(record.name) || !file.Read(version)) {
      return 0;
    }
    if (id == 0 || !state.index_of.emplace(id, i).second) return 0;
    record.file_id = id;
    record.version = version;
    record.type = ResolveStoredType(type_name.str());
    if (record.type == nullptr) return 0;
    if (i == 0) {
      // The first record is the document itself.
      if (owner_id != 0 || record.type != document_->Type()) return 0;
    } else {
      auto owner = state.index_of.find(owner_id);
      if (owner == state.index_of.end() || owner->second >= i) return 0;
      record.owner = owner->second;
    }
    records.push_back(std::move(record));
  }

  // 1. Every object, owners first.
  records[0].object = document_;
  document_->recall_index_ = 0;
  document_->name_ = records[0].name;
  for (std::size_t i = 1; i < records.size(); ++i) {
    RecallState::Record& record = records[i];
    Viewable* owner = records[record.owner].object;
    if (owner == nullptr) return 0;
    ObjectInstanceInfo info(owner, record.name, record.type);
    Viewable* object = record.type->CreateInstanceForRecall(info);
    if (object == nullptr) return 0;
    if (object->manager_ != this) {
      // Not in this document, so no one else will free it.
      if (object->manager_ == nullptr) delete object;
      return 0;
    }
    object->recall_index_ = static_cast<std::ptrdiff_t>(i);
    record.object = object;
  }

  // 2. Class data; pointer records may name any object of the table.
  PointerScope scope{&file, this, nullptr, &state, nullptr};
  ScopeGuard guard(&scope);
  for (std::size_t i = 0; i < records.size(); ++i) {
    ChunkHeader chunk;
    if (!chunk.Open(file)) return 0;
    RecallState::Record& record = records[i];
    if (record.object != nullptr) {
      record.type->SetRecalledClassDataVersion(record.version);
      if (!record.type->RecallClassData(file, record.object)) return 0;
    }
    // Class data of a newer version than the reader knows is skipped.
    if (!chunk.Close(file)) return 0;
  }
  if (!section.Close(file)) return 0;

  // 3. Discard what its type rejects. The document cannot be discarded, so
  // its rejection fails the recall.
  for (std::size_t i = 0; i < records.size(); ++i) {
    RecallState::Record& record = records[i];
    if (record.object == nullptr) continue;
    record.type->SetRecalledClassDataVersion(record.version);
    if (record.type->CheckRecalledPointers(record.object)) continue;
    if (record.object == document_) return 0;
    delete record.object;
  }

  // 4. Fix-ups, in file order.
  for (std::size_t i = 0; i < records.size(); ++i) {
    RecallState::Record& record = records[i];
    if (record.object == nullptr) continue;
    record.type->SetRecalledClassDataVersion(record.version);
    record.type->RecallFixUp(record.object);
  }

  // 5. What fix-ups gave up; deleting one takes it off the list.
  while (!state.doomed.empty()) delete state.doomed.front();
  return 1;
}

}  // namespace pemar
