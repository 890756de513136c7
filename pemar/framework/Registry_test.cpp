#include "pemar/framework/Registry.h"

#include <gtest/gtest.h>

#include <string>

#if defined(_WIN32)
#include <windows.h>
#endif

#include "pemar/framework/MemoryFileSystem.h"
#include "tests/support/ScopedEnvironment.h"

namespace pemar {
namespace {

constexpr const char* kKey = "Software\\PemarTests\\Kelvar";

// Reads from a registry that holds under kKey "Folder", the plain string
// "C:\Kelvar 7", "Build", a number, and "Expanding", a string with variables
// to expand.
void ExpectPlainStringsOnly(Registry* registry) {
  struct Case {
    const char* key;
    const char* name;
    RegistryRead result;
  };
  for (const Case& c : {
           Case{kKey, "Folder", RegistryRead::kFound},
           Case{"SOFTWARE\\pemartests\\KELVAR", "FOLDER", RegistryRead::kFound},
           Case{kKey, "Build", RegistryRead::kNotString},
           Case{kKey, "Expanding", RegistryRead::kNotString},
           Case{kKey, "NoSuchValue", RegistryRead::kMissing},
           Case{"Software\\PemarTests\\NoSuchKey", "Folder",
                RegistryRead::kMissing},
       }) {
    SCOPED_TRACE(std::string(c.key) + " " + c.name);
    std::string value = "untouched";
    EXPECT_EQ(registry->ReadString(c.key, c.name, &value), c.result);
    EXPECT_EQ(value,
              c.result == RegistryRead::kFound ? "C:\\Kelvar 7" : "untouched");
  }
  EXPECT_EQ(registry->ReadString(kKey, "Folder", nullptr),
            RegistryRead::kMissing);
}

TEST(RegistryTest, MemoryRegistryReadsPlainStringsOnly) {
  MemoryRegistry registry;
  registry.SetString(kKey, "Folder", "C:\\Kelvar 7");
  registry.SetOther(kKey, "Build");
  registry.SetOther(kKey, "Expanding");
  ExpectPlainStringsOnly(&registry);
}

#if defined(_WIN32)
TEST(RegistryTest, SystemRegistryReadsPlainStringsOnly) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_SET_VALUE,
                      nullptr, &key, nullptr) != ERROR_SUCCESS) {
    GTEST_SKIP() << "no right to write the local-machine hive";
  }
  struct Cleanup {
    ~Cleanup() { RegDeleteTreeA(HKEY_LOCAL_MACHINE, "Software\\PemarTests"); }
  } cleanup;
  const char folder[] = "C:\\Kelvar 7";
  const char expanding[] = "%ProgramFiles%\\Kelvar";
  DWORD build = 1207;
  auto set = [&](const char* name, DWORD type, const void* data, DWORD size) {
    return RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data),
                          size) == ERROR_SUCCESS;
  };
  bool ok = set("Folder", REG_SZ, folder, sizeof(folder)) &&
            set("Build", REG_DWORD, &build, sizeof(build)) &&
            set("Expanding", REG_EXPAND_SZ, expanding, sizeof(expanding));
  RegCloseKey(key);
  ASSERT_TRUE(ok);
  ExpectPlainStringsOnly(Registry::System());
}
#endif

TEST(RegistryTest, SystemRegistryIsTheDefaultUnlessReplaced) {
  // Away from Windows the system registry is this test's own, empty registry
  // file, whatever registry file the machine or the user has.
  MemoryFileSystem files;
  files.SetFile("empty.reg", "");
  ScopedFileSystem scoped_files(&files);
  test_support::ScopedEnvironmentVariable registry_file("PEMAR_REGISTRY_FILE",
                                                        "empty.reg");
  MemoryRegistry memory;
  memory.SetString(kKey, "Folder", "D:\\Kelvar");
  std::string value;
  {
    ScopedRegistry scoped(&memory);
    EXPECT_EQ(Registry::Default()->ReadString(kKey, "Folder", &value),
              RegistryRead::kFound);
    EXPECT_EQ(value, "D:\\Kelvar");
  }
  EXPECT_EQ(Registry::Default(), Registry::System());
  // Every Windows keeps its common files folder here; elsewhere the system
  // registry finds nothing.
  RegistryRead common = Registry::System()->ReadString(
      "Software\\Microsoft\\Windows\\CurrentVersion", "CommonFilesDir", &value);
#if defined(_WIN32)
  EXPECT_EQ(common, RegistryRead::kFound);
  EXPECT_NE(value.find("Common Files"), std::string::npos) << value;
#else
  EXPECT_EQ(common, RegistryRead::kMissing);
#endif
}

}  // namespace
}  // namespace pemar
