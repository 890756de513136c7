// Drawing pictures: a two-dimensional plot of n points (one line data set
// with symbols and one point set, as the tool draws a curve and its marks),
// and the utility ladder of the built-in database. Counters give the
// picture's size in bytes.

#include <benchmark/benchmark.h>

#include <cmath>
#include <string>
#include <vector>

#include "pemar/diag/DataPlot.h"
#include "pemar/diag/LadderSvg.h"
#include "pemar/utility/IDefaultUtilityManager.h"

namespace pemar {
namespace {

void BM_PlotSvg(benchmark::State& state) {
  const auto n = static_cast<std::size_t>(state.range(0));
  std::vector<double> x(n), y(n);
  for (std::size_t i = 0; i < n; ++i) {
    x[i] = 273.16 + 374.0 * static_cast<double>(i) / static_cast<double>(n);
    y[i] = std::exp(x[i] / 40.0);
  }
  DataPlot plot;
  plot.SetLabels("n points", "x", "y");
  plot.Add(DataSetKind::kLine, "line", 2, x, y, {}, true);
  plot.Add(DataSetKind::kPoint, "points", 0, {300, 400, 500}, {1e3, 2e4, 3e5});
  static_cast<TwoDimPlot&>(plot.Plot()).SetLogAxis(false, true);
  std::size_t bytes = 0;
  for (auto _ : state) {
    const std::string svg = plot.Svg();
    bytes = svg.size();
    benchmark::DoNotOptimize(svg.data());
  }
  state.counters["bytes"] = static_cast<double>(bytes);
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_PlotSvg)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_UtilityLadderSvg(benchmark::State& state) {
  IDefaultUtilityManager* db = CreateDefaultUtilManager();
  std::size_t bytes = 0;
  for (auto _ : state) {
    const std::string svg = RenderUtilityLadderSvg(*db);
    bytes = svg.size();
    benchmark::DoNotOptimize(svg.data());
  }
  state.counters["bytes"] = static_cast<double>(bytes);
  ReleaseDefaultUtilManager(db);
}
BENCHMARK(BM_UtilityLadderSvg)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace pemar
