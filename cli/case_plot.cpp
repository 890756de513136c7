// pemar case plot --svg: the plot views a case holds, drawn as pictures.
// The command itself is set up with the other case commands
// (case_command.cpp).

#include <filesystem>
#include <string>

#include "CasePlot.h"
#include "Registry.h"
#include "pemar/diag/DocumentPlots.h"
#include "pemar/diag/PlotSvg.h"
#include "tooling/CasePlots.h"

namespace pemar::cli {

bool WritePlotPictures(std::ostream& out, SimulationCase& doc,
                       const std::string& dir) {
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  int count = 0;
  for (const DocumentPlot& shown : DocumentPlots(doc)) {
    ++count;
    const std::string path =
        (std::filesystem::path(dir) /
         (std::to_string(count) + "-" +
          tooling::PlotFileStem(shown.name.str()) + ".svg"))
            .string();
    if (!WriteOutputFile(path, RenderPlotSvg(*shown.plot))) return false;
    out << "picture: " << path << "\n";
  }
  return true;
}

}  // namespace pemar::cli
