// The SVG pictures the tool's commands draw with --svg, and the demo.

#ifndef PEMAR_CLI_PICTURES_H_
#define PEMAR_CLI_PICTURES_H_

#include <string>
#include <vector>

namespace pemar::cli {

struct SteamState {
  double temperature = 0.0;  // K
  double pressure = 0.0;     // kPa
};

// The pressure-temperature chart of water: the saturation curve from the
// triple point to the critical point, the critical point, the boundary of
// sub-regions 2 and 3 from 623.15 K to 863.15 K, and `states` as marked
// points (those off the chart are left out). Pressure on a log axis.
std::string SteamChartSvg(const std::vector<SteamState>& states);

// A curve f(x) and its chords through the breakpoints (indexes into x and
// f, each below their size), the breakpoints marked.
std::string LinearizeSvg(const std::vector<double>& x,
                         const std::vector<double>& f,
                         const std::vector<int>& breakpoints);

}  // namespace pemar::cli

#endif  // PEMAR_CLI_PICTURES_H_
