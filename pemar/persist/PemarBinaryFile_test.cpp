#include "pemar/persist/PemarBinaryFile.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "pemar/framework/MemoryFileSystem.h"
#include "pemar/framework/testing/LargestAllocation.h"
#include "tests/support/GoldenFile.h"

namespace pemar {
namespace {

using test_support::Bytes;

// Not exactly a PemarBinaryFile, so counted strings go value by value
// through the interface instead of straight to the wrapped file.
struct IndirectFile : PemarBinaryFile {
  using PemarBinaryFile::PemarBinaryFile;
};

class PemarBinaryFileTest : public ::testing::Test {
 protected:
  // The bytes that `write` puts into a new file through a wrapper.
  std::string Written(const std::function<bool(PemarBinaryFile&)>& write) {
    return test_support::WrittenBytes(fs_, [&](BinaryFile& raw) {
      PemarBinaryFile file(&raw);
      return write(file);
    });
  }
  const char* Holding(const std::string& bytes) {
    fs_.SetFile("records.bin", bytes);
    return "records.bin";
  }

  MemoryFileSystem fs_;
  ScopedFileSystem scoped_{&fs_};
};

// A negative or oversized count, or a record cut anywhere, fails and
// leaves the text empty, without allocating for what the count claims.
TEST_F(PemarBinaryFileTest, DamagedOrTruncatedStringsFail) {
  const std::string whole = Bytes("01 13 00 00 00 'Low pressure steam' 00");
  std::vector<std::string> damaged = {Bytes("01 FF FF FF FF"),
                                      Bytes("01 FF FF FF 7F 'abc'")};
  for (std::size_t cut = 0; cut < whole.size(); ++cut) {
    damaged.push_back(whole.substr(0, cut));
  }
  for (const std::string& bytes : damaged) {
    SCOPED_TRACE(bytes.size());
    PemarBinaryFile file(Holding(bytes));
    CVString text("previous");
    test_support::LargestAllocation watch;
    EXPECT_FALSE(ReadCVString(&file, &text));
    EXPECT_TRUE(text.IsEmpty());
    EXPECT_LT(watch.Largest(), 128u * 1024u);
  }
  CVString text;
  PemarBinaryFile file(Holding(Bytes("01 05 00 00 00 'ab' 00 'cd'")));
  EXPECT_TRUE(ReadCVString(&file, &text));
  EXPECT_EQ(text, "ab");  // the text ends at its first zero
}

// A file object without a file fails everything; so do the string
// functions without a file object.
TEST_F(PemarBinaryFileTest, WithoutAFileAllFails) {
  PemarBinaryFile file(static_cast<const char*>(nullptr));
  int i = 0;
  ChunkHeader* h = nullptr;
  CVString s("x");
  EXPECT_FALSE(file.Write(1) || file.Read(i) || file.CreateChunk(&h, 1));
  EXPECT_FALSE(file.CloseChunk(h));  // frees the handle handed out
  EXPECT_FALSE(WriteCVString(&file, &s) || ReadCVString(&file, &s));
  EXPECT_FALSE(WriteCVString(nullptr, &s) || ReadCVString(nullptr, &s));
}

// Null and empty strings (testdata/string_records.golden), through the
// wrapped file and value by value through the interface: the same bytes,
// and read back the same way.
TEST_F(PemarBinaryFileTest, StringRecordLayout) {
  const std::string expected =
      test_support::GoldenFile("pemar/persist/testdata/string_records.golden");
  for (bool direct : {true, false}) {
    SCOPED_TRACE(direct);
    EXPECT_TRUE(test_support::SameBytes(
        Written([&](PemarBinaryFile& f) {
          IndirectFile indirect(f.GetBinaryFile());
          IPemarBinaryFile* file = direct ? &f : &indirect;
          CVString empty, name("HP");
          return WriteCVString(file, nullptr) && WriteCVString(file, &empty) &&
                 WriteCVString(file, &name);
        }),
        expected));
    PemarBinaryFile plain(Holding(expected));
    IndirectFile indirect(plain.GetBinaryFile());
    IPemarBinaryFile* file = direct ? &plain : &indirect;
    CVString a("stale"), b("stale"), c;
    EXPECT_TRUE(ReadCVString(file, &a) && ReadCVString(file, &b) &&
                ReadCVString(file, &c));
    EXPECT_TRUE(a.IsEmpty() && b.IsEmpty());  // a null string comes back empty
    EXPECT_EQ(c, "HP");
  }
}

// Handles are kept for reuse by the wrapper they are given back to; nesting
// deeper than it keeps, and handles given back through a copy, still work.
// Revisions past 32767 come back cut to sixteen bits. Closing the outermost
// chunk also ends the others: their handles still go back, and are refused.
TEST_F(PemarBinaryFileTest, DeepNestingAndHandlesGivenBackThroughACopy) {
  constexpr int kDepth = 50, kFirst = 32768 - kDepth / 2;
  PemarBinaryFile file(Holding(Written([](PemarBinaryFile& f) {
    PemarBinaryFile copy(f);
    std::vector<ChunkHeader*> open(kDepth);
    bool ok = true;
    for (int i = 0; i < kDepth; ++i) {
      ok = ok && f.CreateChunk(&open[i], kFirst + i) && f.Write(i);
    }
    for (int i = kDepth; i-- > 0;) {
      ok = ok && (i % 2 ? f : copy).CloseChunk(open[i]);
    }
    return ok;
  })));
  std::vector<ChunkHeader*> open(kDepth);
  for (int i = 0; i < kDepth; ++i) {
    int value = -1;
    ASSERT_TRUE(file.OpenChunk(&open[i]) && file.Read(value));
    EXPECT_EQ(file.Revision(open[i]), static_cast<std::int16_t>(kFirst + i));
    EXPECT_EQ(value, i);
  }
  ASSERT_TRUE(file.CloseChunk(open[0]));
  for (int i = 1; i < kDepth; ++i) EXPECT_FALSE(file.CloseChunk(open[i]));
}

}  // namespace
}  // namespace pemar
