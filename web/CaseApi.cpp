#include "web/Api.h"

namespace pemar::web {

void AddCaseRoutes(RouteTable& /*table*/) {}

}  // namespace pemar::web
