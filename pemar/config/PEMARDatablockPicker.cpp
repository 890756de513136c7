#include "pemar/config/PEMARDatablockPicker.h"

namespace pemar {

void PEMARDatablockPicker::SetSelectedBaseObject(Viewable* object) {
  Viewable* attached = nullptr;
  if (object != nullptr) {
    VarDescription desc;
    if (VarDescription::Parse("Viewable.1000", &desc)) {
      attached = object->AttachedObject(desc);
    }
  }
  DatablockPicker::SetSelectedBaseObject(attached ? attached : object);
}

}  // namespace pemar
