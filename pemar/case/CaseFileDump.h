// What a file of chunked records holds, for inspection: its chunk tree and,
// for a case file, the case header as the file stores it and the file's
// sections (header fields, engineering objects, framework objects) with the
// objects their chunks hold. The pemar tool's dump command and the Python
// package show this description.
//
// The file is untrusted: every read is bounded, and a damaged file gives
// what could be read before the damage, with the damage listed in
// `scan.problems` (and an unreadable or unconfirmed case header in
// `header`).

#ifndef PEMAR_CASE_CASEFILEDUMP_H_
#define PEMAR_CASE_CASEFILEDUMP_H_

#include <string>
#include <vector>

#include "pemar/framework/ChunkScan.h"
#include "pemar/framework/Export.h"

namespace pemar {

// The header of a case file as the file holds it. A reopened case always
// carries the current structure revision, so the stored one is read here;
// an unconfirmed header (a save that never finished, a file cut short) is
// still read.
struct PEMAR_EXPORT StoredCaseHeader {
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

PEMAR_EXPORT StoredCaseHeader ReadStoredCaseHeader(const std::string& path);

// One section of a case file: its name ("header fields", "engineering
// objects", "framework objects", or "other" for chunks past them), its chunk
// (pointing into the FileDump's scan) and, for the object sections, a label
// for each nested chunk in order ("type 701 (notes project)", or a
// framework object's type, number, name and kind).
struct PEMAR_EXPORT CaseFileSection {
  std::string name;
  const ChunkNode* node = nullptr;
  std::vector<std::string> labels;
};

struct PEMAR_EXPORT CaseFileDump {
  ChunkScanResult scan;
  StoredCaseHeader header;                // is_case false for other files
  std::vector<CaseFileSection> sections;  // case files only
};

// Describes the file `path` into `*dump`. False when the file cannot be
// opened; damage inside is described, not refused. A CaseFileDump's
// sections point into its own scan: copying one leaves the copy's sections
// pointing into the original, so keep it in place.
PEMAR_EXPORT bool DumpCaseFile(const std::string& path, CaseFileDump* dump);

}  // namespace pemar

#endif  // PEMAR_CASE_CASEFILEDUMP_H_
