// Test support: a registry of engineering objects (what persistence asks of
// a case's engineering manager) listing projects with scenarios, designs and
// complex columns, enough to resolve cross-references by name. Designs
// belong to their scenario, scenarios and columns to their project, and the
// registry holds one reference to each object it lists.

#ifndef PEMAR_PERSIST_TESTING_FAKEENGINEERINGMANAGER_H_
#define PEMAR_PERSIST_TESTING_FAKEENGINEERINGMANAGER_H_

#include <map>
#include <string>
#include <vector>

#include "pemar/persist/PemarBaseObject.h"
#include "pemar/persist/SuiteInterfaces.h"

namespace pemar::test_support {

// The entry of that name in `m`, or null.
template <typename Map>
auto* FindIn(Map& m, const char* name) {
  auto it = m.find(name ? name : "");
  return it == m.end() ? nullptr : &it->second;
}

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
  int GetDesignCount() override { return static_cast<int>(designs.size()); }
  IHENDesign* FindDesign(const char* n) override { return FindIn(designs, n); }
  IPemarBaseObject* project;
  std::string name;
  std::map<std::string, FakeHenDesign> designs;
};

struct FakeColumn : IComplexColumn {
  const char* GetName() override { return name.c_str(); }
  std::string name;
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
    return FindIn(scenarios, n);
  }
  void FindScenario(const char* n, IPemarScenario** result) override {
    *result = FindIn(scenarios, n);
  }
  IComplexColumn* FindComplexColumn(const char* n) override {
    return FindIn(columns, n);
  }
  FakeHiScenario* AddScenario(const std::string& n) {
    return &scenarios.try_emplace(n, this, n).first->second;
  }
  FakeColumn* AddColumn(const std::string& n) {
    columns[n].name = n;
    return &columns[n];
  }
  std::string name;
  std::map<std::string, FakeHiScenario> scenarios;
  std::map<std::string, FakeColumn> columns;
};

// Lists objects and creates FakeProjects for the heat-integration type.
class FakeEngineeringManager : public IEngObjectRegistry {
 public:
  ~FakeEngineeringManager() override {
    for (IPemarBaseObject* o : objects_) {
      while (o->Release() > 0) {
      }
    }
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
      if (typed && name && id && std::string(id) == name) *result = o;
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
