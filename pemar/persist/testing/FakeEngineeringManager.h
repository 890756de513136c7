// Test support: a small registry of engineering objects (what persistence
// asks of a case's engineering manager) and project, scenario and design
// doubles, enough to resolve cross-references by name.

#ifndef PEMAR_PERSIST_TESTING_FAKEENGINEERINGMANAGER_H_
#define PEMAR_PERSIST_TESTING_FAKEENGINEERINGMANAGER_H_

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "pemar/persist/PemarBaseObject.h"
#include "pemar/persist/SuiteInterfaces.h"

namespace pemar::test_support {

class FakeHenDesign;
class FakeHiScenario;

class FakeHenDesign : public IHENDesign {
 public:
  FakeHenDesign(FakeHiScenario* scenario, std::string name)
      : scenario_(scenario), name_(std::move(name)) {}
  IHeatIntegrationScenario* GetScenario() override;
  const char* GetName() override { return name_.c_str(); }
  void Detach() { scenario_ = nullptr; }

 private:
  FakeHiScenario* scenario_;
  std::string name_;
};

class FakeHiScenario : public IHeatIntegrationScenario {
 public:
  FakeHiScenario(IPemarBaseObject* project, std::string name)
      : project_(project), name_(std::move(name)) {}
  IPemarBaseObject* GetProject() override { return project_; }
  const char* GetName() override { return name_.c_str(); }
  IHENDesign* FindDesign(const char* name) override {
    auto it = designs_.find(name ? name : "");
    return it == designs_.end() ? nullptr : it->second.get();
  }
  FakeHenDesign* AddDesign(const std::string& name) {
    auto& slot = designs_[name];
    slot = std::make_unique<FakeHenDesign>(this, name);
    return slot.get();
  }
  void RemoveDesign(const std::string& name) { designs_.erase(name); }

 private:
  IPemarBaseObject* project_;
  std::string name_;
  std::map<std::string, std::unique_ptr<FakeHenDesign>> designs_;
};

inline IHeatIntegrationScenario* FakeHenDesign::GetScenario() {
  return scenario_;
}

// A heat-integration project (types 501 and 502) that is also a generic
// scenario owner (101) and a column owner (607).
class FakeProject : public PemarBaseObject,
                    public IHeatIntegrationProject,
                    public IComplexColumnProject {
 public:
  explicit FakeProject(std::string name) : name_(std::move(name)) {}
  const char* GetMyIdentifier() override { return name_.c_str(); }
  long GetObjectType() override { return kHeatIntegrationProjectType; }
  hresult QueryInterface(long id, void** result) override {
    if (id == kHeatIntegrationProjectType || id == kTotalSiteProjectType) {
      *result = static_cast<IHeatIntegrationProject*>(this);
      return kDone;
    }
    if (id == kComplexColumnProjectType) {
      *result = static_cast<IComplexColumnProject*>(this);
      return kDone;
    }
    return PemarBaseObject::QueryInterface(id, result);
  }
  IHeatIntegrationScenario* FindScenario(const char* name) override {
    auto it = scenarios_.find(name ? name : "");
    return it == scenarios_.end() ? nullptr : it->second.get();
  }
  IComplexColumn* FindComplexColumn(const char* name) override {
    auto it = columns_.find(name ? name : "");
    return it == columns_.end() ? nullptr : it->second.get();
  }
  FakeHiScenario* AddScenario(const std::string& name) {
    auto& slot = scenarios_[name];
    slot = std::make_unique<FakeHiScenario>(this, name);
    return slot.get();
  }
  IComplexColumn* AddColumn(const std::string& name) {
    struct Column : IComplexColumn {
      explicit Column(std::string n) : name(std::move(n)) {}
      const char* GetName() override { return name.c_str(); }
      std::string name;
    };
    auto& slot = columns_[name];
    slot = std::make_unique<Column>(name);
    return slot.get();
  }

 private:
  std::string name_;
  std::map<std::string, std::unique_ptr<FakeHiScenario>> scenarios_;
  std::map<std::string, std::unique_ptr<IComplexColumn>> columns_;
};

// Lists objects and creates FakeProjects for the heat-integration types.
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
    p->AddRef();
    objects_.push_back(p);
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
    if (name == nullptr) return;
    for (IPemarBaseObject* o : objects_) {
      void* typed = nullptr;
      o->QueryInterface(type, &typed);
      const char* id = o->GetMyIdentifier();
      if (typed != nullptr && id != nullptr && std::string(id) == name) {
        *result = o;
        return;
      }
    }
  }
  IPemarBaseObject* AddEngObject(const char* name, long type, char) override {
    IPemarBaseObject* found = nullptr;
    GetProjectByName(name, &found, type);
    if (found == nullptr) {
      if (type != kHeatIntegrationProjectType || name == nullptr)
        return nullptr;
      found = AddProject(name);
    }
    found->AddRef();
    return found;
  }

 private:
  std::vector<IPemarBaseObject*> objects_;
};

}  // namespace pemar::test_support

#endif  // PEMAR_PERSIST_TESTING_FAKEENGINEERINGMANAGER_H_
