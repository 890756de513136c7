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
    ASSERT_TRUE(file.Create() && header.Store(file) && file.Write(0L) &&
                header.MarkOK(file) && file.Close());
  }
  bool Recall() {
    SimulationCaseFileHeader header;
    BinaryFile file(Text("case.kcs"));
    return file.Open(false) && header.Recall(file, 1);
  }

  MemoryFileSystem fs_;
  ScopedFileSystem scoped_{&fs_};
};

// The build number is published whether the stamp is accepted or not; the
// stamps differing from an accepted one only in the padding are not.
TEST_F(SimulationCaseFileHeaderTest, AcceptedStampsRecallAndAllPublishBuild) {
  const struct {
    const char* stamp;
    bool accepted;
  } cases[] = {{"PemarCaseV3.00K ", true},  {"PemarCaseV1.00K ", true},
               {"PemarCaseFrakto ", true},  {"PemarCasePlexa  ", true},
               {"PemarCaseMolara ", true},  {"PemarCaseV3.00KX", false},
               {"PemarCasePlexa X", false}, {"SomethingElse   ", false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.stamp);
    StampedHeader writer(c.stamp);
    Save(writer);
    savedCaseBuildNumber = 0;
    EXPECT_EQ(Recall(), c.accepted);
    EXPECT_EQ(savedCaseBuildNumber, 1234);
  }
  char expected[kIDStampSize];
  SimulationCaseFileHeader().GetIDStamp(expected);
  EXPECT_FALSE(SimulationCaseFileHeader().CheckIDStamp(nullptr, expected));
}

TEST_F(SimulationCaseFileHeaderTest, UnreadableHeaderPublishesZero) {
  fs_.SetFile("case.kcs", "PemarCaseV3");
  savedCaseBuildNumber = 77;
  EXPECT_FALSE(Recall());
  EXPECT_EQ(savedCaseBuildNumber, 0);
}

TEST_F(SimulationCaseFileHeaderTest, NewFilesCarryTheCurrentStamp) {
  SimulationCaseFileHeader header;
  Save(header);
  EXPECT_EQ(fs_.GetFile("case.kcs").substr(0, 16), "PemarCaseV3.00K ");
  char old[kIDStampSize];
  header.GetOldIDStamp(old);
  EXPECT_EQ(std::string(old, kIDStampSize), "PemarCaseV1.00K ");
}

}  // namespace
}  // namespace pemar
