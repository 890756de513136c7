// Writing and reading many small revisioned records through PemarBinaryFile,
// beside plain buffered stdio writing and reading of the same bytes.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "pemar/framework/BinaryFile.h"
#include "pemar/persist/PemarBinaryFile.h"

namespace {

constexpr int kRecords = 100000;

std::string TempPath(const char* name) {
  return (std::filesystem::temp_directory_path() / name).string();
}

// One record: a revision-3 chunk with an id, three values and a name.
bool WriteRecord(pemar::PemarBinaryFile& file, int id, pemar::CVString* name) {
  pemar::ChunkHeader* h = nullptr;
  bool ok = file.CreateChunk(&h, 3) && file.Write(id) && file.Write(id * 1.5) &&
            file.Write(id * 2.5) && file.Write(id * 3.5) &&
            pemar::WriteCVString(&file, name);
  return file.CloseChunk(h) && ok;
}

// File is PemarBinaryFile for a caller that holds the file itself, and
// IPemarBinaryFile for the store and recall methods, which get the interface.
template <typename File>
bool ReadRecord(File& file, pemar::CVString* name) {
  pemar::ChunkHeader* h = nullptr;
  int id = 0;
  double a = 0, b = 0, c = 0;
  bool ok = file.OpenChunk(&h) && file.Revision(h) == 3 && file.Read(id) &&
            file.Read(a) && file.Read(b) && file.Read(c) &&
            pemar::ReadCVString(&file, name);
  return file.CloseChunk(h) && ok;
}

std::uint64_t WriteAll(const std::string& path) {
  pemar::BinaryFile raw{pemar::Text(path)};
  raw.Create();
  pemar::PemarBinaryFile file(&raw);
  pemar::CVString name("Heat exchanger");
  for (int i = 0; i < kRecords; ++i) WriteRecord(file, i, &name);
  std::uint64_t size = raw.Position();
  raw.Close();
  return size;
}

void BM_PemarBinaryFileWrite(benchmark::State& state) {
  std::string path = TempPath("pemar-bench-records.bin");
  std::uint64_t bytes = 0;
  for (auto _ : state) bytes = WriteAll(path);
  state.SetBytesProcessed(
      static_cast<std::int64_t>(state.iterations() * bytes));
  std::filesystem::remove(path);
}
BENCHMARK(BM_PemarBinaryFileWrite)->Unit(benchmark::kMillisecond);

void BM_PemarBinaryFileRead(benchmark::State& state) {
  std::string path = TempPath("pemar-bench-records.bin");
  std::uint64_t bytes = WriteAll(path);
  for (auto _ : state) {
    pemar::PemarBinaryFile file(path.c_str());
    pemar::CVString name;
    for (int i = 0; i < kRecords; ++i) {
      if (!ReadRecord(file, &name)) state.SkipWithError("read failed");
    }
  }
  state.SetBytesProcessed(
      static_cast<std::int64_t>(state.iterations() * bytes));
  std::filesystem::remove(path);
}
BENCHMARK(BM_PemarBinaryFileRead)->Unit(benchmark::kMillisecond);

// The same records read through the interface, as a recall method reads
// them: every value is a virtual call.
void BM_PemarBinaryFileReadThroughInterface(benchmark::State& state) {
  std::string path = TempPath("pemar-bench-records.bin");
  std::uint64_t bytes = WriteAll(path);
  for (auto _ : state) {
    pemar::PemarBinaryFile file(path.c_str());
    pemar::IPemarBinaryFile* read = &file;
    benchmark::DoNotOptimize(read);  // keeps the calls virtual
    pemar::CVString name;
    for (int i = 0; i < kRecords; ++i) {
      if (!ReadRecord(*read, &name)) state.SkipWithError("read failed");
    }
  }
  state.SetBytesProcessed(
      static_cast<std::int64_t>(state.iterations() * bytes));
  std::filesystem::remove(path);
}
BENCHMARK(BM_PemarBinaryFileReadThroughInterface)
    ->Unit(benchmark::kMillisecond);

// The same bytes, record by record, through plain buffered stdio.
std::vector<std::string> RecordImages() {
  std::string path = TempPath("pemar-bench-image.bin");
  WriteAll(path);
  std::FILE* f = std::fopen(path.c_str(), "rb");
  std::string all;
  char buffer[65536];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof(buffer), f)) > 0)
    all.append(buffer, n);
  std::fclose(f);
  std::filesystem::remove(path);
  std::vector<std::string> records;
  std::size_t each = all.size() / kRecords;
  for (int i = 0; i < kRecords; ++i)
    records.push_back(all.substr(i * each, each));
  return records;
}

void BM_PlainBufferedWrite(benchmark::State& state) {
  std::vector<std::string> records = RecordImages();
  std::string path = TempPath("pemar-bench-plain.bin");
  std::uint64_t bytes = 0;
  for (auto _ : state) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    bytes = 0;
    for (const std::string& r : records) {
      std::fwrite(r.data(), 1, r.size(), f);
      bytes += r.size();
    }
    std::fclose(f);
  }
  state.SetBytesProcessed(
      static_cast<std::int64_t>(state.iterations() * bytes));
  std::filesystem::remove(path);
}
BENCHMARK(BM_PlainBufferedWrite)->Unit(benchmark::kMillisecond);

void BM_PlainBufferedRead(benchmark::State& state) {
  std::vector<std::string> records = RecordImages();
  std::string path = TempPath("pemar-bench-plain.bin");
  std::FILE* out = std::fopen(path.c_str(), "wb");
  std::uint64_t bytes = 0;
  for (const std::string& r : records) {
    std::fwrite(r.data(), 1, r.size(), out);
    bytes += r.size();
  }
  std::fclose(out);
  std::string buffer(records[0].size(), '\0');
  for (auto _ : state) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    for (std::size_t i = 0; i < records.size(); ++i) {
      if (std::fread(buffer.data(), 1, buffer.size(), f) != buffer.size()) {
        state.SkipWithError("read failed");
      }
      benchmark::DoNotOptimize(buffer.data());
    }
    std::fclose(f);
  }
  state.SetBytesProcessed(
      static_cast<std::int64_t>(state.iterations() * bytes));
  std::filesystem::remove(path);
}
BENCHMARK(BM_PlainBufferedRead)->Unit(benchmark::kMillisecond);

}  // namespace
