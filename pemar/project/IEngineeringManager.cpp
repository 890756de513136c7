#include "pemar/project/IEngineeringManager.h"

namespace pemar {

IEngineeringManager::~IEngineeringManager() = default;

}  // namespace pemar
