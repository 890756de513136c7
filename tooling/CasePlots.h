// The plot views of a case as the tool and the web application show and
// make them.

#ifndef PEMAR_TOOLING_CASEPLOTS_H_
#define PEMAR_TOOLING_CASEPLOTS_H_

#include <nlohmann/json.hpp>
#include <ostream>
#include <string>

#include "pemar/case/SimulationCase.h"

namespace pemar::tooling {

// Lists every plot view and named plot of `doc`: type, labels, data sets
// and the points each gives now; "no plot views" when there is none.
void PrintPlots(std::ostream& out, SimulationCase& doc);

// The plots of `doc` that are drawn (DocumentPlots), numbered from 1 in that
// order: [{"number", "name", "type", "axes": [{"label", "log"}],
// "data_sets": [{"id", "label", "kind", "points"}]}]. Reading a data set's
// points asks its source for them now.
nlohmann::ordered_json PlotsJson(SimulationCase& doc);

// A file name stem from a plot's name: ASCII letters and digits in lower
// case, other runs as one '-', at most 40 characters; "plot" when nothing
// is left. Never a path: no '/', '\\' or '.'.
std::string PlotFileStem(const std::string& name);

// Adds to `doc` a steam saturation curve (300 to 600 K in 13 points) and a
// two-dimensional plot view of it, pressure on a log axis over temperature.
// False when it cannot.
bool AddSaturationPlot(SimulationCase& doc);

}  // namespace pemar::tooling

#endif  // PEMAR_TOOLING_CASEPLOTS_H_
