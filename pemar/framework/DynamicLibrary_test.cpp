#include "pemar/framework/DynamicLibrary.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <tuple>

#include "pemar/framework/Messages.h"
#include "pemar/framework/Platform.h"

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

// The empty test library libplant.so (plant.dll on Windows) sits beside this
// program. Copies planted in the current folder are never loaded, neither
// through the system's search nor as a name with a folder; when the program's
// folder is unknown (no full path) the load is refused with a message.
TEST(SystemLibraryLoaderTest, NeverLoadsALibraryPlantedInTheCurrentFolder) {
  namespace fs = std::filesystem;
  const fs::path plant =
      BuildFilePath(Text()).str() + NativeLibraryName("PLANT.DLL");
  ASSERT_TRUE(fs::exists(plant))
      << "build the test library beside this program";
  const fs::path dir =
      fs::temp_directory_path() /
      ("pemar-planted-" +
       std::to_string(std::hash<std::string>{}(plant.string())));
  fs::remove_all(dir);
  fs::create_directories(dir / "sub");
  for (const char* name : {"PLANTED.DLL", "sub/PLANTED.DLL"}) {
    fs::copy_file(plant, dir / NativeLibraryName(name));
  }
  const fs::path previous = fs::current_path();
  fs::current_path(dir);
  RecordingMessageSink messages;
  ScopedMessageSink sink(&messages);
  // The program's folder ("" the real one), the library, whether it loads.
  const std::tuple<const char*, const char*, bool> rows[] = {
      {"", "PLANT.DLL", true},
      {"", "PLANTED.DLL", false},
      {"", "sub/PLANTED.DLL", false},
      {".", "PLANTED.DLL", false}};
  for (const auto& [folder, name, loads] : rows) {
    SCOPED_TRACE(std::string(folder) + " " + name);
    SetExecutableFolder(folder);
    messages.Clear();
    void* library = LibraryLoader::System()->Load(name);
    EXPECT_EQ(library != nullptr, loads);
    EXPECT_EQ(messages.Has(MessageKind::kError, "UnknownProgramFolder"),
              *folder == '.');
    if (library != nullptr) LibraryLoader::System()->Free(library);
  }
  SetExecutableFolder(Text());
  fs::current_path(previous);
  fs::remove_all(dir);
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
