// Test support: byte tables written by hand from the documented file layout
// (docs/file-format.md), and checks that a record writes and reads exactly
// those bytes.
//
// A golden-bytes test pins a layout from both sides: storing a known object
// must give the table, and reading the table must give the known object and
// consume every byte of it. A store and recall changed together in the same
// wrong way then still fail.

#ifndef PEMAR_TESTS_SUPPORT_GOLDENBYTES_H_
#define PEMAR_TESTS_SUPPORT_GOLDENBYTES_H_

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "pemar/framework/BinaryFile.h"
#include "pemar/framework/MemoryFileSystem.h"
#include "pemar/persist/PemarBinaryFile.h"

namespace pemar::test_support {

// The bytes of a table written as text: pairs of hex digits ("A5 5A") and
// characters between single quotes ('Case'), in any mix; blanks between
// them are ignored. A malformed table fails the current test.
std::string Bytes(std::string_view table);

// Success when the two are equal; otherwise names the offset of the first
// difference, both sizes, and the bytes from a little before it.
::testing::AssertionResult SameBytes(const std::string& actual,
                                     const std::string& expected);

// The bytes that `write(file)` puts into a fresh file of `fs`, which must be
// the default file system; a false result fails the current test.
template <typename Write>
std::string WrittenBytes(MemoryFileSystem& fs, Write write) {
  BinaryFile raw{Text("golden.bin")};
  EXPECT_TRUE(raw.Create() && write(raw) && raw.Close());
  return fs.GetFile("golden.bin");
}

// Success when `read(file)`, on a file of `fs` holding `bytes`, succeeds and
// leaves nothing of the file unread.
template <typename Read>
::testing::AssertionResult ReadsAll(MemoryFileSystem& fs,
                                    const std::string& bytes, Read read) {
  fs.SetFile("golden.bin", bytes);
  BinaryFile raw{Text("golden.bin")};
  if (!raw.Open() || !read(raw)) {
    return ::testing::AssertionFailure() << "does not open or read";
  }
  if (raw.Remaining() == 0) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << raw.Remaining() << " of " << bytes.size() << " bytes unread";
}

// The same for objects that store and recall themselves through the
// library's chunked file object.
template <typename Stored>
std::string StoredBytes(MemoryFileSystem& fs, Stored& object) {
  return WrittenBytes(fs, [&](BinaryFile& raw) {
    PemarBinaryFile file(&raw);
    return object.Store(&file) != 0;
  });
}
template <typename Stored>
::testing::AssertionResult RecallsAll(MemoryFileSystem& fs,
                                      const std::string& bytes,
                                      Stored& object) {
  return ReadsAll(fs, bytes, [&](BinaryFile& raw) {
    PemarBinaryFile file(&raw);
    return object.Recall(&file) != 0;
  });
}

}  // namespace pemar::test_support

#endif  // PEMAR_TESTS_SUPPORT_GOLDENBYTES_H_
