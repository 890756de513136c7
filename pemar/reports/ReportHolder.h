// ReportHolder: a text report kept as a tree of named sections, each holding
// a text and sub-sections, addressed by paths (CVValue::FollowPath, "/"
// between names; a null path is the root). Engineering tools fill it section
// by section and ask for the whole report as one numbered text.
//
// A section with text is a text node (CVValue::kText); a section without text
// is an empty container. Adding a section under a text section first turns
// that section into a container and keeps its former text as its first
// child, named kUnnamedSection, which prints as plain text without heading.
//
// GetReport walks the tree depth first, a section before its sub-sections.
// Each named section gets a heading numbered by its position at every level
// above it; the counters of deeper levels are dropped when the walk comes
// back up, so that the headings read 1, 1.1, 1.2, 2, 2.1.
//
// Store writes the tree as one chunk of revision 1 holding the value-tree
// record (docs/file-format.md); Recall reads it back. Both need a
// PemarBinaryFile over a BinaryFile and fail on any other file.

#ifndef PEMAR_REPORTS_REPORTHOLDER_H_
#define PEMAR_REPORTS_REPORTHOLDER_H_

#include <memory>

#include "pemar/framework/CVValue.h"
#include "pemar/framework/Export.h"
#include "pemar/framework/Text.h"
#include "pemar/framework/Types.h"

namespace pemar {

class IPemarBinaryFile;

// Operations return 1 when done and 0 when not.
class PEMAR_EXPORT IReportHolder {
 public:
  virtual ~IReportHolder();

  // Adds the section `name` under `parentPath`: a text section holding
  // `text`, or an empty container when `text` is null. 0 for a null name, a
  // missing parent, a name the parent already has, or a parent whose
  // sections would pass 32,767 (the most NumberOfSubsections can answer).
  virtual hresult AddSection(const char* parentPath, const char* name,
                             const char* text) = 0;
  // Replaces the text of the section; 0 for a null text, a missing section
  // or a fixed one (CVValue::kFixed).
  virtual hresult ModifySection(const char* path, const char* text) = 0;
  // Appends a line break and `text` to a text or string section; 0 for a
  // null text, a missing section or any other kind.
  virtual hresult AppendToSection(const char* path, const char* text) = 0;
  // 0 when the section is missing; at most 32,767 (a recalled tree may
  // hold more).
  virtual short NumberOfSubsections(const char* path) = 0;
  // Deletes the section `name` under `parentPath` with its sub-sections.
  virtual hresult DeleteSection(const char* parentPath, const char* name) = 0;
  // The text and the name of a text section; null for any other node.
  virtual const char* GetSectionString(const char* path) = 0;
  virtual const char* GetSectionTitle(const char* path) = 0;
  // The whole numbered report, valid until the next GetReport or the
  // holder's destruction.
  virtual const char* GetReport() = 0;
};

class PEMAR_EXPORT ReportHolder : public IReportHolder {
 public:
  // The name of the child that keeps the former text of a section that got
  // sub-sections.
  static constexpr const char* kUnnamedSection = "UnNamedSectionInternal";

  ReportHolder();
  ReportHolder(const ReportHolder&) = delete;
  ReportHolder& operator=(const ReportHolder&) = delete;
  ~ReportHolder() override;

  hresult AddSection(const char* parentPath, const char* name,
                     const char* text) override;
  hresult ModifySection(const char* path, const char* text) override;
  hresult AppendToSection(const char* path, const char* text) override;
  short NumberOfSubsections(const char* path) override;
  hresult DeleteSection(const char* parentPath, const char* name) override;
  const char* GetSectionString(const char* path) override;
  const char* GetSectionTitle(const char* path) override;
  const char* GetReport() override;

  // Writes the report chunk and closes it: the write's result, then the
  // close's.
  unsigned char Store(IPemarBinaryFile* file);
  // Reads a report chunk into the tree and closes it. A failed read leaves
  // the tree as it was.
  unsigned char Recall(IPemarBinaryFile* file);

  // 1 after construction and every change, 0 after GetReport.
  unsigned short IsModified() const { return modified_; }
  CVValue* GetRoot() const { return root_; }

 private:
  CVValue* root_;
  std::unique_ptr<CVString> report_;
  unsigned short modified_ = 1;
};

}  // namespace pemar

#endif  // PEMAR_REPORTS_REPORTHOLDER_H_
