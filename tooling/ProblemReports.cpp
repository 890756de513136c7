// The problem reports of a case as the front ends add and list them.

#include "tooling/ProblemReports.h"

#include "pemar/framework/Session.h"
#include "pemar/reports/BugReportFields.h"

namespace pemar::tooling {

std::string ProgramVersionText() {
  return std::string("pemar ") + PEMAR_VERSION_STRING;
}

AddBugReportResult AddProblemReport(SimulationCase& doc,
                                    const BugReportEntry& entry) {
  Session session;
  session.SetVersionText(Text(ProgramVersionText().c_str()));
  ScopedSession scoped(&session);
  return AddCaseBugReport(doc, entry);
}

nlohmann::ordered_json ProblemReportsJson(SimulationCase& doc) {
  auto list = nlohmann::ordered_json::array();
  for (const BugReportFieldList& fields :
       BugReportFieldLists(CaseBugReportManager(doc))) {
    auto json = nlohmann::ordered_json::object();
    for (const auto& [name, text] : fields) json[name] = text;
    list.push_back(json);
  }
  return list;
}

}  // namespace pemar::tooling
