#include "pemar/framework/DynamicLibrary.h"

#include <gtest/gtest.h>

namespace pemar {
namespace {

// A library every system has, with a function whose answer is known.
#if defined(_WIN32)
constexpr const char* kMathLibrary = "msvcrt.dll";
#else
constexpr const char* kMathLibrary = "libm.so.6";
#endif

TEST(SystemLibraryLoaderTest, LoadsFindsCallsAndFrees) {
  LibraryLoader* loader = LibraryLoader::System();
  void* library = loader->Load(kMathLibrary);
  ASSERT_NE(library, nullptr);
  auto cosine = reinterpret_cast<double (*)(double)>(
      loader->FindFunction(library, "cos"));
  ASSERT_NE(cosine, nullptr);
  EXPECT_EQ(cosine(0.0), 1.0);
  EXPECT_EQ(loader->FindFunction(library, "NoSuchFunction"), nullptr);
  EXPECT_TRUE(loader->Free(library));
}

TEST(SystemLibraryLoaderTest, MissingLibrariesAndNullHandlesFail) {
  LibraryLoader* loader = LibraryLoader::System();
  EXPECT_EQ(loader->Load("NOSUCHLIBRARY.DLL"), nullptr);
  EXPECT_EQ(loader->FindFunction(nullptr, "SetupDLL"), nullptr);
  EXPECT_FALSE(loader->Free(nullptr));
}

TEST(NativeLibraryNameTest, MapsWindowsNamesToThisPlatform) {
  struct Case {
    const char* name;
    const char* elsewhere;  // the file name on platforms other than Windows
  };
  for (const Case& c : {
           Case{"VELTRA.DLL", "libveltra.so"},
           Case{"Korbin.dll", "libkorbin.so"},
           Case{"bin/TRELLOB.Dll", "bin/libtrellob.so"},
           Case{"libm.so.6", "libm.so.6"},
           Case{".dll", ".dll"},
           Case{"PEMARX", "PEMARX"},
       }) {
#if defined(_WIN32)
    EXPECT_EQ(NativeLibraryName(c.name), c.name);
#else
    EXPECT_EQ(NativeLibraryName(c.name), c.elsewhere) << c.name;
#endif
  }
}

}  // namespace
}  // namespace pemar
