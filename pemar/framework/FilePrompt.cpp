#include "pemar/framework/FilePrompt.h"

#include <utility>

namespace pemar {
namespace {

FilePicker& InstalledFilePicker() {
  static FilePicker* picker = new FilePicker;
  return *picker;
}

}  // namespace

void FNPromptStruct::AddFilter(const Text& description, const Text& type) {
  filters.emplace_back(description, type);
}

void SetFilePicker(FilePicker picker) { InstalledFilePicker() = std::move(picker); }

ScopedFilePicker::ScopedFilePicker(FilePicker picker)
    : previous_(std::exchange(InstalledFilePicker(), std::move(picker))) {}

ScopedFilePicker::~ScopedFilePicker() { InstalledFilePicker() = std::move(previous_); }

Text PickFile(const Text& title, const Text& defaultExtension,
              const FileFilters& filters, const Text& proposedName) {
  const FilePicker& picker = InstalledFilePicker();
  if (!picker) return Text();
  return picker(title, defaultExtension, filters, proposedName);
}

}  // namespace pemar
