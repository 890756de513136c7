// Throughput of whole-file encryption and decryption beside a plain copy of
// the same file through the same file layer (1 MiB pieces, temporary file,
// sync, rename), and of the block cipher alone in memory: one block per
// call, and the file functions' transform of many blocks at once.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "pemar/framework/FileSystem.h"
#include "pemar/persist/Encryption.h"
#include "pemar/persist/EncryptionInternal.h"

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kFileSize = 32 << 20;

// A 32 MiB random file, written once per process and removed at exit.
class BenchFiles {
 public:
  BenchFiles() {
    dir_ = fs::temp_directory_path() /
           ("pemar-encryption-bench-" + std::to_string(::getpid()));
    fs::create_directories(dir_);
    std::vector<char> data(kFileSize);
    std::mt19937_64 gen(42);
    for (std::size_t i = 0; i + 8 <= data.size(); i += 8) {
      const std::uint64_t v = gen();
      std::memcpy(data.data() + i, &v, 8);
    }
    std::FILE* f = std::fopen(Path("plain").c_str(), "wb");
    std::fwrite(data.data(), 1, data.size(), f);
    std::fclose(f);
    pemar::EncryptFileA(Path("plain"), Path("enciphered"));
  }
  ~BenchFiles() {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  std::string Path(const char* name) const { return (dir_ / name).string(); }

 private:
  fs::path dir_;
};

BenchFiles& Files() {
  static BenchFiles files;
  return files;
}

// The same road as the cipher without the cipher.
bool CopyFile(const std::string& from, const std::string& to) {
  pemar::FileSystem* fs = pemar::FileSystem::Default();
  auto in = fs->NewReadableFile(from);
  if (!in) return false;
  std::string temp;
  auto out = fs->NewTemporaryFile(to, &temp);
  if (!out) return false;
  std::vector<unsigned char> buffer(1 << 20);
  std::uint64_t offset = 0;
  bool ok = true;
  for (;;) {
    const std::int64_t got = in->ReadAt(offset, buffer.data(), buffer.size());
    if (got < 0) ok = false;
    if (got <= 0) break;
    ok = out->Append(buffer.data(), static_cast<std::size_t>(got));
    if (!ok) break;
    offset += static_cast<std::uint64_t>(got);
  }
  ok = ok && out->Sync();
  ok = out->Close() && ok;
  ok = ok && fs->RenameFile(temp, to);
  if (!ok) fs->DeleteFile(temp);
  return ok && fs->SyncDirectoryOf(to);
}

void BM_EncryptFile(benchmark::State& state) {
  BenchFiles& files = Files();
  for (auto _ : state) {
    pemar::EncryptFileA(files.Path("plain"), files.Path("out-encrypt"));
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          kFileSize);
}
BENCHMARK(BM_EncryptFile)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_DecryptFile(benchmark::State& state) {
  BenchFiles& files = Files();
  for (auto _ : state) {
    pemar::DecryptFileA(files.Path("enciphered"), files.Path("out-decrypt"));
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          kFileSize);
}
BENCHMARK(BM_DecryptFile)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_CopyFile(benchmark::State& state) {
  BenchFiles& files = Files();
  for (auto _ : state) {
    if (!CopyFile(files.Path("plain"), files.Path("out-copy"))) {
      state.SkipWithError("copy failed");
      break;
    }
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          kFileSize);
}
BENCHMARK(BM_CopyFile)->Unit(benchmark::kMillisecond)->UseRealTime();

// The block cipher alone over 1 MiB in memory: the ceiling for the file
// functions.
void BM_TeaEncipherInMemory(benchmark::State& state) {
  std::vector<std::uint32_t> words((1 << 20) / 4, 0x12345678u);
  const std::uint32_t key[4] = {1, 2, 3, 4};
  for (auto _ : state) {
    for (std::size_t i = 0; i + 1 < words.size(); i += 2) {
      pemar::TeaEncipher(&words[i], key);
    }
    benchmark::DoNotOptimize(words.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          (1 << 20));
}
BENCHMARK(BM_TeaEncipherInMemory);

// The file functions' block transform over 1 MiB in memory, on one thread:
// several blocks per step in vector registers.
void BM_FileCipherInMemory(benchmark::State& state) {
  std::vector<unsigned char> bytes(1 << 20, 0x5A);
  for (auto _ : state) {
    pemar::encryption_internal::EncipherBlocks(bytes.data(), bytes.size());
    benchmark::DoNotOptimize(bytes.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          (1 << 20));
}
BENCHMARK(BM_FileCipherInMemory);

}  // namespace
