#include "pemar/utility/FuelSource.h"

#include <cmath>
#include <iterator>

namespace pemar {

namespace {

constexpr FuelTableEntry kList0[] = {
    {"Aviation gasoline (AvGas)", 7e-05},
    {"Crude Oil", 7.33e-05},
    {"Biodiesel", 0.0},
    {"Biogas", 0.0},
    {"Biogasoline", 0.0},
    {"Biomass", 0.0},
    {"Bitumen", 8.06e-05},
    {"Blast furnace gas", 0.0002594},
    {"Carbon monoxide", 0.0001552},
    {"Charcoal", 0.0},
    {"Coal - anthracite", 9.82e-05},
    {"Coal - bituminous", 9.45e-05},
    {"Coal - coking", 9.45e-05},
    {"Coal tar", 8.06e-05},
    {"Coke", 0.000107},
    {"Coke oven gas", 4.47e-05},
    {"Diesel oil", 7.4e-05},
    {"Ethane", 6.16e-05},
    {"Gas coke", 0.000107},
    {"Gas works gas", 4.47e-05},
    {"Gasoline", 6.92e-05},
    {"General petroleum products", 7.33e-05},
    {"Jet gasoline (Jet B)", 7e-05},
    {"Jet kerosene", 7.15e-05},
    {"Kerosene", 7.18e-05},
    {"Landfill gas", 0.0},
    {"Liquefied petroleum gas", 6.3e-05},
    {"Lubricants", 7.33e-05},
    {"Methane", 5.49e-05},
    {"Naphtha", 7.33e-05},
    {"Natural gas", 5.61e-05},
    {"Natural gas liquids", 6.41e-05},
    {"Orimulsion", 7.69e-05},
    {"Oxygen steel furnace gas", 0.0001718},
    {"Patent fuel", 9.75e-05},
    {"Peat", 0.0001059},
    {"Petroleum coke", 9.75e-05},
    {"Refinery feedstocks", 7.33e-05},
    {"Refinery gas", 5.13e-05},
    {"Residual fuel oil", 7.73e-05},
    {"Shale oil", 7.33e-05},
    {"Sludge gas", 0.0},
    {"Waste oil", 7.33e-05},
    {"Waxes", 7.33e-05},
    {"White spirit and SBP", 7.33e-05},
    {"Wood", 0.0},
};

constexpr FuelTableEntry kList1[] = {
    {"Asphalt", 7.964e-05},
    {"Biogas", 5.489e-05},
    {"Coal - anthracite", 0.00010915},
    {"Coal - bituminous", 9.846e-05},
    {"Coal - coking", 0.0},
    {"Coal - commercial", 0.00010042},
    {"Coal - electric power", 9.949e-05},
    {"Coal - industrial", 9.9e-05},
    {"Coal - ignite", 0.00010158},
    {"Coal - sub-bituminous", 0.00010228},
    {"Coke", 0.00010757},
    {"Crude Oil", 7.853e-05},
    {"Distillate fuel oil", 7.706e-05},
    {"Dired sewage sludge", 0.00011596},
    {"Ethane", 6.277e-05},
    {"Fossil based waste", 8.433e-05},
    {"Gasoline - aviation", 7.289e-05},
    {"Gasoline - motor", 7.467e-05},
    {"Gasoline - natural", 7.045e-05},
    {"Impregnated sawdust", 7.906e-05},
    {"Isobutane", 6.856e-05},
    {"Jet fuel", 7.467e-05},
    {"Kerosene", 7.616e-05},
    {"LPG", 6.639e-05},
    {"Lubricants", 7.818e-05},
    {"Mixed industrial wastes", 8.75e-05},
    {"Municipal solid wastes", 9.488e-05},
    {"Naphtha - special", 7.671e-05},
    {"Naphtha - heavy (>401F)", 7.706e-05},
    {"Naphtha - light (<401F)", 7.006e-05},
    {"Natural gas", 5.589e-05},
    {"N-butane", 6.845e-05},
    {"Pentanes Plus", 7.045e-05},
    {"Petrochemical feedstock", 7.482e-05},
    {"Petroleum coke", 0.00010757},
    {"Plastics", 7.906e-05},
    {"Propane", 6.643e-05},
    {"Residual fuel oil", 8.301e-05},
    {"Solvents", 7.801e-05},
    {"Tires", 8.961e-05},
    {"Unfinished oils", 7.853e-05},
    {"Waste Oil", 7.801e-05},
    {"Waxes", 7.651e-05},
    {"Wood", 9.888e-05},
};

static_assert(std::size(kList0) == kFuelList0Length);
static_assert(std::size(kList1) == kFuelList1Length);

}  // namespace

const FuelTableEntry* BuiltInFuelList(int list, std::size_t* count) {
  switch (list) {
    case 0:
      *count = std::size(kList0);
      return kList0;
    case 1:
      *count = std::size(kList1);
      return kList1;
    default:
      *count = 0;
      return nullptr;
  }
}

const FuelTableEntry* FindFuelByID(int dataSource, double id) {
  // The range check comes before any conversion: NaN, infinities and huge
  // IDs from a file or a form are simply "no such fuel".
  if (!std::isfinite(id)) return nullptr;
  if (dataSource == 0 && id >= 0.0 && id < kFuelList0Length) {
    return &kList0[static_cast<int>(id)];
  }
  if (dataSource == 1 && id >= kFuelList1FirstID &&
      id < kFuelList1FirstID + kFuelList1Length) {
    return &kList1[static_cast<int>(id) - kFuelList1FirstID];
  }
  return nullptr;
}

}  // namespace pemar
