// DynamicLibrary: loading the suite's sibling libraries while the program
// runs.
//
// The program configuration loads the libraries its features need by their
// Windows names ("VELTRA.DLL"), calls an entry point of each and frees them
// again. It does so through the process-wide LibraryLoader: the operating
// system's (LoadLibraryA, GetProcAddress and FreeLibrary on Windows; dlopen,
// dlsym and dlclose elsewhere) unless a test installed another, for example
// one that counts loads.
//
// Libraries are taken only from the program's folder, by full path, or
// through the system's own search, which never looks in the current folder
// (a file planted there is never loaded). When the program's folder is
// unknown, a library that is not named by a full path is refused and
// "UnknownProgramFolder" is shown with its name.
//
// Otherwise all operations report failure by their result alone; none
// throws.

#ifndef PEMAR_FRAMEWORK_DYNAMICLIBRARY_H_
#define PEMAR_FRAMEWORK_DYNAMICLIBRARY_H_

#include <string>

#include "pemar/framework/Export.h"

namespace pemar {

// An exported function of a loaded library, to be cast to its real type.
using LibraryFunction = void (*)();

class PEMAR_EXPORT LibraryLoader {
 public:
  virtual ~LibraryLoader();

  // Loads the library `name` and returns a handle for it, or null when it
  // cannot be loaded. Loading a library that is loaded already returns a
  // handle to the same library; each successful Load is balanced by one
  // Free.
  virtual void* Load(const std::string& name) = 0;
  // The exported function `symbol` of the loaded library `library`; null
  // when it has none of that name or `library` is null.
  virtual LibraryFunction FindFunction(void* library,
                                       const std::string& symbol) = 0;
  // Releases one Load of `library`; false for null or when the system
  // refuses. The handle must not be used afterwards.
  virtual bool Free(void* library) = 0;

  // The process-wide loader: the operating system's unless a test installed
  // another with SetDefault. Never null.
  static LibraryLoader* Default();
  // Installs `loader` (not owned; null restores the system's). Returns the
  // previous one.
  static LibraryLoader* SetDefault(LibraryLoader* loader);
  // The operating system's loader. It loads NativeLibraryName(name): a full
  // path as it is; any other name from the program's folder
  // (ExecutableFolder in Platform.h) followed by the name, and then, for a
  // name without a folder, through the system's safe search (on Windows
  // LoadLibraryExA with LOAD_LIBRARY_SEARCH_APPLICATION_DIR and
  // LOAD_LIBRARY_SEARCH_DEFAULT_DIRS; elsewhere dlopen's search). A freed
  // library's code stays mapped, so functions it registered stay valid.
  static LibraryLoader* System();
};

// The file name under which this platform keeps the library that the suite
// names `name`. On Windows the name itself. Elsewhere a name ending in ".dll"
// (in any case) becomes "lib" + its stem in lower case + ".so", keeping any
// folder ("VELTRA.DLL" is "libveltra.so", "bin/Korbin.dll" is
// "bin/libkorbin.so"); other names are kept as they are.
PEMAR_EXPORT std::string NativeLibraryName(const std::string& name);

// Puts a loader in place for the life of the guard.
class PEMAR_EXPORT ScopedLibraryLoader {
 public:
  explicit ScopedLibraryLoader(LibraryLoader* loader)
      : previous_(LibraryLoader::SetDefault(loader)) {}
  ~ScopedLibraryLoader() { LibraryLoader::SetDefault(previous_); }
  ScopedLibraryLoader(const ScopedLibraryLoader&) = delete;
  ScopedLibraryLoader& operator=(const ScopedLibraryLoader&) = delete;

 private:
  LibraryLoader* previous_;
};

}  // namespace pemar

#endif  // PEMAR_FRAMEWORK_DYNAMICLIBRARY_H_
