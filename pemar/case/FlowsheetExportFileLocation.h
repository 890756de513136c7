// The default name and folder of a new case file.
//
// A case that has no file yet is proposed a name in the "cases" folder
// beside the program: "noname0.kcs", "noname1.kcs" and so on, the first that
// is not taken. Files are looked for through FileSystem::Default().

#ifndef PEMAR_CASE_FLOWSHEETEXPORTFILELOCATION_H_
#define PEMAR_CASE_FLOWSHEETEXPORTFILELOCATION_H_

#include "pemar/framework/Export.h"
#include "pemar/framework/Text.h"

namespace pemar {

// Sets `directory` to the program's folder (BuildFilePath("Executable"),
// ending with the separator). When `fileName` is empty, also makes sure the
// cases folder exists (creating it when it cannot be entered, one level)
// and sets `fileName` to the first free name
// <cases folder>/noname<i>.kcs, i = 0, 1, 2 ... A non-empty `fileName` is
// left alone. The process's current folder is the same afterwards. Should
// the first 100,000 names all be taken, `fileName` stays empty.
PEMAR_EXPORT void FlowsheetExportFileLocation(Text& fileName, Text& directory);

// The cases folder: the program's folder followed by "cases", without a
// trailing separator.
PEMAR_EXPORT Text CasesFolder();

}  // namespace pemar

#endif  // PEMAR_CASE_FLOWSHEETEXPORTFILELOCATION_H_
