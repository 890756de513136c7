#include "pemar/persist/CrossReference.h"

#include <initializer_list>

#include "pemar/persist/PemarBaseObject.h"
#include "pemar/persist/SuiteInterfaces.h"

namespace pemar {
namespace {

constexpr char kNullObject[] = "NULL_OBJECT";
constexpr short kReferenceRevision = 1;

// Writes one reference chunk. A null entry among the names stands for a
// broken chain and stores the null reference instead.
unsigned char StoreNames(BinaryFile& file,
                         std::initializer_list<const char*> names) {
  bool broken = names.size() == 0;
  for (const char* name : names) {
    if (name == nullptr) broken = true;
  }
  ChunkHeader header;
  if (!header.Create(file, kReferenceRevision)) return 0;
  if (broken) {
    if (!file.Write(Text(kNullObject))) return 0;
  } else {
    for (const char* name : names) {
      if (!file.Write(Text(name))) return 0;
    }
  }
  return header.Close(file);
}

template <typename Scenario>
const char* ProjectName(Scenario* scenario) {
  if (scenario == nullptr) return nullptr;
  IPemarBaseObject* project = scenario->GetProject();
  return project ? project->GetMyIdentifier() : nullptr;
}

template <typename Scenario>
unsigned char StoreScenario(BinaryFile& file, Scenario* scenario) {
  if (scenario == nullptr) return StoreNames(file, {});
  return StoreNames(file, {ProjectName(scenario), scenario->GetName()});
}

template <typename Design>
unsigned char StoreDesign(BinaryFile& file, Design* design) {
  if (design == nullptr) return StoreNames(file, {});
  auto* scenario = design->GetScenario();
  if (scenario == nullptr) return StoreNames(file, {});
  return StoreNames(
      file, {ProjectName(scenario), scenario->GetName(), design->GetName()});
}

// Opens the reference chunk and reads the project name. Returns 0 on a
// failed read; sets *isNull for the null reference (the chunk is then
// closed and *closeResult holds the close's result).
unsigned char OpenReference(BinaryFile& file, ChunkHeader& header,
                            Text* projectName, bool* isNull,
                            unsigned char* closeResult) {
  *isNull = false;
  if (!header.Open(file) || !file.Read(*projectName)) return 0;
  if (*projectName == kNullObject) {
    *isNull = true;
    *closeResult = header.Close(file);
  }
  return 1;
}

// The typed lookup interface of the named project, or null.
template <typename Lookup>
Lookup* TypedProject(IEngObjectRegistry* manager, const Text& name, long type) {
  IPemarBaseObject* project = nullptr;
  manager->GetProjectByName(name.c_str(), &project, type);
  if (project == nullptr) return nullptr;
  void* typed = nullptr;
  project->QueryInterface(type, &typed);
  return static_cast<Lookup*>(typed);
}

// A project of type 101 answers QueryInterface with its IPemarProject, a
// class of the layer above; the scenario lookup that IPemarProject derives
// from is reached from the object itself.
template <>
IPemarScenarioProject* TypedProject<IPemarScenarioProject>(
    IEngObjectRegistry* manager, const Text& name, long type) {
  IPemarBaseObject* project = nullptr;
  manager->GetProjectByName(name.c_str(), &project, type);
  return dynamic_cast<IPemarScenarioProject*>(project);
}

// The object of a typed project found by name: its scenario, or its column.
IHeatIntegrationScenario* FindNamed(IHeatIntegrationProject* p,
                                    const char* name) {
  return p->FindScenario(name);
}
ISTScenario* FindNamed(ISTProject* p, const char* name) {
  return p->FindScenario(name);
}
IPemarScenario* FindNamed(IPemarScenarioProject* p, const char* name) {
  IPemarScenario* scenario = nullptr;
  p->FindScenario(name, &scenario);
  return scenario;
}
IComplexColumn* FindNamed(IComplexColumnProject* p, const char* name) {
  return p->FindComplexColumn(name);
}

// Recalls a reference whose first name is a project answering `type`;
// `resolve(project, result)` reads the remaining names and looks the object
// up, returning false when a read fails or a needed link is missing.
template <typename Lookup, typename Result, typename Resolve>
unsigned char RecallReference(BinaryFile& file, IEngObjectRegistry* manager,
                              Result** result, long type, Resolve resolve) {
  if (manager == nullptr || result == nullptr) return 0;
  *result = nullptr;
  ChunkHeader header;
  Text projectName;
  bool isNull = false;
  unsigned char closed = 0;
  if (!OpenReference(file, header, &projectName, &isNull, &closed)) return 0;
  if (isNull) return closed;
  Lookup* project = TypedProject<Lookup>(manager, projectName, type);
  if (project == nullptr || !resolve(project, result)) return 0;
  return header.Close(file);
}

// A two-name reference: a scenario, or a column, of a project.
template <typename Lookup, typename Scenario>
unsigned char RecallScenario(BinaryFile& file, IEngObjectRegistry* manager,
                             Scenario** result, long type) {
  return RecallReference<Lookup>(file, manager, result, type,
                                 [&file](Lookup* project, Scenario** out) {
                                   Text name;
                                   if (!file.Read(name)) return false;
                                   *out = FindNamed(project, name.c_str());
                                   return true;
                                 });
}

// A three-name reference: a design of a scenario of a project. A missing
// scenario fails; a missing design recalls as null.
template <typename Lookup, typename Design>
unsigned char RecallDesign(BinaryFile& file, IEngObjectRegistry* manager,
                           Design** result, long type) {
  return RecallReference<Lookup>(
      file, manager, result, type, [&file](Lookup* project, Design** out) {
        Text scenarioName;
        if (!file.Read(scenarioName)) return false;
        auto* scenario = FindNamed(project, scenarioName.c_str());
        if (scenario == nullptr) return false;
        Text designName;
        if (!file.Read(designName)) return false;
        *out = scenario->FindDesign(designName.c_str());
        return true;
      });
}

}  // namespace

unsigned char StoreProjectPointer(BinaryFile& file, IPemarBaseObject* project) {
  if (project == nullptr) return StoreNames(file, {});
  return StoreNames(file, {project->GetMyIdentifier()});
}

unsigned char RecallProjectPointer(BinaryFile& file,
                                   IEngObjectRegistry* manager, void** result,
                                   long type) {
  if (manager == nullptr || result == nullptr) return 0;
  ChunkHeader header;
  Text name;
  bool isNull = false;
  unsigned char closed = 0;
  if (!OpenReference(file, header, &name, &isNull, &closed)) return 0;
  if (isNull) return closed;
  IPemarBaseObject* object = manager->AddEngObject(name.c_str(), type, 1);
  if (object != nullptr) {
    object->QueryInterface(type, result);
  } else {
    *result = nullptr;
  }
  return header.Close(file);
}

unsigned char StoreScenarioPointer(BinaryFile& file,
                                   IHeatIntegrationScenario* scenario) {
  return StoreScenario(file, scenario);
}

unsigned char RecallScenarioPointer(BinaryFile& file,
                                    IEngObjectRegistry* manager,
                                    IHeatIntegrationScenario** result) {
  return RecallScenario<IHeatIntegrationProject>(file, manager, result,
                                                 kHeatIntegrationProjectType);
}

unsigned char RecallScenarioTotalSitePointer(
    BinaryFile& file, IEngObjectRegistry* manager,
    IHeatIntegrationScenario** result) {
  return RecallScenario<IHeatIntegrationProject>(file, manager, result,
                                                 kTotalSiteProjectType);
}

unsigned char StoreDesignPointer(BinaryFile& file, IHENDesign* design) {
  return StoreDesign(file, design);
}

unsigned char RecallDesignPointer(BinaryFile& file, IEngObjectRegistry* manager,
                                  IHENDesign** result) {
  return RecallDesign<IHeatIntegrationProject>(file, manager, result,
                                               kHeatIntegrationProjectType);
}

unsigned char RecallDesignTotalSitePointer(BinaryFile& file,
                                           IEngObjectRegistry* manager,
                                           IHENDesign** result) {
  return RecallDesign<IHeatIntegrationProject>(file, manager, result,
                                               kTotalSiteProjectType);
}

unsigned char StoreScenarioPointer(BinaryFile& file, ISTScenario* scenario) {
  return StoreScenario(file, scenario);
}

unsigned char RecallScenarioPointer(BinaryFile& file,
                                    IEngObjectRegistry* manager,
                                    ISTScenario** result) {
  return RecallScenario<ISTProject>(file, manager, result, kSTProjectType);
}

unsigned char StoreDesignPointer(BinaryFile& file, ISTDesign* design) {
  return StoreDesign(file, design);
}

unsigned char RecallDesignPointer(BinaryFile& file, IEngObjectRegistry* manager,
                                  ISTDesign** result) {
  return RecallDesign<ISTProject>(file, manager, result, kSTProjectType);
}

unsigned char StorePemarScenarioPointer(BinaryFile& file,
                                        IPemarScenario* scenario) {
  return StoreScenario(file, scenario);
}

unsigned char RecallPemarScenarioPointer(BinaryFile& file,
                                         IEngObjectRegistry* manager,
                                         IPemarScenario** result) {
  return RecallScenario<IPemarScenarioProject>(file, manager, result,
                                               kPemarScenarioProjectType);
}

unsigned char StoreComplexColumnPointer(BinaryFile& file,
                                        IComplexColumn* column,
                                        const char* projectName) {
  if (column == nullptr) return StoreNames(file, {});
  return StoreNames(file, {projectName, column->GetName()});
}

unsigned char RecallComplexColumnPointer(BinaryFile& file,
                                         IEngObjectRegistry* manager,
                                         IComplexColumn** result) {
  return RecallScenario<IComplexColumnProject>(file, manager, result,
                                               kComplexColumnProjectType);
}

}  // namespace pemar
