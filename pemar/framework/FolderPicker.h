// The folder dialog: asks the user for a folder.
//
// It stands in for the framework's folder dialog: a function of the title
// and the file filter that answers the chosen folder (empty when the user
// chose none) and the dialog's own text (what it reports, for example why
// nothing was chosen). By default it always answers no folder; tests and
// programs install their own.

#ifndef PEMAR_FRAMEWORK_FOLDERPICKER_H_
#define PEMAR_FRAMEWORK_FOLDERPICKER_H_

#include <functional>

#include "pemar/framework/Export.h"
#include "pemar/framework/Text.h"

namespace pemar {

struct PEMAR_EXPORT FolderChoice {
  Text folder;       // empty when none was chosen
  Text dialog_text;  // the dialog's text
};

using FolderPicker =
    std::function<FolderChoice(const Text& title, const Text& filter)>;
// Installs `picker`; an empty function restores the default.
PEMAR_EXPORT void SetFolderPicker(FolderPicker picker);
PEMAR_EXPORT FolderChoice PickFolder(const Text& title, const Text& filter);

}  // namespace pemar

#endif  // PEMAR_FRAMEWORK_FOLDERPICKER_H_
