#include "pemar/framework/DynamicLibrary.h"

#include <cctype>

#include "pemar/framework/FileSystem.h"
#include "pemar/framework/Platform.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace pemar {

LibraryLoader::~LibraryLoader() = default;

namespace {

#if defined(_WIN32)

class SystemLoader final : public LibraryLoader {
 public:
  void* Load(const std::string& name) override {
    HMODULE library = LoadLibraryA(name.c_str());
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
    std::string file = NativeLibraryName(name);
    if (file.find('/') == std::string::npos) {
      std::string beside = BuildFilePath(Text()).str() + file;
      if (FileSystem::Posix()->FileExists(beside)) {
        void* library = ::dlopen(beside.c_str(), kOpenFlags);
        if (library != nullptr) return library;
      }
    }
    return ::dlopen(file.c_str(), kOpenFlags);
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
