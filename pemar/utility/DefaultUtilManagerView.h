// DefaultUtilManagerView: the editor of the utility database, as far as the
// library needs it: its fuel-source state and operations, and its class
// data, through which a case carries its utility database.
//
// The view works on one database. A database handed in by the caller is not
// owned; one the view made during a recall of class data is owned and
// released with the view (or when replaced). All writes to utilities go
// through IDefaultUtilityManager::SetValue and follow its rules.
//
// Class data (version kClassDataVersion): a flag saying whether the view
// carries a database, then the database as one AllData chunk; then the
// carbon-tracking flag and, when set, the selected data source (int) and of
// the selected fuel its index (double), name (text), CO2 emission factor and
// efficiency factor (doubles). A recall reads into temporaries and changes
// the view only when everything was read.

#ifndef PEMAR_UTILITY_DEFAULTUTILMANAGERVIEW_H_
#define PEMAR_UTILITY_DEFAULTUTILMANAGERVIEW_H_

#include <vector>

#include "pemar/framework/Export.h"
#include "pemar/framework/ObjectTypeInfo.h"
#include "pemar/framework/Text.h"
#include "pemar/framework/Viewable.h"
#include "pemar/utility/FuelSource.h"
#include "pemar/utility/UtilityTypes.h"

namespace pemar {

class BinaryFile;
class IDefaultUtilityManager;

class PEMAR_EXPORT DefaultUtilManagerView : public Viewable {
 public:
  // Which fuel list a utility's fuel source ID refers to.
  enum CO2EmissionFactorDataSource {
    kFirstFuelList = 0,   // shown with the label key "utilEU"
    kSecondFuelList = 1,  // shown with the label key "utilUS"
    kUserFactor = 2,      // entered by the user; efficiency 1.0
  };
  // The selected data source while none is chosen: always so with carbon
  // tracking off, and with it on until the user picks a source. Stored and
  // recalled like the others.
  static constexpr int kNoDataSource = -1;

  static constexpr int kClassDataVersion = 3;

  // A view of `database` (not owned; may be null) in `owner` (may be null).
  // Both fuel lists hold the built-in fuels (made when first used); carbon
  // tracking starts disabled.
  DefaultUtilManagerView(Viewable* owner, IDefaultUtilityManager* database);
  // The object a recall fills.
  explicit DefaultUtilManagerView(ObjectInstanceInfo& info);
  ~DefaultUtilManagerView() override;

  IDefaultUtilityManager* GetDatabase() const { return database_; }
  // Replaces the database; an owned previous one is released.
  void SetDatabase(IDefaultUtilityManager* database, bool owned);

  // Creates the two lists when missing and appends the built-in entries.
  void SetupDefaultFuelSourceList();
  // Appends FuelSourceStruct(name, factor) to list 0 or 1; false (nothing
  // appended) for any other source.
  bool AddDefaultFuelSource(CO2EmissionFactorDataSource source,
                            const Text& name, double factor);
  // The list of source 0 or 1, null for others. Records owned by the view.
  const std::vector<FuelSourceStruct*>* GetFuelSourceList(int source) const;
  // The list offered for the database-wide selection; null for none.
  const std::vector<FuelSourceStruct*>* GetOfferedFuelList() const {
    EnsureFuelLists();
    return offered_;
  }
  // The source of the offered list: 0 or 1, -1 for none.
  int GetOfferedFuelListSource() const {
    return offered_ == &list0_ ? 0 : offered_ == &list1_ ? 1 : -1;
  }
  // Whether `fuelID` belongs to the list of the utility's data source.
  bool isFuelTypeOkToSelect(int utility, double fuelID);
  // Fills the fuel fields that follow from the user's change of `changed`
  // (EFDataSource or FuelSourceID) on the utility at position `utility`.
  void NotifyOneUtilityOfChanges(int utility, DefaultUtilityParameter changed);
  // Applies the database-wide fuel choice to one utility or to all.
  void NotifyOneUtilityOfGlobalChanges(int utility);
  void NotifyAllUtilitiesOfGlobalChanges();
  // Clears the selected fuel for the current data source.
  void ResetSelectedFuelSource();
  bool IsCarbonTrackingEnabled() const { return carbonTracking_; }

  // The database-wide selection.
  void SetCarbonTrackingEnabled(bool enabled);
  // 0, 1 or 2 (other values are refused); the selection is reset.
  bool SetSelectedDataSource(int source);
  int GetSelectedDataSource() const { return selectedSource_; }
  // Selects the fuel at `position` of the offered list; false when there
  // is no such fuel.
  bool SelectFuelSource(int position);
  // For data source 2: the user's own factor.
  void SetUserEmissionFactor(double factor);
  const FuelSourceStruct& GetSelectedFuelSource() const { return selected_; }

  // Class data, see above. `version` is the version found in the file.
  unsigned char StoreClassData(BinaryFile& file);
  unsigned char RecallClassData(BinaryFile& file, int version);

  // Destroys one FuelSourceStruct (list callback shape).
  static int itKillFuelSource(void* item, void* data);

 private:
  void ClearFuelLists();
  // The lists are made on first use: most views (one in every case) never
  // show a fuel, and making them cost a case's reopening a good part of its
  // time.
  void EnsureFuelLists() const;
  void AppendBuiltInFuels() const;
  const std::vector<FuelSourceStruct*>* ListOf(int source) const;

  IDefaultUtilityManager* database_ = nullptr;
  bool ownsDatabase_ = false;
  mutable bool listsCreated_ = false;
  mutable std::vector<FuelSourceStruct*> list0_;
  mutable std::vector<FuelSourceStruct*> list1_;
  const std::vector<FuelSourceStruct*>* offered_ = nullptr;
  bool carbonTracking_ = false;
  int selectedSource_ = kNoDataSource;
  FuelSourceStruct selected_;
};

// The framework type of the view, "DefaultUtilManagerViewObject".
PEMAR_EXPORT const ObjectTypeInfo* DefaultUtilManagerViewObjectType();

}  // namespace pemar

#endif  // PEMAR_UTILITY_DEFAULTUTILMANAGERVIEW_H_
