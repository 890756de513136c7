#include "pemar/config/InstallationFolders.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "pemar/config/testing/ConfigTestSupport.h"
#include "pemar/framework/RegistryFile.h"
#include "tests/support/ScopedEnvironment.h"

namespace pemar {
namespace {

// The registry is testdata/registry.reg, a registry export, located through
// the environment.
class InstallationFoldersTest : public test_support::ConfigTest {
 protected:
  void SetUp() override {
    ConfigTest::SetUp();
    std::ifstream in(PEMAR_SOURCE_DIR "/pemar/config/testdata/registry.reg",
                     std::ios::binary);
    fs_.SetFile("registry.reg", {std::istreambuf_iterator<char>(in), {}});
  }

  test_support::ScopedEnvironmentVariable registry_file_{"PEMAR_REGISTRY_FILE",
                                                         "registry.reg"};
  RegistryFile registry_;
  ScopedRegistry installed_{&registry_};
};

// A folder is copied with its terminator only when it fits; a refusal leaves
// the buffer untouched. Value names ignore case, only local-machine sections
// count (the current user's "DataDir" is not read), and values of other
// types are refused.
TEST_F(InstallationFoldersTest, CopiesOnlyPlainStringsThatFitWithTerminator) {
  const std::tuple<const char*, int, const char*> rows[] = {
      {nullptr, 17, nullptr},
      {nullptr, 18, "/usr/share/common"},
      {nullptr, 0, nullptr},
      {nullptr, -1, nullptr},
      {"DataDir", 18, nullptr},
      {"DataDir", 19, "C:\\Kelvar \"7\"\\data"},
      {"datadir", 32, "C:\\Kelvar \"7\"\\data"},
      {"", 32, "default"},
      {"Build", 32, nullptr},
      {"Missing", 32, nullptr}};
  for (const auto& [name, size, copied] : rows) {
    SCOPED_TRACE(::testing::Message() << (name ? name : "common") << size);
    std::string buffer(32, '#');
    EXPECT_EQ(name ? GetKELVARDir(name, buffer.data(), size)
                   : GetCommonFilesDir(buffer.data(), size),
              copied != nullptr);
    std::string want = copied ? std::string(copied) + '\0' : "";
    EXPECT_EQ(buffer, want + std::string(32 - want.size(), '#'));
  }
  EXPECT_EQ(GetCommonFilesDir(nullptr, 32), 0);
  char buffer[32];
  EXPECT_EQ(GetKELVARDir(nullptr, buffer, sizeof buffer), 0);
}

}  // namespace
}  // namespace pemar
