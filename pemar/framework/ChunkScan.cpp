#include "pemar/framework/ChunkScan.h"

#include <string>

#include "pemar/framework/FileSystem.h"

namespace pemar {
namespace {

// Must agree with the chunk header that BinaryFile writes.
constexpr std::uint64_t kHeaderSize = ChunkHeader::kHeaderSize;
constexpr unsigned char kMarker0 = 0xA5;
constexpr unsigned char kMarker1 = 0x5A;
constexpr std::uint32_t kUnfinished = 0xFFFFFFFFu;

class Scanner {
 public:
  Scanner(const std::string& bytes, ChunkScanResult* result)
      : b_(reinterpret_cast<const unsigned char*>(bytes.data())),
        result_(result) {}

  // Scans [begin, end) into `chunks`; returns the bytes outside them.
  std::uint64_t Scan(std::uint64_t begin, std::uint64_t end, int depth,
                     std::vector<ChunkNode>* chunks) {
    std::uint64_t data = 0;
    std::uint64_t at = begin;
    while (at < end) {
      if (end - at < kHeaderSize || b_[at] != kMarker0 ||
          b_[at + 1] != kMarker1) {
        ++data;
        ++at;
        continue;
      }
      short revision = static_cast<short>(b_[at + 2] | (b_[at + 3] << 8));
      std::uint32_t length = static_cast<std::uint32_t>(b_[at + 4]) |
                             (static_cast<std::uint32_t>(b_[at + 5]) << 8) |
                             (static_cast<std::uint32_t>(b_[at + 6]) << 16) |
                             (static_cast<std::uint32_t>(b_[at + 7]) << 24);
      std::uint64_t room = end - at - kHeaderSize;
      if (length > room) {
        Problem(at, length == kUnfinished
                        ? Text("chunk was never finished (the save stopped "
                               "before it closed)")
                        : Text::Format("chunk length %u runs past the %llu "
                                       "bytes that enclose it",
                                       length,
                                       static_cast<unsigned long long>(room)));
        ++data;
        ++at;
        continue;
      }
      ChunkNode node;
      node.offset = at;
      node.revision = revision;
      node.length = length;
      std::uint64_t payload = at + kHeaderSize;
      if (depth + 1 >= kMaxScanDepth) {
        Problem(at,
                Text("chunks nested too deeply; the rest is shown as data"));
        node.dataBytes = length;
      } else {
        node.dataBytes =
            Scan(payload, payload + length, depth + 1, &node.children);
      }
      chunks->push_back(std::move(node));
      at = payload + length;
    }
    return data;
  }

 private:
  void Problem(std::uint64_t offset, const Text& what) {
    // One damaged header tends to produce many; keep the report readable.
    if (result_->problems.size() >= 20) return;
    result_->problems.push_back(
        Text::Format("offset %llu: ", static_cast<unsigned long long>(offset)) +
        what);
  }

  const unsigned char* b_;
  ChunkScanResult* result_;
};

}  // namespace

bool ScanChunks(const Text& path, ChunkScanResult* result) {
  *result = ChunkScanResult();
  auto file = FileSystem::Default()->NewReadableFile(path.str());
  if (!file) return false;
  std::string bytes;
  bytes.resize(static_cast<std::size_t>(file->Size()));
  std::int64_t got = file->ReadAt(0, bytes.data(), bytes.size());
  if (got < 0) return false;
  bytes.resize(static_cast<std::size_t>(got));
  result->fileSize = bytes.size();
  Scanner scanner(bytes, result);
  result->dataBytes = scanner.Scan(0, bytes.size(), 0, &result->chunks);
  return true;
}

}  // namespace pemar
