// VarDescription: the name of one framework variable.
//
// A variable is named by a name and a number, "Units.105", and optionally:
//   - a leading colon for a constant written at load time, ":Description.300";
//   - an offset: a position "Viewable.500.3", the name of an addressed
//     sub-object "Viewable.500.(N)", or both, "DesignViewerScenario.200.2(s)"
//     (with or without a blank before the parenthesis, which is kept:
//     "DesignViewerDesign.200.2 (d)");
//   - ".[]" at the end for an indexed variable, ":Variable.300.[]"; the index
//     itself is set by the caller;
//   - a next link, resolved on the object that this description finds,
//     written after a slash: "Viewable.600.(Heat)/Units.105" (at most 64
//     descriptions in a chain).
//
// The grammar of the text form:
//   var     := [":"] name "." number ["." offset] [".[]"] ["/" var]
//   offset  := position [[" "] "(" oname ")"] | "(" oname ")"
//   name    := 1*(letter | digit | "_")
//   number  := 1*9digit
//   position:= ["-"] 1*9digit
//   oname   := *(any byte except ")")
//
// The variable type code and the object type are not part of the text: in
// the framework they come from its variable tables, which the library does
// not need. Callers and tests set them directly.

#ifndef PEMAR_FRAMEWORK_VARDESCRIPTION_H_
#define PEMAR_FRAMEWORK_VARDESCRIPTION_H_

#include <memory>
#include <string_view>

#include "pemar/framework/Export.h"
#include "pemar/framework/Text.h"
#include "pemar/framework/Types.h"

namespace pemar {

class ObjectTypeInfo;

// The flag bit of a description that stands for the object itself.
inline constexpr int kVarFlagSelf = 1 << 4;

struct PEMAR_EXPORT VarDescription {
  Text name;
  int number = 0;
  bool constant = false;
  bool indexed = false;
  int index = 0;
  // Offset position; -32767 when the text has none.
  int position = kEmptyMarker;
  bool has_offset_name = false;
  bool blank_before_offset_name = false;
  Text offset_name;
  // The framework's variable type code; -32767 when not set.
  int type = kEmptyMarker;
  // The object type the variable belongs to; null when not set. Not owned.
  const ObjectTypeInfo* object_type = nullptr;
  int flags = 0;
  std::shared_ptr<const VarDescription> next;

  VarDescription() = default;
  VarDescription(const char* varName, int varNumber)
      : name(varName), number(varNumber) {}

  // Reads the text form. False, and *out untouched, when the text does not
  // follow the grammar above (including a number of more than nine digits).
  static bool Parse(std::string_view text, VarDescription* out);
  // The text form; Format(Parse(t)) gives t back for every t that parses.
  Text Format() const;

  // True when the name is exactly `varName` (case-sensitive). False for
  // null.
  bool VariableIs(const char* varName) const;
  // True when the description belongs to objects of `type`: decided by
  // object_type when the caller set one, else by the name, which must be
  // `typeName` (there are no variable tables to tell the type from it).
  bool IsOfType(const char* typeName, const ObjectTypeInfo* type) const;
  int Number() const { return number; }
  int Type() const { return type; }
  void SetType(int code) { type = code; }
  bool IsConstant() const { return constant; }
  bool IsIndexed() const { return indexed; }
  int Index() const { return index; }
  void SetIndex(int i) { index = i; }
  int OffsetPosition() const { return position; }
  // The name of the addressed sub-object; empty when there is none.
  const Text& GetOffsetName() const { return offset_name; }
  // The next link, or null. Valid while this description lives.
  const VarDescription* GetNextLink() const { return next.get(); }
  bool IsSelf() const { return (flags & kVarFlagSelf) != 0; }

  // Field by field, next links compared by value.
  friend PEMAR_EXPORT bool operator==(const VarDescription& a,
                                      const VarDescription& b);
};

}  // namespace pemar

#endif  // PEMAR_FRAMEWORK_VARDESCRIPTION_H_
