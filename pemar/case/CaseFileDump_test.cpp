#include "pemar/case/CaseFileDump.h"

#include <gtest/gtest.h>

#include <string>

#include "pemar/case/testing/CaseTestSupport.h"

namespace pemar {
namespace {

class CaseFileDumpTest : public test_support::CaseTest {
 protected:
  // Saves a case with one project of two notes as plant.kcs.
  void SavePlant() {
    auto plant = NewCase("plant.kcs");
    AddProject(*plant, "Crude unit", 2);
    plant->SetModified(true);
    ASSERT_TRUE(plant->SaveDocument(0));
  }
};

TEST_F(CaseFileDumpTest, MissingFileIsNotDescribed) {
  CaseFileDump dump;
  EXPECT_FALSE(DumpCaseFile(Path("missing.kcs"), &dump));
}

// Cut anywhere, the file is still described, its damage listed: a problem
// in the chunk tree or a case header that was never confirmed.
TEST_F(CaseFileDumpTest, TruncatedCaseListsItsDamage) {
  SavePlant();
  const std::string bytes = Bytes("plant.kcs");
  for (std::size_t size = 0; size < bytes.size(); size += 7) {
    WriteBytes("cut.kcs", bytes.substr(0, size));
    CaseFileDump dump;
    ASSERT_TRUE(DumpCaseFile(Path("cut.kcs"), &dump)) << size;
    EXPECT_TRUE(!dump.scan.problems.empty() || !dump.header.confirmed ||
                !dump.header.is_case)
        << size;
  }
}

TEST_F(CaseFileDumpTest, WholeCaseNamesItsSectionsAndObjects) {
  SavePlant();
  CaseFileDump dump;
  ASSERT_TRUE(DumpCaseFile(Path("plant.kcs"), &dump));
  EXPECT_TRUE(dump.header.is_case && dump.header.readable &&
              dump.header.confirmed);
  EXPECT_TRUE(dump.scan.problems.empty());
  ASSERT_EQ(dump.sections.size(), 3u);
  EXPECT_EQ(dump.sections[0].name, "header fields");
  EXPECT_EQ(dump.sections[1].name, "engineering objects");
  ASSERT_EQ(dump.sections[1].labels.size(), 1u);
  EXPECT_EQ(dump.sections[1].labels[0], "type 701 (notes project)");
  EXPECT_EQ(dump.sections[2].name, "framework objects");
}

TEST_F(CaseFileDumpTest, OtherFilesHaveNoCaseHeader) {
  WriteBytes("notes.txt", "not chunked at all");
  CaseFileDump dump;
  ASSERT_TRUE(DumpCaseFile(Path("notes.txt"), &dump));
  EXPECT_FALSE(dump.header.is_case);
  EXPECT_TRUE(dump.sections.empty());
}

}  // namespace
}  // namespace pemar
