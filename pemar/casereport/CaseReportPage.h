// CaseReportPage: the case report as one self-contained HTML page, to read
// on a screen, print or send.
//
// The page holds the numbered sections of FillCaseReport (CaseReport.h),
// each heading numbered as in the text report and each text kept as written
// (tables stay aligned), then two numbered sections of pictures: the utility
// ladder of the case's utility database (LadderSvg.h) and every plot view
// and named plot of the case drawn as SVG (PlotSvg.h), each under its name.
// A part the case does not have reads "none".
//
// The page fetches nothing: the style sheet and the pictures are inline, and
// there are no scripts. It is well-formed XML as well as HTML, and the same
// case gives the same bytes. Building it only reads the case, like the text
// report.

#ifndef PEMAR_CASEREPORT_CASEREPORTPAGE_H_
#define PEMAR_CASEREPORT_CASEREPORTPAGE_H_

#include <string>

#include "pemar/framework/Export.h"

namespace pemar {

class SimulationCase;

PEMAR_EXPORT std::string CaseReportHtml(SimulationCase& theCase);

// The page written to `path` atomically through the file-system layer;
// false, and the file as it was, when the write fails.
PEMAR_EXPORT bool WriteCaseReportHtml(SimulationCase& theCase,
                                      const std::string& path);

}  // namespace pemar

#endif  // PEMAR_CASEREPORT_CASEREPORTPAGE_H_
