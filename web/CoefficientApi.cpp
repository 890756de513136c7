#include "web/Api.h"

namespace pemar::web {

void AddCoefficientRoutes(RouteTable& /*table*/) {}

}  // namespace pemar::web
