// The SVG pictures the tool's commands draw with --svg, and the demo.

#ifndef PEMAR_CLI_PICTURES_H_
#define PEMAR_CLI_PICTURES_H_

#include <string>
#include <vector>

#include "pemar/diag/SteamChart.h"

namespace pemar::cli {

// The steam chart is the library's (pemar/diag/SteamChart.h).
using SteamState = SteamChartState;

// A curve f(x) and its chords through the breakpoints (indexes into x and
// f, each below their size), the breakpoints marked.
std::string LinearizeSvg(const std::vector<double>& x,
                         const std::vector<double>& f,
                         const std::vector<int>& breakpoints);

}  // namespace pemar::cli

#endif  // PEMAR_CLI_PICTURES_H_
