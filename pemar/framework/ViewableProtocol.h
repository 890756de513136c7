// Small value types passed through the variable protocol of Viewable.
//
// They carry only what the library's views and documents read or fill; the
// framework's forms and variable tables that would use the rest do not
// exist here.

#ifndef PEMAR_FRAMEWORK_VIEWABLEPROTOCOL_H_
#define PEMAR_FRAMEWORK_VIEWABLEPROTOCOL_H_

#include <cstddef>
#include <vector>

#include "pemar/framework/Export.h"
#include "pemar/framework/Text.h"
#include "pemar/framework/Types.h"

namespace pemar {

class Viewable;

// The sizes of an indexed variable: one AddDim per dimension.
class PEMAR_EXPORT DimInfo {
 public:
  void AddDim(int size) { dims_.push_back(size); }
  std::size_t Count() const { return dims_.size(); }
  // The size of dimension i; -32767 when there is no such dimension.
  int Dim(std::size_t i) const {
    return i < dims_.size() ? dims_[i] : kEmptyMarker;
  }
  void Clear() { dims_.clear(); }

 private:
  std::vector<int> dims_;
};

// A generic message to a view: its kind, and a place for the object that
// the view hands out (kind 6: the view's plot object).
struct MessageInfo {
  int kind = 0;
  Viewable* object = nullptr;
};

// How a variable may be changed; only passed through.
struct ModifyState {
  int state = 0;
};

// Objects that could be attached at a variable; only passed through.
struct AttachableObjects {
  std::vector<Viewable*> objects;
};

// A choice list: integer values with their texts.
class PEMAR_EXPORT VarEnumInfo {
 public:
  void AddEntry(int value, const Text& text, bool flag) {
    entries_.push_back({value, text, flag});
  }
  // The value of the first entry with exactly that text; -32767 when none.
  int FindEntry(const Text& text) const {
    for (const Entry& e : entries_) {
      if (e.text == text) return e.value;
    }
    return kEmptyMarker;
  }
  void DeleteEntries() { entries_.clear(); }
  std::size_t Count() const { return entries_.size(); }

 private:
  struct Entry {
    int value;
    Text text;
    bool flag;
  };
  std::vector<Entry> entries_;
};

}  // namespace pemar

#endif  // PEMAR_FRAMEWORK_VIEWABLEPROTOCOL_H_
