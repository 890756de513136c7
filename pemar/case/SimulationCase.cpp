#include "pemar/case/SimulationCase.h"

#include <algorithm>
#include <array>

#include "pemar/case/ApplicationModeInternal.h"
#include "pemar/framework/Messages.h"
#include "pemar/framework/Platform.h"
#include "pemar/framework/Session.h"
#include "pemar/project/EngineeringManager.h"
#include "pemar/utility/DefaultUtilManagerView.h"
#include "pemar/utility/IDefaultUtilityManager.h"

namespace pemar {
namespace {

// 0.01 as the single-precision value that older programs kept.
constexpr double kSinglePrecisionHundredth = static_cast<double>(0.01f);

constexpr std::array<double, kVariableTypeCount> kNewCaseTolerances = {
    kSinglePrecisionHundredth,
    kSinglePrecisionHundredth,
    kSinglePrecisionHundredth,
    0.1,
    10.0,
    0.01,
    1.0,
    1.0,
    kSinglePrecisionHundredth,
    0.0001};

// The messages of the engineering manager that a case shows, in the order
// it registers for them.
constexpr ChangeWhat kShownMessages[] = {
    ErrorMessage,        ResponseMessage, TraceMessage, StatusMessage,
    TraceWarningMessage, UpdateAllViews,  ConsoleErrors};

// Console lines that report a problem.
constexpr const char* kWarningPrefixes[] = {
    "*** Warning",  "Failure", "Failed",     "Unresolved",
    "Syntax error", "Invalid", "Task failed"};

double TokenAsNumber(Text& text) {
  Text token = text.Token();
  double value = 0.0;
  if (!token.ToDouble(&value)) return 0.0;
  return value;
}

}  // namespace

SimulationCase::SimulationCase(const Text& type, const ObjectTypeInfo* typeInfo)
    : Document(nullptr, typeInfo != nullptr ? typeInfo : SimCaseObjectType()) {
  if (type.IsEmpty() || type == "SIM") SetName(FindString("Case"));
  ChooseDocumentType();
  SetUpNewCase();
}

SimulationCase::SimulationCase(ObjectInstanceInfo& info) : Document(info) {
  ChooseDocumentType();
  SetUpNewCase();
}

void SimulationCase::ChooseDocumentType() {
  // The case tests the workbench switch first; the first found wins.
  using internal::ApplicationMode;
  document_type_ = internal::FileTypeOf(internal::ModeFromCommandLine(
      {ApplicationMode::kWorkbench, ApplicationMode::kHeatExchangerNetwork,
       ApplicationMode::kColumn}));
}

void SimulationCase::SetUpNewCase() {
  header_.SetFileStructureRevision(kCaseFileStructureRevision);
  std::copy(kNewCaseTolerances.begin(), kNewCaseTolerances.end(), tolerances_);
  VarDescription::Parse(":FlowSheetObject.300.[]",
                        &flowsheet_object_description_);
  VarDescription::Parse(":Variable.300.[]", &variable_description_);
  default_find_filter_ = nullptr;  // the framework's unknown object type
  find_filter_ = default_find_filter_;

  engineering_ = std::make_unique<EngineeringManager>();
  engineering_->AddNotificationReceiver(this);
  for (ChangeWhat what : kShownMessages) {
    engineering_->AddValidMessage(this, what);
  }

  Session* session = Session::Current();
  if (session == nullptr || session->AllowsActiveAutomation()) {
    Session::SetActiveAutomationObject(this);
  }
}

SimulationCase::~SimulationCase() {
  if (bug_report_manager_ != nullptr) {
    bug_report_manager_->RemoveDeathPostee(this);
    Viewable* manager = bug_report_manager_;
    bug_report_manager_ = nullptr;
    delete manager;
  }
  if (owned_object_ != nullptr) {
    Viewable* object = owned_object_;
    owned_object_ = nullptr;
    delete object;
  }
  // The managers belong to the document's objects (or to whoever made them);
  // the case only stops listening.
  for (auto& [name, manager] : managers_) {
    while (manager->DeathPosteeRefCount(this) > 0) {
      manager->RemoveDeathPostee(this);
    }
  }
  managers_.clear();
  engineering_->RemoveNotificationReceiver(this);
  engineering_.reset();
  UserStatusClear(1);
  UserStatusClear(2);
  Session::RevokeActiveAutomationObject(this);
}

double SimulationCase::ErrorTolerance(VariableType type) const {
  if (type < 0 || type >= kVariableTypeCount) return kEmptyValue;
  return tolerances_[type];
}

void SimulationCase::EndSpec() {
  user_has_specd_ = false;
  if (Session* session = Session::Current()) {
    session->PlayNextScriptCommand(kEmptyValue);
  }
}

void SimulationCase::SolveCompleted() {
  Session* session = Session::Current();
  if (session == nullptr) return;
  session->PlayNextScriptCommand(kEmptyValue);
  if (RecoverySetting()) session->SaveRecoveryFile(this);
}

void* SimulationCase::CastToClassType(const Text& className) {
  if (className == "IEngineeringManager") {
    return static_cast<IEngineeringManager*>(engineering_.get());
  }
  return nullptr;
}

PackedBinaryFileHeader* SimulationCase::DocumentFileHeader() {
  return &header_;
}

void SimulationCase::UpdateOriginalName() {
  header_.SetOriginalName(GetFileName());
}

void SimulationCase::NotifyChange(ChangeWhat what, const char* text,
                                  void* /*data*/) {
  switch (what) {
    case ErrorMessage: {
      if (text == nullptr) return;
      Text rest(text);
      Text key = rest.Token();
      double a = TokenAsNumber(rest);
      double b = TokenAsNumber(rest);
      double c = TokenAsNumber(rest);
      ErrorMsg(key, a, b, c);
      return;
    }
    case ResponseMessage:
      if (text != nullptr) ResponseMsg(Text(text), 1);
      return;
    case TraceMessage:
      if (text == nullptr) {
        ClearTrace();
      } else {
        Trace(Text(text));
      }
      return;
    case TraceWarningMessage:
      if (text != nullptr) TraceWarning(Text(text));
      return;
    case StatusMessage:
      if (text == nullptr) {
        UserStatusClear(2);
      } else {
        UserStatusReport(Text(text), 2);
      }
      return;
    case UpdateAllViews:
      UpdateViews(nullptr);
      return;
    case ConsoleErrors:
      if (text != nullptr) UpdateErrors(Text(text));
      return;
    default:
      return;
  }
}

unsigned char SimulationCase::UpdateErrors(const Text& text) {
  for (const Text& raw : text.Lines()) {
    Text line = raw.Trimmed();
    bool warning = std::any_of(
        std::begin(kWarningPrefixes), std::end(kWarningPrefixes),
        [&line](const char* prefix) { return line.StartsWith(prefix); });
    if (warning) {
      TraceWarning("$: " + line);
    } else {
      Trace(line);
    }
  }
  return 1;
}

const ObjectTypeInfo* SimulationCase::FixupOldObjectType(long oldType) {
  if (oldType == kOldCaseParametersTypeNumber &&
      header_.FileStructureRevision() <= 11) {
    return OldCaseParamObjectType();
  }
  return Document::FixupOldObjectType(oldType);
}

void SimulationCase::DisconnectDeadObject(Viewable* dying) {
  for (auto it = managers_.begin(); it != managers_.end();) {
    if (it->second == dying) {
      it = managers_.erase(it);
    } else {
      ++it;
    }
  }
  if (dying == bug_report_manager_) bug_report_manager_ = nullptr;
  if (dying == owned_object_) owned_object_ = nullptr;
  Document::DisconnectDeadObject(dying);
}

void SimulationCase::NotifyActivated(bool active) {
  if (!active) {
    UserStatusClear(1);
    UserStatusClear(2);
    SetEnvironmentMode(Text());
  }
  Document::NotifyActivated(active);
}

DefaultUtilManagerView* SimulationCase::UtilityDatabaseView(bool create) {
  DefaultUtilManagerView* view = nullptr;
  for (Viewable* object :
       GetObjectManager().Objects(DefaultUtilManagerViewObjectType())) {
    if (object->GetOwner() == this) {
      view = static_cast<DefaultUtilManagerView*>(object);
      break;
    }
  }
  if (!create) return view;
  if (view == nullptr) {
    view = new DefaultUtilManagerView(this, nullptr);
    view->SetName("UtilityDatabase");
  }
  if (view->GetDatabase() == nullptr) {
    if (IDefaultUtilityManager* database = CreateDefaultUtilManager()) {
      view->SetDatabase(database, /*owned=*/true);
    }
  }
  return view;
}

IDefaultUtilityManager* SimulationCase::UtilityDatabase(bool create) {
  DefaultUtilManagerView* view = UtilityDatabaseView(create);
  return view != nullptr ? view->GetDatabase() : nullptr;
}

}  // namespace pemar
