// CProjectNote: one free-text note of a project.
//
// A plain record of four owned strings: text, author, title and date. Each is
// absent (null) until set, except the date, which construction sets to
// today ("MM/DD/YY"). Getters return the string's buffer, owned by the note
// and valid until that field next changes, or null when it is absent.
//
// Stored form: one chunk of revision 1 holding four flag-and-string pairs
// (text, author, title, date). A pair is an unsigned char flag, 1 when the
// string is present, followed by the string as a WriteCVString record. The
// reader accepts only flags 0 and 1; any other value marks a damaged record.

#ifndef PEMAR_PROJECT_PROJECTNOTE_H_
#define PEMAR_PROJECT_PROJECTNOTE_H_

#include <memory>
#include <optional>

#include "pemar/framework/Export.h"
#include "pemar/framework/Text.h"
#include "pemar/persist/PemarBinaryFile.h"

namespace pemar {

class PEMAR_EXPORT CProjectNote {
 public:
  // Bytes of the smallest stored note: a chunk header and four 0 flags.
  static constexpr int kMinStoredBytes =
      static_cast<int>(ChunkHeader::kHeaderSize) + 4;

  CProjectNote();
  ~CProjectNote();
  // Notes are never copied.
  CProjectNote(const CProjectNote&) = delete;
  CProjectNote& operator=(const CProjectNote&) = delete;

  char* GetNoteText();
  char* GetNoteAuthor();
  char* GetNoteTitle();
  char* GetNoteDate();
  // The title string itself, or null; owned by the note.
  CVString* GetNoteTitleAsString() { return title_ ? &*title_ : nullptr; }

  // Copy the text, creating the string when absent; null changes nothing.
  void SetNoteText(const char* text);
  void SetNoteAuthor(const char* author);
  void SetNoteTitle(const char* title);
  // Sets the date to today.
  void SetNoteDate();

  // Writes the note's chunk; false at the first failed write.
  unsigned char Store(IPemarBinaryFile* file);
  // Reads a note's chunk. Present strings replace the note's; absent ones
  // keep their current values. On failure the note is left as it was.
  unsigned char Recall(IPemarBinaryFile* file);

  // The flag-and-string pair that notes and projects store. A null text is
  // written as the flag 0.
  static unsigned char WriteFlaggedString(IPemarBinaryFile* file,
                                          const CVString* text);
  // Reads a pair: flag 0 leaves *text empty (nullopt), flag 1 fills it. Any
  // other flag, or a failed read, gives false.
  static unsigned char ReadFlaggedString(IPemarBinaryFile* file,
                                         std::optional<CVString>* text);

 private:
  friend class CPemarProject;

  // A note without a date, to be filled by a recall.
  struct Undated {};
  explicit CProjectNote(Undated) {}

  // For a project's recall: the next note of `file`. A note stored without
  // a date gets today's, made once into *today on first need. Null when the
  // record is damaged.
  static std::unique_ptr<CProjectNote> RecallNew(
      IPemarBinaryFile* file, std::optional<CVString>* today);

  // Absent fields are empty optionals.
  std::optional<CVString> text_;
  std::optional<CVString> author_;
  std::optional<CVString> title_;
  std::optional<CVString> date_;
};

}  // namespace pemar

#endif  // PEMAR_PROJECT_PROJECTNOTE_H_
