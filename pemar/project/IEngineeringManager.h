// IEngineeringManager: the per-case registry of engineering objects.
//
// Each case document owns one engineering manager. It lists the case's
// engineering objects (projects of the suite's analysis libraries and any
// other IPemarBaseObject), finds them by name and type number, keeps them
// alive by reference counts, stores and recalls them with the case, and holds
// the case's external process cases. Type 1 matches every object. Its lookups
// by name are those that persistence resolves references with
// (IEngObjectRegistry, pemar/persist/SuiteInterfaces.h).

#ifndef PEMAR_PROJECT_IENGINEERINGMANAGER_H_
#define PEMAR_PROJECT_IENGINEERINGMANAGER_H_

#include "pemar/framework/Containers.h"
#include "pemar/framework/Export.h"
#include "pemar/framework/Types.h"
#include "pemar/persist/SuiteInterfaces.h"
#include "pemar/project/Notification.h"

struct IDispatch;

namespace pemar {

class Case;
class ExcelWrapper;
class IPemarBaseObject;
class VistaroInterface;

// Kind of spreadsheet file opened by OpenExcelFile.
enum ExcelType { ExcelNone = 0, ExcelWorkbook = 1 };

using InterpretCaseCallback = void (*)(VistaroInterface* link, Case* theCase,
                                       void* data);

class PEMAR_EXPORT IEngineeringManager : public virtual INotificationSender,
                                         public virtual IEngObjectRegistry {
 public:
  ~IEngineeringManager() override;

  virtual void ClearVistaroCase(const char* name) = 0;
  virtual hresult BuildOrvexCaseFromVisCase(const char* saveName,
                                            Case* vistaroCase,
                                            const char* folder) = 0;
  virtual hresult CreateVistaroCase(const char* file, const char* caseName,
                                    char source, char* sheet,
                                    IDispatch* application, const char* extra,
                                    CVList* options, bool flag) = 0;
  virtual hresult InterpretVistaroCase(const char* caseName,
                                       InterpretCaseCallback callback,
                                       void* data) = 0;
  virtual Case* GetVistaroCase(const char* name) = 0;
  // Sets *result to the first listed object of that name answering `type`,
  // or to null; adds no reference.
  void GetProjectByName(const char* name, IPemarBaseObject** result,
                        long type) override = 0;
  // The object at `index` among those answering `type`; *result is left
  // unchanged when there is none.
  virtual void GetProjectByNum(int index, long type,
                               IPemarBaseObject** result) = 0;
  // Finds, or creates and registers, the object of that name and type, and
  // adds a reference to it. Null when none can be had.
  IPemarBaseObject* AddEngObject(const char* name, long type,
                                 char flag) override = 0;
  virtual hresult RemoveEngObject(IPemarBaseObject* object) = 0;
  virtual int GetProjectSize(long type) = 0;
  virtual void AddCase(const char* name, Case* theCase) = 0;
  virtual ExcelType OpenExcelFile(const char* path) = 0;
  virtual ExcelWrapper* GetExcelWrapper() = 0;
  virtual short CloseExcelFile() = 0;
};

}  // namespace pemar

#endif  // PEMAR_PROJECT_IENGINEERINGMANAGER_H_
