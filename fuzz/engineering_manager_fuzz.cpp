// Recalls arbitrary bytes as a stored engineering manager, with the notes
// project registered. A failed recall must leave the manager's registry as
// it was; a successful one must store and recall again to the same projects
// and notes.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "pemar/framework/BinaryFile.h"
#include "pemar/framework/MemoryFileSystem.h"
#include "pemar/persist/PemarBinaryFile.h"
#include "pemar/project/EngineeringManager.h"
#include "pemar/project/IPemarProject.h"
#include "pemar/project/NotesProject.h"

namespace {

// The input and the re-stored copy live in memory, not on the disk.
constexpr char kIn[] = "in.bin";
constexpr char kOut[] = "out.bin";

std::string Field(const char* s) {
  return s ? std::string("'") + s + "'" : "-";
}

// Every listed object with its project fields and notes, as one text.
std::string Describe(pemar::EngineeringManager& m) {
  std::string d;
  for (int i = 0; i < m.GetProjectSize(1); ++i) {
    pemar::IPemarBaseObject* object = nullptr;
    m.GetProjectByNum(i, 1, &object);
    if (object == nullptr) std::abort();
    d += std::to_string(object->GetObjectType()) +
         Field(object->GetMyIdentifier());
    pemar::IPemarProject* p = pemar::AsPemarProject(object);
    if (p == nullptr) continue;
    d += Field(p->GetEngineersName()) + Field(p->GetComments()) +
         Field(p->GetDate());
    for (int n = 0; n < p->GetNumberOfNotes(); ++n) {
      d += "[" + Field(p->GetNoteText(n)) + Field(p->GetNoteAuthor(n)) +
           Field(p->GetNoteTitle(n)) + Field(p->GetNoteDate(n)) + "]";
    }
    d += "\n";
  }
  return d;
}

bool Recall(pemar::EngineeringManager& m, const char* path) {
  pemar::BinaryFile raw{pemar::Text(path)};
  if (!raw.Open()) return false;
  pemar::PemarBinaryFile file(&raw);
  return m.Recall(&file);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  pemar::NotesProject::RegisterType();
  pemar::MemoryFileSystem fs;
  pemar::ScopedFileSystem scope(&fs);
  fs.SetFile(kIn, std::string(reinterpret_cast<const char*>(data), size));

  pemar::EngineeringManager m;
  m.AddEngObject("Kept", pemar::kNotesProjectType, 0);
  const std::string before = Describe(m);
  if (!Recall(m, kIn)) {
    if (Describe(m) != before) std::abort();
    m.RecallFixUp();
    return 0;
  }
  m.RecallFixUp();

  {
    pemar::BinaryFile raw{pemar::Text(kOut)};
    if (!raw.Create()) return 0;
    pemar::PemarBinaryFile file(&raw);
    if (!m.Store(&file) || !raw.Close()) std::abort();
  }
  pemar::EngineeringManager again;
  if (!Recall(again, kOut)) std::abort();
  again.RecallFixUp();
  if (Describe(again) != Describe(m)) std::abort();
  return 0;
}
