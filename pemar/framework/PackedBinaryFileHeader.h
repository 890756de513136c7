// PackedBinaryFileHeader: the header at the start of a document file.
//
// A save goes: Store (the header first in the file), the document's data,
// then MarkOK as the very last write. The header holds:
//   - a 16-character identity stamp (no terminator) from GetIDStamp;
//   - the build number of the saving program and the lowest build number
//     that may read the file (FileHeader);
//   - an 8-bit file structure revision that the document interprets;
//   - a description text and the file's original name;
//   - a 16-bit field that, when non-zero, makes the recalled document ask
//     for a new name at its next save.
//
// Store opens an enclosing chunk around everything that follows the stamp;
// MarkOK closes it, which fills in its length. A save that stopped before
// MarkOK therefore leaves the "unfinished" length in the file, and a file
// cut short or extended afterwards has a length that no longer matches:
// either way the header is unconfirmed. The layout is in
// docs/framework-objects.md.
//
// Recall reads the stamp and the fields, then accepts the file only when
// CheckIDStamp(found, GetIDStamp()) answers true and the required build
// number is not above this framework's. With `flag` non-zero (what documents
// pass) an unconfirmed header also fails the recall; with 0 it is accepted
// and IsConfirmed() tells which it was. A failed recall changes only the
// build number (readable afterwards) and IsConfirmed(); the other fields
// keep their values.
//
// The header object must live from Store until MarkOK, and MarkOK must be
// given the same open file.

#ifndef PEMAR_FRAMEWORK_PACKEDBINARYFILEHEADER_H_
#define PEMAR_FRAMEWORK_PACKEDBINARYFILEHEADER_H_

#include "pemar/framework/BinaryFile.h"
#include "pemar/framework/Export.h"
#include "pemar/framework/FileHeader.h"
#include "pemar/framework/Text.h"

namespace pemar {

inline constexpr int kIDStampSize = 16;

class PEMAR_EXPORT PackedBinaryFileHeader : public FileHeader {
 public:
  PackedBinaryFileHeader() = default;
  ~PackedBinaryFileHeader() override;

  // Writes the header at the current position (the start of the file) and
  // leaves its enclosing chunk open for MarkOK.
  virtual unsigned char Store(BinaryFile& file);
  virtual unsigned char Recall(BinaryFile& file, unsigned char flag);
  // Confirms the header stored into `file`: the last write of a save.
  // Fails when this header's Store did not start the open file.
  unsigned char MarkOK(BinaryFile& file);

  // Copies the 16 stamp characters into `stamp` (no terminator is added).
  // The framework's own stamp is "PemarDocument   ".
  virtual void GetIDStamp(char* stamp);
  // True when the 16 characters found equal the expected ones.
  virtual unsigned char CheckIDStamp(char* found, char* expected);

  // True when the last recall found a confirmed header.
  bool IsConfirmed() const { return confirmed_; }

  unsigned char FileStructureRevision() const { return structure_revision_; }
  void SetFileStructureRevision(unsigned char revision) {
    structure_revision_ = revision;
  }
  const Text& Description() const { return description_; }
  void SetDescription(const Text& text) { description_ = text; }
  const Text& OriginalName() const { return original_name_; }
  void SetOriginalName(const Text& name) { original_name_ = name; }
  short AskForNameFlag() const { return ask_for_name_; }
  void SetAskForNameFlag(short value) { ask_for_name_ = value; }

 protected:
  // The build number that Store records; this framework's own. A test that
  // needs a file from an older program overrides it.
  virtual long StoreBuildNumber() const { return kFrameworkBuildNumber; }

 private:
  ChunkHeader envelope_;
  bool confirmed_ = false;
  unsigned char structure_revision_ = 0;
  short ask_for_name_ = 0;
  Text description_;
  Text original_name_;
};

}  // namespace pemar

#endif  // PEMAR_FRAMEWORK_PACKEDBINARYFILEHEADER_H_
