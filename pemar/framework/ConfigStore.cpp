#include "pemar/framework/ConfigStore.h"

#include <map>
#include <memory>
#include <string>

#include "pemar/framework/FileSystem.h"

namespace pemar {
namespace {

// Settings files are small; anything larger is not one of ours.
constexpr std::uint64_t kMaxConfigFileSize = std::uint64_t{16} * 1024 * 1024;

struct Store {
  std::map<Text, double> numbers;
  std::map<Text, Text> texts;

  void SetDefaults() {
    numbers.clear();
    texts.clear();
    numbers["NCaseBackups"] = 1;
  }
};

Store& TheStore() {
  static Store* store = [] {
    auto* s = new Store;
    s->SetDefaults();
    return s;
  }();
  return *store;
}

bool ReadWholeFile(const std::string& path, std::string* out) {
  auto file = FileSystem::Default()->NewReadableFile(path);
  if (!file || file->Size() > kMaxConfigFileSize) return false;
  out->resize(static_cast<std::size_t>(file->Size()));
  std::int64_t got = file->ReadAt(0, out->data(), out->size());
  return got == static_cast<std::int64_t>(out->size());
}

}  // namespace

double GetConfigData(const Text& key, double absent) {
  const auto& numbers = TheStore().numbers;
  auto it = numbers.find(key);
  return it == numbers.end() ? absent : it->second;
}

void SetConfigData(const Text& key, double value, int /*flag*/) {
  TheStore().numbers[key] = value;
}

Text GetConfigString(const Text& key, const Text& absent) {
  const auto& texts = TheStore().texts;
  auto it = texts.find(key);
  return it == texts.end() ? absent : it->second;
}

void SetConfigString(const Text& key, const Text& value, int, int, int) {
  TheStore().texts[key] = value;
}

void ResetConfigStore() { TheStore().SetDefaults(); }

bool LoadConfigFile(const Text& path) {
  std::string contents;
  if (!ReadWholeFile(path.str(), &contents)) return false;
  Store parsed = TheStore();
  enum { kNone, kNumbers, kTexts } section = kNone;
  for (const Text& raw : Text(contents).Lines()) {
    Text line = raw.Trimmed();
    if (line.IsEmpty() || line[0] == '#') continue;
    if (line == "[numbers]") {
      section = kNumbers;
      continue;
    }
    if (line == "[texts]") {
      section = kTexts;
      continue;
    }
    std::size_t eq = line.str().find('=');
    if (eq == std::string::npos || section == kNone) return false;
    Text key = Text(line.str().substr(0, eq)).Trimmed();
    Text value = Text(line.str().substr(eq + 1)).Trimmed();
    if (key.IsEmpty()) return false;
    if (section == kNumbers) {
      double number = 0;
      if (!value.ToDouble(&number)) return false;
      parsed.numbers[key] = number;
    } else {
      parsed.texts[key] = value;
    }
  }
  TheStore() = std::move(parsed);
  return true;
}

bool SaveConfigFile(const Text& path) {
  const Store& store = TheStore();
  std::string out = "[numbers]\n";
  for (const auto& [key, value] : store.numbers) {
    out += key.str() + " = " + Text::Format("%.17g", value).str() + "\n";
  }
  out += "[texts]\n";
  for (const auto& [key, value] : store.texts) {
    out += key.str() + " = " + value.str() + "\n";
  }
  return WriteFileAtomically(path.str(), out.data(), out.size());
}

}  // namespace pemar
