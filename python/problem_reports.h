// The problem reports of a case for pemar.Case: listed, added and written
// as the pemar tool's "case bugreport" commands do, with the library's
// words for the choices (pemar/reports/BugReportFields.h).

#ifndef PEMAR_PYTHON_PROBLEM_REPORTS_H_
#define PEMAR_PYTHON_PROBLEM_REPORTS_H_

#include <pybind11/pybind11.h>

#include <string>

namespace pemar {
class SimulationCase;
}

namespace pemar::python {

// What a new report holds; the choices as words.
struct ProblemReportEntry {
  std::string title;
  std::string by;
  std::string area;
  std::string description;
  std::string choice = "bug";
  std::string priority = "medium";
  std::string reproducibility = "always";
};

// Every report as a dict with the fields of `pemar case bugreport list
// --json`, in its order; bytes that are not UTF-8 read as U+FFFD.
pybind11::list ProblemReports(SimulationCase& doc);

// Adds a report dated today, carrying this library's version and the
// system's details, to the case in memory. ValueError for a word that is
// not one of a choice's or a title the case has already; nothing changes
// then.
void AddProblemReport(SimulationCase& doc, const ProblemReportEntry& entry);

// Writes the report titled `title` to `path` as its text file, as the
// tool's "write" does: KeyError when there is none, OSError (with .key and
// .filename) when the file cannot be written, leaving any file there as it
// was.
void WriteProblemReport(SimulationCase& doc, const std::string& title,
                        const std::string& path);

}  // namespace pemar::python

#endif  // PEMAR_PYTHON_PROBLEM_REPORTS_H_
