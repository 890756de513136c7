// RegistryFile: registry values kept in a plain-text file, for platforms
// without a registry.
//
// The file is written as a registry export writes it (ASCII or UTF-8, an
// optional byte-order mark):
//
//   Windows Registry Editor Version 5.00
//
//   [HKEY_LOCAL_MACHINE\Software\Quillon\Kelvar]
//   "DataDir"="/opt/kelvar/data"
//   "Build"=dword:00000042
//
// A section names the hive and the key path; only sections of
// HKEY_LOCAL_MACHINE (also written HKLM) count. Each value line is "Name"
// (or @ for the key's default value), '=', and either a quoted plain string
// (in which \\ stands for \ and \" for ") or a value of another type (dword:,
// hex:, hex(2):, ...; such values are found but are not plain strings).
// Lines starting with ';' or '#' and blank lines are ignored, as are other
// lines. Key and value names are compared ignoring the case of ASCII
// letters. When a value appears twice, the later one counts.
//
// The file is read at every ReadString, so edits take effect at once.

#ifndef PEMAR_FRAMEWORK_REGISTRYFILE_H_
#define PEMAR_FRAMEWORK_REGISTRYFILE_H_

#include <string>

#include "pemar/framework/Export.h"
#include "pemar/framework/Registry.h"

namespace pemar {

class PEMAR_EXPORT RegistryFile final : public Registry {
 public:
  // Reads the file at `path`; an empty path locates the file on every read
  // with LocateRegistryFile.
  explicit RegistryFile(std::string path = std::string())
      : path_(std::move(path)) {}

  // kMissing also when the file is absent or unreadable.
  RegistryRead ReadString(const std::string& key, const std::string& name,
                          std::string* value) override;

 private:
  std::string path_;
};

// Where the registry file is: the file named by the environment variable
// PEMAR_REGISTRY_FILE when it is set and not empty; else "pemar/registry.reg"
// in the user's configuration folder ($XDG_CONFIG_HOME, or ~/.config) when
// that file exists; else the system-wide /etc/pemar/registry.reg. The first
// that exists is the answer; empty when none does.
PEMAR_EXPORT std::string LocateRegistryFile();

}  // namespace pemar

#endif  // PEMAR_FRAMEWORK_REGISTRYFILE_H_
