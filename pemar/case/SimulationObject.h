// SimulationObject: the base of framework objects that belong to a case and
// need to reach it.
//
// The description "SimCase.200" names the owning case from such an object,
// so that a form or command can address the case's variables through it.

#ifndef PEMAR_CASE_SIMULATIONOBJECT_H_
#define PEMAR_CASE_SIMULATIONOBJECT_H_

#include "pemar/framework/Export.h"
#include "pemar/framework/ObjectTypeInfo.h"
#include "pemar/framework/Viewable.h"

namespace pemar {

class SimulationCase;

// "SimulationObjectObject": class data revision 2, file identifier "simobj".
PEMAR_EXPORT const ObjectTypeInfo* SimulationObjectObjectType();

class PEMAR_EXPORT SimulationObject : public Viewable {
 public:
  SimulationObject(Viewable* owner, const ObjectTypeInfo* type);
  explicit SimulationObject(ObjectInstanceInfo& info);
  // A copy of `other`'s name in a new owner, of `type`.
  SimulationObject(const SimulationObject& other, Viewable* owner,
                   const ObjectTypeInfo* type);
  ~SimulationObject() override;

  // The document this object belongs to when that document is a case; null
  // otherwise.
  SimulationCase* Case();

  // "SimCase.200" gives the owning case (then the rest of the description
  // is resolved on it); a description of the object itself gives the object.
  Viewable* AttachedObject(const VarDescription& desc) override;
  // "SimCase.200" for the owning case.
  Text AttachedName(Viewable* object) override;
};

}  // namespace pemar

#endif  // PEMAR_CASE_SIMULATIONOBJECT_H_
