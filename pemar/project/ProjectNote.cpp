#include "pemar/project/ProjectNote.h"

#include "pemar/framework/Platform.h"
#include "pemar/project/StringFieldInternal.h"

namespace pemar {

CProjectNote::CProjectNote() { SetNoteDate(); }

CProjectNote::~CProjectNote() = default;

void CProjectNote::SetNoteDate() {
  date_ = std::make_unique<CVString>(TodayDate());
}

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
  if (!file->Write(static_cast<unsigned char>(1))) return 0;
  CVString copy(*text);
  return WriteCVString(file, &copy);
}

unsigned char CProjectNote::ReadFlaggedString(IPemarBinaryFile* file,
                                              std::optional<CVString>* text) {
  if (file == nullptr || text == nullptr) return 0;
  text->reset();
  unsigned char flag = 0;
  if (!file->Read(flag)) return 0;
  if (flag == 0) return 1;
  if (flag != 1) return 0;
  CVString value;
  if (!ReadCVString(file, &value)) return 0;
  *text = std::move(value);
  return 1;
}

unsigned char CProjectNote::Store(IPemarBinaryFile* file) {
  if (file == nullptr) return 0;
  ChunkHeader* chunk = nullptr;
  bool ok = file->CreateChunk(&chunk, 1) &&
            WriteFlaggedString(file, text_.get()) &&
            WriteFlaggedString(file, author_.get()) &&
            WriteFlaggedString(file, title_.get()) &&
            WriteFlaggedString(file, date_.get());
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

}  // namespace pemar
