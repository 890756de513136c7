// Short ways to reach a case's named managers from any framework document.
//
// Each function takes a document that should be a case and answers null (or
// does nothing) for a null document or argument. Only CaseBuildManager makes
// a manager that does not exist yet (through the builder registered under
// its name); the others only find one.

#ifndef PEMAR_CASE_CASEMANAGERS_H_
#define PEMAR_CASE_CASEMANAGERS_H_

#include "pemar/framework/Document.h"
#include "pemar/framework/Export.h"
#include "pemar/framework/Viewable.h"

namespace pemar {

class IEngineeringManager;

// The managers of the suite's other libraries derive from these; the case
// knows them only by name.
class PEMAR_EXPORT FluidPackageManager : public Viewable {
 public:
  using Viewable::Viewable;
  ~FluidPackageManager() override;
};
class PEMAR_EXPORT StreamManager : public Viewable {
 public:
  using Viewable::Viewable;
  ~StreamManager() override;
};
class PEMAR_EXPORT TRCView : public Viewable {
 public:
  using Viewable::Viewable;
  ~TRCView() override;
};

// The manager of that name, built on first use; null when none can be had.
PEMAR_EXPORT Viewable* CaseBuildManager(Document* document, const char* name);
// Holds `manager` under `name` unless a manager of that name is held
// already (the first stays).
PEMAR_EXPORT void CaseAddManager(Document* document, Viewable* manager,
                                 const char* name);
// The manager the case holds under `name`, never building one; null when it
// holds none.
PEMAR_EXPORT Viewable* CaseExistingManager(Document* document,
                                           const char* name);
// Existing managers only; null when the case holds none of that name or the
// one it holds is of another class. The feature manager's is beside its
// class (CaseFeatureManager in pemar/features/ExpMgrView.h).
PEMAR_EXPORT FluidPackageManager* CaseFluidPackageManager(Document* document);
PEMAR_EXPORT StreamManager* CaseStreamManager(Document* document);
PEMAR_EXPORT TRCView* CaseTRCViewManager(Document* document);
// The case's engineering manager (owned by the case); null for a document
// that is not a case.
PEMAR_EXPORT IEngineeringManager* CaseEngineeringManager(Document* document);

}  // namespace pemar

#endif  // PEMAR_CASE_CASEMANAGERS_H_
