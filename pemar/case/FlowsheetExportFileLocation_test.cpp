#include "pemar/case/FlowsheetExportFileLocation.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "pemar/framework/FileSystem.h"
#include "pemar/framework/MemoryFileSystem.h"
#include "pemar/framework/Platform.h"

namespace pemar {
namespace {

class FlowsheetExportFileLocationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ =
        std::filesystem::temp_directory_path() /
        ("pemar-noname-" +
         std::string(
             ::testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::filesystem::remove_all(root_);
    std::filesystem::create_directories(root_);
    before_ = std::filesystem::current_path();
  }
  void TearDown() override {
    SetExecutableFolder(Text());
    std::filesystem::current_path(before_);
    std::filesystem::remove_all(root_);
  }

  std::filesystem::path root_;
  std::filesystem::path before_;
};

// The platform's separator between names.
const std::string kSep(1, kPathSeparator);

// The cases folder is joined with the platform's separator, a '%' in the
// program's folder is taken as it is, and taken names are skipped.
TEST_F(FlowsheetExportFileLocationTest, FirstFreeNameInCasesFolder) {
  const std::string bin = (root_ / "a%sb%n" / "bin").string();
  const std::string cases = bin + kSep + "cases";
  std::filesystem::create_directories(bin);
  SetExecutableFolder(Text(bin));

  Text name, directory;
  FlowsheetExportFileLocation(name, directory);
  EXPECT_EQ(directory.str(), bin + kSep);
  EXPECT_EQ(name.str(), cases + kSep + "noname0.kcs");
  EXPECT_TRUE(std::filesystem::is_directory(cases));
  EXPECT_EQ(std::filesystem::current_path(), before_);
  EXPECT_EQ(CasesFolder().str(), cases);

  std::ofstream(cases + kSep + "noname0.kcs") << "x";
  std::ofstream(cases + kSep + "noname1.kcs") << "x";
  // Another type of the same name does not take it.
  std::ofstream(cases + kSep + "noname2.tmp") << "x";
  name = Text();
  FlowsheetExportFileLocation(name, directory);
  EXPECT_EQ(name.str(), cases + kSep + "noname2.kcs");
  EXPECT_EQ(std::filesystem::current_path(), before_);
}

TEST_F(FlowsheetExportFileLocationTest, GivenNameIsKeptAndDirectorySet) {
  const std::string bin = (root_ / "bin").string();
  std::filesystem::create_directories(bin);
  SetExecutableFolder(Text(bin));
  Text name("/elsewhere/plant.kcs"), directory("old");
  FlowsheetExportFileLocation(name, directory);
  EXPECT_EQ(name.str(), "/elsewhere/plant.kcs");
  EXPECT_EQ(directory.str(), bin + kSep);
  EXPECT_FALSE(std::filesystem::exists(bin + kSep + "cases"));
}

TEST_F(FlowsheetExportFileLocationTest,
       CurrentFolderRestoredThroughFileSystem) {
  MemoryFileSystem fs;
  ScopedFileSystem scope(&fs);
  SetExecutableFolder(Text("/opt/app/bin"));
  ASSERT_TRUE(fs.CreateDirectory("/opt/app/bin"));
  ASSERT_TRUE(fs.SetCurrentDirectory("/opt"));
  // The library joins with the platform's separator; the in-memory file
  // system takes a backslash as part of a name.
  const std::string cases = "/opt/app/bin" + kSep + "cases";
  fs.SetFile(cases + kSep + "noname0.kcs", "x");

  Text name, directory;
  FlowsheetExportFileLocation(name, directory);
  EXPECT_EQ(name.str(), cases + kSep + "noname1.kcs");
  EXPECT_TRUE(fs.DirectoryExists(cases));
  std::string current;
  ASSERT_TRUE(fs.GetCurrentDirectory(&current));
  EXPECT_EQ(current, "/opt");

  // An existing cases folder is entered and left again.
  name = Text();
  FlowsheetExportFileLocation(name, directory);
  ASSERT_TRUE(fs.GetCurrentDirectory(&current));
  EXPECT_EQ(current, "/opt");
}

}  // namespace
}  // namespace pemar
