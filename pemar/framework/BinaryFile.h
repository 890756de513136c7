// BinaryFile: a file of typed little-endian values grouped into nested,
// revisioned chunks. The byte layout is written up in docs/file-format.md.
//
// A BinaryFile is either closed, open for writing (Create) or open for
// reading (Open). Every operation returns non-zero on success and zero on
// failure, and a caller stops at the first failure and passes it up.
//
// Reads are bounded: a read never goes past the end of the innermost open
// chunk or of the file, and a stored length (of a Text, of a chunk) that does
// not fit inside what encloses it fails the read without allocating it. A
// read on a file that is not open for reading fails. Writes are buffered and
// a failed write is sticky: every later write, and Close, fail too.
//
// All file access goes through FileSystem::Default().

#ifndef PEMAR_FRAMEWORK_BINARYFILE_H_
#define PEMAR_FRAMEWORK_BINARYFILE_H_

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "pemar/framework/Export.h"
#include "pemar/framework/Text.h"

namespace pemar {

class BinaryFile;
class BinaryFileInternal;
class ReadableFile;
class WritableFile;

// Files by name: existence, rename, delete and modification stamp. Works
// whether or not the file is open.
class PEMAR_EXPORT GenericFile {
 public:
  // `second` is a second name part that the library always passes empty.
  GenericFile(const Text& name, const Text& second);
  GenericFile(const GenericFile&) = delete;
  GenericFile& operator=(const GenericFile&) = delete;
  virtual ~GenericFile();

  virtual unsigned char Close();

  // Exists(false): the file exists. Exists(true): it exists and may be
  // written.
  unsigned char Exists(bool writable) const;
  // Renames the file on disk (replacing any file of the new name) and points
  // this object at the new name.
  unsigned char Rename(const Text& newName);
  unsigned char Delete();
  void SetFileName(const Text& name, const Text& second);
  Text GetFileName() const { return name_; }

  // A packed modification stamp: the day in the upper 16 bits ((year - 1980)
  // << 9 | month << 5 | day) and the time of day in the lower 16 (hour << 11
  // | minute << 5 | second / 2), in UTC. Dividing by 65,536 gives the day.
  // 0 when the file does not exist.
  std::int64_t LastTimeModified() const;

 protected:
  Text name_;
  Text second_;
};

// The handle of one chunk: its 16-bit revision, and where it lies.
class PEMAR_EXPORT ChunkHeader {
 public:
  // Bytes a chunk header takes in the file (see docs/file-format.md).
  static constexpr std::size_t kHeaderSize = 8;
  // The two bytes every chunk header begins with.
  static constexpr unsigned char kMarker0 = 0xA5;
  static constexpr unsigned char kMarker1 = 0x5A;

  ChunkHeader() = default;

  // Starts a chunk stamped with `revision` in a file open for writing.
  unsigned char Create(BinaryFile& file, short revision);
  // Starts reading the next chunk; afterwards Revision() is the stored one.
  // False when no whole chunk header can be read or its length does not fit
  // inside the enclosing chunk.
  unsigned char Open(BinaryFile& file);
  // Ends the chunk. Writing: its length is filled in. Reading: the position
  // moves to the chunk's end, past anything not read. Chunks opened inside
  // this one and still open are ended with it.
  unsigned char Close(BinaryFile& file);

  short Revision() const { return revision_; }
  void SetRevision(short revision) { revision_ = revision; }

 private:
  // Open and Close when the header is not wholly in the read buffer, or the
  // chunk is not the innermost one being read.
  unsigned char OpenUnbuffered(BinaryFile& file);
  unsigned char CloseAny(BinaryFile& file);
  // Enters the chunk whose header, read from `start`, is `bytes`; when they
  // are no chunk header or its length does not fit, fails with the position
  // back at `start`.
  unsigned char Enter(BinaryFile& file, const unsigned char* bytes,
                      std::uint64_t start);

  short revision_ = 0;
};

class PEMAR_EXPORT BinaryFile : public GenericFile {
 public:
  BinaryFile(const Text& name, const Text& second);
  // The same, with the second name part empty.
  explicit BinaryFile(const Text& name) : BinaryFile(name, Text()) {}
  ~BinaryFile() override;

  // Creates or truncates the file for writing.
  unsigned char Create();
  // Opens an existing file for reading. The flag is always false.
  unsigned char Open(bool flag = false);
  // Writing: pushes buffered data to the file and closes it; false when any
  // write failed. Reading: closes. Closing a closed file succeeds.
  unsigned char Close() override;
  // Writing: pushes buffered data to the file and forces it to the disk.
  unsigned char Sync();

  bool IsOpenForReading() const { return reader_ != nullptr; }
  bool IsOpenForWriting() const { return writer_ != nullptr; }

  // Typed values. long and unsigned long take 32 bits in the file whatever
  // the width of the compiler's long. A value that lies in the buffer is
  // encoded or decoded in place, here; the rest take the long way.
  unsigned char Write(char v) { return StoreFixed<std::uint8_t>(v); }
  unsigned char Write(unsigned char v) { return StoreFixed<std::uint8_t>(v); }
  unsigned char Write(short v) { return StoreFixed<std::uint16_t>(v); }
  unsigned char Write(unsigned short v) { return StoreFixed<std::uint16_t>(v); }
  unsigned char Write(int v) { return StoreFixed<std::uint32_t>(v); }
  unsigned char Write(unsigned int v) { return StoreFixed<std::uint32_t>(v); }
  unsigned char Write(long v) { return StoreFixed<std::uint32_t>(v); }
  unsigned char Write(unsigned long v) { return StoreFixed<std::uint32_t>(v); }
  unsigned char Write(float v) { return StoreFixed<std::uint32_t>(v); }
  unsigned char Write(double v) { return StoreFixed<std::uint64_t>(v); }
  unsigned char Write(const Text& v);

  unsigned char Read(char& v) { return LoadFixed<std::uint8_t>(v); }
  unsigned char Read(unsigned char& v) { return LoadFixed<std::uint8_t>(v); }
  unsigned char Read(short& v) { return LoadFixed<std::uint16_t>(v); }
  unsigned char Read(unsigned short& v) { return LoadFixed<std::uint16_t>(v); }
  unsigned char Read(int& v) { return LoadFixed<std::uint32_t>(v); }
  unsigned char Read(unsigned int& v) { return LoadFixed<std::uint32_t>(v); }
  unsigned char Read(long& v) { return LoadFixed<std::uint32_t>(v); }
  unsigned char Read(unsigned long& v) { return LoadFixed<std::uint32_t>(v); }
  unsigned char Read(float& v) { return LoadFixed<std::uint32_t>(v); }
  unsigned char Read(double& v) { return LoadFixed<std::uint64_t>(v); }
  unsigned char Read(Text& v);

  // Counted arrays: only the values, no count, are stored; the reader passes
  // the same count. A read of more values than remain fails before reading.
  unsigned char Write(const char* v, unsigned int count);
  unsigned char Write(const unsigned char* v, unsigned int count);
  unsigned char Write(const short* v, unsigned int count);
  unsigned char Write(const unsigned short* v, unsigned int count);
  unsigned char Write(const int* v, unsigned int count);
  unsigned char Write(const unsigned int* v, unsigned int count);
  unsigned char Write(const long* v, unsigned int count);
  unsigned char Write(const unsigned long* v, unsigned int count);
  unsigned char Write(const float* v, unsigned int count);
  unsigned char Write(const double* v, unsigned int count);

  unsigned char Read(char* v, unsigned int count);
  unsigned char Read(unsigned char* v, unsigned int count);
  unsigned char Read(short* v, unsigned int count);
  unsigned char Read(unsigned short* v, unsigned int count);
  unsigned char Read(int* v, unsigned int count);
  unsigned char Read(unsigned int* v, unsigned int count);
  unsigned char Read(long* v, unsigned int count);
  unsigned char Read(unsigned long* v, unsigned int count);
  unsigned char Read(float* v, unsigned int count);
  unsigned char Read(double* v, unsigned int count);

  // Moves past the rest of the innermost open chunk (reading only).
  unsigned char SkipChunkData();

  // Raw bytes, for formats of their own inside the file.
  unsigned char WriteBytes(const void* data, std::size_t n);
  unsigned char ReadBytes(void* data, std::size_t n);

  // The position in the file, in bytes from its start.
  std::uint64_t Position() const { return position_; }
  // Bytes that may still be read before the end of the innermost open chunk
  // or of the file; 0 when not reading.
  std::uint64_t Remaining() const {
    return limit_ > position_ ? limit_ - position_ : 0;
  }
  // Number of chunks open.
  std::size_t OpenChunkDepth() const { return chunks_.size(); }

 private:
  friend class ChunkHeader;
  // The library's own record readers (BinaryFileInternal.h).
  friend class BinaryFileInternal;

  struct OpenChunk {
    const ChunkHeader* header;
    std::uint64_t start;  // position of the chunk header
    std::uint64_t end;    // reading: end of the payload
  };

  // A value T stored as the unsigned U of the file width, least significant
  // byte first: floating-point values by their bits, integers cut to the
  // width (two's complement) and sign- or zero-extended back.
  template <typename U, typename T>
  unsigned char StoreFixed(T v) {
    U u;
    if constexpr (std::is_floating_point_v<T>) {
      u = std::bit_cast<U>(v);
    } else {
      u = static_cast<U>(v);
    }
    unsigned char copy[sizeof(U)];
    unsigned char* room = BufferRoom(sizeof(U));
    unsigned char* out = room != nullptr ? room : copy;
    if constexpr (std::endian::native == std::endian::little) {
      std::memcpy(out, &u, sizeof(U));
    } else {
      for (std::size_t i = 0; i < sizeof(U); ++i) {
        out[i] = static_cast<unsigned char>(u >> (8 * i));
      }
    }
    if (room == nullptr) return WriteBytes(copy, sizeof(U));
    buffer_size_ += sizeof(U);
    position_ += sizeof(U);
    return 1;
  }
  template <typename U, typename T>
  unsigned char LoadFixed(T& v) {
    unsigned char copy[sizeof(U)];
    const unsigned char* in = BufferedBytes(sizeof(U));
    if (in != nullptr) {
      position_ += sizeof(U);
    } else if (ReadBytes(copy, sizeof(U))) {
      in = copy;
    } else {
      return 0;
    }
    U u = 0;
    if constexpr (std::endian::native == std::endian::little) {
      std::memcpy(&u, in, sizeof(U));
    } else {
      for (std::size_t i = 0; i < sizeof(U); ++i) {
        u |= static_cast<U>(static_cast<U>(in[i]) << (8 * i));
      }
    }
    if constexpr (std::is_floating_point_v<T>) {
      v = std::bit_cast<T>(u);
    } else if constexpr (std::is_signed_v<T>) {
      v = static_cast<T>(static_cast<std::make_signed_t<U>>(u));
    } else {
      v = static_cast<T>(u);
    }
    return 1;
  }

  // The next n bytes, when they lie wholly in the read buffer and inside the
  // bound (limit_ is 0 unless reading); null when the long way must be taken.
  const unsigned char* BufferedBytes(std::size_t n) const {
    if (position_ + n > limit_ || position_ < buffer_start_ ||
        position_ - buffer_start_ + n > buffer_size_) {
      return nullptr;
    }
    return buffer_.get() + (position_ - buffer_start_);
  }
  // Room for n more bytes in the write buffer; null when the long way must
  // be taken.
  unsigned char* BufferRoom(std::size_t n) {
    if (failed_ || !writer_ || n > buffer_capacity_ - buffer_size_) {
      return nullptr;
    }
    return buffer_.get() + buffer_size_;
  }

  unsigned char FlushBuffer();
  unsigned char PatchLength(std::uint64_t offset, std::uint32_t length);
  unsigned char FillAndCopy(void* data, std::size_t n);
  // Recomputes limit_ after the innermost chunk changed.
  void UpdateLimit();
  void Reset();

  std::unique_ptr<WritableFile> writer_;
  std::unique_ptr<ReadableFile> reader_;
  bool failed_ = false;
  std::uint64_t position_ = 0;
  std::uint64_t size_ = 0;  // reading: file size
  // Reading: the end of the innermost open chunk, or the file size; 0 when
  // not reading, so that every bounded read fails.
  std::uint64_t limit_ = 0;
  // Writing: buffer_size_ bytes not yet given to the file, which start at
  // buffer_start_. Reading: buffer_size_ bytes of the file starting at
  // buffer_start_. The block holds buffer_capacity_ bytes.
  std::unique_ptr<unsigned char[]> buffer_;
  std::size_t buffer_capacity_ = 0;
  std::size_t buffer_size_ = 0;
  std::uint64_t buffer_start_ = 0;
  std::vector<OpenChunk> chunks_;
};

// Record readers open and close a chunk per record, so the usual cases of
// both are inline: a header that lies in the read buffer, and leaving the
// innermost chunk while reading.
inline unsigned char ChunkHeader::Enter(BinaryFile& file,
                                        const unsigned char* bytes,
                                        std::uint64_t start) {
  const std::uint32_t length =
      std::uint32_t{bytes[4]} | std::uint32_t{bytes[5]} << 8 |
      std::uint32_t{bytes[6]} << 16 | std::uint32_t{bytes[7]} << 24;
  // The header was read inside the bound, so the payload starts within it.
  const std::uint64_t payload = start + kHeaderSize;
  if (bytes[0] != kMarker0 || bytes[1] != kMarker1 ||
      length > file.limit_ - payload) {
    file.position_ = start;
    return 0;
  }
  revision_ = static_cast<short>(bytes[2] | bytes[3] << 8);
  file.chunks_.push_back({this, start, payload + length});
  file.position_ = payload;
  // The new innermost bound, set from the value in hand: reading it back
  // from the entry just stored would wait on that store.
  file.limit_ = payload + length;
  return 1;
}

inline unsigned char ChunkHeader::Open(BinaryFile& file) {
  const unsigned char* bytes = file.BufferedBytes(kHeaderSize);
  if (bytes == nullptr) return OpenUnbuffered(file);
  return Enter(file, bytes, file.position_);
}

inline unsigned char ChunkHeader::Close(BinaryFile& file) {
  auto& chunks = file.chunks_;
  if (file.reader_ == nullptr || file.writer_ != nullptr || chunks.empty() ||
      chunks.back().header != this) {
    return CloseAny(file);
  }
  file.position_ = chunks.back().end;
  chunks.pop_back();
  file.limit_ = chunks.empty() ? file.size_ : chunks.back().end;
  return 1;
}

// A flag as one byte: 1 for true, 0 for false. Reading takes any byte
// other than 0 as true.
inline unsigned char WriteFlag(BinaryFile& file, bool flag) {
  return file.Write(static_cast<unsigned char>(flag ? 1 : 0));
}
inline unsigned char ReadFlag(BinaryFile& file, bool& flag) {
  unsigned char byte = 0;
  if (!file.Read(byte)) return 0;
  flag = byte != 0;
  return 1;
}

// Writes a new file at `path` so that the file there keeps its old contents
// unless the whole new one made it: `write` fills a binary file made under a
// fresh temporary name beside `path` (FileSystem::NewTemporaryFile, so no
// existing file is touched), which is then synced, closed and renamed over
// `path`. On any failure, `write` answering false included, the temporary
// file is removed and the answer is false. The folder is not synced: what a
// failed folder sync means is the caller's to decide (SyncDirectoryOf).
PEMAR_EXPORT bool ReplaceFileWith(
    const std::string& path, const std::function<bool(BinaryFile&)>& write);

}  // namespace pemar

#endif  // PEMAR_FRAMEWORK_BINARYFILE_H_
