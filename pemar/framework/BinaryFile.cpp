#include "pemar/framework/BinaryFile.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <ctime>
#include <limits>
#include <type_traits>
#include <utility>

#include "pemar/framework/FileSystem.h"

namespace pemar {
namespace {

// Bytes buffered for writing before they are handed to the file. Once a
// file has grown past kLargeFileBytes it goes out in pieces of
// kLargeWriteBlockSize: a few large writes cost the operating system much
// less than many small ones. Smaller files keep the small block.
constexpr std::size_t kWriteBlockSize = std::size_t{64} * 1024;
constexpr std::size_t kLargeWriteBlockSize = std::size_t{1} << 20;
constexpr std::uint64_t kLargeFileBytes = std::uint64_t{1} << 20;
// Bytes read from the file at a time, at most (a smaller file gets a block of
// its own size).
constexpr std::size_t kReadBlockSize = std::size_t{64} * 1024;
// Chunk header: two marker bytes, int16 revision, uint32 payload length. The
// marker lets a reader reject a chunk that is not one and lets the dump tool
// find chunks nested among plain values.
constexpr std::size_t kChunkHeaderSize = ChunkHeader::kHeaderSize;
constexpr unsigned char kChunkMarker0 = ChunkHeader::kMarker0;
constexpr unsigned char kChunkMarker1 = ChunkHeader::kMarker1;
// Length written when a chunk starts; a chunk never closed keeps it, and a
// reader then rejects the chunk because it cannot fit in the file.
constexpr std::uint32_t kUnfinishedLength = 0xFFFFFFFFu;

template <typename U>
void EncodeLittle(U v, unsigned char* out) {
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(out, &v, sizeof(U));
  } else {
    for (std::size_t i = 0; i < sizeof(U); ++i) {
      out[i] = static_cast<unsigned char>(v >> (8 * i));
    }
  }
}

template <typename U>
U DecodeLittle(const unsigned char* in) {
  U v = 0;
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(&v, in, sizeof(U));
  } else {
    for (std::size_t i = 0; i < sizeof(U); ++i) {
      v |= static_cast<U>(static_cast<U>(in[i]) << (8 * i));
    }
  }
  return v;
}

// The stored form of each C++ type: its unsigned carrier of the file width.
template <typename T>
struct Stored;
template <>
struct Stored<char> {
  using U = std::uint8_t;
};
template <>
struct Stored<unsigned char> {
  using U = std::uint8_t;
};
template <>
struct Stored<short> {
  using U = std::uint16_t;
};
template <>
struct Stored<unsigned short> {
  using U = std::uint16_t;
};
template <>
struct Stored<int> {
  using U = std::uint32_t;
};
template <>
struct Stored<unsigned int> {
  using U = std::uint32_t;
};
template <>
struct Stored<long> {
  using U = std::uint32_t;
};
template <>
struct Stored<unsigned long> {
  using U = std::uint32_t;
};
template <>
struct Stored<float> {
  using U = std::uint32_t;
};
template <>
struct Stored<double> {
  using U = std::uint64_t;
};

template <typename T>
typename Stored<T>::U ToStored(T v) {
  using U = typename Stored<T>::U;
  if constexpr (std::is_floating_point_v<T>) {
    return std::bit_cast<U>(v);
  } else {
    // Integers are cut to the file width (two's complement).
    return static_cast<U>(v);
  }
}

template <typename T>
T FromStored(typename Stored<T>::U u) {
  if constexpr (std::is_floating_point_v<T>) {
    return std::bit_cast<T>(u);
  } else if constexpr (std::is_signed_v<T>) {
    using S = std::make_signed_t<typename Stored<T>::U>;
    return static_cast<T>(static_cast<S>(u));
  } else {
    return static_cast<T>(u);
  }
}

// True when T in memory already has its stored bytes: a little-endian host
// and a type as wide as its file form (not a 64-bit long). Counted arrays of
// such a type are copied as they are.
template <typename T>
constexpr bool kStoredAsInMemory = std::endian::native == std::endian::little &&
                                   sizeof(T) == sizeof(typename Stored<T>::U) &&
                                   (std::is_integral_v<T> ||
                                    std::numeric_limits<T>::is_iec559);

template <typename T>
unsigned char WriteValues(BinaryFile& f, const T* v, std::size_t count) {
  using U = typename Stored<T>::U;
  if constexpr (kStoredAsInMemory<T>) {
    return count == 0 || f.WriteBytes(v, count * sizeof(U));
  } else {
    unsigned char tmp[512];
    constexpr std::size_t kPer = sizeof(tmp) / sizeof(U);
    while (count > 0) {
      std::size_t n = std::min(count, kPer);
      for (std::size_t i = 0; i < n; ++i) {
        EncodeLittle<U>(ToStored<T>(v[i]), tmp + i * sizeof(U));
      }
      if (!f.WriteBytes(tmp, n * sizeof(U))) return 0;
      v += n;
      count -= n;
    }
    return 1;
  }
}

template <typename T>
unsigned char ReadValues(BinaryFile& f, T* v, std::size_t count) {
  using U = typename Stored<T>::U;
  if (count > f.Remaining() / sizeof(U)) return 0;
  if constexpr (kStoredAsInMemory<T>) {
    return count == 0 || f.ReadBytes(v, count * sizeof(U));
  } else {
    unsigned char tmp[512];
    constexpr std::size_t kPer = sizeof(tmp) / sizeof(U);
    while (count > 0) {
      std::size_t n = std::min(count, kPer);
      if (!f.ReadBytes(tmp, n * sizeof(U))) return 0;
      for (std::size_t i = 0; i < n; ++i) {
        v[i] = FromStored<T>(DecodeLittle<U>(tmp + i * sizeof(U)));
      }
      v += n;
      count -= n;
    }
    return 1;
  }
}

}  // namespace

// ---------------------------------------------------------------------------
// GenericFile

GenericFile::GenericFile(const Text& name, const Text& second)
    : name_(name), second_(second) {}

GenericFile::~GenericFile() = default;

unsigned char GenericFile::Close() { return 1; }

unsigned char GenericFile::Exists(bool writable) const {
  FileSystem* fs = FileSystem::Default();
  return writable ? fs->IsWritable(name_.str()) : fs->FileExists(name_.str());
}

unsigned char GenericFile::Rename(const Text& newName) {
  if (name_.IsEmpty() || newName.IsEmpty()) return 0;
  if (!FileSystem::Default()->RenameFile(name_.str(), newName.str())) return 0;
  name_ = newName;
  return 1;
}

unsigned char GenericFile::Delete() {
  if (name_.IsEmpty()) return 0;
  return FileSystem::Default()->DeleteFile(name_.str());
}

void GenericFile::SetFileName(const Text& name, const Text& second) {
  name_ = name;
  second_ = second;
}

std::int64_t GenericFile::LastTimeModified() const {
  std::int64_t seconds = 0;
  if (!FileSystem::Default()->GetModificationTime(name_.str(), &seconds)) {
    return 0;
  }
  std::time_t t = static_cast<std::time_t>(seconds);
  std::tm tm{};
#if defined(_WIN32)
  gmtime_s(&tm, &t);
#else
  gmtime_r(&t, &tm);
#endif
  std::int64_t year = std::max(0, tm.tm_year + 1900 - 1980);
  std::int64_t date = (year << 9) | ((tm.tm_mon + 1) << 5) | tm.tm_mday;
  std::int64_t time = (tm.tm_hour << 11) | (tm.tm_min << 5) | (tm.tm_sec / 2);
  return (date << 16) | time;
}

// ---------------------------------------------------------------------------
// ChunkHeader

inline void BinaryFile::UpdateLimit() {
  limit_ = !reader_ ? 0 : chunks_.empty() ? size_ : chunks_.back().end;
}

unsigned char ChunkHeader::Create(BinaryFile& file, short revision) {
  if (!file.IsOpenForWriting()) return 0;
  revision_ = revision;
  std::uint64_t start = file.position_;
  unsigned char copy[kChunkHeaderSize];
  unsigned char* room = file.BufferRoom(kChunkHeaderSize);
  unsigned char* bytes = room != nullptr ? room : copy;
  bytes[0] = kChunkMarker0;
  bytes[1] = kChunkMarker1;
  EncodeLittle<std::uint16_t>(static_cast<std::uint16_t>(revision), bytes + 2);
  EncodeLittle<std::uint32_t>(kUnfinishedLength, bytes + 4);
  if (room != nullptr) {
    file.buffer_size_ += kChunkHeaderSize;
    file.position_ += kChunkHeaderSize;
  } else if (!file.WriteBytes(copy, sizeof(copy))) {
    return 0;
  }
  file.chunks_.push_back({this, start, 0});
  return 1;
}

unsigned char ChunkHeader::OpenUnbuffered(BinaryFile& file) {
  if (!file.IsOpenForReading()) return 0;
  const std::uint64_t start = file.position_;
  unsigned char bytes[kChunkHeaderSize];
  if (!file.ReadBytes(bytes, sizeof(bytes))) return 0;
  return Enter(file, bytes, start);
}

unsigned char ChunkHeader::CloseAny(BinaryFile& file) {
  auto& chunks = file.chunks_;
  // Nearly always the innermost chunk: look there first.
  std::size_t index = chunks.size();
  while (index > 0 && chunks[index - 1].header != this) --index;
  if (index == 0) return 0;
  --index;
  if (file.IsOpenForWriting()) {
    // Chunks left open inside this one end here too, so that the structure
    // stays readable.
    unsigned char ok = 1;
    for (std::size_t i = chunks.size(); i-- > index;) {
      std::uint64_t length =
          file.position_ - chunks[i].start - kChunkHeaderSize;
      bool fits = length < kUnfinishedLength;
      if (!fits || !file.PatchLength(chunks[i].start + 4,
                                     static_cast<std::uint32_t>(length))) {
        ok = 0;
      }
    }
    chunks.resize(index);
    return ok;
  }
  if (file.IsOpenForReading()) {
    file.position_ = chunks[index].end;
    chunks.resize(index);
    file.UpdateLimit();
    return 1;
  }
  chunks.resize(index);
  return 0;
}

// ---------------------------------------------------------------------------
// BinaryFile

BinaryFile::BinaryFile(const Text& name, const Text& second)
    : GenericFile(name, second) {}

BinaryFile::~BinaryFile() { BinaryFile::Close(); }

void BinaryFile::Reset() {
  writer_.reset();
  reader_.reset();
  failed_ = false;
  position_ = 0;
  size_ = 0;
  limit_ = 0;
  buffer_.reset();
  buffer_capacity_ = 0;
  buffer_size_ = 0;
  buffer_start_ = 0;
  chunks_.clear();
}

unsigned char BinaryFile::Create() {
  Close();
  Reset();
  if (name_.IsEmpty()) return 0;
  writer_ = FileSystem::Default()->NewWritableFile(name_.str());
  if (!writer_) return 0;
  buffer_ = std::make_unique_for_overwrite<unsigned char[]>(kWriteBlockSize);
  buffer_capacity_ = kWriteBlockSize;
  return 1;
}

unsigned char BinaryFile::Open(bool /*flag*/) {
  Close();
  Reset();
  if (name_.IsEmpty()) return 0;
  reader_ = FileSystem::Default()->NewReadableFile(name_.str());
  if (!reader_) return 0;
  size_ = reader_->Size();
  UpdateLimit();
  buffer_capacity_ = static_cast<std::size_t>(std::min<std::uint64_t>(
      kReadBlockSize, std::max<std::uint64_t>(size_, 8)));
  buffer_ = std::make_unique_for_overwrite<unsigned char[]>(buffer_capacity_);
  return 1;
}

unsigned char BinaryFile::Close() {
  unsigned char ok = 1;
  if (writer_) {
    ok = FlushBuffer();
    if (!writer_->Close()) ok = 0;
    if (failed_) ok = 0;
  }
  Reset();
  return ok;
}

unsigned char BinaryFile::Sync() {
  if (!writer_) return 0;
  if (!FlushBuffer()) return 0;
  if (!writer_->Sync()) {
    failed_ = true;
    return 0;
  }
  return 1;
}

unsigned char BinaryFile::FlushBuffer() {
  if (!writer_ || failed_) return 0;
  if (buffer_size_ == 0) return 1;
  if (!writer_->Append(buffer_.get(), buffer_size_)) {
    failed_ = true;
    return 0;
  }
  buffer_start_ += buffer_size_;
  buffer_size_ = 0;
  if (buffer_capacity_ < kLargeWriteBlockSize &&
      buffer_start_ >= kLargeFileBytes) {
    buffer_ =
        std::make_unique_for_overwrite<unsigned char[]>(kLargeWriteBlockSize);
    buffer_capacity_ = kLargeWriteBlockSize;
  }
  return 1;
}

unsigned char BinaryFile::PatchLength(std::uint64_t offset,
                                      std::uint32_t length) {
  if (failed_) return 0;
  unsigned char bytes[4];
  EncodeLittle<std::uint32_t>(length, bytes);
  if (offset >= buffer_start_) {
    std::memcpy(buffer_.get() + (offset - buffer_start_), bytes, 4);
    return 1;
  }
  if (offset + 4 > buffer_start_ && !FlushBuffer()) return 0;
  if (!writer_->WriteAt(offset, bytes, 4)) {
    failed_ = true;
    return 0;
  }
  return 1;
}

unsigned char BinaryFile::WriteBytes(const void* data, std::size_t n) {
  if (unsigned char* room = BufferRoom(n)) {
    if (n > 0) std::memcpy(room, data, n);
    buffer_size_ += n;
    position_ += n;
    return 1;
  }
  // The buffer is too full: hand it to the file, and a piece as large as the
  // buffer goes straight after it.
  if (!FlushBuffer()) return 0;
  if (n >= buffer_capacity_) {
    if (!writer_->Append(data, n)) {
      failed_ = true;
      return 0;
    }
    buffer_start_ += n;
    position_ += n;
    return 1;
  }
  std::memcpy(buffer_.get() + buffer_size_, data, n);
  buffer_size_ += n;
  position_ += n;
  return 1;
}

unsigned char BinaryFile::ReadBytes(void* data, std::size_t n) {
  if (n == 0) return reader_ != nullptr;
  if (const unsigned char* bytes = BufferedBytes(n)) {
    std::memcpy(data, bytes, n);
    position_ += n;
    return 1;
  }
  if (!reader_) return 0;
  if (n > Remaining()) return 0;
  return FillAndCopy(data, n);
}

unsigned char BinaryFile::FillAndCopy(void* data, std::size_t n) {
  unsigned char* out = static_cast<unsigned char*>(data);
  while (n > 0) {
    if (position_ >= buffer_start_ &&
        position_ < buffer_start_ + buffer_size_) {
      std::size_t at = static_cast<std::size_t>(position_ - buffer_start_);
      std::size_t take = std::min(n, buffer_size_ - at);
      std::memcpy(out, buffer_.get() + at, take);
      out += take;
      n -= take;
      position_ += take;
      continue;
    }
    if (n >= buffer_capacity_) {
      std::int64_t got = reader_->ReadAt(position_, out, n);
      if (got < 0 || static_cast<std::size_t>(got) != n) return 0;
      position_ += n;
      return 1;
    }
    std::int64_t got =
        reader_->ReadAt(position_, buffer_.get(), buffer_capacity_);
    if (got <= 0) {
      buffer_size_ = 0;
      return 0;
    }
    buffer_size_ = static_cast<std::size_t>(got);
    buffer_start_ = position_;
  }
  return 1;
}

unsigned char BinaryFile::SkipChunkData() {
  if (!reader_ || chunks_.empty()) return 0;
  position_ = chunks_.back().end;
  return 1;
}

#define PEMAR_BINARYFILE_TYPED(T)                                   \
  unsigned char BinaryFile::Write(const T* v, unsigned int count) { \
    if (v == nullptr && count > 0) return 0;                        \
    return WriteValues(*this, v, count);                            \
  }                                                                 \
  unsigned char BinaryFile::Read(T* v, unsigned int count) {        \
    if (v == nullptr && count > 0) return 0;                        \
    return ReadValues(*this, v, count);                             \
  }

PEMAR_BINARYFILE_TYPED(char)
PEMAR_BINARYFILE_TYPED(unsigned char)
PEMAR_BINARYFILE_TYPED(short)
PEMAR_BINARYFILE_TYPED(unsigned short)
PEMAR_BINARYFILE_TYPED(int)
PEMAR_BINARYFILE_TYPED(unsigned int)
PEMAR_BINARYFILE_TYPED(long)
PEMAR_BINARYFILE_TYPED(unsigned long)
PEMAR_BINARYFILE_TYPED(float)
PEMAR_BINARYFILE_TYPED(double)

#undef PEMAR_BINARYFILE_TYPED

unsigned char BinaryFile::Write(const Text& v) {
  if (v.Length() > std::numeric_limits<std::uint32_t>::max()) return 0;
  if (!Write(static_cast<unsigned int>(v.Length()))) return 0;
  return WriteBytes(v.c_str(), v.Length());
}

unsigned char BinaryFile::Read(Text& v) {
  unsigned int length = 0;  // stored as uint32
  if (!Read(length)) return 0;
  if (length > Remaining()) return 0;
  // Text already in the buffer is copied straight into v.
  if (const unsigned char* bytes = BufferedBytes(length)) {
    v.str().assign(reinterpret_cast<const char*>(bytes), length);
    position_ += length;
    return 1;
  }
  // Otherwise into a string of its own, so that v is left as it was if the
  // read fails.
  std::string s(length, '\0');
  if (!ReadBytes(s.data(), length)) return 0;
  v = Text(std::move(s));
  return 1;
}

bool ReplaceFileWith(const std::string& path,
                     const std::function<bool(BinaryFile&)>& write) {
  FileSystem* fs = FileSystem::Default();
  // The fresh name is taken first; the binary file then makes that (empty,
  // own) file again to write it.
  std::string temp;
  {
    std::unique_ptr<WritableFile> reserved = fs->NewTemporaryFile(path, &temp);
    if (reserved == nullptr) return false;
    if (!reserved->Close()) {
      fs->DeleteFile(temp);
      return false;
    }
  }
  bool ok;
  {
    BinaryFile file{Text(temp), Text()};
    ok = file.Create() != 0 && write(file) && file.Sync() != 0;
    // Closed even after a failure, so that the file can be removed.
    ok = file.Close() != 0 && ok;
  }
  ok = ok && fs->RenameFile(temp, path);
  if (!ok) fs->DeleteFile(temp);
  return ok;
}

}  // namespace pemar
