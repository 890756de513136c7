// Container names that appear in exported signatures.
//
// Library code uses the standard containers directly; these aliases give the
// few signatures that pass a framework list or dictionary a named type.

#ifndef PEMAR_FRAMEWORK_CONTAINERS_H_
#define PEMAR_FRAMEWORK_CONTAINERS_H_

#include <map>
#include <vector>

#include "pemar/framework/Text.h"

namespace pemar {

// An ordered list of untyped pointers, walked from the front in the order
// entries were added. Whether it owns its entries is said where it is used.
using CVList = std::vector<void*>;

// A dictionary keyed by text, walked in key order.
using CVDictionary = std::map<Text, void*>;

}  // namespace pemar

#endif  // PEMAR_FRAMEWORK_CONTAINERS_H_
