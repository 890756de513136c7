#include "pemar/framework/Platform.h"

#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "pemar/framework/FileSystem.h"
#include "pemar/framework/Utf8PathInternal.h"

#if defined(_WIN32)
#include <windows.h>
#undef GetCommandLine
#else
#include <sys/utsname.h>
#include <unistd.h>
#endif

namespace pemar {
namespace {

Text& CommandLineOverride() {
  static Text* text = new Text;
  return *text;
}

Text& ExecutableFolderOverride() {
  static Text* text = new Text;
  return *text;
}

Text& OperatingSystemOverride() {
  static Text* text = new Text;
  return *text;
}

Text& FreeResourcesOverride() {
  static Text* text = new Text;
  return *text;
}

Text RealCommandLine() {
#if defined(_WIN32)
  return Text(GetCommandLineA());
#else
  std::ifstream in("/proc/self/cmdline", std::ios::binary);
  std::string raw((std::istreambuf_iterator<char>(in)),
                  std::istreambuf_iterator<char>());
  while (!raw.empty() && raw.back() == '\0') raw.pop_back();
  for (char& c : raw) {
    if (c == '\0') c = ' ';
  }
  return Text(raw);
#endif
}

Text RealExecutableFolder() {
  std::error_code ec;
#if defined(_WIN32)
  // The wide form, so that a folder name outside the ANSI code page survives;
  // a path longer than the buffer is cut short and falls back as below.
  std::wstring buffer(32768, L'\0');
  DWORD n = GetModuleFileNameW(nullptr, buffer.data(),
                               static_cast<DWORD>(buffer.size()));
  if (n == 0 || n >= buffer.size()) {
    ec = std::make_error_code(std::errc::filename_too_long);
  }
  buffer.resize(n);
  std::filesystem::path exe(buffer);
#else
  std::filesystem::path exe =
      std::filesystem::read_symlink("/proc/self/exe", ec);
#endif
  if (ec) return Text();
  return Text(WithTrailingSeparator(Utf8FromPath(exe.parent_path())));
}

Text CurrentFolder() {
  std::error_code ec;
  std::filesystem::path folder = std::filesystem::current_path(ec);
  return ec ? Text() : Text(WithTrailingSeparator(Utf8FromPath(folder)));
}

}  // namespace

std::string WithTrailingSeparator(std::string folder) {
  if (folder.empty()) return folder;
  const char last = folder.back();
  if (last == '/' || last == kPathSeparator) return folder;
  folder += kPathSeparator;
  return folder;
}

Text GetCommandLine() {
  const Text& set = CommandLineOverride();
  return set.IsEmpty() ? RealCommandLine() : set;
}

void SetCommandLine(const Text& commandLine) {
  CommandLineOverride() = commandLine;
}

Text ExecutableFolder() {
  const Text& set = ExecutableFolderOverride();
  if (set.IsEmpty()) {
    static const Text real = RealExecutableFolder();
    return real;
  }
  return set;
}

Text BuildFilePath(const Text& /*name*/) {
  Text folder = ExecutableFolder();
  if (folder.IsEmpty()) {
    static const Text current = CurrentFolder();
    return current;
  }
  return folder;
}

void SetExecutableFolder(const Text& folder) {
  ExecutableFolderOverride() = Text(WithTrailingSeparator(folder.str()));
}

Text ExtensionForFileType(const Text& type) {
  if (type == "SIM") return "kcs";
  if (type == "*") return "*";
  Text lower = type;
  for (std::size_t i = 0; i < lower.Length(); ++i) {
    char c = lower[i];
    if (c >= 'A' && c <= 'Z') lower[i] = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

Text FileTypeForExtension(const Text& extension) {
  Text upper = extension.Upper();
  return upper == "KCS" ? Text("SIM") : upper;
}

Text FileName::FileType() const {
  std::string ext = Utf8FromPath(PathFromUtf8(path_.str()).extension());
  if (ext.size() <= 1) return Text();
  return FileTypeForExtension(Text(ext.substr(1)));
}

void FileName::SetFileType(const Text& type) {
  std::filesystem::path p = PathFromUtf8(path_.str());
  p.replace_extension(PathFromUtf8(ExtensionForFileType(type).str()));
  path_ = Text(Utf8FromPath(p));
}

Text FileName::NameAndExtension() const {
  return Text(Utf8FromPath(PathFromUtf8(path_.str()).filename()));
}

bool FileName::ExistsOnDisk() const {
  return !path_.IsEmpty() && FileSystem::Default()->FileExists(path_.str());
}

bool FileName::HasReservedExtension() const {
  std::string ext = Utf8FromPath(PathFromUtf8(path_.str()).extension());
  if (ext == ".tmp") return true;
  return ext.size() == 4 && ext[1] == 'b' && ext[2] == 'k' && ext[3] >= '0' &&
         ext[3] <= '9';
}

Text TodayDate() {
  std::time_t now = std::time(nullptr);
  std::tm tm{};
#if defined(_WIN32)
  localtime_s(&tm, &now);
#else
  localtime_r(&now, &tm);
#endif
  char buffer[16];
  std::strftime(buffer, sizeof(buffer), "%m/%d/%y", &tm);
  return Text(buffer);
}

Text OperatingSystemText() {
  if (!OperatingSystemOverride().IsEmpty()) return OperatingSystemOverride();
#if defined(_WIN32)
  // The release number needs a manifest to be told truly; the name serves.
  return Text("Windows");
#else
  struct utsname name {};
  if (uname(&name) != 0) return Text("Unknown system");
  return Text(name.sysname) + " " + Text(name.release);
#endif
}

Text FreeResourcesText() {
  if (!FreeResourcesOverride().IsEmpty()) return FreeResourcesOverride();
  unsigned long long bytes = 0;
#if defined(_WIN32)
  MEMORYSTATUSEX status{};
  status.dwLength = sizeof status;
  if (GlobalMemoryStatusEx(&status)) bytes = status.ullAvailPhys;
#else
  const long pages = sysconf(_SC_AVPHYS_PAGES);
  const long page = sysconf(_SC_PAGESIZE);
  if (pages > 0 && page > 0) {
    bytes = static_cast<unsigned long long>(pages) *
            static_cast<unsigned long long>(page);
  }
#endif
  return Text::Format("%llu MB of memory free", bytes >> 20);
}

void SetSystemTexts(const Text& operatingSystem, const Text& freeResources) {
  OperatingSystemOverride() = operatingSystem;
  FreeResourcesOverride() = freeResources;
}

}  // namespace pemar
