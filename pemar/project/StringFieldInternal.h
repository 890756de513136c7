// The owned, possibly absent text fields of projects and notes: a null
// pointer is an absent field, and callers get the field's own buffer.

#ifndef PEMAR_PROJECT_STRINGFIELDINTERNAL_H_
#define PEMAR_PROJECT_STRINGFIELDINTERNAL_H_

#include <memory>
#include <optional>
#include <utility>

#include "pemar/framework/Text.h"

namespace pemar::internal {

using StringField = std::unique_ptr<CVString>;

// The field's buffer, valid until the field next changes; null when absent.
inline char* FieldBuffer(const StringField& field) {
  return field ? field->str().data() : nullptr;
}

// Copies `text` into the field, creating it when absent; null changes
// nothing.
inline void AssignField(StringField& field, const char* text) {
  if (text == nullptr) return;
  if (field) {
    *field = CVString(text);
  } else {
    field = std::make_unique<CVString>(text);
  }
}

// A recalled value replaces the field; an absent one leaves it as it was.
inline void ReplaceField(StringField& field, std::optional<CVString>& value) {
  if (value) field = std::make_unique<CVString>(std::move(*value));
}

}  // namespace pemar::internal

#endif  // PEMAR_PROJECT_STRINGFIELDINTERNAL_H_
