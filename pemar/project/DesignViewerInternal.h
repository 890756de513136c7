// Helpers shared by the design viewer's views (DesignViewer.h): their type
// records, their owned entry lists, the engineering manager they count
// their project in, and the stored entry lists.

#ifndef PEMAR_PROJECT_DESIGNVIEWERINTERNAL_H_
#define PEMAR_PROJECT_DESIGNVIEWERINTERNAL_H_

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "pemar/framework/BinaryFile.h"
#include "pemar/framework/ObjectTypeInfo.h"
#include "pemar/framework/Types.h"
#include "pemar/framework/Viewable.h"
#include "pemar/project/DesignViewer.h"
#include "pemar/project/IEngineeringManager.h"

namespace pemar::design_viewer {

inline constexpr int kClassDataVersion = 1;

// The type record of one view class: recall makes a `View`, and the class
// data goes through its StoreClassData / RecallClassData.
template <typename View>
class ViewInfoT : public ObjectTypeInfo {
 public:
  ViewInfoT(const char* typeName, const char* className)
      : ObjectTypeInfo(typeName, ViewableObjectType(), className, 0, 1, "",
                       kEmptyMarker) {
    SetClassDataVersion(kClassDataVersion);
  }
  Viewable* CreateInstanceForRecall(ObjectInstanceInfo& info) const override {
    return new View(info);
  }
  unsigned char StoreClassData(BinaryFile& file,
                               Viewable* object) const override {
    auto* view = dynamic_cast<View*>(object);
    return view != nullptr ? view->StoreClassData(file) : 0;
  }
  unsigned char RecallClassData(BinaryFile& file,
                                Viewable* object) const override {
    auto* view = dynamic_cast<View*>(object);
    return view != nullptr ? view->RecallClassData(file) : 0;
  }
};

// The engineering manager of the case that `view` belongs to: the
// document's class "IEngineeringManager". Null outside a document, and once
// the case has destroyed its manager.
IEngineeringManager* EngineeringManagerOf(Viewable* view);

// Gives back the reference that `view` holds to `project` when `counted`,
// through the manager; nothing when the manager is gone, which has then
// destroyed the project itself. The pointer is converted to the base object
// only once the manager is known to be there: reaching a virtual base reads
// the object.
template <typename Project>
void GiveBackProject(Viewable* view, Project* project, bool counted) {
  if (!counted || project == nullptr) return;
  if (IEngineeringManager* manager = EngineeringManagerOf(view)) {
    manager->RemoveEngObject(project);
  }
}

// The registry through which the references of `view` are resolved: the
// engineering manager of its case, or, outside a case, one that holds
// nothing, where the null references stored there recall as null.
IEngObjectRegistry* RegistryOf(Viewable* view);

// What `view` stores for a reference to `object`: the object inside a case,
// null outside one, where the object is only borrowed and nothing could
// resolve its name when the document is reopened.
template <typename T>
T* StoredReference(Viewable* view, T* object) {
  return EngineeringManagerOf(view) != nullptr ? object : nullptr;
}

// Reads a project reference (type 101) through the registry of `view`; a
// project found comes with one reference for the view.
unsigned char RecallProject(BinaryFile& file, Viewable* view,
                            IPemarProject** project);

// The entry that an attached-object description addresses: its offset
// position, or its index when it has none.
int AddressedIndex(const VarDescription& desc);

// `found`, or what `found` attaches at the description's next link.
Viewable* FollowNextLink(Viewable* found, const VarDescription& desc);

// Stops `holder` hearing of the death of `watched`, however often it asked.
void Unwatch(Viewable* watched, Viewable* holder);

// True when `candidate` is `view` or one of its owners.
bool OwnsOrIs(const Viewable* candidate, const Viewable* view);

// A stored count that the rest of the record can hold at `bytesEach` bytes
// an entry.
bool ReadCount(BinaryFile& file, int& count, std::uint64_t bytesEach);

template <typename Entry>
Entry* EntryAt(const std::vector<Entry*>& list, int index) {
  if (index < 0 || static_cast<std::size_t>(index) >= list.size()) {
    return nullptr;
  }
  return list[static_cast<std::size_t>(index)];
}

template <typename Entry>
bool IsListed(const std::vector<Entry*>& list, const Viewable* object) {
  return std::find(list.begin(), list.end(), object) != list.end();
}

// Appends `entry` unless it is listed (null is ignored), hears of its death
// and makes it current.
template <typename Entry>
void AppendEntry(std::vector<Entry*>& list, Entry*& current, Viewable* holder,
                 Entry* entry) {
  if (entry == nullptr) return;
  if (!IsListed(list, entry)) {
    list.push_back(entry);
    entry->AddDeathPostee(holder);
  }
  current = entry;
}

// Takes the entry at `index` off the list (null outside it); then the first
// remaining entry, if any, becomes current, and none otherwise.
template <typename Entry>
Entry* TakeEntry(std::vector<Entry*>& list, Entry*& current, Viewable* holder,
                 int index) {
  Entry* entry = EntryAt(list, index);
  if (entry == nullptr) return nullptr;
  list.erase(list.begin() + index);
  Unwatch(entry, holder);
  current = list.empty() ? nullptr : list.front();
  return entry;
}

// Destroys every entry, one at a time from the live list: destroying one
// may destroy others, whose death notices take them off first.
template <typename Entry>
void DestroyEntries(std::vector<Entry*>& list, Entry*& current,
                    Viewable* holder) {
  while (!list.empty()) {
    delete TakeEntry(list, current, holder, static_cast<int>(list.size()) - 1);
  }
  current = nullptr;
}

// A dying object leaves the list and the current entry. It is only a
// Viewable by now: compared, never called.
template <typename Entry>
void ForgetEntry(std::vector<Entry*>& list, Entry*& current,
                 const Viewable* dying) {
  list.erase(std::remove(list.begin(), list.end(), dying), list.end());
  if (current == dying) current = nullptr;
}

template <typename Entry>
unsigned char StoreEntries(BinaryFile& file, const std::vector<Entry*>& list) {
  if (!file.Write(static_cast<int>(list.size()))) return 0;
  for (Entry* entry : list) {
    if (!Viewable::StorePointer(file, entry)) return 0;
  }
  return 1;
}

// Reads a count and that many pointer records of `type` into `out`,
// skipping nulls, repeats, objects that are not `Entry`s, and `holder` and
// its owners (an entry is destroyed with the view that lists it).
template <typename Entry>
unsigned char RecallEntries(BinaryFile& file, const ObjectTypeInfo* type,
                            const Viewable* holder, std::vector<Entry*>& out) {
  // A pointer record is one 32-bit id.
  int count = 0;
  if (!ReadCount(file, count, 4)) return 0;
  for (int i = 0; i < count; ++i) {
    Viewable* object = nullptr;
    if (!Viewable::RecallPointerX(file, object, type)) return 0;
    auto* entry = dynamic_cast<Entry*>(object);
    if (entry == nullptr || OwnsOrIs(entry, holder) || IsListed(out, entry)) {
      continue;
    }
    out.push_back(entry);
  }
  return 1;
}

// Reads one pointer record of `type` as an `Entry` (null when the object is
// not one).
template <typename Entry>
unsigned char RecallEntry(BinaryFile& file, const ObjectTypeInfo* type,
                          Entry*& out) {
  Viewable* object = nullptr;
  if (!Viewable::RecallPointerX(file, object, type)) return 0;
  out = dynamic_cast<Entry*>(object);
  return 1;
}

}  // namespace pemar::design_viewer

#endif  // PEMAR_PROJECT_DESIGNVIEWERINTERNAL_H_
