// The project view of the design viewer: the scenario entries of one
// engineering project.

#include <algorithm>

#include "pemar/framework/BinaryFile.h"
#include "pemar/persist/CrossReference.h"
#include "pemar/project/DesignViewer.h"
#include "pemar/project/DesignViewerInternal.h"
#include "pemar/project/IPemarProject.h"

namespace pemar {
namespace {

using design_viewer::ViewInfoT;

const ObjectTypeInfo* const kDesignViewerProjectTypeRegistered = DesignViewerProjectObjectType();

}  // namespace

const ObjectTypeInfo* DesignViewerProjectObjectType() {
  static const auto* type = new ViewInfoT<DesignViewerProject>(
      "DesignViewerProjectObject", "DesignViewerProject");
  (void)kDesignViewerProjectTypeRegistered;
  return type;
}

DesignViewerProject::DesignViewerProject(Viewable* parent, const Text& name,
                                         const Text& firstScenario,
                                         IPemarProject* project)
    : Viewable(parent, DesignViewerProjectObjectType()), project_(project) {
  SetName(name);
  // Counted only where the case's manager can take the reference back.
  if (project_ != nullptr &&
      design_viewer::EngineeringManagerOf(this) != nullptr) {
    project_->AddRef();
    counted_ = true;
  }
  AddScenEntry(firstScenario);
}

DesignViewerProject::DesignViewerProject(ObjectInstanceInfo& info)
    : Viewable(info) {}

DesignViewerProject::~DesignViewerProject() {
  design_viewer::GiveBackProject(this, project_, counted_);
  design_viewer::DestroyEntries(scenarios_, current_, this);
}

void DesignViewerProject::Append(DesignViewerScenario* entry) {
  design_viewer::AppendEntry(scenarios_, current_, this, entry);
}

void DesignViewerProject::AddScenEntry(const Text& name) {
  IPemarScenario* scenario = nullptr;
  if (project_ != nullptr) project_->FindScenario(name.c_str(), &scenario);
  Append(new DesignViewerScenario(this, this, name, scenario));
}

void DesignViewerProject::RemoveScEntry(int index) {
  design_viewer::TakeEntry(scenarios_, current_, this, index);
}

void DesignViewerProject::SetCurrentScenario(int index) {
  if (DesignViewerScenario* entry = GetScenario(index)) current_ = entry;
}

DesignViewerScenario* DesignViewerProject::GetScenario(int index) const {
  return design_viewer::EntryAt(scenarios_, index);
}

int DesignViewerProject::FindMatch(const Text& name) {
  const int count = project_ != nullptr ? project_->GetNumberOfScenarios() : 0;
  const int limit = std::min(count, static_cast<int>(scenarios_.size()));
  for (int i = 0; i < limit; ++i) {
    if (scenarios_[static_cast<std::size_t>(i)]->GetName() == name) return i;
  }
  return 0;
}

unsigned char DesignViewerProject::Dimensions(const VarDescription& desc,
                                              DimInfo& dims) {
  if (desc.Number() != kDesignViewerEntriesNumber ||
      !desc.IsOfType("DesignViewerScenario",
                     DesignViewerScenarioObjectType())) {
    return Viewable::Dimensions(desc, dims);
  }
  dims.AddDim(project_ != nullptr ? project_->GetNumberOfScenarios() : 0);
  return 1;
}

Viewable* DesignViewerProject::AttachedObject(const VarDescription& desc) {
  Viewable* found = nullptr;
  if (desc.IsSelf()) {
    found = this;
  } else if (desc.IsOfType("DesignViewerScenario",
                           DesignViewerScenarioObjectType())) {
    found = GetScenario(design_viewer::AddressedIndex(desc));
  } else {
    return Viewable::AttachedObject(desc);
  }
  return design_viewer::FollowNextLink(found, desc);
}

Text DesignViewerProject::AttachedName(Viewable* object) {
  if (object == nullptr || !object->IsA(DesignViewerScenarioObjectType())) {
    return Viewable::AttachedName(object);
  }
  // The name is appended, never used as a format.
  return Text::Format("DesignViewerScenario.%d.%d", kDesignViewerEntriesNumber,
                      FindMatch(object->GetName())) +
         "(" + object->GetName() + ")";
}

void DesignViewerProject::DisconnectDeadObject(Viewable* dying) {
  design_viewer::ForgetEntry(scenarios_, current_, dying);
  Viewable::DisconnectDeadObject(dying);
}

unsigned char DesignViewerProject::StoreClassData(BinaryFile& file) {
  // The second list of older programs is stored empty.
  return StoreProjectPointer(file,
                             design_viewer::StoredReference(this, project_)) &&
         Viewable::StorePointer(file, current_) &&
         design_viewer::StoreEntries(file, scenarios_) && file.Write(0);
}

unsigned char DesignViewerProject::RecallClassData(BinaryFile& file) {
  const ObjectTypeInfo* type = DesignViewerScenarioObjectType();
  IPemarProject* project = nullptr;
  if (!design_viewer::RecallProject(file, this, &project)) return 0;
  // Kept at once, so that a failure further on still gives it back.
  design_viewer::GiveBackProject(this, project_, counted_);
  project_ = project;
  counted_ = project != nullptr;

  DesignViewerScenario* current = nullptr;
  ScenarioViewList entries;
  ScenarioViewList dropped;
  if (!design_viewer::RecallEntry(file, type, current) ||
      !design_viewer::RecallEntries(file, type, this, entries) ||
      !design_viewer::RecallEntries(file, type, this, dropped)) {
    return 0;
  }
  for (DesignViewerScenario* entry : entries) Append(entry);
  current_ = design_viewer::IsListed(scenarios_, current) ? current : nullptr;
  return 1;
}

}  // namespace pemar
