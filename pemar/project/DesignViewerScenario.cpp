// The scenario view of the design viewer: the design entries of one
// scenario of an engineering project.

#include <algorithm>

#include "pemar/framework/BinaryFile.h"
#include "pemar/persist/CrossReference.h"
#include "pemar/persist/SuiteInterfaces.h"
#include "pemar/project/DesignViewer.h"
#include "pemar/project/DesignViewerInternal.h"
#include "pemar/project/IEngineeringManager.h"
#include "pemar/project/IPemarProject.h"

namespace pemar {
namespace {

using design_viewer::ViewInfoT;

const ObjectTypeInfo* const kDesignViewerScenarioTypeRegistered = DesignViewerScenarioObjectType();

}  // namespace

const ObjectTypeInfo* DesignViewerScenarioObjectType() {
  static const auto* type = new ViewInfoT<DesignViewerScenario>(
      "DesignViewerScenarioObject", "DesignViewerScenario");
  (void)kDesignViewerScenarioTypeRegistered;
  return type;
}

DesignViewerScenario::DesignViewerScenario(DesignViewerProject* owner,
                                           Viewable* parent, const Text& name,
                                           IPemarScenario* scenario)
    : Viewable(parent, DesignViewerScenarioObjectType()), scenario_(scenario) {
  SetName(name);
  SetOwner(owner);
}

DesignViewerScenario::DesignViewerScenario(ObjectInstanceInfo& info)
    : Viewable(info) {}

DesignViewerScenario::~DesignViewerScenario() {
  design_viewer::GiveBackProject(this, project_, counted_);
  design_viewer::DestroyEntries(designs_, current_, this);
}

void DesignViewerScenario::SetOwner(DesignViewerProject* owner) {
  if (owner_ != nullptr) design_viewer::Unwatch(owner_, this);
  owner_ = owner;
  if (owner_ != nullptr) owner_->AddDeathPostee(this);
}

void DesignViewerScenario::Append(DesignViewerDesign* entry) {
  design_viewer::AppendEntry(designs_, current_, this, entry);
}

void DesignViewerScenario::AddDesignEntry(const Text& name) {
  Append(
      new DesignViewerDesign(this, this, name, DesignViewerDesignObjectType()));
}

void DesignViewerScenario::AddDesignEntry(DesignViewerDesign* design) {
  // A listed view is stored as an object of this view's document; one of
  // another document, or of none, would make every save fail.
  if (design == nullptr || design->GetDocument() != GetDocument()) return;
  Append(design);
}

void DesignViewerScenario::RemoveDesignEntry(int index) {
  delete design_viewer::TakeEntry(designs_, current_, this, index);
}

void DesignViewerScenario::SetCurrentDesign(int index) {
  if (DesignViewerDesign* entry = GetDesign(index)) current_ = entry;
}

DesignViewerDesign* DesignViewerScenario::GetDesign(int index) const {
  return design_viewer::EntryAt(designs_, index);
}

int DesignViewerScenario::FindDesignMatch(const Text& name) {
  const int count = scenario_ != nullptr ? scenario_->GetDesignCount() : 0;
  const int limit = std::min(count, static_cast<int>(designs_.size()));
  for (int i = 0; i < limit; ++i) {
    if (designs_[static_cast<std::size_t>(i)]->GetName() == name) return i;
  }
  return -1;
}

unsigned char DesignViewerScenario::Dimensions(const VarDescription& desc,
                                               DimInfo& dims) {
  if (desc.Number() != kDesignViewerEntriesNumber ||
      !desc.IsOfType("DesignViewerDesign", DesignViewerDesignObjectType())) {
    return Viewable::Dimensions(desc, dims);
  }
  dims.AddDim(static_cast<int>(designs_.size()));
  return 1;
}

Viewable* DesignViewerScenario::AttachedObject(const VarDescription& desc) {
  Viewable* found = nullptr;
  if (desc.IsSelf()) {
    found = this;
  } else if (desc.IsOfType("DesignViewerDesign",
                           DesignViewerDesignObjectType())) {
    found = GetDesign(design_viewer::AddressedIndex(desc));
  } else {
    return Viewable::AttachedObject(desc);
  }
  return design_viewer::FollowNextLink(found, desc);
}

Text DesignViewerScenario::AttachedName(Viewable* object) {
  if (object == nullptr || !object->IsA(DesignViewerDesignObjectType())) {
    return Viewable::AttachedName(object);
  }
  // With a blank before the parenthesis, unlike the scenario form; the name
  // is appended, never used as a format.
  return Text::Format("DesignViewerDesign.%d.%d", kDesignViewerEntriesNumber,
                      FindDesignMatch(object->GetName())) +
         " (" + object->GetName() + ")";
}

void DesignViewerScenario::DisconnectDeadObject(Viewable* dying) {
  design_viewer::ForgetEntry(designs_, current_, dying);
  if (dying == owner_) owner_ = nullptr;
  Viewable::DisconnectDeadObject(dying);
}

unsigned char DesignViewerScenario::StoreClassData(BinaryFile& file) {
  return StoreProjectPointer(file,
                             design_viewer::StoredReference(this, project_)) &&
         StorePemarScenarioPointer(
             file, design_viewer::StoredReference(this, scenario_)) &&
         Viewable::StorePointer(file, owner_) &&
         Viewable::StorePointer(file, current_) &&
         design_viewer::StoreEntries(file, designs_);
}

unsigned char DesignViewerScenario::RecallClassData(BinaryFile& file) {
  IPemarProject* project = nullptr;
  if (!design_viewer::RecallProject(file, this, &project)) return 0;
  // Kept at once, so that a failure further on still gives it back.
  design_viewer::GiveBackProject(this, project_, counted_);
  project_ = project;
  counted_ = project != nullptr;

  IPemarScenario* scenario = nullptr;
  DesignViewerProject* owner = nullptr;
  DesignViewerDesign* current = nullptr;
  DesignViewList entries;
  if (!RecallPemarScenarioPointer(file, design_viewer::RegistryOf(this),
                                  &scenario) ||
      !design_viewer::RecallEntry(file, DesignViewerProjectObjectType(),
                                  owner) ||
      !design_viewer::RecallEntry(file, DesignViewerDesignObjectType(),
                                  current) ||
      !design_viewer::RecallEntries(file, DesignViewerDesignObjectType(), this,
                                    entries)) {
    return 0;
  }
  scenario_ = scenario;
  SetOwner(owner);
  for (DesignViewerDesign* entry : entries) Append(entry);
  current_ = design_viewer::IsListed(designs_, current) ? current : nullptr;
  return 1;
}

}  // namespace pemar
