#include "pemar/framework/BinaryFile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <string>
#include <vector>

#include "pemar/framework/FaultInjectingFileSystem.h"
#include "pemar/framework/FileSystem.h"
#include "pemar/framework/testing/LargestAllocation.h"

namespace pemar {
namespace {

class BinaryFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ =
        std::filesystem::temp_directory_path() /
        ("pemar-binaryfile-" +
         std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
         "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir_);
    path_ = (dir_ / "test.bin").string();
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  void WriteRaw(const std::vector<unsigned char>& bytes) {
    std::ofstream out(path_, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
  }

  std::vector<unsigned char> ReadRaw() {
    std::ifstream in(path_, std::ios::binary);
    return std::vector<unsigned char>((std::istreambuf_iterator<char>(in)),
                                      std::istreambuf_iterator<char>());
  }

  static void AppendLittle(std::vector<unsigned char>& out, std::uint64_t v,
                           int bytes) {
    for (int i = 0; i < bytes; ++i)
      out.push_back(static_cast<unsigned char>(v >> (8 * i)));
  }

  // A chunk header as the file layout defines it.
  static void AppendChunkHeader(std::vector<unsigned char>& out, short revision,
                                std::uint32_t length) {
    out.push_back(0xA5);
    out.push_back(0x5A);
    AppendLittle(out, static_cast<std::uint16_t>(revision), 2);
    AppendLittle(out, length, 4);
  }

  std::filesystem::path dir_;
  std::string path_;
};

// --- Damaged input first -----------------------------------------------------

TEST_F(BinaryFileTest, ReadOnFileThatDidNotOpenFails) {
  BinaryFile file(Text((dir_ / "absent.bin").string()), Text{});
  EXPECT_FALSE(file.Open(false));
  int value = 0;
  Text text;
  ChunkHeader header;
  EXPECT_FALSE(file.Read(value));
  EXPECT_FALSE(file.Read(text));
  EXPECT_FALSE(header.Open(file));
  EXPECT_FALSE(file.SkipChunkData());
}

TEST_F(BinaryFileTest, DamagedLengthsFailWithoutLargeAllocation) {
  struct Case {
    const char* what;
    std::vector<unsigned char> bytes;
  };
  std::vector<Case> cases;
  {
    std::vector<unsigned char> b;
    AppendLittle(b, 0xFFFFFFFFu, 4);  // Text length -1
    b.insert(b.end(), {'a', 'b'});
    cases.push_back({"text length 0xFFFFFFFF", b});
  }
  {
    std::vector<unsigned char> b;
    AppendLittle(b, 1000, 4);  // Text longer than the file
    b.insert(b.end(), {'a', 'b', 'c'});
    cases.push_back({"text length beyond the file", b});
  }
  {
    std::vector<unsigned char> b;
    AppendChunkHeader(b, 1, 0xFFFFFFFFu);  // negative chunk length
    AppendLittle(b, 7, 4);
    cases.push_back({"chunk of negative length", b});
  }
  {
    std::vector<unsigned char> b;
    AppendChunkHeader(b, 1, 14);   // parent holds 14 bytes
    AppendChunkHeader(b, 2, 100);  // child claims 100
    AppendLittle(b, 7, 4);
    AppendLittle(b, 8, 2);
    cases.push_back({"chunk longer than its parent", b});
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    WriteRaw(c.bytes);
    BinaryFile file(Text(path_), Text{});
    ASSERT_TRUE(file.Open(false));
    test_support::LargestAllocation watch;
    ChunkHeader outer;
    ChunkHeader inner;
    Text text;
    bool ok;
    if (c.bytes[0] == 0xA5) {
      ok = outer.Open(file) && inner.Open(file);
    } else {
      ok = file.Read(text);
    }
    EXPECT_FALSE(ok);
    // Nothing larger than the one read block the file keeps.
    EXPECT_LE(watch.Largest(), 64u * 1024u);
  }
}

TEST_F(BinaryFileTest, ChunkWithWrongMarkerIsRejected) {
  std::vector<unsigned char> b;
  AppendChunkHeader(b, 1, 4);
  b[0] = 0x00;
  AppendLittle(b, 7, 4);
  WriteRaw(b);
  BinaryFile file(Text(path_), Text{});
  ASSERT_TRUE(file.Open(false));
  ChunkHeader header;
  EXPECT_FALSE(header.Open(file));
  EXPECT_EQ(file.Position(), 0u);
}

TEST_F(BinaryFileTest, TruncatedFileFailsEveryReadAtTheCut) {
  {
    BinaryFile file(Text(path_), Text{});
    ASSERT_TRUE(file.Create());
    ChunkHeader h;
    ASSERT_TRUE(h.Create(file, 3));
    ASSERT_TRUE(file.Write(1.5));
    ASSERT_TRUE(file.Write(Text("pump")));
    ASSERT_TRUE(h.Close(file));
    ASSERT_TRUE(file.Close());
  }
  std::vector<unsigned char> whole = ReadRaw();
  for (std::size_t cut = 0; cut < whole.size(); ++cut) {
    SCOPED_TRACE(cut);
    WriteRaw(std::vector<unsigned char>(whole.begin(), whole.begin() + cut));
    BinaryFile file(Text(path_), Text{});
    ASSERT_TRUE(file.Open(false));
    ChunkHeader h;
    double d = 0;
    Text t;
    bool ok = h.Open(file) && file.Read(d) && file.Read(t) && h.Close(file);
    EXPECT_FALSE(ok);
  }
}

TEST_F(BinaryFileTest, ReadsStopAtTheEndOfTheChunk) {
  {
    BinaryFile file(Text(path_), Text{});
    ASSERT_TRUE(file.Create());
    ChunkHeader h;
    ASSERT_TRUE(h.Create(file, 1));
    ASSERT_TRUE(file.Write(short{5}));
    ASSERT_TRUE(h.Close(file));
    ASSERT_TRUE(file.Write(12345));
    ASSERT_TRUE(file.Close());
  }
  BinaryFile file(Text(path_), Text{});
  ASSERT_TRUE(file.Open(false));
  ChunkHeader h;
  ASSERT_TRUE(h.Open(file));
  int too_wide = 0;
  EXPECT_FALSE(file.Read(too_wide));  // 4 bytes asked, 2 left in the chunk
  short s = 0;
  EXPECT_TRUE(file.Read(s));
  EXPECT_EQ(s, 5);
  EXPECT_TRUE(h.Close(file));
  int after = 0;
  EXPECT_TRUE(file.Read(after));
  EXPECT_EQ(after, 12345);
}

// --- Round trips
// ---------------------------------------------------------------

TEST_F(BinaryFileTest, EveryTypeReadsBackAsWritten) {
  const double doubles[3] = {1.25, -0.0, 6.02e23};
  const int ints[2] = {std::numeric_limits<int>::min(), 7};
  {
    BinaryFile file(Text(path_), Text{});
    ASSERT_TRUE(file.Create());
    EXPECT_TRUE(file.Write('x'));
    EXPECT_TRUE(file.Write(static_cast<unsigned char>(250)));
    EXPECT_TRUE(file.Write(static_cast<short>(-12345)));
    EXPECT_TRUE(file.Write(static_cast<unsigned short>(65000)));
    EXPECT_TRUE(file.Write(-2000000000));
    EXPECT_TRUE(file.Write(4000000000u));
    EXPECT_TRUE(file.Write(-7L));
    EXPECT_TRUE(file.Write(4000000000UL));
    EXPECT_TRUE(file.Write(3.5f));
    EXPECT_TRUE(file.Write(-1e-300));
    EXPECT_TRUE(file.Write(Text("")));
    EXPECT_TRUE(file.Write(Text("Cooling water")));
    EXPECT_TRUE(file.Write(doubles, 3));
    EXPECT_TRUE(file.Write(ints, 2));
    EXPECT_TRUE(file.Close());
  }
  BinaryFile file(Text(path_), Text{});
  ASSERT_TRUE(file.Open(false));
  char c;
  unsigned char uc;
  short s;
  unsigned short us;
  int i;
  unsigned int ui;
  long l;
  unsigned long ul;
  float f;
  double d;
  Text empty, name;
  double ds[3];
  int is[2];
  ASSERT_TRUE(file.Read(c) && file.Read(uc) && file.Read(s) && file.Read(us) &&
              file.Read(i) && file.Read(ui) && file.Read(l) && file.Read(ul) &&
              file.Read(f) && file.Read(d) && file.Read(empty) &&
              file.Read(name) && file.Read(ds, 3) && file.Read(is, 2));
  EXPECT_EQ(c, 'x');
  EXPECT_EQ(uc, 250);
  EXPECT_EQ(s, -12345);
  EXPECT_EQ(us, 65000);
  EXPECT_EQ(i, -2000000000);
  EXPECT_EQ(ui, 4000000000u);
  EXPECT_EQ(l, -7L);
  EXPECT_EQ(ul, 4000000000UL);
  EXPECT_EQ(f, 3.5f);
  EXPECT_EQ(d, -1e-300);
  EXPECT_TRUE(empty.IsEmpty());
  EXPECT_EQ(name, "Cooling water");
  EXPECT_EQ(ds[2], 6.02e23);
  EXPECT_TRUE(std::signbit(ds[1]));
  EXPECT_EQ(is[0], std::numeric_limits<int>::min());
  char extra;
  EXPECT_FALSE(file.Read(extra));
}

TEST_F(BinaryFileTest, LongTakesFourBytesInTheFile) {
  {
    BinaryFile file(Text(path_), Text{});
    ASSERT_TRUE(file.Create());
    ASSERT_TRUE(file.Write(-2L));
    ASSERT_TRUE(file.Close());
  }
  EXPECT_EQ(ReadRaw(), (std::vector<unsigned char>{0xFE, 0xFF, 0xFF, 0xFF}));
}

TEST_F(BinaryFileTest, CountedArraysAddNoFraming) {
  const char bytes[3] = {'a', 'b', 'c'};
  {
    BinaryFile file(Text(path_), Text{});
    ASSERT_TRUE(file.Create());
    ASSERT_TRUE(file.Write(bytes, 3));
    ASSERT_TRUE(file.Close());
  }
  EXPECT_EQ(ReadRaw(), (std::vector<unsigned char>{'a', 'b', 'c'}));
}

TEST_F(BinaryFileTest, NestedChunksSkipAndCloseInStep) {
  {
    BinaryFile file(Text(path_), Text{});
    ASSERT_TRUE(file.Create());
    ChunkHeader outer, inner, sibling;
    ASSERT_TRUE(outer.Create(file, 5));
    ASSERT_TRUE(file.Write(2));
    ASSERT_TRUE(inner.Create(file, -3));
    ASSERT_TRUE(file.Write(Text("inside")));
    ASSERT_TRUE(file.Write(9.0));
    ASSERT_TRUE(inner.Close(file));
    ASSERT_TRUE(sibling.Create(file, 1));
    ASSERT_TRUE(file.Write(42));
    ASSERT_TRUE(sibling.Close(file));
    ASSERT_TRUE(outer.Close(file));
    ASSERT_TRUE(file.Write(99));
    ASSERT_TRUE(file.Close());
  }
  BinaryFile file(Text(path_), Text{});
  ASSERT_TRUE(file.Open(false));
  ChunkHeader outer, inner, sibling;
  int count = 0, value = 0, last = 0;
  ASSERT_TRUE(outer.Open(file));
  EXPECT_EQ(outer.Revision(), 5);
  ASSERT_TRUE(file.Read(count));
  ASSERT_TRUE(inner.Open(file));
  EXPECT_EQ(inner.Revision(), -3);
  // An older reader reads only what it knows, then skips the rest.
  EXPECT_TRUE(file.SkipChunkData());
  EXPECT_TRUE(inner.Close(file));
  ASSERT_TRUE(sibling.Open(file));
  ASSERT_TRUE(file.Read(value));
  EXPECT_EQ(value, 42);
  EXPECT_TRUE(sibling.Close(file));
  EXPECT_TRUE(outer.Close(file));
  ASSERT_TRUE(file.Read(last));
  EXPECT_EQ(last, 99);
}

TEST_F(BinaryFileTest, ChunkLeftOpenIsEndedByItsParent) {
  {
    BinaryFile file(Text(path_), Text{});
    ASSERT_TRUE(file.Create());
    ChunkHeader outer, forgotten;
    ASSERT_TRUE(outer.Create(file, 1));
    ASSERT_TRUE(forgotten.Create(file, 2));
    ASSERT_TRUE(file.Write(7));
    ASSERT_TRUE(outer.Close(file));
    ASSERT_TRUE(file.Write(42));
    EXPECT_EQ(file.OpenChunkDepth(), 0u);
    ASSERT_TRUE(file.Close());
  }
  BinaryFile file(Text(path_), Text{});
  ASSERT_TRUE(file.Open(false));
  ChunkHeader outer, inner;
  int v = 0;
  ASSERT_TRUE(outer.Open(file));
  ASSERT_TRUE(inner.Open(file));
  ASSERT_TRUE(file.Read(v));
  EXPECT_EQ(v, 7);
  ASSERT_TRUE(outer.Close(file));  // closes the inner one too
  ASSERT_TRUE(file.Read(v));
  EXPECT_EQ(v, 42);
}

// Past its first megabyte a file is written in larger pieces; lengths are
// patched in the buffer or, once it has gone out, in the file.
TEST_F(BinaryFileTest, LargeFilesCrossTheBufferBoundary) {
  std::vector<double> values(300000);
  for (std::size_t i = 0; i < values.size(); ++i) values[i] = i * 0.5;
  const std::size_t half = values.size() / 2;
  {
    BinaryFile file(Text(path_), Text{});
    ASSERT_TRUE(file.Create());
    ChunkHeader outer, inner;
    ASSERT_TRUE(outer.Create(file, 1));
    for (std::size_t i = 0; i < half; ++i) ASSERT_TRUE(file.Write(values[i]));
    ASSERT_TRUE(inner.Create(file, 2));
    for (std::size_t i = half; i < values.size(); ++i) {
      ASSERT_TRUE(file.Write(values[i]));
    }
    ASSERT_TRUE(inner.Close(file));
    ASSERT_TRUE(outer.Close(file));  // patched after the buffer was flushed
    ASSERT_TRUE(file.Close());
  }
  BinaryFile file(Text(path_), Text{});
  ASSERT_TRUE(file.Open(false));
  ChunkHeader outer, inner;
  ASSERT_TRUE(outer.Open(file));
  EXPECT_EQ(file.Remaining(), values.size() * 8 + ChunkHeader::kHeaderSize);
  std::vector<double> back(values.size());
  ASSERT_TRUE(file.Read(back.data(), static_cast<unsigned int>(half)));
  ASSERT_TRUE(inner.Open(file));
  EXPECT_EQ(file.Remaining(), (values.size() - half) * 8);
  ASSERT_TRUE(file.Read(back.data() + half,
                        static_cast<unsigned int>(values.size() - half)));
  EXPECT_EQ(back, values);
}

// --- Failures while writing
// ------------------------------------------------------

TEST_F(BinaryFileTest, FailedWriteIsStickyAndCloseReportsIt) {
  FaultInjectingFileSystem fs;
  ScopedFileSystem scope(&fs);
  BinaryFile file(Text(path_), Text{});
  ASSERT_TRUE(file.Create());
  fs.FailAt(FaultInjectingFileSystem::Op::kWrite, 1);
  std::vector<char> big(200000, 'x');
  EXPECT_FALSE(file.Write(big.data(), static_cast<unsigned int>(big.size())));
  EXPECT_FALSE(file.Write(1));
  EXPECT_FALSE(file.Close());
}

TEST_F(BinaryFileTest, FileOperationsByName) {
  BinaryFile file(Text(path_), Text{});
  EXPECT_FALSE(file.Exists(false));
  EXPECT_EQ(file.LastTimeModified(), 0);
  ASSERT_TRUE(file.Create());
  ASSERT_TRUE(file.Close());
  EXPECT_TRUE(file.Exists(false));
  EXPECT_TRUE(file.Exists(true));
  // 2001-02-03 04:05:06 UTC packs into day and time of day.
  ASSERT_TRUE(FileSystem::Default()->SetModificationTime(path_, 981173106));
  EXPECT_EQ(file.LastTimeModified() / 65536, (21 << 9) | (2 << 5) | 3);
  EXPECT_EQ(file.LastTimeModified() % 65536, (4 << 11) | (5 << 5) | 3);
  std::string renamed = (dir_ / "renamed.bin").string();
  ASSERT_TRUE(file.Rename(Text(renamed)));
  EXPECT_EQ(file.GetFileName(), Text(renamed));
  EXPECT_TRUE(std::filesystem::exists(renamed));
  EXPECT_TRUE(file.Delete());
  EXPECT_FALSE(file.Exists(false));
  EXPECT_FALSE(file.Delete());
}

}  // namespace
}  // namespace pemar
