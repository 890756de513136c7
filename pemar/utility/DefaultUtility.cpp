#include "pemar/utility/DefaultUtility.h"

#include <cmath>
#include <cstring>
#include <utility>

#include "pemar/framework/Messages.h"
#include "pemar/persist/PemarBinaryFile.h"
#include "pemar/utility/ChunkGuard.h"

namespace pemar {

using utility_internal::ChunkGuard;
using utility_internal::ReadFlag;
using utility_internal::WriteFlag;

DefaultUtility::DefaultUtility() = default;

DefaultUtility::DefaultUtility(CVString name, SegmentHeatType type,
                               double inletT, double outletT, double htc,
                               double cost, double arHigh, double arLow,
                               double deltaTmin, const char* exchangerType,
                               double viscosity, double thermCond,
                               double massDensity, double massHeatCap)
    : inletT_(inletT),
      outletT_(outletT),
      htc_(htc),
      cost_(cost),
      arHigh_(arHigh),
      arLow_(arLow),
      deltaTmin_(deltaTmin),
      viscosity_(viscosity),
      thermCond_(thermCond),
      massDensity_(massDensity),
      massHeatCap_(massHeatCap),
      exchangerType_(exchangerType),
      heatType_(type),
      name_(std::move(name)) {}

DefaultUtility::DefaultUtility(const DefaultUtility* source)
    : DefaultUtility(*source) {
  names_.clear();
  fractions_.clear();
}

DefaultUtility::~DefaultUtility() = default;

const char* DefaultUtility::GetUtilityName() const {
  return name_.IsEmpty() ? nullptr : name_.c_str();
}

const char* DefaultUtility::GetComponentName(int i) const {
  if (i < 0 || i >= GetComponentCount()) return nullptr;
  return names_[static_cast<std::size_t>(i)].c_str();
}

double DefaultUtility::GetComponentFraction(int i) const {
  if (i < 0 || i >= GetComponentCount()) return 0.0;
  return fractions_[static_cast<std::size_t>(i)];
}

const char* DefaultUtility::IsValidUtilType(const char* exchangerType) const {
  if (exchangerType == nullptr) return nullptr;
  const char* key = nullptr;
  if (heatType_ == HotSegment) {
    if (std::strcmp(exchangerType, kAirCooler) == 0) {
      key = "AirCoolerNotValidOnHotUtility";
    } else if (std::strcmp(exchangerType, kSteamGenerator) == 0) {
      key = "SteamGeneratorNotValidOnHotUtility";
    }
  } else if (heatType_ == ColdSegment) {
    if (std::strcmp(exchangerType, kFiredHeater) == 0) {
      key = "FiredHeaterNotValidOnColdUtility";
    } else if (std::strcmp(exchangerType, kSteamReboiler) == 0) {
      key = "SteamReboilerNotValidOnColdUtility";
    }
  }
  if (key != nullptr) ErrorMsg(key);
  return key;
}

bool DefaultUtility::CompareComp(const char* component, double fraction) const {
  if (names_.empty()) return true;
  for (std::size_t i = 0; i < names_.size(); ++i) {
    bool same_name = component != nullptr && names_[i] == component;
    if (same_name && fractions_[i] == fraction) return true;
    if (!same_name && fraction == 0.0) return true;
  }
  return false;
}

void DefaultUtility::SetComponents(int count, char** names, double* fractions) {
  names_.clear();
  fractions_.clear();
  if (count <= 0 || names == nullptr || fractions == nullptr) return;
  names_.reserve(static_cast<std::size_t>(count));
  fractions_.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    names_.emplace_back(names[i]);
    fractions_.push_back(fractions[i]);
  }
}

void DefaultUtility::CalcHTCFromPropForORVEX() {
  const double mu = viscosity_;
  const double rho = massDensity_;
  const double k = thermCond_;
  if (!(mu > 0.0 && rho > 0.0 && k > 0.0)) return;
  constexpr double kTubeDiameter = 0.0254;  // m
  const double reynolds = rho * kTubeDiameter / (mu * 0.001);
  const double prandtl_root = std::cbrt(massHeatCap_ * 1000.0 * mu * 0.001 / k);
  double h;
  if (inletT_ >= outletT_) {
    h = prandtl_root * std::pow(reynolds, 0.55) * (k / kTubeDiameter) * 0.36 /
        1000.0;
  } else {
    h = prandtl_root * std::pow(reynolds, 0.8) * (k / kTubeDiameter) * 2.3e-5;
  }
  if (h > 0.0) htc_ = h;
}

unsigned char DefaultUtility::Store(IPemarBinaryFile* file) const {
  if (file == nullptr) return 0;
  ChunkGuard chunk(file);
  if (!chunk.Create(kRevision)) return 0;
  const double temps[6] = {inletT_, outletT_, htc_, cost_, arHigh_, arLow_};
  const double props[4] = {viscosity_, thermCond_, massDensity_, massHeatCap_};
  if (!WriteCVString(file, name_) || !file->Write(temps, 6) ||
      !file->Write(static_cast<int>(heatType_)) || !file->Write(deltaTmin_) ||
      !WriteCVString(file, exchangerType_) || !file->Write(props, 4)) {
    return 0;
  }
  const int count = GetComponentCount();
  if (!file->Write(count)) return 0;
  for (int i = 0; i < count; ++i) {
    if (!WriteCVString(file, names_[static_cast<std::size_t>(i)]) ||
        !file->Write(fractions_[static_cast<std::size_t>(i)])) {
      return 0;
    }
  }
  const double fuel[3] = {co2EmissionFactor_, fuelSourceID_, fuelEffFactor_};
  if (!file->Write(fuel, 3) || !WriteFlag(file, globalSetting_) ||
      !file->Write(efDataSource_) || !WriteFlag(file, htcCalculated_)) {
    return 0;
  }
  return chunk.Close();
}

namespace {

// Files of older revisions named the water and air components differently;
// the utilities that carry them get the current names.
CVString CurrentComponentName(const CVString& utility,
                              const CVString& component) {
  if (utility == "Cooling Water" || utility == "HP Steam" ||
      utility == "MP Steam" || utility == "LP Steam") {
    return "H2O";
  }
  if (utility == "Air") return "Air";
  return component;
}

}  // namespace

unsigned char DefaultUtility::Recall(IPemarBinaryFile* file) {
  if (file == nullptr) return 0;
  ChunkGuard chunk(file);
  if (!chunk.Open()) return 0;
  const int revision = chunk.Revision();
  DefaultUtility read(*this);

  double temps[6];
  int heat_type = 0;
  if (!ReadCVString(file, &read.name_) || !file->Read(temps, 6) ||
      !file->Read(heat_type)) {
    return 0;
  }
  read.inletT_ = temps[0];
  read.outletT_ = temps[1];
  read.htc_ = temps[2];
  read.cost_ = temps[3];
  read.arHigh_ = temps[4];
  read.arLow_ = temps[5];
  read.heatType_ = (heat_type >= HotSegment && heat_type <= UndefinedSegment)
                       ? static_cast<SegmentHeatType>(heat_type)
                       : UndefinedSegment;
  if (revision >= 2 && !file->Read(read.deltaTmin_)) return 0;
  if (revision >= 3 && !ReadCVString(file, &read.exchangerType_)) return 0;
  if (revision >= 4) {
    double props[4];
    if (!file->Read(props, 4)) return 0;
    read.viscosity_ = props[0];
    read.thermCond_ = props[1];
    read.massDensity_ = props[2];
    read.massHeatCap_ = props[3];
  }
  if (revision >= 5) {
    int count = 0;
    if (!file->Read(count)) return 0;
    std::vector<CVString> names;
    std::vector<double> fractions;
    // Grows only with entries really present, whatever the stored count.
    for (int i = 0; i < count; ++i) {
      CVString component;
      double fraction = 0.0;
      if (!ReadCVString(file, &component) || !file->Read(fraction)) return 0;
      // A record of the current revision holds the names the user gave;
      // only older records are brought to today's names.
      names.push_back(revision < kRevision
                          ? CurrentComponentName(read.name_, component)
                          : component);
      fractions.push_back(fraction);
    }
    read.names_ = std::move(names);
    read.fractions_ = std::move(fractions);
  }
  if (revision >= 6) {
    double fuel[3];
    if (!file->Read(fuel, 3) || !ReadFlag(file, &read.globalSetting_) ||
        !file->Read(read.efDataSource_)) {
      return 0;
    }
    read.co2EmissionFactor_ = fuel[0];
    read.fuelSourceID_ = fuel[1];
    read.fuelEffFactor_ = fuel[2];
  }
  if (revision >= 7 && !ReadFlag(file, &read.htcCalculated_)) return 0;
  if (!chunk.Close()) return 0;
  *this = std::move(read);
  return 1;
}

}  // namespace pemar
