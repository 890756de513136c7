// The problem reports of a case as the front ends (the pemar tool, the
// Python package) add, find and write them, so that both do it alike.

#ifndef PEMAR_CASEREPORT_CASEBUGREPORTS_H_
#define PEMAR_CASEREPORT_CASEBUGREPORTS_H_

#include <string>

#include "pemar/framework/Export.h"

namespace pemar {

class BugReport;
class BugReportManager;
class SimulationCase;

// The case's problem-report manager; null when it has none (nothing is
// made). Owned by the case.
PEMAR_EXPORT BugReportManager* CaseBugReportManager(SimulationCase& theCase);

// The case's report titled `title`; null when there is none. Owned by the
// case's manager.
PEMAR_EXPORT BugReport* FindCaseBugReport(SimulationCase& theCase,
                                          const std::string& title);

// What a new report holds; the choices are values as BugReport takes them
// (BugReportChoiceValue gives them from words).
struct PEMAR_EXPORT BugReportEntry {
  std::string title;
  std::string reported_by;
  std::string program_area;
  std::string description;
  unsigned class_choice = 0;
  unsigned priority = 1;
  unsigned reproducibility = 0;
};

enum class AddBugReportResult { kAdded, kTitleTaken, kNoManager };

// Adds a report holding `entry` to the case, making the case's manager when
// it has none (the case command "BugReportMgr", whose failure shows its
// message), and fills its empty entries as a new form does: the date, and
// the program's version and system texts from the session. Nothing is added
// when the case has a report of that title already.
PEMAR_EXPORT AddBugReportResult AddCaseBugReport(SimulationCase& theCase,
                                                 const BugReportEntry& entry);

// Writes the report's text file to `path` as the form's "Write" does, the
// file picker answered with `path` for that call only: the picker installed
// before is in place again afterwards. False when it cannot
// (BugReport::Write).
PEMAR_EXPORT bool WriteBugReportTo(BugReport& report, const std::string& path);

}  // namespace pemar

#endif  // PEMAR_CASEREPORT_CASEBUGREPORTS_H_
