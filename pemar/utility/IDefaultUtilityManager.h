// IDefaultUtilityManager: the heat-integration utility database as callers
// see it.
//
// One database holds the heating and cooling utilities, their AR ranges
// (the process temperatures each one is recommended for), the
// heat-transfer-coefficient defaults and the capital-cost data. Every edit
// is checked, and every change is announced synchronously to the registered
// notification receivers (ChangeWhat 55-57, 60, 67, 97).
//
// Results: hresult 0 means refused or failed with nothing changed, 1 done.
// Names returned as const char* are the database's own texts: valid until
// the item is renamed or removed. Temperatures are degrees Celsius;
// kEmptyValue (-32767.0) stands for "not specified" or "none". A null name
// passed to any by-name operation matches nothing.
//
// The operations are declared in the order of the interface's slots.

#ifndef PEMAR_UTILITY_IDEFAULTUTILITYMANAGER_H_
#define PEMAR_UTILITY_IDEFAULTUTILITYMANAGER_H_

#include "pemar/framework/Containers.h"
#include "pemar/framework/Export.h"
#include "pemar/framework/Types.h"
#include "pemar/persist/PemarBaseObject.h"
#include "pemar/project/Notification.h"
#include "pemar/utility/UtilityTypes.h"

namespace pemar {

class DefaultUtility;
class IPemarBinaryFile;

class PEMAR_EXPORT IDefaultUtilityManager : public virtual IPemarBaseObject,
                                            public virtual INotificationSender {
 public:
  ~IDefaultUtilityManager() override;

  using IPemarBaseObject::Recall;
  using IPemarBaseObject::Store;

  // 2 locked, 1 editable, 0 no such record (see EconomicData.h).
  virtual char GetVariableStatus(EconomicDataType type) = 0;
  virtual int GetNumberOfDefaultUtilities() = 0;
  virtual int GetNumberOfSimulationUtilities() = 0;
  // The heat type; UndefinedSegment when there is no utility at `index`.
  virtual SegmentHeatType GetValue(int index) = 0;
  // The field `parameter` selects; kEmptyValue when there is no utility.
  virtual double GetValue(const char* name,
                          DefaultUtilityParameter parameter) = 0;
  virtual double GetValue(int index, DefaultUtilityParameter parameter) = 0;
  // The first utility in list order of this heat type whose AR range holds
  // `temperature` (hot: low < T <= high; cold: low <= T < high) and, when
  // `exchangerType` is not null, with exactly that exchanger type.
  virtual const char* GetRecommendedUtilityName(double temperature,
                                                SegmentHeatType type,
                                                const char* exchangerType) = 0;
  // The name of the utility at `index`, or null.
  virtual const char* GetRecommendedUtilityName(int index) = 0;
  // Selection for data extracted from a simulation: simulation utilities
  // first; hot picks the lowest inlet temperature among utilities whose AR
  // high is >= T (and outlet - delta-T min >= t2 when t2 > -273.15), cold
  // the highest inlet temperature among those whose AR low is <= T.
  virtual const char* GetRecommendedUtilityForDataExt(double temperature,
                                                      SegmentHeatType type,
                                                      double t2) = 0;
  // The cheapest usable utility (credits count as cheaper), or null.
  virtual const char* GetMostEconomicalUtilityName(double temperature,
                                                   SegmentHeatType type) = 0;
  // The record (owned by the database) or null.
  virtual DefaultUtility* GetDefaultUtility(int index) = 0;
  virtual const char* GetDefaultUtilityName(int index) = 0;
  virtual hresult AddDefaultUtility(const char* name) = 0;
  virtual hresult RenameDefaultUtility(const char* oldName,
                                       const char* newName) = 0;
  virtual hresult RemoveDefaultUtility(const char* name) = 0;
  virtual hresult CloneDefaultUtility(const char* name) = 0;
  virtual hresult RestoreDefaultUtilities() = 0;
  // Checked edit of one field. A missing utility or an unknown parameter
  // changes nothing and gives 1 (callers that care check Exists).
  virtual hresult SetValue(const char* name, DefaultUtilityParameter parameter,
                           double value) = 0;
  virtual short Exists(const char* name) = 0;
  virtual int GetNumberOfHTCDefaultValues() = 0;
  virtual double GetHTCDefaultValue(int i) = 0;
  virtual const char* GetHTCDefaultValueName(int i) = 0;
  virtual const char* GetHTCDefaultValueNote(int i) = 0;
  virtual const char* GetExchangerType(const char* name) = 0;
  virtual const char* GetExchangerType(int index) = 0;
  virtual hresult AddHTCDefaultValue(const char* name, double value,
                                     const char* note) = 0;
  virtual hresult DeleteHTCDefaultValue(int i) = 0;
  virtual hresult SetHTCDefaultValue(int i, double value) = 0;
  virtual hresult SetHTCDefaultValueName(int i, const char* name) = 0;
  virtual hresult SetHTCDefaultValueNote(int i, const char* note) = 0;
  // Null when set (or nothing to do); otherwise the refusal's message key.
  virtual const char* SetExchangerType(int index, const char* type) = 0;
  virtual const char* SetExchangerType(const char* name, const char* type) = 0;
  virtual unsigned char Store(IPemarBinaryFile* file, StoreRecallType type) = 0;
  // A failed recall leaves the database as it was.
  virtual unsigned char Recall(IPemarBinaryFile* file,
                               StoreRecallType type) = 0;
  // Points `name` at the file name stored under `key` (valid until that
  // entry changes); leaves it alone when there is no such key.
  virtual void GetCurrentFileName(const char* key, char*& name) = 0;
  virtual hresult SetStreamType(const char* name, SegmentHeatType type) = 0;
  // Appends the usable utilities (database records, not to be destroyed)
  // to the caller's list; 1 when the list is then non-empty.
  virtual hresult GetUsableUtilList(double temperature, SegmentHeatType type,
                                    CVList* list) = 0;
  virtual double GetDefaultUtilityInletTemp(int index) = 0;
  virtual double GetDefaultUtilityOutletTemp(int index) = 0;
  virtual double GetDefaultUtilityMassHeatCap(int index) = 0;
  virtual unsigned char AmISimulationUtility(int index) = 0;
  // A non-zero mode holds back the DatabaseChanged broadcast; setting 0
  // sends one.
  virtual void SetMode(int mode) = 0;
  virtual int GetMode() = 0;
  virtual hresult CompareComp(const char* utility, const char* component,
                              double fraction) = 0;
  virtual void AddCompInfoToUtility(const char* utility, int count,
                                    char** names, double* fractions) = 0;
};

// A new database with the built-in defaults, or the default files beside
// the program when they exist. Give it back with ReleaseDefaultUtilManager.
PEMAR_EXPORT IDefaultUtilityManager* CreateDefaultUtilManager();
// Destroys a database made by CreateDefaultUtilManager; null is ignored.
PEMAR_EXPORT void ReleaseDefaultUtilManager(IDefaultUtilityManager* manager);
// Sets the composition of the named utility; a null manager is ignored.
PEMAR_EXPORT void SetCompInfoForUtility(IDefaultUtilityManager* manager,
                                        const char* utility, int count,
                                        char** names, double* fractions);

}  // namespace pemar

#endif  // PEMAR_UTILITY_IDEFAULTUTILITYMANAGER_H_
