#include "pemar/framework/PackedBinaryFileHeader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "pemar/framework/BinaryFile.h"
#include "pemar/framework/MemoryFileSystem.h"

namespace pemar {
namespace {

// A header with a stamp of its own that also accepts one older stamp, the
// way a document class extends the framework's header. The stamp and build
// it writes can be changed to those of another program.
class CaseLikeHeader : public PackedBinaryFileHeader {
 public:
  void GetIDStamp(char* stamp) override {
    std::memcpy(stamp, stamp_, kIDStampSize);
  }
  unsigned char CheckIDStamp(char* found, char* expected) override {
    return std::memcmp(found, expected, kIDStampSize) == 0 ||
           std::memcmp(found, "TestCaseV1.00K  ", kIDStampSize) == 0;
  }
  const char* stamp_ = "TestCaseV3.00K  ";
  long build_ = kFrameworkBuildNumber;

 protected:
  long StoreBuildNumber() const override { return build_; }
};

class PackedBinaryFileHeaderTest : public ::testing::Test {
 protected:
  // Header, a body of `bodyBytes`, and MarkOK unless `confirm` is false.
  void Save(PackedBinaryFileHeader& header, bool confirm = true,
            int bodyBytes = 10) {
    BinaryFile file(path_, Text());
    ASSERT_TRUE(file.Create());
    ASSERT_TRUE(header.Store(file));
    for (int i = 0; i < bodyBytes; ++i)
      ASSERT_TRUE(file.Write(static_cast<unsigned char>(i)));
    ASSERT_TRUE(!confirm || header.MarkOK(file));
    ASSERT_TRUE(file.Close());
  }

  unsigned char Recall(PackedBinaryFileHeader& header, unsigned char flag) {
    BinaryFile file(path_, Text());
    if (!file.Open(false)) return 0;
    return header.Recall(file, flag);
  }

  std::string Bytes() { return fs_.GetFile(path_); }
  void SetBytes(const std::string& bytes) { fs_.SetFile(path_, bytes); }

  MemoryFileSystem fs_;
  ScopedFileSystem scope_{&fs_};
  const std::string path_ = "doc.bin";
};

// Every cut fails and keeps the fields; every 4-byte window set to 0xFF
// (lengths, counts and numbers alike) fails or reads, but never crashes.
TEST_F(PackedBinaryFileHeaderTest, EveryTruncationFailsAndDamageNeverCrashes) {
  CaseLikeHeader written;
  written.SetDescription("full description");
  Save(written, true, 0);
  const std::string whole = Bytes();
  for (std::size_t n = 0; n < whole.size(); ++n) {
    SetBytes(whole.substr(0, n));
    CaseLikeHeader read;
    read.SetDescription("kept");
    EXPECT_FALSE(Recall(read, 1)) << n;
    EXPECT_FALSE(Recall(read, 0)) << n;
    EXPECT_EQ(read.Description(), "kept") << n;
    EXPECT_FALSE(read.IsConfirmed()) << n;
    SetBytes(std::string(whole).replace(n, 4, 4, '\xFF'));
    Recall(read, 1);
  }
}

// Documents recall with the flag: only a confirmed header of a stamp they
// accept and a required build not above ours. Without the flag an
// unconfirmed one is read too, and reported unconfirmed. A refused header
// still tells the build that wrote it and keeps the other fields.
TEST_F(PackedBinaryFileHeaderTest, RecallAcceptsKnownStampsAndBuildsOnly) {
  const long ours = kFrameworkBuildNumber;
  const char *v1 = "TestCaseV1.00K  ", *v2 = "TestCaseV2.00K  ",
             *v3 = "TestCaseV3.00K  ";
  const struct {
    const char* what;
    const char* stamp;
    long build, required;
    bool confirm, cut_last_byte;
    bool strict, lenient;  // accepted with the flag, without it
  } cases[] = {
      {"confirmed", v3, ours, 0, true, false, true, true},
      {"unconfirmed", v3, ours, 0, false, false, false, true},
      {"cut after confirmation", v3, ours, 0, true, true, false, true},
      {"older accepted stamp", v1, 1500, 0, true, false, true, true},
      {"foreign stamp", v2, 1500, 0, true, false, false, false},
      {"stamp differing in padding", "TestCaseV3.00K \0", 1500, 0, true, false,
       false, false},
      {"required build above ours", v3, ours, ours + 1, true, false, false,
       false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    CaseLikeHeader written;
    written.stamp_ = c.stamp;
    written.build_ = c.build;
    written.SetRequiredBuildNumber(c.required);
    written.SetFileStructureRevision(8);
    Save(written, c.confirm);
    if (c.cut_last_byte) SetBytes(Bytes().substr(0, Bytes().size() - 1));
    for (unsigned char flag : {1, 0}) {
      const bool accepted = flag ? c.strict : c.lenient;
      CaseLikeHeader read;
      EXPECT_EQ(Recall(read, flag) != 0, accepted) << int{flag};
      EXPECT_EQ(read.BuildNumber(), c.build) << int{flag};
      EXPECT_EQ(read.FileStructureRevision(), accepted ? 8 : 0) << int{flag};
      EXPECT_EQ(read.IsConfirmed(), accepted && c.strict) << int{flag};
    }
  }
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
  EXPECT_EQ(read.RequiredBuildNumber(), 2000);
  EXPECT_EQ(read.FileStructureRevision(), 255);
  EXPECT_EQ(read.Description(), "Crude unit, winter case");
  EXPECT_EQ(read.OriginalName(), "/data/cases/crude.kcs");
  EXPECT_EQ(read.AskForNameFlag(), -2);
}

TEST_F(PackedBinaryFileHeaderTest, StampOpensTheFileAndBodyFollows) {
  CaseLikeHeader written;
  Save(written, true, 3);
  EXPECT_EQ(Bytes().substr(0, 16), "TestCaseV3.00K  ");
  BinaryFile file(path_, Text());
  CaseLikeHeader read;
  unsigned char body[3];
  ASSERT_TRUE(file.Open(false) && read.Recall(file, 1) && file.Read(body, 3));
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
