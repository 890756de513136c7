#include "pemar/config/PemarConfigManager.h"

#include <climits>
#include <cmath>
#include <string>

#include "pemar/config/PemarConfigVectorInfo.h"
#include "pemar/framework/ConfigStore.h"
#include "pemar/framework/FileSystem.h"
#include "pemar/framework/FolderPicker.h"
#include "pemar/framework/Messages.h"
#include "pemar/framework/Platform.h"
#include "pemar/framework/Units.h"

namespace pemar {
namespace {

constexpr int kTemperature = 1;
constexpr int kMassFlow = 4;
constexpr int kTime = 44;
constexpr int kCurrency = 99;
constexpr int kCostPerTime = 100;
constexpr int kCostPerEnergy = 101;
constexpr int kEnergy = 115;

// Codes of the manager's own form variables.
constexpr int kFlag = 104;
constexpr int kVersion = 105;
constexpr int kFormText = 1519;
constexpr int kDenominatorName = 1520;
constexpr int kNumeratorName = 31000;
constexpr int kDenominatorNameAlt = 31012;

struct NumericKey {
  int type;
  int number;
  const char* key;
};

// Variables that are configuration-store numbers under one key.
constexpr NumericKey kNumericKeys[] = {
    {kFormText, 400, "TempPercentageBoundValue"},
    {kFormText, 401, "FlowPercentageBoundValue"},
    {kCostPerTime, 400, "TempBoundIndex"},
    {kCostPerTime, 401, "FlowBoundIndex"},
    {kFlag, 400, "AdvanceStreamLinkPreference"},
    {kFlag, 351, "UseProIIFile"},
    {kFlag, 127, "SimulationUtilityDatabase"},
    {kTemperature, 400, "TemperatureAbsBoundValue"},
    {kMassFlow, 400, "MassFlowAbsBoundValue"},
    {kVersion, 125, "MeridORVEXVersion"},
    {kVersion, 126, "CalvexVersion"},
};

const char* NumericKeyOf(const VarDescription& desc) {
  for (const NumericKey& k : kNumericKeys) {
    if (desc.Type() == k.type && desc.Number() == k.number) return k.key;
  }
  return nullptr;
}

bool Is(const VarDescription& desc, int type, int number) {
  return desc.Type() == type && desc.Number() == number;
}

// A conversion item "read as an integer" equals 2.
bool ItemIsTwo(double item) { return item >= 2.0 && item < 3.0; }

// A factor that may be divided by, or by which another may be divided.
bool UsableFactor(double factor) {
  return std::isfinite(factor) && factor != 0.0 && factor != kEmptyValue;
}

double Reciprocal(double factor) {
  return UsableFactor(factor) ? 1.0 / factor : kEmptyValue;
}

// The factor of the current unit of `type`, as the compound-unit refresh
// reads it: item 0 for a normal unit, else item 1 (its reciprocal when item
// 0 is 2).
double CurrentUnitFactor(int type) {
  const UnitRecord* unit = FindUnit(type, GetCurrentUnitName(type));
  if (unit == nullptr) return kEmptyValue;
  if (unit->conversion_type == 1) return unit->item0;
  return ItemIsTwo(unit->item0) ? Reciprocal(unit->item1) : unit->item1;
}

// The quantity of the denominator unit of a compound cost unit.
int DenominatorType(int compoundType) {
  if (compoundType == kCostPerTime) return kTime;
  if (compoundType == kCostPerEnergy) return kEnergy;
  return kEmptyMarker;
}

bool IsCompound(int type) {
  return type == kCostPerTime || type == kCostPerEnergy;
}

bool IsBaseOfCompound(int type) {
  return type == kCurrency || type == kTime || type == kEnergy;
}

Text DoubledBackslashes(const Text& text) {
  std::string out;
  for (char c : text.str()) {
    out.push_back(c);
    if (c == '\\') out.push_back('\\');
  }
  return Text(std::move(out));
}

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// Whether `folder` looks like the "System" folder of a PRO/II installation:
// its last component is "System" and a folder above it is the vendor's
// "SIMSCI" tree (any case).
bool IsSimulatorSystemFolder(const std::string& folder) {
  std::size_t cut = folder.find_last_of("\\/");
  if (cut == std::string::npos || folder.substr(cut + 1) != "System") {
    return false;
  }
  std::size_t start = 0;
  while (start < cut) {
    std::size_t end = folder.find_first_of("\\/", start);
    if (end == std::string::npos || end > cut) end = cut;
    if (Text(folder.substr(start, end - start)).Upper() == "SIMSCI") {
      return true;
    }
    start = end + 1;
  }
  return false;
}

}  // namespace

double UnitFactor(int type, const Text& name) {
  double item1 = GetUnitConvFactorByName(1, type, name);
  if (item1 == kEmptyValue) return GetUnitConvFactorByName(0, type, name);
  if (ItemIsTwo(GetUnitConvFactorByName(0, type, name))) {
    return Reciprocal(item1);
  }
  return item1;
}

const ObjectTypeInfo* PemarConfigMgrObjectType() {
  static const ObjectTypeInfo* type =
      new ObjectTypeInfo("PemarConfigMgrObject", ConfigMgrObjectType(), "", 0,
                         -1, "pmcfgmgr", kEmptyMarker);
  return type;
}

PemarConfigManager::PemarConfigManager(Viewable* owner)
    : ConfigManager(owner, PemarConfigMgrObjectType()),
      solver_folder_(BuildFilePath(Text())) {}

double PemarConfigManager::Value(const VarDescription& desc) {
  if (const char* key = NumericKeyOf(desc)) return GetConfigData(key, 0);
  if (Is(desc, kCostPerTime, 300)) return solver_choice_;
  if (Is(desc, kCostPerTime, 225)) return per_time_;
  if (Is(desc, kCostPerTime, 301) || Is(desc, kFlag, 301)) return 0;
  if (Is(desc, kFormText, 221)) return UnitFactor(kCurrency, numerator_);
  if (Is(desc, kFormText, 223)) {
    int type = DenominatorType(CurrentUnitType());
    if (type == kEmptyMarker) return kEmptyValue;
    // The form shows 0.5 for a reciprocal denominator, not the reciprocal.
    if (GetUnitConvFactorByName(1, type, denominator_) != kEmptyValue &&
        ItemIsTwo(GetUnitConvFactorByName(0, type, denominator_))) {
      return 0.5;
    }
    return UnitFactor(type, denominator_);
  }
  return ConfigManager::Value(desc);
}

unsigned char PemarConfigManager::Specify(const VarDescription& desc,
                                          double value) {
  unsigned char result = ConfigManager::Specify(desc, value);
  if (const char* key = NumericKeyOf(desc)) {
    SetConfigData(key, value, 1);
    if (Is(desc, kFlag, 127))
      SetConfigData("UtilitiesFromSimulation", value, 1);
  } else if (Is(desc, kCostPerTime, 300)) {
    if (!std::isfinite(value) || value <= INT_MIN - 1.0 ||
        value >= INT_MAX + 1.0) {
      return result;
    }
    solver_choice_ = static_cast<int>(value);
    Text contents;
    if (solver_choice_ == 0) contents = "LPSOLVE ";
    if (solver_choice_ == 1) contents = "XPRESS " + solver_folder_;
    if (solver_choice_ == 2) contents = "LINGO ";
    if (!contents.IsEmpty() && !WriteSolverFile(contents)) return 0;
  } else if (Is(desc, kFormText, 121)) {
    if (value != kEmptyValue && IsBaseOfCompound(CurrentUnitType())) {
      RefreshCompoundUnits();
    }
  }
  return result;
}

Text PemarConfigManager::TextValue(const VarDescription& desc) {
  if (desc.VariableIs("Units") &&
      (desc.Number() == 206 || desc.Number() == 207)) {
    int saved = CurrentUnitType();
    int shown = desc.Number() == 206 ? kCurrency : DenominatorType(saved);
    if (shown == kEmptyMarker) return Text();
    SetCurrentUnit(shown);
    Text unit = ConfigManager::TextValue(VarDescription("Units", 106));
    SetCurrentUnit(saved);
    return unit;
  }
  PemarConfigVectorInfo* items = _get_PemarConfigVectorInfo();
  if (Is(desc, kFormText, 4)) {
    const char* key = items->GetConfigInfo(desc.Index());
    return key == nullptr ? Text() : GetConfigString(key, Text());
  }
  if (Is(desc, kFormText, 5)) return Text(items->GetConfigLabel(desc.Index()));
  if (Is(desc, kFormText, 215)) return per_time_ ? "&Time" : "&Energy";
  if (Is(desc, kFormText, 300)) return solver_folder_;
  if (Is(desc, kFormText, 352)) return GetConfigString("ProIIVersion", Text());
  if (Is(desc, kFormText, 353)) {
    return GetConfigString("BrowseProIIFolder", Text());
  }
  if (Is(desc, kNumeratorName, 225)) return numerator_;
  if (Is(desc, kDenominatorName, 225) || Is(desc, kDenominatorNameAlt, 225)) {
    return denominator_;
  }
  return ConfigManager::TextValue(desc);
}

unsigned char PemarConfigManager::SpecifyText(const VarDescription& desc,
                                              const Text& value) {
  if (Is(desc, kFormText, 4)) {
    const char* key = _get_PemarConfigVectorInfo()->GetConfigInfo(desc.Index());
    if (key == nullptr) return 0;
    SetConfigString(key, value, 1, 1, 0);
    return 1;
  }
  if (Is(desc, kFormText, 300)) {
    if (!FileName(value).ExistsOnDisk()) {
      ErrorMsg("ErrorFingingFile", {value});
      return 0;
    }
    solver_folder_ = value;
    return WriteSolverFile("XPRESS " + DoubledBackslashes(value)) ? 1 : 0;
  }
  if (Is(desc, kFormText, 352) || Is(desc, kFormText, 353)) {
    SetConfigString(desc.Number() == 352 ? "ProIIVersion" : "BrowseProIIFolder",
                    value, 1, 1, 0);
    return 1;
  }
  if (Is(desc, kNumeratorName, 225)) {
    numerator_ = value;
    return 1;
  }
  if (Is(desc, kDenominatorName, 225) || Is(desc, kDenominatorNameAlt, 225)) {
    denominator_ = value;
    return 1;
  }
  return ConfigManager::SpecifyText(desc, value);
}

unsigned char PemarConfigManager::Dimensions(const VarDescription& desc,
                                             DimInfo& dims) {
  if (Is(desc, kFormText, 4) || Is(desc, kFormText, 5)) {
    dims.AddDim(
        static_cast<int>(_get_PemarConfigVectorInfo()->lnumConfigItems()));
    return 1;
  }
  return ConfigManager::Dimensions(desc, dims);
}

unsigned char PemarConfigManager::VariableStatus(const VarDescription& desc,
                                                 ModifyState& state,
                                                 int& status) {
  if (Is(desc, kNumeratorName, 225) || Is(desc, kDenominatorNameAlt, 225) ||
      Is(desc, kDenominatorName, 225)) {
    return ConfigManager::VariableStatus(VarDescription("Units", 105), state,
                                         status);
  }
  return ConfigManager::VariableStatus(desc, state, status);
}

int PemarConfigManager::Message(const Text& command) {
  Text rest = command;
  Text verb = rest.Token();
  if (verb == "NewUnit" || verb == "EditUnit") {
    rest.Token();  // the form's own argument
    int type = 0;
    if (!UnitTypeOf(rest.Token(), &type)) return 0;
    if (verb == "EditUnit") {
      EditUnit(type);
    } else if (IsCompound(type)) {
      per_time_ = type == kCostPerTime ? 1 : 0;
      NewUnit(type);
      ShowForm("UserCostUnitConversion");
    } else if (type == 0) {
      ShowForm("NoUnitConversion");
    } else {
      NewUnit(type);
      ShowForm("UserUnitConversion");
    }
    return 1;
  }
  if (verb == "DoneNew") {
    if (!IsCompound(CurrentUnitType())) return ConfigManager::Message(command);
    DoneNew();
    return 1;
  }
  if (verb == "CancelNew") {
    ClearUnitEdit();
    return ConfigManager::Message(command);
  }
  if (verb == "BrowseSimulatorFolder") {
    BrowseSimulatorFolder();
    return 1;
  }
  return ConfigManager::Message(command);
}

bool PemarConfigManager::UnitTypeOf(const Text& entry, int* type) const {
  long n = 0;
  if (!entry.ToInt(&n)) return false;
  if (IsUnitListIndirect()) {
    *type = IndirectUnitType(n);
    return *type != kEmptyMarker;
  }
  if (n < INT_MIN || n > INT_MAX) return false;
  *type = static_cast<int>(n);
  return true;
}

void PemarConfigManager::EditUnit(int type) {
  SetCurrentUnit(type);
  Text name = GetCurrentUnitName(type);
  if (IsCompound(type)) {
    const std::string& s = name.str();
    std::size_t slash = s.find('/');
    numerator_ = Text(s.substr(0, slash));
    denominator_ =
        slash == std::string::npos ? Text() : Text(s.substr(slash + 1));
    // The name was made as numerator/denominator*; take the '*' off again
    // unless the unit is really named with it.
    if (denominator_.EndsWith("*")) {
      do {
        denominator_.str().pop_back();
      } while (!IsUnitKnown(denominator_) && denominator_.EndsWith("*"));
    }
    ShowForm("UserCostUnitConversion");
    return;
  }
  if (IsBaseOfCompound(type)) edited_base_factor_ = UnitFactor(type, name);
  const UnitRecord* unit = FindUnit(type, name);
  switch (unit == nullptr ? 0 : unit->conversion_type) {
    case 1:
      ShowForm("NormalUnitConversion");
      break;
    case 2:
      ShowForm("TempUnitConversion");
      break;
    case 3:
      ShowForm("GPressUnitConversion");
      break;
    case 4:
      ShowForm("APIUnitConversion");
      break;
    case 5:
      ShowForm("UserUnitConversion");
      break;
    default:
      ShowForm("NoUnitConversion");
  }
}

void PemarConfigManager::DoneNew() {
  if (numerator_.IsEmpty() || denominator_.IsEmpty()) {
    Message("CancelNew");
    return;
  }
  int type = CurrentUnitType();
  ConfigManager::Message("DoneNew");
  const UnitRecord* unit = FindUnit(type, GetCurrentUnitName(type));
  if (unit != nullptr && unit->conversion_type == 5) {
    Text name = numerator_ + "/" + denominator_ + "*";
    ConfigManager::SpecifyText(VarDescription("Units", 105), name);
    double top = UnitFactor(kCurrency, numerator_);
    double bottom = UnitFactor(DenominatorType(type), denominator_);
    // A denominator that cannot be divided by counts as empty: the factor
    // is then the numerator's alone.
    double factor = UsableFactor(top) && UsableFactor(bottom) ? top / bottom : top;
    SetUnitConvFactorByName(1, type, name, factor);
    SetUnitConvFactorByName(0, type, name, 0);
  }
  numerator_.Clear();
  denominator_.Clear();
}

void PemarConfigManager::RefreshCompoundUnits() {
  if (edited_base_factor_ == kEmptyValue) return;
  const int base = CurrentUnitType();
  const double f = CurrentUnitFactor(base);
  // Without both factors usable the ratio is unknown, and rescaling by
  // anything would corrupt every matching cost unit.
  const bool have_ratio = UsableFactor(f) && UsableFactor(edited_base_factor_);
  double ratio = have_ratio ? f / edited_base_factor_ : 0.0;
  if (have_ratio && base != kCurrency) ratio = 1.0 / ratio;

  const Text currency = GetCurrentUnitName(kCurrency);
  Text bare = currency;
  if (!currency.StartsWith("MM")) {
    SetUnitConvFactorByName(1, kCurrency, "MM" + currency, f * 1e-06);
  } else {
    bare = Text(currency.str().substr(2));
    SetUnitConvFactorByName(1, kCurrency, bare, f * 1000000);
  }

  const Text base_name = GetCurrentUnitName(base);
  auto matches = [&](const Text& name) {
    if (name.IsEmpty()) return false;
    if (base == kCurrency) {
      return !bare.IsEmpty() &&
             (name.StartsWith(bare) || name.StartsWith(("MM" + bare).str()));
    }
    return !base_name.IsEmpty() && name.Contains(base_name);
  };
  for (int i = 0; have_ratio; ++i) {
    Text names[] = {UnitNameAt(kCostPerTime, i), UnitNameAt(kCostPerEnergy, i)};
    if (names[0].IsEmpty() && names[1].IsEmpty()) break;
    const int types[] = {kCostPerTime, kCostPerEnergy};
    for (int k = 0; k < 2; ++k) {
      if (!matches(names[k])) continue;
      double item1 = GetUnitConvFactorByName(1, types[k], names[k]);
      if (item1 != kEmptyValue) {
        SetUnitConvFactorByName(1, types[k], names[k], item1 * ratio);
      }
      SetUnitConvFactorByName(0, types[k], names[k], 0);
    }
  }
  ClearUnitEdit();
}

void PemarConfigManager::ClearUnitEdit() {
  edited_base_factor_ = kEmptyValue;
  numerator_.Clear();
  denominator_.Clear();
}

void PemarConfigManager::BrowseSimulatorFolder() {
  FolderChoice choice = PickFolder("Select ProII system folder",
                                   GetConfigString("AllFiles", Text()));
  if (choice.folder.IsEmpty()) {
    ErrorMsg("ErrorFingingFile", {choice.dialog_text});
    return;
  }
  if (!FileName(choice.folder).ExistsOnDisk()) return;
  std::string folder = choice.folder.str();
  if (folder.size() > 1 && IsSeparator(folder.back())) folder.pop_back();
  if (IsSimulatorSystemFolder(folder)) {
    SetConfigString("BrowseProIIFolder", Text(folder), 1);
  }
}

bool PemarConfigManager::WriteSolverFile(const Text& contents) const {
  constexpr const char* kSolverFile = "Lpsolver.dat";
  if (WriteFileAtomically(kSolverFile, contents.c_str(), contents.Length())) {
    return true;
  }
  ErrorMsg("UnableToCreateDocument", {Text(kSolverFile)});
  return false;
}

namespace {

ConfigManager* MakePemarConfigManager(Viewable* owner) {
  return new PemarConfigManager(owner);
}

// Registered at load, so the framework builds this manager for preferences.
[[maybe_unused]] const bool kConfigManagerRegistered = [] {
  PemarConfigMgrObjectType();
  RegisterConfigManager(&MakePemarConfigManager);
  return true;
}();

}  // namespace

}  // namespace pemar
