// The database's capital-cost data sets and economic parameters.

#include <algorithm>

#include "pemar/utility/DefaultManager.h"

namespace pemar {

namespace {

constexpr const char* kDefaultSetName = "DEFAULT";

bool IsInfoType(EconomicDataType type) {
  return type == EconomicParameter3 || type == EconomicParameter4 ||
         type == EconomicOperatingHours;
}

}  // namespace

char DefaultManager::GetVariableStatus(EconomicDataType type) {
  if (IsInfoType(type)) {
    return economicInfo_ ? economicInfo_->GetVariableStatus(type) : 0;
  }
  return defaultEconomicData_ ? defaultEconomicData_->GetVariableStatus(type)
                              : 0;
}

double DefaultManager::GetEconomicData(EconomicDataType type,
                                       const char* name) {
  if (name == nullptr) return 0.0;
  CVString key = CVString(name).Upper();
  if (key.IsEmpty()) key = kDefaultSetName;
  if (IsInfoType(type)) {
    return economicInfo_ ? economicInfo_->GetEconomicInfo(type) : 0.0;
  }
  if (key == kDefaultSetName) {
    return defaultEconomicData_ ? defaultEconomicData_->GetEconomicData(type)
                                : 0.0;
  }
  if (economicDict_ == nullptr) return 0.0;
  auto it = economicDict_->find(key);
  return it != economicDict_->end() ? it->second->GetEconomicData(type) : 0.0;
}

hresult DefaultManager::SetEconomicData(EconomicDataType type, double value,
                                        const char* name) {
  if (name == nullptr) return kRejected;
  const CVString key = CVString(name).Upper();
  hresult result = kRejected;
  if (key == kDefaultSetName) {
    if (defaultEconomicData_ == nullptr) {
      defaultEconomicData_ = new EconomicData;
      defaultEconomicData_->SetExchangerType(kDefaultSetName);
    }
    if (economicInfo_ == nullptr) economicInfo_ = new EconomicInfo;
    if (type == EconomicCoefficient0 || type == EconomicCoefficient1 ||
        type == EconomicCoefficient2 || type == EconomicSwitch) {
      result = defaultEconomicData_->SetEconomicData(type, value);
    }
  } else if (economicDict_ != nullptr) {
    auto it = economicDict_->find(key);
    if (it != economicDict_->end()) {
      result = it->second->SetEconomicData(type, value);
    }
  }
  if (IsInfoType(type)) {
    result = kRejected;
    if (economicInfo_ != nullptr && !economicInfo_->IsLocked()) {
      economicInfo_->SetEconomicInfo(type, value);
      result = kDone;
    }
  }
  return result;
}

int DefaultManager::GetNumberOfEconomicData() {
  return 1 + (economicDict_ ? static_cast<int>(economicDict_->size()) : 0);
}

const char* DefaultManager::GetEconomicDataName(int i) {
  if (i == 0) return kDefaultSetName;
  if (i < 0 || economicDict_ == nullptr || economicList_ == nullptr ||
      i > static_cast<int>(economicList_->size())) {
    return nullptr;
  }
  const CVString* name =
      (*economicList_)[static_cast<std::size_t>(i - 1)]->GetExchangerType();
  return name ? name->c_str() : nullptr;
}

hresult DefaultManager::AddEconomicData(const char* name) {
  if (locked_ || name == nullptr) return kRejected;
  if (economicDict_ == nullptr) economicDict_ = new EconomicDataDictionary;
  if (economicList_ == nullptr) economicList_ = new EconomicDataList;
  const CVString key = CVString(name).Upper();
  if (key == kDefaultSetName || economicDict_->count(key) != 0) {
    return kRejected;
  }
  auto* set = new EconomicData;
  set->SetExchangerType(key);
  (*economicDict_)[key] = set;
  economicList_->push_back(set);
  return kDone;
}

hresult DefaultManager::DeleteEconomicData(const char* name) {
  if (economicDict_ == nullptr || locked_ || name == nullptr) return kRejected;
  auto it = economicDict_->find(name);
  if (it == economicDict_->end()) return kRejected;
  EconomicData* set = it->second;
  economicDict_->erase(it);
  bool listed = false;
  if (economicList_ != nullptr) {
    auto pos = std::find(economicList_->begin(), economicList_->end(), set);
    if (pos != economicList_->end()) {
      economicList_->erase(pos);
      listed = true;
    }
  }
  delete set;
  return listed ? kDone : kRejected;
}

hresult DefaultManager::isEconomicDataValid(int which) {
  if (which == 0) return defaultEconomicData_ ? kDone : kRejected;
  if (which == 1) return economicInfo_ ? kDone : kRejected;
  return kDone;
}

EconomicData* DefaultManager::GetEconomicDataPointer(const char* name) {
  if (name == nullptr || economicDict_ == nullptr) return defaultEconomicData_;
  auto it = economicDict_->find(name);
  return it != economicDict_->end() ? it->second : defaultEconomicData_;
}

void DefaultManager::SetEconomicInfo(EconomicInfo* info) {
  if (info == economicInfo_) return;
  delete economicInfo_;
  economicInfo_ = info;
}

void DefaultManager::SetEconomicData(EconomicData* data) {
  if (data == defaultEconomicData_) return;
  delete defaultEconomicData_;
  defaultEconomicData_ = data;
}

void DefaultManager::SetEconomicDataDict(EconomicDataDictionary* dict) {
  if (dict == economicDict_) return;
  delete economicDict_;
  economicDict_ = dict;
}

void DefaultManager::SetEconomicDataList(EconomicDataList* list) {
  if (list == economicList_) return;
  delete economicList_;
  economicList_ = list;
}

void DefaultManager::Lock() {
  locked_ = true;
  if (defaultEconomicData_) defaultEconomicData_->Lock();
  if (economicInfo_) economicInfo_->Lock();
  if (economicDict_) {
    for (auto& [key, set] : *economicDict_) set->Lock();
  }
  if (economicList_) {
    for (EconomicData* set : *economicList_) set->Lock();
  }
}

void DefaultManager::Unlock() {
  locked_ = false;
  if (defaultEconomicData_) defaultEconomicData_->Unlock();
  if (economicInfo_) economicInfo_->Unlock();
  if (economicDict_) {
    for (auto& [key, set] : *economicDict_) set->Unlock();
  }
  if (economicList_) {
    for (EconomicData* set : *economicList_) set->Unlock();
  }
}

void DefaultManager::SetUpEconomicDefaults() {
  if (LoadDefaultFile("DefaultCapitalCost", EconomicDataOnly)) return;
  SetEconomicData(EconomicParameter3, 0.1, kDefaultSetName);
  SetEconomicData(EconomicParameter4, 5.0, kDefaultSetName);
  SetEconomicData(EconomicOperatingHours, kDefaultOperatingHours,
                  kDefaultSetName);
}

}  // namespace pemar
