// The feature manager at scale. A case holds 1,000 feature instances over
// three technologies (steam property tables, and plain heat-integration and
// separation views, registered by FeatureTestSupport.h), in turn: the time
// to create them through the manager, to save the case and to reopen it on
// the real disk, beside plain synced and unsynced writing of the same bytes;
// and the time to name one more instance among N existing ones, which is
// linear in N. The disk benchmarks are those of CaseBenchmarks.h, in TMPDIR.

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "CaseBenchmarks.h"
#include "pemar/case/CaseManagers.h"
#include "pemar/case/SimulationCase.h"
#include "pemar/features/ExpMgrView.h"
#include "pemar/features/FeatureRegistry.h"
#include "pemar/features/testing/FeatureTestSupport.h"
#include "pemar/framework/ConfigStore.h"
#include "pemar/framework/Platform.h"

namespace {

constexpr int kInstances = 1000;
constexpr auto& kKeys = pemar::test_support::kCreatableFeatureKeys;
constexpr int kTechnologies = sizeof kKeys / sizeof kKeys[0];

const pemar_bench::ScratchFolder& Folder() {
  static const pemar_bench::ScratchFolder folder("pemar-feature-bench");
  return folder;
}

void SetUpProcess() {
  static const bool done = [] {
    pemar_bench::DiscardMessages();
    pemar::ResetConfigStore();
    pemar::SetCommandLine(pemar::Text("feature_bench"));
    pemar::test_support::RegisterTestFeatures();
    return true;
  }();
  (void)done;
}

// A case saving to `path`, with its feature manager built and empty.
std::unique_ptr<pemar::SimulationCase> EmptyCase(const std::string& path,
                                                 pemar::ExpMgrView** manager) {
  SetUpProcess();
  auto theCase =
      std::make_unique<pemar::SimulationCase>(pemar::Text("SIM"), nullptr);
  theCase->SetFileName(pemar::Text(path));
  *manager = static_cast<pemar::ExpMgrView*>(
      pemar::CaseBuildManager(theCase.get(), "FeatureManager"));
  return theCase;
}

// Creates `count` instances through the manager, the technologies in turn,
// as the user adds them (each named uniquely); false when one fails.
bool AddInstances(pemar::ExpMgrView& manager, int count) {
  for (int i = 0; i < count; ++i) {
    if (manager.AddExperiment(kKeys[i % kTechnologies], nullptr) == nullptr) {
      return false;
    }
  }
  return true;
}

std::unique_ptr<pemar::SimulationCase> FeatureCase(const std::string& path) {
  pemar::ExpMgrView* manager = nullptr;
  auto theCase = EmptyCase(path, &manager);
  if (manager == nullptr || !AddInstances(*manager, kInstances)) return nullptr;
  return theCase;
}

// The file's size is reported in kB.
constexpr double kKB = 1e3;

// The case file that the reopen and plain-write benchmarks use, saved once.
const std::string& SavedCasePath() {
  static const std::string path = [] {
    std::string p = Folder().File("reference.kcs");
    auto theCase = FeatureCase(p);
    if (theCase == nullptr || !theCase->SaveDocument(0)) return std::string();
    return p;
  }();
  return path;
}

void BM_FeatureCreate(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    pemar::ExpMgrView* manager = nullptr;
    auto theCase = EmptyCase(Folder().File("create.kcs"), &manager);
    state.ResumeTiming();
    if (manager == nullptr || !AddInstances(*manager, kInstances)) {
      state.SkipWithError("an instance could not be created");
      break;
    }
    state.PauseTiming();
    theCase.reset();
    state.ResumeTiming();
  }
  state.counters["instances"] = kInstances;
}
BENCHMARK(BM_FeatureCreate)->Unit(benchmark::kMillisecond);

void BM_FeatureCaseSave(benchmark::State& state) {
  auto theCase = FeatureCase(Folder().File("save.kcs"));
  pemar_bench::SaveCaseBenchmark(state, theCase.get(), "file_kB", kKB);
}
BENCHMARK(BM_FeatureCaseSave)->Unit(benchmark::kMillisecond)->UseRealTime();

// A reopened case must hold every instance; freeing them is not timed.
void BM_FeatureCaseReopen(benchmark::State& state) {
  pemar_bench::ReopenCaseBenchmark(
      state, SavedCasePath(), "file_kB", kKB, [](pemar::SimulationCase& c) {
        pemar::ExpMgrView* manager = pemar::CaseFeatureManager(&c);
        return manager != nullptr && manager->AllInstances().size() ==
                                         static_cast<size_t>(kInstances);
      });
}
BENCHMARK(BM_FeatureCaseReopen)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_PlainWriteSynced(benchmark::State& state) {
  pemar_bench::PlainWriteBenchmark(
      state, SavedCasePath(), Folder().File("plain.bin"), true, "file_kB", kKB);
}
BENCHMARK(BM_PlainWriteSynced)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_PlainWriteUnsynced(benchmark::State& state) {
  pemar_bench::PlainWriteBenchmark(state, SavedCasePath(),
                                   Folder().File("plain.bin"), false, "file_kB",
                                   kKB);
}
BENCHMARK(BM_PlainWriteUnsynced)->Unit(benchmark::kMillisecond)->UseRealTime();

// Naming one more property table among N instances, a third of them tables.
// The instances are filed under names given here, so that setting up the
// largest N stays quick.
void BM_CreateUniqueName(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  pemar::ExpMgrView* manager = nullptr;
  auto theCase = EmptyCase(Folder().File("names.kcs"), &manager);
  for (int i = 0; manager != nullptr && i < count; ++i) {
    const pemar::FeatureInfo* info =
        pemar::FindFeatureInfo(kKeys[i % kTechnologies]);
    const std::string name =
        info->display_name.str() + std::to_string(i / kTechnologies + 1);
    manager->AddExperimentOldCS(info->key.c_str(),
                                info->builder(manager, name.c_str()));
  }
  if (manager == nullptr ||
      manager->AllInstances().size() != static_cast<size_t>(count)) {
    state.SkipWithError("the instances could not be made");
    return;
  }
  for (auto _ : state) {
    benchmark::DoNotOptimize(manager->CreateUniqueName(kKeys[0]));
  }
  state.SetComplexityN(count);
}
BENCHMARK(BM_CreateUniqueName)
    ->Arg(1000)
    ->Arg(2000)
    ->Arg(4000)
    ->Arg(10000)
    ->Unit(benchmark::kMicrosecond)
    ->Complexity(benchmark::oN);

}  // namespace
