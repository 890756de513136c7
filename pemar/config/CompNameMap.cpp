#include "pemar/config/CompNameMap.h"

#include <memory>
#include <string>

#include "pemar/framework/FileSystem.h"

namespace pemar {

CompNameDictionary* getMyORVEXCompNameDict() {
  // Destroyed with the library's other statics when it unloads.
  static CompNameDictionary map;
  return &map;
}

bool LoadCompNameMap(const Text& path) {
  CompNameDictionary& map = *getMyORVEXCompNameDict();
  map.clear();
  std::unique_ptr<ReadableFile> file =
      FileSystem::Default()->NewReadableFile(path.str());
  if (!file) return false;
  std::string bytes(static_cast<std::size_t>(file->Size()), '\0');
  if (!bytes.empty() && file->ReadAt(0, bytes.data(), bytes.size()) !=
                            static_cast<std::int64_t>(bytes.size())) {
    return false;
  }
  for (Text line : Text(bytes).Lines()) {
    Text key = line.Token();
    if (key.IsEmpty()) break;
    map.emplace(key, line);
  }
  return true;
}

namespace {
// Filled at load from the folder current then.
[[maybe_unused]] const bool kCompNameMapLoaded =
    (LoadCompNameMap("CompNameMap.dat"), true);
}  // namespace

}  // namespace pemar
