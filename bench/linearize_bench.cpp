// AutoLinearizeFunction on smooth curves of 20, 100 and 1,000 points: the
// whole automatic search, from setting the function to the breakpoint list.

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "pemar/numerics/LinearizeFunction.h"

namespace {

// A heating curve shape: a steep rise, a bend and a slow tail, with a small
// wave so that the fit needs several segments.
void MakeCurve(int n, std::vector<double>& x, std::vector<double>& f) {
  x.resize(n);
  f.resize(n);
  for (int i = 0; i < n; ++i) {
    x[i] = 10.0 * i / (n - 1);
    f[i] = 100.0 * (1.0 - std::exp(-0.6 * x[i])) + 3.0 * std::sin(1.3 * x[i]);
  }
}

void BM_AutoLinearize(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  std::vector<double> x, f;
  MakeCurve(n, x, f);
  int segments = 0;
  double performance = 0.0;
  for (auto _ : state) {
    pemar::AutoLinearizeFunction lin;
    lin.SetFunctionVector(f.data(), x.data(), n);
    int* points = lin.GetLinearizedPoints();
    benchmark::DoNotOptimize(points);
    segments = lin.GetNumberOfLinearSegments();
    lin.GetPerformance(performance);
  }
  state.counters["segments"] = segments;
  state.counters["performance"] = performance;
}
BENCHMARK(BM_AutoLinearize)
    ->Arg(20)
    ->Arg(100)
    ->Arg(1000)
    ->Unit(benchmark::kMicrosecond);

}  // namespace
