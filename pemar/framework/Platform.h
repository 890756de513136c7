// The process and its files: the command line, the program's folder, file
// types and their extensions, and today's date.

#ifndef PEMAR_FRAMEWORK_PLATFORM_H_
#define PEMAR_FRAMEWORK_PLATFORM_H_

#include <string>

#include "pemar/framework/Export.h"
#include "pemar/framework/Text.h"

namespace pemar {

// The separator between folder and file names on this platform.
#if defined(_WIN32)
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

// The folder with this platform's separator appended, unless it is empty or
// already ends with a separator. Windows takes '/' as well as '\\', so a
// folder written either way there gains nothing.
PEMAR_EXPORT std::string WithTrailingSeparator(std::string folder);

// The process command line: the program path and its arguments separated by
// blanks. By default the real one; SetCommandLine replaces it (for embedding
// programs and tests), and an empty text restores the real one.
PEMAR_EXPORT Text GetCommandLine();
PEMAR_EXPORT void SetCommandLine(const Text& commandLine);

// The folder of a named place, ending with the separator. "Executable" and
// the empty name give the program's folder; every other name gives the same
// folder too. When the program's folder cannot be found, the current folder
// stands in for it. SetExecutableFolder replaces the program's folder (for
// tests); an empty text restores the real one.
PEMAR_EXPORT Text BuildFilePath(const Text& name);
PEMAR_EXPORT void SetExecutableFolder(const Text& folder);
// The program's folder, ending with the separator, as SetExecutableFolder
// left it; empty when it cannot be found, never the current folder in its
// place. For code that must not take a file from the current folder, such as
// the loading of libraries.
PEMAR_EXPORT Text ExecutableFolder();

// The extension (without the dot) of a file type: "SIM" is "kcs", "*" means
// all files, and every other type is its own name in lower case ("HUD" gives
// "hud", "BK0" gives "bk0").
PEMAR_EXPORT Text ExtensionForFileType(const Text& type);
// The file type of an extension (without the dot): the reverse of
// ExtensionForFileType, "kcs" (in any case) is "SIM" and every other
// extension is its own name in upper case.
PEMAR_EXPORT Text FileTypeForExtension(const Text& extension);

// A document's file name: a full path whose extension follows its file
// type.
class PEMAR_EXPORT FileName {
 public:
  FileName() = default;
  explicit FileName(const Text& path) : path_(path) {}

  const Text& Path() const { return path_; }
  void SetPath(const Text& path) {
    path_ = path;
    temp_name_ = false;
  }
  // Replaces the extension by that of `type`; a name without extension
  // gets it appended ("Case" with "SIM" becomes "Case.kcs").
  void SetFileType(const Text& type);
  // The file type of the name's extension: "kcs" gives "SIM", any other
  // extension itself in upper case ("bk0" gives "BK0"); empty when the name
  // has no extension.
  Text FileType() const;
  // The last path component, with its extension.
  Text NameAndExtension() const;
  bool ExistsOnDisk() const;
  // True for the extensions of temporary and backup files ("tmp", "bk0" to
  // "bk9"), which a document must not keep as its own name.
  bool HasReservedExtension() const;
  // Marks the name as temporary, so that the next save asks for a name.
  void SetTempName() { temp_name_ = true; }
  bool IsTempName() const { return temp_name_; }

 private:
  Text path_;
  bool temp_name_ = false;
};

// Today's date as "MM/DD/YY", in local time.
PEMAR_EXPORT Text TodayDate();

// The operating system's name and release ("Linux 6.1.0", "Windows 10.0"),
// and the free system resources ("2048 MB of memory free"), as a problem
// report shows them. SetSystemTexts replaces both (for tests); empty texts
// restore the real ones.
PEMAR_EXPORT Text OperatingSystemText();
PEMAR_EXPORT Text FreeResourcesText();
PEMAR_EXPORT void SetSystemTexts(const Text& operatingSystem,
                                 const Text& freeResources);

}  // namespace pemar

#endif  // PEMAR_FRAMEWORK_PLATFORM_H_
