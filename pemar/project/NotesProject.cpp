#include "pemar/project/NotesProject.h"

namespace pemar {

NotesProject::~NotesProject() = default;

void NotesProject::RegisterType() {
  Register(kNotesProjectType, &NotesProject::MakeNotesProject);
}

IPemarBaseObject* NotesProject::MakeNotesProject(const char* name,
                                                 IEngineeringManager* manager) {
  return new NotesProject(manager, name);
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
