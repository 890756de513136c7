#include "pemar/project/IPemarProject.h"

namespace pemar {

IPemarProject::~IPemarProject() = default;

IPemarProject* AsPemarProject(IPemarBaseObject* object) {
  if (object == nullptr) return nullptr;
  void* found = nullptr;
  object->QueryInterface(kProjectInterface, &found);
  return static_cast<IPemarProject*>(found);
}

}  // namespace pemar
