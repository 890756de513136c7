#include "pemar/project/EngineeringManager.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

#include "pemar/framework/ConfigStore.h"
#include "pemar/framework/Messages.h"
#include "pemar/framework/Platform.h"

namespace pemar {
namespace {

constexpr long kAllObjects = 1;
constexpr long kHeatIntegrationType = 501;
constexpr long kSeparationType = 601;

// Bytes that each stored object takes at the least: its type number in
// revision 2; its record, one chunk, in older revisions.
constexpr std::uint64_t kMinEntryBytes = 4;
constexpr std::uint64_t kMinOldRecordBytes = ChunkHeader::kHeaderSize;

constexpr const char* kAutomationIds[] = {
    "ORVEX.Application.V8.8", "ORVEX.Application.V9.0",
    "ORVEX.Application.V10.0", "ORVEX.Application.V11.0",
    "ORVEX.Application.V12.0"};
constexpr const char* kLatestAutomationId = "ORVEX.Application.V12.0";

// Types that AddEngObject creates, and with which manager.
bool CreatedWithManager(long type) {
  switch (type) {
    case 501:
    case 502:
    case 601:
    case 607:
    case 609:
    case 612:
      return true;
    default:
      return false;
  }
}
bool CreatedWithoutManager(long type) {
  switch (type) {
    case 604:
    case 605:
    case 606:
    case 701:
    case 6672:
      return true;
    default:
      return false;
  }
}

// Drops every reference, the manager's and any others', so the object is
// destroyed: for objects that nothing outside the manager may keep.
void ReleaseUntilDestroyed(IPemarBaseObject* object) {
  while (object->Release() > 0) {
  }
}

bool Answers(IPemarBaseObject* object, long type) {
  void* typed = nullptr;
  object->QueryInterface(type, &typed);
  return typed != nullptr;
}

}  // namespace

EngineeringManager::EngineeringManager() = default;

EngineeringManager::~EngineeringManager() {
  link_.reset();
  if (simulator_ != nullptr) simulator_->Release();
  // One at a time off the front, so that an object's destructor that
  // removes others through this manager finds a consistent list.
  while (!objects_.empty()) {
    IPemarBaseObject* object = objects_.front();
    objects_.erase(objects_.begin());
    ReleaseUntilDestroyed(object);
  }
}

// ---------------------------------------------------------------- registry

void EngineeringManager::GetProjectByName(const char* name,
                                          IPemarBaseObject** result,
                                          long type) {
  if (result == nullptr) return;
  *result = nullptr;
  if (name == nullptr) return;
  for (IPemarBaseObject* object : objects_) {
    const char* id = object->GetMyIdentifier();
    if (id != nullptr && std::strcmp(id, name) == 0 && Answers(object, type)) {
      *result = object;
      return;
    }
  }
}

int EngineeringManager::GetProjectSize(long type) {
  return static_cast<int>(
      std::count_if(objects_.begin(), objects_.end(),
                    [type](IPemarBaseObject* o) { return Answers(o, type); }));
}

void EngineeringManager::GetProjectByNum(int index, long type,
                                         IPemarBaseObject** result) {
  if (result == nullptr || index < 0) return;
  int seen = 0;
  for (IPemarBaseObject* object : objects_) {
    if (!Answers(object, type)) continue;
    if (seen++ == index) {
      *result = object;
      return;
    }
  }
}

IPemarBaseObject* EngineeringManager::AddEngObject(const char* name, long type,
                                                   char flag) {
  const bool withManager = CreatedWithManager(type);
  const bool withoutManager = CreatedWithoutManager(type);
  if (!withManager && !withoutManager && flag == 0) return nullptr;
  IPemarBaseObject* object = nullptr;
  GetProjectByName(name, &object, type);
  if (object == nullptr) {
    if (withManager) {
      object = IPemarBaseObject::Create(type, this, name);
    } else if (withoutManager) {
      object = IPemarBaseObject::Create(type, nullptr, name);
    }
    if (object == nullptr) return nullptr;
  }
  object->AddRef();
  if (!IsListed(object)) objects_.push_back(object);
  return object;
}

hresult EngineeringManager::RemoveEngObject(IPemarBaseObject* object) {
  if (object == nullptr) return kRejected;
  if (object->Release() == 0) {
    // Only the address is compared: the object is gone.
    auto it = std::find(objects_.begin(), objects_.end(), object);
    if (it != objects_.end()) objects_.erase(it);
  }
  return kDone;
}

void EngineeringManager::UniqueName(const Text&) {}

bool EngineeringManager::IsListed(IPemarBaseObject* object) const {
  return std::find(objects_.begin(), objects_.end(), object) != objects_.end();
}

// ------------------------------------------------------------------- cases

void EngineeringManager::EnsureLink() {
  if (link_) return;
  link_ = std::make_unique<VistaroInterface>(nullptr);
  consoleTransaction_ = VISTAROGetConsoleTransaction();
}

bool EngineeringManager::EnsureSimulatorLink() {
  if (simulator_ == nullptr) {
    simulator_ = new OrvexInterface;
    simulator_->AddRef();
  }
  return simulator_ != nullptr;
}

void EngineeringManager::AddCase(const char* name, Case* theCase) {
  if (name == nullptr || theCase == nullptr) return;
  theCase->AddRef();
  Case*& slot = cases_[Text(name)];
  // A case stored under the name before gives its place and its reference.
  if (slot != nullptr) CASERelease(slot);
  slot = theCase;
}

Case* EngineeringManager::GetVistaroCase(const char* name) {
  if (name == nullptr || !link_) return nullptr;
  auto it = cases_.find(Text(name));
  return it == cases_.end() ? nullptr : it->second;
}

void EngineeringManager::ClearVistaroCase(const char* name) {
  if (name == nullptr) return;
  auto it = cases_.find(Text(name));
  if (it == cases_.end()) return;
  Case* theCase = it->second;
  cases_.erase(it);
  CASERelease(theCase);
}

void EngineeringManager::ClearAllVistaroCases() {
  std::map<Text, Case*> cases;
  cases.swap(cases_);
  for (auto& [name, theCase] : cases) CASERelease(theCase);
}

void EngineeringManager::GetMeridORVEXVersion(char* buffer) {
  if (buffer == nullptr) return;
  const double value = GetConfigData(Text("MeridORVEXVersion"), 0.0);
  // Checked before it is cut to an integer: NaN and far-off values are
  // "any other value".
  if (!std::isfinite(value) || value < 0.0 || value >= 5.0) return;
  const char* id = kAutomationIds[static_cast<int>(value)];
  std::memcpy(buffer, id, std::strlen(id) + 1);
}

hresult EngineeringManager::CreateVistaroCase(
    const char* file, const char* caseName, char source, char* sheet,
    IDispatch* application, const char* extra, CVList* options, bool flag) {
  EnsureLink();
  if (source == 0 && !EnsureSimulatorLink()) return kRejected;
  if (caseName != nullptr) ClearVistaroCase(caseName);
  if (!link_ || file == nullptr || caseName == nullptr) return kRejected;
  Case* theCase = CASENew();
  if (theCase == nullptr) return kRejected;
  // The dictionary takes over the reference that CASENew gave.
  cases_[Text(caseName)] = theCase;

  CaseModel* model = CASEGetModel(VISTAROGetDefaultCase());
  if (model == nullptr) return kRejected;
  CASESetModel(theCase, model);
  UpdateErrors();
  SignalBusy(1);

  unsigned char read = 0;
  switch (source) {
    case 0: {
      // Empty first, so that an unknown configured version passes an empty
      // identifier rather than whatever the buffer held.
      char id[kAutomationIdSize] = "";
      if (application != nullptr) {
        std::memcpy(id, kLatestAutomationId,
                    std::strlen(kLatestAutomationId) + 1);
      } else {
        GetMeridORVEXVersion(id);
      }
      read =
          CASEBuildFromKCS(theCase, file, 0, 0, id, application, options, flag);
      break;
    }
    case 1:
      read = ReadMeridCase(file, theCase, link_.get(), application, extra,
                           options, flag);
      break;
    case 2:
      read = ReadProIICase(file, theCase, link_.get());
      break;
    case 3:
      read =
          workbook_ ? workbook_->ReadExcelCase(theCase, link_.get(), sheet) : 0;
      break;
    default:
      read = 1;
      break;
  }
  UpdateErrors();
  SignalBusy(0);
  return read ? kDone : kRejected;
}

hresult EngineeringManager::UpdateVistaroCase(const char* file,
                                              const char* caseName, char source,
                                              IDispatch* application,
                                              CVList* options) {
  EnsureLink();
  if (file == nullptr || caseName == nullptr) return kRejected;
  Case* theCase = GetVistaroCase(caseName);
  if (theCase == nullptr) return kRejected;
  if (!theCase->GetCaseRefresh()) theCase->SetCaseRefresh(1);
  SignalBusy(1);
  unsigned char read = 0;
  if (source == 0) {
    if (simulator_ != nullptr && application != nullptr) {
      read = CASEUpdateFromKCS(theCase, file, application, options);
    }
  } else if (source == 1) {
    read = ReadMeridCase(file, theCase, link_.get(), application, nullptr,
                         options, false);
  }
  UpdateErrors();
  SignalBusy(0);
  return read ? kDone : kRejected;
}

hresult EngineeringManager::InterpretVistaroCase(const char* caseName,
                                                 InterpretCaseCallback callback,
                                                 void* data) {
  EnsureLink();
  Case* theCase = GetVistaroCase(caseName);
  if (callback == nullptr || theCase == nullptr) return kRejected;
  callback(link_.get(), theCase, data);
  UpdateErrors();
  return kDone;
}

hresult EngineeringManager::BuildOrvexCase(const char* file,
                                           InterpretCaseCallback callback,
                                           void* data) {
  EnsureLink();
  Case* theCase = CASENew();
  if (theCase != nullptr) {
    CASESetModel(theCase, CASEGetModel(VISTAROGetDefaultCase()));
    const unsigned char built =
        CASEBuildFromKCS(theCase, file, 0, 0, nullptr, nullptr, nullptr, true);
    UpdateErrors();
    if (built && callback != nullptr) {
      callback(link_.get(), theCase, data);
      UpdateErrors();
    }
    CASERelease(theCase);
  }
  UpdateErrors();
  return kDone;
}

hresult EngineeringManager::BuildOrvexCaseFromVisCase(const char* saveName,
                                                      Case* vistaroCase,
                                                      const char* folder) {
  EnsureLink();
  if (!link_ || !EnsureSimulatorLink()) return kRejected;
  std::string path =
      WithTrailingSeparator(folder != nullptr ? folder : "") + "orvex.xml";

  bool ok = CASESave(vistaroCase, path.c_str());
  UpdateErrors();
  if (ok) {
    ok = simulator_->_set_FilePath(path.c_str());
    UpdateErrors();
  }
  if (ok) {
    ok = simulator_->InitOrvex();
    UpdateErrors();
  }
  if (ok && saveName != nullptr && *saveName != '\0') {
    ok = simulator_->_saveAs_File(saveName);
    UpdateErrors();
  }
  if (ok) {
    simulator_->UninitOrvex();
    UpdateErrors();
  }
  return kDone;
}

// ------------------------------------------------------------ spreadsheets

ExcelType EngineeringManager::OpenExcelFile(const char* path) {
  workbook_ = std::make_unique<ExcelBuild>();
  return workbook_->OpenExcelFile(path) == ExcelWorkbook ? ExcelWorkbook
                                                         : ExcelNone;
}

ExcelWrapper* EngineeringManager::GetExcelWrapper() {
  return workbook_ ? workbook_->GetWrapper() : nullptr;
}

short EngineeringManager::CloseExcelFile() {
  workbook_.reset();
  return 1;
}

// ------------------------------------------------------------------ errors

unsigned char EngineeringManager::UpdateErrors() {
  if (!link_) return 1;
  const short transaction = VISTAROGetConsoleTransaction();
  if (transaction == consoleTransaction_) return 1;
  const int size = VISTAROGetConsoleSize();
  // A negative size is the console's error: there is no text to relay.
  if (size >= 0) {
    // The console writes without a size; the buffer is zeroed and its last
    // byte forced to the terminator whatever the console wrote.
    std::vector<char> buffer(static_cast<std::size_t>(size) + 128, '\0');
    VISTAROGetNewConsoleText(consoleTransaction_, buffer.data());
    buffer.back() = '\0';
    SendAMessage(ConsoleErrors, buffer.data(), this);
  }
  consoleTransaction_ = transaction;
  return 1;
}

// ------------------------------------------------------------- persistence

unsigned char EngineeringManager::Store(IPemarBinaryFile* file) {
  if (file == nullptr) return 0;
  // What GetProjectByNum(i, 1, ...) gives for each i, in one walk.
  std::vector<IPemarBaseObject*> stored;
  for (IPemarBaseObject* object : objects_) {
    if (Answers(object, kAllObjects)) stored.push_back(object);
  }
  if (stored.size() > static_cast<std::size_t>(INT_MAX)) return 0;
  ChunkHeader* chunk = nullptr;
  bool ok = file->CreateChunk(&chunk, kEngineeringManagerRevision) &&
            file->Write(static_cast<int>(stored.size()));
  for (std::size_t i = 0; ok && i < stored.size(); ++i) {
    ok = file->Write(stored[i]->GetObjectType()) && stored[i]->Store(file);
  }
  // Closing also gives the handle back, so it runs on failure too.
  const bool closed = chunk != nullptr && file->CloseChunk(chunk);
  return ok && closed;
}

bool EngineeringManager::RecallObjects(IPemarBinaryFile* file, int count,
                                       long type,
                                       std::vector<IPemarBaseObject*>* made) {
  for (int i = 0; i < count; ++i) {
    long objectType = type;
    if (type == 0 && !file->Read(objectType)) return false;
    IPemarBaseObject* object = AddEngObject(nullptr, objectType, 1);
    if (object == nullptr) return false;
    // Collected before its recall, so that a failure releases it too.
    made->push_back(object);
    if (!object->Recall(file)) return false;
  }
  return true;
}

unsigned char EngineeringManager::Recall(IPemarBinaryFile* file) {
  if (file == nullptr) return 0;
  std::vector<IPemarBaseObject*> made;
  ChunkHeader* chunk = nullptr;
  bool ok = file->OpenChunk(&chunk);
  const int revision = ok ? file->Revision(chunk) : 0;
  ok = ok && revision >= 0;
  int count = 0;
  if (ok && revision >= kEngineeringManagerRevision) {
    ok = ReadEntryCount(file, kMinEntryBytes, &count) &&
         RecallObjects(file, count, 0, &made);
  } else if (ok) {
    ok = ReadEntryCount(file, kMinOldRecordBytes, &count) &&
         RecallObjects(file, count, kHeatIntegrationType, &made) &&
         ReadEntryCount(file, kMinOldRecordBytes, &count) &&
         RecallObjects(file, count, kSeparationType, &made);
  }
  const bool closed = chunk != nullptr && file->CloseChunk(chunk);
  if (!ok || !closed) {
    // Everything this recall made goes, newest first: each object is new
    // (made under a null name), so the references on it are the creator's
    // and the recall's, and nothing else can know it yet.
    for (auto it = made.rbegin(); it != made.rend(); ++it) {
      auto listed = std::find(objects_.begin(), objects_.end(), *it);
      if (listed == objects_.end()) continue;
      objects_.erase(listed);
      ReleaseUntilDestroyed(*it);
    }
    return 0;
  }
  if (!recallList_) {
    recallList_ = std::make_unique<std::vector<IPemarBaseObject*>>();
  }
  recallList_->insert(recallList_->end(), made.begin(), made.end());
  return 1;
}

void EngineeringManager::RecallFixUp() {
  if (!recallList_) return;
  std::unique_ptr<std::vector<IPemarBaseObject*>> list = std::move(recallList_);
  for (IPemarBaseObject* object : *list) {
    // An object that left the list meanwhile may be gone; only listed ones
    // are still ours to release.
    if (IsListed(object)) RemoveEngObject(object);
  }
}

}  // namespace pemar
