#include "pemar/case/FlowsheetExportFileLocation.h"

#include <gtest/gtest.h>

#include <string>

#include "pemar/framework/FileSystem.h"
#include "pemar/framework/MemoryFileSystem.h"
#include "pemar/framework/Platform.h"

namespace pemar {
namespace {

// The cases folder beside the program is made, entered and left again; its
// parts are joined with the platform's separator, a '%' in the program's
// folder is taken as it is, and names taken by a case are skipped. A given
// name is kept and makes no folder.
TEST(FlowsheetExportFileLocationTest, ProposesTheFirstFreeNameInCasesFolder) {
  MemoryFileSystem fs;
  ScopedFileSystem scope(&fs);
  const std::string sep(1, kPathSeparator), bin = "/opt/a%sb%n/bin";
  const std::string cases = bin + sep + "cases";
  SetExecutableFolder(Text(bin));
  ASSERT_TRUE(fs.CreateDirectory(bin));
  ASSERT_TRUE(fs.SetCurrentDirectory("/opt"));
  Text name("/elsewhere/plant.kcs"), directory("old");
  FlowsheetExportFileLocation(name, directory);
  EXPECT_EQ(name.str(), "/elsewhere/plant.kcs");
  EXPECT_EQ(directory.str(), bin + sep);
  EXPECT_FALSE(fs.DirectoryExists(cases));
  EXPECT_EQ(CasesFolder().str(), cases);

  for (const char* expected : {"noname0.kcs", "noname2.kcs"}) {
    name = Text();
    FlowsheetExportFileLocation(name, directory);
    EXPECT_EQ(name.str(), cases + sep + expected);
    EXPECT_TRUE(fs.DirectoryExists(cases));
    std::string current;
    ASSERT_TRUE(fs.GetCurrentDirectory(&current));
    EXPECT_EQ(current, "/opt");
    // Another type of the same name does not take it.
    for (const char* taken : {"noname0.kcs", "noname1.kcs", "noname2.tmp"}) {
      fs.SetFile(cases + sep + taken, "x");
    }
  }
  SetExecutableFolder(Text());
}

}  // namespace
}  // namespace pemar
