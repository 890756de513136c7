// Test support: a small registry of engineering objects (what persistence
// asks of a case's engineering manager) and project, scenario and design
// doubles, enough to resolve cross-references by name. Objects are owned by
// what holds them: designs by their scenario, scenarios and columns by their
// project, projects by the registry.

#ifndef PEMAR_PERSIST_TESTING_FAKEENGINEERINGMANAGER_H_
#define PEMAR_PERSIST_TESTING_FAKEENGINEERINGMANAGER_H_

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "pemar/persist/PemarBaseObject.h"
#include "pemar/persist/SuiteInterfaces.h"

namespace pemar::test_support {

// The object of that name in `m`, or null.
template <typename Map>
auto* FindIn(Map& m, const char* name) {
  auto it = m.find(name ? name : "");
  return it == m.end() ? nullptr : it->second.get();
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
  FakeHenDesign* AddDesign(const std::string& n) {
    return (designs[n] = std::make_unique<FakeHenDesign>(this, n)).get();
  }
  IPemarBaseObject* project;
  std::string name;
  std::map<std::string, std::unique_ptr<FakeHenDesign>> designs;
};

// A heat-integration project (types 501 and 502) that is also a generic
// scenario owner (101) and a column owner (607).
class FakeProject : public PemarBaseObject,
                    public IHeatIntegrationProject,
                    public IPemarScenarioProject,
                    public IComplexColumnProject {
 public:
  explicit FakeProject(std::string name) : name_(std::move(name)) {}
  const char* GetMyIdentifier() override { return name_.c_str(); }
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
  IHeatIntegrationScenario* FindScenario(const char* name) override {
    return FindIn(scenarios_, name);
  }
  void FindScenario(const char* name, IPemarScenario** result) override {
    *result = FindIn(scenarios_, name);
  }
  IComplexColumn* FindComplexColumn(const char* name) override {
    return FindIn(columns_, name);
  }
  FakeHiScenario* AddScenario(const std::string& name) {
    return (scenarios_[name] = std::make_unique<FakeHiScenario>(this, name))
        .get();
  }
  IComplexColumn* AddColumn(const std::string& name) {
    struct Column : IComplexColumn {
      explicit Column(std::string n) : name(std::move(n)) {}
      const char* GetName() override { return name.c_str(); }
      std::string name;
    };
    return (columns_[name] = std::make_unique<Column>(name)).get();
  }

 private:
  std::string name_;
  std::map<std::string, std::unique_ptr<FakeHiScenario>> scenarios_;
  std::map<std::string, std::unique_ptr<IComplexColumn>> columns_;
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
  FakeProject* AddProject(const std::string& name) {
    auto* p = new FakeProject(name);
    Adopt(p);
    return p;
  }
  // Lists an object made elsewhere, holding one reference to it.
  void Adopt(IPemarBaseObject* object) {
    object->AddRef();
    objects_.push_back(object);
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
