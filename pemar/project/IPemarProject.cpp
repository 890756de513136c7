#include "pemar/project/IPemarProject.h"

namespace pemar {

IPemarProject::~IPemarProject() = default;

}  // namespace pemar
