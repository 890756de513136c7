// Cost per call of the steam functions: volume and enthalpy in each IFC-67
// sub-region, the saturation pressure and the boiling temperature.

#include <benchmark/benchmark.h>

#include <array>
#include <cstddef>

#include "pemar/numerics/SteamProperties.h"

namespace {

struct State {
  double t;  // K
  double p;  // kPa
  int hint;
};

// A few states per sub-region, visited in turn so that no single input is
// measured alone.
constexpr std::array<std::array<State, 4>, 4> kStates = {{
    {{{300.0, 3000.0, 1},
      {500.0, 3000.0, 1},
      {550.0, 20000.0, 1},
      {600.0, 50000.0, 1}}},
    {{{500.0, 1000.0, 0},
      {700.0, 3.5, 0},
      {773.15, 800.0, 0},
      {1073.15, 100000.0, 0}}},
    {{{700.0, 50000.0, 0},
      {673.15, 25000.0, 0},
      {723.15, 40000.0, 0},
      {813.15, 100000.0, 0}}},
    {{{640.0, 25000.0, 1},
      {633.15, 20000.0, 1},
      {630.0, 100000.0, 1},
      {643.15, 50000.0, 1}}},
}};

void BM_Volume(benchmark::State& state) {
  const auto& states = kStates[state.range(0) - 1];
  std::size_t i = 0;
  for (auto _ : state) {
    const State& s = states[i++ & 3];
    benchmark::DoNotOptimize(pemar::Steam67VolumeCalcTPi(s.t, s.p, s.hint));
  }
  state.SetLabel("sub-region " + std::to_string(state.range(0)));
}
BENCHMARK(BM_Volume)->DenseRange(1, 4);

void BM_Enthalpy(benchmark::State& state) {
  const auto& states = kStates[state.range(0) - 1];
  std::size_t i = 0;
  for (auto _ : state) {
    const State& s = states[i++ & 3];
    benchmark::DoNotOptimize(pemar::SteamEnthalpyCalcTPi(s.t, s.p, s.hint));
  }
  state.SetLabel("sub-region " + std::to_string(state.range(0)));
}
BENCHMARK(BM_Enthalpy)->DenseRange(1, 4);

void BM_SaturationPressure(benchmark::State& state) {
  constexpr double kTemperatures[4] = {300.0, 373.15, 500.0, 620.0};
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        pemar::Steam67ReducedVPCalcT(kTemperatures[i++ & 3]));
  }
}
BENCHMARK(BM_SaturationPressure);

void BM_BoilingTemperature(benchmark::State& state) {
  constexpr double kPressures[4] = {10.0, 101.325, 1000.0, 15000.0};
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(pemar::Steam67ReducedBPCalcT(kPressures[i++ & 3]));
  }
}
BENCHMARK(BM_BoilingTemperature);

}  // namespace
