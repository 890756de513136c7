// Pieces shared by the SVG renderer's files: number and text output, axis
// scales and their ticks. Not part of the library's interface.

#ifndef PEMAR_DIAG_PLOTSVGINTERNAL_H_
#define PEMAR_DIAG_PLOTSVGINTERNAL_H_

#include <string>
#include <string_view>
#include <vector>

#include "pemar/framework/PlotColours.h"
#include "pemar/framework/Text.h"

namespace pemar::plot_svg {

// A coordinate with two decimals and a point, whatever the locale; values
// beyond +-1e6 are clamped there so that wild data cannot blow up the file.
std::string Num(double v);
// `s` as XML character data or attribute value: the five special
// characters as entities, control characters other than tab dropped, and
// each byte that does not start a well-formed UTF-8 character replaced by
// U+FFFD.
std::string Escape(std::string_view s);
// "#rrggbb".
std::string Hex(const RgbColour& rgb);
// `v` in the axis' printf format when that is one floating-point conversion
// (flags, width and precision of at most two digits each, other text and
// "%%" around it); in "%g" otherwise.
std::string FormatTick(const Text& format, double v);

// The XML declaration and the opening tag of a picture `w` by `h` pixels,
// with the fonts every picture uses.
std::string SvgStart(int w, int h);

// True for a usable data value: finite and not the empty value.
bool Usable(double v);

// One axis: the value range and the pixels its ends map to.
struct Scale {
  double min = 0.0;
  double max = 1.0;
  bool log = false;
  double from_px = 0.0;
  double to_px = 1.0;

  // Whether `v` can be drawn on the axis (positive when logarithmic).
  bool Accepts(double v) const { return Usable(v) && (!log || v > 0.0); }
  double Map(double v) const;
};

// The range of an axis: the user's `minimum` and `maximum` when both are
// usable (and positive when `log`) and increasing, else the range of the
// accepted `values` widened to round numbers (decades when `log`), else 0
// to 1 (1 to 10). The result always has min < max, both finite.
void ChooseRange(const std::vector<double>& values, double minimum,
                 double maximum, Scale& scale);

// The tick values inside the scale's range: round steps of 1, 2 or 5 times
// a power of ten, or decades when logarithmic; at most 50.
std::vector<double> Ticks(const Scale& scale);

}  // namespace pemar::plot_svg

#endif  // PEMAR_DIAG_PLOTSVGINTERNAL_H_
