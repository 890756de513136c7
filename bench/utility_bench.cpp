// Speed of the utility database: AR recomputation, the two selection
// queries, store and recall of a large database, and the reopening of a
// case's utility database through its editor.
//
// Databases of n utilities are generated (half hot, half cold, spread over
// the temperature range) and loaded by a recall, so that building them does
// not pay n recomputations. n = 22 is the built-in set.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <random>
#include <string>

#include "pemar/framework/BinaryFile.h"
#include "pemar/framework/ConfigStore.h"
#include "pemar/persist/PemarBinaryFile.h"
#include "pemar/utility/DefaultManager.h"
#include "pemar/utility/DefaultUtilManagerView.h"

namespace {

using pemar::DefaultManager;

std::string ScratchFile(const std::string& name) {
  std::string file = "pemar_utility_bench_";
  file.append(std::to_string(::getpid())).append("_").append(name);
  return (std::filesystem::temp_directory_path() / file).string();
}

// Writes a UtilitiesOnly set of n generated utilities.
bool WriteGeneratedSet(const std::string& path, int n) {
  std::mt19937 rng(12345);
  std::uniform_real_distribution<double> temperature(-250.0, 2900.0);
  pemar::BinaryFile file{pemar::Text(path), pemar::Text()};
  if (!file.Create()) return false;
  bool ok;
  {
    pemar::PemarBinaryFile f(&file);
    pemar::ChunkHeader* h = nullptr;
    ok = f.CreateChunk(&h, 5) && f.Write(static_cast<unsigned char>(1)) &&
         f.Write(n);
    for (int i = 0; ok && i < n; ++i) {
      const bool hot = i % 2 == 0;
      const double t = temperature(rng);
      pemar::DefaultUtility u(pemar::Text::Format("U%d", i),
                              hot ? pemar::HotSegment : pemar::ColdSegment, t,
                              hot ? t - 5 : t + 5, 1.0, 1e-6 * (1 + i % 97),
                              pemar::kEmptyValue, pemar::kEmptyValue, 5.0,
                              "Shell & Tube", 1, 1, 1, 1);
      ok = u.Store(&f);
    }
    ok = ok && f.Write(0) && f.CloseChunk(h);
  }
  return file.Close() && ok;
}

std::unique_ptr<DefaultManager> MakeDatabase(int n) {
  pemar::ResetConfigStore();
  auto m = std::unique_ptr<DefaultManager>(
      static_cast<DefaultManager*>(pemar::CreateDefaultUtilManager()));
  if (n != 22) {
    const std::string path =
        ScratchFile(std::string("set").append(std::to_string(n)));
    pemar::PemarBinaryFile file(WriteGeneratedSet(path, n) ? path.c_str()
                                                           : nullptr);
    if (!m->Recall(&file, pemar::UtilitiesOnly)) return nullptr;
    std::filesystem::remove(path);
  }
  m->SetMode(1);  // no broadcast: measure the database alone
  // The first utility's delta-T min edit recomputes every AR range; it finds
  // its utility at once, so the recomputation is what is measured.
  m->SetValue(m->GetDefaultUtilityName(0), pemar::DeltaTmin, 5.0);
  return m;
}

void BM_CalculateARTemp(benchmark::State& state) {
  auto m = MakeDatabase(static_cast<int>(state.range(0)));
  if (!m) return state.SkipWithError("cannot build the database");
  const std::string first = m->GetDefaultUtilityName(0);
  double dt = 5.0;
  for (auto _ : state) {
    dt = dt == 5.0 ? 6.0 : 5.0;
    benchmark::DoNotOptimize(m->SetValue(first.c_str(), pemar::DeltaTmin, dt));
  }
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_CalculateARTemp)
    ->Arg(22)
    ->Arg(1000)
    ->Arg(100000)
    ->Complexity(benchmark::oNLogN)
    ->Unit(benchmark::kMicrosecond);

void BM_GetRecommendedUtilityName(benchmark::State& state) {
  auto m = MakeDatabase(static_cast<int>(state.range(0)));
  if (!m) return state.SkipWithError("cannot build the database");
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> t(-200.0, 2800.0);
  int i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(m->GetRecommendedUtilityName(
        t(rng), ++i % 2 ? pemar::HotSegment : pemar::ColdSegment, nullptr));
  }
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_GetRecommendedUtilityName)
    ->Arg(22)
    ->Arg(1000)
    ->Arg(100000)
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMicrosecond);

void BM_GetMostEconomicalUtilityName(benchmark::State& state) {
  auto m = MakeDatabase(static_cast<int>(state.range(0)));
  if (!m) return state.SkipWithError("cannot build the database");
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> t(-200.0, 2800.0);
  int i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(m->GetMostEconomicalUtilityName(
        t(rng), ++i % 2 ? pemar::HotSegment : pemar::ColdSegment));
  }
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_GetMostEconomicalUtilityName)
    ->Arg(22)
    ->Arg(1000)
    ->Arg(100000)
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMicrosecond);

void BM_StoreDatabase(benchmark::State& state) {
  auto m = MakeDatabase(static_cast<int>(state.range(0)));
  if (!m) return state.SkipWithError("cannot build the database");
  const std::string path = ScratchFile("store");
  std::int64_t bytes = 0;
  for (auto _ : state) {
    pemar::BinaryFile file{pemar::Text(path), pemar::Text()};
    file.Create();
    {
      pemar::PemarBinaryFile f(&file);
      m->Store(&f, pemar::UtilitiesOnly);
    }
    bytes = static_cast<std::int64_t>(file.Position());
    file.Close();
  }
  state.SetBytesProcessed(bytes * state.iterations());
  std::filesystem::remove(path);
}
BENCHMARK(BM_StoreDatabase)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_RecallDatabase(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const std::string path = ScratchFile("recall");
  if (!WriteGeneratedSet(path, n)) {
    return state.SkipWithError("cannot write the set");
  }
  const auto bytes =
      static_cast<std::int64_t>(std::filesystem::file_size(path));
  DefaultManager m;
  for (auto _ : state) {
    pemar::PemarBinaryFile file(path.c_str());
    if (!m.Recall(&file, pemar::UtilitiesOnly)) {
      return state.SkipWithError("recall failed");
    }
  }
  state.SetBytesProcessed(bytes * state.iterations());
  std::filesystem::remove(path);
}
BENCHMARK(BM_RecallDatabase)->Arg(100000)->Unit(benchmark::kMillisecond);

// What every reopening of a case with a utility database does: the editor's
// class data, holding the built-in database, recalled into a new editor.
void BM_ReopenEditorDatabase(benchmark::State& state) {
  auto m = MakeDatabase(22);
  if (!m) return state.SkipWithError("cannot build the database");
  const std::string path = ScratchFile("editor");
  {
    pemar::DefaultUtilManagerView editor(nullptr, m.get());
    pemar::BinaryFile file{pemar::Text(path), pemar::Text()};
    if (!file.Create() || !editor.StoreClassData(file) || !file.Close()) {
      return state.SkipWithError("cannot store the editor");
    }
  }
  for (auto _ : state) {
    pemar::BinaryFile file{pemar::Text(path)};
    pemar::DefaultUtilManagerView reopened(nullptr, nullptr);
    if (!file.Open() ||
        !reopened.RecallClassData(
            file, pemar::DefaultUtilManagerView::kClassDataVersion)) {
      return state.SkipWithError("recall failed");
    }
  }
  std::filesystem::remove(path);
}
BENCHMARK(BM_ReopenEditorDatabase)->Unit(benchmark::kMicrosecond);

}  // namespace
