#include "pemar/casereport/CaseBugReports.h"

#include "pemar/case/SimulationCase.h"
#include "pemar/framework/FilePrompt.h"
#include "pemar/reports/BugReport.h"
#include "pemar/reports/BugReportManager.h"

namespace pemar {

BugReportManager* CaseBugReportManager(SimulationCase& theCase) {
  return dynamic_cast<BugReportManager*>(theCase.BugReportManagerObject());
}

BugReport* FindCaseBugReport(SimulationCase& theCase,
                             const std::string& title) {
  BugReportManager* manager = CaseBugReportManager(theCase);
  return manager != nullptr ? manager->FindReport(title.c_str()) : nullptr;
}

AddBugReportResult AddCaseBugReport(SimulationCase& theCase,
                                    const BugReportEntry& entry) {
  if (FindCaseBugReport(theCase, entry.title) != nullptr) {
    return AddBugReportResult::kTitleTaken;
  }
  theCase.Message("BugReportMgr");
  BugReportManager* manager = CaseBugReportManager(theCase);
  if (manager == nullptr) return AddBugReportResult::kNoManager;
  BugReport* report = manager->NewReport();
  report->SetName(entry.title);
  report->SetReportedBy(entry.reported_by);
  report->SetProgramArea(entry.program_area);
  report->SetDescription(entry.description);
  report->SetClassChoice(entry.class_choice);
  report->SetPriorityChoice(entry.priority);
  report->SetReproducibilityChoice(entry.reproducibility);
  report->FillEmptyEntries();
  return AddBugReportResult::kAdded;
}

bool WriteBugReportTo(BugReport& report, const std::string& path) {
  // The program's own picker answers again afterwards.
  ScopedFilePicker answer([&](const Text&, const Text&, const FileFilters&,
                              const Text&) { return Text(path); });
  return report.Write();
}

}  // namespace pemar
