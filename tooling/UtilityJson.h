// How the tool and the web application show a utility as JSON.

#ifndef PEMAR_TOOLING_UTILITYJSON_H_
#define PEMAR_TOOLING_UTILITYJSON_H_

#include <nlohmann/json.hpp>

namespace pemar {
class DefaultUtility;
}

namespace pemar::tooling {

// The utility's fields in the order of the tool's utility table: name, heat
// type, temperatures in C, AR range, delta-T min, heat-transfer coefficient,
// cost, exchanger type, fuel ("" for none) and CO2 factor; empty values are
// null. The inlet and outlet temperatures go under the keys given: the
// tool's JSON and the web API name them differently, and the readers of
// each rely on their own names.
nlohmann::ordered_json UtilityJson(const DefaultUtility& utility,
                                   const char* inlet_key,
                                   const char* outlet_key);

}  // namespace pemar::tooling

#endif  // PEMAR_TOOLING_UTILITYJSON_H_
