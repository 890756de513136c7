// The owned, possibly absent text fields of projects and notes: a null
// pointer is an absent field, and callers get the field's own buffer.

#ifndef PEMAR_PROJECT_STRINGFIELDINTERNAL_H_
#define PEMAR_PROJECT_STRINGFIELDINTERNAL_H_

#include <memory>
#include <optional>
#include <utility>

#include "pemar/framework/Text.h"

namespace pemar::internal {

// A field of its own on the heap (projects), or held in place (notes, of
// which a case may hold many thousands: one allocation fewer per field).
using StringField = std::unique_ptr<CVString>;
using InlineStringField = std::optional<CVString>;

// The field's buffer, valid until the field next changes; null when absent.
template <typename Field>
char* FieldBuffer(Field& field) {
  return field ? field->str().data() : nullptr;
}

// The field's string, or null when absent.
inline const CVString* FieldString(const InlineStringField& field) {
  return field ? &*field : nullptr;
}

// Copies `text` into the field, creating it when absent; null changes
// nothing. `text` may be the field's own buffer.
inline void AssignField(StringField& field, const char* text) {
  if (text == nullptr) return;
  if (field) {
    *field = CVString(text);
  } else {
    field = std::make_unique<CVString>(text);
  }
}
inline void AssignField(InlineStringField& field, const char* text) {
  if (text == nullptr) return;
  if (field) {
    *field = CVString(text);
  } else {
    field.emplace(text);
  }
}

// A recalled value replaces the field; an absent one leaves it as it was.
inline void ReplaceField(StringField& field, std::optional<CVString>& value) {
  if (value) field = std::make_unique<CVString>(std::move(*value));
}
inline void ReplaceField(InlineStringField& field,
                         std::optional<CVString>& value) {
  if (value) field = std::move(value);
}

}  // namespace pemar::internal

#endif  // PEMAR_PROJECT_STRINGFIELDINTERNAL_H_
