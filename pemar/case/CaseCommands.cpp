// The case's commands and its own variables.

#include <vector>

#include "pemar/case/SimulationCase.h"
#include "pemar/framework/Messages.h"
#include "pemar/framework/Platform.h"
#include "pemar/framework/Reports.h"
#include "pemar/framework/Session.h"
#include "pemar/framework/ViewLog.h"
#include "pemar/reports/BugReportManager.h"

namespace pemar {
namespace {

// Framework variable types that the case answers.
constexpr int kEnvironmentFlagType = 104;
constexpr int kSaveCounterType = 106;
constexpr int kEmptyTextType = 107;
constexpr int kOwnedItemsType = 1519;
constexpr int kCaseNumber = 300;

// The one saved find filter of the process: a slot, not a stack.
const ObjectTypeInfo*& SavedFindFilter() {
  static const ObjectTypeInfo* saved = ViewableObjectType();
  return saved;
}

Text& SearchString() {
  static Text* search = new Text();
  return *search;
}

bool IsCaseVariable(const VarDescription& desc, const char* name) {
  return desc.Number() == kCaseNumber && desc.VariableIs(name);
}

}  // namespace

int SimulationCase::Message(const Text& command) {
  Text rest = command;
  Text word = rest.Token();
  if (word == "CaseInfo") {
    View();
    return 1;
  }
  if (word == "BugReportMgr") {
    CreateBugReportManager();
    if (bug_report_manager_ != nullptr) bug_report_manager_->View();
    return 1;
  }
  if (word == "EnterBasis") {
    EnterEnvironment(2, 0);
    return 1;
  }
  if (word == "EnterBuild") {
    if (EnvironmentNumber() == 2) EnterEnvironment(1, 0);
    return 1;
  }
  if (word == "PushFindFilter") {
    SavedFindFilter() = find_filter_;
    find_filter_ = FindObjectType(rest.Token());
    return 1;
  }
  if (word == "PopFindFilter") {
    find_filter_ = SavedFindFilter();
    return 1;
  }
  if (word == "AllViewableReports") {
    AllViewableReports(rest.Token());
    return 1;
  }
  return Document::Message(command);
}

void SimulationCase::CreateBugReportManager() {
  if (bug_report_manager_ != nullptr) return;
  bug_report_manager_ = new BugReportManager(this);
  bug_report_manager_->AddDeathPostee(this);
}

void SimulationCase::AllViewableReports(const Text& reportName) {
  std::vector<Viewable*> objects =
      GetObjectManager().Objects(ViewableObjectType());
  ReportManager* reports = GetReportManager();
  if (reports == nullptr) return;
  Report* report = reports->CreateReport(reportName);
  if (report == nullptr) return;
  for (Viewable* object : objects) {
    if (GetClosestTypeWithReport(object->Type()) == nullptr) continue;
    auto* detail = new DatasheetDetail();
    detail->SetDataSource(object);
    report->InsertDetail(detail);
  }
  reports->SetPrinting(true);
  report->SetPrintFlag(true);
  report->PrintReport();
  reports->SetPrinting(false);
}

std::size_t SimulationCase::StatusCount() {
  std::size_t count = 0;
  for (const auto& list : StatusLists()) count += list.size();
  return count;
}

const SimulationCase::StatusInfo* SimulationCase::StatusAt(int index) {
  if (index < 0) return nullptr;
  std::size_t i = static_cast<std::size_t>(index);
  for (const auto& list : StatusLists()) {
    if (i < list.size()) return &list[i];
    i -= list.size();
  }
  return nullptr;
}

Text SimulationCase::TextValue(const VarDescription& desc) {
  if (desc.Number() == kCaseNumber) {
    if (desc.VariableIs("Description")) return header_.Description();
    if (desc.VariableIs("StatusDescription")) {
      const StatusInfo* status = StatusAt(desc.Index());
      if (status == nullptr) return Text();
      return status->text.IsEmpty() ? FindString(status->key) : status->text;
    }
    if (desc.VariableIs("StatusLevel")) {
      const StatusInfo* status = StatusAt(desc.Index());
      if (status == nullptr) return Text();
      return FindString(Text::Format("status%d", status->level));
    }
    if (desc.VariableIs("TemplatePageTabs")) {
      if (desc.Index() == 1) return FindString("TPLVariables");
      if (desc.Index() == 2) return FindString("TPLInitialWizardView");
      return FindString("TPLConnections");
    }
    if (desc.VariableIs("FilterType")) {
      if (find_filter_ == nullptr) return FindString("LogicalTypeLabel");
      return find_filter_->DisplayName() + "s";
    }
    if (desc.VariableIs("CaseFileName")) {
      return FileName(GetFileName()).NameAndExtension();
    }
    if (desc.Type() == kEmptyTextType) return Text();
  }
  return Document::TextValue(desc);
}

unsigned char SimulationCase::SpecifyText(const VarDescription& desc,
                                          const Text& value) {
  if (IsCaseVariable(desc, "Description")) {
    header_.SetDescription(value);
    return 1;
  }
  if (desc.VariableIs("SearchString")) {
    SearchString() = value;
    return 1;
  }
  if (desc.Type() == kOwnedItemsType && desc.Number() == 306) {
    free_text_ = value;
    return 1;
  }
  return Document::SpecifyText(desc, value);
}

unsigned char SimulationCase::Specify(const VarDescription& desc,
                                      double value) {
  if (IsCaseVariable(desc, "ObjectType")) {
    if (ObjectTypeFromValue(value) == nullptr) {
      OpenView("FindObjectTypeView");
    } else {
      find_filter_ = default_find_filter_;
    }
    return 1;
  }
  return Document::Specify(desc, value);
}

double SimulationCase::Value(const VarDescription& desc) {
  if (desc.Type() == kEnvironmentFlagType && desc.Number() == 303) {
    int environment = EnvironmentNumber();
    return environment == 0 || environment == 2 ? 0.0 : 1.0;
  }
  if (desc.Type() == kSaveCounterType && desc.Number() == kCaseNumber) {
    return save_counter_;
  }
  if (IsCaseVariable(desc, "ObjectType")) {
    if (desc.Index() == 0) return ObjectTypeAsValue(nullptr);
    if (desc.Index() == 1) return ObjectTypeAsValue(find_filter_);
  }
  return Document::Value(desc);
}

unsigned char SimulationCase::Dimensions(const VarDescription& desc,
                                         DimInfo& dims) {
  if (IsCaseVariable(desc, "StatusDescription") ||
      IsCaseVariable(desc, "StatusLevel") ||
      IsCaseVariable(desc, "FlowSheetObject")) {
    dims.AddDim(static_cast<int>(StatusCount()));
    return 1;
  }
  int type = desc.Type();
  int number = desc.Number();
  if (type == kOwnedItemsType && number == 307) return 1;
  if ((type == kOwnedItemsType && number >= 303 && number <= 305) ||
      (type == kEnvironmentFlagType && number >= 304 && number <= 308)) {
    // Nothing in this library sets the owned object, so it has no items.
    int items = 0;
    if (number == 303 && type == kOwnedItemsType && items > 0) ++items;
    dims.AddDim(items);
    return 1;
  }
  return Document::Dimensions(desc, dims);
}

}  // namespace pemar
