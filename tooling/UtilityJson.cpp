#include "tooling/UtilityJson.h"

#include "pemar/utility/DefaultUtility.h"
#include "pemar/utility/UtilityDescription.h"
#include "tooling/Format.h"

namespace pemar::tooling {

nlohmann::ordered_json UtilityJson(const DefaultUtility& u,
                                   const char* inlet_key,
                                   const char* outlet_key) {
  const char* name = u.GetUtilityName();
  return {{"name", name != nullptr ? name : ""},
          {"type", HeatTypeName(u.GetHeatType())},
          {inlet_key, JsonNumber(u.GetInletTemperature())},
          {outlet_key, JsonNumber(u.GetOutletTemperature())},
          {"ar_low", JsonNumber(u.GetARTempLow())},
          {"ar_high", JsonNumber(u.GetARTempHigh())},
          {"delta_t_min", JsonNumber(u.GetDeltaTmin())},
          {"htc", JsonNumber(u.GetHeatTransferCoefficient())},
          {"cost", JsonNumber(u.GetUtilityCost())},
          {"exchanger_type", u.GetExchangerType().str()},
          {"fuel", UtilityFuelName(u)},
          {"co2_emission_factor", JsonNumber(u.GetCO2EmissionFactor())}};
}

}  // namespace pemar::tooling
