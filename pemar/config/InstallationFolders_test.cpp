#include "pemar/config/InstallationFolders.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "pemar/config/testing/ConfigTestSupport.h"
#include "pemar/framework/Registry.h"
#include "pemar/framework/RegistryFile.h"

namespace pemar {
namespace {

constexpr char kWindowsKey[] = "Software\\Microsoft\\Windows\\CurrentVersion";
constexpr char kKelvarKey[] = "Software\\Quillon\\Kelvar";

class InstallationFoldersTest : public test_support::ConfigTest {
 protected:
  // GetCommonFilesDir into a buffer of `size` bytes prefilled with '#': its
  // result and the buffer's bytes.
  static std::pair<char, std::string> Common(int size) {
    std::string buffer(64, '#');
    char ok = GetCommonFilesDir(buffer.data(), size);
    return {ok, buffer};
  }

  MemoryRegistry registry_;
  ScopedRegistry installed_{&registry_};
};

TEST_F(InstallationFoldersTest, CopiesOnlyPlainStringsThatFitWithTerminator) {
  const std::pair<char, std::string> refused(0, std::string(64, '#'));
  // Ten bytes without a terminator: 10 bytes are too few, 11 are enough.
  registry_.SetString(kWindowsKey, "CommonFilesDir", "C:\\Commons");
  EXPECT_EQ(Common(10), refused);
  EXPECT_EQ(Common(11),
            std::make_pair(char{1}, "C:\\Commons" + std::string(1, '\0') +
                                        std::string(53, '#')));
  EXPECT_EQ(Common(0), refused);
  EXPECT_EQ(GetCommonFilesDir(nullptr, 11), 0);
  registry_.SetOther(kWindowsKey, "CommonFilesDir");
  EXPECT_EQ(Common(64), refused);
  registry_.Clear();
  EXPECT_EQ(Common(64), refused);

  registry_.SetString(kKelvarKey, "DataDir", "/opt/kelvar");
  char buffer[32] = "x";
  EXPECT_EQ(GetKELVARDir("datadir", buffer, sizeof buffer), 1);
  EXPECT_STREQ(buffer, "/opt/kelvar");
  EXPECT_EQ(GetKELVARDir("Other", buffer, sizeof buffer), 0);
  EXPECT_EQ(GetKELVARDir(nullptr, buffer, sizeof buffer), 0);
}

TEST_F(InstallationFoldersTest, RegistryFileReadsAnExport) {
  fs_.SetFile("registry.reg",
              "\xEF\xBB\xBFWindows Registry Editor Version 5.00\r\n"
              "\r\n"
              "[HKEY_CURRENT_USER\\Software\\Quillon\\Kelvar]\r\n"
              "\"DataDir\"=\"user hive\"\r\n"
              "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Quillon\\Kelvar]\r\n"
              "; the thermodynamics package\r\n"
              "\"DataDir\"=\"C:\\\\Kelvar \\\"7\\\"\\\\data\"\r\n"
              "\"Build\"=dword:00000042\r\n"
              "@=\"default\"\r\n"
              "[HKLM\\Software\\Microsoft\\Windows\\CurrentVersion]\r\n"
              "\"CommonFilesDir\"=\"/usr/share/common\"\r\n");
  const struct {
    const char* key;
    const char* name;
    RegistryRead read;
    const char* value;
  } rows[] = {
      {kKelvarKey, "DataDir", RegistryRead::kFound, "C:\\Kelvar \"7\"\\data"},
      {kKelvarKey, "Build", RegistryRead::kNotString, "unchanged"},
      {kKelvarKey, "", RegistryRead::kFound, "default"},
      {kKelvarKey, "Missing", RegistryRead::kMissing, "unchanged"},
      {kWindowsKey, "CommonFilesDir", RegistryRead::kFound,
       "/usr/share/common"},
      {"Software\\Quillon", "DataDir", RegistryRead::kMissing, "unchanged"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    std::string value = "unchanged";
    EXPECT_EQ(
        RegistryFile("registry.reg").ReadString(row.key, row.name, &value),
        row.read);
    EXPECT_EQ(value, row.value);
  }
  std::string value;
  EXPECT_EQ(
      RegistryFile("absent.reg").ReadString(kKelvarKey, "DataDir", &value),
      RegistryRead::kMissing);

  // Installed as the registry, and located through the environment.
#if defined(_WIN32)
  _putenv_s("PEMAR_REGISTRY_FILE", "registry.reg");
#else
  setenv("PEMAR_REGISTRY_FILE", "registry.reg", 1);
#endif
  EXPECT_EQ(LocateRegistryFile(), "registry.reg");
  RegistryFile located;
  ScopedRegistry installed(&located);
  char buffer[32];
  EXPECT_EQ(GetCommonFilesDir(buffer, sizeof buffer), 1);
  EXPECT_STREQ(buffer, "/usr/share/common");
  EXPECT_EQ(GetCommonFilesDir(buffer, 17), 0);
#if defined(_WIN32)
  _putenv_s("PEMAR_REGISTRY_FILE", "");
#else
  unsetenv("PEMAR_REGISTRY_FILE");
#endif
}

}  // namespace
}  // namespace pemar
