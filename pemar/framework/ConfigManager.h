// ConfigManager: the framework's preferences object, the base of a program's
// own configuration manager.
//
// It keeps the state of the unit forms: the current unit type (the quantity
// whose units are being edited), the unit list the forms show (direct: an
// entry is a quantity code; indirect: a table of quantity codes), and a new
// unit being defined ("new framework unit", committed by the command
// "DoneNew" and dropped by "CancelNew"). Its variables:
//   - "Units.105": the name of the unit being edited (the new unit while one
//     is being defined, else the current unit of the current type);
//     SpecifyText renames it; VariableStatus is 1 while a new unit is being
//     defined, else 0;
//   - ":Units.106": the name of the current unit of the current type.
// Every other variable and command is recorded (base_calls) and answered
// neutrally, as the framework's own options would be by forms this stand-in
// does not have.
//
// Forms are shown by name (ShowForm); the stand-in records the name in the
// view log (ViewLog.h), where tests find it.
//
// A program registers the function that builds its manager once, at load
// (RegisterConfigManager); the framework builds it with CreateConfigManager.

#ifndef PEMAR_FRAMEWORK_CONFIGMANAGER_H_
#define PEMAR_FRAMEWORK_CONFIGMANAGER_H_

#include <cstddef>
#include <optional>
#include <utility>
#include <vector>

#include "pemar/framework/Export.h"
#include "pemar/framework/Text.h"
#include "pemar/framework/Units.h"
#include "pemar/framework/Viewable.h"

namespace pemar {

class PEMAR_EXPORT ConfigManager : public Viewable {
 public:
  // `type` is the manager's own type (derived from ConfigMgrObjectType()).
  ConfigManager(Viewable* owner, const ObjectTypeInfo* type);

  int CurrentUnitType() const { return current_unit_type_; }
  void SetCurrentUnit(int type) { current_unit_type_ = type; }

  // The unit list of the forms. An empty list is direct.
  void SetIndirectUnitList(std::vector<int> types) {
    indirect_types_ = std::move(types);
  }
  bool IsUnitListIndirect() const { return !indirect_types_.empty(); }
  std::size_t IndirectUnitCount() const { return indirect_types_.size(); }
  // The quantity code of entry n; -32767 outside the list.
  int IndirectUnitType(long n) const;

  // Starts defining a new unit of quantity `type`, which becomes the current
  // unit type: a user-defined unit (conversion type 5) with empty items and
  // no name yet. A new unit already being defined is dropped.
  void NewUnit(int type);
  bool IsDefiningNewUnit() const { return pending_.has_value(); }

  // Every description or command this base answered, oldest first: the
  // description's text form for Value, Specify, TextValue and SpecifyText,
  // the command for Message.
  const std::vector<Text>& base_calls() const { return base_calls_; }

  double Value(const VarDescription& desc) override;
  unsigned char Specify(const VarDescription& desc, double value) override;
  Text TextValue(const VarDescription& desc) override;
  unsigned char SpecifyText(const VarDescription& desc,
                            const Text& value) override;
  // "DoneNew" adds the new unit to its quantity and makes it current;
  // "CancelNew" drops it. Both answer 1; other commands 0.
  int Message(const Text& command) override;
  unsigned char VariableStatus(const VarDescription& desc, ModifyState& state,
                               int& status) override;

 protected:
  // Opens the form named `name`.
  void ShowForm(const Text& name);

 private:
  int current_unit_type_ = 0;
  std::vector<int> indirect_types_;
  std::optional<UnitRecord> pending_;
  std::vector<Text> base_calls_;
};

// "ConfigMgrObject", the type of the framework's configuration managers.
PEMAR_EXPORT const ObjectTypeInfo* ConfigMgrObjectType();

// Builds the program's configuration manager inside `owner` (may be null).
using ConfigManagerCreator = ConfigManager* (*)(Viewable* owner);
// Registers the creator; a later registration replaces an earlier one. Null
// is ignored.
PEMAR_EXPORT void RegisterConfigManager(ConfigManagerCreator creator);
// A new manager from the registered creator, or null when none is
// registered. Owned as any object built in `owner`.
PEMAR_EXPORT ConfigManager* CreateConfigManager(Viewable* owner);

}  // namespace pemar

#endif  // PEMAR_FRAMEWORK_CONFIGMANAGER_H_
