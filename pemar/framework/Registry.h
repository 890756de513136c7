// Registry: text values of the local-machine hive of the Windows registry,
// where the suite keeps its installation folders.
//
// Reads go through the process-wide Registry: on Windows the system's
// (RegOpenKeyExA and RegQueryValueExA on HKEY_LOCAL_MACHINE); on other
// platforms, which have no registry, the registry file (RegistryFile.h:
// the same keys and values in a plain-text registry export, found through
// PEMAR_REGISTRY_FILE, the user's or the system's configuration folder).
// Tests and embedding programs install a MemoryRegistry instead.
//
// Only plain strings (REG_SZ) are read; values of every other type, those
// with variables to expand (REG_EXPAND_SZ) included, are refused.

#ifndef PEMAR_FRAMEWORK_REGISTRY_H_
#define PEMAR_FRAMEWORK_REGISTRY_H_

#include <map>
#include <string>
#include <utility>

#include "pemar/framework/Export.h"

namespace pemar {

enum class RegistryRead {
  kFound,      // a plain string, stored
  kMissing,    // no such key or value, or the key cannot be read
  kNotString,  // the value exists but is not a plain string
};

class PEMAR_EXPORT Registry {
 public:
  virtual ~Registry();

  // Reads the value `name` of the key `key` (a path of backslash-separated
  // key names below HKEY_LOCAL_MACHINE, such as
  // "Software\\Microsoft\\Windows\\CurrentVersion"). On kFound stores the
  // text, without its terminating zero, in `*value`; otherwise leaves
  // `*value` as it was. Key and value names are compared ignoring the case
  // of ASCII letters, as Windows does. A null `value` gives kMissing.
  virtual RegistryRead ReadString(const std::string& key,
                                  const std::string& name,
                                  std::string* value) = 0;

  // The process-wide registry: the system's unless another was installed
  // with SetDefault. Never null.
  static Registry* Default();
  // Installs `registry` (not owned; null restores the system's). Returns the
  // previous one.
  static Registry* SetDefault(Registry* registry);
  // The system's registry; on platforms without one the registry file.
  static Registry* System();
};

// A registry held in memory: values are set by the program.
class PEMAR_EXPORT MemoryRegistry final : public Registry {
 public:
  RegistryRead ReadString(const std::string& key, const std::string& name,
                          std::string* value) override;

  // Sets the plain string `name` of `key` to `text`, creating both.
  void SetString(const std::string& key, const std::string& name,
                 const std::string& text);
  // Sets `name` of `key` to a value of a type other than a plain string.
  void SetOther(const std::string& key, const std::string& name);
  // Forgets every value.
  void Clear() { values_.clear(); }

 private:
  struct Value {
    bool is_string = false;
    std::string text;
  };
  // Keyed by (key, name), both in lower case.
  std::map<std::pair<std::string, std::string>, Value> values_;
};

// Puts a registry in place for the life of the guard.
class PEMAR_EXPORT ScopedRegistry {
 public:
  explicit ScopedRegistry(Registry* registry)
      : previous_(Registry::SetDefault(registry)) {}
  ~ScopedRegistry() { Registry::SetDefault(previous_); }
  ScopedRegistry(const ScopedRegistry&) = delete;
  ScopedRegistry& operator=(const ScopedRegistry&) = delete;

 private:
  Registry* previous_;
};

}  // namespace pemar

#endif  // PEMAR_FRAMEWORK_REGISTRY_H_
