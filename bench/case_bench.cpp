// Saving and reopening a large case (1,000 notes projects of 100 notes
// each) on the real disk, beside plain writing of the same number of bytes:
// once as the case save does it (temporary file, fsync, rename, folder
// fsync) and once without any of that.
//
// The folder is the system's temporary folder (TMPDIR); it must be on a real
// disk for the synced figures to mean anything. Wall-clock time is measured,
// because the syncs wait on the disk rather than use the processor.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>

#include "PlainWrite.h"
#include "pemar/case/SimulationCase.h"
#include "pemar/framework/ConfigStore.h"
#include "pemar/framework/Messages.h"
#include "pemar/framework/Platform.h"
#include "pemar/project/EngineeringManager.h"
#include "pemar/project/IPemarProject.h"
#include "pemar/project/NotesProject.h"

namespace {

constexpr int kProjects = 1000;
constexpr int kNotesPerProject = 100;

// Save traces would otherwise go to standard error at every iteration.
class DiscardingSink : public pemar::MessageSink {
 public:
  void Deliver(const pemar::Message& /*message*/) override {}
};

// Made at start-up and removed at exit (folder_cleanup below is destroyed
// before it).
const std::filesystem::path kFolder = [] {
  std::filesystem::path f = std::filesystem::temp_directory_path() /
                            ("pemar-case-bench-" + std::to_string(::getpid()));
  std::filesystem::create_directories(f);
  return f;
}();

const std::filesystem::path& Folder() { return kFolder; }

void SetUpProcess() {
  static const bool done = [] {
    static DiscardingSink sink;
    pemar::SetMessageSink(&sink);
    pemar::ResetConfigStore();
    pemar::SetCommandLine(pemar::Text("case_bench"));
    pemar::NotesProject::RegisterType();
    return true;
  }();
  (void)done;
}

// Text of 20 to 60 characters that varies with `i`, like typed notes.
std::string Sentence(const char* start, int i) {
  static const char* const kTails[] = {
      "checked",
      "approach temperature too small",
      "fouling factor taken from the last shutdown",
      "duty matches the plant data within two percent",
  };
  return std::string(start) + " " + std::to_string(i) + ": " + kTails[i % 4];
}

std::unique_ptr<pemar::SimulationCase> LargeCase(const std::string& path) {
  SetUpProcess();
  auto theCase =
      std::make_unique<pemar::SimulationCase>(pemar::Text("SIM"), nullptr);
  theCase->SetFileName(pemar::Text(path));
  for (int p = 0; p < kProjects; ++p) {
    std::string name = "Unit " + std::to_string(p);
    pemar::IPemarBaseObject* object =
        theCase->GetEngineeringManager()->AddEngObject(
            name.c_str(), pemar::kNotesProjectType, 0);
    pemar::IPemarProject* project = pemar::AsPemarProject(object);
    if (project == nullptr) return nullptr;
    project->SetEngineersName("Process engineering");
    project->SetComments(Sentence("Study", p).c_str());
    for (int n = 0; n < kNotesPerProject; ++n) {
      project->AddNote();
      project->SetNoteTitle(n, Sentence("Exchanger", n).c_str());
      project->SetNoteText(n, Sentence("Observation", p + n).c_str());
      project->SetNoteAuthor(n, "RA");
    }
  }
  return theCase;
}

void ReportBytes(benchmark::State& state, std::uint64_t bytes) {
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(bytes));
  state.counters["file_MB"] = static_cast<double>(bytes) / 1e6;
}

// The case file that the reopen and plain-write benchmarks use, saved once.
const std::string& SavedCasePath() {
  static const std::string path = [] {
    std::string p = (Folder() / "reference.kcs").string();
    auto theCase = LargeCase(p);
    if (theCase == nullptr || !theCase->SaveDocument(0)) return std::string();
    return p;
  }();
  return path;
}

void BM_CaseSave(benchmark::State& state) {
  const std::string path = (Folder() / "save.kcs").string();
  auto theCase = LargeCase(path);
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
BENCHMARK(BM_CaseSave)->Unit(benchmark::kSecond)->UseRealTime();

void BM_CaseReopen(benchmark::State& state) {
  const std::string& path = SavedCasePath();
  if (path.empty()) {
    state.SkipWithError("the case could not be saved");
    return;
  }
  for (auto _ : state) {
    auto theCase =
        std::make_unique<pemar::SimulationCase>(pemar::Text("SIM"), nullptr);
    if (!theCase->RecallDocument(pemar::FileName(pemar::Text(path)))) {
      state.SkipWithError("reopen failed");
      break;
    }
    // Freeing 100,000 notes is not part of opening a file.
    state.PauseTiming();
    theCase.reset();
    state.ResumeTiming();
  }
  ReportBytes(state, std::filesystem::file_size(path));
}
BENCHMARK(BM_CaseReopen)->Unit(benchmark::kSecond)->UseRealTime();

void PlainWriteBenchmark(benchmark::State& state, bool synced) {
  const std::string& reference = SavedCasePath();
  if (reference.empty()) {
    state.SkipWithError("the case could not be saved");
    return;
  }
  const std::string bytes = pemar_bench::FileBytes(reference);
  const std::string path = (Folder() / "plain.bin").string();
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
BENCHMARK(BM_PlainWriteSynced)->Unit(benchmark::kSecond)->UseRealTime();

void BM_PlainWriteUnsynced(benchmark::State& state) {
  PlainWriteBenchmark(state, false);
}
BENCHMARK(BM_PlainWriteUnsynced)->Unit(benchmark::kSecond)->UseRealTime();

// Removes the folder when the program ends.
struct FolderCleanup {
  ~FolderCleanup() {
    std::error_code ignored;
    std::filesystem::remove_all(kFolder, ignored);
  }
} folder_cleanup;

}  // namespace
