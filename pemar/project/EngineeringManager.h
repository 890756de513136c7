// EngineeringManager: the per-case registry of engineering objects and the
// case's link to the process-case engine.
//
// Registry. The manager lists the case's engineering objects and holds
// their references: one per AddEngObject that returned the object, plus any
// that its creator gave it (a creator may keep one for the list, so that the
// object outlives RecallFixUp). RemoveEngObject drops one; an object whose
// count reaches 0 destroys itself and leaves the list. Destruction releases
// every listed object until it is gone. Pointers handed out by the lookups are
// borrowed: no reference is added.
//
// Stored form (on an IPemarBinaryFile): one chunk of revision 2 holding the
// int number of objects, then for each object its long type number and its
// own record. Chunks of revision 0 and 1 hold instead the int number of
// type-501 objects and their records, then the int number of type-601
// objects and their records.
//
// Recall makes every stored object through the creator registry
// (AddEngObject(null, type, 1)), recalls it, and keeps it on a recall list
// until RecallFixUp drops the reference that the recall made, after the
// case has resolved its cross-references. The file is untrusted: a negative
// count, or one that the bytes left in the chunk could not hold (a type
// number is 4 bytes; an old-revision record at least a chunk header), fails
// before anything is made, and so does a negative revision. A type that
// nothing registered fails the recall. A failed recall takes every object it
// made off the list and releases it until it is destroyed (they are new,
// made under a null name, so nothing else refers to them), so the registry
// and the recall list are as they were.
//
// Cases. External process cases are kept by name, each holding one
// reference; ClearVistaroCase and ClearAllVistaroCases release them.
// Destruction does not release stored cases, since the engine that takes
// them back may already have shut down; whoever stores cases clears them
// while the engine still runs. The engine link is made on first need by
// every case operation and remembers the console's transaction number, so
// that older console text is never relayed. UpdateErrors relays new console
// text as ConsoleErrors (70) with the manager (EngineeringManager*) as data.
//
// Everything runs on the caller's thread; nothing is locked.

#ifndef PEMAR_PROJECT_ENGINEERINGMANAGER_H_
#define PEMAR_PROJECT_ENGINEERINGMANAGER_H_

#include <map>
#include <memory>
#include <vector>

#include "pemar/framework/Export.h"
#include "pemar/framework/ProcessCaseEngine.h"
#include "pemar/framework/Text.h"
#include "pemar/persist/PemarBaseObject.h"
#include "pemar/persist/PemarBinaryFile.h"
#include "pemar/project/IEngineeringManager.h"
#include "pemar/project/Notification.h"

namespace pemar {

// Size of a buffer that receives an automation identifier.
inline constexpr int kAutomationIdSize = 32;

// The revision of the chunk that Store writes: a type number before each
// object's record. Older revisions list type-501 then type-601 objects.
inline constexpr int kEngineeringManagerRevision = 2;

class PEMAR_EXPORT EngineeringManager : public IEngineeringManager,
                                        public NotificationSender {
 public:
  EngineeringManager();
  ~EngineeringManager() override;
  EngineeringManager(const EngineeringManager&) = delete;
  EngineeringManager& operator=(const EngineeringManager&) = delete;

  // Registry. A null name finds nothing.
  void GetProjectByName(const char* name, IPemarBaseObject** result,
                        long type) override;
  void GetProjectByNum(int index, long type,
                       IPemarBaseObject** result) override;
  // Goes on only for the project types 501, 502, 601, 604, 605, 606, 607,
  // 609, 612, 701 and 6672, or with a non-zero flag. Finds the object of that
  // name answering `type`, or creates one through the creator registry (with
  // this manager for 501, 502, 601, 607, 609 and 612; with none for 604, 605,
  // 606, 701 and 6672; other types are never created). Adds one reference,
  // lists the object once, and returns it; null when none can be had.
  IPemarBaseObject* AddEngObject(const char* name, long type,
                                 char flag) override;
  // Drops one reference; an object that destroyed itself leaves the list.
  // 0 for null, else 1.
  hresult RemoveEngObject(IPemarBaseObject* object) override;
  int GetProjectSize(long type) override;
  // Does nothing: names are not made unique here.
  void UniqueName(const Text& name);

  // Cases. Null names find nothing and store nothing.
  void AddCase(const char* name, Case* theCase) override;
  Case* GetVistaroCase(const char* name) override;
  void ClearVistaroCase(const char* name) override;
  void ClearAllVistaroCases();
  // Makes a case of that name from an external file. `source`: 0 a process
  // simulator's case file, 1 and 2 other simulators' files, 3 a sheet of the
  // open workbook; other sources read nothing. 1 when the read succeeded.
  hresult CreateVistaroCase(const char* file, const char* caseName, char source,
                            char* sheet, IDispatch* application,
                            const char* extra, CVList* options,
                            bool flag) override;
  hresult UpdateVistaroCase(const char* file, const char* caseName, char source,
                            IDispatch* application, CVList* options);
  hresult InterpretVistaroCase(const char* caseName,
                               InterpretCaseCallback callback,
                               void* data) override;
  // Builds a temporary case from a simulator file and hands it to the
  // callback when the build succeeds. Always 1.
  hresult BuildOrvexCase(const char* file, InterpretCaseCallback callback,
                         void* data);
  // Saves the case as <folder>/orvex.xml and has the simulator save it under
  // `saveName`. Always 1 once both links exist.
  hresult BuildOrvexCaseFromVisCase(const char* saveName, Case* vistaroCase,
                                    const char* folder) override;
  // Writes the automation identifier chosen by the configuration value
  // "MeridORVEXVersion" (0 to 4) into `buffer` (kAutomationIdSize bytes).
  // Any other value, NaN included, leaves the buffer as it was.
  void GetMeridORVEXVersion(char* buffer);

  // Spreadsheets. The manager owns the workbook; opening another replaces
  // it.
  ExcelType OpenExcelFile(const char* path) override;
  // The workbook's wrapper (owned by the workbook), or null.
  ExcelWrapper* GetExcelWrapper() override;
  short CloseExcelFile() override;

  // Relays new console text to the receivers. Always true.
  unsigned char UpdateErrors();

  // Persistence. False for a null file and at the first failure.
  unsigned char Store(IPemarBinaryFile* file);
  unsigned char Recall(IPemarBinaryFile* file);
  // Drops the references that the last recalls made; objects that nothing
  // else refers to are destroyed here.
  void RecallFixUp();

 private:
  // Makes the engine link when absent.
  void EnsureLink();
  // Makes the simulator link when absent; false when it cannot be made.
  bool EnsureSimulatorLink();
  bool IsListed(IPemarBaseObject* object) const;
  // Makes, recalls and collects `count` objects of `type` (0: read each
  // type from the file).
  bool RecallObjects(IPemarBinaryFile* file, int count, long type,
                     std::vector<IPemarBaseObject*>* made);

  std::vector<IPemarBaseObject*> objects_;
  std::unique_ptr<std::vector<IPemarBaseObject*>> recallList_;
  std::map<Text, Case*> cases_;
  std::unique_ptr<VistaroInterface> link_;
  OrvexInterface* simulator_ = nullptr;
  short consoleTransaction_ = 0;
  std::unique_ptr<ExcelBuild> workbook_;
};

}  // namespace pemar

#endif  // PEMAR_PROJECT_ENGINEERINGMANAGER_H_
