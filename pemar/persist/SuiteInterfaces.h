// Interfaces of objects that live in the suite's analysis libraries and that
// the library refers to by name: heat-integration and separation scenarios
// and designs, generic scenarios and complex columns.
//
// Only the operations that storing and resolving a reference needs are
// declared. A project answers QueryInterface with the lookup interface of its
// type number (501 and 502: IHeatIntegrationProject; 601: ISTProject; 101:
// IPemarProject, whose FindScenario finds generic scenarios; 607:
// IComplexColumnProject). Returned pointers are
// borrowed: no reference is added and they live as long as their owner.

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

class PEMAR_EXPORT IComplexColumnProject {
 public:
  virtual ~IComplexColumnProject();
  virtual IComplexColumn* FindComplexColumn(const char* name) = 0;
};

}  // namespace pemar

#endif  // PEMAR_PERSIST_SUITEINTERFACES_H_
