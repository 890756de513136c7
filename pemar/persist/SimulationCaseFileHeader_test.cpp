#include "pemar/persist/SimulationCaseFileHeader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "pemar/framework/BinaryFile.h"
#include "pemar/framework/MemoryFileSystem.h"

namespace pemar {
namespace {

// Writes whatever stamp a test chooses, from an older program.
class StampedHeader : public SimulationCaseFileHeader {
 public:
  explicit StampedHeader(const char* stamp) : stamp_(stamp) {}
  void GetIDStamp(char* stamp) override {
    std::memcpy(stamp, stamp_, kIDStampSize);
  }

 protected:
  long StoreBuildNumber() const override { return 1234; }

 private:
  const char* stamp_;
};

class SimulationCaseFileHeaderTest : public ::testing::Test {
 protected:
  void Save(PackedBinaryFileHeader& header) {
    BinaryFile file(Text("case.kcs"));
    ASSERT_TRUE(file.Create());
    ASSERT_TRUE(header.Store(file));
    ASSERT_TRUE(file.Write(0L));
    ASSERT_TRUE(header.MarkOK(file));
    ASSERT_TRUE(file.Close());
  }
  unsigned char Recall(PackedBinaryFileHeader& header) {
    BinaryFile file(Text("case.kcs"));
    if (!file.Open(false)) return 0;
    return header.Recall(file, 1);
  }

  MemoryFileSystem fs_;
  ScopedFileSystem scoped_{&fs_};
};

TEST_F(SimulationCaseFileHeaderTest, StampDifferingOnlyInPaddingIsRejected) {
  SimulationCaseFileHeader header;
  char found[kIDStampSize];
  std::memcpy(found, "PemarCaseV3.00KX", kIDStampSize);
  char expected[kIDStampSize];
  header.GetIDStamp(expected);
  EXPECT_FALSE(header.CheckIDStamp(found, expected));
  std::memcpy(found, "PemarCasePlexa X", kIDStampSize);
  EXPECT_FALSE(header.CheckIDStamp(found, expected));
  EXPECT_FALSE(header.CheckIDStamp(nullptr, expected));
}

TEST_F(SimulationCaseFileHeaderTest, EveryAcceptedStampRecalls) {
  for (const char* stamp :
       {"PemarCaseV3.00K ", "PemarCaseV1.00K ", "PemarCaseFrakto ",
        "PemarCasePlexa  ", "PemarCaseMolara "}) {
    SCOPED_TRACE(stamp);
    StampedHeader writer(stamp);
    Save(writer);
    SimulationCaseFileHeader reader;
    EXPECT_TRUE(Recall(reader));
    EXPECT_EQ(savedCaseBuildNumber, 1234);
  }
}

TEST_F(SimulationCaseFileHeaderTest, BuildNumberPublishedEvenWhenStampFails) {
  StampedHeader writer("SomethingElse   ");
  Save(writer);
  savedCaseBuildNumber = 0;
  SimulationCaseFileHeader reader;
  EXPECT_FALSE(Recall(reader));
  EXPECT_EQ(savedCaseBuildNumber, 1234);
}

TEST_F(SimulationCaseFileHeaderTest, UnreadableHeaderPublishesZero) {
  fs_.SetFile("case.kcs", "PemarCaseV3");
  savedCaseBuildNumber = 77;
  SimulationCaseFileHeader reader;
  EXPECT_FALSE(Recall(reader));
  EXPECT_EQ(savedCaseBuildNumber, 0);
}

TEST_F(SimulationCaseFileHeaderTest, NewFilesCarryTheCurrentStamp) {
  SimulationCaseFileHeader header;
  Save(header);
  std::string bytes = fs_.GetFile("case.kcs");
  ASSERT_GE(bytes.size(), 16u);
  EXPECT_EQ(bytes.substr(0, 16), "PemarCaseV3.00K ");
  char old[kIDStampSize];
  header.GetOldIDStamp(old);
  EXPECT_EQ(std::string(old, kIDStampSize), "PemarCaseV1.00K ");
}

}  // namespace
}  // namespace pemar
