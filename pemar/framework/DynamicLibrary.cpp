#include "pemar/framework/DynamicLibrary.h"

#include <cctype>
#include <filesystem>

#include "pemar/framework/FileSystem.h"
#include "pemar/framework/Messages.h"
#include "pemar/framework/Platform.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace pemar {

LibraryLoader::~LibraryLoader() = default;

namespace {

// The full path under which `file` is looked for first: `file` itself when
// it is a full path, else the program's folder followed by it. False, with
// the refusal shown, when the program's folder is unknown or no full path:
// the current folder never stands in for it.
bool PathBesideProgram(const std::string& file, std::string* path) {
  if (std::filesystem::path(file).is_absolute()) {
    *path = file;
    return true;
  }
  const std::string folder = ExecutableFolder().str();
  if (!std::filesystem::path(folder).is_absolute()) {
    ErrorMsg("UnknownProgramFolder", {Text(file)});
    return false;
  }
  *path = folder + file;
  return true;
}

// A name without a folder, which the system's own search may find.
bool IsBareName(const std::string& file) {
  return file.find_first_of("/\\") == std::string::npos;
}

#if defined(_WIN32)

class SystemLoader final : public LibraryLoader {
 public:
  void* Load(const std::string& name) override {
    std::string path;
    if (!PathBesideProgram(name, &path)) return nullptr;
    // The library's own folder and the system's for its dependencies; then,
    // for a bare name, the system's safe search: the program's folder and
    // the system folders, never the current folder or PATH.
    HMODULE library = LoadLibraryExA(
        path.c_str(), nullptr,
        LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);
    if (library == nullptr && IsBareName(name)) {
      library = LoadLibraryExA(name.c_str(), nullptr,
                               LOAD_LIBRARY_SEARCH_APPLICATION_DIR |
                                   LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);
    }
    // Pinned, as RTLD_NODELETE does elsewhere: the functions a library
    // registered with this one stay callable after FreeLibrary.
    HMODULE pinned = nullptr;
    if (library != nullptr) {
      GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_PIN |
                             GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                         reinterpret_cast<LPCSTR>(library), &pinned);
    }
    return library;
  }
  LibraryFunction FindFunction(void* library,
                               const std::string& symbol) override {
    if (library == nullptr) return nullptr;
    FARPROC f = GetProcAddress(static_cast<HMODULE>(library), symbol.c_str());
    return reinterpret_cast<LibraryFunction>(f);
  }
  bool Free(void* library) override {
    return library != nullptr && FreeLibrary(static_cast<HMODULE>(library));
  }
};

#else

// A freed library stays mapped (RTLD_NODELETE): the functions it registered
// with this library (creators, builders, features) stay callable after
// dlclose, and a reload finds the same code again.
constexpr int kOpenFlags = RTLD_NOW | RTLD_NODELETE;

class SystemLoader final : public LibraryLoader {
 public:
  void* Load(const std::string& name) override {
    const std::string file = NativeLibraryName(name);
    std::string path;
    if (!PathBesideProgram(file, &path)) return nullptr;
    if (FileSystem::Posix()->FileExists(path)) {
      if (void* library = ::dlopen(path.c_str(), kOpenFlags)) return library;
    }
    // dlopen searches a bare name only in the loader's configured folders,
    // never in the current one.
    return IsBareName(file) ? ::dlopen(file.c_str(), kOpenFlags) : nullptr;
  }
  LibraryFunction FindFunction(void* library,
                               const std::string& symbol) override {
    if (library == nullptr) return nullptr;
    return reinterpret_cast<LibraryFunction>(::dlsym(library, symbol.c_str()));
  }
  bool Free(void* library) override {
    return library != nullptr && ::dlclose(library) == 0;
  }
};

#endif

LibraryLoader* g_installed_loader = nullptr;

}  // namespace

LibraryLoader* LibraryLoader::System() {
  static SystemLoader* loader = new SystemLoader;
  return loader;
}

LibraryLoader* LibraryLoader::Default() {
  return g_installed_loader ? g_installed_loader : System();
}

LibraryLoader* LibraryLoader::SetDefault(LibraryLoader* loader) {
  LibraryLoader* previous = g_installed_loader;
  g_installed_loader = loader;
  return previous;
}

std::string NativeLibraryName(const std::string& name) {
#if defined(_WIN32)
  return name;
#else
  constexpr std::size_t kDll = 4;  // ".dll"
  std::size_t slash = name.rfind('/');
  std::size_t start = slash == std::string::npos ? 0 : slash + 1;
  if (name.size() < start + kDll + 1) return name;
  std::string stem = name.substr(start, name.size() - kDll - start);
  std::string extension = name.substr(name.size() - kDll);
  for (char& c : extension) {
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  if (extension != ".dll") return name;
  for (char& c : stem) {
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  return name.substr(0, start) + "lib" + stem + ".so";
#endif
}

}  // namespace pemar
