// DatablockPicker: the framework view in which the user picks the object
// (data block) a report is to show.
//
// Built for a report (not owned; may be null) and the type of object it
// picks. It remembers the selected object and does not own it; the object
// must outlive the selection.

#ifndef PEMAR_FRAMEWORK_DATABLOCKPICKER_H_
#define PEMAR_FRAMEWORK_DATABLOCKPICKER_H_

#include "pemar/framework/Export.h"
#include "pemar/framework/Viewable.h"

namespace pemar {

class Report;

class PEMAR_EXPORT DatablockPicker : public Viewable {
 public:
  DatablockPicker(Report* report, const ObjectTypeInfo* pickedType);

  Report* GetReport() const { return report_; }
  const ObjectTypeInfo* PickedType() const { return picked_type_; }

  // Selects `object` (may be null: nothing selected).
  virtual void SetSelectedBaseObject(Viewable* object) { selected_ = object; }
  Viewable* SelectedBaseObject() const { return selected_; }

 private:
  Report* report_;
  const ObjectTypeInfo* picked_type_;
  Viewable* selected_ = nullptr;
};

}  // namespace pemar

#endif  // PEMAR_FRAMEWORK_DATABLOCKPICKER_H_
