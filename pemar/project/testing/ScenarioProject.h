// Test support: a project with scenarios and designs, for the design
// viewer's tests, fuzz target and seeds. Needs no GoogleTest.
//
// Type 604, which the engineering manager creates (with no manager). Every
// project has the scenarios "Base case" (2 designs) and "Retrofit" (1
// design); they are not stored, so a recalled project has them again.

#ifndef PEMAR_PROJECT_TESTING_SCENARIOPROJECT_H_
#define PEMAR_PROJECT_TESTING_SCENARIOPROJECT_H_

#include <cstring>

#include "pemar/project/PemarProject.h"

namespace pemar::test_support {

inline constexpr long kScenarioProjectType = 604;

class ScenarioProject : public CPemarProject {
 public:
  struct Scenario : IPemarScenario {
    Scenario(IPemarBaseObject* p, const char* n, int d)
        : project(p), name(n), designs(d) {}
    int GetDesignCount() override { return designs; }
    IPemarBaseObject* GetProject() override { return project; }
    const char* GetName() override { return name; }
    IPemarBaseObject* project;
    const char* name;
    int designs;
  };

  using CPemarProject::CPemarProject;
  // The creator keeps one reference for the manager's list.
  static void RegisterType() {
    Register(kScenarioProjectType,
             [](const char* name, IEngineeringManager* m) -> IPemarBaseObject* {
               auto* project = new ScenarioProject(m, name);
               project->AddRef();
               return project;
             });
  }
  const char* GetMyIdentifier() override { return GetProjectName(); }
  long GetObjectType() override { return kScenarioProjectType; }
  hresult QueryInterface(long id, void** result) override {
    if (id != kScenarioProjectType || result == nullptr) {
      return CPemarProject::QueryInterface(id, result);
    }
    *result = this;
    return kDone;
  }
  void* GetProjectData() override { return nullptr; }
  int GetNumberOfScenarios() override { return 2; }
  void FindScenario(const char* name, IPemarScenario** result) override {
    if (result == nullptr) return;
    *result = nullptr;
    for (Scenario& s : scenarios) {
      if (name != nullptr && std::strcmp(s.name, name) == 0) *result = &s;
    }
  }

  Scenario scenarios[2] = {{this, "Base case", 2}, {this, "Retrofit", 1}};
};

}  // namespace pemar::test_support

#endif  // PEMAR_PROJECT_TESTING_SCENARIOPROJECT_H_
