#include "web/HttpMessage.h"

#include <cctype>

namespace pemar::web {
namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Percent-decodes `text` ('+' stays '+': paths and our queries never use it
// for a space). False on a broken escape.
bool Decode(std::string_view text, std::string& out) {
  out.clear();
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      out += text[i];
      continue;
    }
    if (i + 2 >= text.size()) return false;
    const int hi = HexDigit(text[i + 1]);
    const int lo = HexDigit(text[i + 2]);
    if (hi < 0 || lo < 0) return false;
    out += static_cast<char>(hi * 16 + lo);
    i += 2;
  }
  return true;
}

}  // namespace

const std::string* Request::Header(std::string_view name) const {
  for (const auto& [key, value] : headers) {
    if (key == name) return &value;
  }
  return nullptr;
}

Response Response::Json(int status, const nlohmann::ordered_json& value) {
  Response r;
  r.status = status;
  r.body = value.dump(-1, ' ', false,
                      nlohmann::ordered_json::error_handler_t::replace);
  return r;
}

Response Response::Error(int status, const std::string& message,
                         const std::string& key) {
  nlohmann::ordered_json body = {{"error", message}};
  if (!key.empty()) body["key"] = key;
  return Json(status, body);
}

std::string AsciiLower(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

std::string PercentEncoded(std::string_view text) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : text) {
    if (std::isalnum(c) || c == '-' || c == '_' || c == '.') {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return out;
}

std::string DecodedPath(std::string_view target) {
  const std::string_view raw = target.substr(0, target.find('?'));
  std::string path;
  if (raw.empty() || raw[0] != '/' || !Decode(raw, path)) return {};
  for (unsigned char c : path) {
    if (c < 0x20 || c == 0x7f) return {};
  }
  return path;
}

std::string QueryValue(std::string_view target, std::string_view name) {
  const std::size_t q = target.find('?');
  if (q == std::string_view::npos) return {};
  std::string_view rest = target.substr(q + 1);
  while (!rest.empty()) {
    const std::size_t end = std::min(rest.find('&'), rest.size());
    const std::string_view pair = rest.substr(0, end);
    const std::size_t eq = pair.find('=');
    if (pair.substr(0, eq) == name) {
      std::string value;
      if (eq == std::string_view::npos || !Decode(pair.substr(eq + 1), value)) {
        return {};
      }
      return value;
    }
    rest.remove_prefix(std::min(end + 1, rest.size()));
  }
  return {};
}

}  // namespace pemar::web
