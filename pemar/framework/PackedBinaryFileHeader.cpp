#include "pemar/framework/PackedBinaryFileHeader.h"

#include <cstring>

namespace pemar {
namespace {

// Revision of the enclosing chunk that MarkOK closes.
constexpr short kEnvelopeRevision = 1;
// Revision of the chunk of header fields. Revision 1 holds every field.
constexpr short kFieldsRevision = 1;
// The size of a chunk header in the file (see docs/file-format.md); an
// unconfirmed envelope, whose chunk cannot be opened, is stepped over as
// raw bytes.
constexpr std::size_t kChunkHeaderBytes = ChunkHeader::kHeaderSize;

constexpr char kFrameworkStamp[kIDStampSize + 1] = "PemarDocument   ";

}  // namespace

PackedBinaryFileHeader::~PackedBinaryFileHeader() = default;

void PackedBinaryFileHeader::GetIDStamp(char* stamp) {
  std::memcpy(stamp, kFrameworkStamp, kIDStampSize);
}

unsigned char PackedBinaryFileHeader::CheckIDStamp(char* found,
                                                   char* expected) {
  return std::memcmp(found, expected, kIDStampSize) == 0;
}

unsigned char PackedBinaryFileHeader::Store(BinaryFile& file) {
  char stamp[kIDStampSize];
  GetIDStamp(stamp);
  if (!file.WriteBytes(stamp, sizeof(stamp))) return 0;
  if (!envelope_.Create(file, kEnvelopeRevision)) return 0;
  ChunkHeader fields;
  long build = StoreBuildNumber();
  if (!fields.Create(file, kFieldsRevision) || !file.Write(build) ||
      !file.Write(RequiredBuildNumber()) || !file.Write(structure_revision_) ||
      !file.Write(ask_for_name_) || !file.Write(description_) ||
      !file.Write(original_name_) || !fields.Close(file)) {
    return 0;
  }
  SetBuildNumber(build);
  return 1;
}

unsigned char PackedBinaryFileHeader::MarkOK(BinaryFile& file) {
  if (!file.IsOpenForWriting()) return 0;
  return envelope_.Close(file);
}

unsigned char PackedBinaryFileHeader::Recall(BinaryFile& file,
                                             unsigned char flag) {
  confirmed_ = false;
  SetBuildNumber(0);
  char found[kIDStampSize];
  if (!file.ReadBytes(found, sizeof(found))) return 0;

  // The envelope opens only when MarkOK gave it a length that the file
  // holds; otherwise the save never finished or the file was cut short.
  bool confirmed = envelope_.Open(file) != 0;
  if (confirmed) {
    if (envelope_.Revision() != kEnvelopeRevision) return 0;
  } else {
    unsigned char skipped[kChunkHeaderBytes];
    if (!file.ReadBytes(skipped, sizeof(skipped))) return 0;
  }

  // Into temporaries: a failed recall leaves the fields as they were.
  ChunkHeader fields;
  long build = 0;
  long required = 0;
  unsigned char revision = 0;
  short ask = 0;
  Text description;
  Text original;
  if (!fields.Open(file)) return 0;
  if (fields.Revision() < kFieldsRevision || !file.Read(build)) return 0;
  SetBuildNumber(build);
  if (!file.Read(required) || !file.Read(revision) || !file.Read(ask) ||
      !file.Read(description) || !file.Read(original) || !fields.Close(file)) {
    return 0;
  }

  char expected[kIDStampSize];
  GetIDStamp(expected);
  if (!CheckIDStamp(found, expected)) return 0;
  if (required > kFrameworkBuildNumber) return 0;
  confirmed_ = confirmed;
  if (!confirmed && flag) return 0;

  SetRequiredBuildNumber(required);
  structure_revision_ = revision;
  ask_for_name_ = ask;
  description_ = std::move(description);
  original_name_ = std::move(original);
  return 1;
}

}  // namespace pemar
