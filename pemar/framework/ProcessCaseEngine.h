// Stand-in for the closed process-case engine and its console, the external
// simulator's automation and the readers of simulator files and
// spreadsheets.
//
// It offers the least that the engineering manager calls on: reference-
// counted cases with a model and a refresh flag, the default case, building
// and saving cases, the console's transaction number and new text, the
// simulator link and the spreadsheet workbook. No simulator and no
// spreadsheet reader is available here: every read of an external file
// fails and says so on the console ("No process simulator is available",
// "No spreadsheet reader is available"), as the real engine reports its
// errors there.
//
// Process-wide state that tests steer (EngineScript, Console) and a log of
// the calls that tests inspect (EngineCallLog); ResetProcessCaseEngine puts
// all of it back. Everything runs on the caller's thread.

#ifndef PEMAR_FRAMEWORK_PROCESSCASEENGINE_H_
#define PEMAR_FRAMEWORK_PROCESSCASEENGINE_H_

#include <string>
#include <vector>

#include "pemar/framework/Containers.h"
#include "pemar/framework/Export.h"

struct IDispatch;

namespace pemar {

class Case;
// Drops one reference to a case; null is ignored.
PEMAR_EXPORT void CASERelease(Case* theCase);

// The model (thermodynamic set-up) a case is built on. Opaque.
class PEMAR_EXPORT CaseModel {};

// A process case of the engine. Reference counted: made with one reference,
// held by its maker; every holder that keeps it adds one, and CASERelease
// drops one, destroying the case at 0.
class PEMAR_EXPORT Case {
 public:
  Case() = default;
  ~Case() = default;
  Case(const Case&) = delete;
  Case& operator=(const Case&) = delete;

  long AddRef() { return ++refs_; }
  long RefCount() const { return refs_; }
  void SetCaseRefresh(int on) { refresh_ = on; }
  int GetCaseRefresh() const { return refresh_; }
  CaseModel* GetModel() const { return model_; }
  void SetModel(CaseModel* model) { model_ = model; }

 private:
  // CASERelease's access to the count (a friend function would lose its
  // dllimport on Windows).
  friend struct CaseReleaseAccess;

  long refs_ = 1;
  int refresh_ = 0;
  CaseModel* model_ = nullptr;
};

// The link to the engine. The argument is an owner the real engine accepts;
// the library always passes null.
class PEMAR_EXPORT VistaroInterface {
 public:
  explicit VistaroInterface(void* owner) : owner_(owner) {}
  void* GetOwner() const { return owner_; }

 private:
  void* owner_;
};

// A new case with one reference, or null when the engine cannot make one.
// This stand-in makes none unless a test installs a factory (EngineScript).
PEMAR_EXPORT Case* CASENew();
// The engine's default case, whose model new cases take. Never released.
PEMAR_EXPORT Case* VISTAROGetDefaultCase();
// The case's model, or null (also for a null case).
PEMAR_EXPORT CaseModel* CASEGetModel(Case* theCase);
PEMAR_EXPORT void CASESetModel(Case* theCase, CaseModel* model);
// Builds a case from a process simulator's case file through the simulator
// automation named by `automationId` (may be null). Logged as
// "CASEBuildFromKCS <id>". Fails without a simulator.
PEMAR_EXPORT unsigned char CASEBuildFromKCS(Case* theCase, const char* file,
                                            int first, int second,
                                            const char* automationId,
                                            IDispatch* application,
                                            CVList* options, bool flag);
// Updates a case from a simulator's case file. Fails without a simulator.
PEMAR_EXPORT unsigned char CASEUpdateFromKCS(Case* theCase, const char* file,
                                             IDispatch* application,
                                             CVList* options);
// Saves a case under a path. Logged as "CASESave <path>"; fails for a null
// case or path.
PEMAR_EXPORT unsigned char CASESave(Case* theCase, const char* path);

// The console. Its text is kept with a transaction number that grows with
// every new text.
// The current transaction number.
PEMAR_EXPORT short VISTAROGetConsoleTransaction();
// The size of the console's new text; negative on an error.
PEMAR_EXPORT int VISTAROGetConsoleSize();
// Writes the text newer than `transaction`, terminated, into `buffer`,
// which must hold VISTAROGetConsoleSize() + 128 bytes.
PEMAR_EXPORT void VISTAROGetNewConsoleText(short transaction, char* buffer);

// The external simulator's automation. Reference counted: made with no
// reference; Release destroys it at 0. Each operation is logged by its name
// (with its argument) and reports success; InitOrvex fails without a
// simulator.
class PEMAR_EXPORT OrvexInterface {
 public:
  OrvexInterface() = default;
  OrvexInterface(const OrvexInterface&) = delete;
  OrvexInterface& operator=(const OrvexInterface&) = delete;

  long AddRef() { return ++refs_; }
  long Release();

  unsigned char _set_FilePath(const char* path);
  unsigned char InitOrvex();
  unsigned char _saveAs_File(const char* name);
  unsigned char UninitOrvex();

 private:
  ~OrvexInterface() = default;
  long refs_ = 0;
};

// Readers of external simulators' case files. Both fail: no simulator.
PEMAR_EXPORT unsigned char ReadMeridCase(const char* file, Case* theCase,
                                         VistaroInterface* link,
                                         IDispatch* application,
                                         const char* extra, CVList* options,
                                         bool flag);
PEMAR_EXPORT unsigned char ReadProIICase(const char* file, Case* theCase,
                                         VistaroInterface* link);

// The spreadsheet reader's view of an open workbook. Opaque.
class PEMAR_EXPORT ExcelWrapper {};

// A spreadsheet workbook. No reader is available: OpenExcelFile gives
// ExcelNone (0) and ReadExcelCase fails.
class PEMAR_EXPORT ExcelBuild {
 public:
  // Returns an ExcelType value of IEngineeringManager.h.
  int OpenExcelFile(const char* path);
  ExcelWrapper* GetWrapper() { return &wrapper_; }
  unsigned char ReadExcelCase(Case* theCase, VistaroInterface* link,
                              char* sheet);

 private:
  ExcelWrapper wrapper_;
};

// What tests steer.
struct EngineScript {
  // Makes CASENew's cases; null (the default) makes CASENew answer null.
  Case* (*caseFactory)() = nullptr;
  // Whether the default case has a model.
  bool defaultCaseHasModel = true;
};
PEMAR_EXPORT EngineScript& Engine();

// What the console answers. Console text written by the stand-in itself
// (WriteConsoleLine) is appended to `text` under a new transaction number,
// with `size` following it; VISTAROGetNewConsoleText then gives the text of
// the transactions after the one asked for. Text that a test puts in `text`
// directly counts as new as a whole.
struct ConsoleScript {
  short transaction = 0;
  // Answered by VISTAROGetConsoleSize.
  int size = 0;
  // Written by VISTAROGetNewConsoleText, cut to size + 127 characters and
  // terminated.
  std::string text;
  // Instead, fill the whole size + 128 bytes with text and no terminator.
  bool fillWholeBuffer = false;
};
PEMAR_EXPORT ConsoleScript& Console();
// Appends a line to the console: the text grows by the line and a line
// feed, and the transaction number moves on.
PEMAR_EXPORT void WriteConsoleLine(const std::string& line);

// Calls that tests inspect, in order.
PEMAR_EXPORT std::vector<std::string>& EngineCallLog();

// Puts the engine, the console and the log back to their start.
PEMAR_EXPORT void ResetProcessCaseEngine();

}  // namespace pemar

#endif  // PEMAR_FRAMEWORK_PROCESSCASEENGINE_H_
