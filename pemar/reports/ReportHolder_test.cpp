#include "pemar/reports/ReportHolder.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>

#include "pemar/framework/BinaryFile.h"
#include "pemar/framework/MemoryFileSystem.h"
#include "pemar/persist/PemarBinaryFile.h"
#include "pemar/reports/ItemReport.h"
#include "tests/support/GoldenFile.h"

namespace pemar {
namespace {

class ReportHolderTest : public ::testing::Test {
 protected:
  // Stores what `report` writes inside an outer chunk, followed by the int 42.
  template <typename Write>
  void StoreInOuterChunk(Write report) {
    BinaryFile raw{Text("report.bin")};
    ASSERT_TRUE(raw.Create());
    PemarBinaryFile file(&raw);
    ChunkHeader* outer = nullptr;
    EXPECT_TRUE(file.CreateChunk(&outer, 3) && report(file) && file.Write(42) &&
                file.CloseChunk(outer));
    EXPECT_TRUE(raw.Close());
  }

  // Whether recalling into `holder`, or skipping with none, reads on to 42.
  bool RecallFromOuterChunk(ReportHolder* holder) {
    BinaryFile raw{Text("report.bin")};
    PemarBinaryFile file(&raw);
    ChunkHeader *outer = nullptr, *report = nullptr;
    int after = 0;
    bool ok = raw.Open() && file.OpenChunk(&outer) &&
              (holder ? holder->Recall(&file)
                      : file.OpenChunk(&report) && file.Revision(report) == 1 &&
                            file.SkipChunkData() && file.CloseChunk(report)) &&
              file.Read(after) && after == 42;
    bool closed = outer != nullptr && file.CloseChunk(outer);
    return ok && closed && raw.OpenChunkDepth() == 0;
  }

  MemoryFileSystem fs_;
  ScopedFileSystem scope_{&fs_};
  ReportHolder holder_;
};

// Deeper counters drop when the walk comes back up; former texts print
// without headings. Changes mark the holder until the next report.
TEST_F(ReportHolderTest, SectionsAreNumberedAndChangesReachTheReport) {
  EXPECT_EQ(holder_.IsModified(), 1);
  EXPECT_STREQ(holder_.GetReport(), "");
  EXPECT_EQ(holder_.IsModified(), 0);
  ASSERT_TRUE(holder_.AddSection(nullptr, "Intro", "Start"));
  ASSERT_TRUE(holder_.AddSection("Intro", "Scope", "Where"));
  ASSERT_TRUE(holder_.AddSection("Intro", "Goals", nullptr));
  ASSERT_TRUE(holder_.AddSection(nullptr, "Results", "R"));
  ASSERT_TRUE(holder_.AddSection("Results", "Targets", "T"));
  ASSERT_TRUE(holder_.AddSection("Results/Targets", "Hot", "H"));
  EXPECT_STREQ(holder_.GetReport(),
               "\n\n1 Intro\nStart\n\n1.1 Scope\nWhere\n\n1.2 Goals\n"
               "\n\n2 Results\nR\n\n2.1 Targets\nT\n\n2.1.1 Hot\nH");
  EXPECT_STREQ(holder_.GetSectionString("Intro/UnNamedSectionInternal"),
               "Start");
  EXPECT_EQ(holder_.NumberOfSubsections("Intro"), 3);
  EXPECT_EQ(holder_.GetSectionString("Intro"), nullptr);  // now a container
  EXPECT_TRUE(holder_.AppendToSection("Intro/Scope", "more"));
  EXPECT_EQ(holder_.IsModified(), 1);
  EXPECT_STREQ(holder_.GetSectionString("Intro/Scope"), "Where\nmore");
  EXPECT_TRUE(holder_.ModifySection("Results/Targets/Hot", "new"));
  EXPECT_STREQ(holder_.GetSectionTitle("Results/Targets/Hot"), "Hot");
  EXPECT_TRUE(holder_.DeleteSection(nullptr, "Intro"));
  EXPECT_STREQ(holder_.GetReport(),
               "\n\n1 Results\nR\n\n1.1 Targets\nT\n\n1.1.1 Hot\nnew");
}

TEST_F(ReportHolderTest, RefusalsLeaveTheReportAsItWas) {
  ASSERT_TRUE(holder_.AddSection(nullptr, "A", "a"));
  ASSERT_TRUE(holder_.AddSection(nullptr, "Box", nullptr));
  holder_.GetRoot()->AddChild("Fixed", CVValue::kFixed, "f");
  const std::string before = holder_.GetReport();
  const std::pair<const char*, hresult> refusals[] = {
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
  for (const auto& [what, result] : refusals)
    EXPECT_EQ(result, kRejected) << what;
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

// testdata/report_holder.golden both ways. The chunk is closed: inside its
// owner's chunk a recall replaces the tree and reads on, and so does a skip.
TEST_F(ReportHolderTest, StoredReportIsTheDocumentedClosedChunk) {
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
  EXPECT_TRUE(fixed && fixed->GetType() == CVValue::kFixed &&
              fixed->GetText() == "f");

  StoreInOuterChunk([&](PemarBinaryFile& f) { return holder_.Store(&f); });
  ASSERT_TRUE(recalled.AddSection(nullptr, "Old", "gone"));
  EXPECT_TRUE(RecallFromOuterChunk(&recalled));
  EXPECT_STREQ(recalled.GetReport(), holder_.GetReport());
  EXPECT_TRUE(RecallFromOuterChunk(nullptr));
}

// A chain of sections, each inside the one before, too deep fails the recall
// and leaves the tree as it was.
TEST_F(ReportHolderTest, TreeNestedTooDeepIsNotRecalled) {
  ASSERT_TRUE(holder_.AddSection(nullptr, "Old", "o"));
  for (int levels : {100000, 3}) {
    std::string tree("\x01\x00\0\0\0\0", 6);
    for (int i = 0; i < levels; ++i)
      tree += std::string("\1\0\0\0\1\0\0\0n\x40\0\1\0\0\0x", 16);
    tree += std::string(4, '\0');
    StoreInOuterChunk([&](PemarBinaryFile& f) {
      ChunkHeader* report = nullptr;
      return f.CreateChunk(&report, 1) &&
             f.Write(tree.data(), static_cast<unsigned>(tree.size())) &&
             f.CloseChunk(report);
    });
    EXPECT_EQ(RecallFromOuterChunk(&holder_), levels == 3);
    EXPECT_STREQ(
        holder_.GetReport(),
        levels == 3 ? "\n\n1 n\nx\n\n1.1 n\nx\n\n1.1.1 n\nx" : "\n\n1 Old\no");
  }
}

TEST(ItemReportTest, KeepsItsFieldsAndNoRelations) {
  ItemReport item;
  item._set_strTableTitle("Streams");
  item._set_nReportType(3);
  EXPECT_EQ(item._get_strTableTitle(), "Streams");
  EXPECT_EQ(item._get_nReportType(), 3);
  EXPECT_EQ(item.GetClass(), 6);

  std::unique_ptr<Createable> made(item.CreateInstance());
  auto* fresh = dynamic_cast<ItemReport*>(made.get());
  ASSERT_NE(fresh, nullptr);
  EXPECT_EQ(fresh->_get_strTableTitle(), "");
  EXPECT_EQ(fresh->_get_nReportType(), 0);

  EXPECT_TRUE(item.AddRelation(fresh) == 0 && item.RemoveRelation(fresh) == 0);
  for (Navigable* none : {item.CreateNode(), item.GetRoot(),
                          item.TraverseStep(fresh), item.GetFirstRelatedNode()})
    EXPECT_EQ(none, nullptr);
}

}  // namespace
}  // namespace pemar
