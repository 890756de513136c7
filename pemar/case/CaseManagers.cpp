// The case's named managers, the builder table and the short ways to them.

#include "pemar/case/CaseManagers.h"

#include <map>
#include <string>

#include "pemar/case/SimulationCase.h"
#include "pemar/framework/Reports.h"
#include "pemar/project/EngineeringManager.h"

namespace pemar {
namespace {

constexpr int kBuildNumber = 500;
constexpr int kExistingNumber = 600;
constexpr int kReportManagerNumber = 300;

struct BuilderEntry {
  ViewableBuilderFnc builder;
  const ObjectTypeInfo* made_type;  // null until known
};

// Filled at load: the library's own feature manager registers itself while
// the library loads, before any other library of the suite can.
std::map<std::string, BuilderEntry>& BuilderTable() {
  static auto* table = new std::map<std::string, BuilderEntry>;
  return *table;
}

BuilderEntry* FindBuilderEntry(const char* name) {
  if (name == nullptr) return nullptr;
  auto it = BuilderTable().find(name);
  return it == BuilderTable().end() ? nullptr : &it->second;
}

VarDescription ManagerDescription(int number, const char* name) {
  VarDescription desc("Viewable", number);
  desc.object_type = ViewableObjectType();
  desc.has_offset_name = true;
  desc.offset_name = Text(name);
  return desc;
}

Viewable* ExistingManager(Document* document, const char* name) {
  if (document == nullptr) return nullptr;
  return document->AttachedObject(ManagerDescription(kExistingNumber, name));
}

}  // namespace

FluidPackageManager::~FluidPackageManager() = default;
StreamManager::~StreamManager() = default;
TRCView::~TRCView() = default;

void _add_ViewableBuilderFnc(const char* name, ViewableBuilderFnc builder) {
  _add_ViewableBuilderFnc(name, builder, nullptr);
}

void _add_ViewableBuilderFnc(const char* name, ViewableBuilderFnc builder,
                             const ObjectTypeInfo* made_type) {
  if (name == nullptr || builder == nullptr) return;
  BuilderTable().emplace(name, BuilderEntry{builder, made_type});
}

ViewableBuilderFnc FindViewableBuilderFnc(const char* name) {
  const BuilderEntry* entry = FindBuilderEntry(name);
  return entry == nullptr ? nullptr : entry->builder;
}

const ObjectTypeInfo* FindViewableBuilderType(const char* name) {
  const BuilderEntry* entry = FindBuilderEntry(name);
  return entry == nullptr ? nullptr : entry->made_type;
}

Viewable* SimulationCase::CaseManager(const char* name) const {
  if (name == nullptr) return nullptr;
  auto it = managers_.find(Text(name));
  return it == managers_.end() ? nullptr : it->second;
}

Viewable* SimulationCase::BuildManager(const char* name) {
  if (name == nullptr) return nullptr;
  if (Viewable* held = CaseManager(name)) return held;
  BuilderEntry* entry = FindBuilderEntry(name);
  if (entry == nullptr) return nullptr;
  Viewable* manager = entry->builder(this, name);
  if (manager == nullptr) return nullptr;
  if (entry->made_type == nullptr) entry->made_type = manager->Type();
  manager->AddDeathPostee(this);
  managers_.emplace(Text(name), manager);
  return manager;
}

void SimulationCase::BuildManager(Viewable* manager, const char* name) {
  if (manager == nullptr || name == nullptr) return;
  if (CaseManager(name) == nullptr) managers_.emplace(Text(name), manager);
  if (manager->DeathPosteeRefCount(this) == 0) manager->AddDeathPostee(this);
}

void SimulationCase::AdoptRecalledManagers() {
  for (Viewable* object : GetObjectManager().Objects()) {
    if (object == this || object->GetOwner() != this) continue;
    const char* name = object->GetName().c_str();
    const ObjectTypeInfo* made = FindViewableBuilderType(name);
    if (made != nullptr && object->Type() == made) BuildManager(object, name);
  }
}

Viewable* SimulationCase::AttachedObject(const VarDescription& desc) {
  if (desc.IsSelf()) return this;
  Viewable* found = nullptr;
  if (desc.Number() == kReportManagerNumber &&
      desc.IsOfType("ReportMgr", ReportManagerObjectType())) {
    found = GetReportManager();
  } else if (desc.Number() == kBuildNumber &&
             desc.IsOfType("Viewable", ViewableObjectType())) {
    found = BuildManager(desc.GetOffsetName().c_str());
  } else if (desc.Number() == kExistingNumber &&
             desc.IsOfType("Viewable", ViewableObjectType())) {
    found = CaseManager(desc.GetOffsetName().c_str());
  } else {
    return Document::AttachedObject(desc);
  }
  if (found == nullptr) return nullptr;
  if (const VarDescription* next = desc.GetNextLink()) {
    return found->AttachedObject(*next);
  }
  return found;
}

unsigned char SimulationCase::AttachObject(Viewable* object,
                                           const VarDescription& desc) {
  if (object != nullptr && desc.Number() == kBuildNumber &&
      desc.IsOfType("Viewable", ViewableObjectType())) {
    BuildManager(object, desc.GetOffsetName().c_str());
    return 1;
  }
  return Document::AttachObject(object, desc);
}

Text SimulationCase::AttachedName(Viewable* object) {
  if (object == nullptr) return Document::AttachedName(object);
  // Checked by type first, so that asking never creates a report manager.
  if (object->IsA(ReportManagerObjectType()) && object == GetReportManager()) {
    return "ReportMgr.300";
  }
  // Only the very object held under its name gets the manager's address, so
  // that another object of the same name never resolves to the manager.
  if (CaseManager(object->GetName().c_str()) == object) {
    return "Viewable.500.(" + object->GetName() + ")";
  }
  return Document::AttachedName(object);
}

Viewable* CaseBuildManager(Document* document, const char* name) {
  if (document == nullptr || name == nullptr) return nullptr;
  return document->AttachedObject(ManagerDescription(kBuildNumber, name));
}

void CaseAddManager(Document* document, Viewable* manager, const char* name) {
  if (document == nullptr || manager == nullptr || name == nullptr) return;
  document->AttachObject(manager, ManagerDescription(kBuildNumber, name));
}

Viewable* CaseExistingManager(Document* document, const char* name) {
  if (name == nullptr) return nullptr;
  return ExistingManager(document, name);
}

FluidPackageManager* CaseFluidPackageManager(Document* document) {
  return dynamic_cast<FluidPackageManager*>(
      ExistingManager(document, "FluidPackageManager"));
}

StreamManager* CaseStreamManager(Document* document) {
  return dynamic_cast<StreamManager*>(
      ExistingManager(document, "StreamManager"));
}

TRCView* CaseTRCViewManager(Document* document) {
  return dynamic_cast<TRCView*>(ExistingManager(document, "TRCViewManager"));
}

IEngineeringManager* CaseEngineeringManager(Document* document) {
  if (document == nullptr) return nullptr;
  return static_cast<IEngineeringManager*>(
      document->CastToClassType("IEngineeringManager"));
}

}  // namespace pemar
