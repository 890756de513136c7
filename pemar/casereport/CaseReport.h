// CaseReport: a whole case as a numbered text report, for engineers to print
// or share. The report holds these sections, in order:
//   Case              the file, the document type and the save counter;
//   Projects          one section per project (engineer, date, comments),
//                     with one sub-section per note;
//   Utility database  the utilities with their temperatures, AR range, cost
//                     and exchanger, and the heat-transfer-coefficient
//                     defaults;
//   Features          every feature instance, with the rows of steam
//                     property tables;
//   Problem reports   every problem report of the case with its fields.
// A part the case does not have is reported as "none". Building the report
// only reads the case: it never makes a manager, a database or a view.
//
// Temperatures are in degrees Celsius as the utility database keeps them;
// property-table rows in K, kJ/kmol and m3/kmol. The empty value -32767 is
// written as "-".

#ifndef PEMAR_CASEREPORT_CASEREPORT_H_
#define PEMAR_CASEREPORT_CASEREPORT_H_

#include <string>

#include "pemar/framework/Export.h"
#include "pemar/reports/ReportHolder.h"

namespace pemar {

class SimulationCase;

// Adds the sections above to the root of `report`, which should be empty
// (sections it already has of the same names are refused, and their
// content is not added). A section name that holds the path separator '/'
// gets '-' in its place; names repeated under one parent get " (2)",
// " (3)", ... so that every section is kept.
PEMAR_EXPORT void FillCaseReport(SimulationCase& theCase,
                                 IReportHolder& report);

// The numbered text of FillCaseReport on a fresh ReportHolder.
PEMAR_EXPORT std::string CaseReportText(SimulationCase& theCase);

}  // namespace pemar

#endif  // PEMAR_CASEREPORT_CASEREPORT_H_
