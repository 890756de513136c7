#include "pemar/diag/SteamChart.h"

#include "pemar/diag/DataPlot.h"
#include "pemar/framework/PlotObjects.h"
#include "pemar/numerics/SteamProperties.h"

namespace pemar {

std::string SteamChartSvg(const std::vector<SteamChartState>& states) {
  const double tc = SteamCriticalProperty("Temperature");  // K
  const double pc = SteamCriticalProperty("Pressure");     // kPa
  constexpr double kTriplePoint = 273.16;                  // K
  constexpr int kSteps = 200;

  // The chart keeps to where IFC-67 holds, whatever the states.
  PlotParameters range(2);
  range.SetRange(0, kTriplePoint - 0.16, 1073.15);
  range.SetRange(1, 0.1, 1e6);
  DataPlot chart;
  chart.Plot().SetParameters(&range);
  chart.SetLabels("Water and steam (IFC-67)", "T / K", "p / kPa");
  static_cast<TwoDimPlot&>(chart.Plot()).SetLogAxis(false, true);
  std::vector<double> t, p;
  for (int i = 0; i <= kSteps; ++i) {
    const double at = kTriplePoint + (tc - kTriplePoint) * i / kSteps;
    t.push_back(at);
    p.push_back(Steam67ReducedVPCalcT(at) * pc);
  }
  chart.Add(DataSetKind::kLine, "saturation", 2, t, p);

  // The boundary's reduced form takes reduced temperatures.
  t.clear();
  p.clear();
  for (int i = 0; i <= 40; ++i) {
    const double at = 623.15 + 240.0 * i / 40;
    t.push_back(at);
    p.push_back(Steam67Beta_lCalcT(at / tc) * pc);
  }
  chart.Add(DataSetKind::kLine, "2/3 boundary", 10, t, p).line_style = 1;
  chart.Add(DataSetKind::kPoint, "critical point", 0, {tc}, {pc}).symbol = 1;

  t.clear();
  p.clear();
  for (const SteamChartState& s : states) {
    t.push_back(s.temperature);
    p.push_back(s.pressure);
  }
  if (!t.empty()) {
    chart
        .Add(DataSetKind::kPoint, states.size() == 1 ? "state" : "states", 3, t,
             p)
        .symbol = 2;
  }
  return chart.Svg({720, 540});
}

}  // namespace pemar
