// Test support: stores an object's record into an in-memory file, recalls
// it from given bytes, damages bytes one at a time and cuts them short.

#ifndef PEMAR_TESTS_SUPPORT_STOREDRECORD_H_
#define PEMAR_TESTS_SUPPORT_STOREDRECORD_H_

#include <string>

#include "tests/support/GoldenBytes.h"

namespace pemar::test_support {

// The bytes that `object.Store` writes; a failed store fails the test.
template <typename Stored>
std::string StoreToBytes(MemoryFileSystem& fs, Stored& object) {
  return StoredBytes(fs, object);
}

// What `object.Recall` answers for `bytes`, read or not to their end.
template <typename Stored>
bool RecallFromBytes(MemoryFileSystem& fs, Stored& object,
                     const std::string& bytes) {
  fs.SetFile("recall.bin", bytes);
  BinaryFile raw{Text("recall.bin")};
  PemarBinaryFile file(&raw);
  return raw.Open() && object.Recall(&file);
}

// What `object.RecallClassData` answers for `bytes`: the class data of a
// framework object, read from a plain file.
template <typename Stored>
bool RecallClassDataFromBytes(MemoryFileSystem& fs, Stored& object,
                              const std::string& bytes) {
  fs.SetFile("recall.bin", bytes);
  BinaryFile file{Text("recall.bin")};
  return file.Open() && object.RecallClassData(file);
}

// Calls `check(damaged)` for every copy of `bytes` with one byte flipped by
// one of the masks 0x01, 0x80 and 0xFF, each labelled for failure messages.
template <typename Check>
void ForEachFlippedByte(const std::string& bytes, Check check) {
  for (std::size_t at = 0; at < bytes.size(); ++at) {
    for (unsigned char mask : {0x01, 0x80, 0xFF}) {
      SCOPED_TRACE(::testing::Message()
                   << "byte " << at << " mask " << int{mask});
      std::string damaged = bytes;
      damaged[at] = static_cast<char>(damaged[at] ^ mask);
      check(damaged);
    }
  }
}

// Calls `check(cut)` for proper prefixes of `bytes`, shortest first: every
// length when `sparseness` is 0, else with steps growing by one for every
// `sparseness` bytes already covered, so that long records stay quick.
template <typename Check>
void ForEachTruncation(const std::string& bytes, std::size_t sparseness,
                       Check check) {
  for (std::size_t n = 0; n < bytes.size();
       n += 1 + (sparseness == 0 ? 0 : n / sparseness)) {
    SCOPED_TRACE(::testing::Message()
                 << "first " << n << " of " << bytes.size() << " bytes");
    check(bytes.substr(0, n));
  }
}

}  // namespace pemar::test_support

#endif  // PEMAR_TESTS_SUPPORT_STOREDRECORD_H_
