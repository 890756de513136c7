// Test support: a registry of engineering objects (what persistence asks of
// a case's engineering manager) listing projects, each with a scenario "Base
// case" holding a design "Retrofit", and a complex column "C-101". A renamed
// object is a missing one. The registry holds a reference to each it lists.

#ifndef PEMAR_PERSIST_TESTING_FAKEENGINEERINGMANAGER_H_
#define PEMAR_PERSIST_TESTING_FAKEENGINEERINGMANAGER_H_

#include <string>
#include <vector>

#include "pemar/persist/PemarBaseObject.h"
#include "pemar/persist/SuiteInterfaces.h"

namespace pemar::test_support {

// A design; a null scenario stands for a broken chain.
struct FakeHenDesign : IHENDesign {
  FakeHenDesign(IHeatIntegrationScenario* s, std::string n)
      : scenario(s), name(std::move(n)) {}
  IHeatIntegrationScenario* GetScenario() override { return scenario; }
  const char* GetName() override { return name.c_str(); }
  IHeatIntegrationScenario* scenario;
  std::string name;
};

// A scenario that is both a heat-integration and a generic one.
struct FakeHiScenario : IHeatIntegrationScenario, IPemarScenario {
  FakeHiScenario(IPemarBaseObject* p, std::string n)
      : project(p), name(std::move(n)) {}
  IPemarBaseObject* GetProject() override { return project; }
  const char* GetName() override { return name.c_str(); }
  int GetDesignCount() override { return 1; }
  IHENDesign* FindDesign(const char* n) override {
    return n && design.name == n ? &design : nullptr;
  }
  IPemarBaseObject* project;
  std::string name;
  FakeHenDesign design{this, "Retrofit"};
};

struct FakeColumn : IComplexColumn {
  const char* GetName() override { return name.c_str(); }
  std::string name = "C-101";
};

// A heat-integration project (types 501 and 502) that is also a generic
// scenario owner (101) and a column owner (607).
struct FakeProject : PemarBaseObject,
                     IHeatIntegrationProject,
                     IPemarScenarioProject,
                     IComplexColumnProject {
  explicit FakeProject(std::string n) : name(std::move(n)) {}
  const char* GetMyIdentifier() override { return name.c_str(); }
  hresult QueryInterface(long id, void** result) override {
    if (id == kHeatIntegrationProjectType || id == kTotalSiteProjectType) {
      *result = static_cast<IHeatIntegrationProject*>(this);
    } else if (id == kComplexColumnProjectType) {
      *result = static_cast<IComplexColumnProject*>(this);
    } else if (id == kPemarScenarioProjectType) {
      *result = static_cast<IPemarBaseObject*>(this);  // as the real ones do
    } else {
      return PemarBaseObject::QueryInterface(id, result);
    }
    return kDone;
  }
  IHeatIntegrationScenario* FindScenario(const char* n) override {
    return n && scenario.name == n ? &scenario : nullptr;
  }
  void FindScenario(const char* n, IPemarScenario** result) override {
    *result = n && scenario.name == n ? &scenario : nullptr;
  }
  IComplexColumn* FindComplexColumn(const char* n) override {
    return n && column.name == n ? &column : nullptr;
  }
  std::string name;
  FakeHiScenario scenario{this, "Base case"};
  FakeColumn column;
};

// Lists objects and creates FakeProjects for the heat-integration type.
class FakeEngineeringManager : public IEngObjectRegistry {
 public:
  ~FakeEngineeringManager() override {
    for (IPemarBaseObject* o : objects_)
      while (o->Release() > 0) continue;
  }
  // Lists an object made elsewhere, holding one reference to it.
  void Adopt(IPemarBaseObject* object) {
    object->AddRef();
    objects_.push_back(object);
  }
  FakeProject* AddProject(const std::string& name) {
    auto* p = new FakeProject(name);
    Adopt(p);
    return p;
  }
  const std::vector<IPemarBaseObject*>& objects() const { return objects_; }

  void GetProjectByName(const char* name, IPemarBaseObject** result,
                        long type) override {
    *result = nullptr;
    for (IPemarBaseObject* o : objects_) {
      void* typed = nullptr;
      o->QueryInterface(type, &typed);
      const char* id = o->GetMyIdentifier();
      if (typed && id && name && std::string(id) == name) *result = o;
      if (*result) return;
    }
  }
  IPemarBaseObject* AddEngObject(const char* name, long type, char) override {
    IPemarBaseObject* found = nullptr;
    GetProjectByName(name, &found, type);
    if (!found && type == kHeatIntegrationProjectType && name) {
      found = AddProject(name);
    }
    if (found) found->AddRef();
    return found;
  }

 private:
  std::vector<IPemarBaseObject*> objects_;
};

}  // namespace pemar::test_support

#endif  // PEMAR_PERSIST_TESTING_FAKEENGINEERINGMANAGER_H_
