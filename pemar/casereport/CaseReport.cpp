#include "pemar/casereport/CaseReport.h"

#include <cstdio>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "pemar/case/CaseManagers.h"
#include "pemar/case/SimulationCase.h"
#include "pemar/casereport/CaseBugReports.h"
#include "pemar/features/ExpMgrView.h"
#include "pemar/features/PropertyTableFeature.h"
#include "pemar/framework/Types.h"
#include "pemar/project/EngineeringManager.h"
#include "pemar/project/IPemarProject.h"
#include "pemar/reports/BugReport.h"
#include "pemar/reports/BugReportFields.h"
#include "pemar/reports/BugReportManager.h"
#include "pemar/reports/ReportHolder.h"
#include "pemar/utility/DefaultUtility.h"
#include "pemar/utility/IDefaultUtilityManager.h"

namespace pemar {
namespace {

std::string Str(const char* text) { return text != nullptr ? text : ""; }

std::string ReportNumber(double value) {
  if (value == kEmptyValue) return "-";
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.6g", value);
  return buffer;
}

// Adds sections under one parent, keeping every name addressable: the path
// separator cannot appear in a name that is part of a path, and a parent
// refuses a name it already has.
class SectionWriter {
 public:
  SectionWriter(IReportHolder& report, std::string parentPath)
      : report_(report), parent_(std::move(parentPath)) {}

  // The path of the new section, or empty when the holder refused it.
  std::string Add(const std::string& name, const char* text) {
    std::string base = name.empty() ? std::string("(unnamed)") : name;
    for (char& c : base) {
      if (c == '/') c = '-';
    }
    std::string unique = base;
    for (int n = 2; used_.count(unique) != 0; ++n) {
      unique = base + " (" + std::to_string(n) + ")";
    }
    used_.insert(unique);
    const char* parent = parent_.empty() ? nullptr : parent_.c_str();
    if (report_.AddSection(parent, unique.c_str(), text) != kDone) return "";
    return parent_.empty() ? unique : parent_ + "/" + unique;
  }

 private:
  IReportHolder& report_;
  std::string parent_;
  // The holder prints a child of the reserved name without its heading, so
  // a title that happens to be that name is numbered like a repeat.
  std::set<std::string> used_{ReportHolder::kUnnamedSection};
};

std::string CaseText(SimulationCase& theCase) {
  const std::string file = theCase.GetFileName().str();
  return "File: " + (file.empty() ? std::string("(not saved)") : file) +
         "\nDocument type: " + theCase.DocumentType().str() +
         "\nSaves: " + std::to_string(theCase.SaveCounter()) + "\n";
}

std::string ProjectText(IPemarProject& p) {
  std::string text = "Created: " + Str(p.GetDate()) + "\n";
  const std::string engineer = Str(p.GetEngineersName());
  const std::string comments = Str(p.GetComments());
  if (!engineer.empty()) text += "Engineer: " + engineer + "\n";
  if (!comments.empty()) text += "Comments: " + comments + "\n";
  text += "Notes: " + std::to_string(p.GetNumberOfNotes()) + "\n";
  return text;
}

void AddProjects(SimulationCase& theCase, IReportHolder& report,
                 SectionWriter& top) {
  EngineeringManager* manager = theCase.GetEngineeringManager();
  const int n =
      manager != nullptr ? manager->GetProjectSize(kProjectInterface) : 0;
  const std::string path = top.Add("Projects", n == 0 ? "none\n" : nullptr);
  if (n == 0 || path.empty()) return;
  SectionWriter projects(report, path);
  for (int i = 0; i < n; ++i) {
    IPemarBaseObject* object = nullptr;
    manager->GetProjectByNum(i, kProjectInterface, &object);
    IPemarProject* p = AsPemarProject(object);
    if (p == nullptr) continue;
    const std::string at =
        projects.Add(Str(p->GetProjectName()), ProjectText(*p).c_str());
    if (at.empty() || p->GetNumberOfNotes() == 0) continue;
    SectionWriter notes(report, at);
    for (int k = 0; k < p->GetNumberOfNotes(); ++k) {
      const std::string author = Str(p->GetNoteAuthor(k));
      const std::string text = Str(p->GetNoteDate(k)) +
                               (author.empty() ? "" : ", " + author) + "\n" +
                               Str(p->GetNoteText(k)) + "\n";
      notes.Add(Str(p->GetNoteTitle(k)), text.c_str());
    }
  }
}

const char* HeatTypeName(SegmentHeatType type) {
  return type == HotSegment ? "hot" : type == ColdSegment ? "cold" : "-";
}

std::string UtilityTable(IDefaultUtilityManager& db) {
  char line[256];
  std::snprintf(line, sizeof line, "%-26s %-4s %8s %8s %9s %9s %9s %12s %s\n",
                "Name", "Type", "Inlet C", "Outlet C", "AR low C", "AR high C",
                "HTC", "Cost", "Exchanger");
  std::string text = line;
  for (int i = 0; i < db.GetNumberOfDefaultUtilities(); ++i) {
    const DefaultUtility* u = db.GetDefaultUtility(i);
    if (u == nullptr) continue;
    std::snprintf(
        line, sizeof line, "%-26s %-4s %8s %8s %9s %9s %9s %12s %s\n",
        Str(u->GetUtilityName()).c_str(), HeatTypeName(u->GetHeatType()),
        ReportNumber(u->GetInletTemperature()).c_str(),
        ReportNumber(u->GetOutletTemperature()).c_str(),
        ReportNumber(u->GetARTempLow()).c_str(), ReportNumber(u->GetARTempHigh()).c_str(),
        ReportNumber(u->GetHeatTransferCoefficient()).c_str(),
        ReportNumber(u->GetUtilityCost()).c_str(), u->GetExchangerType().c_str());
    text += line;
  }
  return text;
}

std::string CoefficientTable(IDefaultUtilityManager& db) {
  std::string text;
  char line[256];
  for (int i = 0; i < db.GetNumberOfHTCDefaultValues(); ++i) {
    const std::string note = Str(db.GetHTCDefaultValueNote(i));
    std::snprintf(line, sizeof line, "%-40s %10s%s%s\n",
                  Str(db.GetHTCDefaultValueName(i)).c_str(),
                  ReportNumber(db.GetHTCDefaultValue(i)).c_str(),
                  note.empty() ? "" : "  ", note.c_str());
    text += line;
  }
  return text.empty() ? "none\n" : text;
}

void AddUtilities(SimulationCase& theCase, IReportHolder& report,
                  SectionWriter& top) {
  IDefaultUtilityManager* db = theCase.UtilityDatabase(false);
  const std::string path =
      top.Add("Utility database", db == nullptr ? "none\n" : nullptr);
  if (db == nullptr || path.empty()) return;
  SectionWriter parts(report, path);
  parts.Add("Utilities", UtilityTable(*db).c_str());
  parts.Add("Heat-transfer-coefficient defaults",
            CoefficientTable(*db).c_str());
}

std::string FeatureText(Viewable& instance) {
  auto* table = dynamic_cast<PropertyTableFeature*>(&instance);
  if (table == nullptr) return "\n";
  std::string text = "Steam property table, " + ReportNumber(table->From()) + " to " +
                     ReportNumber(table->To()) + " K at " +
                     ReportNumber(table->Pressure()) + " kPa\n";
  char line[128];
  std::snprintf(line, sizeof line, "%-10s %-8s %-14s %s\n", "T/K", "Phase",
                "H/(kJ/kmol)", "V/(m3/kmol)");
  text += line;
  for (const PropertyTableRow& row : table->Rows()) {
    std::snprintf(line, sizeof line, "%-10s %-8s %-14s %s\n",
                  ReportNumber(row.temperature).c_str(),
                  row.phase == 1 ? "liquid" : "vapour",
                  ReportNumber(row.enthalpy).c_str(), ReportNumber(row.volume).c_str());
    text += line;
  }
  return text;
}

void AddFeatures(SimulationCase& theCase, IReportHolder& report,
                 SectionWriter& top) {
  ExpMgrView* manager = CaseFeatureManager(&theCase);
  const bool none = manager == nullptr || manager->AllInstances().empty();
  const std::string path = top.Add("Features", none ? "none\n" : nullptr);
  if (none || path.empty()) return;
  SectionWriter features(report, path);
  for (Viewable* instance : manager->AllInstances()) {
    features.Add(instance->GetName().str(), FeatureText(*instance).c_str());
  }
}

// A value without a word shows as "-".
std::string ChoiceWord(BugReportChoice choice, unsigned value) {
  const std::vector<std::string>& words = BugReportChoiceWords(choice);
  return value < words.size() ? words[value] : "-";
}

std::string ProblemText(const BugReport& r) {
  std::string text =
      "Date: " + r.Date().str() + "\nReported by: " + r.ReportedBy().str() +
      "\nClass: " + ChoiceWord(BugReportChoice::kClass, r.ClassChoice()) +
      "\nPriority: " +
      ChoiceWord(BugReportChoice::kPriority, r.PriorityChoice()) +
      "\nReproducible: " +
      ChoiceWord(BugReportChoice::kReproducibility, r.ReproducibilityChoice()) +
      "\nProgram area: " + r.ProgramArea().str() +
      "\nProgram version: " + r.ProgramVersion().str() +
      "\nSystem: " + r.SystemDetails().str() + "\n";
  if (!r.Description().IsEmpty()) {
    text += "Description:\n" + r.Description().str() + "\n";
  }
  return text;
}

void AddProblemReports(SimulationCase& theCase, IReportHolder& report,
                       SectionWriter& top) {
  BugReportManager* manager = CaseBugReportManager(theCase);
  const bool none = manager == nullptr || manager->Reports().empty();
  const std::string path =
      top.Add("Problem reports", none ? "none\n" : nullptr);
  if (none || path.empty()) return;
  SectionWriter reports(report, path);
  for (const BugReport* r : manager->Reports()) {
    // A report is titled by its view name; one not yet titled goes by the
    // default name it was made with, as its stored form will.
    const Text& title =
        r->GetName().IsEmpty() ? r->DefaultName() : r->GetName();
    reports.Add(title.str(), ProblemText(*r).c_str());
  }
}

}  // namespace

void FillCaseReport(SimulationCase& theCase, IReportHolder& report) {
  SectionWriter top(report, "");
  top.Add("Case", CaseText(theCase).c_str());
  AddProjects(theCase, report, top);
  AddUtilities(theCase, report, top);
  AddFeatures(theCase, report, top);
  AddProblemReports(theCase, report, top);
}

std::string CaseReportText(SimulationCase& theCase) {
  ReportHolder report;
  FillCaseReport(theCase, report);
  return report.GetReport();
}

}  // namespace pemar
