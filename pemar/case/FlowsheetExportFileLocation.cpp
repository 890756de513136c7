#include "pemar/case/FlowsheetExportFileLocation.h"

#include <string>

#include "pemar/framework/FileSystem.h"
#include "pemar/framework/Platform.h"

namespace pemar {
namespace {

// Beyond this many taken names the folder is not a place for new cases;
// the bound keeps a folder full of names (or a file system that says every
// name exists) from holding the program.
constexpr int kMaxNames = 100000;

}  // namespace

Text CasesFolder() {
  return Text(WithTrailingSeparator(BuildFilePath("Executable").str()) +
              "cases");
}

void FlowsheetExportFileLocation(Text& fileName, Text& directory) {
  directory = BuildFilePath("Executable");
  if (!fileName.IsEmpty()) return;

  FileSystem* fs = FileSystem::Default();
  const Text cases = CasesFolder();
  std::string previous;
  bool have_previous = fs->GetCurrentDirectory(&previous);
  if (!fs->SetCurrentDirectory(cases.str())) {
    fs->CreateDirectory(cases.str());
  }
  if (have_previous) fs->SetCurrentDirectory(previous);

  // The folder may hold any character, '%' included: only the number is
  // formatted, the rest is joined as it is.
  const std::string stem = cases.str() + kPathSeparator + "noname";
  const std::string extension = "." + ExtensionForFileType("SIM").str();
  for (int i = 0; i < kMaxNames; ++i) {
    std::string candidate = stem;
    candidate += std::to_string(i);
    candidate += extension;
    if (!fs->FileExists(candidate)) {
      fileName = Text(candidate);
      return;
    }
  }
}

}  // namespace pemar
