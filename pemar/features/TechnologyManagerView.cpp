// The technology manager: one technology's instances as the user sees them.

#include "pemar/features/TechnologyManagerView.h"

#include <algorithm>

#include "pemar/features/ExpMgrView.h"
#include "pemar/features/FeatureRegistry.h"
#include "pemar/framework/BinaryFile.h"
#include "pemar/framework/Messages.h"
#include "pemar/framework/Session.h"
#include "pemar/framework/Types.h"

namespace pemar {
namespace {

constexpr int kFeatureListNumber = 400;
constexpr int kChosenListNumber = 401;
constexpr int kInstancesNumber = 500;
constexpr int kSelectedNameNumber = 501;
constexpr int kAllListNumber = 600;
// Answer style of the delete question, and its "go on".
constexpr int kEnabledStyle = 2;
constexpr int kEnabledYes = 1;

class TechnologyManagerViewObjectInfoT : public ObjectTypeInfo {
 public:
  using ObjectTypeInfo::ObjectTypeInfo;
  Viewable* CreateInstanceForRecall(ObjectInstanceInfo& info) const override {
    return new TechnologyManagerView(info);
  }
  unsigned char StoreClassData(BinaryFile& file,
                               Viewable* object) const override {
    auto* view = dynamic_cast<TechnologyManagerView*>(object);
    return view != nullptr ? view->StoreClassData(file) : 0;
  }
  unsigned char RecallClassData(BinaryFile& file,
                                Viewable* object) const override {
    auto* view = dynamic_cast<TechnologyManagerView*>(object);
    return view != nullptr ? view->RecallClassData(file) : 0;
  }
  void RecallFixUp(Viewable* object) const override {
    if (auto* view = dynamic_cast<TechnologyManagerView*>(object)) {
      view->RecallFixUp();
    }
  }
};

const ObjectTypeInfo* const kTechnologyManagerViewTypeRegistered =
    TechnologyManagerViewObjectType();

// The entry at `i`; null outside the list.
template <typename List>
const typename List::value_type* EntryAt(const List& list, int i) {
  if (i < 0 || static_cast<std::size_t>(i) >= list.size()) return nullptr;
  return &list[static_cast<std::size_t>(i)];
}

}  // namespace

const ObjectTypeInfo* TechnologyManagerViewObjectType() {
  static TechnologyManagerViewObjectInfoT* type = [] {
    auto* t = new TechnologyManagerViewObjectInfoT(
        "TechnologyManagerViewObject", ViewableObjectType(),
        "TechnologyManagerView", 0, 0, "expmgr", kEmptyMarker);
    t->SetClassDataVersion(1);
    t->SetDisplayName("Technology Manager");
    return t;
  }();
  (void)kTechnologyManagerViewTypeRegistered;
  return type;
}

TechnologyManagerView::TechnologyManagerView(ExpMgrView* manager,
                                             const Text& technology)
    : Viewable(manager, TechnologyManagerViewObjectType()),
      manager_(manager),
      technology_(technology) {
  SetName(technology + " Manager");
  if (manager_ != nullptr) manager_->AddDeathPostee(this);
}

TechnologyManagerView::TechnologyManagerView(ObjectInstanceInfo& info)
    : Viewable(info) {}

TechnologyManagerView::~TechnologyManagerView() = default;

bool TechnologyManagerView::IsListedInstance(const Viewable* object) const {
  if (manager_ == nullptr || object == nullptr) return false;
  const auto& all = manager_->AllInstances();
  return std::find(all.begin(), all.end(), object) != all.end();
}

void TechnologyManagerView::Select(Viewable* instance) {
  selected_ = instance;
  if (selected_ != nullptr) selected_->AddDeathPostee(this);
}

void TechnologyManagerView::ClearSelection() {
  if (selected_ != nullptr) selected_->RemoveDeathPostee(this);
  selected_ = nullptr;
}

void TechnologyManagerView::Reselect(const Text& name) {
  ClearSelection();
  selected_name_ = name;
  if (manager_ != nullptr) {
    Select(manager_->GetExperiment(chosen_list_.c_str(), name.c_str()));
  }
}

void TechnologyManagerView::DisconnectDeadObject(Viewable* dying) {
  if (dying == selected_) {
    selected_ = nullptr;
    selected_name_.Clear();
  }
  if (dying == manager_) manager_ = nullptr;
  Viewable::DisconnectDeadObject(dying);
}

int TechnologyManagerView::Message(const Text& command) {
  Text rest = command;
  const Text word = rest.Token();
  if (word == "AddFeature") {
    if (manager_ != nullptr) {
      manager_->AddExperiment(chosen_list_.c_str(), nullptr);
    }
    return 1;
  }
  if (word == "EditFeature") {
    if (selected_ != nullptr) selected_->View();
    return 1;
  }
  if (word == "DeleteFeature") {
    if (selected_ == nullptr || !IsListedInstance(selected_)) return 1;
    const Session* session = Session::Current();
    if (session == nullptr || !session->StartedByAutomation()) {
      if (ResponseMsg("ConfirmDeleteExperiment", kEnabledStyle) !=
          kEnabledYes) {
        return 1;
      }
    }
    Viewable* instance = selected_;
    ClearSelection();
    selected_name_.Clear();
    manager_->DisconnectView(instance);
    delete instance;
    return 1;
  }
  return Viewable::Message(command);
}

Text TechnologyManagerView::TextValue(const VarDescription& desc) {
  switch (desc.Number()) {
    case kFeatureListNumber: {
      const auto list = TechnologyFeatureList(technology_.c_str());
      const Text* entry = EntryAt(list, desc.Index());
      return entry != nullptr ? *entry : Text();
    }
    case kChosenListNumber:
      return chosen_list_;
    case kInstancesNumber: {
      if (manager_ == nullptr) return Text();
      Viewable* instance =
          manager_->GetIthExperiment(desc.Index(), chosen_list_.c_str());
      return instance != nullptr ? instance->GetName() : Text();
    }
    case kSelectedNameNumber:
      return selected_name_;
    default:
      return Viewable::TextValue(desc);
  }
}

unsigned char TechnologyManagerView::SpecifyText(const VarDescription& desc,
                                                 const Text& value) {
  switch (desc.Number()) {
    case kChosenListNumber:
      chosen_list_ = value;
      return 1;
    case kSelectedNameNumber:
      Reselect(value);
      return 1;
    default:
      return Viewable::SpecifyText(desc, value);
  }
}

double TechnologyManagerView::Value(const VarDescription& desc) {
  switch (desc.Number()) {
    case kInstancesNumber:
      return selected_ != nullptr ? 1.0 : 0.0;
    case kAllListNumber:
      return chosen_list_ == AllListName(technology_) ? 0.0 : 1.0;
    default:
      return Viewable::Value(desc);
  }
}

unsigned char TechnologyManagerView::Dimensions(const VarDescription& desc,
                                                DimInfo& dims) {
  switch (desc.Number()) {
    case kFeatureListNumber:
      dims.AddDim(
          static_cast<int>(TechnologyFeatureList(technology_.c_str()).size()));
      return 1;
    case kInstancesNumber:
      dims.AddDim(manager_ == nullptr
                      ? 0
                      : manager_->GetNumberExperiments(chosen_list_.c_str()));
      return 1;
    default:
      return Viewable::Dimensions(desc, dims);
  }
}

Viewable* TechnologyManagerView::AttachedObject(const VarDescription& desc) {
  if (desc.Number() != kInstancesNumber) return Viewable::AttachedObject(desc);
  if (selected_ == nullptr) return nullptr;
  if (const VarDescription* next = desc.GetNextLink()) {
    return selected_->AttachedObject(*next);
  }
  return selected_;
}

Text TechnologyManagerView::AttachedName(Viewable* object) {
  if (object != nullptr && object == selected_) return "Viewable.500";
  return Viewable::AttachedName(object);
}

unsigned char TechnologyManagerView::StoreClassData(BinaryFile& file) {
  return Viewable::StorePointer(file, manager_) &&
         Viewable::StorePointer(file, selected_) && file.Write(chosen_list_) &&
         file.Write(technology_) && file.Write(selected_name_);
}

unsigned char TechnologyManagerView::RecallClassData(BinaryFile& file) {
  Viewable* manager = nullptr;
  Viewable* selected = nullptr;
  Text chosen;
  Text technology;
  Text selectedName;
  if (!Viewable::RecallPointerX(file, manager, ExpMgrViewObjectType()) ||
      !Viewable::RecallPointerX(file, selected, nullptr) ||
      !file.Read(chosen) || !file.Read(technology) ||
      !file.Read(selectedName)) {
    return 0;
  }
  if (manager_ != nullptr) manager_->RemoveDeathPostee(this);
  ClearSelection();
  manager_ = dynamic_cast<ExpMgrView*>(manager);
  if (manager_ != nullptr) manager_->AddDeathPostee(this);
  // Watched from now on, so that a selection deleted before the fix-up
  // cannot dangle; the fix-up keeps it only if the manager lists it.
  if (selected != this) Select(selected);
  chosen_list_ = chosen;
  technology_ = technology;
  selected_name_ = selectedName;
  return 1;
}

void TechnologyManagerView::RecallFixUp() {
  if (selected_ != nullptr && !IsListedInstance(selected_)) ClearSelection();
}

}  // namespace pemar
