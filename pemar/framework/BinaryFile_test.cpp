#include "pemar/framework/BinaryFile.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "pemar/framework/FaultInjectingFileSystem.h"
#include "pemar/framework/FileSystem.h"
#include "pemar/framework/testing/LargestAllocation.h"
#include "tests/support/GoldenBytes.h"

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

  template <typename Write>
  void WriteFile(Write write) {
    BinaryFile file(Text(path_), Text{});
    ASSERT_TRUE(file.Create() && write(file) && file.Close());
  }
  void SetBytes(const std::string& bytes) {
    std::ofstream(path_, std::ios::binary) << bytes;
  }
  std::string GetBytes() {
    std::ifstream in(path_, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  std::filesystem::path dir_;
  std::string path_;
};

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

// A header that is refused leaves the position at its start.
TEST_F(BinaryFileTest, DamagedLengthsAndMarkersFailWithoutLargeAllocation) {
  const struct {
    const char* what;
    const char* bytes;
    int refused_header_at;  // -1: the bytes are read as a text
  } cases[] = {
      {"text length 0xFFFFFFFF", "FFFFFFFF 'ab'", -1},
      {"text length beyond the file", "E8030000 'abc'", -1},
      {"chunk of negative length", "A55A 0100 FFFFFFFF 07000000", 0},
      {"chunk longer than its parent",
       "A55A 0100 0E000000  A55A 0200 64000000 07000000 0800", 8},
      {"chunk with a wrong marker", "005A 0100 04000000 07000000", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    SetBytes(test_support::Bytes(c.bytes));
    BinaryFile file(Text(path_), Text{});
    ASSERT_TRUE(file.Open(false));
    test_support::LargestAllocation watch;
    ChunkHeader outer, inner;
    Text text;
    if (c.refused_header_at < 0) {
      EXPECT_FALSE(file.Read(text));
    } else {
      EXPECT_FALSE(outer.Open(file) && inner.Open(file));
      EXPECT_EQ(file.Position(),
                static_cast<std::uint64_t>(c.refused_header_at));
    }
    // Nothing larger than the one read block the file keeps.
    EXPECT_LE(watch.Largest(), 64u * 1024u);
  }
}

TEST_F(BinaryFileTest, TruncatedFileFailsEveryReadAtTheCut) {
  WriteFile([](BinaryFile& f) {
    ChunkHeader h;
    return h.Create(f, 3) && f.Write(1.5) && f.Write(Text("pump")) &&
           h.Close(f);
  });
  const std::string whole = GetBytes();
  for (std::size_t cut = 0; cut < whole.size(); ++cut) {
    SetBytes(whole.substr(0, cut));
    BinaryFile file(Text(path_), Text{});
    ASSERT_TRUE(file.Open(false)) << cut;
    ChunkHeader h;
    double d = 0;
    Text t;
    EXPECT_FALSE(h.Open(file) && file.Read(d) && file.Read(t) && h.Close(file))
        << cut;
  }
}

// Reads stop at the end of the chunk. An older reader reads only what it
// knows of a chunk, then skips the rest. A chunk left open, writing or
// reading, is ended with its parent.
TEST_F(BinaryFileTest, NestedChunksBoundReadsAndSkipAndCloseInStep) {
  WriteFile([](BinaryFile& f) {
    ChunkHeader outer, inner, sibling, forgotten;
    return outer.Create(f, 5) && f.Write(2) && inner.Create(f, -3) &&
           f.Write(Text("inside")) && f.Write(9.0) && inner.Close(f) &&
           sibling.Create(f, 1) && f.Write(42) && sibling.Close(f) &&
           forgotten.Create(f, 2) && f.Write(7) && outer.Close(f) &&
           f.OpenChunkDepth() == 0 && f.Write(99);
  });
  BinaryFile file(Text(path_), Text{});
  ChunkHeader outer, inner, sibling, forgotten;
  int count = 0, value = 0, seven = 0, last = 0;
  double too_wide = 0;
  ASSERT_TRUE(file.Open(false) && outer.Open(file) && file.Read(count) &&
              inner.Open(file));
  EXPECT_EQ(outer.Revision(), 5);
  EXPECT_EQ(inner.Revision(), -3);
  EXPECT_TRUE(file.SkipChunkData());
  EXPECT_TRUE(inner.Close(file));
  ASSERT_TRUE(sibling.Open(file));
  EXPECT_FALSE(file.Read(too_wide));  // 8 bytes asked, 4 left in the chunk
  ASSERT_TRUE(file.Read(value));
  EXPECT_EQ(value, 42);
  EXPECT_TRUE(sibling.Close(file));
  ASSERT_TRUE(forgotten.Open(file) && file.Read(seven));
  EXPECT_EQ(seven, 7);
  EXPECT_TRUE(outer.Close(file));  // ends the forgotten one too
  ASSERT_TRUE(file.Read(last));
  EXPECT_EQ(last, 99);
}

// Past its first megabyte a file is written in larger pieces; lengths are
// patched in the buffer or, once it has gone out, in the file.
TEST_F(BinaryFileTest, LargeFilesCrossTheBufferBoundary) {
  std::vector<double> values(300000);
  for (std::size_t i = 0; i < values.size(); ++i) values[i] = i * 0.5;
  const std::size_t half = values.size() / 2;
  WriteFile([&](BinaryFile& f) {
    ChunkHeader outer, inner;
    bool ok = outer.Create(f, 1);
    for (std::size_t i = 0; i < values.size(); ++i)
      ok = ok && (i != half || inner.Create(f, 2)) && f.Write(values[i]);
    // The outer length is patched after the buffer was flushed.
    return ok && inner.Close(f) && outer.Close(f);
  });
  BinaryFile file(Text(path_), Text{});
  ChunkHeader outer, inner;
  ASSERT_TRUE(file.Open(false) && outer.Open(file));
  EXPECT_EQ(file.Remaining(), values.size() * 8 + ChunkHeader::kHeaderSize);
  std::vector<double> back(values.size());
  ASSERT_TRUE(file.Read(back.data(), static_cast<unsigned int>(half)));
  ASSERT_TRUE(inner.Open(file));
  EXPECT_EQ(file.Remaining(), (values.size() - half) * 8);
  ASSERT_TRUE(file.Read(back.data() + half,
                        static_cast<unsigned int>(values.size() - half)));
  EXPECT_EQ(back, values);
}

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
