#include "pemar/project/DesignViewerInternal.h"

#include "pemar/framework/Document.h"
#include "pemar/persist/CrossReference.h"
#include "pemar/project/IEngineeringManager.h"
#include "pemar/project/IPemarProject.h"

namespace pemar::design_viewer {

IEngineeringManager* EngineeringManagerOf(Viewable* view) {
  Document* document = view != nullptr ? view->GetDocument() : nullptr;
  if (document == nullptr) return nullptr;
  return static_cast<IEngineeringManager*>(
      document->CastToClassType(Text("IEngineeringManager")));
}

IEngObjectRegistry* RegistryOf(Viewable* view) {
  // Finds nothing and makes nothing.
  class EmptyRegistry final : public IEngObjectRegistry {
   public:
    void GetProjectByName(const char* /*name*/, IPemarBaseObject** result,
                          long /*type*/) override {
      if (result != nullptr) *result = nullptr;
    }
    IPemarBaseObject* AddEngObject(const char* /*name*/, long /*type*/,
                                   char /*flag*/) override {
      return nullptr;
    }
  };
  static EmptyRegistry* const empty = new EmptyRegistry;
  IEngineeringManager* manager = EngineeringManagerOf(view);
  return manager != nullptr ? static_cast<IEngObjectRegistry*>(manager) : empty;
}

unsigned char RecallProject(BinaryFile& file, Viewable* view,
                            IPemarProject** project) {
  void* found = nullptr;
  if (!RecallProjectPointer(file, RegistryOf(view), &found,
                            kProjectInterface)) {
    return 0;
  }
  // Interface 101 of a project is its IPemarProject.
  *project = static_cast<IPemarProject*>(found);
  return 1;
}

int AddressedIndex(const VarDescription& desc) {
  const int position = desc.OffsetPosition();
  return position != kEmptyMarker ? position : desc.Index();
}

Viewable* FollowNextLink(Viewable* found, const VarDescription& desc) {
  const VarDescription* next = desc.GetNextLink();
  if (found == nullptr || next == nullptr) return found;
  return found->AttachedObject(*next);
}

void Unwatch(Viewable* watched, Viewable* holder) {
  while (watched->DeathPosteeRefCount(holder) > 0) {
    watched->RemoveDeathPostee(holder);
  }
}

bool OwnsOrIs(const Viewable* candidate, const Viewable* view) {
  for (const Viewable* v = view; v != nullptr; v = v->GetOwner()) {
    if (v == candidate) return true;
  }
  return false;
}

bool ReadCount(BinaryFile& file, int& count, std::uint64_t bytesEach) {
  if (!file.Read(count)) return false;
  return count >= 0 &&
         static_cast<std::uint64_t>(count) <= file.Remaining() / bytesEach;
}

}  // namespace pemar::design_viewer
