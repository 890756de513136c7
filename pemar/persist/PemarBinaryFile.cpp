#include "pemar/persist/PemarBinaryFile.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <typeinfo>

#include "pemar/framework/BinaryFileInternal.h"
#include "pemar/persist/CountedStringInternal.h"

namespace pemar {
namespace {

// Strings are read in pieces of this size, so that a damaged count cannot
// make the reader allocate more than the file really holds.
constexpr unsigned int kStringPiece = 64 * 1024;

// The BinaryFile under `file` when it is a PemarBinaryFile itself (whose
// values go straight to that file, unchanged), else null. Counted strings
// are then read and written through the file's buffer directly rather than
// value by value through the interface: the same bytes, fewer calls.
BinaryFile* DirectFile(IPemarBinaryFile* file) {
  if (typeid(*file) != typeid(PemarBinaryFile)) return nullptr;
  return static_cast<PemarBinaryFile*>(file)->GetBinaryFile();
}

}  // namespace

IPemarBinaryFile::~IPemarBinaryFile() = default;

PemarBinaryFile::PemarBinaryFile(BinaryFile* file)
    : file_(file), ownsFile_(false) {}

PemarBinaryFile::PemarBinaryFile(const char* fileName)
    : file_(nullptr), ownsFile_(false) {
  if (fileName != nullptr) {
    file_ = new BinaryFile(Text(fileName), Text());
    ownsFile_ = true;
    file_->Open(false);
  }
}

PemarBinaryFile::PemarBinaryFile(const PemarBinaryFile& other)
    : IPemarBaseObject(),
      IPemarBinaryFile(),
      PemarBaseObject(other),
      file_(other.file_),
      ownsFile_(false) {}

PemarBinaryFile::~PemarBinaryFile() {
  if (ownsFile_) delete file_;
  for (int i = 0; i < spareCount_; ++i) delete spareHeaders_[i];
}

#define PEMAR_FORWARD_TYPED(T)                                                \
  unsigned char PemarBinaryFile::Read(T* values, unsigned int count) {        \
    return file_ ? file_->Read(values, count) : 0;                            \
  }                                                                           \
  unsigned char PemarBinaryFile::Write(const T* values, unsigned int count) { \
    return file_ ? file_->Write(values, count) : 0;                           \
  }                                                                           \
  unsigned char PemarBinaryFile::Write(T value) {                             \
    return file_ ? file_->Write(value) : 0;                                   \
  }

PEMAR_FORWARD_TYPED(double)
PEMAR_FORWARD_TYPED(float)
PEMAR_FORWARD_TYPED(unsigned long)
PEMAR_FORWARD_TYPED(long)
PEMAR_FORWARD_TYPED(unsigned short)
PEMAR_FORWARD_TYPED(short)
PEMAR_FORWARD_TYPED(unsigned int)
PEMAR_FORWARD_TYPED(int)
PEMAR_FORWARD_TYPED(unsigned char)
PEMAR_FORWARD_TYPED(char)

#undef PEMAR_FORWARD_TYPED

unsigned char PemarBinaryFile::Read(Text& value) {
  return file_ ? file_->Read(value) : 0;
}

unsigned char PemarBinaryFile::Write(const Text& value) {
  return file_ ? file_->Write(value) : 0;
}

unsigned char PemarBinaryFile::CreateChunk(ChunkHeader** header, int revision) {
  if (header == nullptr) return 0;
  *header = TakeHeader();
  if (!file_) return 0;
  return (*header)->Create(*file_, static_cast<short>(revision));
}

unsigned char PemarBinaryFile::SkipChunkData() {
  return file_ ? file_->SkipChunkData() : 0;
}

CVString PemarBinaryFile::GetFileName() {
  return file_ ? file_->GetFileName() : CVString();
}

namespace {

// Writes `lead` bytes of 1 (present flags) and the counted string record of
// a present text: the count, little-endian, and the characters with their
// zero. The same bytes as writing each value on its own, handed over as
// unsigned chars in two calls: the flags and count, then the characters.
unsigned char WritePresentRecord(IPemarBinaryFile* file, const CVString& text,
                                 unsigned lead) {
  if (text.Length() >= 0x7FFFFFFFu) return 0;
  const std::uint32_t n = static_cast<std::uint32_t>(text.Length()) + 1;
  unsigned char head[6];
  unsigned at = 0;
  while (at < lead) head[at++] = 1;
  for (int i = 0; i < 4; ++i) {
    head[at++] = static_cast<unsigned char>(n >> (8 * i));
  }
  if (BinaryFile* direct = DirectFile(file)) {
    return direct->WriteBytes(head, at) && direct->WriteBytes(text.c_str(), n);
  }
  return file->Write(head, at) && file->Write(text.c_str(), n);
}

}  // namespace

unsigned char WriteCVString(IPemarBinaryFile* file, CVString* text) {
  if (file == nullptr) return 0;
  if (text == nullptr) return file->Write(static_cast<unsigned char>(0));
  return WritePresentRecord(file, *text, 1);
}

unsigned char WriteCVString(IPemarBinaryFile* file, const CVString& text) {
  if (file == nullptr) return 0;
  return WritePresentRecord(file, text, 1);
}

namespace persist_internal {

unsigned char WriteFlaggedCVString(IPemarBinaryFile* file,
                                   const CVString& text) {
  if (file == nullptr) return 0;
  return WritePresentRecord(file, text, 2);
}

}  // namespace persist_internal

namespace {

// ReadCVString, with `direct` the file's DirectFile.
unsigned char ReadCounted(IPemarBinaryFile* file, BinaryFile* direct,
                          CVString* text) {
  unsigned char flag = 0;
  unsigned char ok = direct ? direct->Read(flag) : file->Read(flag);
  if (!ok || flag == 0) {
    *text = CVString();
    return ok;
  }
  int n = 0;
  ok = direct ? direct->Read(n) : file->Read(n);
  if (!ok || n == 0) {
    *text = CVString();
    return ok;
  }
  if (n < 0) {
    *text = CVString();
    return 0;
  }
  // The usual case: the whole record lies in the read buffer.
  if (direct != nullptr &&
      BinaryFileInternal::ReadBufferedCharsToZero(
          *direct, static_cast<std::size_t>(n), &text->str())) {
    return 1;
  }
  // The characters go straight into the text's own buffer, a piece at a
  // time, so that it grows only with bytes the file really holds.
  std::string& chars = text->str();
  chars.clear();
  unsigned int left = static_cast<unsigned int>(n);
  while (left > 0) {
    unsigned int piece = std::min(left, kStringPiece);
    std::size_t at = chars.size();
    chars.resize(at + piece);
    if (!file->Read(chars.data() + at, piece)) {
      *text = CVString();
      return 0;
    }
    left -= piece;
  }
  // The text ends at the first zero byte; the count includes the stored
  // terminator.
  if (const void* zero = std::memchr(chars.data(), 0, chars.size())) {
    chars.resize(static_cast<std::size_t>(static_cast<const char*>(zero) -
                                          chars.data()));
  }
  return 1;
}

}  // namespace

unsigned char ReadCVString(IPemarBinaryFile* file, CVString* text) {
  if (file == nullptr || text == nullptr) return 0;
  return ReadCounted(file, DirectFile(file), text);
}

namespace persist_internal {

unsigned char ReadFlaggedCVString(IPemarBinaryFile* file,
                                  std::optional<CVString>* text) {
  if (file == nullptr || text == nullptr) return 0;
  text->reset();
  BinaryFile* direct = DirectFile(file);
  unsigned char flag = 0;
  if (!(direct ? direct->Read(flag) : file->Read(flag))) return 0;
  if (flag == 0) return 1;
  if (flag != 1 || !ReadCounted(file, direct, &text->emplace())) {
    text->reset();
    return 0;
  }
  return 1;
}

}  // namespace persist_internal

unsigned char ReadEntryCount(IPemarBinaryFile* file, std::uint64_t minBytesEach,
                             int* count) {
  if (file == nullptr || count == nullptr || minBytesEach == 0) return 0;
  if (!file->Read(*count) || *count < 0) return 0;
  auto* pemar_file = dynamic_cast<PemarBinaryFile*>(file);
  BinaryFile* binary =
      pemar_file != nullptr ? pemar_file->GetBinaryFile() : nullptr;
  if (binary == nullptr) return 1;
  return static_cast<std::uint64_t>(*count) <=
         binary->Remaining() / minBytesEach;
}

}  // namespace pemar
