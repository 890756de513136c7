#include "pemar/persist/PemarBinaryFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "pemar/framework/testing/LargestAllocation.h"
#include "pemar/persist/testing/MemoryBinaryFile.h"

namespace pemar {
namespace {

class PemarBinaryFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           (std::string("pemar-pbf-") +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir_);
    path_ = (dir_ / "records.bin").string();
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  std::string ReadRaw() {
    std::ifstream in(path_, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)),
                       std::istreambuf_iterator<char>());
  }
  void WriteRaw(const std::string& bytes) {
    std::ofstream(path_, std::ios::binary) << bytes;
  }

  std::filesystem::path dir_;
  std::string path_;
};

std::string Int32(int v) {
  std::string s;
  for (int i = 0; i < 4; ++i) s.push_back(static_cast<char>(v >> (8 * i)));
  return s;
}

// --- Damaged strings
// ------------------------------------------------------------

TEST_F(PemarBinaryFileTest, DamagedStringCountsFailWithoutAllocating) {
  // flag 1, n = -1; flag 1, n = 0x7FFFFFFF then 3 bytes; n = 5 "ab\0cd".
  std::string negative = std::string("\x01", 1) + Int32(-1);
  std::string huge = std::string("\x01", 1) + Int32(0x7FFFFFFF) + "abc";
  std::string embedded =
      std::string("\x01", 1) + Int32(5) + std::string("ab\0cd", 5);
  for (const std::string& bytes : {negative, huge}) {
    WriteRaw(bytes);
    PemarBinaryFile file(path_.c_str());
    CVString text("previous");
    test_support::LargestAllocation watch;
    EXPECT_FALSE(ReadCVString(&file, &text));
    EXPECT_TRUE(text.IsEmpty());
    EXPECT_LT(watch.Largest(), 128u * 1024u);
  }
  WriteRaw(embedded);
  PemarBinaryFile file(path_.c_str());
  CVString text;
  EXPECT_TRUE(ReadCVString(&file, &text));
  EXPECT_EQ(text, "ab");
}

TEST_F(PemarBinaryFileTest, TruncatedStringFails) {
  CVString name("Low pressure steam");
  {
    BinaryFile raw(Text(path_), Text{});
    ASSERT_TRUE(raw.Create());
    PemarBinaryFile file(&raw);
    ASSERT_TRUE(WriteCVString(&file, &name));
    ASSERT_TRUE(raw.Close());
  }
  std::string whole = ReadRaw();
  for (std::size_t cut = 0; cut < whole.size(); ++cut) {
    WriteRaw(whole.substr(0, cut));
    PemarBinaryFile file(path_.c_str());
    CVString text;
    EXPECT_FALSE(ReadCVString(&file, &text)) << cut;
  }
}

TEST_F(PemarBinaryFileTest, FileObjectWithoutFileFailsEverything) {
  PemarBinaryFile file(static_cast<const char*>(nullptr));
  int i = 0;
  ChunkHeader* h = nullptr;
  CVString s("x");
  EXPECT_FALSE(file.Write(1));
  EXPECT_FALSE(file.Read(i));
  EXPECT_FALSE(file.CreateChunk(&h, 1));
  EXPECT_FALSE(file.CloseChunk(h));  // frees the handle handed out
  EXPECT_FALSE(WriteCVString(&file, &s));
  EXPECT_FALSE(ReadCVString(&file, &s));
  EXPECT_TRUE(file.GetFileName().IsEmpty());
  EXPECT_FALSE(WriteCVString(nullptr, &s));
  EXPECT_FALSE(ReadCVString(nullptr, &s));
}

TEST_F(PemarBinaryFileTest, NameThatDoesNotOpenFailsLaterReads) {
  PemarBinaryFile file((dir_ / "absent.bin").string().c_str());
  double d = 0;
  EXPECT_FALSE(file.Read(d));
}

// --- The counted string record
// ----------------------------------------------------

TEST_F(PemarBinaryFileTest, StringRecordLayout) {
  CVString empty;
  CVString name("HP");
  {
    BinaryFile raw(Text(path_), Text{});
    ASSERT_TRUE(raw.Create());
    PemarBinaryFile file(&raw);
    ASSERT_TRUE(WriteCVString(&file, nullptr));
    ASSERT_TRUE(WriteCVString(&file, &empty));
    ASSERT_TRUE(WriteCVString(&file, &name));
    ASSERT_TRUE(raw.Close());
  }
  std::string expected = std::string("\0", 1) +               // null
                         std::string("\x01", 1) + Int32(1) +  // empty
                         std::string("\0", 1) +               //
                         std::string("\x01", 1) + Int32(3) +  // "HP"
                         std::string("HP\0", 3);
  EXPECT_EQ(ReadRaw(), expected);

  PemarBinaryFile file(path_.c_str());
  CVString a("stale"), b("stale"), c;
  EXPECT_TRUE(ReadCVString(&file, &a));
  EXPECT_TRUE(ReadCVString(&file, &b));
  EXPECT_TRUE(ReadCVString(&file, &c));
  EXPECT_TRUE(a.IsEmpty());  // a null string comes back empty, not absent
  EXPECT_TRUE(b.IsEmpty());
  EXPECT_EQ(c, "HP");
}

// Strings go straight into the caller's text: a longer previous value must
// not show through, also when the characters straddle the read block end.
TEST_F(PemarBinaryFileTest, StringsReadIntoOneTextAcrossTheReadBlockEnd) {
  const std::vector<CVString> texts = {CVString("a much longer first text"),
                                       CVString("short"), CVString(""),
                                       CVString(std::string(70000, 'x'))};
  constexpr std::size_t kBlock = 64 * 1024;
  for (std::size_t shift : {1, 3, 6, 8, 20}) {
    SCOPED_TRACE(shift);
    {
      BinaryFile raw(Text(path_), Text{});
      ASSERT_TRUE(raw.Create());
      PemarBinaryFile file(&raw);
      std::string pad(kBlock - shift, 'p');
      ASSERT_TRUE(file.Write(pad.data(), static_cast<unsigned>(pad.size())));
      for (CVString text : texts) ASSERT_TRUE(WriteCVString(&file, &text));
      ASSERT_TRUE(raw.Close());
    }
    PemarBinaryFile file(path_.c_str());
    ASSERT_TRUE(file.GetBinaryFile()->ReadBytes(
        std::string(kBlock - shift, '\0').data(), kBlock - shift));
    CVString read("stale and longer than most of what follows");
    for (const CVString& text : texts) {
      ASSERT_TRUE(ReadCVString(&file, &read));
      EXPECT_EQ(read, text);
    }
  }
}

TEST_F(PemarBinaryFileTest, AnyImplementationOfTheInterfaceWritesTheSameBytes) {
  CVString name("Refrigerant");
  test_support::MemoryBinaryFile memory;
  ASSERT_TRUE(WriteCVString(&memory, &name));
  {
    BinaryFile raw(Text(path_), Text{});
    ASSERT_TRUE(raw.Create());
    PemarBinaryFile file(&raw);
    ASSERT_TRUE(WriteCVString(&file, &name));
    ASSERT_TRUE(raw.Close());
  }
  EXPECT_EQ(memory.bytes(), ReadRaw());
  test_support::MemoryBinaryFile back(memory.bytes());
  CVString read;
  EXPECT_TRUE(ReadCVString(&back, &read));
  EXPECT_EQ(read, name);
}

// --- Chunks and ownership
// -------------------------------------------------------

TEST_F(PemarBinaryFileTest, RevisionIsCutToSixteenBits) {
  {
    BinaryFile raw(Text(path_), Text{});
    ASSERT_TRUE(raw.Create());
    PemarBinaryFile file(&raw);
    ChunkHeader* h = nullptr;
    ASSERT_TRUE(file.CreateChunk(&h, 32768));
    ASSERT_TRUE(file.Write(3));
    ASSERT_TRUE(file.CloseChunk(h));
    ASSERT_TRUE(raw.Close());
  }
  PemarBinaryFile file(path_.c_str());
  ChunkHeader* h = nullptr;
  ASSERT_TRUE(file.OpenChunk(&h));
  EXPECT_EQ(file.Revision(h), -32768);
  EXPECT_TRUE(file.SkipChunkData());
  EXPECT_TRUE(file.CloseChunk(h));
  EXPECT_EQ(file.Revision(nullptr), 0);
  EXPECT_FALSE(file.CloseChunk(nullptr));
}

// Handles are kept for reuse by the wrapper they are given back to; nesting
// deeper than it keeps, and handles given back through a copy, still work.
TEST_F(PemarBinaryFileTest, DeepNestingAndHandlesGivenBackThroughACopy) {
  constexpr int kDepth = 50;
  {
    BinaryFile raw(Text(path_), Text{});
    ASSERT_TRUE(raw.Create());
    PemarBinaryFile file(&raw);
    PemarBinaryFile copy(file);
    for (int round = 0; round < 2; ++round) {
      std::vector<ChunkHeader*> open(kDepth);
      for (int i = 0; i < kDepth; ++i) {
        ASSERT_TRUE(file.CreateChunk(&open[i], i) && file.Write(i));
      }
      for (int i = kDepth; i-- > 0;) {
        ASSERT_TRUE((i % 2 ? file : copy).CloseChunk(open[i]));
      }
    }
    ASSERT_TRUE(raw.Close());
  }
  PemarBinaryFile file(path_.c_str());
  for (int round = 0; round < 2; ++round) {
    std::vector<ChunkHeader*> open(kDepth);
    for (int i = 0; i < kDepth; ++i) {
      int value = -1;
      ASSERT_TRUE(file.OpenChunk(&open[i]) && file.Read(value));
      EXPECT_EQ(file.Revision(open[i]), i);
      EXPECT_EQ(value, i);
    }
    // Closing the outermost also ends the others; their handles still go
    // back, and are refused.
    ASSERT_TRUE(file.CloseChunk(open[0]));
    for (int i = 1; i < kDepth; ++i) EXPECT_FALSE(file.CloseChunk(open[i]));
  }
}

TEST_F(PemarBinaryFileTest, WrapperLeavesCallersFileOpen) {
  BinaryFile raw(Text(path_), Text{});
  ASSERT_TRUE(raw.Create());
  {
    PemarBinaryFile wrapper(&raw);
    EXPECT_EQ(wrapper.GetBinaryFile(), &raw);
    EXPECT_EQ(wrapper.GetFileName(), Text(path_));
    PemarBinaryFile copy(wrapper);
    EXPECT_EQ(copy.GetBinaryFile(), &raw);
    EXPECT_EQ(wrapper.GetMyIdentifier(), nullptr);
  }
  EXPECT_TRUE(raw.Write(5));
  EXPECT_TRUE(raw.Close());
}

TEST_F(PemarBinaryFileTest, ReferenceCountedLikeEveryObject) {
  auto* file = new PemarBinaryFile(static_cast<const char*>(nullptr));
  EXPECT_EQ(file->AddRef(), 1);
  EXPECT_EQ(file->AddRef(), 2);
  EXPECT_EQ(file->Release(), 1);
  EXPECT_EQ(file->Release(), 0);  // destroyed
}

}  // namespace
}  // namespace pemar
