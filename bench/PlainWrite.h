// Plain writing of a file's bytes, the yardstick the save benchmarks set
// their figures beside: the bytes in one piece with stdio, and, when synced,
// as a save does it (a temporary file that is flushed, fsynced and renamed
// over the target, then the folder fsynced). POSIX only.

#ifndef PEMAR_BENCH_PLAINWRITE_H_
#define PEMAR_BENCH_PLAINWRITE_H_

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace pemar_bench {

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

// The bytes of a file; empty when it cannot be read.
inline std::string FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace pemar_bench

#endif  // PEMAR_BENCH_PLAINWRITE_H_
