// PlotSvg: the framework's plot objects drawn as SVG 1.1 pictures.
//
// A two-dimensional plot gets a frame with linear or logarithmic axes,
// ticks labelled in each axis' number format, the axis labels that are
// visible, the title and, when the plot shows it, a legend of the data sets
// that ask for one. A triangle plot gets its triangle (equilateral, or
// right-angled for the other form) with the three corner labels and a grid
// at tenths; a point (a, b, c) sits at the corners' weighted mean, with c
// taken as 1 - a - b for data sets of two monikers. A three-dimensional plot
// is drawn as a parallel projection of its data box, turned by the first
// view angle about the vertical axis and tilted by the second (degrees).
//
// Data sets are read now, through the plot's owner (DataSetPoints). Line
// sets draw their line (style and width) and their symbols, point sets their
// symbols, arrow sets one arrow from each point to the next (points 0 to 1,
// 2 to 3, ...). Colours are the data sets' colour references (GetColourID
// gives the standard ones); an unknown name draws black.
//
// Bad data never stops a picture: a point with a coordinate that is not
// finite, that is the empty value -32767, or that is not positive on a
// logarithmic axis is skipped, and a line is broken there. A plot without
// data draws its axes only, on the range 0 to 1 (1 to 10 when logarithmic)
// unless its parameters give a range. Parameter ranges that are automatic
// (-32767), reversed or unusable on a log axis are replaced by the data's.
// A number format that is not a single floating-point conversion is read as
// "%g". Texts are escaped; control characters other than tab are dropped
// and bytes that are not UTF-8 become U+FFFD.
//
// Coordinates are SVG user units (pixels at 100 %), written with two
// decimals in the "C" form whatever the process locale, so the same plot
// and data give the same bytes. The picture uses no scripts, fonts or
// resources from outside it.

#ifndef PEMAR_DIAG_PLOTSVG_H_
#define PEMAR_DIAG_PLOTSVG_H_

#include <string>

#include "pemar/framework/Export.h"
#include "pemar/framework/PlotObjects.h"

namespace pemar {

struct PEMAR_EXPORT SvgOptions {
  // The picture's size; each is clamped to 100 to 10000.
  int width = 640;
  int height = 480;
  // The id of the picture's clip path. Pictures placed in one page need
  // ids of their own; the id should be a plain XML name.
  std::string clip_id = "plot-area";
};

// The plot area of a picture of that size: the frame of a two-dimensional
// plot, the box the triangle or the projected cube is fitted into. A legend,
// when drawn, lies right of it.
struct PEMAR_EXPORT SvgPlotArea {
  double left = 0, top = 0, right = 0, bottom = 0;
};
PEMAR_EXPORT SvgPlotArea PlotSvgArea(const SvgOptions& options);

// The whole document, starting with the XML declaration.
PEMAR_EXPORT std::string RenderPlotSvg(const PlotObject& plot,
                                       const SvgOptions& options = {});

// Writes the picture to `path` through the file-system layer, replacing the
// file atomically. False when the write fails; the file is then as it was.
PEMAR_EXPORT bool WritePlotSvg(const PlotObject& plot, const std::string& path,
                               const SvgOptions& options = {});

}  // namespace pemar

#endif  // PEMAR_DIAG_PLOTSVG_H_
