// The projects and notes of a case, and the case's summary.

#include "tooling/CaseProjects.h"

#include "pemar/case/CaseFileDump.h"
#include "pemar/persist/PemarBaseObject.h"
#include "pemar/project/EngineeringManager.h"
#include "pemar/project/NotesProject.h"
#include "pemar/utility/IDefaultUtilityManager.h"
#include "tooling/CaseFeatures.h"

namespace pemar::tooling {
namespace {

std::string Str(const char* s) { return s ? std::string(s) : std::string(); }

}  // namespace

void RegisterCaseTypes() {
  NotesProject::RegisterType();
  RegisterToolFeatures();
}

std::string BackupCaseRefusal(const std::string& path) {
  return path +
         " is a backup or temporary file: copy it to a case name before "
         "changing it";
}

IPemarProject* FindProject(SimulationCase& doc, const std::string& name) {
  IPemarBaseObject* object = nullptr;
  doc.GetEngineeringManager()->GetProjectByName(name.c_str(), &object,
                                                kProjectInterface);
  return AsPemarProject(object);
}

std::vector<IPemarProject*> Projects(SimulationCase& doc) {
  std::vector<IPemarProject*> projects;
  EngineeringManager* manager = doc.GetEngineeringManager();
  const int n = manager->GetProjectSize(kProjectInterface);
  for (int i = 0; i < n; ++i) {
    IPemarBaseObject* object = nullptr;
    manager->GetProjectByNum(i, kProjectInterface, &object);
    if (IPemarProject* p = AsPemarProject(object)) projects.push_back(p);
  }
  return projects;
}

IPemarProject* AddProject(SimulationCase& doc, const std::string& name,
                          const std::string& engineer,
                          const std::string& comments) {
  if (FindProject(doc, name) != nullptr) return nullptr;
  // The engineering manager keeps the project and releases it with the case.
  IPemarProject* project =
      AsPemarProject(doc.GetEngineeringManager()->AddEngObject(
          name.c_str(), kNotesProjectType, 0));
  if (project == nullptr) return nullptr;
  if (!engineer.empty()) project->SetEngineersName(engineer.c_str());
  if (!comments.empty()) project->SetComments(comments.c_str());
  return project;
}

void AddNote(IPemarProject* project, const std::string& title,
             const std::string& text, const std::string& author) {
  project->AddNote();
  const int at = project->GetNumberOfNotes() - 1;
  project->SetNoteTitle(at, title.c_str());
  project->SetNoteText(at, text.c_str());
  if (!author.empty()) project->SetNoteAuthor(at, author.c_str());
}

nlohmann::ordered_json NoteJson(IPemarProject* p, int i) {
  return {{"title", Str(p->GetNoteTitle(i))},
          {"text", Str(p->GetNoteText(i))},
          {"author", Str(p->GetNoteAuthor(i))},
          {"date", Str(p->GetNoteDate(i))}};
}

nlohmann::ordered_json NotesJson(IPemarProject* p) {
  nlohmann::ordered_json notes = nlohmann::ordered_json::array();
  for (int i = 0; i < p->GetNumberOfNotes(); ++i)
    notes.push_back(NoteJson(p, i));
  return notes;
}

nlohmann::ordered_json ProjectJson(IPemarProject* p) {
  nlohmann::ordered_json j = {{"name", Str(p->GetProjectName())},
                              {"engineer", Str(p->GetEngineersName())},
                              {"comments", Str(p->GetComments())},
                              {"date", Str(p->GetDate())}};
  j["notes"] = NotesJson(p);
  return j;
}

nlohmann::ordered_json CaseUtilityJson(SimulationCase& doc) {
  IDefaultUtilityManager* db = doc.UtilityDatabase(false);
  if (db == nullptr) return nullptr;
  nlohmann::ordered_json names = nlohmann::ordered_json::array();
  for (int i = 0; i < db->GetNumberOfDefaultUtilities(); ++i) {
    names.push_back(Str(db->GetDefaultUtilityName(i)));
  }
  return {{"utilities", db->GetNumberOfDefaultUtilities()},
          {"names", names},
          {"htc_defaults", db->GetNumberOfHTCDefaultValues()}};
}

nlohmann::ordered_json CaseInfoJson(const std::string& path,
                                    SimulationCase& doc) {
  const StoredCaseHeader h = ReadStoredCaseHeader(path);
  nlohmann::ordered_json j = {{"file", path},
                              {"identity_stamp", h.stamp},
                              {"build_number", h.build},
                              {"required_build_number", h.requiredBuild},
                              {"structure_revision", h.structureRevision},
                              {"save_counter", doc.SaveCounter()}};
  nlohmann::ordered_json projects = nlohmann::ordered_json::array();
  for (IPemarProject* p : Projects(doc)) projects.push_back(ProjectJson(p));
  j["projects"] = projects;
  j["utility_database"] = CaseUtilityJson(doc);
  j["features"] = FeaturesJson(doc, false);
  return j;
}

}  // namespace pemar::tooling
