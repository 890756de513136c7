#include "pemar/framework/Text.h"

#include <cerrno>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>

namespace pemar {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' ||
         c == '\f';
}

}  // namespace

Text::Text(const char* s) : s_(s ? s : "") {}
Text::Text(const char* s, std::size_t n) : s_(s ? std::string(s, n) : "") {}
Text::Text(std::string s) : s_(std::move(s)) {}
Text::Text(std::string_view s) : s_(s) {}

Text Text::Token() {
  std::size_t begin = 0;
  while (begin < s_.size() && IsBlank(s_[begin])) ++begin;
  std::size_t end = begin;
  while (end < s_.size() && !IsBlank(s_[end])) ++end;
  Text token(s_.substr(begin, end - begin));
  std::size_t rest = end;
  while (rest < s_.size() && IsBlank(s_[rest])) ++rest;
  s_.erase(0, rest);
  return token;
}

bool Text::ToInt(long* value) const {
  Text t = Trimmed();
  if (t.IsEmpty()) return false;
  errno = 0;
  char* end = nullptr;
  long v = std::strtol(t.c_str(), &end, 10);
  if (errno != 0 || end == nullptr || *end != '\0') return false;
  *value = v;
  return true;
}

bool Text::ToDouble(double* value) const {
  Text t = Trimmed();
  if (t.IsEmpty()) return false;
  char* end = nullptr;
  double v = std::strtod(t.c_str(), &end);
  if (end == nullptr || *end != '\0') return false;
  *value = v;
  return true;
}

Text Text::Upper() const {
  Text copy(*this);
  copy.ToUpper();
  return copy;
}

void Text::ToUpper() {
  for (char& c : s_) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
}

Text Text::Trimmed() const {
  std::size_t begin = 0;
  std::size_t end = s_.size();
  while (begin < end && IsSpace(s_[begin])) ++begin;
  while (end > begin && IsSpace(s_[end - 1])) --end;
  return Text(s_.substr(begin, end - begin));
}

bool Text::StartsWith(std::string_view prefix) const {
  return std::string_view(s_).starts_with(prefix);
}

bool Text::EndsWith(std::string_view suffix) const {
  return std::string_view(s_).ends_with(suffix);
}

bool Text::Contains(std::string_view part) const {
  return s_.find(part) != std::string::npos;
}

std::vector<Text> Text::Lines() const {
  std::vector<Text> lines;
  std::size_t begin = 0;
  while (begin < s_.size()) {
    std::size_t end = s_.find('\n', begin);
    if (end == std::string::npos) end = s_.size();
    std::size_t stop = end;
    if (stop > begin && s_[stop - 1] == '\r') --stop;
    lines.emplace_back(s_.substr(begin, stop - begin));
    begin = end + 1;
  }
  return lines;
}

Text Text::Format(const char* format, ...) {
  if (format == nullptr) return Text();
  va_list args;
  va_start(args, format);
  int n = std::vsnprintf(nullptr, 0, format,
                         args);  // NOLINT(clang-analyzer-valist.Uninitialized)
  va_end(args);
  Text out;
  if (n > 0) {
    out.s_.resize(static_cast<std::size_t>(n) + 1);
    va_start(args, format);
    std::vsnprintf(out.s_.data(), out.s_.size(), format, args);
    va_end(args);
    out.s_.resize(static_cast<std::size_t>(n));
  }
  return out;
}

std::string QuotedEscaped(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 2);
  AppendQuotedEscaped(text, &out);
  return out;
}

void AppendQuotedEscaped(std::string_view text, std::string* out) {
  static constexpr char kHex[] = "0123456789abcdef";
  auto plain = [](char ch) {
    const auto c = static_cast<unsigned char>(ch);
    return c >= 0x20 && c < 0x7f && c != '\\' && c != '"';
  };
  out->push_back('"');
  // Descriptions quote thousands of texts: runs of plain characters go in
  // with one append each.
  std::size_t i = 0;
  while (i < text.size()) {
    std::size_t run = i;
    while (run < text.size() && plain(text[run])) ++run;
    out->append(text.data() + i, run - i);
    if (run == text.size()) break;
    const auto c = static_cast<unsigned char>(text[run]);
    const char escaped[4] = {'\\', 'x', kHex[c >> 4], kHex[c & 15]};
    out->append(escaped, 4);
    i = run + 1;
  }
  out->push_back('"');
}

}  // namespace pemar
