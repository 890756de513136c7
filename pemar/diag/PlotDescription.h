// PlotDescription: a canonical text of a plot view, its data-set records,
// its parameter sets and its plot with the plot's data sets and their
// points, so that two views (a view and its copy reopened from a file) can
// be compared line by line, and people can read what a case holds.
//
// Doubles are written exactly (hexadecimal; "nan" for every NaN) unless
// `readable` is set, which writes them with six significant digits. Texts
// are quoted, with bytes outside printable ASCII escaped. Left out, because
// a recall sets them up again rather than reading them: the plot's
// inspection events, its interaction object and a triangle's mouse
// monikers, the view's mapping style (applied only to plots built later),
// and a triangle view's own copy of its corner labels (stored only with its
// plot, which is described).

#ifndef PEMAR_DIAG_PLOTDESCRIPTION_H_
#define PEMAR_DIAG_PLOTDESCRIPTION_H_

#include <string>

#include "pemar/framework/Export.h"

namespace pemar {

class Document;
class PlotView;
class PlotObject;

// Every plot view and named plot of `document`, in the order the document
// holds them; "(no plot views)" when there is none.
PEMAR_EXPORT std::string DescribeDocumentPlots(Document& document,
                                               bool readable = false);

PEMAR_EXPORT std::string DescribePlotView(PlotView& view,
                                          bool readable = false);
// The plot alone: title, axes, settings and each data set with its points.
PEMAR_EXPORT std::string DescribePlot(PlotObject& plot, bool readable = false);

}  // namespace pemar

#endif  // PEMAR_DIAG_PLOTDESCRIPTION_H_
