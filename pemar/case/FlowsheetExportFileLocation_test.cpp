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

// The cases folder is joined with '/', a '%' in the program's folder is
// taken as it is, and taken names are skipped.
TEST_F(FlowsheetExportFileLocationTest, FirstFreeNameInCasesFolder) {
  const std::string bin = (root_ / "a%sb%n" / "bin").string();
  std::filesystem::create_directories(bin);
  SetExecutableFolder(Text(bin));

  Text name, directory;
  FlowsheetExportFileLocation(name, directory);
  EXPECT_EQ(directory.str(), bin + "/");
  EXPECT_EQ(name.str(), bin + "/cases/noname0.kcs");
  EXPECT_TRUE(std::filesystem::is_directory(bin + "/cases"));
  EXPECT_EQ(name.str().find('\\'), std::string::npos);
  EXPECT_EQ(std::filesystem::current_path(), before_);
  EXPECT_EQ(CasesFolder().str(), bin + "/cases");

  std::ofstream(bin + "/cases/noname0.kcs") << "x";
  std::ofstream(bin + "/cases/noname1.kcs") << "x";
  // Another type of the same name does not take it.
  std::ofstream(bin + "/cases/noname2.tmp") << "x";
  name = Text();
  FlowsheetExportFileLocation(name, directory);
  EXPECT_EQ(name.str(), bin + "/cases/noname2.kcs");
  EXPECT_EQ(std::filesystem::current_path(), before_);
}

TEST_F(FlowsheetExportFileLocationTest, GivenNameIsKeptAndDirectorySet) {
  const std::string bin = (root_ / "bin").string();
  std::filesystem::create_directories(bin);
  SetExecutableFolder(Text(bin));
  Text name("/elsewhere/plant.kcs"), directory("old");
  FlowsheetExportFileLocation(name, directory);
  EXPECT_EQ(name.str(), "/elsewhere/plant.kcs");
  EXPECT_EQ(directory.str(), bin + "/");
  EXPECT_FALSE(std::filesystem::exists(bin + "/cases"));
}

TEST_F(FlowsheetExportFileLocationTest,
       CurrentFolderRestoredThroughFileSystem) {
  MemoryFileSystem fs;
  ScopedFileSystem scope(&fs);
  SetExecutableFolder(Text("/opt/app/bin"));
  ASSERT_TRUE(fs.CreateDirectory("/opt/app/bin"));
  ASSERT_TRUE(fs.SetCurrentDirectory("/opt"));
  fs.SetFile("/opt/app/bin/cases/noname0.kcs", "x");

  Text name, directory;
  FlowsheetExportFileLocation(name, directory);
  EXPECT_EQ(name.str(), "/opt/app/bin/cases/noname1.kcs");
  EXPECT_TRUE(fs.DirectoryExists("/opt/app/bin/cases"));
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
