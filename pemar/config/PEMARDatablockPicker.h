// PEMARDatablockPicker: the library's data block picker.
//
// A framework DatablockPicker that selects, for an object the user picked,
// the object attached to it as "Viewable.1000" when there is one (a view
// standing for its model object), else the picked object itself.

#ifndef PEMAR_CONFIG_PEMARDATABLOCKPICKER_H_
#define PEMAR_CONFIG_PEMARDATABLOCKPICKER_H_

#include "pemar/framework/DatablockPicker.h"
#include "pemar/framework/Export.h"

namespace pemar {

class PEMAR_EXPORT PEMARDatablockPicker : public DatablockPicker {
 public:
  using DatablockPicker::DatablockPicker;

  // Null selects nothing.
  void SetSelectedBaseObject(Viewable* object) override;
};

}  // namespace pemar

#endif  // PEMAR_CONFIG_PEMARDATABLOCKPICKER_H_
