#include "pemar/config/InstallationFolders.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "pemar/config/testing/ConfigTestSupport.h"
#include "pemar/framework/Registry.h"
#include "pemar/framework/RegistryFile.h"

namespace pemar {
namespace {

using test_support::Row;
using test_support::Rows;

// The registry is testdata/registry.reg, located through the environment.
class InstallationFoldersTest : public test_support::ConfigTest {
 protected:
  void SetUp() override {
    ConfigTest::SetUp();
    std::ifstream in(PEMAR_SOURCE_DIR "/pemar/config/testdata/registry.reg",
                     std::ios::binary);
    fs_.SetFile("registry.reg", {std::istreambuf_iterator<char>(in), {}});
    putenv(const_cast<char*>("PEMAR_REGISTRY_FILE=registry.reg"));
  }
  // An empty name counts as none.
  void TearDown() override {
    putenv(const_cast<char*>("PEMAR_REGISTRY_FILE="));
  }

  RegistryFile registry_;
  ScopedRegistry installed_{&registry_};
};

TEST_F(InstallationFoldersTest, RegistryFileReadsAnExport) {
  EXPECT_EQ(LocateRegistryFile(), "registry.reg");
  for (const Row& r : Rows("registry.csv", "read")) {
    SCOPED_TRACE(r[1]);
    std::string value = "unchanged";
    EXPECT_EQ(registry_.ReadString(r[0], r[1], &value),
              static_cast<RegistryRead>(r.Int(2)));
    EXPECT_EQ(value, r[3]);
  }
  std::string value;
  EXPECT_EQ(RegistryFile("absent.reg").ReadString("Software", "x", &value),
            RegistryRead::kMissing);
}

TEST_F(InstallationFoldersTest, CopiesOnlyPlainStringsThatFitWithTerminator) {
  for (const Row& r : Rows("registry.csv", "folder")) {
    SCOPED_TRACE(r[0] + " in " + r[1] + " bytes");
    std::string buffer(32, '#');
    EXPECT_EQ(r[0].empty()
                  ? GetCommonFilesDir(buffer.data(), r.Int(1))
                  : GetKELVARDir(r[0].c_str(), buffer.data(), r.Int(1)),
              r.Int(2));
    std::string copied = r.Int(2) ? r[3] + '\0' : "";
    EXPECT_EQ(buffer, copied + std::string(32 - copied.size(), '#'));
  }
  EXPECT_EQ(GetCommonFilesDir(nullptr, 32), 0);
  char buffer[32];
  EXPECT_EQ(GetKELVARDir(nullptr, buffer, sizeof buffer), 0);
}

}  // namespace
}  // namespace pemar
