#include "pemar/framework/ProcessCaseEngine.h"

#include <algorithm>
#include <cstring>
#include <map>

namespace pemar {
namespace {

constexpr char kNoSimulator[] = "No process simulator is available";
constexpr char kNoSpreadsheetReader[] = "No spreadsheet reader is available";

struct EngineState {
  EngineScript script;
  ConsoleScript console;
  std::vector<std::string> log;
  // Where the text of each transaction written by WriteConsoleLine starts.
  std::map<short, std::size_t> starts;
  CaseModel defaultModel;
  Case defaultCase;
};

EngineState& State() {
  static auto* state = new EngineState;
  return *state;
}

std::string Arg(const char* text) { return text != nullptr ? text : ""; }

}  // namespace

EngineScript& Engine() { return State().script; }
ConsoleScript& Console() { return State().console; }
std::vector<std::string>& EngineCallLog() { return State().log; }

void ResetProcessCaseEngine() {
  EngineState& state = State();
  state.script = EngineScript();
  state.console = ConsoleScript();
  state.log.clear();
  state.starts.clear();
}

void WriteConsoleLine(const std::string& line) {
  ConsoleScript& console = Console();
  ++console.transaction;
  State().starts[console.transaction] = console.text.size();
  console.text += line;
  console.text += '\n';
  console.size = static_cast<int>(console.text.size());
}

Case* CASENew() {
  auto factory = Engine().caseFactory;
  return factory != nullptr ? factory() : nullptr;
}

struct CaseReleaseAccess {
  static long Drop(Case* theCase) { return --theCase->refs_; }
};

void CASERelease(Case* theCase) {
  if (theCase == nullptr || theCase == &State().defaultCase) return;
  if (CaseReleaseAccess::Drop(theCase) <= 0) delete theCase;
}

Case* VISTAROGetDefaultCase() {
  EngineState& state = State();
  state.defaultCase.SetModel(
      state.script.defaultCaseHasModel ? &state.defaultModel : nullptr);
  return &state.defaultCase;
}

CaseModel* CASEGetModel(Case* theCase) {
  return theCase != nullptr ? theCase->GetModel() : nullptr;
}

void CASESetModel(Case* theCase, CaseModel* model) {
  if (theCase != nullptr) theCase->SetModel(model);
}

unsigned char CASEBuildFromKCS(Case*, const char*, int, int,
                               const char* automationId, IDispatch*, CVList*,
                               bool) {
  EngineCallLog().push_back("CASEBuildFromKCS " + Arg(automationId));
  WriteConsoleLine(kNoSimulator);
  return 0;
}

unsigned char CASEUpdateFromKCS(Case*, const char*, IDispatch*, CVList*) {
  EngineCallLog().push_back("CASEUpdateFromKCS");
  WriteConsoleLine(kNoSimulator);
  return 0;
}

unsigned char CASESave(Case* theCase, const char* path) {
  EngineCallLog().push_back("CASESave " + Arg(path));
  return theCase != nullptr && path != nullptr;
}

short VISTAROGetConsoleTransaction() { return Console().transaction; }

int VISTAROGetConsoleSize() { return Console().size; }

void VISTAROGetNewConsoleText(short transaction, char* buffer) {
  const ConsoleScript& console = Console();
  if (buffer == nullptr || console.size < 0) return;
  const std::size_t capacity = static_cast<std::size_t>(console.size) + 128;
  if (console.fillWholeBuffer) {
    for (std::size_t i = 0; i < capacity; ++i) {
      buffer[i] =
          console.text.empty() ? 'x' : console.text[i % console.text.size()];
    }
    return;
  }
  // Text set by a test has no transactions of its own and is new as a
  // whole.
  const auto& starts = State().starts;
  auto first = starts.upper_bound(transaction);
  std::size_t from = first == starts.end() ? 0 : first->second;
  from = std::min(from, console.text.size());
  const std::size_t n = std::min(console.text.size() - from, capacity - 1);
  std::memcpy(buffer, console.text.data() + from, n);
  buffer[n] = '\0';
}

long OrvexInterface::Release() {
  long left = --refs_;
  if (left <= 0) delete this;
  return left;
}

unsigned char OrvexInterface::_set_FilePath(const char* path) {
  EngineCallLog().push_back("_set_FilePath " + Arg(path));
  return path != nullptr;
}

unsigned char OrvexInterface::InitOrvex() {
  EngineCallLog().push_back("InitOrvex");
  WriteConsoleLine(kNoSimulator);
  return 0;
}

unsigned char OrvexInterface::_saveAs_File(const char* name) {
  EngineCallLog().push_back("_saveAs_File " + Arg(name));
  return 1;
}

unsigned char OrvexInterface::UninitOrvex() {
  EngineCallLog().push_back("UninitOrvex");
  return 1;
}

unsigned char ReadMeridCase(const char*, Case*, VistaroInterface*, IDispatch*,
                            const char*, CVList*, bool) {
  EngineCallLog().push_back("ReadMeridCase");
  WriteConsoleLine(kNoSimulator);
  return 0;
}

unsigned char ReadProIICase(const char*, Case*, VistaroInterface*) {
  EngineCallLog().push_back("ReadProIICase");
  WriteConsoleLine(kNoSimulator);
  return 0;
}

int ExcelBuild::OpenExcelFile(const char*) { return 0; }

unsigned char ExcelBuild::ReadExcelCase(Case*, VistaroInterface*, char*) {
  EngineCallLog().push_back("ReadExcelCase");
  WriteConsoleLine(kNoSpreadsheetReader);
  return 0;
}

}  // namespace pemar
