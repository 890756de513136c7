#include "pemar/framework/ConfigManager.h"

#include "pemar/framework/ViewLog.h"

namespace pemar {
namespace {

ConfigManagerCreator& Creator() {
  static ConfigManagerCreator creator = nullptr;
  return creator;
}

bool IsUnits(const VarDescription& desc, int number) {
  return desc.VariableIs("Units") && desc.Number() == number;
}

}  // namespace

ConfigManager::ConfigManager(Viewable* owner, const ObjectTypeInfo* type)
    : Viewable(owner, type) {}

int ConfigManager::IndirectUnitType(long n) const {
  if (n < 0 || static_cast<std::size_t>(n) >= indirect_types_.size()) {
    return kEmptyMarker;
  }
  return indirect_types_[static_cast<std::size_t>(n)];
}

void ConfigManager::NewUnit(int type) {
  current_unit_type_ = type;
  pending_ = UnitRecord{Text(), 5, kEmptyValue, kEmptyValue};
}

double ConfigManager::Value(const VarDescription& desc) {
  base_calls_.push_back(desc.Format());
  return kEmptyValue;
}

unsigned char ConfigManager::Specify(const VarDescription& desc, double) {
  base_calls_.push_back(desc.Format());
  return 1;
}

Text ConfigManager::TextValue(const VarDescription& desc) {
  if (IsUnits(desc, 105)) {
    return pending_ ? pending_->name : GetCurrentUnitName(current_unit_type_);
  }
  if (IsUnits(desc, 106)) return GetCurrentUnitName(current_unit_type_);
  base_calls_.push_back(desc.Format());
  return Text();
}

unsigned char ConfigManager::SpecifyText(const VarDescription& desc,
                                         const Text& value) {
  if (IsUnits(desc, 105)) {
    if (pending_) {
      pending_->name = value;
      return 1;
    }
    return RenameUnit(current_unit_type_,
                      GetCurrentUnitName(current_unit_type_), value)
               ? 1
               : 0;
  }
  base_calls_.push_back(desc.Format());
  return 1;
}

int ConfigManager::Message(const Text& command) {
  base_calls_.push_back(command);
  Text rest = command;
  Text verb = rest.Token();
  if (verb == "DoneNew") {
    if (pending_) {
      AddUnit(current_unit_type_, *pending_);
      SetCurrentUnitName(current_unit_type_, pending_->name);
      pending_.reset();
    }
    return 1;
  }
  if (verb == "CancelNew") {
    pending_.reset();
    return 1;
  }
  return 0;
}

unsigned char ConfigManager::VariableStatus(const VarDescription& desc,
                                            ModifyState&, int& status) {
  if (IsUnits(desc, 105)) {
    status = pending_ ? 1 : 0;
    return 1;
  }
  return 0;
}

void ConfigManager::ShowForm(const Text& name) { OpenView(name); }

const ObjectTypeInfo* ConfigMgrObjectType() {
  static const ObjectTypeInfo* type =
      new ObjectTypeInfo("ConfigMgrObject", ViewableObjectType(),
                         "ConfigManager", 0, 0, "", kEmptyMarker);
  return type;
}

void RegisterConfigManager(ConfigManagerCreator creator) {
  if (creator != nullptr) Creator() = creator;
}

ConfigManager* CreateConfigManager(Viewable* owner) {
  return Creator() ? Creator()(owner) : nullptr;
}

}  // namespace pemar
