#include "web/Api.h"

namespace pemar::web {

void AddEconomicsRoutes(RouteTable& /*table*/) {}

}  // namespace pemar::web
