// PemarBinaryFile: the library's chunked file object.
//
// Objects that persist themselves are written against IPemarBinaryFile,
// never against BinaryFile directly. PemarBinaryFile wraps one BinaryFile and
// adds chunks held as handles, the counted CVString record (WriteCVString /
// ReadCVString) and the reference-counted base behaviour. Typed values go
// straight to the wrapped file: the object adds no bytes of its own.
//
// Every persistent record follows one pattern:
//   ChunkHeader* h; file->CreateChunk(&h, R); ...fields...;
//   file->CloseChunk(h);
// and recall does OpenChunk(&h), reads Revision(h), reads the fields that
// revision has, and CloseChunk(h). Every handle from CreateChunk or OpenChunk
// must be given back through CloseChunk, which frees it. Given-back handles
// are kept for reuse by the object they were given back to, so that a
// stream of records allocates no handle per chunk.

#ifndef PEMAR_PERSIST_PEMARBINARYFILE_H_
#define PEMAR_PERSIST_PEMARBINARYFILE_H_

#include <cstdint>

#include "pemar/framework/BinaryFile.h"
#include "pemar/framework/Export.h"
#include "pemar/framework/Text.h"
#include "pemar/persist/PemarBaseObject.h"

namespace pemar {

class PEMAR_EXPORT IPemarBinaryFile : public virtual IPemarBaseObject {
 public:
  ~IPemarBinaryFile() override;

  virtual unsigned char Read(double* values, unsigned int count) = 0;
  virtual unsigned char Read(float* values, unsigned int count) = 0;
  virtual unsigned char Read(unsigned long* values, unsigned int count) = 0;
  virtual unsigned char Read(long* values, unsigned int count) = 0;
  virtual unsigned char Read(unsigned short* values, unsigned int count) = 0;
  virtual unsigned char Read(short* values, unsigned int count) = 0;
  virtual unsigned char Read(unsigned int* values, unsigned int count) = 0;
  virtual unsigned char Read(int* values, unsigned int count) = 0;
  virtual unsigned char Read(unsigned char* values, unsigned int count) = 0;
  virtual unsigned char Read(char* values, unsigned int count) = 0;

  virtual unsigned char Read(double& value) = 0;
  virtual unsigned char Read(float& value) = 0;
  virtual unsigned char Read(unsigned long& value) = 0;
  virtual unsigned char Read(long& value) = 0;
  virtual unsigned char Read(unsigned short& value) = 0;
  virtual unsigned char Read(short& value) = 0;
  virtual unsigned char Read(unsigned int& value) = 0;
  virtual unsigned char Read(int& value) = 0;
  virtual unsigned char Read(unsigned char& value) = 0;
  virtual unsigned char Read(char& value) = 0;

  virtual unsigned char Read(Text& value) = 0;

  virtual unsigned char Write(const double* values, unsigned int count) = 0;
  virtual unsigned char Write(const float* values, unsigned int count) = 0;
  virtual unsigned char Write(const unsigned long* values,
                              unsigned int count) = 0;
  virtual unsigned char Write(const long* values, unsigned int count) = 0;
  virtual unsigned char Write(const unsigned short* values,
                              unsigned int count) = 0;
  virtual unsigned char Write(const short* values, unsigned int count) = 0;
  virtual unsigned char Write(const unsigned int* values,
                              unsigned int count) = 0;
  virtual unsigned char Write(const int* values, unsigned int count) = 0;
  virtual unsigned char Write(const unsigned char* values,
                              unsigned int count) = 0;
  virtual unsigned char Write(const char* values, unsigned int count) = 0;

  virtual unsigned char Write(double value) = 0;
  virtual unsigned char Write(float value) = 0;
  virtual unsigned char Write(unsigned long value) = 0;
  virtual unsigned char Write(long value) = 0;
  virtual unsigned char Write(unsigned short value) = 0;
  virtual unsigned char Write(short value) = 0;
  virtual unsigned char Write(unsigned int value) = 0;
  virtual unsigned char Write(int value) = 0;
  virtual unsigned char Write(unsigned char value) = 0;
  virtual unsigned char Write(char value) = 0;

  virtual unsigned char Write(const Text& value) = 0;

  // Starts a chunk stamped with `revision` cut to 16 bits and hands out its
  // handle in *header, even when starting it fails.
  virtual unsigned char CreateChunk(ChunkHeader** header, int revision) = 0;
  // Starts reading the next chunk and hands out its handle in *header.
  virtual unsigned char OpenChunk(ChunkHeader** header) = 0;
  // Ends the chunk and frees the handle (null is refused).
  virtual unsigned char CloseChunk(ChunkHeader* header) = 0;
  // Moves past the rest of the innermost open chunk.
  virtual unsigned char SkipChunkData() = 0;
  // The handle's 16-bit revision, sign-extended; 0 for a null handle.
  virtual int Revision(ChunkHeader* header) = 0;
  virtual CVString GetFileName() = 0;
};

class PEMAR_EXPORT PemarBinaryFile : public IPemarBinaryFile,
                                     public PemarBaseObject {
 public:
  // Wraps an open file that the caller owns and keeps open.
  explicit PemarBinaryFile(BinaryFile* file);
  // With a name: creates a BinaryFile on it and opens it for reading; the
  // object owns that file. Whether it opened shows in the results of later
  // reads. With null: holds no file, and every operation fails.
  explicit PemarBinaryFile(const char* fileName);
  // A copy wraps the same file and never owns it.
  PemarBinaryFile(const PemarBinaryFile& other);
  PemarBinaryFile& operator=(const PemarBinaryFile&) = delete;
  ~PemarBinaryFile() override;

  BinaryFile* GetBinaryFile() const { return file_; }

  const char* GetMyIdentifier() override { return nullptr; }

  unsigned char Read(double* values, unsigned int count) override;
  unsigned char Read(float* values, unsigned int count) override;
  unsigned char Read(unsigned long* values, unsigned int count) override;
  unsigned char Read(long* values, unsigned int count) override;
  unsigned char Read(unsigned short* values, unsigned int count) override;
  unsigned char Read(short* values, unsigned int count) override;
  unsigned char Read(unsigned int* values, unsigned int count) override;
  unsigned char Read(int* values, unsigned int count) override;
  unsigned char Read(unsigned char* values, unsigned int count) override;
  unsigned char Read(char* values, unsigned int count) override;

  unsigned char Read(double& value) override { return ReadOne(value); }
  unsigned char Read(float& value) override { return ReadOne(value); }
  unsigned char Read(unsigned long& value) override { return ReadOne(value); }
  unsigned char Read(long& value) override { return ReadOne(value); }
  unsigned char Read(unsigned short& value) override { return ReadOne(value); }
  unsigned char Read(short& value) override { return ReadOne(value); }
  unsigned char Read(unsigned int& value) override { return ReadOne(value); }
  unsigned char Read(int& value) override { return ReadOne(value); }
  unsigned char Read(unsigned char& value) override { return ReadOne(value); }
  unsigned char Read(char& value) override { return ReadOne(value); }

  unsigned char Read(Text& value) override;

  unsigned char Write(const double* values, unsigned int count) override;
  unsigned char Write(const float* values, unsigned int count) override;
  unsigned char Write(const unsigned long* values, unsigned int count) override;
  unsigned char Write(const long* values, unsigned int count) override;
  unsigned char Write(const unsigned short* values,
                      unsigned int count) override;
  unsigned char Write(const short* values, unsigned int count) override;
  unsigned char Write(const unsigned int* values, unsigned int count) override;
  unsigned char Write(const int* values, unsigned int count) override;
  unsigned char Write(const unsigned char* values, unsigned int count) override;
  unsigned char Write(const char* values, unsigned int count) override;

  unsigned char Write(double value) override;
  unsigned char Write(float value) override;
  unsigned char Write(unsigned long value) override;
  unsigned char Write(long value) override;
  unsigned char Write(unsigned short value) override;
  unsigned char Write(short value) override;
  unsigned char Write(unsigned int value) override;
  unsigned char Write(int value) override;
  unsigned char Write(unsigned char value) override;
  unsigned char Write(char value) override;

  unsigned char Write(const Text& value) override;

  unsigned char CreateChunk(ChunkHeader** header, int revision) override;
  unsigned char OpenChunk(ChunkHeader** header) override {
    if (header == nullptr) return 0;
    *header = TakeHeader();
    return file_ ? (*header)->Open(*file_) : 0;
  }
  unsigned char CloseChunk(ChunkHeader* header) override {
    if (header == nullptr) return 0;
    const unsigned char ok = file_ ? header->Close(*file_) : 0;
    GiveBack(header);
    return ok;
  }
  unsigned char SkipChunkData() override;
  int Revision(ChunkHeader* header) override {
    return header ? static_cast<int>(header->Revision()) : 0;
  }
  CVString GetFileName() override;

 private:
  // Single values are read inline: callers that hold a PemarBinaryFile
  // itself read them without a call.
  template <typename T>
  unsigned char ReadOne(T& value) {
    return file_ ? file_->Read(value) : 0;
  }
  // A handle for CreateChunk / OpenChunk: a kept one, or a new one.
  ChunkHeader* TakeHeader() {
    return spareCount_ > 0 ? spareHeaders_[--spareCount_] : new ChunkHeader;
  }
  // Handles are plain values: one given back through any wrapper may be
  // handed out again by it; deeper nestings than it keeps are rare, and
  // their extra handles are simply freed.
  void GiveBack(ChunkHeader* header) {
    if (spareCount_ < kMaxSpareHeaders) {
      *header = ChunkHeader();
      spareHeaders_[spareCount_++] = header;
    } else {
      delete header;
    }
  }

  BinaryFile* file_;
  bool ownsFile_;
  // Handles given back through CloseChunk, owned here until handed out
  // again; at most a chunk nesting's worth are kept.
  static constexpr int kMaxSpareHeaders = 32;
  ChunkHeader* spareHeaders_[kMaxSpareHeaders];
  int spareCount_ = 0;
};

// Writes a counted string: a null text as one unsigned char 0; otherwise
// unsigned char 1, int n = length + 1, and the n characters with the
// terminating zero. False for a null file or at the first failed write.
PEMAR_EXPORT unsigned char WriteCVString(IPemarBinaryFile* file,
                                         CVString* text);
// The same for a text that is present, without a copy to point at.
PEMAR_EXPORT unsigned char WriteCVString(IPemarBinaryFile* file,
                                         const CVString& text);

// Reads a counted string. A flag of 0 or a count of 0 give the empty string
// with the result of that read. Otherwise the text is the characters up to
// the first zero byte, never past the n stored. A negative count, or one the
// file cannot hold, fails with an empty text; memory grows only with the
// data really present. False for a null file or null text.
PEMAR_EXPORT unsigned char ReadCVString(IPemarBinaryFile* file, CVString* text);

// Reads an int count of stored entries, to be checked before anything is
// allocated for them: false when the read fails, the count is negative, or
// the bytes left in the innermost open chunk could not hold that many
// entries of at least `minBytesEach` bytes (not 0). A file that cannot tell
// its size (any IPemarBinaryFile other than a PemarBinaryFile over a
// BinaryFile) is bounded by its failing reads alone.
PEMAR_EXPORT unsigned char ReadEntryCount(IPemarBinaryFile* file,
                                          std::uint64_t minBytesEach,
                                          int* count);

}  // namespace pemar

#endif  // PEMAR_PERSIST_PEMARBINARYFILE_H_
