// PemarSparseMatrix: element set and get, and appending a block, at 10^3 and
// 10^5 stored elements (ten elements per row, scattered columns).

#include <benchmark/benchmark.h>

#include <memory>

#include "pemar/numerics/SparseMatrix.h"

namespace {

constexpr int kPerRow = 10;

int Column(int row, int k) { return (row * 7919 + k * 104729) % 100000; }

void Fill(pemar::PemarSparseMatrix& m, int elements) {
  const int rows = elements / kPerRow;
  for (int r = 0; r < rows; ++r) {
    for (int k = 0; k < kPerRow; ++k) m.SetElement(r, Column(r, k), r + k);
  }
}

// Setting every element into a fresh matrix; time per element.
void BM_SetElement(benchmark::State& state) {
  const int elements = static_cast<int>(state.range(0));
  for (auto _ : state) {
    pemar::PemarSparseMatrix m(elements / kPerRow, 100000);
    Fill(m, elements);
    benchmark::DoNotOptimize(m);
  }
  state.SetItemsProcessed(state.iterations() * elements);
}
BENCHMARK(BM_SetElement)->Arg(1000)->Arg(100000);

// Overwriting stored elements; time per element.
void BM_SetExistingElement(benchmark::State& state) {
  const int elements = static_cast<int>(state.range(0));
  pemar::PemarSparseMatrix m(elements / kPerRow, 100000);
  Fill(m, elements);
  for (auto _ : state) Fill(m, elements);
  state.SetItemsProcessed(state.iterations() * elements);
}
BENCHMARK(BM_SetExistingElement)->Arg(1000)->Arg(100000);

// Reading stored elements, and as many absent ones; time per read.
void BM_GetElement(benchmark::State& state) {
  const int elements = static_cast<int>(state.range(0));
  const int rows = elements / kPerRow;
  pemar::PemarSparseMatrix m(rows, 100000);
  Fill(m, elements);
  for (auto _ : state) {
    double sum = 0.0;
    for (int r = 0; r < rows; ++r) {
      for (int k = 0; k < kPerRow; ++k) {
        sum += m.GetElement(r, Column(r, k));
        sum += m.GetElement(r, Column(r, k) + 1);
      }
    }
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * 2 * elements);
}
BENCHMARK(BM_GetElement)->Arg(1000)->Arg(100000);

// Appending a matrix of the given size to a copy of one of the same size.
void BM_AppendMatrix(benchmark::State& state) {
  const int elements = static_cast<int>(state.range(0));
  pemar::PemarSparseMatrix base(elements / kPerRow, 100000);
  Fill(base, elements);
  pemar::PemarSparseMatrix other(base);
  for (auto _ : state) {
    // Copying the base and freeing the result are not part of the append.
    state.PauseTiming();
    auto m = std::make_unique<pemar::PemarSparseMatrix>(base);
    state.ResumeTiming();
    m->AppendMatrix(&other);
    benchmark::DoNotOptimize(m.get());
    state.PauseTiming();
    m.reset();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * elements);
}
BENCHMARK(BM_AppendMatrix)
    ->Arg(1000)
    ->Arg(100000)
    ->Unit(benchmark::kMicrosecond);

}  // namespace
