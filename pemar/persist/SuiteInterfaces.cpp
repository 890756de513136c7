#include "pemar/persist/SuiteInterfaces.h"

namespace pemar {

IEngObjectRegistry::~IEngObjectRegistry() = default;
IHENDesign::~IHENDesign() = default;
IHeatIntegrationScenario::~IHeatIntegrationScenario() = default;
ISTDesign::~ISTDesign() = default;
ISTScenario::~ISTScenario() = default;
IPemarScenario::~IPemarScenario() = default;
IComplexColumn::~IComplexColumn() = default;
IHeatIntegrationProject::~IHeatIntegrationProject() = default;
ISTProject::~ISTProject() = default;
IPemarScenarioProject::~IPemarScenarioProject() = default;
IComplexColumnProject::~IComplexColumnProject() = default;

}  // namespace pemar
