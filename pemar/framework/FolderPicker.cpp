#include "pemar/framework/FolderPicker.h"

#include <utility>

namespace pemar {
namespace {

FolderPicker& InstalledFolderPicker() {
  static FolderPicker* picker = new FolderPicker;
  return *picker;
}

}  // namespace

void SetFolderPicker(FolderPicker picker) { InstalledFolderPicker() = std::move(picker); }

FolderChoice PickFolder(const Text& title, const Text& filter) {
  const FolderPicker& picker = InstalledFolderPicker();
  if (!picker) return FolderChoice{Text(), Text("No folder chosen")};
  return picker(title, filter);
}

}  // namespace pemar
