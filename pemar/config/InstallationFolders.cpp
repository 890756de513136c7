#include "pemar/config/InstallationFolders.h"

#include <cstring>
#include <string>

#include "pemar/framework/Registry.h"

namespace pemar {
namespace {

char ReadFolder(const char* key, const char* valueName, char* buffer,
                int size) {
  if (size < 1 || buffer == nullptr || valueName == nullptr) return 0;
  std::string value;
  if (Registry::Default()->ReadString(key, valueName, &value) !=
      RegistryRead::kFound) {
    return 0;
  }
  // A stored string need not end at its terminator, nor have one; take it
  // up to the first zero and copy only what fits with a terminator.
  std::size_t length = value.find('\0');
  if (length == std::string::npos) length = value.size();
  if (length + 1 > static_cast<std::size_t>(size)) return 0;
  std::memcpy(buffer, value.data(), length);
  buffer[length] = '\0';
  return 1;
}

}  // namespace

char GetCommonFilesDir(char* buffer, int size) {
  return ReadFolder("Software\\Microsoft\\Windows\\CurrentVersion",
                    "CommonFilesDir", buffer, size);
}

char GetKELVARDir(const char* valueName, char* buffer, int size) {
  return ReadFolder("Software\\Quillon\\Kelvar", valueName, buffer, size);
}

}  // namespace pemar
