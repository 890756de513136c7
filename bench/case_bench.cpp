// Saving and reopening a large case (1,000 notes projects of 100 notes
// each) on the real disk, beside plain writing of the same number of bytes:
// once as the case save does it (temporary file, fsync, rename, folder
// fsync) and once without any of that (CaseBenchmarks.h), in TMPDIR.

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "CaseBenchmarks.h"
#include "pemar/case/SimulationCase.h"
#include "pemar/framework/ConfigStore.h"
#include "pemar/framework/Platform.h"
#include "pemar/project/EngineeringManager.h"
#include "pemar/project/IPemarProject.h"
#include "pemar/project/NotesProject.h"

namespace {

constexpr int kProjects = 1000;
constexpr int kNotesPerProject = 100;

const pemar_bench::ScratchFolder& Folder() {
  static const pemar_bench::ScratchFolder folder("pemar-case-bench");
  return folder;
}

void SetUpProcess() {
  static const bool done = [] {
    pemar_bench::DiscardMessages();
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

// The file's size is reported in MB.
constexpr double kMB = 1e6;

// The case file that the reopen and plain-write benchmarks use, saved once.
const std::string& SavedCasePath() {
  static const std::string path = [] {
    std::string p = Folder().File("reference.kcs");
    auto theCase = LargeCase(p);
    if (theCase == nullptr || !theCase->SaveDocument(0)) return std::string();
    return p;
  }();
  return path;
}

void BM_CaseSave(benchmark::State& state) {
  auto theCase = LargeCase(Folder().File("save.kcs"));
  pemar_bench::SaveCaseBenchmark(state, theCase.get(), "file_MB", kMB);
}
BENCHMARK(BM_CaseSave)->Unit(benchmark::kSecond)->UseRealTime();

// Freeing 100,000 notes is not part of opening a file, and is not timed.
void BM_CaseReopen(benchmark::State& state) {
  pemar_bench::ReopenCaseBenchmark(state, SavedCasePath(), "file_MB", kMB);
}
BENCHMARK(BM_CaseReopen)->Unit(benchmark::kSecond)->UseRealTime();

void BM_PlainWriteSynced(benchmark::State& state) {
  pemar_bench::PlainWriteBenchmark(
      state, SavedCasePath(), Folder().File("plain.bin"), true, "file_MB", kMB);
}
BENCHMARK(BM_PlainWriteSynced)->Unit(benchmark::kSecond)->UseRealTime();

void BM_PlainWriteUnsynced(benchmark::State& state) {
  pemar_bench::PlainWriteBenchmark(state, SavedCasePath(),
                                   Folder().File("plain.bin"), false, "file_MB",
                                   kMB);
}
BENCHMARK(BM_PlainWriteUnsynced)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace
