#include "pemar/project/PemarProject.h"

#include <climits>
#include <cstdint>
#include <cstring>
#include <string>

#include "pemar/framework/Platform.h"
#include "pemar/persist/PemarBinaryFile.h"
#include "pemar/project/StringFieldInternal.h"

namespace pemar {
namespace {

using internal::AssignField;
using internal::FieldBuffer;
using internal::ReplaceField;

}  // namespace

CPemarProject::CPemarProject() : CPemarProject(nullptr, nullptr) {}

CPemarProject::CPemarProject(IEngineeringManager* manager, const char* name)
    : name_(std::make_unique<CVString>(name != nullptr ? name : "Project1")),
      date_(std::make_unique<CVString>(TodayDate())),
      manager_(manager) {}

CPemarProject::~CPemarProject() = default;

char* CPemarProject::GetProjectName() { return FieldBuffer(name_); }
char* CPemarProject::GetEngineersName() { return FieldBuffer(engineer_); }
char* CPemarProject::GetComments() { return FieldBuffer(comments_); }
char* CPemarProject::GetDate() { return FieldBuffer(date_); }

CProjectNote* CPemarProject::GetNote(int index) {
  if (!notes_ || index < 0 || static_cast<std::size_t>(index) >= notes_->size())
    return nullptr;
  return (*notes_)[static_cast<std::size_t>(index)].get();
}

char* CPemarProject::GetNoteText(int index) {
  CProjectNote* note = GetNote(index);
  return note ? note->GetNoteText() : nullptr;
}

char* CPemarProject::GetNoteAuthor(int index) {
  CProjectNote* note = GetNote(index);
  return note ? note->GetNoteAuthor() : nullptr;
}

char* CPemarProject::GetNoteDate(int index) {
  CProjectNote* note = GetNote(index);
  return note ? note->GetNoteDate() : nullptr;
}

char* CPemarProject::GetNoteTitle(int index) {
  CProjectNote* note = GetNote(index);
  if (note == nullptr) return nullptr;
  if (note->GetNoteTitleAsString() != nullptr) return note->GetNoteTitle();
  // A fresh string each time, so that a caller keeping the previous default
  // title learns of it under the sanitizers rather than by a wrong match.
  defaultTitle_ = std::make_unique<CVString>(
      "Note - " + std::to_string(static_cast<long long>(index) + 1));
  return FieldBuffer(defaultTitle_);
}

void CPemarProject::SetNoteCount(const char* title, int& index) {
  if (title == nullptr || !notes_) return;
  // The title may be our own default-title buffer, which GetNoteTitle below
  // replaces; compare against a copy.
  const std::string wanted(title);
  index = -1;
  const int count = GetNumberOfNotes();
  for (int i = 0; i < count; ++i) {
    ++index;
    const char* shown = GetNoteTitle(i);
    if (shown != nullptr && wanted == shown) return;
  }
}

void CPemarProject::SetNoteText(int index, const char* text) {
  if (CProjectNote* note = GetNote(index)) note->SetNoteText(text);
}

void CPemarProject::SetNoteAuthor(int index, const char* author) {
  if (CProjectNote* note = GetNote(index)) note->SetNoteAuthor(author);
}

void CPemarProject::SetNoteTitle(int index, const char* title) {
  if (CProjectNote* note = GetNote(index)) note->SetNoteTitle(title);
}

void CPemarProject::AddNote() {
  if (!notes_) notes_.emplace();
  notes_->push_back(std::make_unique<CProjectNote>());
}

void CPemarProject::DeleteNote(int index) {
  if (GetNote(index) == nullptr) return;
  notes_->erase(notes_->begin() + index);
}

void CPemarProject::SetProjectName(const char* name) {
  AssignField(name_, name);
}
void CPemarProject::SetEngineersName(const char* name) {
  AssignField(engineer_, name);
}
void CPemarProject::SetComments(const char* comments) {
  AssignField(comments_, comments);
}

int CPemarProject::GetNumberOfNotes() {
  return notes_ ? static_cast<int>(notes_->size()) : 0;
}

long CPemarProject::GetObjectType() { return kProjectInterface; }

hresult CPemarProject::QueryInterface(long interfaceId, void** result) {
  if (result == nullptr) return kRejected;
  if (interfaceId == kProjectInterface) {
    *result = static_cast<IPemarProject*>(this);
    return kDone;
  }
  if (interfaceId == kBaseObjectInterface) {
    *result = static_cast<IPemarBaseObject*>(this);
    return kDone;
  }
  *result = nullptr;
  return kNoInterface;
}

unsigned char CPemarProject::Store(IPemarBinaryFile* file) {
  if (file == nullptr) return 0;
  if (notes_ && notes_->size() > static_cast<std::size_t>(INT_MAX)) return 0;
  ChunkHeader* chunk = nullptr;
  bool ok = file->CreateChunk(&chunk, 1) &&
            CProjectNote::WriteFlaggedString(file, name_.get()) &&
            CProjectNote::WriteFlaggedString(file, comments_.get()) &&
            CProjectNote::WriteFlaggedString(file, engineer_.get()) &&
            CProjectNote::WriteFlaggedString(file, date_.get());
  if (ok) {
    if (notes_) {
      ok = file->Write(static_cast<unsigned char>(1)) &&
           file->Write(static_cast<int>(notes_->size()));
      for (std::size_t i = 0; ok && i < notes_->size(); ++i) {
        ok = (*notes_)[i]->Store(file);
      }
    } else {
      ok = file->Write(static_cast<unsigned char>(0));
    }
  }
  ok = ok && CProjectNote::WriteFlaggedString(file, defaultTitle_.get());
  // Closing also gives the handle back, so it runs on failure too.
  bool closed = chunk != nullptr && file->CloseChunk(chunk);
  return ok && closed;
}

unsigned char CPemarProject::Recall(IPemarBinaryFile* file) {
  if (file == nullptr) return 0;
  std::optional<CVString> name, comments, engineer, date, defaultTitle;
  std::optional<NoteList> notes;

  auto readNotes = [&]() -> bool {
    unsigned char flag = 0;
    if (!file->Read(flag) || flag > 1) return false;
    if (flag == 0) return true;
    int count = 0;
    if (!ReadEntryCount(file, CProjectNote::kMinStoredBytes, &count)) {
      return false;
    }
    NoteList list;
    list.reserve(static_cast<std::size_t>(count));
    std::optional<CVString> today;
    for (int i = 0; i < count; ++i) {
      std::unique_ptr<CProjectNote> note =
          CProjectNote::RecallNew(file, &today);
      if (!note) return false;
      list.push_back(std::move(note));
    }
    notes = std::move(list);
    return true;
  };

  ChunkHeader* chunk = nullptr;
  bool ok = file->OpenChunk(&chunk) &&
            CProjectNote::ReadFlaggedString(file, &name) &&
            CProjectNote::ReadFlaggedString(file, &comments) &&
            CProjectNote::ReadFlaggedString(file, &engineer) &&
            CProjectNote::ReadFlaggedString(file, &date) && readNotes() &&
            CProjectNote::ReadFlaggedString(file, &defaultTitle);
  bool closed = chunk != nullptr && file->CloseChunk(chunk);
  if (!ok || !closed) return 0;

  // The whole record is in hand: apply it. Absent fields keep their values.
  if (name) *name_ = std::move(*name);
  if (date) *date_ = std::move(*date);
  ReplaceField(comments_, comments);
  ReplaceField(engineer_, engineer);
  if (notes) notes_ = std::move(notes);
  ReplaceField(defaultTitle_, defaultTitle);
  return 1;
}

}  // namespace pemar
