#include "pemar/utility/DefaultUtilManagerView.h"

#include <memory>
#include <vector>

#include "pemar/framework/BinaryFile.h"
#include "pemar/persist/PemarBinaryFile.h"
#include "pemar/utility/DefaultManager.h"
#include "pemar/utility/IDefaultUtilityManager.h"

namespace pemar {

namespace {

class DefaultUtilManagerViewObjectInfoT : public ObjectTypeInfo {
 public:
  using ObjectTypeInfo::ObjectTypeInfo;
  Viewable* CreateInstanceForRecall(ObjectInstanceInfo& info) const override {
    return new DefaultUtilManagerView(info);
  }
  unsigned char StoreClassData(BinaryFile& file,
                               Viewable* object) const override {
    auto* view = dynamic_cast<DefaultUtilManagerView*>(object);
    return view != nullptr ? view->StoreClassData(file) : 0;
  }
  unsigned char RecallClassData(BinaryFile& file,
                                Viewable* object) const override {
    auto* view = dynamic_cast<DefaultUtilManagerView*>(object);
    return view != nullptr
               ? view->RecallClassData(file, RecalledClassDataVersion())
               : 0;
  }
};

// Registered at load time, like every framework type of the library.
const ObjectTypeInfo* const kDefaultUtilManagerViewTypeRegistered =
    DefaultUtilManagerViewObjectType();

}  // namespace

const ObjectTypeInfo* DefaultUtilManagerViewObjectType() {
  static DefaultUtilManagerViewObjectInfoT* type = [] {
    auto* t = new DefaultUtilManagerViewObjectInfoT(
        "DefaultUtilManagerViewObject", ViewableObjectType(),
        "DefaultUtilManagerView", 0, 0, "utilview", kEmptyMarker);
    t->SetClassDataVersion(DefaultUtilManagerView::kClassDataVersion);
    t->SetDisplayName("Utility Database", "Utility Databases");
    return t;
  }();
  return type;
}

DefaultUtilManagerView::DefaultUtilManagerView(Viewable* owner,
                                               IDefaultUtilityManager* database)
    : Viewable(owner, DefaultUtilManagerViewObjectType()), database_(database) {
  (void)kDefaultUtilManagerViewTypeRegistered;
}

DefaultUtilManagerView::DefaultUtilManagerView(ObjectInstanceInfo& info)
    : Viewable(info) {}

DefaultUtilManagerView::~DefaultUtilManagerView() {
  SetDatabase(nullptr, false);
  ClearFuelLists();
}

void DefaultUtilManagerView::SetDatabase(IDefaultUtilityManager* database,
                                         bool owned) {
  if (database != database_ && ownsDatabase_) {
    ReleaseDefaultUtilManager(database_);
  }
  database_ = database;
  ownsDatabase_ = database != nullptr && owned;
}

int DefaultUtilManagerView::itKillFuelSource(void* item, void*) {
  delete static_cast<FuelSourceStruct*>(item);
  return 1;
}

void DefaultUtilManagerView::ClearFuelLists() {
  for (FuelSourceStruct* fuel : list0_) itKillFuelSource(fuel, nullptr);
  for (FuelSourceStruct* fuel : list1_) itKillFuelSource(fuel, nullptr);
  list0_.clear();
  list1_.clear();
  listsCreated_ = false;
}

void DefaultUtilManagerView::SetupDefaultFuelSourceList() {
  // A call appends the built-in fuels once more to the lists that exist.
  EnsureFuelLists();
  AppendBuiltInFuels();
}

void DefaultUtilManagerView::EnsureFuelLists() const {
  if (!listsCreated_) AppendBuiltInFuels();
}

void DefaultUtilManagerView::AppendBuiltInFuels() const {
  listsCreated_ = true;
  // The built-in fuels as records, made once; each view owns copies of
  // them, which AddDefaultFuelSource may extend.
  static const std::vector<FuelSourceStruct>* const kBuiltIn = [] {
    auto* lists = new std::vector<FuelSourceStruct>[2];
    for (int list = 0; list < 2; ++list) {
      std::size_t count = 0;
      const FuelTableEntry* entries = BuiltInFuelList(list, &count);
      lists[list].reserve(count);
      for (std::size_t i = 0; i < count; ++i) {
        lists[list].emplace_back(entries[i].name, entries[i].co2EmissionFactor);
      }
    }
    return lists;
  }();
  for (int list = 0; list < 2; ++list) {
    std::vector<FuelSourceStruct*>& own = list == 0 ? list0_ : list1_;
    own.reserve(own.size() + kBuiltIn[list].size());
    for (const FuelSourceStruct& fuel : kBuiltIn[list]) {
      own.push_back(new FuelSourceStruct(fuel));
    }
  }
}

bool DefaultUtilManagerView::AddDefaultFuelSource(
    CO2EmissionFactorDataSource source, const Text& name, double factor) {
  std::vector<FuelSourceStruct*>* list = source == kFirstFuelList    ? &list0_
                                         : source == kSecondFuelList ? &list1_
                                                                     : nullptr;
  if (list == nullptr) return false;
  EnsureFuelLists();
  list->push_back(new FuelSourceStruct(name, factor));
  return true;
}

const std::vector<FuelSourceStruct*>* DefaultUtilManagerView::GetFuelSourceList(
    int source) const {
  EnsureFuelLists();
  return ListOf(source);
}

const std::vector<FuelSourceStruct*>* DefaultUtilManagerView::ListOf(
    int source) const {
  return source == 0 ? &list0_ : source == 1 ? &list1_ : nullptr;
}

bool DefaultUtilManagerView::isFuelTypeOkToSelect(int utility, double fuelID) {
  if (database_ == nullptr) return false;
  EnsureFuelLists();
  const double source = database_->GetValue(utility, EFDataSource);
  const double first_of_list1 = static_cast<double>(list0_.size());
  if (source == 1.0) return fuelID >= first_of_list1;
  if (source == 0.0) return fuelID < first_of_list1;
  return false;
}

void DefaultUtilManagerView::NotifyOneUtilityOfChanges(
    int utility, DefaultUtilityParameter changed) {
  if (database_ == nullptr) return;
  const char* name = database_->GetDefaultUtilityName(utility);
  if (name == nullptr) return;
  if (changed == EFDataSource) {
    database_->SetValue(name, FuelSourceID, kEmptyValue);
    database_->SetValue(name, CO2EmissionFactor, kEmptyValue);
    database_->SetValue(name, FuelEffFactor, 1.0);
  } else if (changed == FuelSourceID) {
    EnsureFuelLists();
    const double id = database_->GetValue(utility, FuelSourceID);
    const double source = database_->GetValue(utility, EFDataSource);
    // IDs are checked against the list before any conversion: NaN,
    // infinities, huge and negative positions are "no such fuel".
    const FuelSourceStruct* fuel = nullptr;
    if (source == 1.0 && id >= kFuelList1FirstID &&
        id - kFuelList1FirstID < static_cast<double>(list1_.size())) {
      fuel = list1_[static_cast<std::size_t>(id - kFuelList1FirstID)];
    } else if (source == 0.0 && id >= 0.0 &&
               id < static_cast<double>(list0_.size())) {
      fuel = list0_[static_cast<std::size_t>(id)];
    }
    database_->SetValue(name, CO2EmissionFactor,
                        fuel ? fuel->GetCO2EmissionFactor() : kEmptyValue);
    database_->SetValue(name, FuelEffFactor, 1.0);
  }
}

void DefaultUtilManagerView::NotifyOneUtilityOfGlobalChanges(int utility) {
  if (database_ == nullptr) return;
  const char* name = database_->GetDefaultUtilityName(utility);
  if (name == nullptr) return;
  if (carbonTracking_ && database_->GetValue(utility, GlobalSetting) == 0.0) {
    return;
  }
  double id = selected_.GetFuelIndex();
  // Only a real position moves into list 1's IDs; the empty marker stays.
  if (selectedSource_ == kSecondFuelList && id != kEmptyValue) {
    id += kFuelList1FirstID;
  }
  database_->SetValue(name, EFDataSource, selectedSource_);
  database_->SetValue(name, FuelSourceID, id);
  database_->SetValue(name, CO2EmissionFactor,
                      selected_.GetCO2EmissionFactor());
  database_->SetValue(name, FuelEffFactor, selected_.GetFuelEffFactor());
  if (!carbonTracking_) database_->SetValue(name, GlobalSetting, 1.0);
}

void DefaultUtilManagerView::NotifyAllUtilitiesOfGlobalChanges() {
  if (database_ == nullptr) return;
  const int n = database_->GetNumberOfDefaultUtilities();
  for (int i = 0; i < n; ++i) NotifyOneUtilityOfGlobalChanges(i);
}

void DefaultUtilManagerView::ResetSelectedFuelSource() {
  if (!carbonTracking_) selectedSource_ = kNoDataSource;
  selected_ = FuelSourceStruct();
  if (selectedSource_ == kUserFactor) selected_.SetFuelEffFactor(1.0);
  offered_ = ListOf(selectedSource_);
}

void DefaultUtilManagerView::SetCarbonTrackingEnabled(bool enabled) {
  carbonTracking_ = enabled;
  ResetSelectedFuelSource();
}

bool DefaultUtilManagerView::SetSelectedDataSource(int source) {
  if (source < kFirstFuelList || source > kUserFactor) return false;
  selectedSource_ = source;
  ResetSelectedFuelSource();
  return true;
}

bool DefaultUtilManagerView::SelectFuelSource(int position) {
  EnsureFuelLists();
  if (offered_ == nullptr || position < 0 ||
      position >= static_cast<int>(offered_->size())) {
    return false;
  }
  selected_ = *(*offered_)[static_cast<std::size_t>(position)];
  selected_.SetFuelIndex(position);
  return true;
}

void DefaultUtilManagerView::SetUserEmissionFactor(double factor) {
  if (selectedSource_ != kUserFactor) return;
  selected_.SetCO2EmissionFactor(factor);
  selected_.SetFuelEffFactor(1.0);
}

unsigned char DefaultUtilManagerView::StoreClassData(BinaryFile& file) {
  const bool carries = database_ != nullptr;
  if (!file.Write(static_cast<unsigned char>(carries))) return 0;
  if (carries) {
    PemarBinaryFile wrapped(&file);
    if (!database_->Store(&wrapped, AllData)) return 0;
  }
  if (!file.Write(static_cast<unsigned char>(carbonTracking_))) return 0;
  if (!carbonTracking_) return 1;
  Text name = selected_.GetName();
  return file.Write(selectedSource_) && file.Write(selected_.GetFuelIndex()) &&
         file.Write(name) && file.Write(selected_.GetCO2EmissionFactor()) &&
         file.Write(selected_.GetFuelEffFactor());
}

unsigned char DefaultUtilManagerView::RecallClassData(BinaryFile& file,
                                                      int version) {
  struct ManagerDeleter {
    void operator()(IDefaultUtilityManager* m) const {
      ReleaseDefaultUtilManager(m);
    }
  };
  std::unique_ptr<IDefaultUtilityManager, ManagerDeleter> database;
  if (version > 1) {
    unsigned char carries = 0;
    if (!file.Read(carries)) return 0;
    if (carries) {
      // The stored database is the whole database: a stored empty utility
      // list (every utility removed) must not reopen as the built-in one,
      // which a recall would keep. So the recall starts from the defaults
      // without any utility.
      auto* fresh = new DefaultManager;
      database.reset(fresh);
      PemarBinaryFile wrapped(&file);
      if (!fresh->RecallOverDefaults(&wrapped)) return 0;
    }
  }
  bool tracking_read = false;
  unsigned char tracking = 0;
  int source = kNoDataSource;
  FuelSourceStruct fuel;
  if (version >= 3) {
    if (!file.Read(tracking)) return 0;
    tracking_read = true;
    if (tracking) {
      double index = 0.0;
      double factor = 0.0;
      double efficiency = 0.0;
      Text name;
      // Tracking switched on before a source was chosen stores "none".
      if (!file.Read(source) || source < kNoDataSource ||
          source > kUserFactor || !file.Read(index) || !file.Read(name) ||
          !file.Read(factor) || !file.Read(efficiency)) {
        return 0;
      }
      fuel.SetFuelIndex(index);
      fuel.SetName(name);
      fuel.SetCO2EmissionFactor(factor);
      fuel.SetFuelEffFactor(efficiency);
    }
  }
  if (database) SetDatabase(database.release(), true);
  if (tracking_read) {
    carbonTracking_ = tracking != 0;
    selectedSource_ = source;
    ResetSelectedFuelSource();
    if (carbonTracking_) selected_ = fuel;
  }
  return 1;
}

}  // namespace pemar
