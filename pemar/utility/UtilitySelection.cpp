// AR temperatures and the choice of a utility for a process temperature.
//
// Hot utilities, ordered by inlet temperature, tile the temperature axis from
// absolute zero upwards; cold utilities, ordered by outlet temperature, tile
// it from 3000 C downwards. Recomputation sorts once (n log n); every query
// is one walk over the list.

#include "pemar/utility/UtilitySelection.h"

#include <algorithm>
#include <vector>

#include "pemar/utility/DefaultManager.h"

namespace pemar {

namespace {

constexpr double kAbsoluteZero = -273.15;
constexpr double kTopOfRange = 3000.0;

bool IsDefined(const DefaultUtility& u) {
  return u.GetInletTemperature() != kEmptyValue &&
         u.GetOutletTemperature() != kEmptyValue &&
         u.GetDeltaTmin() != kEmptyValue;
}

bool IsUsableBase(const DefaultUtility& u) {
  return u.GetInletTemperature() != kEmptyValue &&
         u.GetOutletTemperature() != kEmptyValue &&
         u.GetHeatTransferCoefficient() != kEmptyValue &&
         u.GetUtilityCost() != kEmptyValue &&
         u.GetARTempHigh() != kEmptyValue && u.GetARTempLow() != kEmptyValue &&
         u.GetHeatType() != UndefinedSegment;
}

bool IsUsable(const DefaultUtility& u, SegmentHeatType type, double t) {
  if (u.GetHeatType() != type || !IsDefined(u) || !IsUsableBase(u)) {
    return false;
  }
  return type == HotSegment ? u.GetARTempHigh() > t : t > u.GetARTempLow();
}

// Stable. The lists are usually a few dozen utilities, sorted again on
// every change: those are sorted in place, without the scratch buffer of
// std::stable_sort.
template <typename Less>
void StableSort(std::vector<DefaultUtility*>* list, Less less) {
  if (list->size() > 64) {
    std::stable_sort(list->begin(), list->end(), less);
    return;
  }
  for (std::size_t i = 1; i < list->size(); ++i) {
    DefaultUtility* u = (*list)[i];
    std::size_t j = i;
    for (; j > 0 && less(u, (*list)[j - 1]); --j) (*list)[j] = (*list)[j - 1];
    (*list)[j] = u;
  }
}

}  // namespace

int itFindDefaultUtilityStructSHT(void* item, void* heatType) {
  const auto* u = static_cast<const DefaultUtility*>(item);
  const auto type = *static_cast<const SegmentHeatType*>(heatType);
  return u->GetHeatType() == type && IsDefined(*u) ? 1 : 0;
}

int itDefaultUtilityInletTempSort(void* a, void* b) {
  const double ta =
      static_cast<const DefaultUtility*>(a)->GetInletTemperature();
  const double tb =
      static_cast<const DefaultUtility*>(b)->GetInletTemperature();
  return ta < tb ? -1 : (ta > tb ? 1 : 0);
}

int itDefaultUtilityOutletTempSort(void* a, void* b) {
  const double ta =
      static_cast<const DefaultUtility*>(a)->GetOutletTemperature();
  const double tb =
      static_cast<const DefaultUtility*>(b)->GetOutletTemperature();
  return ta > tb ? -1 : (ta < tb ? 1 : 0);
}

void DefaultManager::CalculateARTemp() {
  // Runs on every change of the list, so it allocates once per list.
  std::vector<DefaultUtility*> hot;
  std::vector<DefaultUtility*> cold;
  hot.reserve(utilities_.size());
  cold.reserve(utilities_.size());
  for (const auto& u : utilities_) {
    if (!IsDefined(*u)) continue;
    if (u->heatType_ == HotSegment) hot.push_back(u.get());
    if (u->heatType_ == ColdSegment) cold.push_back(u.get());
  }
  StableSort(&hot, [](DefaultUtility* a, DefaultUtility* b) {
    return itDefaultUtilityInletTempSort(a, b) < 0;
  });
  StableSort(&cold, [](DefaultUtility* a, DefaultUtility* b) {
    return itDefaultUtilityOutletTempSort(a, b) < 0;
  });

  const DefaultUtility* previous = nullptr;
  for (DefaultUtility* u : hot) {
    const bool same = previous && previous->inletT_ == u->inletT_;
    u->arHigh_ = same ? previous->arHigh_ : u->inletT_ - u->deltaTmin_ + 0.5;
    u->arLow_ = previous == nullptr ? kAbsoluteZero
                : same              ? previous->arLow_
                                    : previous->arHigh_;
    previous = u;
  }
  previous = nullptr;
  for (DefaultUtility* u : cold) {
    const bool same = previous && previous->outletT_ == u->outletT_;
    u->arLow_ = same ? previous->arLow_ : u->outletT_ + u->deltaTmin_ - 0.5;
    u->arHigh_ = previous == nullptr ? kTopOfRange
                 : same              ? previous->arHigh_
                                     : previous->arLow_;
    previous = u;
  }
  for (const auto& u : utilities_) {
    if (!IsDefined(*u)) {
      u->arHigh_ = kEmptyValue;
      u->arLow_ = kEmptyValue;
    }
  }
}

hresult DefaultManager::GetUsableUtilList(double temperature,
                                          SegmentHeatType type, CVList* list) {
  if (temperature == kEmptyValue ||
      (type != HotSegment && type != ColdSegment) || list == nullptr) {
    return kRejected;
  }
  for (const auto& u : utilities_) {
    if (IsUsable(*u, type, temperature)) list->push_back(u.get());
  }
  return list->empty() ? kRejected : kDone;
}

const char* DefaultManager::GetRecommendedUtilityName(
    double temperature, SegmentHeatType type, const char* exchangerType) {
  if (type != HotSegment && type != ColdSegment) return nullptr;
  for (const auto& u : utilities_) {
    if (u->heatType_ != type) continue;
    const bool in_range =
        type == HotSegment
            ? u->arLow_ < temperature && temperature <= u->arHigh_
            : u->arLow_ <= temperature && temperature < u->arHigh_;
    if (!in_range) continue;
    if (exchangerType != nullptr && !(u->exchangerType_ == exchangerType)) {
      continue;
    }
    return u->GetUtilityName();
  }
  return nullptr;
}

const char* DefaultManager::GetRecommendedUtilityForDataExt(
    double temperature, SegmentHeatType type, double t2) {
  // An unspecified temperature selects nothing, as in the other searches.
  if (!hasUtilityList_ || temperature == kEmptyValue) return nullptr;
  if (type == HotSegment || type == ColdSegment) {
    for (bool simulation : {true, false}) {
      const DefaultUtility* best = nullptr;
      double best_inlet = type == HotSegment ? 1e6 : -1e6;
      for (const auto& u : utilities_) {
        if (u->simulationUtility_ != simulation || u->heatType_ != type) {
          continue;
        }
        if (type == HotSegment) {
          if (u->arHigh_ == kEmptyValue || !(u->arHigh_ >= temperature)) {
            continue;
          }
          if (t2 > kAbsoluteZero && !(u->outletT_ - u->deltaTmin_ >= t2)) {
            continue;
          }
          if (u->inletT_ < best_inlet) {
            best_inlet = u->inletT_;
            best = u.get();
          }
        } else {
          if (u->arLow_ == kEmptyValue || !(temperature >= u->arLow_)) {
            continue;
          }
          if (u->inletT_ > best_inlet) {
            best_inlet = u->inletT_;
            best = u.get();
          }
        }
      }
      if (best != nullptr) return best->GetUtilityName();
    }
  }
  return GetRecommendedUtilityName(temperature, type, nullptr);
}

const char* DefaultManager::GetMostEconomicalUtilityName(double temperature,
                                                         SegmentHeatType type) {
  if (temperature == kEmptyValue ||
      (type != HotSegment && type != ColdSegment)) {
    return nullptr;
  }
  const DefaultUtility* best = nullptr;
  double best_cost = 1e20;
  // The same walk GetUsableUtilList makes, without building the list.
  for (const auto& u : utilities_) {
    if (IsUsable(*u, type, temperature) && u->cost_ < best_cost) {
      best_cost = u->cost_;
      best = u.get();
    }
  }
  return best ? best->GetUtilityName() : nullptr;
}

}  // namespace pemar
