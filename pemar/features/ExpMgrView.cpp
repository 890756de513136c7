// The feature manager: creating, naming and filing feature instances.

#include "pemar/features/ExpMgrView.h"

#include <algorithm>
#include <charconv>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "pemar/case/CaseManagers.h"
#include "pemar/case/SimulationCase.h"
#include "pemar/config/ProgramConfiguration.h"
#include "pemar/features/FeatureRegistry.h"
#include "pemar/features/TechnologyManagerView.h"
#include "pemar/framework/BinaryFile.h"
#include "pemar/framework/Document.h"
#include "pemar/framework/Messages.h"
#include "pemar/framework/Types.h"

namespace pemar {
namespace {

constexpr int kValueType = 104;
constexpr int kInstanceNumber = 500;
constexpr int kTechnologyNumber = 600;
constexpr int kTechnologySearchNumber = 700;
// The smallest stored pointer and count: 32 bits each.
constexpr std::uint64_t kFieldBytes = 4;

class ExpMgrViewObjectInfoT : public ObjectTypeInfo {
 public:
  using ObjectTypeInfo::ObjectTypeInfo;
  Viewable* CreateInstance() const override { return new ExpMgrView(nullptr); }
  Viewable* CreateInstanceForRecall(ObjectInstanceInfo& info) const override {
    return new ExpMgrView(info);
  }
  unsigned char StoreClassData(BinaryFile& file,
                               Viewable* object) const override {
    auto* view = dynamic_cast<ExpMgrView*>(object);
    return view != nullptr ? view->StoreClassData(file) : 0;
  }
  unsigned char RecallClassData(BinaryFile& file,
                                Viewable* object) const override {
    auto* view = dynamic_cast<ExpMgrView*>(object);
    return view != nullptr
               ? view->RecallClassData(file, RecalledClassDataVersion())
               : 0;
  }
  void RecallFixUp(Viewable* object) const override {
    if (auto* view = dynamic_cast<ExpMgrView*>(object)) view->RecallFixUp();
  }
};

const ObjectTypeInfo* const kExpMgrViewTypeRegistered = ExpMgrViewObjectType();

// The case knows its feature manager only through the builder table; the
// entry is made while the library loads, so every case finds it.
const bool kBuilderRegistered = [] {
  _add_ViewableBuilderFnc("FeatureManager", &ExpMgrView::BuildExperimentManager,
                          ExpMgrViewObjectType());
  return true;
}();

// Files of older programs named two lists differently.
Text CurrentListName(const Text& stored) {
  if (stored == "HeatIntegrationTargeting") return "HI Case";
  if (stored == "HeatIntegrationProject") return "HI Project";
  return stored;
}

void AppendOnce(std::vector<Viewable*>& list, Viewable* object) {
  if (std::find(list.begin(), list.end(), object) == list.end()) {
    list.push_back(object);
  }
}

void EraseAll(std::vector<Viewable*>& list, const Viewable* object) {
  list.erase(std::remove(list.begin(), list.end(), object), list.end());
}

bool IsAncestor(const Viewable* candidate, const Viewable* of) {
  for (const Viewable* v = of; v != nullptr; v = v->GetOwner()) {
    if (v == candidate) return true;
  }
  return false;
}

unsigned char WritePointers(BinaryFile& file,
                            const std::vector<Viewable*>& list) {
  if (!file.Write(static_cast<int>(list.size()))) return 0;
  for (Viewable* object : list) {
    if (!Viewable::StorePointer(file, object)) return 0;
  }
  return 1;
}

// A stored count that the rest of the record can hold, one pointer per
// entry at least.
bool ReadCount(BinaryFile& file, int& count) {
  if (!file.Read(count)) return false;
  return count >= 0 &&
         static_cast<std::uint64_t>(count) <= file.Remaining() / kFieldBytes;
}

}  // namespace

const ObjectTypeInfo* ExpMgrViewObjectType() {
  static ExpMgrViewObjectInfoT* type = [] {
    auto* t =
        new ExpMgrViewObjectInfoT("ExpMgrViewObject", ViewableObjectType(),
                                  "ExpMgrView", 0, 0, "", kEmptyMarker);
    t->SetClassDataVersion(kExpMgrViewVersion);
    t->SetDisplayName("Feature Manager");
    return t;
  }();
  (void)kExpMgrViewTypeRegistered;
  return type;
}

ExpMgrView* CaseFeatureManager(Document* document) {
  (void)kBuilderRegistered;
  return dynamic_cast<ExpMgrView*>(
      CaseExistingManager(document, "FeatureManager"));
}

ExpMgrView::ExpMgrView(Viewable* parent)
    : Viewable(parent, ExpMgrViewObjectType()) {
  CreateTechnologyManagers();
}

ExpMgrView::ExpMgrView(ObjectInstanceInfo& info) : Viewable(info) {}

ExpMgrView::~ExpMgrView() {
  // One at a time from the live lists: deleting one object may delete
  // others, whose death notices then take them off the lists first.
  while (!technology_managers_.empty()) {
    Viewable* manager = technology_managers_.back();
    DisconnectView(manager);
    delete manager;
  }
  while (!all_.empty()) {
    Viewable* instance = all_.back();
    DisconnectView(instance);
    delete instance;
  }
}

Viewable* ExpMgrView::BuildExperimentManager(SimulationCase* parent,
                                             const char* name) {
  auto* manager = new ExpMgrView(parent);
  manager->SetName(Text(name));
  return manager;
}

void ExpMgrView::CreateTechnologyManagers() {
  for (const Text& technology : FeatureTechnologies()) {
    auto* manager = new TechnologyManagerView(this, technology);
    technology_managers_.push_back(manager);
    Connect(manager);
  }
}

Text ExpMgrView::CreateUniqueName(const char* key) const {
  const FeatureInfo* info = FindFeatureInfo(key);
  if (info == nullptr) return Text();
  // One pass over the instances, so that naming stays linear in their
  // number, copying no name: the numbers taken are flagged, and only 1 to
  // count + 1 matter, since one of those is always free. A taken number is
  // written as this function writes it, in decimal without leading zeros.
  // The display name is concatenated, never used as a format.
  const std::string& prefix = info->display_name.str();
  std::vector<bool> taken(all_.size() + 2, false);
  for (Viewable* instance : all_) {
    std::string_view name(instance->GetName().str());
    if (name.size() <= prefix.size() || !name.starts_with(prefix)) continue;
    name.remove_prefix(prefix.size());
    if (name.front() == '0') continue;
    std::size_t n = 0;
    auto [end, error] =
        std::from_chars(name.data(), name.data() + name.size(), n);
    if (error == std::errc() && end == name.data() + name.size() &&
        n < taken.size()) {
      taken[n] = true;
    }
  }
  std::size_t n = 1;
  while (taken[n]) ++n;
  return info->display_name + Text(std::to_string(n));
}

bool ExpMgrView::UniqueName(const Text& name) const {
  return std::none_of(all_.begin(), all_.end(), [&](Viewable* instance) {
    return instance->GetName() == name;
  });
}

Viewable* ExpMgrView::CreateFeature(const char* key, Viewable* parent) {
  const Text k(key);
  const Text name = CreateUniqueName(key);
  if (_get_theProgramConfiguration()->IsConfigurationFeatureAvailable(
          k.c_str())) {
    const FeatureInfo* info = FindFeatureInfo(key);
    if (info != nullptr && info->builder != nullptr) {
      if (Viewable* made = info->builder(parent, name.c_str())) {
        if (made->GetName().IsEmpty()) made->SetName(name);
        return made;
      }
    }
    ErrorMsg("FailedToCreateFeature", {k});
    return nullptr;
  }
  if (!k.StartsWith("All")) ErrorMsg("UnsupportedFeature", {k});
  return nullptr;
}

Viewable* ExpMgrView::AddExperiment(const char* key, Viewable* instance) {
  if (instance == nullptr) {
    instance = CreateFeature(key, this);
    if (instance == nullptr) return nullptr;
    instance->View();
  }
  return AddExperimentOldCS(key, instance);
}

Viewable* ExpMgrView::AddExperimentOldCS(const char* key, Viewable* instance) {
  if (instance == nullptr || key == nullptr) return instance;
  File(Text(key), instance);
  if (const FeatureInfo* info = FindFeatureInfo(key)) {
    File(AllListName(info->technology), instance);
  }
  Connect(instance);
  return instance;
}

void ExpMgrView::File(const Text& listName, Viewable* instance) {
  AppendOnce(lists_[listName], instance);
  AppendOnce(all_, instance);
}

void ExpMgrView::Connect(Viewable* object) {
  if (object->DeathPosteeRefCount(this) == 0) object->AddDeathPostee(this);
}

const std::vector<Viewable*>* ExpMgrView::InstanceList(const char* name) const {
  if (name == nullptr) return nullptr;
  auto it = lists_.find(Text(name));
  return it == lists_.end() ? nullptr : &it->second;
}

std::vector<Text> ExpMgrView::ListNames() const {
  std::vector<Text> names;
  for (const auto& entry : lists_) names.push_back(entry.first);
  return names;
}

int ExpMgrView::GetNumberExperiments(const char* key) const {
  const auto* list = InstanceList(key);
  return list == nullptr ? 0 : static_cast<int>(list->size());
}

Viewable* ExpMgrView::GetExperiment(const char* key, const char* name) const {
  const auto* list = InstanceList(key);
  if (list == nullptr || name == nullptr) return nullptr;
  for (Viewable* instance : *list) {
    if (instance->GetName() == name) return instance;
  }
  return nullptr;
}

Viewable* ExpMgrView::GetIthExperiment(int i, const char* key) const {
  const auto* list = InstanceList(key);
  if (list == nullptr || i < 0 || static_cast<std::size_t>(i) >= list->size()) {
    return nullptr;
  }
  return (*list)[static_cast<std::size_t>(i)];
}

bool ExpMgrView::DeleteView(const char* key, const char* name) {
  Viewable* instance = GetExperiment(key, name);
  if (instance == nullptr) return false;
  DisconnectView(instance);
  delete instance;
  return true;
}

void ExpMgrView::DisconnectView(Viewable* object) {
  if (object == nullptr) return;
  for (auto& entry : lists_) EraseAll(entry.second, object);
  EraseAll(all_, object);
  technology_managers_.erase(std::remove(technology_managers_.begin(),
                                         technology_managers_.end(), object),
                             technology_managers_.end());
  while (object->DeathPosteeRefCount(this) > 0) {
    object->RemoveDeathPostee(this);
  }
}

void ExpMgrView::DisconnectDeadObject(Viewable* dying) {
  // The dying object is only a Viewable by now: compare, never call.
  for (auto& entry : lists_) EraseAll(entry.second, dying);
  EraseAll(all_, dying);
  technology_managers_.erase(std::remove(technology_managers_.begin(),
                                         technology_managers_.end(), dying),
                             technology_managers_.end());
  Viewable::DisconnectDeadObject(dying);
}

int ExpMgrView::Message(const Text& command) {
  Text rest = command;
  if (rest.Token() == "CreateFeature") {
    AddExperiment(rest.Trimmed().c_str(), nullptr);
    return 1;
  }
  return Viewable::Message(command);
}

int ExpMgrView::ViewNotification(int kind, int task, const Text& text) {
  if (kind == 0 && (text == "RegressionView" || text == "IntegrationView" ||
                    text == "SeparationView")) {
    return 0;
  }
  return Viewable::ViewNotification(kind, task, text);
}

double ExpMgrView::Value(const VarDescription& desc) {
  if (desc.Type() == kValueType && desc.Number() == kInstanceNumber) {
    return IsFeatureTechnology(desc.GetOffsetName().c_str()) ? 1.0 : 0.0;
  }
  return Viewable::Value(desc);
}

TechnologyManagerView* ExpMgrView::FindTechnologyManager(
    const Text& viewName) const {
  for (TechnologyManagerView* manager : technology_managers_) {
    if (manager->GetName() == viewName) return manager;
  }
  return nullptr;
}

Viewable* ExpMgrView::AttachedObject(const VarDescription& desc) {
  Viewable* found = nullptr;
  switch (desc.Number()) {
    case kInstanceNumber: {
      const int i = desc.OffsetPosition();
      if (i >= 0 && static_cast<std::size_t>(i) < all_.size()) {
        found = all_[static_cast<std::size_t>(i)];
      }
      break;
    }
    case kTechnologyNumber:
    case kTechnologySearchNumber:
      found = FindTechnologyManager(desc.GetOffsetName());
      break;
    default:
      return Viewable::AttachedObject(desc);
  }
  if (found == nullptr) return nullptr;
  if (const VarDescription* next = desc.GetNextLink()) {
    return found->AttachedObject(*next);
  }
  return found;
}

Text ExpMgrView::AttachedName(Viewable* object) {
  auto at = std::find(all_.begin(), all_.end(), object);
  if (object != nullptr && at != all_.end()) {
    return Text("Viewable.500." + std::to_string(at - all_.begin()));
  }
  if (object != nullptr &&
      std::find(technology_managers_.begin(), technology_managers_.end(),
                object) != technology_managers_.end()) {
    return "Viewable.600.(" + object->GetName() + ")";
  }
  return Viewable::AttachedName(object);
}

unsigned char ExpMgrView::StoreClassData(BinaryFile& file) {
  if (Type() != nullptr && Type()->ClassDataVersion() < 2) {
    // The layout of older programs: the instances, then three pointers and
    // three integers that nothing reads any more.
    if (!WritePointers(file, all_)) return 0;
    for (int i = 0; i < 3; ++i) {
      if (!Viewable::StorePointer(file, nullptr)) return 0;
    }
    for (int i = 0; i < 3; ++i) {
      if (!file.Write(0)) return 0;
    }
    return 1;
  }
  if (!file.Write(static_cast<int>(lists_.size()))) return 0;
  for (const auto& [name, list] : lists_) {
    if (!file.Write(name) || !WritePointers(file, list)) return 0;
  }
  std::vector<Viewable*> managers(technology_managers_.begin(),
                                  technology_managers_.end());
  return WritePointers(file, all_) && WritePointers(file, managers);
}

bool ExpMgrView::MayHoldInstance(Viewable* object) const {
  // The manager deletes what it lists: never itself, another manager, the
  // document or anything that owns it. Beyond that, an instance is one of
  // its own objects or of a registered feature type.
  if (object == nullptr || dynamic_cast<Document*>(object) != nullptr ||
      object->IsA(ExpMgrViewObjectType()) ||
      object->IsA(TechnologyManagerViewObjectType()) ||
      IsAncestor(object, this)) {
    return false;
  }
  if (object->GetOwner() == this) return true;
  for (const FeatureInfo* info : AllFeatureInfos()) {
    if (info->object_type != nullptr && object->IsA(info->object_type)) {
      return true;
    }
  }
  return false;
}

unsigned char ExpMgrView::RecallClassData(BinaryFile& file, int version) {
  return version >= 2 ? RecallVersion2(file) : RecallVersion1(file);
}

unsigned char ExpMgrView::RecallVersion2(BinaryFile& file) {
  int listCount = 0;
  if (!ReadCount(file, listCount)) return 0;
  std::map<Text, std::vector<Viewable*>> lists;
  std::vector<Viewable*> all;
  for (int i = 0; i < listCount; ++i) {
    Text name;
    int count = 0;
    if (!file.Read(name) || !ReadCount(file, count)) return 0;
    std::vector<Viewable*>& list = lists[CurrentListName(name)];
    for (int k = 0; k < count; ++k) {
      Viewable* object = nullptr;
      if (!Viewable::RecallPointerX(file, object, nullptr)) return 0;
      // Each instance once, so that the destructor deletes it once.
      if (!MayHoldInstance(object)) continue;
      AppendOnce(list, object);
    }
  }
  int count = 0;
  if (!ReadCount(file, count)) return 0;
  for (int k = 0; k < count; ++k) {
    Viewable* object = nullptr;
    if (!Viewable::RecallPointerX(file, object, nullptr)) return 0;
    if (MayHoldInstance(object)) AppendOnce(all, object);
  }
  // Whatever a list holds is an instance of the manager.
  for (const auto& entry : lists) {
    for (Viewable* object : entry.second) AppendOnce(all, object);
  }
  if (!ReadCount(file, count)) return 0;
  std::vector<TechnologyManagerView*> managers;
  for (int k = 0; k < count; ++k) {
    Viewable* object = nullptr;
    if (!Viewable::RecallPointerX(file, object,
                                  TechnologyManagerViewObjectType())) {
      return 0;
    }
    auto* manager = dynamic_cast<TechnologyManagerView*>(object);
    if (manager != nullptr && std::find(managers.begin(), managers.end(),
                                        manager) == managers.end()) {
      managers.push_back(manager);
    }
  }
  for (auto& [name, list] : lists) {
    // Kept even when empty, as stored.
    std::vector<Viewable*>& target = lists_[name];
    for (Viewable* object : list) AppendOnce(target, object);
  }
  for (Viewable* object : all) {
    AppendOnce(all_, object);
    Connect(object);
  }
  for (TechnologyManagerView* manager : managers) {
    if (std::find(technology_managers_.begin(), technology_managers_.end(),
                  manager) == technology_managers_.end()) {
      technology_managers_.push_back(manager);
    }
    Connect(manager);
  }
  return 1;
}

unsigned char ExpMgrView::RecallVersion1(BinaryFile& file) {
  int count = 0;
  if (!ReadCount(file, count)) return 0;
  std::vector<Viewable*> instances;
  for (int k = 0; k < count; ++k) {
    Viewable* object = nullptr;
    if (!Viewable::RecallPointerX(file, object, nullptr)) return 0;
    if (MayHoldInstance(object)) instances.push_back(object);
  }
  for (int k = 0; k < 3; ++k) {
    Viewable* unused = nullptr;
    if (!Viewable::RecallPointerX(file, unused, nullptr)) return 0;
  }
  for (int k = 0; k < 3; ++k) {
    int unused = 0;
    if (!file.Read(unused)) return 0;
  }
  for (Viewable* object : instances) {
    for (const FeatureInfo* info : AllFeatureInfos()) {
      if (info->object_type != nullptr && object->Type() == info->object_type) {
        AddExperimentOldCS(info->key.c_str(), object);
        break;
      }
    }
  }
  create_technology_managers_ = true;
  return 1;
}

void ExpMgrView::RecallFixUp() {
  if (create_technology_managers_) {
    create_technology_managers_ = false;
    CreateTechnologyManagers();
  }
  if (GetName().IsEmpty()) SetName("FeatureManager");
  CaseAddManager(GetDocument(), this, "FeatureManager");
}

}  // namespace pemar
