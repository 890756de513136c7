// The framework types of the case and of the old case-parameter placeholder.

#include "pemar/case/SimulationCase.h"
#include "pemar/case/SimulationObject.h"
#include "pemar/framework/Types.h"

namespace pemar {
namespace {

class SimCaseObjectInfoT : public ObjectTypeInfo {
 public:
  using ObjectTypeInfo::ObjectTypeInfo;
  Viewable* CreateInstance() const override {
    return new SimulationCase(Text(), this);
  }
  unsigned char StoreClassData(BinaryFile& file,
                               Viewable* object) const override {
    auto* theCase = dynamic_cast<SimulationCase*>(object);
    return theCase != nullptr ? theCase->StoreClassData(file) : 0;
  }
  unsigned char RecallClassData(BinaryFile& file,
                                Viewable* object) const override {
    auto* theCase = dynamic_cast<SimulationCase*>(object);
    return theCase != nullptr ? theCase->RecallClassData(file) : 0;
  }
};

// Files of old programs stored the case parameters as a separate object.
// It is read into the owning case and then destroyed; it is never stored.
class OldCaseParamObjectInfoT : public ObjectTypeInfo {
 public:
  using ObjectTypeInfo::ObjectTypeInfo;
  Viewable* CreateInstanceForRecall(ObjectInstanceInfo& info) const override {
    return new Viewable(info);
  }
  unsigned char StoreClassData(BinaryFile& /*file*/,
                               Viewable* /*object*/) const override {
    return 0;
  }
  unsigned char RecallClassData(BinaryFile& file,
                                Viewable* object) const override {
    auto* theCase = dynamic_cast<SimulationCase*>(object->GetDocument());
    if (theCase == nullptr) return 0;
    return theCase->RecallOldCaseParameters(file);
  }
  unsigned char CheckRecalledPointers(Viewable* object) const override {
    return dynamic_cast<SimulationCase*>(object->GetDocument()) != nullptr;
  }
  void RecallFixUp(Viewable* object) const override { delete object; }
};

const ObjectTypeInfo* const kRegisteredCaseTypes[] = {SimCaseObjectType(),
                                                      OldCaseParamObjectType()};

}  // namespace

const ObjectTypeInfo* SimCaseObjectType() {
  static SimCaseObjectInfoT* type = [] {
    auto* t =
        new SimCaseObjectInfoT("SimCaseObject", DocumentObjectType(),
                               "SimulationCase", 0, 0, "pmcase", kEmptyMarker);
    t->SetClassDataVersion(kCaseClassDataVersion);
    t->SetDisplayName("Case");
    return t;
  }();
  (void)kRegisteredCaseTypes;
  return type;
}

const ObjectTypeInfo* OldCaseParamObjectType() {
  static OldCaseParamObjectInfoT* type = [] {
    auto* t = new OldCaseParamObjectInfoT(
        "OldCaseParamObject", SimulationObjectObjectType(), "OldCaseParameters",
        0, 0, "oldcase", kEmptyMarker);
    t->SetDisplayName("Old Case Parameters", "Old Case Parameters");
    return t;
  }();
  return type;
}

}  // namespace pemar
