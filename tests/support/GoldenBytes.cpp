#include "tests/support/GoldenBytes.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

namespace pemar::test_support {
namespace {

int HexDigit(char c) {
  const char* digits = "0123456789ABCDEF";
  const char* at =
      std::strchr(digits, std::toupper(static_cast<unsigned char>(c)));
  return c != '\0' && at != nullptr ? static_cast<int>(at - digits) : -1;
}

// Up to 24 bytes from `from`, in hex.
std::string Dump(const std::string& bytes, std::size_t from) {
  std::string out;
  for (std::size_t i = from; i < bytes.size() && i < from + 24; ++i) {
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
    const std::size_t end = c == '\'' ? table.find('\'', i + 1) : i;
    if (std::isspace(static_cast<unsigned char>(c))) {
      ++i;
    } else if (c == '\'' && end != std::string_view::npos) {
      out.append(table.substr(i + 1, end - i - 1));
      i = end + 1;
    } else if (i + 1 < table.size() && HexDigit(c) >= 0 &&
               HexDigit(table[i + 1]) >= 0) {
      out.push_back(
          static_cast<char>(HexDigit(c) * 16 + HexDigit(table[i + 1])));
      i += 2;
    } else {
      ADD_FAILURE() << "bad byte table at " << i << ": " << table.substr(i);
      return out;
    }
  }
  return out;
}

::testing::AssertionResult SameBytes(const std::string& actual,
                                     const std::string& expected) {
  if (actual == expected) return ::testing::AssertionSuccess();
  const std::size_t n = std::min(actual.size(), expected.size());
  const std::size_t diff = static_cast<std::size_t>(
      std::mismatch(actual.begin(), actual.begin() + n, expected.begin())
          .first -
      actual.begin());
  const std::size_t from = diff < 8 ? 0 : diff - 8;
  return ::testing::AssertionFailure()
         << "first difference at offset " << diff << " (sizes: actual "
         << actual.size() << ", expected " << expected.size()
         << ")\n  actual   from " << from << ": " << Dump(actual, from)
         << "\n  expected from " << from << ": " << Dump(expected, from);
}

}  // namespace pemar::test_support
