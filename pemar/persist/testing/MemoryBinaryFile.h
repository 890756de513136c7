// Test support: an IPemarBinaryFile that keeps its bytes in memory, with the
// same layout of typed values as the real file, so that tests can compare
// what a record writes through any implementation of the interface.

#ifndef PEMAR_PERSIST_TESTING_MEMORYBINARYFILE_H_
#define PEMAR_PERSIST_TESTING_MEMORYBINARYFILE_H_

#include <cstring>
#include <string>

#include "pemar/persist/PemarBinaryFile.h"

namespace pemar::test_support {

// Writes append little-endian values to bytes(); reads consume them from the
// front. Chunks are not supported (they fail).
class MemoryBinaryFile : public IPemarBinaryFile, public PemarBaseObject {
 public:
  MemoryBinaryFile() = default;
  explicit MemoryBinaryFile(std::string bytes) : bytes_(std::move(bytes)) {}

  const std::string& bytes() const { return bytes_; }
  const char* GetMyIdentifier() override { return "memory"; }

#define PEMAR_MEMORY_TYPED(T, W)                                 \
  unsigned char Read(T* v, unsigned int count) override {        \
    for (unsigned int i = 0; i < count; ++i)                     \
      if (!Read(v[i])) return 0;                                 \
    return 1;                                                    \
  }                                                              \
  unsigned char Read(T& v) override {                            \
    if (bytes_.size() - at_ < W) return 0;                       \
    unsigned long long u = 0;                                    \
    for (int i = 0; i < W; ++i)                                  \
      u |= static_cast<unsigned long long>(                      \
               static_cast<unsigned char>(bytes_[at_ + i]))      \
           << (8 * i);                                           \
    at_ += W;                                                    \
    v = Decode<T, W>(u);                                         \
    return 1;                                                    \
  }                                                              \
  unsigned char Write(const T* v, unsigned int count) override { \
    for (unsigned int i = 0; i < count; ++i)                     \
      if (!Write(v[i])) return 0;                                \
    return 1;                                                    \
  }                                                              \
  unsigned char Write(T v) override {                            \
    unsigned long long u = Encode<T, W>(v);                      \
    for (int i = 0; i < W; ++i)                                  \
      bytes_.push_back(static_cast<char>(u >> (8 * i)));         \
    return 1;                                                    \
  }

  PEMAR_MEMORY_TYPED(double, 8)
  PEMAR_MEMORY_TYPED(float, 4)
  PEMAR_MEMORY_TYPED(unsigned long, 4)
  PEMAR_MEMORY_TYPED(long, 4)
  PEMAR_MEMORY_TYPED(unsigned short, 2)
  PEMAR_MEMORY_TYPED(short, 2)
  PEMAR_MEMORY_TYPED(unsigned int, 4)
  PEMAR_MEMORY_TYPED(int, 4)
  PEMAR_MEMORY_TYPED(unsigned char, 1)
  PEMAR_MEMORY_TYPED(char, 1)
#undef PEMAR_MEMORY_TYPED

  unsigned char Read(Text&) override { return 0; }
  unsigned char Write(const Text&) override { return 0; }
  unsigned char CreateChunk(ChunkHeader** h, int) override {
    *h = nullptr;
    return 0;
  }
  unsigned char OpenChunk(ChunkHeader** h) override {
    *h = nullptr;
    return 0;
  }
  unsigned char CloseChunk(ChunkHeader*) override { return 0; }
  unsigned char SkipChunkData() override { return 0; }
  int Revision(ChunkHeader*) override { return 0; }
  CVString GetFileName() override { return CVString("memory"); }

 private:
  template <typename T, int W>
  static unsigned long long Encode(T v) {
    if constexpr (std::is_floating_point_v<T>) {
      unsigned long long u = 0;
      std::memcpy(&u, &v, sizeof(T));
      return u;
    } else {
      return static_cast<unsigned long long>(v);
    }
  }
  template <typename T, int W>
  static T Decode(unsigned long long u) {
    if constexpr (std::is_floating_point_v<T>) {
      T v;
      std::memcpy(&v, &u, sizeof(T));
      return v;
    } else if constexpr (std::is_signed_v<T> && W < 8) {
      unsigned long long sign = 1ULL << (8 * W - 1);
      return static_cast<T>(static_cast<long long>((u ^ sign) - sign));
    } else {
      return static_cast<T>(u);
    }
  }

  std::string bytes_;
  std::size_t at_ = 0;
};

}  // namespace pemar::test_support

#endif  // PEMAR_PERSIST_TESTING_MEMORYBINARYFILE_H_
