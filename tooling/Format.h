// How the tool and the web application write numbers: in short form (six
// significant digits), and the empty value -32767 as a placeholder in text or
// as null in JSON.

#ifndef PEMAR_TOOLING_FORMAT_H_
#define PEMAR_TOOLING_FORMAT_H_

#include <cstdio>
#include <nlohmann/json.hpp>
#include <string>

#include "pemar/framework/Types.h"

namespace pemar::tooling {

// `value` with six significant digits; `empty` for the empty value.
inline std::string ShortNumber(double value, const char* empty) {
  if (value == kEmptyValue) return empty;
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.6g", value);
  return buffer;
}

// `value` as a JSON number; null for the empty value.
inline nlohmann::ordered_json JsonNumber(double value) {
  return value == kEmptyValue ? nlohmann::ordered_json(nullptr)
                              : nlohmann::ordered_json(value);
}

}  // namespace pemar::tooling

#endif  // PEMAR_TOOLING_FORMAT_H_
