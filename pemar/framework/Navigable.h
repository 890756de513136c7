// Createable and Navigable: the bases of framework node classes.
//
// A Createable has a class number and makes new empty objects of its class.
// A Navigable is a node that takes part in the framework's relations between
// nodes; node classes that keep no relations answer every relation and
// traversal operation with null or 0.

#ifndef PEMAR_FRAMEWORK_NAVIGABLE_H_
#define PEMAR_FRAMEWORK_NAVIGABLE_H_

#include "pemar/framework/Export.h"

namespace pemar {

class PEMAR_EXPORT Createable {
 public:
  virtual ~Createable() = default;
  virtual int GetClass() const = 0;
  // A new, empty object of the same class, owned by the caller.
  virtual Createable* CreateInstance() const = 0;
};

class PEMAR_EXPORT Navigable : public virtual Createable {
 public:
  virtual int AddRelation(Navigable* other) = 0;
  virtual int RemoveRelation(Navigable* other) = 0;
  virtual Navigable* CreateNode() = 0;
  virtual Navigable* GetRoot() = 0;
  // The node after `from` in a walk of the relations, or null at the end.
  virtual Navigable* TraverseStep(Navigable* from) = 0;
  virtual Navigable* GetFirstRelatedNode() = 0;
};

}  // namespace pemar

#endif  // PEMAR_FRAMEWORK_NAVIGABLE_H_
