// Text: the library's value string.
//
// Names, keys, file names and messages pass as Text. It is a thin value class
// over std::string that adds the few operations the library needs: taking off
// blank-separated tokens, ASCII upper-casing, trimming, line splitting and
// printf-style formatting. Equality is byte-exact and case-sensitive.
//
// CVString, the stored-name string, is the same type: stored names and
// display texts behave identically. An absent string is a null pointer to
// one, never a special state of the class.

#ifndef PEMAR_FRAMEWORK_TEXT_H_
#define PEMAR_FRAMEWORK_TEXT_H_

#include <compare>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "pemar/framework/Export.h"

namespace pemar {

class PEMAR_EXPORT Text {
 public:
  Text() = default;
  // A null pointer gives the empty text.
  Text(const char* s);  // NOLINT(google-explicit-constructor)
  Text(const char* s, std::size_t n);
  Text(std::string s);       // NOLINT(google-explicit-constructor)
  Text(std::string_view s);  // NOLINT(google-explicit-constructor)

  // Zero-terminated buffer, valid until the text is next changed.
  const char* c_str() const { return s_.c_str(); }
  const std::string& str() const { return s_; }
  std::string& str() { return s_; }
  operator std::string_view() const { return s_; }  // NOLINT

  std::size_t Length() const { return s_.size(); }
  bool IsEmpty() const { return s_.empty(); }
  char operator[](std::size_t i) const { return s_[i]; }
  char& operator[](std::size_t i) { return s_[i]; }
  void Append(char c) { s_.push_back(c); }
  void Clear() { s_.clear(); }

  Text& operator+=(const Text& other) {
    s_ += other.s_;
    return *this;
  }
  friend Text operator+(Text a, const Text& b) { return a += b; }
  friend Text operator+(Text a, const char* b) { return a += Text(b); }
  friend Text operator+(const char* a, const Text& b) { return Text(a) += b; }

  friend bool operator==(const Text& a, const Text& b) { return a.s_ == b.s_; }
  friend bool operator==(const Text& a, const char* b) {
    return a.s_ == (b ? b : "");
  }
  friend std::strong_ordering operator<=>(const Text& a, const Text& b) {
    return a.s_ <=> b.s_;
  }

  // Takes off the first token (a run of characters other than blanks and
  // tabs) and returns it. The text keeps the rest, without its leading
  // blanks, for the next call. An empty or all-blank text gives "".
  Text Token();

  // Reads the whole text (blanks around it allowed) as a number. False, and
  // the output untouched, when it is not one.
  bool ToInt(long* value) const;
  bool ToDouble(double* value) const;

  // ASCII upper-casing; other bytes are left as they are.
  Text Upper() const;
  void ToUpper();

  // The text without blanks, tabs, carriage returns and line feeds at either
  // end.
  Text Trimmed() const;

  bool StartsWith(std::string_view prefix) const;
  bool EndsWith(std::string_view suffix) const;
  bool Contains(std::string_view part) const;

  // The lines of a multi-line text, split at "\n" with a trailing "\r"
  // removed from each. A final line feed does not make an empty last line.
  std::vector<Text> Lines() const;

  // printf-style formatting into a new text. Never pass a name or other
  // outside text as the format: format the numbers and concatenate the text.
  static Text Format(const char* format, ...)
#if defined(__GNUC__)
      __attribute__((format(printf, 1, 2)))
#endif
      ;

 private:
  std::string s_;
};

using CVString = Text;

// `text` in double quotes, with every control byte, byte above 0x7e, '\\'
// and '"' written as "\\xHH", so that descriptions stay one line of plain
// ASCII and equal texts give equal quotes.
PEMAR_EXPORT std::string QuotedEscaped(std::string_view text);
// The same appended to `*out` (not null).
PEMAR_EXPORT void AppendQuotedEscaped(std::string_view text, std::string* out);

}  // namespace pemar

#endif  // PEMAR_FRAMEWORK_TEXT_H_
