// The pressure-temperature chart of water and steam as an SVG picture, drawn
// by the tool's steam command and the demo, and by any front end that shows
// steam states.

#ifndef PEMAR_DIAG_STEAMCHART_H_
#define PEMAR_DIAG_STEAMCHART_H_

#include <string>
#include <vector>

#include "pemar/framework/Export.h"

namespace pemar {

struct PEMAR_EXPORT SteamChartState {
  double temperature = 0.0;  // K
  double pressure = 0.0;     // kPa
};

// The saturation curve from the triple point to the critical point, the
// critical point, the boundary of sub-regions 2 and 3 from 623.15 K to
// 863.15 K, and `states` as marked points (those off the chart, or not
// finite, are left out), 720 x 540, pressure on a log axis. The axes keep to
// where the steam formulation holds, whatever the states.
PEMAR_EXPORT std::string SteamChartSvg(
    const std::vector<SteamChartState>& states);

}  // namespace pemar

#endif  // PEMAR_DIAG_STEAMCHART_H_
