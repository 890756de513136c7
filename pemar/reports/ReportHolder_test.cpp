#include "pemar/reports/ReportHolder.h"

#include <gtest/gtest.h>

#include <string>

#include "pemar/framework/BinaryFile.h"
#include "pemar/framework/MemoryFileSystem.h"
#include "pemar/persist/PemarBinaryFile.h"
#include "tests/support/GoldenFile.h"

namespace pemar {
namespace {

class ReportHolderTest : public ::testing::Test {
 protected:
  // Stores `holder` inside an outer chunk, followed by the int 42.
  void StoreInOuterChunk(ReportHolder& holder) {
    BinaryFile raw{Text("report.bin")};
    ASSERT_TRUE(raw.Create());
    PemarBinaryFile file(&raw);
    ChunkHeader* outer = nullptr;
    EXPECT_TRUE(file.CreateChunk(&outer, 3) && holder.Store(&file) &&
                file.Write(42) && file.CloseChunk(outer));
    EXPECT_TRUE(raw.Close());
  }

  // Recalls into `holder` from inside the outer chunk; true when the recall,
  // the 42 after it and the closes all succeed.
  bool RecallFromOuterChunk(ReportHolder& holder) {
    BinaryFile raw{Text("report.bin")};
    PemarBinaryFile file(&raw);
    ChunkHeader* outer = nullptr;
    int after = 0;
    bool ok = raw.Open() && file.OpenChunk(&outer) && holder.Recall(&file) &&
              file.Read(after) && after == 42;
    bool closed = outer != nullptr && file.CloseChunk(outer);
    return ok && closed && raw.OpenChunkDepth() == 0;
  }

  MemoryFileSystem fs_;
  ScopedFileSystem scope_{&fs_};
  ReportHolder holder_;
};

TEST_F(ReportHolderTest, FreshHolderPrintsNothing) {
  EXPECT_EQ(holder_.IsModified(), 1);
  EXPECT_STREQ(holder_.GetReport(), "");
  EXPECT_EQ(holder_.IsModified(), 0);
}

TEST_F(ReportHolderTest, DeeperCountersDropWhenTheWalkComesBackUp) {
  ASSERT_TRUE(holder_.AddSection(nullptr, "Intro", "Start"));
  ASSERT_TRUE(holder_.AddSection("Intro", "Scope", "Where"));
  ASSERT_TRUE(holder_.AddSection("Intro", "Goals", nullptr));
  ASSERT_TRUE(holder_.AddSection(nullptr, "Results", "R"));
  ASSERT_TRUE(holder_.AddSection("Results", "Targets", "T"));
  ASSERT_TRUE(holder_.AddSection("Results/Targets", "Hot", "H"));
  // The former text of "Intro" prints after its heading, without one of its
  // own.
  EXPECT_STREQ(holder_.GetReport(),
               "\n\n1 Intro\nStart\n\n1.1 Scope\nWhere\n\n1.2 Goals\n"
               "\n\n2 Results\nR\n\n2.1 Targets\nT\n\n2.1.1 Hot\nH");
  EXPECT_STREQ(holder_.GetSectionString("Intro/UnNamedSectionInternal"),
               "Start");
  EXPECT_EQ(holder_.NumberOfSubsections("Intro"), 3);
  EXPECT_EQ(holder_.GetSectionString("Intro"), nullptr);  // now a container
}

TEST_F(ReportHolderTest, RefusalsLeaveTheReportAsItWas) {
  ASSERT_TRUE(holder_.AddSection(nullptr, "A", "a"));
  ASSERT_TRUE(holder_.AddSection(nullptr, "Box", nullptr));
  holder_.GetRoot()->AddChild("Fixed", CVValue::kFixed, "f");
  const std::string before = holder_.GetReport();
  const struct {
    const char* what;
    hresult result;
  } refusals[] = {
      {"null name", holder_.AddSection(nullptr, nullptr, "t")},
      {"existing name", holder_.AddSection(nullptr, "A", "again")},
      {"missing parent", holder_.AddSection("Nowhere", "X", "t")},
      {"modify with null text", holder_.ModifySection("A", nullptr)},
      {"modify a missing section", holder_.ModifySection("Nowhere", "t")},
      {"modify a fixed value", holder_.ModifySection("Fixed", "t")},
      {"append to a container", holder_.AppendToSection("Box", "t")},
      {"append null text", holder_.AppendToSection("A", nullptr)},
      {"append to a missing section", holder_.AppendToSection("Z", "t")},
      {"delete a null name", holder_.DeleteSection(nullptr, nullptr)},
      {"delete a missing name", holder_.DeleteSection(nullptr, "Z")},
      {"delete under a missing parent", holder_.DeleteSection("Z", "A")},
  };
  for (const auto& r : refusals) EXPECT_EQ(r.result, kRejected) << r.what;
  EXPECT_EQ(holder_.IsModified(), 1);  // the duplicate name still marks it
  EXPECT_EQ(holder_.GetReport(), before);
  EXPECT_EQ(holder_.NumberOfSubsections("Nowhere"), 0);
  EXPECT_EQ(holder_.GetSectionTitle("Box"), nullptr);
}

TEST_F(ReportHolderTest, SectionsStopAtTheCountASectionCanAnswer) {
  CVValue* root = holder_.GetRoot();
  for (int i = 0; i < 32766; ++i) root->AddChild("s", CVValue::kContainer, "");
  EXPECT_EQ(holder_.AddSection(nullptr, "last", nullptr), kDone);
  EXPECT_EQ(holder_.NumberOfSubsections(nullptr), 32767);
  EXPECT_EQ(holder_.AddSection(nullptr, "one more", nullptr), kRejected);
  root->AddChild("recalled", CVValue::kContainer, Text());  // as a file may
  EXPECT_EQ(holder_.NumberOfSubsections(nullptr), 32767);
}

TEST_F(ReportHolderTest, ChangesReachTheReport) {
  ASSERT_TRUE(holder_.AddSection(nullptr, "A", "a"));
  ASSERT_TRUE(holder_.AddSection(nullptr, "B", "b"));
  holder_.GetReport();
  EXPECT_TRUE(holder_.AppendToSection("A", "more"));
  EXPECT_EQ(holder_.IsModified(), 1);
  EXPECT_TRUE(holder_.ModifySection("B", "new"));
  EXPECT_STREQ(holder_.GetSectionTitle("B"), "B");
  EXPECT_STREQ(holder_.GetReport(), "\n\n1 A\na\nmore\n\n2 B\nnew");
  EXPECT_TRUE(holder_.DeleteSection(nullptr, "A"));
  EXPECT_STREQ(holder_.GetReport(), "\n\n1 B\nnew");
}

TEST_F(ReportHolderTest, StoredReportIsAClosedChunkInsideItsOwner) {
  ASSERT_TRUE(holder_.AddSection(nullptr, "A", "a"));
  ASSERT_TRUE(holder_.AddSection("A", "B", "b"));
  StoreInOuterChunk(holder_);

  ReportHolder recalled;
  ASSERT_TRUE(recalled.AddSection(nullptr, "Old", "gone"));
  EXPECT_TRUE(RecallFromOuterChunk(recalled));
  EXPECT_STREQ(recalled.GetReport(), holder_.GetReport());

  // A reader that skips the report chunk lands on what follows it.
  BinaryFile raw{Text("report.bin")};
  PemarBinaryFile file(&raw);
  ChunkHeader* outer = nullptr;
  ChunkHeader* report = nullptr;
  int after = 0;
  EXPECT_TRUE(raw.Open() && file.OpenChunk(&outer) && file.OpenChunk(&report) &&
              file.Revision(report) == 1 && file.SkipChunkData() &&
              file.CloseChunk(report) && file.Read(after) &&
              file.CloseChunk(outer));
  EXPECT_EQ(after, 42);
}

// A report of a section with a sub-section and a fixed value stores the
// bytes of testdata/report_holder.golden (written from docs/file-format.md),
// which recall as that report.
TEST_F(ReportHolderTest, StoredReportHasTheDocumentedLayout) {
  ASSERT_TRUE(holder_.AddSection(nullptr, "A", "a"));
  ASSERT_TRUE(holder_.AddSection("A", "B", "b"));
  holder_.GetRoot()->AddChild("F", CVValue::kFixed, "f");
  const std::string golden =
      test_support::GoldenFile("pemar/reports/testdata/report_holder.golden");
  EXPECT_TRUE(
      test_support::SameBytes(test_support::StoredBytes(fs_, holder_), golden));
  ReportHolder recalled;
  ASSERT_TRUE(test_support::RecallsAll(fs_, golden, recalled));
  EXPECT_STREQ(recalled.GetReport(), "\n\n1 A\na\n\n1.1 B\nb\n\n2 F\n");
  const CVValue* fixed = recalled.GetRoot()->FindChild("F");
  ASSERT_NE(fixed, nullptr);
  EXPECT_TRUE(fixed->GetType() == CVValue::kFixed && fixed->GetText() == "f");
}

TEST_F(ReportHolderTest, TreeNestedTooDeepIsNotRecalled) {
  // A chain of sections "n", each inside the one before.
  auto storeChain = [&](int levels) {
    std::string bytes("\x01\x00\0\0\0\0", 6);
    for (int i = 0; i < levels; ++i) {
      bytes += std::string("\1\0\0\0\1\0\0\0n\x40\0\1\0\0\0x", 16);
    }
    bytes += std::string(4, '\0');
    BinaryFile raw{Text("report.bin")};
    ChunkHeader outer, inner;
    ASSERT_TRUE(raw.Create() && outer.Create(raw, 3) && inner.Create(raw, 1) &&
                raw.WriteBytes(bytes.data(), bytes.size()) &&
                inner.Close(raw) && raw.Write(42) && outer.Close(raw) &&
                raw.Close());
  };
  storeChain(100000);
  EXPECT_FALSE(RecallFromOuterChunk(holder_));
  EXPECT_STREQ(holder_.GetReport(), "");

  storeChain(3);
  EXPECT_TRUE(RecallFromOuterChunk(holder_));
  EXPECT_STREQ(holder_.GetReport(), "\n\n1 n\nx\n\n1.1 n\nx\n\n1.1.1 n\nx");
}

}  // namespace
}  // namespace pemar
