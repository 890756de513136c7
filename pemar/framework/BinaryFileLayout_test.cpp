// The byte layout of values and chunks, written by hand from
// docs/file-format.md ("Values" and "Chunks") into testdata/*_layout.golden.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "pemar/framework/BinaryFile.h"
#include "pemar/framework/MemoryFileSystem.h"
#include "tests/support/GoldenBytes.h"
#include "tests/support/GoldenFile.h"

namespace pemar {
namespace {

using test_support::Bytes;
using test_support::GoldenFile;
using test_support::ReadsAll;
using test_support::SameBytes;
using test_support::WrittenBytes;

class BinaryFileLayoutTest : public ::testing::Test {
 protected:
  MemoryFileSystem fs_;
  ScopedFileSystem scope_{&fs_};
};

// Read back, the arrays keep the sign of -0.0 and the least int.
TEST_F(BinaryFileLayoutTest, EveryValueIsLittleEndianWithAFixedWidth) {
  const std::string expected =
      GoldenFile("pemar/framework/testdata/value_layout.golden");
  const double doubles[3] = {-1e-300, -0.0, 6.02e23};
  const int ints[2] = {std::numeric_limits<int>::min(), 7};
  EXPECT_TRUE(SameBytes(
      WrittenBytes(fs_,
                   [&](BinaryFile& f) {
                     const char abc[3] = {'a', 'b', 'c'};
                     return f.Write('A') &&
                            f.Write(static_cast<unsigned char>(254)) &&
                            f.Write(static_cast<short>(-2)) &&
                            f.Write(static_cast<unsigned short>(0x1234)) &&
                            f.Write(-3) && f.Write(0x89ABCDEFu) &&
                            f.Write(-4L) &&
                            f.Write(static_cast<long>(0x180000000LL)) &&
                            f.Write(0xFFFFFFFFul) && f.Write(1.5f) &&
                            f.Write(-2.5) && f.Write(Text("Hi")) &&
                            f.Write(Text("")) && f.Write(abc, 3) &&
                            f.Write(doubles, 3) && f.Write(ints, 2);
                   }),
      expected));

  char c = 0, abc[3] = {};
  unsigned char uc = 0;
  short s = 0;
  unsigned short us = 0;
  int i = 0;
  unsigned int ui = 0;
  long l = 0, cut = 0;
  unsigned long ul = 0;
  float f = 0;
  double d = 0, ds[3] = {};
  int is[2] = {};
  Text text, empty("x");
  EXPECT_TRUE(ReadsAll(fs_, expected, [&](BinaryFile& file) {
    return file.Read(c) && file.Read(uc) && file.Read(s) && file.Read(us) &&
           file.Read(i) && file.Read(ui) && file.Read(l) && file.Read(cut) &&
           file.Read(ul) && file.Read(f) && file.Read(d) && file.Read(text) &&
           file.Read(empty) && file.Read(abc, 3) && file.Read(ds, 3) &&
           file.Read(is, 2);
  }));
  EXPECT_EQ(c, 'A');
  EXPECT_EQ(uc, 254);
  EXPECT_EQ(s, -2);
  EXPECT_EQ(us, 0x1234);
  EXPECT_EQ(i, -3);
  EXPECT_EQ(ui, 0x89ABCDEFu);
  EXPECT_EQ(l, -4);
  EXPECT_EQ(cut, -2147483647L - 1);  // sign-extended
  EXPECT_EQ(ul, 0xFFFFFFFFul);       // zero-extended
  EXPECT_EQ(f, 1.5f);
  EXPECT_EQ(d, -2.5);
  EXPECT_EQ(text, "Hi");
  EXPECT_TRUE(empty.IsEmpty());
  EXPECT_EQ(std::string(abc, 3), "abc");
  EXPECT_EQ(std::vector<double>(ds, ds + 3),
            std::vector<double>(doubles, doubles + 3));
  EXPECT_TRUE(std::signbit(ds[1]));
  EXPECT_EQ(std::vector<int>(is, is + 2), std::vector<int>(ints, ints + 2));
}

TEST_F(BinaryFileLayoutTest, ChunksCarryMarkerRevisionAndPayloadLength) {
  const std::string expected =
      GoldenFile("pemar/framework/testdata/chunk_layout.golden");
  EXPECT_TRUE(
      SameBytes(WrittenBytes(fs_,
                             [](BinaryFile& f) {
                               ChunkHeader outer, inner;
                               return outer.Create(f, 3) && f.Write(7) &&
                                      inner.Create(f, -2) &&
                                      f.Write(static_cast<unsigned char>(42)) &&
                                      inner.Close(f) && outer.Close(f);
                             }),
                expected));

  ChunkHeader outer, inner;
  int seven = 0;
  unsigned char answer = 0;
  EXPECT_TRUE(ReadsAll(fs_, expected, [&](BinaryFile& f) {
    return outer.Open(f) && f.Read(seven) && inner.Open(f) && f.Read(answer) &&
           inner.Close(f) && outer.Close(f);
  }));
  EXPECT_EQ(outer.Revision(), 3);
  EXPECT_EQ(inner.Revision(), -2);
  EXPECT_EQ(seven, 7);
  EXPECT_EQ(answer, 42);
}

TEST_F(BinaryFileLayoutTest, ChunkNeverClosedClaimsMoreThanAnyFileHolds) {
  EXPECT_TRUE(SameBytes(WrittenBytes(fs_,
                                     [](BinaryFile& f) {
                                       ChunkHeader chunk;
                                       return chunk.Create(f, 1) && f.Write(7);
                                     }),
                        Bytes("A5 5A 01 00 FF FF FF FF"  // length not filled in
                              "07 00 00 00")));
}

}  // namespace
}  // namespace pemar
