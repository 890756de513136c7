// The plot views of a case as the tool shows and makes them.

#ifndef PEMAR_CLI_CASEPLOT_H_
#define PEMAR_CLI_CASEPLOT_H_

#include <ostream>
#include <string>

#include "pemar/case/SimulationCase.h"

namespace pemar::cli {

// Lists every plot view and named plot of `doc`: type, labels, data sets
// and the points each gives now; "no plot views" when there is none.
void PrintPlots(std::ostream& out, SimulationCase& doc);

// Draws every plot view and named plot of `doc` as an SVG file in `dir`
// (made when missing), named by its position and name ("1-name.svg"), and
// lists the files written on `out`. False, with an error printed, when a
// file cannot be written.
bool WritePlotPictures(std::ostream& out, SimulationCase& doc,
                       const std::string& dir);

// Adds to `doc` a steam saturation curve (300 to 600 K in 13 points) and a
// two-dimensional plot view of it, pressure on a log axis over temperature.
// False when it cannot.
bool AddSaturationPlot(SimulationCase& doc);

}  // namespace pemar::cli

#endif  // PEMAR_CLI_CASEPLOT_H_
