// Enumerations shared by the utility and economics database.
//
// SegmentHeatType says whether a stream segment or a utility gives heat (hot)
// or takes it (cold). DefaultUtilityParameter picks one field of a utility
// for the database's generic get and set operations. EconomicDataType picks
// one economic figure (see EconomicData.h).

#ifndef PEMAR_UTILITY_UTILITYTYPES_H_
#define PEMAR_UTILITY_UTILITYTYPES_H_

#include <cstdint>

namespace pemar {

enum SegmentHeatType : std::int32_t {
  HotSegment = 0,        // gives heat: inlet above outlet
  ColdSegment = 1,       // takes heat: outlet above inlet
  UndefinedSegment = 2,  // not known until both temperatures are set
};

enum DefaultUtilityParameter : std::int32_t {
  InletTemperature = 0,
  OutletTemperature = 1,
  HeatTransferCoefficient = 2,
  HTCCalculated = 3,
  UtilityCost = 4,
  ARTempHigh = 5,
  ARTempLow = 6,
  HeatType = 7,  // read only
  DeltaTmin = 8,
  Viscosity = 9,
  ThermCond = 10,
  MassDensity = 11,
  MassHeatCap = 12,
  FuelSourceID = 13,
  CO2EmissionFactor = 14,
  FuelEffFactor = 15,
  GlobalSetting = 16,
  EFDataSource = 17,
  SimulationUtility = 18,  // write only: the generic get gives 0.0
};

enum EconomicDataType : std::int32_t {
  EconomicCoefficient0 = 0,    // EconomicData: first capital-cost coefficient
  EconomicCoefficient1 = 1,    // EconomicData: second coefficient
  EconomicCoefficient2 = 2,    // EconomicData: third coefficient
  EconomicParameter3 = 3,      // EconomicInfo: first database-wide parameter
  EconomicParameter4 = 4,      // EconomicInfo: second database-wide parameter
  EconomicSwitch = 5,          // EconomicData: yes/no switch (0.0 or 1.0)
  EconomicOperatingHours = 6,  // EconomicInfo: yearly operating time, hours
};

}  // namespace pemar

#endif  // PEMAR_UTILITY_UTILITYTYPES_H_
