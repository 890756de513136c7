// File prompts: what a document fills in for the framework's open and
// save-as dialogs, and the file picker that asks the user for a name.
//
// A document's GetOpenFilenamePrompt / GetSaveAsFilenamePrompt fill an
// FNPromptStruct: a maker of the file header that the dialog uses to
// recognise files, the dialog's mode (5 open, 53 save as), the default file
// type, the title and the filters (description, file type), in the order
// they were added.
//
// The file picker stands in for the framework's file dialog: a function of
// the title, the default extension, the filters (description, file type)
// and the proposed name that answers the chosen name, or the empty text when
// the user cancelled. By default it always cancels; tests and programs
// install their own.

#ifndef PEMAR_FRAMEWORK_FILEPROMPT_H_
#define PEMAR_FRAMEWORK_FILEPROMPT_H_

#include <functional>
#include <utility>
#include <vector>

#include "pemar/framework/Export.h"
#include "pemar/framework/Text.h"

namespace pemar {

class PackedBinaryFileHeader;

// (description, file type) pairs offered by a file dialog, in order.
using FileFilters = std::vector<std::pair<Text, Text>>;

struct PEMAR_EXPORT FNPromptStruct {
  // Makes a new header, owned by the caller; null when none is set.
  using HeaderMaker = PackedBinaryFileHeader* (*)();

  HeaderMaker header_maker = nullptr;
  int mode = 0;
  Text default_type;
  Text title;
  // (description, file type) pairs, in the order added.
  FileFilters filters;

  void AddFilter(const Text& description, const Text& type);
};

// Asks for a file name; returns the empty text when cancelled.
using FilePicker =
    std::function<Text(const Text& title, const Text& defaultExtension,
                       const FileFilters& filters, const Text& proposedName)>;
// Installs `picker`; an empty function restores the default, which cancels.
PEMAR_EXPORT void SetFilePicker(FilePicker picker);

// Puts `picker` in place for the life of the guard, then brings back the
// picker that was installed before it.
class PEMAR_EXPORT ScopedFilePicker {
 public:
  explicit ScopedFilePicker(FilePicker picker);
  ~ScopedFilePicker();
  ScopedFilePicker(const ScopedFilePicker&) = delete;
  ScopedFilePicker& operator=(const ScopedFilePicker&) = delete;

 private:
  FilePicker previous_;
};

PEMAR_EXPORT Text PickFile(const Text& title, const Text& defaultExtension,
                           const FileFilters& filters,
                           const Text& proposedName);

}  // namespace pemar

#endif  // PEMAR_FRAMEWORK_FILEPROMPT_H_
