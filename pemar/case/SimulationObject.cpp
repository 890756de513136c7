#include "pemar/case/SimulationObject.h"

#include "pemar/case/SimulationCase.h"
#include "pemar/framework/Types.h"

namespace pemar {
namespace {

class SimulationObjectInfoT : public ObjectTypeInfo {
 public:
  using ObjectTypeInfo::ObjectTypeInfo;
  Viewable* CreateInstanceForRecall(ObjectInstanceInfo& info) const override {
    return new SimulationObject(info);
  }
};

const ObjectTypeInfo* const kSimulationObjectTypeRegistered = SimulationObjectObjectType();

}  // namespace

const ObjectTypeInfo* SimulationObjectObjectType() {
  static SimulationObjectInfoT* type = [] {
    auto* t = new SimulationObjectInfoT(
        "SimulationObjectObject", ViewableObjectType(), "SimulationObject", 0,
        0, "simobj", kEmptyMarker);
    t->SetClassDataVersion(2);
    t->SetDisplayName("Simulation Object");
    return t;
  }();
  return type;
}

SimulationObject::SimulationObject(Viewable* owner, const ObjectTypeInfo* type)
    : Viewable(owner, type) {
  (void)kSimulationObjectTypeRegistered;
}

SimulationObject::SimulationObject(ObjectInstanceInfo& info) : Viewable(info) {}

SimulationObject::SimulationObject(const SimulationObject& other,
                                   Viewable* owner, const ObjectTypeInfo* type)
    : Viewable(owner, type) {
  SetName(other.GetName());
}

SimulationObject::~SimulationObject() = default;

SimulationCase* SimulationObject::Case() {
  Document* document = GetDocument();
  if (document == nullptr || !document->IsA(SimCaseObjectType())) {
    return nullptr;
  }
  return dynamic_cast<SimulationCase*>(document);
}

Viewable* SimulationObject::AttachedObject(const VarDescription& desc) {
  if (desc.IsSelf()) return this;
  if (desc.Number() == 200 && desc.IsOfType("SimCase", SimCaseObjectType())) {
    SimulationCase* theCase = Case();
    if (theCase == nullptr) return nullptr;
    const VarDescription* next = desc.GetNextLink();
    if (next != nullptr) return theCase->AttachedObject(*next);
    return theCase;
  }
  return Viewable::AttachedObject(desc);
}

Text SimulationObject::AttachedName(Viewable* object) {
  if (object != nullptr && object == Case()) return "SimCase.200";
  return Viewable::AttachedName(object);
}

}  // namespace pemar
