#include "pemar/persist/SimulationCaseFileHeader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "pemar/framework/BinaryFile.h"
#include "pemar/framework/MemoryFileSystem.h"

namespace pemar {
namespace {

// Writes whatever stamp a test chooses, as an older program may have.
struct StampedHeader : SimulationCaseFileHeader {
  explicit StampedHeader(const char* s) : stamp(s) {}
  void GetIDStamp(char* out) override { std::memcpy(out, stamp, kIDStampSize); }
  long StoreBuildNumber() const override { return 1234; }
  const char* stamp;
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

// A header cut inside its stamp fails and publishes build 0; a whole one
// publishes its build number whether its stamp is accepted or not. Stamps
// differing from an accepted one only in the padding are not.
TEST_F(SimulationCaseFileHeaderTest,
       CutHeaderFailsAndWholeOnesPublishTheirBuild) {
  fs_.SetFile("case.kcs", "PemarCaseV3");
  savedCaseBuildNumber = 77;
  EXPECT_FALSE(Recall());
  EXPECT_EQ(savedCaseBuildNumber, 0);
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
}

}  // namespace
}  // namespace pemar
