#include "pemar/persist/testing/GoldenBytes.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace pemar::test_support {
namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string Dump(const std::string& bytes, std::size_t from, std::size_t n) {
  std::string out;
  for (std::size_t i = from; i < bytes.size() && i < from + n; ++i) {
    char hex[4];
    std::snprintf(hex, sizeof hex, "%02X ",
                  static_cast<unsigned char>(bytes[i]));
    out += hex;
  }
  return out.empty() ? "(end)" : out;
}

}  // namespace

std::string Bytes(std::string_view table) {
  std::string out;
  for (std::size_t i = 0; i < table.size();) {
    const char c = table[i];
    if (std::isspace(static_cast<unsigned char>(c))) {
      ++i;
    } else if (c == '\'') {
      const std::size_t end = table.find('\'', i + 1);
      if (end == std::string_view::npos) {
        ADD_FAILURE() << "unclosed quote at " << i << " of the byte table";
        return out;
      }
      out.append(table.substr(i + 1, end - i - 1));
      i = end + 1;
    } else if (i + 1 < table.size() && HexDigit(c) >= 0 &&
               HexDigit(table[i + 1]) >= 0) {
      out.push_back(
          static_cast<char>(HexDigit(c) * 16 + HexDigit(table[i + 1])));
      i += 2;
    } else {
      ADD_FAILURE() << "bad character '" << c << "' at " << i
                    << " of the byte table";
      return out;
    }
  }
  return out;
}

::testing::AssertionResult SameBytes(const std::string& actual,
                                     const std::string& expected) {
  if (actual == expected) return ::testing::AssertionSuccess();
  const auto diff = static_cast<std::size_t>(
      std::mismatch(actual.begin(),
                    actual.begin() + static_cast<std::ptrdiff_t>(std::min(
                                         actual.size(), expected.size())),
                    expected.begin())
          .first -
      actual.begin());
  const std::size_t from = diff < 8 ? 0 : diff - 8;
  return ::testing::AssertionFailure()
         << "first difference at offset " << diff << " (sizes: actual "
         << actual.size() << ", expected " << expected.size()
         << ")\n  actual   from " << from << ": " << Dump(actual, from, 24)
         << "\n  expected from " << from << ": " << Dump(expected, from, 24);
}

}  // namespace pemar::test_support
