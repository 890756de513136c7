#include "web/Api.h"

namespace pemar::web {

void AddUtilityRoutes(RouteTable& /*table*/) {}

}  // namespace pemar::web
