#include "pemar/persist/Encryption.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstring>
#include <memory>
#include <string>
#include <system_error>
#include <thread>

#include "pemar/framework/FileSystem.h"
#include "pemar/persist/EncryptionInternal.h"

namespace pemar {

namespace {

constexpr std::uint32_t kDelta = 0x9E3779B9u;
constexpr std::uint32_t kDecipherStart = 0xC6EF3720u;  // kDelta * 32
constexpr int kCycles = 32;

using encryption_internal::kFileKey;

// Bytes handed to the target per write, and read and enciphered per batch
// (at most; a smaller file gets a smaller buffer). Multiples of the block
// size, so that blocks never straddle two batches and the result does not
// depend on them. A batch is shared among the threads of TransformBatch, so
// a large one means few meetings of the threads.
constexpr std::size_t kPieceSize = std::size_t{1} << 20;
constexpr std::size_t kBatchSize = 8 * kPieceSize;
static_assert(kPieceSize % 8 == 0 && kBatchSize % kPieceSize == 0);

inline std::uint32_t LoadLittleEndian(const unsigned char* p) {
  if constexpr (std::endian::native == std::endian::little) {
    std::uint32_t v;
    std::memcpy(&v, p, sizeof(v));
    return v;
  } else {
    return static_cast<std::uint32_t>(p[0]) |
           static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 |
           static_cast<std::uint32_t>(p[3]) << 24;
  }
}

inline void StoreLittleEndian(std::uint32_t v, unsigned char* p) {
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(p, &v, sizeof(v));
  } else {
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
    p[2] = static_cast<unsigned char>(v >> 16);
    p[3] = static_cast<unsigned char>(v >> 24);
  }
}

// Several blocks per step. Each TEA block is one long chain of dependent
// steps, but the blocks are independent: held in the compiler's vector
// types, a vector's worth of blocks goes through the rounds side by side,
// and two such vectors at once so that the processor can overlap their
// chains. The result is the same as enciphering the blocks one by one.
#if defined(__GNUC__) || defined(__clang__)
#define PEMAR_TEA_VECTORS 1
#define PEMAR_ALWAYS_INLINE inline __attribute__((always_inline))
using Lanes4 = std::uint32_t __attribute__((vector_size(16)));
using Lanes8 = std::uint32_t __attribute__((vector_size(32)));
#else
#define PEMAR_ALWAYS_INLINE inline
#endif

// Words of a group of blocks, deinterleaved: the file holds L0 R0 L1 R1 ...
template <std::size_t kBlocks>
struct CipherGroup {
  std::uint32_t l[kBlocks];
  std::uint32_t r[kBlocks];

  void Load(const unsigned char* p) {
    for (std::size_t j = 0; j < kBlocks; ++j) {
      l[j] = LoadLittleEndian(p + 8 * j);
      r[j] = LoadLittleEndian(p + 8 * j + 4);
    }
  }
  void Store(unsigned char* p) const {
    for (std::size_t j = 0; j < kBlocks; ++j) {
      StoreLittleEndian(l[j], p + 8 * j);
      StoreLittleEndian(r[j], p + 8 * j + 4);
    }
  }
};

#if PEMAR_TEA_VECTORS
// Every whole group of two vectors' worth of blocks among the first n bytes;
// returns the bytes done.
template <typename V, bool kEncipher>
PEMAR_ALWAYS_INLINE std::size_t TransformGroups(unsigned char* data,
                                                std::size_t n) {
  constexpr std::size_t kLanes = sizeof(V) / sizeof(std::uint32_t);
  constexpr std::size_t kBytes = 2 * 8 * kLanes;
  const V k0 = V{} + kFileKey[0], k1 = V{} + kFileKey[1];
  const V k2 = V{} + kFileKey[2], k3 = V{} + kFileKey[3];
  std::size_t i = 0;
  for (; i + kBytes <= n; i += kBytes) {
    CipherGroup<2 * kLanes> g;
    g.Load(data + i);
    V la, lb, ra, rb;
    std::memcpy(&la, g.l, sizeof(V));
    std::memcpy(&lb, g.l + kLanes, sizeof(V));
    std::memcpy(&ra, g.r, sizeof(V));
    std::memcpy(&rb, g.r + kLanes, sizeof(V));
    if constexpr (kEncipher) {
      V sum = V{};
      for (int cycle = 0; cycle < kCycles; ++cycle) {
        sum += kDelta;
        la += ((ra << 4) + k0) ^ (ra + sum) ^ ((ra >> 5) + k1);
        lb += ((rb << 4) + k0) ^ (rb + sum) ^ ((rb >> 5) + k1);
        ra += ((la << 4) + k2) ^ (la + sum) ^ ((la >> 5) + k3);
        rb += ((lb << 4) + k2) ^ (lb + sum) ^ ((lb >> 5) + k3);
      }
    } else {
      V sum = V{} + kDecipherStart;
      for (int cycle = 0; cycle < kCycles; ++cycle) {
        ra -= ((la << 4) + k2) ^ (la + sum) ^ ((la >> 5) + k3);
        rb -= ((lb << 4) + k2) ^ (lb + sum) ^ ((lb >> 5) + k3);
        la -= ((ra << 4) + k0) ^ (ra + sum) ^ ((ra >> 5) + k1);
        lb -= ((rb << 4) + k0) ^ (rb + sum) ^ ((rb >> 5) + k1);
        sum -= kDelta;
      }
    }
    std::memcpy(g.l, &la, sizeof(V));
    std::memcpy(g.l + kLanes, &lb, sizeof(V));
    std::memcpy(g.r, &ra, sizeof(V));
    std::memcpy(g.r + kLanes, &rb, sizeof(V));
    g.Store(data + i);
  }
  return i;
}

std::size_t TransformGroupsBaseline(unsigned char* data, std::size_t n,
                                    bool encipher) {
  return encipher ? TransformGroups<Lanes4, true>(data, n)
                  : TransformGroups<Lanes4, false>(data, n);
}

// The same built for 256-bit vectors, where the build does not assume them;
// chosen once, at run time.
#if defined(__x86_64__) || defined(__i386__)
#define PEMAR_TEA_AVX2 1
__attribute__((target("avx2"))) std::size_t TransformGroupsAvx2(
    unsigned char* data, std::size_t n, bool encipher) {
  return encipher ? TransformGroups<Lanes8, true>(data, n)
                  : TransformGroups<Lanes8, false>(data, n);
}

bool HasAvx2() {
  static const bool has = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") != 0;
  }();
  return has;
}
#endif
#endif  // PEMAR_TEA_VECTORS

// Transforms every whole block among the first n bytes; the rest stays.
void TransformBlocks(unsigned char* data, std::size_t n, bool encipher) {
  std::size_t i = 0;
#if PEMAR_TEA_AVX2
  if (HasAvx2()) {
    i = TransformGroupsAvx2(data, n, encipher);
  } else {
    i = TransformGroupsBaseline(data, n, encipher);
  }
#elif PEMAR_TEA_VECTORS
  i = TransformGroupsBaseline(data, n, encipher);
#endif
  // What is left (and everything, without vector types) block by block.
  for (; i + 8 <= n; i += 8) {
    std::uint32_t block[2] = {LoadLittleEndian(data + i),
                              LoadLittleEndian(data + i + 4)};
    if (encipher) {
      TeaEncipher(block, kFileKey);
    } else {
      TeaDecipher(block, kFileKey);
    }
    StoreLittleEndian(block[0], data + i);
    StoreLittleEndian(block[1], data + i + 4);
  }
}

// Batches smaller than this are not worth a second thread.
constexpr std::size_t kMinParallelBytes = std::size_t{128} * 1024;

// TransformBlocks over a batch, shared among up to kMaxThreads threads: the
// calling thread and helpers that end before this returns. Each takes its
// own run of whole blocks, so the result does not depend on the split. When
// no helper can be started the calling thread does it all.
constexpr unsigned kMaxThreads = 4;

void TransformBatch(unsigned char* data, std::size_t n, bool encipher) {
  static const unsigned threads =
      std::clamp(std::thread::hardware_concurrency(), 1u, kMaxThreads);
  if (threads == 1 || n < kMinParallelBytes) {
    TransformBlocks(data, n, encipher);
    return;
  }
  // Runs of whole vector groups (a multiple of the block size), so that only
  // the last run has a tail to do block by block.
  constexpr std::size_t kRunUnit = 128;
  const std::size_t each = n / kRunUnit / threads * kRunUnit;
  std::thread helpers[kMaxThreads - 1];
  std::size_t done = 0;
  for (unsigned t = 0; t + 1 < threads; ++t) {
    unsigned char* run = data + done;
    try {
      helpers[t] = std::thread(
          [run, each, encipher] { TransformBlocks(run, each, encipher); });
    } catch (const std::system_error&) {
      break;  // no thread to be had: the calling thread does the rest
    }
    done += each;
  }
  TransformBlocks(data + done, n - done, encipher);
  for (std::thread& helper : helpers) {
    if (helper.joinable()) helper.join();
  }
}

// Reads up to `size` bytes at offset into `buffer`, retrying short reads
// until the buffer is full or the file ends. -1 on a read error.
std::int64_t ReadPiece(ReadableFile& file, std::uint64_t offset,
                       unsigned char* buffer, std::size_t size) {
  std::size_t filled = 0;
  while (filled < size) {
    const std::int64_t got =
        file.ReadAt(offset + filled, buffer + filled, size - filled);
    if (got < 0) return -1;
    if (got == 0) break;
    filled += static_cast<std::size_t>(got);
  }
  return static_cast<std::int64_t>(filled);
}

CipherFileStatus TransformFile(const Text& source, const Text& target,
                               bool encipher) {
  FileSystem* fs = FileSystem::Default();
  std::unique_ptr<ReadableFile> in = fs->NewReadableFile(source.str());
  if (!in) return CipherFileStatus::kSourceUnreadable;

  // A fresh name that no file had: neither the source, still to be read,
  // nor any other file beside the target is ever truncated or replaced.
  std::string temp;
  std::unique_ptr<WritableFile> out = fs->NewTemporaryFile(target.str(), &temp);
  if (!out) return CipherFileStatus::kTargetUnwritable;

  CipherFileStatus status = CipherFileStatus::kOk;
  const std::uint64_t size = in->Size();
  const std::size_t capacity =
      size >= kBatchSize
          ? kBatchSize
          : static_cast<std::size_t>((size / kPieceSize + 1) * kPieceSize);
  // Every byte of it is read before it is used.
  const auto buffer = std::make_unique_for_overwrite<unsigned char[]>(capacity);
  std::uint64_t offset = 0;
  // A full batch holds only whole blocks, so only the final one can end in a
  // partial block, which TransformBlocks leaves as it is.
  for (;;) {
    const std::int64_t got = ReadPiece(*in, offset, buffer.get(), capacity);
    if (got < 0) {
      status = CipherFileStatus::kSourceUnreadable;
      break;
    }
    if (got == 0) break;
    const std::size_t n = static_cast<std::size_t>(got);
    TransformBatch(buffer.get(), n, encipher);
    for (std::size_t at = 0; at < n; at += kPieceSize) {
      if (!out->Append(buffer.get() + at, std::min(kPieceSize, n - at))) {
        status = CipherFileStatus::kTargetUnwritable;
        break;
      }
    }
    if (status != CipherFileStatus::kOk) break;
    offset += n;
    if (n < capacity) break;
  }
  in.reset();
  if (status == CipherFileStatus::kOk && !out->Sync()) {
    status = CipherFileStatus::kTargetUnwritable;
  }
  if (!out->Close() && status == CipherFileStatus::kOk) {
    status = CipherFileStatus::kTargetUnwritable;
  }
  out.reset();
  if (status == CipherFileStatus::kOk && !fs->RenameFile(temp, target.str())) {
    status = CipherFileStatus::kTargetUnwritable;
  }
  if (status != CipherFileStatus::kOk) {
    fs->DeleteFile(temp);
    return status;
  }
  // The new name must survive a crash too. The target is already in place,
  // so a folder that cannot be synced is not reported as a failure.
  fs->SyncDirectoryOf(target.str());
  return status;
}

}  // namespace

namespace encryption_internal {
const std::uint32_t kFileKey[4] = {0x5A3C96E1u, 0x0F7B2D48u, 0xC4E1A937u,
                                   0x6B8F0D52u};

void EncipherBlocks(unsigned char* data, std::size_t n) {
  TransformBlocks(data, n, /*encipher=*/true);
}

void DecipherBlocks(unsigned char* data, std::size_t n) {
  TransformBlocks(data, n, /*encipher=*/false);
}
}  // namespace encryption_internal

void TeaEncipher(std::uint32_t block[2], const std::uint32_t key[4]) {
  std::uint32_t l = block[0], r = block[1], sum = 0;
  for (int i = 0; i < kCycles; ++i) {
    sum += kDelta;
    l += ((r << 4) + key[0]) ^ (r + sum) ^ ((r >> 5) + key[1]);
    r += ((l << 4) + key[2]) ^ (l + sum) ^ ((l >> 5) + key[3]);
  }
  block[0] = l;
  block[1] = r;
}

void TeaDecipher(std::uint32_t block[2], const std::uint32_t key[4]) {
  std::uint32_t l = block[0], r = block[1], sum = kDecipherStart;
  for (int i = 0; i < kCycles; ++i) {
    r -= ((l << 4) + key[2]) ^ (l + sum) ^ ((l >> 5) + key[3]);
    l -= ((r << 4) + key[0]) ^ (r + sum) ^ ((r >> 5) + key[1]);
    sum -= kDelta;
  }
  block[0] = l;
  block[1] = r;
}

CipherFileStatus EncryptFileWithStatus(const Text& source, const Text& target) {
  return TransformFile(source, target, /*encipher=*/true);
}

CipherFileStatus DecryptFileWithStatus(const Text& source, const Text& target) {
  return TransformFile(source, target, /*encipher=*/false);
}

void EncryptFileA(const Text& source, const Text& target) {
  EncryptFileWithStatus(source, target);
}

void DecryptFileA(const Text& source, const Text& target) {
  DecryptFileWithStatus(source, target);
}

}  // namespace pemar
