// The built-in utility set and the default step of the database.

#include <iterator>

#include "pemar/utility/DefaultManager.h"

namespace pemar {

namespace {

struct UtilityRow {
  const char* name;
  SegmentHeatType type;
  double inletT, outletT, htc, cost, deltaTmin;
  const char* exchanger;
  double viscosity, thermCond, density, heatCap;
};

constexpr double E = kEmptyValue;
constexpr SegmentHeatType H = HotSegment;
constexpr SegmentHeatType C = ColdSegment;

// Steam rows hold the latent heat per degree in the heat capacity field:
// they condense or boil over a 1-degree span.
constexpr UtilityRow kDefaultUtilities[] = {
    {"LP Steam", H, 125, 124, 6.0, 1.9e-06, 10, kSteamReboiler, 0.0132, 0.027,
     558, 2196.4},
    {"MP Steam", H, 175, 174, 6.0, 2.2e-06, 10, kSteamReboiler, 0.0152, 0.031,
     493, 1981.4},
    {"HP Steam", H, 250, 249, 6.0, 2.5e-06, 10, kSteamReboiler, 0.0182, 0.038,
     421, 1703.1},
    {"Hot Oil", H, 280, 250, 0.232282, 3.5e-06, 5, kShellAndTube, 10.0, 0.17,
     820, 3.0},
    {"Fired Heat (1000)", H, 1000, 400, 0.111, 4.24911e-06, 25, kFiredHeater,
     1.79e-05, 2.54e-05, 1.225, 1.0},
    {"Fired Heat (2000)", H, 2000, 400, 0.111, 6.34196e-06, 30, kFiredHeater,
     1.79e-05, 2.54e-05, 1.225, 1.0},
    {"Very High Temperature", H, 3000, 2999, 0.111, 8.9e-06, 10, kFiredHeater,
     1.79e-05, 2.54e-05, 1.225, 1.0},
    {"Refrigerant 1 Generation", H, -24, -25, 1.3, -2.7115e-06, 3,
     kShellAndTube, 5.5, 0.56, 1200, 4.0},
    {"Refrigerant 2 Generation", H, -39, -40, 1.3, -3.32953e-06, 3,
     kShellAndTube, 0.00671, 0.0118, 2.271, 1.341},
    {"Refrigerant 3 Generation", H, -64, -65, 1.3, -5.81558e-06, 2,
     kShellAndTube, 0.00671, 0.0118, 2.271, 1.341},
    {"Refrigerant 4 Generation", H, -102, -103, 1.3, -8.44749e-06, 2,
     kShellAndTube, 0.00671, 0.0118, 2.271, 1.341},
    {"Cooling Water", C, 20, 25, 3.75, 2.12456e-07, 5, kShellAndTube, 1.0,
     0.603, 998, 4.183},
    {"Air", C, 30, 35, 0.111, 1e-09, 10, kAirCooler, 1.79e-05, 2.54e-05, 1.225,
     1.0},
    {"LP Steam Generation", C, 124, 125, 6.0, -1.89e-06, 10, kSteamGenerator,
     0.0132, 0.027, 558, 2196.4},
    {"MP Steam Generation", C, 174, 175, 6.0, -2.19e-06, 10, kSteamGenerator,
     0.0152, 0.031, 493, 1981.4},
    {"HP Steam Generation", C, 249, 250, 6.0, -2.49e-06, 10, kSteamGenerator,
     0.0182, 0.038, 421, 1703.1},
    {"Refrigerant 1", C, -25, -24, 1.3, 2.73877e-06, 3, kShellAndTube, 5.5,
     0.56, 1200, 4.0},
    {"Refrigerant 2", C, -40, -39, 1.3, 3.36441e-06, 3, kShellAndTube, 0.00671,
     0.0118, 2.271, 1.341},
    {"Refrigerant 3", C, -65, -64, 1.3, 5.87582e-06, 2, kShellAndTube, 0.00671,
     0.0118, 2.271, 1.341},
    {"Refrigerant 4", C, -103, -102, 1.3, 8.5311e-06, 2, kShellAndTube, 0.00671,
     0.0118, 2.271, 1.341},
    {"Very Low Temperature", C, -270, -269, 1.3, 8.9e-06, 2, kShellAndTube,
     0.00671, 0.0118, 2.271, 1.341},
    {"Power", H, E, E, E, 1.58e-05, E, kElectricity, E, E, E, E},
};

static_assert(std::size(kDefaultUtilities) == 22);

}  // namespace

void DefaultManager::SetUpDefaults() { SetUpDefaultSections(true); }

void DefaultManager::SetUpDefaultsWithoutUtilities() {
  SetUpDefaultSections(false);
}

void DefaultManager::SetUpDefaultSections(bool with_utilities) {
  // A default file that recalls but holds no utility would leave the
  // program without any; the built-in set serves then as well.
  const bool from_file =
      LoadDefaultFile("DefaultUtility", UtilitiesOnly) && !utilities_.empty();
  if (!from_file) {
    utilities_.clear();
    hasUtilityList_ = true;
    // The built-in set is not the file's, whatever a recall put here.
    fileNames_[kCurrentUtilitiesFileName] = kDefaultFileLabel;
    if (with_utilities) {
      for (const UtilityRow& row : kDefaultUtilities) {
        AddDefaultUtility(row.name, row.type, row.inletT, row.outletT, row.htc,
                          row.cost, E, E, row.deltaTmin, row.exchanger,
                          row.viscosity, row.thermCond, row.density,
                          row.heatCap);
      }
      CalculateARTemp();
    }
  } else if (!with_utilities) {
    // The file's name and mode stay, as after removing its utilities.
    utilities_.clear();
  }
  SetUpHTCDefaults();
  SetUpEconomicDefaults();
}

void DefaultManager::SetupDefaultsCompositions() {
  char h2o[] = "H2O";
  char air[] = "Air";
  char* water_names[] = {h2o};
  char* air_names[] = {air};
  double one[] = {1.0};
  for (const char* name :
       {"Cooling Water", "LP Steam", "MP Steam", "HP Steam"}) {
    AddCompInfoToUtility(name, 1, water_names, one);
  }
  AddCompInfoToUtility("Air", 1, air_names, one);
}

}  // namespace pemar
