// PemarConfigManager: the suite's preferences object.
//
// A framework ConfigManager that adds the library's own options to the
// framework's: bounds of the targeting and network tools, the
// linear-programming solver and its folder, links to external simulators,
// the use of simulation utility databases, the texts that other libraries
// list in PemarConfigVectorInfo, and compound cost units (a currency per time
// or per energy). Option values live in the configuration store
// (ConfigStore.h); the manager translates form variables to store keys and
// back. Variables and commands it does not own go to ConfigManager.
//
// Quantity codes it uses: 1 temperature, 4 mass flow, 44 time, 99 currency,
// 100 cost per time, 101 cost per energy, 115 energy.
//
// The solver choice is written to "Lpsolver.dat" in the current folder for
// the solver's runner: "LPSOLVE " (0), "LINGO " (2), or "XPRESS " followed by
// the solver folder (1); no line end. After the folder itself changes, the
// folder is written with every '\' doubled. The file is replaced whole
// (WriteFileAtomically): when it cannot be written the previous file stays,
// "UnableToCreateDocument" is shown with its name, and Specify or
// SpecifyText answers 0; the choice or folder is taken all the same.
//
// Unit factors: a factor that is 0, not finite or -32767 is never divided
// by; where a ratio of factors cannot be formed the compound units are left
// as they were.
//
// The type "PemarConfigMgrObject" and the manager's creator are registered
// at load.

#ifndef PEMAR_CONFIG_PEMARCONFIGMANAGER_H_
#define PEMAR_CONFIG_PEMARCONFIGMANAGER_H_

#include "pemar/framework/ConfigManager.h"
#include "pemar/framework/Export.h"
#include "pemar/framework/Text.h"
#include "pemar/framework/Types.h"

namespace pemar {

class PEMAR_EXPORT PemarConfigManager : public ConfigManager {
 public:
  explicit PemarConfigManager(Viewable* owner);

  double Value(const VarDescription& desc) override;
  unsigned char Specify(const VarDescription& desc, double value) override;
  Text TextValue(const VarDescription& desc) override;
  unsigned char SpecifyText(const VarDescription& desc,
                            const Text& value) override;
  // "NewUnit _ n", "EditUnit _ n" (n an entry of the unit list: a quantity
  // code, or a position in an indirect list; a position outside it or a
  // token that is no number does nothing and answers 0), "DoneNew",
  // "CancelNew", "BrowseSimulatorFolder"; the rest go to the base.
  int Message(const Text& command) override;
  unsigned char Dimensions(const VarDescription& desc, DimInfo& dims) override;
  unsigned char VariableStatus(const VarDescription& desc, ModifyState& state,
                               int& status) override;

  // 0 LPSOLVE, 1 XPRESS, 2 LINGO; other values are kept but write nothing.
  int solver_choice() const { return solver_choice_; }
  const Text& solver_folder() const { return solver_folder_; }
  double edited_base_unit_factor() const { return edited_base_factor_; }
  const Text& numerator_unit() const { return numerator_; }
  const Text& denominator_unit() const { return denominator_; }

 private:
  // The quantity named by entry n of the unit list; false when n is no
  // number or outside an indirect list.
  bool UnitTypeOf(const Text& entry, int* type) const;
  void EditUnit(int type);
  void DoneNew();
  void BrowseSimulatorFolder();
  // After the factor of the current base unit (currency, time or energy)
  // changed: rescales the compound cost units made of it.
  void RefreshCompoundUnits();
  void ClearUnitEdit();
  // Replaces "Lpsolver.dat"; false, with the failure shown, when it could
  // not be written.
  bool WriteSolverFile(const Text& contents) const;

  double edited_base_factor_ = kEmptyValue;
  Text numerator_;
  Text denominator_;
  unsigned char per_time_ = 0;
  int solver_choice_ = 0;
  Text solver_folder_;
};

// "PemarConfigMgrObject", derived from "ConfigMgrObject".
PEMAR_EXPORT const ObjectTypeInfo* PemarConfigMgrObjectType();

// The factor of a named unit: conversion item 1; item 0 when item 1 is
// -32767; the reciprocal of item 1 when item 0 is 2 (-32767 when item 1 is 0
// or not finite).
PEMAR_EXPORT double UnitFactor(int type, const Text& name);

}  // namespace pemar

#endif  // PEMAR_CONFIG_PEMARCONFIGMANAGER_H_
