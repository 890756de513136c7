// TechnologyManagerView: the view through which the user adds, edits and
// deletes the feature instances of one technology.
//
// Owned by its feature manager (ExpMgrView.h), which makes one per
// technology. Its view name is the technology followed by " Manager". It
// keeps a chosen list name (a feature key, or "All <technology>") and a
// selected instance of that list, whose death clears the selection.
//
// Variables (type 1519): 400 the technology's feature list (indexed), 401
// the chosen list name, 500 the instances of the chosen list (indexed), 501
// the selected instance name (specifying it reselects). Value (type 104):
// 500 is 1 when an instance is selected, 600 is 0 when the chosen list is the
// technology's "All" list. Commands: "AddFeature", "EditFeature",
// "DeleteFeature" (asks "ConfirmDeleteExperiment" unless the program was
// started by automation).

#ifndef PEMAR_FEATURES_TECHNOLOGYMANAGERVIEW_H_
#define PEMAR_FEATURES_TECHNOLOGYMANAGERVIEW_H_

#include "pemar/framework/Export.h"
#include "pemar/framework/ObjectTypeInfo.h"
#include "pemar/framework/Text.h"
#include "pemar/framework/Viewable.h"

namespace pemar {

class BinaryFile;
class ExpMgrView;

// "TechnologyManagerViewObject", identifier "expmgr", type version 1.
PEMAR_EXPORT const ObjectTypeInfo* TechnologyManagerViewObjectType();

class PEMAR_EXPORT TechnologyManagerView : public Viewable {
 public:
  TechnologyManagerView(ExpMgrView* manager, const Text& technology);
  explicit TechnologyManagerView(ObjectInstanceInfo& info);
  ~TechnologyManagerView() override;

  ExpMgrView* Manager() const { return manager_; }
  const Text& Technology() const { return technology_; }
  const Text& ChosenList() const { return chosen_list_; }
  void SetChosenList(const Text& listName) { chosen_list_ = listName; }
  Viewable* Selected() const { return selected_; }
  const Text& SelectedName() const { return selected_name_; }
  // Selects the instance of the chosen list named `name` (none when there
  // is no such instance; the name is kept either way).
  void Reselect(const Text& name);

  void DisconnectDeadObject(Viewable* dying) override;
  int Message(const Text& command) override;
  Text TextValue(const VarDescription& desc) override;
  unsigned char SpecifyText(const VarDescription& desc,
                            const Text& value) override;
  double Value(const VarDescription& desc) override;
  unsigned char Dimensions(const VarDescription& desc, DimInfo& dims) override;
  Viewable* AttachedObject(const VarDescription& desc) override;
  Text AttachedName(Viewable* object) override;

  unsigned char StoreClassData(BinaryFile& file);
  unsigned char RecallClassData(BinaryFile& file);
  void RecallFixUp();

 private:
  void Select(Viewable* instance);
  void ClearSelection();
  // True when `object` is an instance the manager lists.
  bool IsListedInstance(const Viewable* object) const;

  ExpMgrView* manager_ = nullptr;
  Viewable* selected_ = nullptr;
  Text chosen_list_;
  Text technology_;
  Text selected_name_;
};

}  // namespace pemar

#endif  // PEMAR_FEATURES_TECHNOLOGYMANAGERVIEW_H_
