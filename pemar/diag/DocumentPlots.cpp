#include "pemar/diag/DocumentPlots.h"

#include "pemar/diag/NamedPlot.h"
#include "pemar/diag/PlotView.h"
#include "pemar/framework/Document.h"
#include "pemar/framework/ObjectManager.h"

namespace pemar {

std::vector<DocumentPlot> DocumentPlots(Document& document) {
  std::vector<DocumentPlot> plots;
  for (Viewable* object : document.GetObjectManager().Objects()) {
    DocumentPlot found;
    if (auto* view = dynamic_cast<PlotView*>(object)) {
      found = {view->GetPlotObject(), view->GetName()};
    } else if (auto* named = dynamic_cast<NamedPlot*>(object)) {
      found = {named->GetPlotObject(), named->GetPlotName()};
    }
    if (found.plot != nullptr) plots.push_back(std::move(found));
  }
  return plots;
}

}  // namespace pemar
