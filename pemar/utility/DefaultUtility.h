// DefaultUtility: one heating or cooling utility of the utility database.
//
// Temperatures are degrees Celsius, the film heat-transfer coefficient is in
// kW/(m2 K), viscosity in cP, thermal conductivity in W/(m K), density in
// kg/m3 and mass heat capacity in kJ/(kg K). The cost is per unit of energy
// delivered or removed; it is negative for utilities that earn a credit.
// kEmptyValue (-32767.0) marks a value that is not specified, in every
// numeric field.
//
// Records are made and destroyed by the database (DefaultManager), which
// also makes every write except the two flags; the record owns its strings
// and its composition.

#ifndef PEMAR_UTILITY_DEFAULTUTILITY_H_
#define PEMAR_UTILITY_DEFAULTUTILITY_H_

#include <vector>

#include "pemar/framework/Export.h"
#include "pemar/framework/Text.h"
#include "pemar/framework/Types.h"
#include "pemar/utility/UtilityTypes.h"

namespace pemar {

class IPemarBinaryFile;
class DefaultManager;

// Exchanger types the library knows; any other text is accepted too.
inline constexpr const char* kShellAndTube = "Shell & Tube";
inline constexpr const char* kFiredHeater = "Fired Heater";
inline constexpr const char* kSteamReboiler = "Steam Reboiler";
inline constexpr const char* kAirCooler = "Air Cooler";
inline constexpr const char* kSteamGenerator = "Steam Generator";
inline constexpr const char* kElectricity = "Electricity";

// Fuel defaults of a new record: the second fuel list's "Natural gas".
inline constexpr double kDefaultEFDataSource = 1.0;
inline constexpr double kDefaultCO2EmissionFactor = 5.589e-5;
inline constexpr double kDefaultFuelSourceID = 76.0;

class PEMAR_EXPORT DefaultUtility {
 public:
  // The revision a store writes.
  static constexpr int kRevision = 7;

  // Every field at its default: undefined heat type, name
  // "UndefinedUtility", delta-T min 10, exchanger type "Shell & Tube".
  DefaultUtility();
  // The form the built-in table is written in. The flags are false, the
  // composition is empty, the fuel fields take their defaults.
  DefaultUtility(CVString name, SegmentHeatType type, double inletT,
                 double outletT, double htc, double cost, double arHigh,
                 double arLow, double deltaTmin, const char* exchangerType,
                 double viscosity, double thermCond, double massDensity,
                 double massHeatCap);
  // A clone: every field of `source` (never null) except the composition,
  // which starts empty.
  explicit DefaultUtility(const DefaultUtility* source);
  DefaultUtility(const DefaultUtility&) = default;
  DefaultUtility& operator=(const DefaultUtility&) = default;
  DefaultUtility(DefaultUtility&&) = default;
  DefaultUtility& operator=(DefaultUtility&&) = default;
  virtual ~DefaultUtility();

  double GetInletTemperature() const { return inletT_; }
  double GetOutletTemperature() const { return outletT_; }
  double GetHeatTransferCoefficient() const { return htc_; }
  double GetUtilityCost() const { return cost_; }
  double GetARTempHigh() const { return arHigh_; }
  double GetARTempLow() const { return arLow_; }
  double GetDeltaTmin() const { return deltaTmin_; }
  double GetViscosity() const { return viscosity_; }
  double GetThermCond() const { return thermCond_; }
  double GetMassDensity() const { return massDensity_; }
  double GetMassHeatCap() const { return massHeatCap_; }
  bool IsSimulationUtility() const { return simulationUtility_; }
  bool IsHTCCalculated() const { return htcCalculated_; }
  double GetEFDataSource() const { return efDataSource_; }
  double GetCO2EmissionFactor() const { return co2EmissionFactor_; }
  double GetFuelSourceID() const { return fuelSourceID_; }
  double GetFuelEffFactor() const { return fuelEffFactor_; }
  // The flag as 0.0 or 1.0.
  double IsGlobalSetting() const { return globalSetting_ ? 1.0 : 0.0; }
  SegmentHeatType GetHeatType() const { return heatType_; }
  const CVString& GetExchangerType() const { return exchangerType_; }
  // The name's characters (valid until the name changes or the record is
  // destroyed), or null when the name is empty.
  const char* GetUtilityName() const;

  int GetComponentCount() const { return static_cast<int>(names_.size()); }
  // Null / 0.0 for a position that has no component.
  const char* GetComponentName(int i) const;
  double GetComponentFraction(int i) const;

  void SetSimulationUtility(bool flag) { simulationUtility_ = flag; }
  void SetHTCCalculated(bool flag) { htcCalculated_ = flag; }

  // Null when `exchangerType` suits the heat type; otherwise shows and
  // returns the message key (a static string) saying why not.
  const char* IsValidUtilType(const char* exchangerType) const;
  // True without components; otherwise true when some component has this
  // name and exactly this fraction, or has another name while `fraction` is
  // 0.0. A null component matches no name.
  bool CompareComp(const char* component, double fraction) const;
  // Replaces the composition with copies. A count <= 0 or null arrays give
  // an empty composition; a null name is stored as the empty name.
  void SetComponents(int count, char** names, double* fractions);
  // Estimates the film coefficient from the properties when viscosity,
  // density and conductivity are all > 0; only a result > 0 is kept.
  void CalcHTCFromPropForORVEX();

  // One chunk of kRevision. False at the first failed write.
  unsigned char Store(IPemarBinaryFile* file) const;
  // Reads a chunk of any revision 1 to kRevision (later ones are read as
  // kRevision); fields the revision lacks keep their values. The record
  // changes only when the whole chunk was read; a heat type outside 0 to 2
  // reads as UndefinedSegment; a component count <= 0 reads as none.
  unsigned char Recall(IPemarBinaryFile* file);

 private:
  friend class DefaultManager;

  double inletT_ = kEmptyValue;
  double outletT_ = kEmptyValue;
  double htc_ = kEmptyValue;
  double cost_ = 0.0;
  double arHigh_ = kEmptyValue;
  double arLow_ = kEmptyValue;
  double deltaTmin_ = 10.0;
  double viscosity_ = kEmptyValue;
  double thermCond_ = kEmptyValue;
  double massDensity_ = kEmptyValue;
  double massHeatCap_ = kEmptyValue;
  CVString exchangerType_ = kShellAndTube;
  SegmentHeatType heatType_ = UndefinedSegment;
  CVString name_ = "UndefinedUtility";
  bool simulationUtility_ = false;
  bool htcCalculated_ = false;
  std::vector<CVString> names_;
  std::vector<double> fractions_;
  double efDataSource_ = kDefaultEFDataSource;
  double co2EmissionFactor_ = kDefaultCO2EmissionFactor;
  double fuelSourceID_ = kDefaultFuelSourceID;
  double fuelEffFactor_ = 1.0;
  bool globalSetting_ = true;
};

}  // namespace pemar

#endif  // PEMAR_UTILITY_DEFAULTUTILITY_H_
