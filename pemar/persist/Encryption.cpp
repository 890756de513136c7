#include "pemar/persist/Encryption.h"

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "pemar/framework/FileSystem.h"
#include "pemar/persist/EncryptionInternal.h"

namespace pemar {

namespace {

constexpr std::uint32_t kDelta = 0x9E3779B9u;
constexpr std::uint32_t kDecipherStart = 0xC6EF3720u;  // kDelta * 32
constexpr int kCycles = 32;

using encryption_internal::kFileKey;

// Bytes handled per read and write. A multiple of the block size, so that
// blocks never straddle two pieces and the result does not depend on it.
constexpr std::size_t kPieceSize = 1 << 20;
static_assert(kPieceSize % 8 == 0);

inline std::uint32_t LoadLittleEndian(const unsigned char* p) {
  return static_cast<std::uint32_t>(p[0]) |
         static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 |
         static_cast<std::uint32_t>(p[3]) << 24;
}

inline void StoreLittleEndian(std::uint32_t v, unsigned char* p) {
  p[0] = static_cast<unsigned char>(v);
  p[1] = static_cast<unsigned char>(v >> 8);
  p[2] = static_cast<unsigned char>(v >> 16);
  p[3] = static_cast<unsigned char>(v >> 24);
}

// Blocks handled side by side. Each TEA block is one long chain of
// dependent steps; running several independent chains in one loop lets the
// processor (and the compiler's vector units) overlap them. The result is
// the same as enciphering the blocks one after another.
constexpr std::size_t kLanes = 8;

void EncipherLanes(std::uint32_t (&l)[kLanes], std::uint32_t (&r)[kLanes],
                   const std::uint32_t key[4]) {
  std::uint32_t sum = 0;
  for (int cycle = 0; cycle < kCycles; ++cycle) {
    sum += kDelta;
    for (std::size_t j = 0; j < kLanes; ++j) {
      l[j] += ((r[j] << 4) + key[0]) ^ (r[j] + sum) ^ ((r[j] >> 5) + key[1]);
    }
    for (std::size_t j = 0; j < kLanes; ++j) {
      r[j] += ((l[j] << 4) + key[2]) ^ (l[j] + sum) ^ ((l[j] >> 5) + key[3]);
    }
  }
}

void DecipherLanes(std::uint32_t (&l)[kLanes], std::uint32_t (&r)[kLanes],
                   const std::uint32_t key[4]) {
  std::uint32_t sum = kDecipherStart;
  for (int cycle = 0; cycle < kCycles; ++cycle) {
    for (std::size_t j = 0; j < kLanes; ++j) {
      r[j] -= ((l[j] << 4) + key[2]) ^ (l[j] + sum) ^ ((l[j] >> 5) + key[3]);
    }
    for (std::size_t j = 0; j < kLanes; ++j) {
      l[j] -= ((r[j] << 4) + key[0]) ^ (r[j] + sum) ^ ((r[j] >> 5) + key[1]);
    }
    sum -= kDelta;
  }
}

// Transforms every whole block among the first n bytes; the rest stays.
void TransformBlocks(unsigned char* data, std::size_t n, bool encipher) {
  std::size_t i = 0;
  for (; i + 8 * kLanes <= n; i += 8 * kLanes) {
    std::uint32_t l[kLanes], r[kLanes];
    for (std::size_t j = 0; j < kLanes; ++j) {
      l[j] = LoadLittleEndian(data + i + 8 * j);
      r[j] = LoadLittleEndian(data + i + 8 * j + 4);
    }
    if (encipher) {
      EncipherLanes(l, r, kFileKey);
    } else {
      DecipherLanes(l, r, kFileKey);
    }
    for (std::size_t j = 0; j < kLanes; ++j) {
      StoreLittleEndian(l[j], data + i + 8 * j);
      StoreLittleEndian(r[j], data + i + 8 * j + 4);
    }
  }
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

// Reads up to buffer.size() bytes at offset, retrying short reads until the
// buffer is full or the file ends. -1 on a read error.
std::int64_t ReadPiece(ReadableFile& file, std::uint64_t offset,
                       std::vector<unsigned char>& buffer) {
  std::size_t filled = 0;
  while (filled < buffer.size()) {
    const std::int64_t got = file.ReadAt(
        offset + filled, buffer.data() + filled, buffer.size() - filled);
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
  std::vector<unsigned char> buffer(kPieceSize);
  std::uint64_t offset = 0;
  // A full piece holds only whole blocks, so only the final piece can end in
  // a partial block, which TransformBlocks leaves as it is.
  for (;;) {
    const std::int64_t got = ReadPiece(*in, offset, buffer);
    if (got < 0) {
      status = CipherFileStatus::kSourceUnreadable;
      break;
    }
    if (got == 0) break;
    const std::size_t n = static_cast<std::size_t>(got);
    TransformBlocks(buffer.data(), n, encipher);
    if (!out->Append(buffer.data(), n)) {
      status = CipherFileStatus::kTargetUnwritable;
      break;
    }
    offset += n;
    if (n < buffer.size()) break;
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
