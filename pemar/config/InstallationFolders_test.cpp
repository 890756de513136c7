#include "pemar/config/InstallationFolders.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "pemar/config/testing/ConfigTestSupport.h"
#include "pemar/framework/Registry.h"
#include "pemar/framework/RegistryFile.h"

namespace pemar {
namespace {

constexpr char kWindowsKey[] = "Software\\Microsoft\\Windows\\CurrentVersion";
constexpr char kKelvarKey[] = "Software\\Quillon\\Kelvar";

// Sets (or, for null, removes) an environment variable.
void SetEnvironment(const char* name, const char* value) {
#if defined(_WIN32)
  _putenv_s(name, value ? value : "");
#else
  if (value) {
    setenv(name, value, 1);
  } else {
    unsetenv(name);
  }
#endif
}

class InstallationFoldersTest : public test_support::ConfigTest {
 protected:
  // Calls GetCommonFilesDir into a buffer of `size` bytes prefilled with
  // '#'; returns the result and the buffer's bytes.
  static std::pair<char, std::string> Common(int size) {
    std::string buffer(64, '#');
    char ok = GetCommonFilesDir(buffer.data(), size);
    return {ok, buffer};
  }

  MemoryRegistry registry_;
  ScopedRegistry installed_{&registry_};
};

TEST_F(InstallationFoldersTest, CopiesOnlyPlainStringsThatFitWithTerminator) {
  const std::string untouched(64, '#');
  // Ten bytes without a terminator: 10 bytes are too few, 11 are enough.
  registry_.SetString(kWindowsKey, "CommonFilesDir", "C:\\Commons");
  EXPECT_EQ(Common(10), std::make_pair(char{0}, untouched));
  auto [ok, buffer] = Common(11);
  EXPECT_EQ(ok, 1);
  EXPECT_STREQ(buffer.c_str(), "C:\\Commons");
  EXPECT_EQ(buffer.substr(11), untouched.substr(11));

  EXPECT_EQ(Common(0), std::make_pair(char{0}, untouched));
  EXPECT_EQ(GetCommonFilesDir(nullptr, 11), 0);

  registry_.SetOther(kWindowsKey, "CommonFilesDir");
  EXPECT_EQ(Common(64), std::make_pair(char{0}, untouched));
  registry_.Clear();
  EXPECT_EQ(Common(64), std::make_pair(char{0}, untouched));
}

TEST_F(InstallationFoldersTest, KelvarFoldersByValueName) {
  registry_.SetString(kKelvarKey, "DataDir", "/opt/kelvar");
  char buffer[32] = "x";
  EXPECT_EQ(GetKELVARDir("datadir", buffer, sizeof buffer), 1);
  EXPECT_STREQ(buffer, "/opt/kelvar");
  EXPECT_EQ(GetKELVARDir("Other", buffer, sizeof buffer), 0);
  EXPECT_EQ(GetKELVARDir(nullptr, buffer, sizeof buffer), 0);
}

TEST_F(InstallationFoldersTest, RegistryFileReadsAnExport) {
  WriteFile(Path("registry.reg"),
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
  RegistryFile file(Path("registry.reg"));
  struct Row {
    const char* key;
    const char* name;
    RegistryRead read;
    const char* value;
  };
  const Row rows[] = {
      {kKelvarKey, "DataDir", RegistryRead::kFound, "C:\\Kelvar \"7\"\\data"},
      {kKelvarKey, "Build", RegistryRead::kNotString, "unchanged"},
      {kKelvarKey, "", RegistryRead::kFound, "default"},
      {kKelvarKey, "Missing", RegistryRead::kMissing, "unchanged"},
      {kWindowsKey, "CommonFilesDir", RegistryRead::kFound,
       "/usr/share/common"},
      {"Software\\Quillon", "DataDir", RegistryRead::kMissing, "unchanged"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::string value = "unchanged";
    EXPECT_EQ(file.ReadString(row.key, row.name, &value), row.read);
    EXPECT_EQ(value, row.value);
  }
  std::string value;
  EXPECT_EQ(RegistryFile(Path("absent.reg"))
                .ReadString(kKelvarKey, "DataDir", &value),
            RegistryRead::kMissing);

  // Installed as the registry, and located through the environment.
  SetEnvironment("PEMAR_REGISTRY_FILE", Path("registry.reg").c_str());
  EXPECT_EQ(LocateRegistryFile(), Path("registry.reg"));
  RegistryFile located;
  ScopedRegistry installed(&located);
  char buffer[32];
  EXPECT_EQ(GetCommonFilesDir(buffer, sizeof buffer), 1);
  EXPECT_STREQ(buffer, "/usr/share/common");
  EXPECT_EQ(GetCommonFilesDir(buffer, 17), 0);
  SetEnvironment("PEMAR_REGISTRY_FILE", nullptr);
}

}  // namespace
}  // namespace pemar
