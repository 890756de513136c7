// NotesProject: a plain project that holds notes only.
//
// The library's own concrete project, so that programs without an analysis
// library (the pemar tool, tests, fuzz targets) can keep projects and notes
// in a case. Its type number is 701, one of the types the engineering
// manager creates (with a null manager). It answers QueryInterface for 701
// (the NotesProject itself), 101 (IPemarProject) and 1 (IPemarBaseObject).
// Its identifier is its project name; it has no project data and no
// scenarios.

#ifndef PEMAR_PROJECT_NOTESPROJECT_H_
#define PEMAR_PROJECT_NOTESPROJECT_H_

#include "pemar/framework/Export.h"
#include "pemar/project/PemarProject.h"

namespace pemar {

inline constexpr long kNotesProjectType = 701;

class PEMAR_EXPORT NotesProject : public CPemarProject {
 public:
  NotesProject() = default;
  // The manager is borrowed and may be null; a null name gives "Project1".
  NotesProject(IEngineeringManager* manager, const char* name)
      : CPemarProject(manager, name) {}
  ~NotesProject() override;

  // Registers the creator of type 701 with IPemarBaseObject::Create. Safe to
  // call any number of times; the first registration of 701 in the process
  // wins.
  static void RegisterType();
  // The registered creator: a new project holding one reference, the one
  // that the engineering manager's list keeps.
  static IPemarBaseObject* MakeNotesProject(const char* name,
                                            IEngineeringManager* manager);

  const char* GetMyIdentifier() override { return GetProjectName(); }
  long GetObjectType() override { return kNotesProjectType; }
  hresult QueryInterface(long interfaceId, void** result) override;

  void* GetProjectData() override { return nullptr; }
  int GetNumberOfScenarios() override { return 0; }
  void FindScenario(const char* name, IPemarScenario** result) override;
};

}  // namespace pemar

#endif  // PEMAR_PROJECT_NOTESPROJECT_H_
