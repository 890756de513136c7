#include "pemar/framework/Registry.h"

#include <cctype>
#include <vector>

#include "pemar/framework/RegistryFile.h"

#if defined(_WIN32)
#include <windows.h>
#endif

namespace pemar {

Registry::~Registry() = default;

namespace {

#if defined(_WIN32)

class SystemRegistry final : public Registry {
 public:
  RegistryRead ReadString(const std::string& key, const std::string& name,
                          std::string* value) override {
    if (value == nullptr) return RegistryRead::kMissing;
    HKEY opened = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_QUERY_VALUE,
                      &opened) != ERROR_SUCCESS) {
      return RegistryRead::kMissing;
    }
    RegistryRead result = Query(opened, name, value);
    RegCloseKey(opened);
    return result;
  }

 private:
  static RegistryRead Query(HKEY opened, const std::string& name,
                            std::string* value) {
    // The value may change between asking its size and reading it; a value
    // that grew in between is asked for again.
    for (int attempt = 0; attempt < 4; ++attempt) {
      DWORD type = 0;
      DWORD size = 0;
      if (RegQueryValueExA(opened, name.c_str(), nullptr, &type, nullptr,
                           &size) != ERROR_SUCCESS) {
        return RegistryRead::kMissing;
      }
      if (type != REG_SZ) return RegistryRead::kNotString;
      std::vector<char> data(size + 1, '\0');
      DWORD got = size;
      LONG rc = RegQueryValueExA(opened, name.c_str(), nullptr, &type,
                                 reinterpret_cast<BYTE*>(data.data()), &got);
      if (rc == ERROR_MORE_DATA) continue;
      if (rc != ERROR_SUCCESS) return RegistryRead::kMissing;
      if (type != REG_SZ) return RegistryRead::kNotString;
      // The stored bytes usually, but not always, end with the terminator.
      std::string text(data.data(), got);
      while (!text.empty() && text.back() == '\0') text.pop_back();
      *value = std::move(text);
      return RegistryRead::kFound;
    }
    return RegistryRead::kMissing;
  }
};

#else

// No registry here: the same keys and values come from the registry file.
using SystemRegistry = RegistryFile;

#endif

std::string Lower(const std::string& text) {
  std::string out = text;
  for (char& c : out) {
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  return out;
}

Registry* g_installed_registry = nullptr;

}  // namespace

Registry* Registry::System() {
  static SystemRegistry* registry = new SystemRegistry;
  return registry;
}

Registry* Registry::Default() { return g_installed_registry ? g_installed_registry : System(); }

Registry* Registry::SetDefault(Registry* registry) {
  Registry* previous = g_installed_registry;
  g_installed_registry = registry;
  return previous;
}

RegistryRead MemoryRegistry::ReadString(const std::string& key,
                                        const std::string& name,
                                        std::string* value) {
  if (value == nullptr) return RegistryRead::kMissing;
  auto it = values_.find({Lower(key), Lower(name)});
  if (it == values_.end()) return RegistryRead::kMissing;
  if (!it->second.is_string) return RegistryRead::kNotString;
  *value = it->second.text;
  return RegistryRead::kFound;
}

void MemoryRegistry::SetString(const std::string& key, const std::string& name,
                               const std::string& text) {
  values_[{Lower(key), Lower(name)}] = Value{true, text};
}

void MemoryRegistry::SetOther(const std::string& key, const std::string& name) {
  values_[{Lower(key), Lower(name)}] = Value{false, std::string()};
}

}  // namespace pemar
