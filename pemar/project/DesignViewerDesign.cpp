// The design view of the design viewer: one design entry of a scenario view.

#include "pemar/framework/BinaryFile.h"
#include "pemar/project/DesignViewer.h"
#include "pemar/project/DesignViewerInternal.h"

namespace pemar {
namespace {

using design_viewer::ViewInfoT;

const ObjectTypeInfo* const kDesignViewerDesignTypeRegistered = DesignViewerDesignObjectType();

}  // namespace

const ObjectTypeInfo* DesignViewerDesignObjectType() {
  static const auto* type = new ViewInfoT<DesignViewerDesign>(
      "DesignViewerDesignObject", "DesignViewerDesign");
  (void)kDesignViewerDesignTypeRegistered;
  return type;
}

DesignViewerDesign::DesignViewerDesign(DesignViewerScenario* creator,
                                       Viewable* parent, const Text& name,
                                       const ObjectTypeInfo* type)
    : Viewable(parent, type) {
  SetName(name);
  SetCreator(creator);
}

DesignViewerDesign::DesignViewerDesign(ObjectInstanceInfo& info)
    : Viewable(info) {}

DesignViewerDesign::~DesignViewerDesign() = default;

void DesignViewerDesign::SetCreator(DesignViewerScenario* creator) {
  if (creator_ != nullptr) design_viewer::Unwatch(creator_, this);
  creator_ = creator;
  if (creator_ != nullptr) creator_->AddDeathPostee(this);
}

void DesignViewerDesign::DisconnectDeadObject(Viewable* dying) {
  if (dying == creator_) creator_ = nullptr;
  Viewable::DisconnectDeadObject(dying);
}

unsigned char DesignViewerDesign::StoreClassData(BinaryFile& file) {
  return Viewable::StorePointer(file, creator_);
}

unsigned char DesignViewerDesign::RecallClassData(BinaryFile& file) {
  DesignViewerScenario* creator = nullptr;
  if (!design_viewer::RecallEntry(file, DesignViewerScenarioObjectType(),
                                  creator)) {
    return 0;
  }
  SetCreator(creator);
  return 1;
}

}  // namespace pemar
