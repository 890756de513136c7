// ChunkGuard: gives a chunk handle back to its file on every path.
//
// Readers stop at the first failed read; the guard then closes the chunk
// (the file's position moves past it, which no caller relies on after a
// failure) so that the handle is freed and the file's chunk stack stays
// consistent. Internal to the utility database.

#ifndef PEMAR_UTILITY_CHUNKGUARD_H_
#define PEMAR_UTILITY_CHUNKGUARD_H_

#include "pemar/persist/PemarBinaryFile.h"

namespace pemar::utility_internal {

class ChunkGuard {
 public:
  explicit ChunkGuard(IPemarBinaryFile* file) : file_(file) {}
  ChunkGuard(const ChunkGuard&) = delete;
  ChunkGuard& operator=(const ChunkGuard&) = delete;
  ~ChunkGuard() {
    if (header_ != nullptr) file_->CloseChunk(header_);
  }

  unsigned char Create(int revision) {
    return file_->CreateChunk(&header_, revision);
  }
  unsigned char Open() { return file_->OpenChunk(&header_); }
  int Revision() { return file_->Revision(header_); }
  // Closes the chunk now; the result is the file's.
  unsigned char Close() {
    ChunkHeader* header = header_;
    header_ = nullptr;
    return header != nullptr ? file_->CloseChunk(header) : 0;
  }

 private:
  IPemarBinaryFile* file_;
  ChunkHeader* header_ = nullptr;
};

// One-byte flags as stored: any non-zero byte reads as true.
inline unsigned char WriteFlag(IPemarBinaryFile* file, bool flag) {
  return file->Write(static_cast<unsigned char>(flag ? 1 : 0));
}
inline unsigned char ReadFlag(IPemarBinaryFile* file, bool* flag) {
  unsigned char byte = 0;
  if (!file->Read(byte)) return 0;
  *flag = byte != 0;
  return 1;
}

}  // namespace pemar::utility_internal

#endif  // PEMAR_UTILITY_CHUNKGUARD_H_
