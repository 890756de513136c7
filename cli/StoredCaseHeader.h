// The header of a case file as the file holds it, for the commands that show
// it. A reopened case always carries the current structure revision, so the
// stored one is read here; the flag 0 lets an unconfirmed header (a save that
// never finished, a file cut short) still be shown.

#ifndef PEMAR_CLI_STOREDCASEHEADER_H_
#define PEMAR_CLI_STOREDCASEHEADER_H_

#include <string>

namespace pemar::cli {

struct StoredCaseHeader {
  // The file starts with a stamp that a case header accepts; the other
  // fields are filled only then.
  bool is_case = false;
  std::string stamp;
  bool readable = false;
  bool confirmed = false;
  long build = 0;
  long requiredBuild = 0;
  int structureRevision = 0;
};

StoredCaseHeader ReadStoredCaseHeader(const std::string& path);

}  // namespace pemar::cli

#endif  // PEMAR_CLI_STOREDCASEHEADER_H_
