// Test support: stores an object's record into an in-memory file and recalls
// it from given bytes, through the library's own chunked file object.

#ifndef PEMAR_PERSIST_TESTING_STOREDRECORD_H_
#define PEMAR_PERSIST_TESTING_STOREDRECORD_H_

#include <gtest/gtest.h>

#include <string>

#include "pemar/framework/BinaryFile.h"
#include "pemar/framework/MemoryFileSystem.h"
#include "pemar/persist/PemarBinaryFile.h"

namespace pemar::test_support {

// The bytes that `object.Store` writes; a failed store fails the test.
template <typename Stored>
std::string StoreToBytes(MemoryFileSystem& fs, Stored& object) {
  BinaryFile raw{Text("store.bin")};
  EXPECT_TRUE(raw.Create());
  PemarBinaryFile file(&raw);
  EXPECT_TRUE(object.Store(&file));
  EXPECT_TRUE(raw.Close());
  return fs.GetFile("store.bin");
}

// What `object.Recall` answers for `bytes`.
template <typename Stored>
bool RecallFromBytes(MemoryFileSystem& fs, Stored& object,
                     const std::string& bytes) {
  fs.SetFile("recall.bin", bytes);
  BinaryFile raw{Text("recall.bin")};
  if (!raw.Open()) return false;
  PemarBinaryFile file(&raw);
  return object.Recall(&file);
}

}  // namespace pemar::test_support

#endif  // PEMAR_PERSIST_TESTING_STOREDRECORD_H_
