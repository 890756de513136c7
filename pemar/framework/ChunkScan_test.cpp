#include "pemar/framework/ChunkScan.h"

#include <gtest/gtest.h>

#include "pemar/framework/MemoryFileSystem.h"

namespace pemar {
namespace {

class ChunkScanTest : public ::testing::Test {
 protected:
  // Writes two top-level chunks, the first holding a value and a child.
  std::string WriteSample() {
    BinaryFile file(Text("sample.bin"), Text{});
    EXPECT_TRUE(file.Create());
    ChunkHeader outer, inner, second;
    EXPECT_TRUE(outer.Create(file, 2) && file.Write(7) &&
                inner.Create(file, 1) && file.Write(1.5) && inner.Close(file) &&
                outer.Close(file));
    EXPECT_TRUE(second.Create(file, -4) && second.Close(file));
    EXPECT_TRUE(file.Write(short{3}));
    EXPECT_TRUE(file.Close());
    return fs_.GetFile("sample.bin");
  }

  MemoryFileSystem fs_;
  ScopedFileSystem scope_{&fs_};
};

// A missing file fails the scan; a cut one is scanned up to its damage, and
// 200 chunk headers each claiming the rest of the file no deeper than the
// scan goes.
TEST_F(ChunkScanTest, DamagedFilesReportTheirProblemsAndNestingIsBounded) {
  std::string whole = WriteSample();
  fs_.SetFile("cut.bin", whole.substr(0, 20));
  ChunkScanResult result;
  EXPECT_FALSE(ScanChunks("absent.bin", &result));
  ASSERT_TRUE(ScanChunks("cut.bin", &result));
  EXPECT_TRUE(result.chunks.empty());
  ASSERT_FALSE(result.problems.empty());
  EXPECT_TRUE(result.problems[0].StartsWith("offset 0: chunk length"));

  std::string bytes;
  for (int i = 0; i < 200; ++i) {
    std::uint32_t length = static_cast<std::uint32_t>((199 - i) * 8);
    bytes += std::string("\xA5\x5A\x01\x00", 4);
    for (int b = 0; b < 4; ++b)
      bytes.push_back(static_cast<char>(length >> (8 * b)));
  }
  fs_.SetFile("deep.bin", bytes);
  ChunkScanResult deep;
  ASSERT_TRUE(ScanChunks("deep.bin", &deep));
  ASSERT_EQ(deep.chunks.size(), 1u);
  EXPECT_FALSE(deep.problems.empty());
}

TEST_F(ChunkScanTest, FindsNestingOffsetsAndRevisions) {
  WriteSample();
  ChunkScanResult result;
  ASSERT_TRUE(ScanChunks("sample.bin", &result));
  EXPECT_TRUE(result.problems.empty());
  ASSERT_EQ(result.chunks.size(), 2u);
  const ChunkNode& outer = result.chunks[0];
  EXPECT_EQ(outer.offset, 0u);
  EXPECT_EQ(outer.revision, 2);
  EXPECT_EQ(outer.length, 4u + 8u + 8u);
  EXPECT_EQ(outer.dataBytes, 4u);
  ASSERT_EQ(outer.children.size(), 1u);
  EXPECT_EQ(outer.children[0].offset, 12u);
  EXPECT_EQ(outer.children[0].length, 8u);
  EXPECT_EQ(result.chunks[1].revision, -4);
  EXPECT_EQ(result.chunks[1].length, 0u);
  EXPECT_EQ(result.dataBytes, 2u);
}

}  // namespace
}  // namespace pemar
