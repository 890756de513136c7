#include "pemar/framework/VarDescription.h"

#include <cstring>
#include <vector>

namespace pemar {
namespace {

constexpr std::size_t kMaxDigits = 9;
// Longer chains are not used by any form, and a bound keeps a hostile text
// from building a chain whose destruction recurses too deep.
constexpr std::size_t kMaxLinks = 64;

bool IsNameChar(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
         (c >= '0' && c <= '9') || c == '_';
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Reads 1 to 9 digits at text[*at]; nine digits always fit an int.
bool ReadDigits(std::string_view text, std::size_t* at, int* value) {
  std::size_t start = *at;
  int v = 0;
  while (*at < text.size() && IsDigit(text[*at])) {
    if (*at - start == kMaxDigits) return false;
    v = v * 10 + (text[*at] - '0');
    ++*at;
  }
  if (*at == start) return false;
  *value = v;
  return true;
}

bool ReadOffsetName(std::string_view text, std::size_t* at, VarDescription* d) {
  // text[*at] is '('.
  std::size_t close = text.find(')', *at + 1);
  if (close == std::string_view::npos) return false;
  d->has_offset_name = true;
  d->offset_name = Text(text.substr(*at + 1, close - *at - 1));
  *at = close + 1;
  return true;
}

// One description without its next link, from text[*at].
bool ParseOne(std::string_view text, std::size_t* at, VarDescription* d) {
  std::size_t i = *at;
  if (i < text.size() && text[i] == ':') {
    d->constant = true;
    ++i;
  }
  std::size_t start = i;
  while (i < text.size() && IsNameChar(text[i])) ++i;
  if (i == start) return false;
  d->name = Text(text.substr(start, i - start));
  if (i >= text.size() || text[i] != '.') return false;
  ++i;
  if (!ReadDigits(text, &i, &d->number)) return false;

  if (i + 1 < text.size() && text[i] == '.' && text[i + 1] != '[') {
    ++i;
    if (text[i] == '(') {
      if (!ReadOffsetName(text, &i, d)) return false;
    } else {
      bool negative = false;
      if (text[i] == '-') {
        negative = true;
        ++i;
      }
      int position = 0;
      if (!ReadDigits(text, &i, &position)) return false;
      d->position = negative ? -position : position;
      if (i + 1 < text.size() && text[i] == ' ' && text[i + 1] == '(') {
        d->blank_before_offset_name = true;
        ++i;
      }
      if (i < text.size() && text[i] == '(') {
        if (!ReadOffsetName(text, &i, d)) return false;
      }
    }
  }
  if (text.substr(i, 3) == ".[]") {
    d->indexed = true;
    i += 3;
  }
  *at = i;
  return true;
}

void FormatOne(const VarDescription& d, Text* out) {
  if (d.constant) out->Append(':');
  *out += d.name;
  *out += Text::Format(".%d", d.number);
  bool has_position = d.position != kEmptyMarker;
  if (has_position || d.has_offset_name) out->Append('.');
  if (has_position) *out += Text::Format("%d", d.position);
  if (d.has_offset_name) {
    if (has_position && d.blank_before_offset_name) out->Append(' ');
    out->Append('(');
    *out += d.offset_name;
    out->Append(')');
  }
  if (d.indexed) *out += ".[]";
}

bool SameFields(const VarDescription& a, const VarDescription& b) {
  return a.name == b.name && a.number == b.number && a.constant == b.constant &&
         a.indexed == b.indexed && a.index == b.index &&
         a.position == b.position && a.has_offset_name == b.has_offset_name &&
         a.blank_before_offset_name == b.blank_before_offset_name &&
         a.offset_name == b.offset_name && a.type == b.type &&
         a.object_type == b.object_type && a.flags == b.flags;
}

}  // namespace

bool VarDescription::Parse(std::string_view text, VarDescription* out) {
  if (out == nullptr) return false;
  std::vector<VarDescription> parts;
  std::size_t at = 0;
  while (true) {
    VarDescription d;
    if (!ParseOne(text, &at, &d)) return false;
    parts.push_back(std::move(d));
    if (at == text.size()) break;
    if (parts.size() == kMaxLinks) return false;
    if (text[at] != '/') return false;
    ++at;
  }
  // Linked from the back, so a long chain costs no recursion.
  for (std::size_t i = parts.size() - 1; i > 0; --i) {
    parts[i - 1].next =
        std::make_shared<const VarDescription>(std::move(parts[i]));
  }
  *out = std::move(parts[0]);
  return true;
}

Text VarDescription::Format() const {
  Text out;
  const VarDescription* d = this;
  FormatOne(*d, &out);
  for (d = d->GetNextLink(); d != nullptr; d = d->GetNextLink()) {
    out.Append('/');
    FormatOne(*d, &out);
  }
  return out;
}

bool VarDescription::VariableIs(const char* varName) const {
  return varName != nullptr && name == varName;
}

bool VarDescription::IsOfType(const char* typeName,
                              const ObjectTypeInfo* type) const {
  if (object_type != nullptr) return object_type == type;
  return VariableIs(typeName);
}

bool operator==(const VarDescription& a, const VarDescription& b) {
  const VarDescription* x = &a;
  const VarDescription* y = &b;
  while (x != nullptr && y != nullptr) {
    if (!SameFields(*x, *y)) return false;
    x = x->GetNextLink();
    y = y->GetNextLink();
  }
  return x == nullptr && y == nullptr;
}

}  // namespace pemar
