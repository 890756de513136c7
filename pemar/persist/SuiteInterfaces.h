// Interfaces of the objects that persistence refers to by name: the case's
// registry of engineering objects, and the projects, scenarios, designs and
// complex columns of the suite's analysis libraries.
//
// Only the operations that storing and resolving a reference needs are
// declared. The registry is the case's engineering manager
// (IEngineeringManager derives from IEngObjectRegistry). A project answers
// QueryInterface with the lookup interface of its type number (501 and 502:
// IHeatIntegrationProject; 601: ISTProject; 607: IComplexColumnProject); a
// project of type 101 answers with IPemarProject, which is an
// IPemarScenarioProject. Returned pointers are borrowed: no reference is
// added and they live as long as their owner.

#ifndef PEMAR_PERSIST_SUITEINTERFACES_H_
#define PEMAR_PERSIST_SUITEINTERFACES_H_

#include "pemar/framework/Export.h"

namespace pemar {

class IPemarBaseObject;

// Type numbers of the projects that own the referenced objects; also the
// interface ids passed to QueryInterface.
inline constexpr long kPemarScenarioProjectType = 101;
inline constexpr long kHeatIntegrationProjectType = 501;
inline constexpr long kTotalSiteProjectType = 502;
inline constexpr long kSTProjectType = 601;
inline constexpr long kComplexColumnProjectType = 607;

class IHeatIntegrationScenario;
class ISTScenario;

// The lookups that resolving a reference makes in a case's registry of
// engineering objects. Type 1 matches every object.
class PEMAR_EXPORT IEngObjectRegistry {
 public:
  virtual ~IEngObjectRegistry();
  // Sets *result to the first listed object of that name answering `type`,
  // or to null; adds no reference.
  virtual void GetProjectByName(const char* name, IPemarBaseObject** result,
                                long type) = 0;
  // Finds, or creates and registers, the object of that name and type, and
  // adds a reference to it. Null when none can be had.
  virtual IPemarBaseObject* AddEngObject(const char* name, long type,
                                         char flag) = 0;
};

class PEMAR_EXPORT IHENDesign {
 public:
  virtual ~IHENDesign();
  virtual IHeatIntegrationScenario* GetScenario() = 0;
  virtual const char* GetName() = 0;
};

class PEMAR_EXPORT IHeatIntegrationScenario {
 public:
  virtual ~IHeatIntegrationScenario();
  virtual IPemarBaseObject* GetProject() = 0;
  virtual const char* GetName() = 0;
  virtual IHENDesign* FindDesign(const char* name) = 0;
};

class PEMAR_EXPORT ISTDesign {
 public:
  virtual ~ISTDesign();
  virtual ISTScenario* GetScenario() = 0;
  virtual const char* GetName() = 0;
};

class PEMAR_EXPORT ISTScenario {
 public:
  virtual ~ISTScenario();
  virtual IPemarBaseObject* GetProject() = 0;
  virtual const char* GetName() = 0;
  virtual ISTDesign* FindDesign(const char* name) = 0;
};

class PEMAR_EXPORT IPemarScenario {
 public:
  virtual ~IPemarScenario();
  virtual int GetDesignCount() = 0;
  virtual IPemarBaseObject* GetProject() = 0;
  virtual const char* GetName() = 0;
};

class PEMAR_EXPORT IComplexColumn {
 public:
  virtual ~IComplexColumn();
  virtual const char* GetName() = 0;
};

class PEMAR_EXPORT IHeatIntegrationProject {
 public:
  virtual ~IHeatIntegrationProject();
  virtual IHeatIntegrationScenario* FindScenario(const char* name) = 0;
};

class PEMAR_EXPORT ISTProject {
 public:
  virtual ~ISTProject();
  virtual ISTScenario* FindScenario(const char* name) = 0;
};

// A project whose generic scenarios are found by name (type 101).
class PEMAR_EXPORT IPemarScenarioProject {
 public:
  virtual ~IPemarScenarioProject();
  // Sets *result to the scenario of that name (borrowed), or to null.
  virtual void FindScenario(const char* name, IPemarScenario** result) = 0;
};

class PEMAR_EXPORT IComplexColumnProject {
 public:
  virtual ~IComplexColumnProject();
  virtual IComplexColumn* FindComplexColumn(const char* name) = 0;
};

}  // namespace pemar

#endif  // PEMAR_PERSIST_SUITEINTERFACES_H_
