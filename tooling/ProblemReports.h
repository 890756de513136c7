// The problem reports of a case as the tool and the web application add and
// list them, so that both do it alike (on top of the library's own
// pemar/casereport/CaseBugReports.h and pemar/reports/BugReportFields.h).

#ifndef PEMAR_TOOLING_PROBLEMREPORTS_H_
#define PEMAR_TOOLING_PROBLEMREPORTS_H_

#include <nlohmann/json.hpp>
#include <string>

#include "pemar/case/SimulationCase.h"
#include "pemar/casereport/CaseBugReports.h"

namespace pemar::tooling {

// "pemar <version>": the program version a new report carries.
std::string ProgramVersionText();

// Adds `entry` to the case (AddCaseBugReport) with a session in place for
// the call whose version text is ProgramVersionText(), as the program's
// session gives it in the suite.
AddBugReportResult AddProblemReport(SimulationCase& doc,
                                    const BugReportEntry& entry);

// Every report of the case, in its manager's order, each an object of the
// fields of BugReportFields (title, date, reported_by, program_version,
// system_details, program_build_date, program_area, class, priority,
// reproducibility, description); [] when the case has no manager. Texts are
// the stored bytes (dump with error_handler_t::replace).
nlohmann::ordered_json ProblemReportsJson(SimulationCase& doc);

}  // namespace pemar::tooling

#endif  // PEMAR_TOOLING_PROBLEMREPORTS_H_
