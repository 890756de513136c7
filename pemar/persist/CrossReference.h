// References to engineering objects of other libraries, stored by name.
//
// A reference is one chunk of revision 1 holding one to three Text values:
//   null reference     "NULL_OBJECT"
//   project            project name
//   scenario           project name, scenario name
//   design             project name, scenario name, design name
//   complex column     project name (the caller's), column name
// A reference whose chain has a null link (a design without a scenario, a
// scenario without a project, an object without a name) is stored as
// "NULL_OBJECT": it could not be resolved anyway, and the file stays
// readable.
//
// On recall the names are resolved through the case's registry of
// engineering objects (its engineering manager) once all objects exist. A last
// object (scenario, design, column) that no longer exists by name recalls as
// null with success; a missing project, and for a design a missing scenario,
// make the recall fail. A null manager fails before the file is touched. A
// recall that fails after the first text leaves the chunk open; the caller
// abandons the whole recall.
//
// All functions return non-zero on success. Result pointers are borrowed,
// except RecallProjectPointer's (below).

#ifndef PEMAR_PERSIST_CROSSREFERENCE_H_
#define PEMAR_PERSIST_CROSSREFERENCE_H_

#include "pemar/framework/BinaryFile.h"
#include "pemar/framework/Export.h"
#include "pemar/persist/SuiteInterfaces.h"

namespace pemar {

class IPemarBaseObject;

PEMAR_EXPORT unsigned char StoreProjectPointer(BinaryFile& file,
                                               IPemarBaseObject* project);
// Resolves a project reference with AddEngObject(name, type, 1), which finds
// or creates the project; *result receives its interface for `type`, or null.
// *result is not cleared first, and is left as it was for a null reference.
// The project comes with the reference AddEngObject adds for the caller, who
// gives it back with RemoveEngObject when done with it.
PEMAR_EXPORT unsigned char RecallProjectPointer(BinaryFile& file,
                                                IEngObjectRegistry* manager,
                                                void** result, long type);

PEMAR_EXPORT unsigned char StoreScenarioPointer(
    BinaryFile& file, IHeatIntegrationScenario* scenario);
PEMAR_EXPORT unsigned char RecallScenarioPointer(
    BinaryFile& file, IEngObjectRegistry* manager,
    IHeatIntegrationScenario** result);
PEMAR_EXPORT unsigned char RecallScenarioTotalSitePointer(
    BinaryFile& file, IEngObjectRegistry* manager,
    IHeatIntegrationScenario** result);

PEMAR_EXPORT unsigned char StoreDesignPointer(BinaryFile& file,
                                              IHENDesign* design);
PEMAR_EXPORT unsigned char RecallDesignPointer(BinaryFile& file,
                                               IEngObjectRegistry* manager,
                                               IHENDesign** result);
PEMAR_EXPORT unsigned char RecallDesignTotalSitePointer(
    BinaryFile& file, IEngObjectRegistry* manager, IHENDesign** result);

PEMAR_EXPORT unsigned char StoreScenarioPointer(BinaryFile& file,
                                                ISTScenario* scenario);
PEMAR_EXPORT unsigned char RecallScenarioPointer(BinaryFile& file,
                                                 IEngObjectRegistry* manager,
                                                 ISTScenario** result);

PEMAR_EXPORT unsigned char StoreDesignPointer(BinaryFile& file,
                                              ISTDesign* design);
PEMAR_EXPORT unsigned char RecallDesignPointer(BinaryFile& file,
                                               IEngObjectRegistry* manager,
                                               ISTDesign** result);

// Writes exactly what StoreScenarioPointer writes for an ISTScenario.
PEMAR_EXPORT unsigned char StorePemarScenarioPointer(BinaryFile& file,
                                                     IPemarScenario* scenario);
PEMAR_EXPORT unsigned char RecallPemarScenarioPointer(
    BinaryFile& file, IEngObjectRegistry* manager, IPemarScenario** result);

// `projectName` is stored unchanged as the project's name.
PEMAR_EXPORT unsigned char StoreComplexColumnPointer(BinaryFile& file,
                                                     IComplexColumn* column,
                                                     const char* projectName);
PEMAR_EXPORT unsigned char RecallComplexColumnPointer(
    BinaryFile& file, IEngObjectRegistry* manager, IComplexColumn** result);

}  // namespace pemar

#endif  // PEMAR_PERSIST_CROSSREFERENCE_H_
