#include "pemar/framework/RegistryFile.h"

#include <cctype>
#include <cstdlib>
#include <memory>
#include <vector>

#include "pemar/framework/FileSystem.h"
#include "pemar/framework/Text.h"

namespace pemar {
namespace {

bool EqualNoCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

bool ReadRegistryBytes(const std::string& path, std::string* bytes) {
  std::unique_ptr<ReadableFile> file =
      FileSystem::Default()->NewReadableFile(path);
  if (!file) return false;
  std::uint64_t size = file->Size();
  bytes->assign(static_cast<std::size_t>(size), '\0');
  return size == 0 || file->ReadAt(0, bytes->data(), bytes->size()) ==
                          static_cast<std::int64_t>(size);
}

// Reads a quoted text starting at line[*at] == '"', undoing \\ and \".
// Leaves *at after the closing quote; false when there is none.
bool ReadQuoted(const std::string& line, std::size_t* at, std::string* out) {
  out->clear();
  for (std::size_t i = *at + 1; i < line.size(); ++i) {
    char c = line[i];
    if (c == '\\' && i + 1 < line.size()) {
      out->push_back(line[++i]);
    } else if (c == '"') {
      *at = i + 1;
      return true;
    } else {
      out->push_back(c);
    }
  }
  return false;
}

// The key path of a section of the local-machine hive; false for other
// hives and for lines that are no section.
bool LocalMachineKey(const std::string& line, std::string* key) {
  if (line.size() < 2 || line.front() != '[' || line.back() != ']') {
    return false;
  }
  std::string path = line.substr(1, line.size() - 2);
  std::size_t cut = path.find('\\');
  std::string hive = path.substr(0, cut);
  if (!EqualNoCase(hive, "HKEY_LOCAL_MACHINE") && !EqualNoCase(hive, "HKLM")) {
    return false;
  }
  *key = cut == std::string::npos ? std::string() : path.substr(cut + 1);
  return true;
}

bool IsFile(const std::string& path) {
  return !path.empty() && FileSystem::Default()->FileExists(path);
}

}  // namespace

RegistryRead RegistryFile::ReadString(const std::string& key,
                                      const std::string& name,
                                      std::string* value) {
  if (value == nullptr) return RegistryRead::kMissing;
  std::string bytes;
  if (!ReadRegistryBytes(path_.empty() ? LocateRegistryFile() : path_,
                         &bytes)) {
    return RegistryRead::kMissing;
  }
  if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) bytes.erase(0, 3);

  RegistryRead result = RegistryRead::kMissing;
  std::string found;
  bool in_key = false;
  for (const Text& raw : Text(bytes).Lines()) {
    std::string line = raw.Trimmed().str();
    std::string section;
    if (!line.empty() && line.front() == '[') {
      in_key = LocalMachineKey(line, &section) && EqualNoCase(section, key);
      continue;
    }
    if (!in_key || line.empty()) continue;
    std::string value_name;
    std::size_t at = 0;
    if (line[0] == '@') {
      at = 1;
    } else if (line[0] != '"' || !ReadQuoted(line, &at, &value_name)) {
      continue;
    }
    if (at >= line.size() || line[at] != '=' ||
        !EqualNoCase(value_name, name)) {
      continue;
    }
    ++at;
    if (at < line.size() && line[at] == '"') {
      std::string text;
      if (!ReadQuoted(line, &at, &text)) continue;
      found = std::move(text);
      result = RegistryRead::kFound;
    } else {
      result = RegistryRead::kNotString;
    }
  }
  if (result == RegistryRead::kFound) *value = std::move(found);
  return result;
}

std::string LocateRegistryFile() {
  if (const char* named = std::getenv("PEMAR_REGISTRY_FILE");
      named != nullptr && *named != '\0' && IsFile(named)) {
    return named;
  }
  std::string user;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg) {
    user = std::string(xdg) + "/pemar/registry.reg";
  } else if (const char* home = std::getenv("HOME"); home && *home) {
    user = std::string(home) + "/.config/pemar/registry.reg";
  }
  if (IsFile(user)) return user;
  const std::string system = "/etc/pemar/registry.reg";
  return IsFile(system) ? system : std::string();
}

}  // namespace pemar
