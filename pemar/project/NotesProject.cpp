#include "pemar/project/NotesProject.h"

namespace pemar {

NotesProject::~NotesProject() = default;

void NotesProject::RegisterType() {
  Register(kNotesProjectType, &NotesProject::MakeNotesProject);
}

IPemarBaseObject* NotesProject::MakeNotesProject(const char* name,
                                                 IEngineeringManager* manager) {
  // The one reference that the engineering manager's list holds; the
  // references of AddEngObject's callers come on top of it, so that a
  // recalled project outlives the recall's own reference.
  auto* project = new NotesProject(manager, name);
  project->AddRef();
  return project;
}

hresult NotesProject::QueryInterface(long interfaceId, void** result) {
  if (result == nullptr) return kRejected;
  if (interfaceId == kNotesProjectType) {
    *result = this;
    return kDone;
  }
  return CPemarProject::QueryInterface(interfaceId, result);
}

void NotesProject::FindScenario(const char*, IPemarScenario** result) {
  if (result != nullptr) *result = nullptr;
}

}  // namespace pemar
