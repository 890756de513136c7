// Construction, queries and edits of the utility database.

#include "pemar/utility/DefaultManager.h"

#include <cmath>
#include <map>
#include <string>
#include <utility>

#include "pemar/framework/Messages.h"

namespace pemar {

namespace {

// "Cut to an integer" for flags, without the undefined behaviour of casting
// NaN, infinities or huge values.
bool FlagFromValue(double value) {
  return std::isfinite(value) && std::trunc(value) != 0.0;
}

}  // namespace

IDefaultUtilityManager::~IDefaultUtilityManager() = default;

DefaultManager::DefaultManager() : defaultEconomicData_(new EconomicData) {
  defaultEconomicData_->SetExchangerType("DEFAULT");
  fileNames_[kCurrentUtilitiesFileName] = kDefaultFileLabel;
  fileNames_[kCurrentEconomicsFileName] = kDefaultFileLabel;
}

DefaultManager::DefaultManager(const DefaultManager& other)
    : IPemarBaseObject(),
      INotificationSender(),
      IDefaultUtilityManager(),
      PemarBaseObject(other),
      NotificationSender(other),
      locked_(other.locked_),
      mode_(other.mode_) {
  if (other.economicInfo_)
    economicInfo_ = new EconomicInfo(*other.economicInfo_);
  if (other.defaultEconomicData_) {
    defaultEconomicData_ = new EconomicData(*other.defaultEconomicData_);
  }
  if (other.economicDict_) {
    economicDict_ = new EconomicDataDictionary;
    economicList_ = new EconomicDataList;
    // Every named set is copied under the key that finds it: those in the
    // list in list order, then any the dictionary alone holds.
    std::map<const EconomicData*, CVString> keys;
    for (const auto& [key, set] : *other.economicDict_) keys.emplace(set, key);
    auto copy_set = [this](const CVString& key, const EconomicData* set) {
      auto* copy = new EconomicData(*set);
      if (!economicDict_->emplace(key, copy).second) {
        delete copy;
        return;
      }
      economicList_->push_back(copy);
    };
    if (other.economicList_) {
      for (EconomicData* set : *other.economicList_) {
        auto found = keys.find(set);
        if (found != keys.end()) {
          copy_set(found->second, set);
          keys.erase(found);
        } else if (const CVString* type = set->GetExchangerType()) {
          copy_set(type->Upper(), set);
        } else {
          copy_set(CVString(), set);
        }
      }
    }
    for (const auto& [key, set] : *other.economicDict_) {
      if (keys.count(set) != 0) copy_set(key, set);
    }
  }
  for (const char* key :
       {kCurrentUtilitiesFileName, kCurrentEconomicsFileName}) {
    auto it = other.fileNames_.find(key);
    if (it != other.fileNames_.end()) fileNames_[key] = it->second;
  }
  hasHTCList_ = other.hasHTCList_;
  for (const auto& entry : other.htc_) {
    htc_.push_back(std::make_unique<DefHeatTransferCoefficient>(*entry));
  }
  hasUtilityList_ = other.hasUtilityList_;
  for (const auto& utility : other.utilities_) {
    utilities_.push_back(std::make_unique<DefaultUtility>(*utility));
  }
}

DefaultManager::~DefaultManager() {
  delete economicInfo_;
  economicInfo_ = nullptr;
  delete defaultEconomicData_;
  defaultEconomicData_ = nullptr;
  delete economicList_;
  economicList_ = nullptr;
  htc_.clear();
  utilities_.clear();
  ClearEconomicDictionary();
  delete economicDict_;
  economicDict_ = nullptr;
  fileNames_.clear();
  SendAMessage(SenderDying, nullptr, nullptr);
}

void DefaultManager::ClearEconomicDictionary() {
  if (economicDict_ == nullptr) return;
  for (auto& [key, set] : *economicDict_) delete set;
  economicDict_->clear();
}

DefaultUtility* DefaultManager::Find(const char* name) const {
  if (name == nullptr) return nullptr;
  for (const auto& utility : utilities_) {
    if (utility->name_ == name) return utility.get();
  }
  return nullptr;
}

DefaultUtility* DefaultManager::At(int index) const {
  if (index < 0 || index >= static_cast<int>(utilities_.size())) {
    return nullptr;
  }
  return utilities_[static_cast<std::size_t>(index)].get();
}

void DefaultManager::NotifyDatabaseChanged() {
  if (mode_ == 0) {
    SendAMessage(DatabaseChanged, "hi",
                 static_cast<IDefaultUtilityManager*>(this));
  }
}

// --- Queries ---------------------------------------------------------------

int DefaultManager::GetNumberOfDefaultUtilities() {
  return static_cast<int>(utilities_.size());
}

int DefaultManager::GetNumberOfSimulationUtilities() {
  int n = 0;
  for (const auto& utility : utilities_) n += utility->simulationUtility_;
  return n;
}

unsigned char DefaultManager::AmISimulationUtility(int index) {
  DefaultUtility* utility = At(index);
  return utility != nullptr && utility->simulationUtility_;
}

DefaultUtility* DefaultManager::GetDefaultUtility(int index) {
  return At(index);
}

DefaultUtility* DefaultManager::GetDefaultUtility(const CVString* name) {
  return name ? Find(name->c_str()) : nullptr;
}

const char* DefaultManager::GetDefaultUtilityName(int index) {
  DefaultUtility* utility = At(index);
  return utility ? utility->GetUtilityName() : nullptr;
}

const char* DefaultManager::GetRecommendedUtilityName(int index) {
  return GetDefaultUtilityName(index);
}

double DefaultManager::GetDefaultUtilityInletTemp(int index) {
  DefaultUtility* utility = At(index);
  return utility ? utility->inletT_ : kEmptyValue;
}

double DefaultManager::GetDefaultUtilityOutletTemp(int index) {
  DefaultUtility* utility = At(index);
  return utility ? utility->outletT_ : kEmptyValue;
}

double DefaultManager::GetDefaultUtilityMassHeatCap(int index) {
  DefaultUtility* utility = At(index);
  return utility ? utility->massHeatCap_ : kEmptyValue;
}

SegmentHeatType DefaultManager::GetValue(int index) {
  DefaultUtility* utility = At(index);
  return utility ? utility->heatType_ : UndefinedSegment;
}

double DefaultManager::GetValue(const DefaultUtility* u,
                                DefaultUtilityParameter parameter) {
  if (u == nullptr) return 0.0;
  switch (parameter) {
    case InletTemperature:
      return u->inletT_;
    case OutletTemperature:
      return u->outletT_;
    case HeatTransferCoefficient:
      return u->htc_;
    case HTCCalculated:
      return u->htcCalculated_ ? 1.0 : 0.0;
    case UtilityCost:
      return u->cost_;
    case ARTempHigh:
      return u->arHigh_;
    case ARTempLow:
      return u->arLow_;
    case HeatType:
      return static_cast<double>(u->heatType_);
    case DeltaTmin:
      return u->deltaTmin_;
    case Viscosity:
      return u->viscosity_;
    case ThermCond:
      return u->thermCond_;
    case MassDensity:
      return u->massDensity_;
    case MassHeatCap:
      return u->massHeatCap_;
    case FuelSourceID:
      return u->fuelSourceID_;
    case CO2EmissionFactor:
      return u->co2EmissionFactor_;
    case FuelEffFactor:
      return u->fuelEffFactor_;
    case GlobalSetting:
      return u->IsGlobalSetting();
    case EFDataSource:
      return u->efDataSource_;
    default:
      return 0.0;
  }
}

double DefaultManager::GetValue(const char* name,
                                DefaultUtilityParameter parameter) {
  DefaultUtility* utility = Find(name);
  return utility ? GetValue(utility, parameter) : kEmptyValue;
}

double DefaultManager::GetValue(int index, DefaultUtilityParameter parameter) {
  DefaultUtility* utility = At(index);
  return utility ? GetValue(utility, parameter) : kEmptyValue;
}

const char* DefaultManager::GetExchangerType(const char* name) {
  DefaultUtility* utility = Find(name);
  return utility ? utility->exchangerType_.c_str() : nullptr;
}

const char* DefaultManager::GetExchangerType(int index) {
  DefaultUtility* utility = At(index);
  return utility ? utility->exchangerType_.c_str() : nullptr;
}

short DefaultManager::Exists(const char* name) {
  return Find(name) != nullptr ? 1 : 0;
}

int DefaultManager::GetMode() { return mode_; }

void DefaultManager::SetMode(int mode) {
  mode_ = mode;
  NotifyDatabaseChanged();
}

// --- Edits -------------------------------------------------------------------

hresult DefaultManager::AddDefaultUtility(
    const char* name, SegmentHeatType type, double inletT, double outletT,
    double htc, double cost, double arHigh, double arLow, double deltaTmin,
    const char* exchangerType, double viscosity, double thermCond,
    double massDensity, double massHeatCap) {
  if (name == nullptr || Find(name) != nullptr) return kRejected;
  hasUtilityList_ = true;
  utilities_.push_back(std::make_unique<DefaultUtility>(
      name, type, inletT, outletT, htc, cost, arHigh, arLow, deltaTmin,
      exchangerType, viscosity, thermCond, massDensity, massHeatCap));
  return kDone;
}

hresult DefaultManager::AddDefaultUtility(const char* name) {
  if (!AddDefaultUtility(name, UndefinedSegment, kEmptyValue, kEmptyValue,
                         kEmptyValue, 0.0, kEmptyValue, kEmptyValue,
                         kEmptyValue, kShellAndTube, kEmptyValue, kEmptyValue,
                         kEmptyValue, kEmptyValue)) {
    return kRejected;
  }
  CalculateARTemp();
  const CVString added = name;
  SendAMessage(UtilityAdded, added.c_str(), nullptr);
  return kDone;
}

hresult DefaultManager::RenameDefaultUtility(const char* oldName,
                                             const char* newName) {
  if (newName == nullptr || Find(newName) != nullptr) return kRejected;
  DefaultUtility* utility = Find(oldName);
  if (utility == nullptr) return kRejected;
  // Both texts may point into this record; keep copies for the receivers.
  const CVString old_copy = oldName;
  const CVString new_copy = newName;
  utility->name_ = new_copy;
  SendAMessage(UtilityNameChanged, old_copy.c_str(),
               const_cast<char*>(new_copy.c_str()));
  NotifyDatabaseChanged();
  return kDone;
}

hresult DefaultManager::RemoveDefaultUtility(const char* name) {
  if (name == nullptr) return kRejected;
  for (auto it = utilities_.begin(); it != utilities_.end(); ++it) {
    if ((*it)->name_ == name) {
      // The caller's text may be this record's own name.
      const CVString removed = name;
      utilities_.erase(it);
      SendAMessage(UtilityRemoved, removed.c_str(), nullptr);
      CalculateARTemp();
      NotifyDatabaseChanged();
      return kDone;
    }
  }
  return kRejected;
}

hresult DefaultManager::CloneDefaultUtility(const char* name) {
  DefaultUtility* source = Find(name);
  if (source == nullptr) return kRejected;
  auto clone = std::make_unique<DefaultUtility>(source);
  const CVString base = source->name_ + " - ";
  CVString clone_name;
  for (long n = 1;; ++n) {
    clone_name = base + std::to_string(n);
    if (!Exists(clone_name.c_str())) break;
  }
  clone->name_ = clone_name;
  utilities_.push_back(std::move(clone));
  SendAMessage(UtilityAdded, clone_name.c_str(), nullptr);
  CalculateARTemp();
  NotifyDatabaseChanged();
  return kDone;
}

hresult DefaultManager::RestoreDefaultUtilities() {
  while (!utilities_.empty()) {
    const CVString name = utilities_.front()->name_;
    if (!RemoveDefaultUtility(name.c_str())) {
      // Two records may share an empty name only through a damaged file;
      // take the first one out directly so the loop always ends.
      utilities_.erase(utilities_.begin());
      SendAMessage(UtilityRemoved, name.c_str(), nullptr);
    }
  }
  SetUpDefaults();
  SetupDefaultsCompositions();
  return kDone;
}

hresult DefaultManager::SetValue(const char* name,
                                 DefaultUtilityParameter parameter,
                                 double value) {
  DefaultUtility* utility = Find(name);
  if (utility == nullptr) return kDone;
  return SetValue(utility, parameter, value);
}

hresult DefaultManager::SetTemperature(DefaultUtility* u, bool inlet,
                                       double value) {
  // `other` is the temperature at the utility's other end. A hot utility
  // has inlet > outlet, a cold one inlet < outlet.
  const double other = inlet ? u->outletT_ : u->inletT_;
  const bool makes_hot = inlet ? value > other : value < other;
  const bool makes_cold = inlet ? value < other : value > other;
  double& field = inlet ? u->inletT_ : u->outletT_;
  switch (u->heatType_) {
    case HotSegment:
      if (!makes_hot) {
        ErrorMsg(inlet ? "HotStreamInletTemperatureUpdateError"
                       : "HotStreamOutletTemperatureUpdateError");
        return kRejected;
      }
      break;
    case ColdSegment:
      if (!makes_cold) {
        ErrorMsg(inlet ? "ColdStreamInletTemperatureUpdateError"
                       : "ColdStreamOutletTemperatureUpdateError");
        return kRejected;
      }
      break;
    default:
      if (other == kEmptyValue) {
        field = value;
        return kDone;
      }
      if (makes_hot) {
        u->heatType_ = HotSegment;
      } else if (makes_cold) {
        u->heatType_ = ColdSegment;
      } else {
        return kRejected;
      }
      if (u->IsValidUtilType(u->exchangerType_.c_str()) != nullptr) {
        u->heatType_ = UndefinedSegment;
        return kRejected;
      }
      break;
  }
  field = value;
  CalculateARTemp();
  NotifyDatabaseChanged();
  return kDone;
}

hresult DefaultManager::SetValue(DefaultUtility* u,
                                 DefaultUtilityParameter parameter,
                                 double value) {
  switch (parameter) {
    case InletTemperature:
      return SetTemperature(u, true, value);
    case OutletTemperature:
      return SetTemperature(u, false, value);
    case HeatTransferCoefficient:
      u->htc_ = value;
      NotifyDatabaseChanged();
      return kDone;
    case HTCCalculated:
      u->htcCalculated_ = FlagFromValue(value);
      if (value == 1.0) u->CalcHTCFromPropForORVEX();
      return kDone;
    case UtilityCost:
      u->cost_ = value;
      NotifyDatabaseChanged();
      return kDone;
    case ARTempHigh:
      if (u->heatType_ == HotSegment && value > u->arLow_ &&
          value < u->inletT_) {
        u->arHigh_ = value;
        return kDone;
      }
      if (u->heatType_ == ColdSegment && value > u->arLow_ &&
          value > u->outletT_) {
        u->arHigh_ = value;
        return kDone;
      }
      return kRejected;
    case ARTempLow:
      if (u->heatType_ == UndefinedSegment) return kRejected;
      if (u->arHigh_ == kEmptyValue ||
          (u->heatType_ == HotSegment && value < u->arHigh_ &&
           value < u->outletT_) ||
          (u->heatType_ == ColdSegment && value < u->arHigh_ &&
           value > u->inletT_)) {
        u->arLow_ = value;
        return kDone;
      }
      return kRejected;
    case HeatType:
      return kDone;
    case DeltaTmin:
      if (value >= 1.0) {
        u->deltaTmin_ = value;
        CalculateARTemp();
        NotifyDatabaseChanged();
      } else {
        SendAMessage(ErrorMessage, "DeltaTMinWarning",
                     static_cast<IDefaultUtilityManager*>(this));
      }
      return kDone;
    case Viscosity:
    case ThermCond:
    case MassDensity:
    case MassHeatCap: {
      if (!(value > 0.0)) return kRejected;
      double* fields[] = {&u->viscosity_, &u->thermCond_, &u->massDensity_,
                          &u->massHeatCap_};
      *fields[parameter - Viscosity] = value;
      return kDone;
    }
    case FuelSourceID:
      u->fuelSourceID_ = value;
      return kDone;
    case CO2EmissionFactor:
      u->co2EmissionFactor_ = value;
      return kDone;
    case FuelEffFactor:
      u->fuelEffFactor_ = value;
      return kDone;
    case EFDataSource:
      u->efDataSource_ = value;
      return kDone;
    case GlobalSetting:
      u->globalSetting_ = FlagFromValue(value);
      return kDone;
    case SimulationUtility:
      u->simulationUtility_ = value == 1.0;
      return kDone;
    default:
      return kDone;
  }
}

const char* DefaultManager::SetExchangerType(int index, const char* type) {
  DefaultUtility* utility = At(index);
  if (utility == nullptr || type == nullptr) return nullptr;
  const char* refusal = utility->IsValidUtilType(type);
  if (refusal == nullptr) utility->exchangerType_ = type;
  return refusal;
}

const char* DefaultManager::SetExchangerType(const char* name,
                                             const char* type) {
  DefaultUtility* utility = Find(name);
  if (utility == nullptr || type == nullptr) return nullptr;
  const char* refusal = utility->IsValidUtilType(type);
  if (refusal == nullptr) utility->exchangerType_ = type;
  return refusal;
}

hresult DefaultManager::SetStreamType(const char* name, SegmentHeatType type) {
  DefaultUtility* utility = Find(name);
  if (utility == nullptr) return kRejected;
  utility->heatType_ = type;
  return kDone;
}

void DefaultManager::AddCompInfoToUtility(const char* utility, int count,
                                          char** names, double* fractions) {
  DefaultUtility* u = Find(utility);
  if (u != nullptr) u->SetComponents(count, names, fractions);
}

hresult DefaultManager::CompareComp(const char* utility, const char* component,
                                    double fraction) {
  DefaultUtility* u = Find(utility);
  return u != nullptr && u->CompareComp(component, fraction) ? kDone
                                                             : kRejected;
}

void DefaultManager::GetCurrentFileName(const char* key, char*& name) {
  if (key == nullptr) return;
  auto it = fileNames_.find(key);
  if (it != fileNames_.end()) name = it->second.str().data();
}

// --- Exported functions ------------------------------------------------------

IDefaultUtilityManager* CreateDefaultUtilManager() {
  auto* manager = new DefaultManager;
  manager->SetUpDefaults();
  manager->SetupDefaultsCompositions();
  return manager;
}

void ReleaseDefaultUtilManager(IDefaultUtilityManager* manager) {
  delete manager;
}

void SetCompInfoForUtility(IDefaultUtilityManager* manager, const char* utility,
                           int count, char** names, double* fractions) {
  if (manager != nullptr) {
    manager->AddCompInfoToUtility(utility, count, names, fractions);
  }
}

}  // namespace pemar
