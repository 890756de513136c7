// Capital-cost data sets (EconomicData) and the database-wide economic
// parameters (EconomicInfo).
//
// A data set is named after the exchanger type it applies to (upper case);
// the set "DEFAULT" applies to every type without a set of its own. Which
// figure EconomicDataType selects is listed in UtilityTypes.h. Both records
// can be locked, which freezes every value until unlocked. How the figures
// enter a cost calculation is up to the caller.

#ifndef PEMAR_UTILITY_ECONOMICDATA_H_
#define PEMAR_UTILITY_ECONOMICDATA_H_

#include <memory>

#include "pemar/framework/Export.h"
#include "pemar/framework/Text.h"
#include "pemar/framework/Types.h"
#include "pemar/utility/UtilityTypes.h"

namespace pemar {

class IPemarBinaryFile;

// The yearly operating time set by the default step: 365.24 days of 24 h.
inline constexpr double kDefaultOperatingHours = 8765.76;

class PEMAR_EXPORT EconomicData {
 public:
  static constexpr int kRevision = 3;

  // Unlocked, no name, coefficients 0.0, 0.0, 1.0, switch 0.
  EconomicData() = default;
  EconomicData(const EconomicData& other);
  EconomicData& operator=(const EconomicData& other);

  // Types 0, 1, 2 give the coefficients, 5 the switch as 0.0 or 1.0, any
  // other type 0.0.
  double GetEconomicData(EconomicDataType type) const;
  // 0 when locked. Types 0-2 store the value, 5 stores 0 for exactly 0.0
  // and 1 otherwise; other types are ignored. 1 otherwise.
  hresult SetEconomicData(EconomicDataType type, double value);
  // 2 when locked, else 1.
  char GetVariableStatus(EconomicDataType type) const;
  void SetExchangerType(const CVString& name);
  // The name, or null before one was given.
  CVString* GetExchangerType() const { return name_.get(); }
  void Lock() { locked_ = true; }
  void Unlock() { locked_ = false; }
  bool IsLocked() const { return locked_; }
  // 1 when coefficients 1 and 2 are both at least 1e-8.
  int IsValid() const;

  unsigned char Store(IPemarBinaryFile* file) const;
  // Reads a chunk of revision 1 to 3; the record changes only when the
  // whole chunk was read, and then has a fresh name.
  unsigned char Recall(IPemarBinaryFile* file);

 private:
  bool locked_ = false;
  std::unique_ptr<CVString> name_;
  double coefficients_[3] = {0.0, 0.0, 1.0};
  int switch_ = 0;
};

class PEMAR_EXPORT EconomicInfo {
 public:
  static constexpr int kRevision = 3;

  EconomicInfo() = default;

  // Types 3, 4 and 6; any other type gives 0.0.
  double GetEconomicInfo(EconomicDataType type) const;
  // 0 when locked; otherwise stores types 3, 4, 6, ignores others, gives 1.
  hresult SetEconomicInfo(EconomicDataType type, double value);
  char GetVariableStatus(EconomicDataType type) const;
  void Lock() { locked_ = true; }
  void Unlock() { locked_ = false; }
  bool IsLocked() const { return locked_; }
  // 1 when parameter 4 is at least 1e-8.
  int IsValid() const;

  unsigned char Store(IPemarBinaryFile* file) const;
  // Revision 1 and 2 files set the operating hours to 8765.76.
  unsigned char Recall(IPemarBinaryFile* file);

 private:
  bool locked_ = false;
  double parameter3_ = 0.0;
  double parameter4_ = 0.0;
  double operatingHours_ = 0.0;
};

}  // namespace pemar

#endif  // PEMAR_UTILITY_ECONOMICDATA_H_
