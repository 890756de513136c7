#include "pemar/project/ProjectNote.h"

#include "pemar/framework/Platform.h"

namespace pemar {

CProjectNote::CProjectNote() { SetNoteDate(); }

CProjectNote::~CProjectNote() = default;

void CProjectNote::SetNoteDate() {
  date_ = std::make_unique<CVString>(TodayDate());
}

void CProjectNote::Assign(std::unique_ptr<CVString>& field, const char* text) {
  if (text == nullptr) return;
  if (field) {
    *field = CVString(text);
  } else {
    field = std::make_unique<CVString>(text);
  }
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
  auto apply = [](std::unique_ptr<CVString>& field,
                  std::optional<CVString>& value) {
    if (value) field = std::make_unique<CVString>(std::move(*value));
  };
  apply(text_, text);
  apply(author_, author);
  apply(title_, title);
  apply(date_, date);
  return 1;
}

}  // namespace pemar
