#include "StoredCaseHeader.h"

#include "pemar/framework/BinaryFile.h"
#include "pemar/persist/SimulationCaseFileHeader.h"

namespace pemar::cli {

StoredCaseHeader ReadStoredCaseHeader(const std::string& path) {
  StoredCaseHeader header;
  SimulationCaseFileHeader reader;
  char found[kIDStampSize];
  char expected[kIDStampSize];
  {
    BinaryFile file{Text(path)};
    if (!file.Open(false) || !file.ReadBytes(found, sizeof found)) {
      return header;
    }
  }
  reader.GetIDStamp(expected);
  if (!reader.CheckIDStamp(found, expected)) return header;
  header.is_case = true;
  header.stamp.assign(found, sizeof found);
  BinaryFile file{Text(path)};
  header.readable = file.Open(false) && reader.Recall(file, 0);
  header.confirmed = reader.IsConfirmed();
  header.build = reader.BuildNumber();
  header.requiredBuild = reader.RequiredBuildNumber();
  header.structureRevision = reader.FileStructureRevision();
  return header;
}

}  // namespace pemar::cli
