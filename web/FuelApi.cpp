#include "web/Api.h"

namespace pemar::web {

void AddFuelRoutes(RouteTable& /*table*/) {}

}  // namespace pemar::web
