#include "pemar/framework/DatablockPicker.h"

namespace pemar {

DatablockPicker::DatablockPicker(Report* report,
                                 const ObjectTypeInfo* pickedType)
    : Viewable(nullptr, nullptr), report_(report), picked_type_(pickedType) {}

}  // namespace pemar
