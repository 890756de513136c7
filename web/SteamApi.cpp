#include "web/Api.h"

namespace pemar::web {

void AddSteamRoutes(RouteTable& /*table*/) {}

}  // namespace pemar::web
