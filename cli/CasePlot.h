// The plot views of a case drawn as pictures by the tool; listing and making
// them is shared with the web application (tooling/CasePlots.h).

#ifndef PEMAR_CLI_CASEPLOT_H_
#define PEMAR_CLI_CASEPLOT_H_

#include <ostream>
#include <string>

#include "pemar/case/SimulationCase.h"

namespace pemar::cli {

// Draws every plot view and named plot of `doc` as an SVG file in `dir`
// (made when missing), named by its position and name ("1-name.svg"), and
// lists the files written on `out`. False, with an error printed, when a
// file cannot be written.
bool WritePlotPictures(std::ostream& out, SimulationCase& doc,
                       const std::string& dir);

}  // namespace pemar::cli

#endif  // PEMAR_CLI_CASEPLOT_H_
