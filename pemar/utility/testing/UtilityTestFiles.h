// Test helpers: scratch folders and hand-written chunked files.

#ifndef PEMAR_UTILITY_TESTING_UTILITYTESTFILES_H_
#define PEMAR_UTILITY_TESTING_UTILITYTESTFILES_H_

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "pemar/framework/BinaryFile.h"
#include "pemar/framework/Platform.h"
#include "pemar/persist/PemarBinaryFile.h"

namespace pemar::testing {

// A fresh folder under the system's temporary folder, removed at the end.
class ScratchDir {
 public:
  ScratchDir() {
    std::random_device rd;
    path_ = std::filesystem::temp_directory_path() /
            ("pemar-utility-" + std::to_string(rd()) + std::to_string(rd()));
    std::filesystem::create_directories(path_);
  }
  ~ScratchDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  std::string Path(const std::string& name) const {
    return (path_ / name).string();
  }
  // The folder with a trailing separator.
  std::string Folder() const { return path_.string() + kPathSeparator; }

 private:
  std::filesystem::path path_;
};

// Writes a file through a PemarBinaryFile; false when anything failed.
inline bool WriteChunked(const std::string& path,
                         const std::function<bool(IPemarBinaryFile*)>& body) {
  BinaryFile file{Text(path), Text()};
  if (!file.Create()) return false;
  bool ok;
  {
    PemarBinaryFile wrapped(&file);
    ok = body(&wrapped);
  }
  return file.Close() && ok;
}

inline std::vector<char> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<char>(std::istreambuf_iterator<char>(in), {});
}

inline void WriteBytes(const std::string& path, const std::vector<char>& b) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(b.data(), static_cast<std::streamsize>(b.size()));
}

}  // namespace pemar::testing

#endif  // PEMAR_UTILITY_TESTING_UTILITYTESTFILES_H_
