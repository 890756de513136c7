#include "pemar/framework/Reports.h"

#include <algorithm>

#include "pemar/framework/BinaryFile.h"
#include "pemar/framework/Types.h"

namespace pemar {
namespace {

constexpr int kReportManagerVersion = 1;
constexpr int kReportVersion = 1;

class ReportManagerObjectInfoT : public ObjectTypeInfo {
 public:
  using ObjectTypeInfo::ObjectTypeInfo;
  Viewable* CreateInstanceForRecall(ObjectInstanceInfo& info) const override {
    return new ReportManager(info);
  }
};

class ReportObjectInfoT : public ObjectTypeInfo {
 public:
  using ObjectTypeInfo::ObjectTypeInfo;
  Viewable* CreateInstanceForRecall(ObjectInstanceInfo& info) const override {
    return new Report(info);
  }
  unsigned char StoreClassData(BinaryFile& file,
                               Viewable* object) const override {
    auto* report = static_cast<Report*>(object);
    return file.Write(static_cast<unsigned char>(report->PrintFlag() ? 1 : 0));
  }
  unsigned char RecallClassData(BinaryFile& file,
                                Viewable* object) const override {
    unsigned char flag = 0;
    if (!file.Read(flag)) return 0;
    static_cast<Report*>(object)->SetPrintFlag(flag != 0);
    return 1;
  }
};

// A report's manager is its owner; a recalled report may name anything as
// its owner, so the type is checked.
ReportManager* AsManager(Viewable* owner) {
  return owner != nullptr && owner->IsA(ReportManagerObjectType())
             ? static_cast<ReportManager*>(owner)
             : nullptr;
}

}  // namespace

const ObjectTypeInfo* ReportManagerObjectType() {
  static ReportManagerObjectInfoT* type = [] {
    auto* t = new ReportManagerObjectInfoT(
        "ReportManagerObject", ViewableObjectType(), "ReportManager", 0, 0,
        "rptmgr", kEmptyMarker);
    t->SetClassDataVersion(kReportManagerVersion);
    t->SetDisplayName("Report Manager");
    return t;
  }();
  return type;
}

const ObjectTypeInfo* ReportObjectType() {
  static ReportObjectInfoT* type = [] {
    auto* t = new ReportObjectInfoT("ReportObject", ViewableObjectType(),
                                    "Report", 0, 0, "report", kEmptyMarker);
    t->SetClassDataVersion(kReportVersion);
    t->SetDisplayName("Report");
    return t;
  }();
  return type;
}

// ---------------------------------------------------------------------------
// Report

Report::Report(ReportManager* manager, const Text& name)
    : Viewable(manager, ReportObjectType()) {
  SetName(name);
  if (manager != nullptr) manager->Adopt(this);
}

Report::Report(ObjectInstanceInfo& info) : Viewable(info) {
  if (ReportManager* manager = AsManager(GetOwner())) manager->Adopt(this);
}

Report::~Report() = default;

ReportManager* Report::Manager() const { return AsManager(GetOwner()); }

void Report::InsertDetail(DatasheetDetail* detail) {
  if (detail == nullptr) return;
  details_.emplace_back(detail);
  if (detail->DataSource() != nullptr) {
    detail->DataSource()->AddDeathPostee(this);
  }
}

DatasheetDetail* Report::Detail(std::size_t i) const {
  return i < details_.size() ? details_[i].get() : nullptr;
}

void Report::PrintReport() {
  ++times_printed_;
  ReportManager* manager = Manager();
  if (manager == nullptr) return;
  ReportManager::PrintRecord record;
  record.report = GetName();
  record.report_flag = print_flag_;
  record.manager_printing = manager->IsPrinting();
  for (const auto& detail : details_) {
    Viewable* source = detail->DataSource();
    record.sources.push_back(source);
    record.source_names.push_back(source != nullptr ? source->GetName()
                                                    : Text());
  }
  manager->RecordPrint(std::move(record));
}

void Report::DisconnectDeadObject(Viewable* dying) {
  for (auto& detail : details_) {
    if (detail->DataSource() == dying) detail->SetDataSource(nullptr);
  }
  Viewable::DisconnectDeadObject(dying);
}

// ---------------------------------------------------------------------------
// ReportManager

ReportManager::ReportManager(Viewable* owner)
    : Viewable(owner, ReportManagerObjectType()) {}

ReportManager::ReportManager(ObjectInstanceInfo& info) : Viewable(info) {}

ReportManager::~ReportManager() {
  // Each report tells this manager of its death while it goes; the list is
  // taken first so that those calls find nothing to change.
  std::vector<Report*> reports;
  reports.swap(reports_);
  for (auto it = reports.rbegin(); it != reports.rend(); ++it) delete *it;
}

Report* ReportManager::CreateReport(const Text& name) {
  if (name.IsEmpty() || refuse_reports_) return nullptr;
  created_.push_back(name);
  return new Report(this, name);
}

void ReportManager::Adopt(Report* report) {
  if (std::find(reports_.begin(), reports_.end(), report) != reports_.end()) {
    return;
  }
  reports_.push_back(report);
  report->AddDeathPostee(this);
}

void ReportManager::DisconnectDeadObject(Viewable* dying) {
  reports_.erase(std::remove(reports_.begin(), reports_.end(), dying),
                 reports_.end());
  Viewable::DisconnectDeadObject(dying);
}

const ObjectTypeInfo* GetClosestTypeWithReport(const ObjectTypeInfo* type) {
  // Type chains are short; the bound only guards against a loop.
  int depth = 0;
  for (const ObjectTypeInfo* t = type; t != nullptr && depth < 1000;
       t = t->Parent(), ++depth) {
    if (t->HasReport()) return t;
  }
  return nullptr;
}

}  // namespace pemar
