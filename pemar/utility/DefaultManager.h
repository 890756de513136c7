// DefaultManager: the utility database behind IDefaultUtilityManager.
//
// It owns its utilities, heat-transfer-coefficient entries, economic
// records and file names. Construction makes an empty database (no
// utilities) with the "DEFAULT" economic set; CreateDefaultUtilManager then
// fills it (SetUpDefaults, SetupDefaultsCompositions). A copy is an
// independent database with no receivers and a reference count of 0.
//
// Single-threaded: used from the application's framework thread, with
// notifications delivered inside the call that caused them.

#ifndef PEMAR_UTILITY_DEFAULTMANAGER_H_
#define PEMAR_UTILITY_DEFAULTMANAGER_H_

#include <map>
#include <memory>
#include <vector>

#include "pemar/framework/Export.h"
#include "pemar/framework/Text.h"
#include "pemar/persist/PemarBaseObject.h"
#include "pemar/project/Notification.h"
#include "pemar/utility/DefHeatTransferCoefficient.h"
#include "pemar/utility/DefaultUtility.h"
#include "pemar/utility/EconomicData.h"
#include "pemar/utility/IDefaultUtilityManager.h"

namespace pemar {

// Named capital-cost sets by upper-cased name (owning), and the same sets in
// insertion order (not owning).
using EconomicDataDictionary = std::map<CVString, EconomicData*>;
using EconomicDataList = std::vector<EconomicData*>;

// File-name keys and the value of a new database.
inline constexpr const char* kCurrentUtilitiesFileName =
    "CurrentUtilitiesFileName";
inline constexpr const char* kCurrentEconomicsFileName =
    "CurrentEconomicsFileName";
inline constexpr const char* kDefaultFileLabel = "Default File";

class PEMAR_EXPORT DefaultManager : public IDefaultUtilityManager,
                                    public PemarBaseObject,
                                    public NotificationSender {
 public:
  DefaultManager();
  DefaultManager(const DefaultManager& other);
  DefaultManager& operator=(const DefaultManager&) = delete;
  // Sends SenderDying (91) once everything it owns is gone.
  ~DefaultManager() override;

  const char* GetMyIdentifier() override { return nullptr; }
  unsigned char Store(IPemarBinaryFile* file) override {
    return Store(file, AllData);
  }
  unsigned char Recall(IPemarBinaryFile* file) override {
    return Recall(file, AllData);
  }

  // IDefaultUtilityManager, in slot order.
  char GetVariableStatus(EconomicDataType type) override;
  int GetNumberOfDefaultUtilities() override;
  int GetNumberOfSimulationUtilities() override;
  SegmentHeatType GetValue(int index) override;
  double GetValue(const char* name, DefaultUtilityParameter parameter) override;
  double GetValue(int index, DefaultUtilityParameter parameter) override;
  const char* GetRecommendedUtilityName(double temperature,
                                        SegmentHeatType type,
                                        const char* exchangerType) override;
  const char* GetRecommendedUtilityName(int index) override;
  const char* GetRecommendedUtilityForDataExt(double temperature,
                                              SegmentHeatType type,
                                              double t2) override;
  const char* GetMostEconomicalUtilityName(double temperature,
                                           SegmentHeatType type) override;
  DefaultUtility* GetDefaultUtility(int index) override;
  const char* GetDefaultUtilityName(int index) override;
  hresult AddDefaultUtility(const char* name) override;
  hresult RenameDefaultUtility(const char* oldName,
                               const char* newName) override;
  hresult RemoveDefaultUtility(const char* name) override;
  hresult CloneDefaultUtility(const char* name) override;
  hresult RestoreDefaultUtilities() override;
  hresult SetValue(const char* name, DefaultUtilityParameter parameter,
                   double value) override;
  short Exists(const char* name) override;
  int GetNumberOfHTCDefaultValues() override;
  double GetHTCDefaultValue(int i) override;
  const char* GetHTCDefaultValueName(int i) override;
  const char* GetHTCDefaultValueNote(int i) override;
  const char* GetExchangerType(const char* name) override;
  const char* GetExchangerType(int index) override;
  hresult AddHTCDefaultValue(const char* name, double value,
                             const char* note) override;
  hresult DeleteHTCDefaultValue(int i) override;
  hresult SetHTCDefaultValue(int i, double value) override;
  hresult SetHTCDefaultValueName(int i, const char* name) override;
  hresult SetHTCDefaultValueNote(int i, const char* note) override;
  const char* SetExchangerType(int index, const char* type) override;
  const char* SetExchangerType(const char* name, const char* type) override;
  unsigned char Store(IPemarBinaryFile* file, StoreRecallType type) override;
  unsigned char Recall(IPemarBinaryFile* file, StoreRecallType type) override;
  void GetCurrentFileName(const char* key, char*& name) override;
  hresult SetStreamType(const char* name, SegmentHeatType type) override;
  hresult GetUsableUtilList(double temperature, SegmentHeatType type,
                            CVList* list) override;
  double GetDefaultUtilityInletTemp(int index) override;
  double GetDefaultUtilityOutletTemp(int index) override;
  double GetDefaultUtilityMassHeatCap(int index) override;
  unsigned char AmISimulationUtility(int index) override;
  void SetMode(int mode) override;
  int GetMode() override;
  hresult CompareComp(const char* utility, const char* component,
                      double fraction) override;
  void AddCompInfoToUtility(const char* utility, int count, char** names,
                            double* fractions) override;

  // Further lookups.
  DefaultUtility* GetDefaultUtility(const CVString* name);
  // The field `parameter` selects (0.0 for 18 and above, or a null record).
  double GetValue(const DefaultUtility* utility,
                  DefaultUtilityParameter parameter);

  // Defaults: the utility, coefficient and economic default files beside
  // the program, or the built-in tables where a file is absent or unreadable.
  void SetUpDefaults();
  // The same defaults with an empty utility list: the state SetUpDefaults
  // leaves once every utility is removed, without building them first.
  // A stored database is recalled onto it.
  void SetUpDefaultsWithoutUtilities();
  // Recalls a database stored whole (AllData) into one that is new: what
  // the chunk holds is taken from it and, where it lacks a section, the
  // defaults of SetUpDefaultsWithoutUtilities serve, as if they had been
  // set up before Recall. 0 on a damaged or truncated chunk, the database
  // then unchanged.
  unsigned char RecallOverDefaults(IPemarBinaryFile* file);
  // "H2O" 1.0 for the water and steam utilities, "Air" 1.0 for air.
  void SetupDefaultsCompositions();

  // Economics (see EconomicData.h). Names are upper-cased for the
  // dictionary; a null name matches nothing.
  double GetEconomicData(EconomicDataType type, const char* name);
  hresult SetEconomicData(EconomicDataType type, double value,
                          const char* name);
  int GetNumberOfEconomicData();
  // "DEFAULT" for 0, the (i-1)-th named set for i >= 1; null otherwise.
  const char* GetEconomicDataName(int i);
  hresult AddEconomicData(const char* name);
  hresult DeleteEconomicData(const char* name);
  hresult isEconomicDataValid(int which);
  EconomicData* GetEconomicDataPointer() { return defaultEconomicData_; }
  EconomicData* GetEconomicDataPointer(const char* name);
  EconomicInfo* GetEconomicInfoPointer() { return economicInfo_; }
  // Null when the database has no dictionary.
  EconomicDataDictionary* GetEconomicDataDict() { return economicDict_; }
  EconomicDataList* GetEconomicDataList() { return economicList_; }
  // These take ownership and destroy what they replace (the containers
  // without their records); passing the current pointer does nothing.
  void SetEconomicInfo(EconomicInfo* info);
  void SetEconomicData(EconomicData* data);
  void SetEconomicDataDict(EconomicDataDictionary* dict);
  void SetEconomicDataList(EconomicDataList* list);
  void Lock();
  void Unlock();
  bool IsLocked() const { return locked_; }

 private:
  using UtilityList = std::vector<std::unique_ptr<DefaultUtility>>;
  using HTCList = std::vector<std::unique_ptr<DefHeatTransferCoefficient>>;
  struct RecalledSections;

  DefaultUtility* Find(const char* name) const;
  DefaultUtility* At(int index) const;
  hresult SetValue(DefaultUtility* utility, DefaultUtilityParameter parameter,
                   double value);
  hresult SetTemperature(DefaultUtility* utility, bool inlet, double value);
  hresult AddDefaultUtility(const char* name, SegmentHeatType type,
                            double inletT, double outletT, double htc,
                            double cost, double arHigh, double arLow,
                            double deltaTmin, const char* exchangerType,
                            double viscosity, double thermCond,
                            double massDensity, double massHeatCap);
  void CalculateARTemp();
  void NotifyDatabaseChanged();
  void SendHTCChanged(const char* name, int position);
  // SetUpDefaults with or without the utility list's defaults.
  void SetUpDefaultSections(bool with_utilities);
  void SetUpHTCDefaults();
  // AddHTCDefaultValue without its checks: `name` is not null and not yet
  // in the list.
  void AppendHTCDefaultValue(const char* name, double value, const char* note);
  // AddHTCDefaultValue of each entry, null names and names present skipped.
  void AddHTCDefaultValues(const HTCDefaultEntry* entries, std::size_t count);
  void SetUpEconomicDefaults();
  bool LoadDefaultFile(const char* key, StoreRecallType type);
  unsigned char StoreUtilities(IPemarBinaryFile* file);
  unsigned char StoreEconomics(IPemarBinaryFile* file);
  unsigned char StoreHTC(IPemarBinaryFile* file);
  unsigned char StoreFileNames(IPemarBinaryFile* file);
  // Reads the chunk Recall reads into `sections`, the database unchanged;
  // false when it is damaged or truncated.
  bool ReadSections(IPemarBinaryFile* file, StoreRecallType type,
                    RecalledSections* sections);
  void ApplyRecalled(RecalledSections& sections, StoreRecallType type,
                     const CVString& fileName);
  void ClearEconomicDictionary();

  bool hasUtilityList_ = false;
  UtilityList utilities_;
  EconomicDataDictionary* economicDict_ = nullptr;
  EconomicDataList* economicList_ = nullptr;
  EconomicInfo* economicInfo_ = nullptr;
  EconomicData* defaultEconomicData_ = nullptr;
  bool hasHTCList_ = false;
  HTCList htc_;
  bool hasFileNames_ = true;
  std::map<CVString, CVString> fileNames_;
  bool locked_ = false;
  int mode_ = 0;
};

}  // namespace pemar

#endif  // PEMAR_UTILITY_DEFAULTMANAGER_H_
