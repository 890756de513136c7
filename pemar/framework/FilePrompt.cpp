#include "pemar/framework/FilePrompt.h"

namespace pemar {
namespace {

FilePicker& Picker() {
  static FilePicker* picker = new FilePicker;
  return *picker;
}

}  // namespace

void FNPromptStruct::AddFilter(const Text& description, const Text& type) {
  filters.emplace_back(description, type);
}

void SetFilePicker(FilePicker picker) { Picker() = std::move(picker); }

Text PickFile(const Text& title, const Text& defaultExtension,
              const FileFilters& filters, const Text& proposedName) {
  const FilePicker& picker = Picker();
  if (!picker) return Text();
  return picker(title, defaultExtension, filters, proposedName);
}

}  // namespace pemar
