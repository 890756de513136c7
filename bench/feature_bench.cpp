// The feature manager at scale. A case holds 1,000 feature instances over
// three technologies (steam property tables, and plain heat-integration and
// separation views, registered by FeatureTestSupport.h), in turn: the time
// to create them through the manager, to save the case and to reopen it on
// the real disk, beside plain synced and unsynced writing of the same bytes;
// and the time to name one more instance among N existing ones, which is
// linear in N.
//
// The folder is the system's temporary folder (TMPDIR); it must be on a real
// disk for the synced figures to mean anything. Disk figures are wall-clock
// time, because the syncs wait on the disk rather than use the processor.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>

#include "PlainWrite.h"
#include "pemar/case/CaseManagers.h"
#include "pemar/case/SimulationCase.h"
#include "pemar/features/ExpMgrView.h"
#include "pemar/features/FeatureRegistry.h"
#include "pemar/features/testing/FeatureTestSupport.h"
#include "pemar/framework/ConfigStore.h"
#include "pemar/framework/Messages.h"
#include "pemar/framework/Platform.h"

namespace {

constexpr int kInstances = 1000;
constexpr auto& kKeys = pemar::test_support::kCreatableFeatureKeys;
constexpr int kTechnologies = sizeof kKeys / sizeof kKeys[0];

// Save traces would otherwise go to standard error at every iteration.
class DiscardingSink : public pemar::MessageSink {
 public:
  void Deliver(const pemar::Message& /*message*/) override {}
};

// Made at start-up and removed at exit (folder_cleanup below is destroyed
// before it).
const std::filesystem::path kFolder = [] {
  std::filesystem::path f =
      std::filesystem::temp_directory_path() /
      ("pemar-feature-bench-" + std::to_string(::getpid()));
  std::filesystem::create_directories(f);
  return f;
}();

void SetUpProcess() {
  static const bool done = [] {
    static DiscardingSink sink;
    pemar::SetMessageSink(&sink);
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

void ReportBytes(benchmark::State& state, std::uint64_t bytes) {
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(bytes));
  state.counters["file_kB"] = static_cast<double>(bytes) / 1e3;
}

// The case file that the reopen and plain-write benchmarks use, saved once.
const std::string& SavedCasePath() {
  static const std::string path = [] {
    std::string p = (kFolder / "reference.kcs").string();
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
    auto theCase = EmptyCase((kFolder / "create.kcs").string(), &manager);
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
  const std::string path = (kFolder / "save.kcs").string();
  auto theCase = FeatureCase(path);
  if (theCase == nullptr) {
    state.SkipWithError("the case could not be built");
    return;
  }
  for (auto _ : state) {
    if (!theCase->SaveDocument(0)) {
      state.SkipWithError("save failed");
      break;
    }
  }
  ReportBytes(state, std::filesystem::file_size(path));
}
BENCHMARK(BM_FeatureCaseSave)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_FeatureCaseReopen(benchmark::State& state) {
  const std::string& path = SavedCasePath();
  if (path.empty()) {
    state.SkipWithError("the case could not be saved");
    return;
  }
  for (auto _ : state) {
    auto theCase =
        std::make_unique<pemar::SimulationCase>(pemar::Text("SIM"), nullptr);
    if (!theCase->RecallDocument(pemar::FileName(pemar::Text(path))) ||
        pemar::CaseFeatureManager(theCase.get()) == nullptr ||
        pemar::CaseFeatureManager(theCase.get())->AllInstances().size() !=
            static_cast<size_t>(kInstances)) {
      state.SkipWithError("reopen failed");
      break;
    }
    // Freeing the instances is not part of opening a file.
    state.PauseTiming();
    theCase.reset();
    state.ResumeTiming();
  }
  ReportBytes(state, std::filesystem::file_size(path));
}
BENCHMARK(BM_FeatureCaseReopen)->Unit(benchmark::kMillisecond)->UseRealTime();

void PlainWriteBenchmark(benchmark::State& state, bool synced) {
  const std::string& reference = SavedCasePath();
  if (reference.empty()) {
    state.SkipWithError("the case could not be saved");
    return;
  }
  const std::string bytes = pemar_bench::FileBytes(reference);
  const std::string path = (kFolder / "plain.bin").string();
  for (auto _ : state) {
    if (!pemar_bench::PlainWrite(bytes, path, synced)) {
      state.SkipWithError("write failed");
      break;
    }
  }
  ReportBytes(state, bytes.size());
}

void BM_PlainWriteSynced(benchmark::State& state) {
  PlainWriteBenchmark(state, true);
}
BENCHMARK(BM_PlainWriteSynced)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_PlainWriteUnsynced(benchmark::State& state) {
  PlainWriteBenchmark(state, false);
}
BENCHMARK(BM_PlainWriteUnsynced)->Unit(benchmark::kMillisecond)->UseRealTime();

// Naming one more property table among N instances, a third of them tables.
// The instances are filed under names given here, so that setting up the
// largest N stays quick.
void BM_CreateUniqueName(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  pemar::ExpMgrView* manager = nullptr;
  auto theCase = EmptyCase((kFolder / "names.kcs").string(), &manager);
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

// Removes the folder when the program ends.
struct FolderCleanup {
  ~FolderCleanup() {
    std::error_code ignored;
    std::filesystem::remove_all(kFolder, ignored);
  }
} folder_cleanup;

}  // namespace
