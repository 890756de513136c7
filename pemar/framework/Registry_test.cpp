#include "pemar/framework/Registry.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#if defined(_WIN32)
#include <windows.h>
#endif

namespace pemar {
namespace {

constexpr const char* kKey = "Software\\PemarTests\\Kelvar";

// Fills a registry with the values the reads below expect: "Folder" a plain
// string, "Build" a number, "Expanding" a string with variables to expand.
// The parameter of the test says which: true the system's.
class RegistryFiller {
 public:
  virtual ~RegistryFiller() = default;
  // The registry to read, or null with a reason in `*why` when this
  // platform cannot hold the values.
  virtual Registry* Fill(std::string* why) = 0;
};

class MemoryFiller final : public RegistryFiller {
 public:
  Registry* Fill(std::string*) override {
    registry_.SetString(kKey, "Folder", "C:\\Kelvar 7");
    registry_.SetOther(kKey, "Build");
    registry_.SetOther(kKey, "Expanding");
    return &registry_;
  }

 private:
  MemoryRegistry registry_;
};

#if defined(_WIN32)
// Writes the values into the real registry, under a key of its own that it
// deletes again.
class SystemFiller final : public RegistryFiller {
 public:
  ~SystemFiller() override {
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, "Software\\PemarTests");
  }
  Registry* Fill(std::string* why) override {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_SET_VALUE,
                        nullptr, &key, nullptr) != ERROR_SUCCESS) {
      *why = "no right to write the local-machine hive";
      return nullptr;
    }
    const char folder[] = "C:\\Kelvar 7";
    const char expanding[] = "%ProgramFiles%\\Kelvar";
    DWORD build = 1207;
    bool ok = RegSetValueExA(key, "Folder", 0, REG_SZ,
                             reinterpret_cast<const BYTE*>(folder),
                             sizeof(folder)) == ERROR_SUCCESS &&
              RegSetValueExA(key, "Build", 0, REG_DWORD,
                             reinterpret_cast<const BYTE*>(&build),
                             sizeof(build)) == ERROR_SUCCESS &&
              RegSetValueExA(key, "Expanding", 0, REG_EXPAND_SZ,
                             reinterpret_cast<const BYTE*>(expanding),
                             sizeof(expanding)) == ERROR_SUCCESS;
    RegCloseKey(key);
    if (!ok) *why = "the test values could not be written";
    return ok ? Registry::System() : nullptr;
  }
};
#endif

class RegistryReadTest : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
#if defined(_WIN32)
    if (GetParam()) filler_ = std::make_unique<SystemFiller>();
#endif
    if (!filler_) filler_ = std::make_unique<MemoryFiller>();
    std::string why;
    registry_ = filler_->Fill(&why);
    if (registry_ == nullptr) GTEST_SKIP() << why;
  }

  std::unique_ptr<RegistryFiller> filler_;
  Registry* registry_ = nullptr;
};

TEST_P(RegistryReadTest, ReadsPlainStringsOnly) {
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
    EXPECT_EQ(registry_->ReadString(c.key, c.name, &value), c.result);
    EXPECT_EQ(value,
              c.result == RegistryRead::kFound ? "C:\\Kelvar 7" : "untouched");
  }
  EXPECT_EQ(registry_->ReadString(kKey, "Folder", nullptr),
            RegistryRead::kMissing);
}

// The system registry holds values only on Windows; elsewhere it finds
// nothing (below).
#if defined(_WIN32)
#define PEMAR_REGISTRIES ::testing::Bool()
#else
#define PEMAR_REGISTRIES ::testing::Values(false)
#endif
INSTANTIATE_TEST_SUITE_P(MemoryAndSystem, RegistryReadTest, PEMAR_REGISTRIES,
                         [](const ::testing::TestParamInfo<bool>& info) {
                           return info.param ? "System" : "Memory";
                         });

TEST(RegistryTest, SystemRegistryIsTheDefaultUnlessReplaced) {
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
  // Every Windows keeps its common files folder here; elsewhere only a
  // registry file could hold it, and the test machines have none.
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
