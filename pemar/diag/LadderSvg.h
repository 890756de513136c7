// LadderSvg: a temperature ladder drawn as an SVG 1.1 picture: one row per
// entry, its name at the left, its span as a bar on a common temperature
// axis and a second range as a thinner bar beneath it. It shows the utility
// database at a glance: each utility's inlet-to-outlet span over its AR
// range, hot utilities in red and cold ones in blue.
//
// The picture follows the plot pictures' rules (PlotSvg.h): deterministic
// bytes, coordinates with two decimals in the "C" form, texts escaped, no
// scripts or outside resources.

#ifndef PEMAR_DIAG_LADDERSVG_H_
#define PEMAR_DIAG_LADDERSVG_H_

#include <string>
#include <vector>

#include "pemar/diag/PlotSvg.h"
#include "pemar/framework/Export.h"

namespace pemar {

class IDefaultUtilityManager;

struct PEMAR_EXPORT LadderBar {
  std::string name;
  // Hot rows are drawn in GetColourID(0), cold ones in GetColourID(2).
  bool hot = true;
  // The bar and the range beneath it, in either order. A bound that is not
  // finite or is the empty value -32767 leaves that bar out; a bar whose
  // ends are equal is drawn as a short tick.
  double from = 0.0, to = 0.0;
  double range_low = 0.0, range_high = 0.0;
};

// The ladder of `bars`, top to bottom in the order given, under `title`,
// with `axis_label` under the axis. The picture is options.width wide; it
// is options.height high or, when the rows need more, as high as they need
// (at most 10000: rows beyond that are left out). The axis spans every
// drawn bound, widened to round numbers (0 to 1 without any).
PEMAR_EXPORT std::string RenderLadderSvg(const std::vector<LadderBar>& bars,
                                         const std::string& title,
                                         const std::string& axis_label,
                                         const SvgOptions& options = {});

// One bar per utility of `db` in its order: inlet to outlet temperature
// over the AR range (degrees Celsius, as the database keeps them); only
// cold utilities (ColdSegment) are drawn as cold.
PEMAR_EXPORT std::vector<LadderBar> UtilityLadderBars(
    IDefaultUtilityManager& db);

// The utility ladder of `db` with its title and axis label.
PEMAR_EXPORT std::string RenderUtilityLadderSvg(IDefaultUtilityManager& db,
                                                const SvgOptions& options = {});

}  // namespace pemar

#endif  // PEMAR_DIAG_LADDERSVG_H_
