// The problem-report manager: its list, its variables and its class data.

#include "pemar/reports/BugReportManager.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>

#include "pemar/framework/BinaryFile.h"
#include "pemar/framework/Types.h"
#include "pemar/reports/BugReport.h"

namespace pemar {
namespace {

constexpr int kReportsNumber = 200;
// The smallest stored report: six texts (4-byte lengths) and three 4-byte
// choices in version 1, two texts (8 bytes) more in version 2.
constexpr std::uint64_t kVersion1RecordBytes = 6 * 4 + 3 * 4;
constexpr std::uint64_t kVersion2RecordBytes = kVersion1RecordBytes + 8;

class BugReportManagerObjectInfoT : public ObjectTypeInfo {
 public:
  using ObjectTypeInfo::ObjectTypeInfo;
  Viewable* CreateInstanceForRecall(ObjectInstanceInfo& info) const override {
    return new BugReportManager(info);
  }
  unsigned char StoreClassData(BinaryFile& file,
                               Viewable* object) const override {
    auto* manager = dynamic_cast<BugReportManager*>(object);
    return manager != nullptr ? manager->StoreClassData(file) : 0;
  }
  unsigned char RecallClassData(BinaryFile& file,
                                Viewable* object) const override {
    auto* manager = dynamic_cast<BugReportManager*>(object);
    return manager != nullptr
               ? manager->RecallClassData(file, RecalledClassDataVersion())
               : 0;
  }
};

const ObjectTypeInfo* const kBugReportManagerTypeRegistered = BugReportManagerObjectType();

// "Report" followed by the report's position counting from 1.
Text DefaultName(std::size_t position) {
  return Text("Report" + std::to_string(position));
}

bool IsReportsVariable(const VarDescription& desc) {
  return desc.Number() == kReportsNumber &&
         desc.IsOfType("BugReport", BugReportObjectType());
}

unsigned char WriteReport(BinaryFile& file, const BugReport& r, int version) {
  bool ok = file.Write(r.GetName()) && file.Write(r.Date()) &&
            file.Write(r.ReportedBy()) && file.Write(r.ProgramBuildDate()) &&
            file.Write(r.ClassChoice()) && file.Write(r.PriorityChoice()) &&
            file.Write(r.ProgramArea()) && file.Write(r.Description()) &&
            file.Write(r.ReproducibilityChoice());
  if (ok && version >= 2) {
    ok = file.Write(r.ProgramVersion()) && file.Write(r.SystemDetails());
  }
  return ok ? 1 : 0;
}

// Reads one report's record into `r`; fields read before a failure stay.
bool ReadReport(BinaryFile& file, BugReport& r, int version) {
  Text name, date, by, build, area, description;
  unsigned choice = 0, priority = 0, reproducibility = 0;
  if (!file.Read(name) || !file.Read(date) || !file.Read(by) ||
      !file.Read(build) || !file.Read(choice) || !file.Read(priority) ||
      !file.Read(area) || !file.Read(description) ||
      !file.Read(reproducibility)) {
    return false;
  }
  r.SetName(name);
  r.SetDate(date);
  r.SetReportedBy(by);
  r.SetProgramBuildDate(build);
  r.SetClassChoice(choice);
  r.SetPriorityChoice(priority);
  r.SetProgramArea(area);
  r.SetDescription(description);
  r.SetReproducibilityChoice(reproducibility);
  if (version < 2) return true;
  Text programVersion, details;
  if (!file.Read(programVersion) || !file.Read(details)) return false;
  r.SetProgramVersion(programVersion);
  r.SetSystemDetails(details);
  return true;
}

}  // namespace

const ObjectTypeInfo* BugReportManagerObjectType() {
  static BugReportManagerObjectInfoT* type = [] {
    auto* t = new BugReportManagerObjectInfoT(
        "BugReportManagerObject", ViewableObjectType(), "BugReportManager", 0,
        0, "bugmgr", kEmptyMarker);
    t->SetClassDataVersion(kBugReportManagerVersion);
    t->SetDisplayName("Problem Report Manager");
    return t;
  }();
  (void)kBugReportManagerTypeRegistered;
  return type;
}

BugReportManager::BugReportManager(Viewable* owner)
    : Viewable(owner, BugReportManagerObjectType()) {
  SetName("BugReportManager");
}

BugReportManager::BugReportManager(ObjectInstanceInfo& info) : Viewable(info) {}

BugReportManager::~BugReportManager() {
  std::vector<BugReport*> reports;
  reports.swap(reports_);
  for (BugReport* report : reports) {
    report->RemoveDeathPostee(this);
    delete report;
  }
}

BugReport* BugReportManager::FindReport(const char* title) const {
  if (title == nullptr) return nullptr;
  for (BugReport* report : reports_) {
    if (report->GetName() == title) return report;
  }
  return nullptr;
}

void BugReportManager::Append(BugReport* report) {
  reports_.push_back(report);
  report->AddDeathPostee(this);
}

BugReport* BugReportManager::NewReport() {
  auto* report = new BugReport(DefaultName(reports_.size() + 1));
  Append(report);
  return report;
}

int BugReportManager::Message(const Text& command) {
  if (command == "NewBugReport") {
    NewReport()->View();
    return 1;
  }
  return Viewable::Message(command);
}

Viewable* BugReportManager::AttachedObject(const VarDescription& desc) {
  if (!IsReportsVariable(desc)) return Viewable::AttachedObject(desc);
  const int position = desc.OffsetPosition();
  if (position < 0 || static_cast<std::size_t>(position) >= reports_.size()) {
    return nullptr;
  }
  BugReport* report = reports_[static_cast<std::size_t>(position)];
  if (const VarDescription* next = desc.GetNextLink()) {
    return report->AttachedObject(*next);
  }
  return report;
}

unsigned char BugReportManager::Dimensions(const VarDescription& desc,
                                           DimInfo& dims) {
  if (!IsReportsVariable(desc)) return Viewable::Dimensions(desc, dims);
  dims.AddDim(static_cast<int>(reports_.size()));
  return 1;
}

Text BugReportManager::AttachedName(Viewable* object) {
  auto it = std::find(reports_.begin(), reports_.end(), object);
  if (object == nullptr || it == reports_.end()) {
    return Viewable::AttachedName(object);
  }
  return Text::Format("BugReport.%d.%d", kReportsNumber,
                      static_cast<int>(it - reports_.begin()));
}

void BugReportManager::DisconnectDeadObject(Viewable* dying) {
  reports_.erase(std::remove(reports_.begin(), reports_.end(), dying),
                 reports_.end());
  Viewable::DisconnectDeadObject(dying);
}

unsigned char BugReportManager::StoreClassData(BinaryFile& file) {
  const int version = BugReportManagerObjectType()->ClassDataVersion();
  if (!file.Write(static_cast<unsigned>(reports_.size()))) return 0;
  for (BugReport* report : reports_) {
    report->FillEmptyEntries();
    if (!WriteReport(file, *report, version)) return 0;
  }
  return 1;
}

unsigned char BugReportManager::RecallClassData(BinaryFile& file, int version) {
  unsigned count = 0;
  if (!file.Read(count)) return 0;
  const std::uint64_t least =
      version >= 2 ? kVersion2RecordBytes : kVersion1RecordBytes;
  if (count > file.Remaining() / least) return 0;
  for (unsigned i = 0; i < count; ++i) {
    auto report = std::make_unique<BugReport>(DefaultName(reports_.size() + 1));
    if (!ReadReport(file, *report, version)) return 0;
    Append(report.release());
  }
  return 1;
}

}  // namespace pemar
