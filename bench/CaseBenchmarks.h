// The pieces the case benchmarks share: a scratch folder on the real disk,
// the timed save and reopen of a case, and the yardstick they are set
// beside: the same bytes written plainly, in one piece with stdio, and, when
// synced, as a save does it (a temporary file that is flushed, fsynced and
// renamed over the target, then the folder fsynced). POSIX only.
//
// Disk figures are wall-clock time (register them with UseRealTime), as the
// syncs wait on the disk rather than use the processor.

#ifndef PEMAR_BENCH_CASEBENCHMARKS_H_
#define PEMAR_BENCH_CASEBENCHMARKS_H_

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>

#include "pemar/case/SimulationCase.h"
#include "pemar/framework/Messages.h"

namespace pemar_bench {

// A folder in the system's temporary folder (TMPDIR, which must be on a real
// disk for synced figures to mean anything), removed with the object.
class ScratchFolder {
 public:
  explicit ScratchFolder(const std::string& name)
      : path_(std::filesystem::temp_directory_path() /
              (name + "-" + std::to_string(::getpid()))) {
    std::filesystem::create_directories(path_);
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  std::string File(const std::string& name) const {
    return (path_ / name).string();
  }

 private:
  std::filesystem::path path_;
};

// Save traces would otherwise go to standard error at every iteration.
inline void DiscardMessages() {
  static pemar::DiscardingMessageSink sink;
  pemar::SetMessageSink(&sink);
}

// Bytes per second, and the file's size in `unit` bytes under `counter`.
inline void ReportBytes(benchmark::State& state, std::uint64_t bytes,
                        const char* counter, double unit) {
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(bytes));
  state.counters[counter] = static_cast<double>(bytes) / unit;
}

// Saves `theCase` (null: it could not be built) at every iteration.
inline void SaveCaseBenchmark(benchmark::State& state,
                              pemar::SimulationCase* theCase,
                              const char* counter, double unit) {
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
  ReportBytes(state, std::filesystem::file_size(theCase->GetFileName().str()),
              counter, unit);
}

// Reopens the case file `path` (empty: it could not be saved) at every
// iteration; `whole` may check what was read. Freeing the case is not timed.
inline void ReopenCaseBenchmark(
    benchmark::State& state, const std::string& path, const char* counter,
    double unit,
    const std::function<bool(pemar::SimulationCase&)>& whole = nullptr) {
  if (path.empty()) {
    state.SkipWithError("the case could not be saved");
    return;
  }
  for (auto _ : state) {
    auto theCase =
        std::make_unique<pemar::SimulationCase>(pemar::Text("SIM"), nullptr);
    if (!theCase->RecallDocument(pemar::FileName(pemar::Text(path))) ||
        (whole && !whole(*theCase))) {
      state.SkipWithError("reopen failed");
      break;
    }
    state.PauseTiming();
    theCase.reset();
    state.ResumeTiming();
  }
  ReportBytes(state, std::filesystem::file_size(path), counter, unit);
}

// Writes `bytes` to `path`; false on any failure (a partial file may stay).
inline bool PlainWrite(const std::string& bytes, const std::string& path,
                       bool synced) {
  const std::string target = synced ? path + ".tmp" : path;
  std::FILE* f = std::fopen(target.c_str(), "wb");
  if (f == nullptr) return false;
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  if (synced) ok = std::fflush(f) == 0 && ::fsync(::fileno(f)) == 0 && ok;
  ok = std::fclose(f) == 0 && ok;
  if (!synced || !ok) return ok;
  if (std::rename(target.c_str(), path.c_str()) != 0) return false;
  const std::string folder = std::filesystem::path(path).parent_path().string();
  int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
  if (dir < 0) return false;
  ok = ::fsync(dir) == 0;
  ::close(dir);
  return ok;
}

// Writes the bytes of the file `reference` (empty: it could not be saved)
// plainly to `path` at every iteration.
inline void PlainWriteBenchmark(benchmark::State& state,
                                const std::string& reference,
                                const std::string& path, bool synced,
                                const char* counter, double unit) {
  if (reference.empty()) {
    state.SkipWithError("the case could not be saved");
    return;
  }
  std::ifstream in(reference, std::ios::binary);
  const std::string bytes(std::istreambuf_iterator<char>(in), {});
  for (auto _ : state) {
    if (!PlainWrite(bytes, path, synced)) {
      state.SkipWithError("write failed");
      break;
    }
  }
  ReportBytes(state, bytes.size(), counter, unit);
}

}  // namespace pemar_bench

#endif  // PEMAR_BENCH_CASEBENCHMARKS_H_
