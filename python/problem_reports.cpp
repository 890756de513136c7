// pemar.Case's problem reports, through the library's reports and words.

#include "problem_reports.h"

#include <optional>
#include <vector>

#include "errors.h"
#include "pemar/case/SimulationCase.h"
#include "pemar/casereport/CaseBugReports.h"
#include "pemar/framework/Session.h"
#include "pemar/reports/BugReport.h"
#include "pemar/reports/BugReportFields.h"

namespace py = pybind11;

namespace pemar::python {
namespace {

// Stored texts may hold any bytes; those that are not UTF-8 become U+FFFD,
// as in the tool's JSON.
py::str Decoded(const std::string& text) {
  PyObject* s = PyUnicode_DecodeUTF8(
      text.data(), static_cast<Py_ssize_t>(text.size()), "replace");
  if (s == nullptr) throw py::error_already_set();
  return py::reinterpret_steal<py::str>(s);
}

// The value of `word`, or ValueError naming the words `argument` takes:
// 'priority must be "high", "medium" or "low", not "urgent"'.
unsigned ChoiceValue(BugReportChoice choice, const char* argument,
                     const std::string& word) {
  const std::optional<unsigned> value = BugReportChoiceValue(choice, word);
  if (value) return *value;
  const std::vector<std::string>& words = BugReportChoiceWords(choice);
  std::string message = std::string(argument) + " must be ";
  for (std::size_t i = 0; i < words.size(); ++i) {
    if (i > 0) message += i + 1 == words.size() ? " or " : ", ";
    message += "\"" + words[i] + "\"";
  }
  throw py::value_error(message + ", not \"" + word + "\"");
}

}  // namespace

py::list ProblemReports(SimulationCase& doc) {
  py::list reports;
  for (const BugReportFieldList& fields :
       BugReportFieldLists(CaseBugReportManager(doc))) {
    py::dict report;
    for (const auto& [name, text] : fields)
      report[py::str(name)] = Decoded(text);
    reports.append(report);
  }
  return reports;
}

void AddProblemReport(SimulationCase& doc, const ProblemReportEntry& entry) {
  BugReportEntry added;
  added.title = entry.title;
  added.reported_by = entry.by;
  added.program_area = entry.area;
  added.description = entry.description;
  added.class_choice =
      ChoiceValue(BugReportChoice::kClass, "cls", entry.choice);
  added.priority =
      ChoiceValue(BugReportChoice::kPriority, "priority", entry.priority);
  added.reproducibility = ChoiceValue(BugReportChoice::kReproducibility,
                                      "reproducibility", entry.reproducibility);
  // The report takes its version from the session, as the tool's does.
  Session session;
  session.SetVersionText(Text("pemar ") + PEMAR_VERSION_STRING);
  ScopedSession scoped(&session);
  MessageCapture capture;
  switch (AddCaseBugReport(doc, added)) {
    case AddBugReportResult::kTitleTaken:
      throw py::value_error("the case has a problem report titled \"" +
                            entry.title + "\" already");
    case AddBugReportResult::kNoManager:
      Raise(PyExc_ValueError, "cannot make the case's problem reports",
            capture.First());
    case AddBugReportResult::kAdded:
      break;
  }
}

void WriteProblemReport(SimulationCase& doc, const std::string& title,
                        const std::string& path) {
  BugReport* report = FindCaseBugReport(doc, title);
  if (report == nullptr) {
    throw py::key_error("no problem report titled \"" + title + "\"");
  }
  MessageCapture capture;
  if (!WriteBugReportTo(*report, path)) {
    Raise(PyExc_OSError, "cannot write the problem report to " + path,
          capture.First(), path);
  }
}

}  // namespace pemar::python
