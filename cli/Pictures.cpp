#include "Pictures.h"

#include "Registry.h"
#include "pemar/diag/DataPlot.h"

namespace pemar::cli {

std::string LinearizeSvg(const std::vector<double>& x,
                         const std::vector<double>& f,
                         const std::vector<int>& breakpoints) {
  DataPlot chart;
  chart.SetLabels("Piecewise linear fit", "x", "f");
  chart.Add(DataSetKind::kLine, "curve", 2, x, f);
  std::vector<double> bx, bf;
  for (int i : breakpoints) {
    bx.push_back(x[static_cast<std::size_t>(i)]);
    bf.push_back(f[static_cast<std::size_t>(i)]);
  }
  chart.Add(DataSetKind::kLine,
            std::to_string(breakpoints.size() - 1) + " chords", 0, bx, bf, {},
            true);
  return chart.Svg({720, 540});
}

}  // namespace pemar::cli
