#include "pemar/framework/PackedBinaryFileHeader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "pemar/framework/BinaryFile.h"

namespace pemar {
namespace {

// A header with a stamp of its own that also accepts one older stamp, the
// way a document class extends the framework's header.
class CaseLikeHeader : public PackedBinaryFileHeader {
 public:
  void GetIDStamp(char* stamp) override {
    std::memcpy(stamp, "TestCaseV3.00K  ", kIDStampSize);
  }
  unsigned char CheckIDStamp(char* found, char* expected) override {
    return std::memcmp(found, expected, kIDStampSize) == 0 ||
           std::memcmp(found, "TestCaseV1.00K  ", kIDStampSize) == 0;
  }
};

class OldProgramHeader : public CaseLikeHeader {
 public:
  void GetIDStamp(char* stamp) override {
    std::memcpy(stamp, stamp_, kIDStampSize);
  }
  const char* stamp_ = "TestCaseV1.00K  ";

 protected:
  long StoreBuildNumber() const override { return 1500; }
};

class PackedBinaryFileHeaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ =
        std::filesystem::temp_directory_path() /
        ("pemar-header-" +
         std::string(
             ::testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::filesystem::create_directories(dir_);
    path_ = (dir_ / "doc.bin").string();
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  // Header, a body of `bodyBytes`, and MarkOK unless `confirm` is false.
  void Save(PackedBinaryFileHeader& header, bool confirm = true,
            int bodyBytes = 10) {
    BinaryFile file(path_, Text());
    ASSERT_TRUE(file.Create());
    ASSERT_TRUE(header.Store(file));
    for (int i = 0; i < bodyBytes; ++i) {
      ASSERT_TRUE(file.Write(static_cast<unsigned char>(i)));
    }
    if (confirm) {
      ASSERT_TRUE(header.MarkOK(file));
    }
    ASSERT_TRUE(file.Close());
  }

  unsigned char Recall(PackedBinaryFileHeader& header, unsigned char flag) {
    BinaryFile file(path_, Text());
    if (!file.Open(false)) return 0;
    return header.Recall(file, flag);
  }

  std::vector<unsigned char> Bytes() {
    std::ifstream in(path_, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
  }
  void SetBytes(const std::vector<unsigned char>& bytes) {
    std::ofstream out(path_, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
  }

  std::filesystem::path dir_;
  std::string path_;
};

TEST_F(PackedBinaryFileHeaderTest, EveryTruncationFailsAndLeavesFields) {
  CaseLikeHeader written;
  written.SetDescription("full description");
  Save(written, true, 0);
  std::vector<unsigned char> whole = Bytes();
  for (std::size_t n = 0; n < whole.size(); ++n) {
    SetBytes(std::vector<unsigned char>(whole.begin(), whole.begin() + n));
    CaseLikeHeader read;
    read.SetDescription("kept");
    EXPECT_FALSE(Recall(read, 1)) << n;
    EXPECT_FALSE(Recall(read, 0)) << n;
    EXPECT_EQ(read.Description(), "kept") << n;
    EXPECT_FALSE(read.IsConfirmed()) << n;
  }
}

TEST_F(PackedBinaryFileHeaderTest, CorruptedFieldLengthFailsWithoutCrash) {
  CaseLikeHeader written;
  written.SetDescription("abc");
  Save(written);
  std::vector<unsigned char> bytes = Bytes();
  // Every 4-byte window set to 0xFF: lengths, counts and numbers alike.
  for (std::size_t at = 0; at + 4 <= bytes.size(); ++at) {
    std::vector<unsigned char> damaged = bytes;
    for (int k = 0; k < 4; ++k) damaged[at + k] = 0xFF;
    SetBytes(damaged);
    CaseLikeHeader read;
    Recall(read, 1);
  }
}

TEST_F(PackedBinaryFileHeaderTest, UnconfirmedHeaderFailsStrictRecall) {
  CaseLikeHeader written;
  written.SetFileStructureRevision(8);
  Save(written, /*confirm=*/false);
  CaseLikeHeader read;
  EXPECT_FALSE(Recall(read, 1));
  EXPECT_EQ(read.BuildNumber(), kFrameworkBuildNumber);
  EXPECT_EQ(read.FileStructureRevision(), 0);
  // Without the flag the header is read and reported unconfirmed.
  EXPECT_TRUE(Recall(read, 0));
  EXPECT_FALSE(read.IsConfirmed());
  EXPECT_EQ(read.FileStructureRevision(), 8);
}

TEST_F(PackedBinaryFileHeaderTest, FileCutAfterConfirmationIsUnconfirmed) {
  CaseLikeHeader written;
  Save(written);
  std::vector<unsigned char> bytes = Bytes();
  bytes.pop_back();
  SetBytes(bytes);
  CaseLikeHeader read;
  EXPECT_FALSE(Recall(read, 1));
  EXPECT_TRUE(Recall(read, 0));
  EXPECT_FALSE(read.IsConfirmed());
}

TEST_F(PackedBinaryFileHeaderTest, ForeignStampRejectedButBuildNumberRead) {
  OldProgramHeader old;
  old.stamp_ = "TestCaseV2.00K  ";
  Save(old);
  CaseLikeHeader read;
  EXPECT_FALSE(Recall(read, 1));
  EXPECT_EQ(read.BuildNumber(), 1500);
}

TEST_F(PackedBinaryFileHeaderTest, StampDifferingOnlyInPaddingRejected) {
  OldProgramHeader old;
  old.stamp_ = "TestCaseV3.00K \0";
  Save(old);
  CaseLikeHeader read;
  EXPECT_FALSE(Recall(read, 1));
}

TEST_F(PackedBinaryFileHeaderTest, OlderAcceptedStampGivesItsBuildNumber) {
  OldProgramHeader old;
  Save(old);
  CaseLikeHeader read;
  EXPECT_TRUE(Recall(read, 1));
  EXPECT_TRUE(read.IsConfirmed());
  EXPECT_EQ(read.BuildNumber(), 1500);
}

TEST_F(PackedBinaryFileHeaderTest, RequiredBuildAboveOursRejected) {
  CaseLikeHeader written;
  written.SetRequiredBuildNumber(kFrameworkBuildNumber + 1);
  Save(written);
  CaseLikeHeader read;
  EXPECT_FALSE(Recall(read, 1));
  EXPECT_EQ(read.BuildNumber(), kFrameworkBuildNumber);
}

TEST_F(PackedBinaryFileHeaderTest, RoundTripOfEveryField) {
  CaseLikeHeader written;
  written.SetRequiredBuildNumber(2000);
  written.SetFileStructureRevision(255);
  written.SetDescription("Crude unit, winter case");
  written.SetOriginalName("/data/cases/crude.kcs");
  written.SetAskForNameFlag(-2);
  Save(written);
  EXPECT_EQ(written.BuildNumber(), kFrameworkBuildNumber);

  CaseLikeHeader read;
  ASSERT_TRUE(Recall(read, 1));
  EXPECT_TRUE(read.IsConfirmed());
  EXPECT_EQ(read.BuildNumber(), kFrameworkBuildNumber);
  EXPECT_GE(read.BuildNumber(), 2000);
  EXPECT_EQ(read.RequiredBuildNumber(), 2000);
  EXPECT_EQ(read.FileStructureRevision(), 255);
  EXPECT_EQ(read.Description(), "Crude unit, winter case");
  EXPECT_EQ(read.OriginalName(), "/data/cases/crude.kcs");
  EXPECT_EQ(read.AskForNameFlag(), -2);
}

TEST_F(PackedBinaryFileHeaderTest, StampOpensTheFileAndBodyFollows) {
  CaseLikeHeader written;
  Save(written, true, 3);
  std::vector<unsigned char> bytes = Bytes();
  ASSERT_GE(bytes.size(), 16u);
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 16), "TestCaseV3.00K  ");

  BinaryFile file(path_, Text());
  ASSERT_TRUE(file.Open(false));
  CaseLikeHeader read;
  ASSERT_TRUE(read.Recall(file, 1));
  unsigned char body[3];
  ASSERT_TRUE(file.Read(body, 3));
  EXPECT_EQ(body[2], 2);
  EXPECT_EQ(file.Remaining(), 0u);
}

TEST_F(PackedBinaryFileHeaderTest, MarkOKNeedsTheStoredFile) {
  CaseLikeHeader header;
  BinaryFile file(path_, Text());
  ASSERT_TRUE(file.Create());
  EXPECT_FALSE(header.MarkOK(file));
  ASSERT_TRUE(header.Store(file));
  EXPECT_TRUE(header.MarkOK(file));
  EXPECT_FALSE(header.MarkOK(file));
}

}  // namespace
}  // namespace pemar
