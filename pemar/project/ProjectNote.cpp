#include "pemar/project/ProjectNote.h"

#include "pemar/framework/Platform.h"
#include "pemar/persist/CountedStringInternal.h"
#include "pemar/project/StringFieldInternal.h"

namespace pemar {

CProjectNote::CProjectNote() { SetNoteDate(); }

CProjectNote::~CProjectNote() = default;

void CProjectNote::SetNoteDate() { date_ = TodayDate(); }

char* CProjectNote::GetNoteText() { return internal::FieldBuffer(text_); }
char* CProjectNote::GetNoteAuthor() { return internal::FieldBuffer(author_); }
char* CProjectNote::GetNoteTitle() { return internal::FieldBuffer(title_); }
char* CProjectNote::GetNoteDate() { return internal::FieldBuffer(date_); }

void CProjectNote::SetNoteText(const char* text) {
  internal::AssignField(text_, text);
}
void CProjectNote::SetNoteAuthor(const char* author) {
  internal::AssignField(author_, author);
}
void CProjectNote::SetNoteTitle(const char* title) {
  internal::AssignField(title_, title);
}

unsigned char CProjectNote::WriteFlaggedString(IPemarBinaryFile* file,
                                               const CVString* text) {
  if (file == nullptr) return 0;
  if (text == nullptr) return file->Write(static_cast<unsigned char>(0));
  return persist_internal::WriteFlaggedCVString(file, *text);
}

unsigned char CProjectNote::ReadFlaggedString(IPemarBinaryFile* file,
                                              std::optional<CVString>* text) {
  return persist_internal::ReadFlaggedCVString(file, text);
}

unsigned char CProjectNote::Store(IPemarBinaryFile* file) {
  if (file == nullptr) return 0;
  ChunkHeader* chunk = nullptr;
  bool ok = file->CreateChunk(&chunk, 1) &&
            WriteFlaggedString(file, internal::FieldString(text_)) &&
            WriteFlaggedString(file, internal::FieldString(author_)) &&
            WriteFlaggedString(file, internal::FieldString(title_)) &&
            WriteFlaggedString(file, internal::FieldString(date_));
  // Closing also gives the handle back, so it runs on failure too.
  bool closed = chunk != nullptr && file->CloseChunk(chunk);
  return ok && closed;
}

unsigned char CProjectNote::Recall(IPemarBinaryFile* file) {
  if (file == nullptr) return 0;
  std::optional<CVString> text, author, title, date;
  ChunkHeader* chunk = nullptr;
  bool ok = file->OpenChunk(&chunk) && ReadFlaggedString(file, &text) &&
            ReadFlaggedString(file, &author) &&
            ReadFlaggedString(file, &title) && ReadFlaggedString(file, &date);
  bool closed = chunk != nullptr && file->CloseChunk(chunk);
  if (!ok || !closed) return 0;
  internal::ReplaceField(text_, text);
  internal::ReplaceField(author_, author);
  internal::ReplaceField(title_, title);
  internal::ReplaceField(date_, date);
  return 1;
}

std::unique_ptr<CProjectNote> CProjectNote::RecallNew(
    IPemarBinaryFile* file, std::optional<CVString>* today) {
  // Not the public constructor: reading the clock for every note of a large
  // case costs more than reading the note.
  std::unique_ptr<CProjectNote> note(new CProjectNote(Undated{}));
  if (!note->Recall(file)) return nullptr;
  if (!note->date_) {
    if (!*today) *today = TodayDate();
    note->date_ = **today;
  }
  return note;
}

}  // namespace pemar
