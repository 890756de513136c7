#include "web/Workspace.h"

#include <filesystem>
#include <system_error>

#include "pemar/case/SimulationCase.h"
#include "pemar/framework/Platform.h"
#include "pemar/framework/ScopedSettings.h"
#include "pemar/framework/Utf8PathInternal.h"
#include "pemar/utility/DefaultUtilManagerView.h"
#include "pemar/utility/IDefaultUtilityManager.h"
#include "pemar/utility/UtilityFiles.h"
#include "tooling/CaseProjects.h"

namespace pemar::web {
namespace {

namespace fs = std::filesystem;

bool Exists(const std::string& path) {
  std::error_code ec;
  return fs::exists(PathFromUtf8(path), ec);
}

std::string Warn(const Message& m) {
  return m.kind == MessageKind::kError ? "error" : "warning";
}

// The change notifications of the utility database, as pages name them.
const char* TopicOf(ChangeWhat what) {
  switch (what) {
    case UtilityAdded:
    case UtilityNameChanged:
    case UtilityRemoved:
    case DatabaseChanged:
    case UpdateAllViews:
      return "utilities";
    case HTCDefaultsChanged:
      return "coefficients";
    default:
      return nullptr;
  }
}

}  // namespace

bool CallMessages::HasError() const {
  for (const Message& m : messages) {
    if (m.kind == MessageKind::kError) return true;
  }
  return false;
}

nlohmann::ordered_json CallMessages::Json() const {
  nlohmann::ordered_json list = nlohmann::ordered_json::array();
  for (const Message& m : messages) {
    list.push_back(
        {{"kind", Warn(m)}, {"key", m.key.str()}, {"text", m.text.str()}});
  }
  return list;
}

class ScopedCallMessages::Sink : public MessageSink {
 public:
  explicit Sink(CallMessages* into) : into_(into) {}
  void Deliver(const Message& message) override {
    // Trace and status lines describe progress, not the outcome of a call.
    if (message.kind == MessageKind::kError ||
        message.kind == MessageKind::kTraceWarning ||
        message.kind == MessageKind::kResponse) {
      into_->messages.push_back(message);
    }
  }

 private:
  CallMessages* into_;
};

ScopedCallMessages::ScopedCallMessages(CallMessages* into)
    : sink_(std::make_unique<Sink>(into)),
      previous_(SetMessageSink(sink_.get())) {}

ScopedCallMessages::~ScopedCallMessages() { SetMessageSink(previous_); }

std::unique_ptr<Workspace> Workspace::Open(const OpenOptions& options,
                                           std::string& error) {
  std::unique_ptr<Workspace> w(new Workspace());
  w->kind_ = options.kind;
  w->path_ = options.path;
  w->recovered_ = options.recover;
  const std::string read =
      options.recover ? RecoveryPath(options.path) : options.path;
  if (options.create && Exists(options.path)) {
    error = options.path + " already exists; --new does not replace a file";
    return nullptr;
  }
  if (!options.create && !Exists(read)) {
    error = "cannot open " + read + ": no such file";
    return nullptr;
  }
  CallMessages messages;
  ScopedCallMessages collect(&messages);
  if (options.kind == WorkspaceKind::kUtilitySet) {
    w->utilities_ = CreateDefaultUtilManager();
    w->owns_utilities_ = true;
    w->sections_ = AllData;
    if (!options.create &&
        !OpenUtilitySet(w->utilities_, read.c_str(), AllData)) {
      // A set saved with its utilities alone stays that way when saved.
      w->sections_ = UtilitiesOnly;
      if (!OpenUtilitySet(w->utilities_, read.c_str(), UtilitiesOnly)) {
        error = "cannot read the utility set " + read +
                ": the file is damaged or holds another kind of set";
        return nullptr;
      }
    }
    if (options.create || options.recover) w->modified_ = true;
  } else {
    // A save would write over the backups themselves, so neither a backup
    // nor a file that asks for a name is opened for editing.
    if (FileName(Text(options.path)).HasReservedExtension()) {
      error = tooling::BackupCaseRefusal(options.path);
      return nullptr;
    }
    tooling::RegisterCaseTypes();
    ScopedCommandLine line("pemar");
    w->document_ = std::make_unique<SimulationCase>(Text("SIM"), nullptr);
    if (options.create) {
      w->document_->SetFileName(Text(options.path));
      w->modified_ = true;
    } else if (!w->document_->RecallDocument(FileName(Text(read)))) {
      error = "cannot read the case " + read;
      for (const Message& m : messages.messages) {
        error += "\n  " + m.text.str() + " (" + m.key.str() + ")";
      }
      return nullptr;
    }
    if (!options.recover && w->document_->IsTempName()) {
      error = tooling::BackupCaseRefusal(options.path);
      return nullptr;
    }
    if (options.recover) {
      w->document_->SetFileName(Text(options.path));
      w->modified_ = true;
    }
    w->utilities_ = w->document_->UtilityDatabase(true);
    if (w->utilities_ == nullptr) {
      error = "cannot make the utility database of the case";
      return nullptr;
    }
  }
  w->utilities_->AddNotificationReceiver(w.get());
  for (ChangeWhat what :
       {UtilityAdded, UtilityNameChanged, UtilityRemoved, DatabaseChanged,
        UpdateAllViews, HTCDefaultsChanged}) {
    w->utilities_->AddValidMessage(w.get(), what);
  }
  return w;
}

Workspace::~Workspace() {
  if (utilities_) utilities_->RemoveNotificationReceiver(this);
  document_.reset();
  if (owns_utilities_) ReleaseDefaultUtilManager(utilities_);
}

DefaultUtilManagerView* Workspace::utility_view() {
  return document_ ? document_->UtilityDatabaseView(true) : nullptr;
}

void Workspace::NotifyChange(ChangeWhat what, const char* text,
                             void* /*data*/) {
  if (const char* topic = TopicOf(what)) {
    events_.Publish(topic, "library", text ? text : "");
  }
}

bool Workspace::modified() const {
  std::lock_guard<std::mutex> lock(flag_lock_);
  return modified_;
}

void Workspace::MarkModified() {
  std::lock_guard<std::mutex> lock(flag_lock_);
  modified_ = true;
}

bool Workspace::Save(CallMessages* messages) {
  CallMessages local;
  ScopedCallMessages collect(messages ? messages : &local);
  bool saved;
  if (document_) {
    document_->SetModified(true);
    saved = document_->SaveDocument(0) != 0;
  } else {
    saved = SaveUtilitySet(utilities_, path_.c_str(), sections_);
  }
  if (saved) {
    std::lock_guard<std::mutex> lock(flag_lock_);
    modified_ = false;
  }
  return saved;
}

std::string Workspace::RecoveryPath(const std::string& path) {
  // Worked on the text, so that the folder keeps the separators it was given.
  const std::size_t folder = path.find_last_of("/\\");
  const std::size_t name = folder == std::string::npos ? 0 : folder + 1;
  std::size_t dot = path.rfind('.');
  if (dot == std::string::npos || dot <= name) dot = path.size();
  return path.substr(0, dot) + ".recovered" + path.substr(dot);
}

bool Workspace::RecoveryExists() const { return Exists(RecoveryPath(path_)); }

bool Workspace::WriteRecoveryCopy(std::string& error) {
  const std::string recovery = RecoveryPath(path_);
  CallMessages messages;
  bool written;
  {
    ScopedCallMessages collect(&messages);
    if (document_) {
      // The case's own save, under the recovery name and without backups;
      // its name is put back so that a later Save writes the case itself.
      const Text name = document_->GetFileName();
      ScopedBackups none(0);
      document_->SetFileName(Text(recovery));
      document_->SetModified(true);
      written = document_->SaveDocument(0) != 0;
      document_->SetFileName(name);
      document_->SetModified(true);
    } else {
      written = SaveUtilitySet(utilities_, recovery.c_str(), sections_);
    }
  }
  if (!written) {
    error = "cannot write the recovery copy " + recovery;
    for (const Message& m : messages.messages) {
      error += "\n  " + m.text.str() + " (" + m.key.str() + ")";
    }
  }
  return written;
}

void Workspace::RemoveRecoveryCopy() {
  std::error_code ec;
  fs::remove(PathFromUtf8(RecoveryPath(path_)), ec);
}

}  // namespace pemar::web
