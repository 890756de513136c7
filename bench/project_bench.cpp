// Store and recall of an engineering manager holding 1,000 notes projects of
// 100 notes each, beside plain buffered writing and reading of the same
// number of bytes.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "pemar/framework/BinaryFile.h"
#include "pemar/persist/PemarBinaryFile.h"
#include "pemar/project/EngineeringManager.h"
#include "pemar/project/NotesProject.h"

namespace {

constexpr int kProjects = 1000;
constexpr int kNotes = 100;

std::string TempPath(const char* name) {
  return (std::filesystem::temp_directory_path() / name).string();
}

std::unique_ptr<pemar::EngineeringManager> MakeManager() {
  pemar::NotesProject::RegisterType();
  auto m = std::make_unique<pemar::EngineeringManager>();
  for (int p = 0; p < kProjects; ++p) {
    const std::string name = "Project " + std::to_string(p);
    pemar::IPemarBaseObject* object =
        m->AddEngObject(name.c_str(), pemar::kNotesProjectType, 0);
    auto* project = dynamic_cast<pemar::NotesProject*>(object);
    project->SetEngineersName("R. Ames");
    project->SetComments("Heat integration of the crude unit");
    for (int n = 0; n < kNotes; ++n) {
      project->AddNote();
      const std::string title = "Note " + std::to_string(n);
      project->SetNoteTitle(n, title.c_str());
      project->SetNoteAuthor(n, "RA");
      project->SetNoteText(n,
                           "Check the exchanger duties against the "
                           "simulation before the next review.");
    }
  }
  return m;
}

std::uint64_t Store(pemar::EngineeringManager& m, const std::string& path) {
  pemar::BinaryFile raw{pemar::Text(path)};
  if (!raw.Create()) return 0;
  pemar::PemarBinaryFile file(&raw);
  if (!m.Store(&file)) return 0;
  const std::uint64_t size = raw.Position();
  return raw.Close() ? size : 0;
}

void BM_ManagerStore(benchmark::State& state) {
  auto m = MakeManager();
  const std::string path = TempPath("pemar-bench-manager.bin");
  std::uint64_t bytes = 0;
  for (auto _ : state) bytes = Store(*m, path);
  if (bytes == 0) state.SkipWithError("store failed");
  state.SetBytesProcessed(
      static_cast<std::int64_t>(state.iterations() * bytes));
  state.counters["file_MB"] = static_cast<double>(bytes) / 1e6;
  std::filesystem::remove(path);
}
BENCHMARK(BM_ManagerStore)->Unit(benchmark::kMillisecond);

void BM_ManagerRecall(benchmark::State& state) {
  const std::string path = TempPath("pemar-bench-manager.bin");
  std::uint64_t bytes = 0;
  {
    auto m = MakeManager();
    bytes = Store(*m, path);
  }
  for (auto _ : state) {
    auto m = std::make_unique<pemar::EngineeringManager>();
    pemar::BinaryFile raw{pemar::Text(path)};
    pemar::PemarBinaryFile file(&raw);
    if (!raw.Open() || !m->Recall(&file)) {
      state.SkipWithError("recall failed");
      break;
    }
    m->RecallFixUp();
    state.PauseTiming();
    m.reset();
    state.ResumeTiming();
  }
  state.SetBytesProcessed(
      static_cast<std::int64_t>(state.iterations() * bytes));
  std::filesystem::remove(path);
}
BENCHMARK(BM_ManagerRecall)->Unit(benchmark::kMillisecond);

// The same number of bytes through plain buffered stdio, in 64-byte writes
// (about the size of one note's strings).
std::uint64_t ManagerBytes() {
  static const std::uint64_t bytes = [] {
    auto m = MakeManager();
    const std::string path = TempPath("pemar-bench-manager-size.bin");
    const std::uint64_t n = Store(*m, path);
    std::filesystem::remove(path);
    return n;
  }();
  return bytes;
}

void BM_PlainWriteSameBytes(benchmark::State& state) {
  const std::uint64_t bytes = ManagerBytes();
  const std::string path = TempPath("pemar-bench-plain.bin");
  std::vector<char> piece(64, 'x');
  for (auto _ : state) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    for (std::uint64_t done = 0; done < bytes; done += piece.size()) {
      std::fwrite(piece.data(), 1, piece.size(), f);
    }
    std::fclose(f);
  }
  state.SetBytesProcessed(
      static_cast<std::int64_t>(state.iterations() * bytes));
  std::filesystem::remove(path);
}
BENCHMARK(BM_PlainWriteSameBytes)->Unit(benchmark::kMillisecond);

void BM_PlainReadSameBytes(benchmark::State& state) {
  const std::uint64_t bytes = ManagerBytes();
  const std::string path = TempPath("pemar-bench-plain.bin");
  std::vector<char> piece(64, 'x');
  {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    for (std::uint64_t done = 0; done < bytes; done += piece.size()) {
      std::fwrite(piece.data(), 1, piece.size(), f);
    }
    std::fclose(f);
  }
  for (auto _ : state) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    while (std::fread(piece.data(), 1, piece.size(), f) == piece.size()) {
    }
    std::fclose(f);
  }
  state.SetBytesProcessed(
      static_cast<std::int64_t>(state.iterations() * bytes));
  std::filesystem::remove(path);
}
BENCHMARK(BM_PlainReadSameBytes)->Unit(benchmark::kMillisecond);

}  // namespace
