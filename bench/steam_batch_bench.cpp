// One million steam enthalpies: the batch form against a loop of scalar
// calls, in sub-region 1, in sub-region 2 and on a steam-table grid (a
// thousand pressures at each of a thousand temperatures). Reported per state.

#include <benchmark/benchmark.h>

#include <cstddef>
#include <random>
#include <vector>

#include "pemar/numerics/SteamBatch.h"
#include "pemar/numerics/SteamProperties.h"

namespace {

constexpr std::size_t kStates = 1000000;

struct States {
  std::vector<double> t, p;
  int hint;
};

// Random states: 0 compressed liquid (280-600 K at 25-60 MPa), 1 steam
// (650-1050 K at 1-10 MPa); 2 a grid of 1000 temperatures from 650 K by
// 0.4 K, each at 1000 pressures from 10 kPa by 10 kPa.
States MakeStates(int kind) {
  States s;
  s.hint = kind == 0 ? 1 : 0;
  std::mt19937_64 random(42);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  for (std::size_t i = 0; i < kStates; ++i) {
    if (kind == 0) {
      s.t.push_back(280.0 + 320.0 * unit(random));
      s.p.push_back(25000.0 + 35000.0 * unit(random));
    } else if (kind == 1) {
      s.t.push_back(650.0 + 400.0 * unit(random));
      s.p.push_back(1000.0 + 9000.0 * unit(random));
    } else {
      s.t.push_back(650.0 + 0.4 * static_cast<double>(i / 1000));
      s.p.push_back(10.0 + 10.0 * static_cast<double>(i % 1000));
    }
  }
  return s;
}

const char* Label(int kind) {
  return kind == 0 ? "sub-region 1" : kind == 1 ? "sub-region 2" : "table";
}

void BM_EnthalpyBatch(benchmark::State& state) {
  const States s = MakeStates(static_cast<int>(state.range(0)));
  std::vector<double> out(kStates);
  for (auto _ : state) {
    pemar::SteamEnthalpyBatch(s.t.data(), 1, s.p.data(), 1, kStates, s.hint,
                              out.data());
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kStates);
  state.SetLabel(Label(static_cast<int>(state.range(0))));
}
BENCHMARK(BM_EnthalpyBatch)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

void BM_EnthalpyScalarLoop(benchmark::State& state) {
  const States s = MakeStates(static_cast<int>(state.range(0)));
  std::vector<double> out(kStates);
  for (auto _ : state) {
    for (std::size_t i = 0; i < kStates; ++i)
      out[i] = pemar::SteamEnthalpyCalcTPi(s.t[i], s.p[i], s.hint);
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kStates);
  state.SetLabel(Label(static_cast<int>(state.range(0))));
}
BENCHMARK(BM_EnthalpyScalarLoop)
    ->DenseRange(0, 2)
    ->Unit(benchmark::kMillisecond);

}  // namespace
