// The description of a file of chunked records and of a case file's
// header and sections.

#include "pemar/case/CaseFileDump.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "pemar/framework/BinaryFile.h"
#include "pemar/persist/SimulationCaseFileHeader.h"
#include "pemar/project/EngineeringManager.h"
#include "pemar/project/NotesProject.h"

namespace pemar {
namespace {

// What the records of a case file say about the chunks they own, in order:
// the engineering objects' type numbers and the framework objects' type
// names and names. Read with the library's bounded reads; a damaged file
// gives what could be read before the damage.
struct CaseRecords {
  std::vector<std::string> engineering;
  std::vector<std::string> framework;
};

// What the library's own feature, plot and problem-report objects are, for
// the reader of a dump.
const char* TypeDescription(const std::string& type) {
  if (type == "ExpMgrViewObject") return "feature manager";
  if (type == "TechnologyManagerViewObject") return "technology manager";
  if (type == "PropertyTableObject") return "property-table feature";
  if (type == "PlotViewObject") return "plot view";
  if (type == "NamedPlotObject") return "named plot";
  if (type == "TwoDimPlotObject") return "two-dimensional plot";
  if (type == "ThreeDimPlotObject") return "three-dimensional plot";
  if (type == "EquTriDimPlotObject") return "triangle plot";
  if (type == "SaturationCurveObject") return "steam saturation curve";
  if (type == "BugReportManagerObject") return "problem reports";
  return nullptr;
}

CaseRecords ReadCaseRecords(const std::string& path,
                            const StoredCaseHeader& header) {
  CaseRecords records;
  BinaryFile file{Text(path)};
  char stamp[kIDStampSize];
  ChunkHeader envelope;
  ChunkHeader fields;
  if (!header.confirmed || !file.Open(false) ||
      !file.ReadBytes(stamp, sizeof stamp) || !envelope.Open(file) ||
      !fields.Open(file) || !fields.Close(file)) {
    return records;
  }
  long zero = 0;
  if (header.structureRevision >= kFirstRevisionWithZero && !file.Read(zero)) {
    return records;
  }
  if (header.structureRevision >= kFirstRevisionWithEngineering) {
    ChunkHeader engineering;
    if (!engineering.Open(file)) return records;
    int count = 0;
    if (engineering.Revision() == kEngineeringManagerRevision &&
        file.Read(count)) {
      for (int i = 0; i < count; ++i) {
        long type = 0;
        ChunkHeader record;
        if (!file.Read(type) || !record.Open(file) || !record.Close(file)) {
          break;
        }
        records.engineering.push_back(
            "type " + std::to_string(type) +
            (type == kNotesProjectType ? " (notes project)" : ""));
      }
    }
    if (!engineering.Close(file)) return records;
  }
  ChunkHeader section;
  unsigned int count = 0;
  if (!section.Open(file) || !file.Read(count)) return records;
  for (unsigned int i = 0; i < count; ++i) {
    unsigned int id = 0;
    unsigned int owner = 0;
    int version = 0;
    Text type;
    Text name;
    if (!file.Read(id) || !file.Read(type) || !file.Read(owner) ||
        !file.Read(name) || !file.Read(version)) {
      break;
    }
    std::string label = type.str() + " " + std::to_string(id);
    if (!name.IsEmpty()) label += " \"" + name.str() + "\"";
    if (const char* what = TypeDescription(type.str())) {
      label += std::string(" (") + what + ")";
    }
    records.framework.push_back(label);
  }
  return records;
}

// The chunks after the stamp, named by the section they hold. After the
// stamp comes the header's envelope, which encloses the rest of the file;
// when it is damaged the scan shows its contents at the top level.
std::vector<std::pair<std::string, const ChunkNode*>> CaseSections(
    const ChunkScanResult& result, const StoredCaseHeader& header) {
  const std::vector<ChunkNode>* chunks = &result.chunks;
  std::uint64_t first = kIDStampSize + ChunkHeader::kHeaderSize;
  for (const ChunkNode& node : result.chunks) {
    if (node.offset == kIDStampSize) chunks = &node.children;
  }
  std::vector<std::string> names = {"header fields"};
  if (!header.readable ||
      header.structureRevision >= kFirstRevisionWithEngineering) {
    names.push_back("engineering objects");
  }
  names.push_back("framework objects");
  std::vector<std::pair<std::string, const ChunkNode*>> sections;
  std::size_t next = 0;
  for (const ChunkNode& node : *chunks) {
    if (node.offset < first) continue;
    sections.emplace_back(next < names.size() ? names[next] : "other", &node);
    ++next;
  }
  return sections;
}

}  // namespace

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

bool DumpCaseFile(const std::string& path, CaseFileDump* dump) {
  *dump = CaseFileDump();
  if (!ScanChunks(Text(path), &dump->scan)) return false;
  dump->header = ReadStoredCaseHeader(path);
  if (!dump->header.is_case) return true;
  const CaseRecords records = ReadCaseRecords(path, dump->header);
  for (const auto& [name, node] : CaseSections(dump->scan, dump->header)) {
    CaseFileSection section{name, node, {}};
    if (name == "engineering objects") {
      section.labels = records.engineering;
    } else if (name == "framework objects") {
      section.labels = records.framework;
    }
    dump->sections.push_back(std::move(section));
  }
  return true;
}

}  // namespace pemar
