// The plots a document shows: those of its plot views and named plots, as
// listings, pictures and report pages take them.

#ifndef PEMAR_DIAG_DOCUMENTPLOTS_H_
#define PEMAR_DIAG_DOCUMENTPLOTS_H_

#include <vector>

#include "pemar/framework/Export.h"
#include "pemar/framework/Text.h"

namespace pemar {

class Document;
class PlotObject;

struct PEMAR_EXPORT DocumentPlot {
  PlotObject* plot = nullptr;  // not owned; lives as long as its view
  Text name;                   // the view's or named plot's name; may be empty
};

// Every plot view and named plot of `document` that has a built plot, in
// the order of the document's object manager.
PEMAR_EXPORT std::vector<DocumentPlot> DocumentPlots(Document& document);

}  // namespace pemar

#endif  // PEMAR_DIAG_DOCUMENTPLOTS_H_
