// File names are UTF-8 throughout the library. On Windows a narrow name given
// to the C runtime or to std::filesystem is read in the process's ANSI code
// page instead, so names with characters outside it would be mangled; these
// helpers go through the wide-character form there. Elsewhere a name is
// passed on byte for byte.

#ifndef PEMAR_FRAMEWORK_UTF8PATHINTERNAL_H_
#define PEMAR_FRAMEWORK_UTF8PATHINTERNAL_H_

#include <filesystem>
#include <string>
#include <string_view>

namespace pemar {

// The path named by the UTF-8 text `utf8`.
inline std::filesystem::path PathFromUtf8(std::string_view utf8) {
#if defined(_WIN32)
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
#else
  return std::filesystem::path(std::string(utf8));
#endif
}

// The UTF-8 text of `path`.
inline std::string Utf8FromPath(const std::filesystem::path& path) {
#if defined(_WIN32)
  std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
#else
  return path.string();
#endif
}

}  // namespace pemar

#endif  // PEMAR_FRAMEWORK_UTF8PATHINTERNAL_H_
