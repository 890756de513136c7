// ChunkScan: finds the chunk tree of a file of chunked records, for
// inspection.
//
// A chunk's payload mixes plain values with the chunks of the records it
// owns, and plain values carry no type marks, so the scan looks for chunk
// headers (marker, revision, length) at every offset of a payload and takes
// one as a chunk when its length fits inside what encloses it. Plain bytes
// that happen to look like a chunk header are shown as one; that is the price
// of a format without type marks, and acceptable for an inspection tool.
//
// The scan never reads outside the file, never recurses deeper than
// kMaxScanDepth, and reports damage (a chunk header whose length runs past
// its parent or the file, or a chunk whose save never finished) instead of
// failing on it.

#ifndef PEMAR_FRAMEWORK_CHUNKSCAN_H_
#define PEMAR_FRAMEWORK_CHUNKSCAN_H_

#include <cstdint>
#include <vector>

#include "pemar/framework/BinaryFile.h"
#include "pemar/framework/Export.h"
#include "pemar/framework/Text.h"

namespace pemar {

inline constexpr int kMaxScanDepth = 64;

struct PEMAR_EXPORT ChunkNode {
  std::uint64_t offset = 0;  // of the chunk header
  short revision = 0;
  std::uint64_t length = 0;     // payload bytes
  std::uint64_t dataBytes = 0;  // payload bytes not inside child chunks
  std::vector<ChunkNode> children;
};

struct PEMAR_EXPORT ChunkScanResult {
  std::uint64_t fileSize = 0;
  std::uint64_t dataBytes = 0;  // top-level bytes outside any chunk
  std::vector<ChunkNode> chunks;
  // Damage found, in words, each with its offset.
  std::vector<Text> problems;
};

// Scans the file `path`. False when it cannot be opened; damage inside is
// reported in `result->problems`.
PEMAR_EXPORT bool ScanChunks(const Text& path, ChunkScanResult* result);

}  // namespace pemar

#endif  // PEMAR_FRAMEWORK_CHUNKSCAN_H_
