// Access to a BinaryFile's read buffer for the library's own readers of
// records that BinaryFile does not know, so that their common case is read
// in place like BinaryFile's own values. Not part of the exported interface.

#ifndef PEMAR_FRAMEWORK_BINARYFILEINTERNAL_H_
#define PEMAR_FRAMEWORK_BINARYFILEINTERNAL_H_

#include <cstddef>
#include <cstring>
#include <string>

#include "pemar/framework/BinaryFile.h"

namespace pemar {

class BinaryFileInternal {
 public:
  // When the next n bytes lie in the read buffer and inside the innermost
  // chunk: sets *chars to those before the first zero byte (all n when there
  // is none), moves past all n and returns true. Otherwise returns false and
  // reads nothing; the caller then takes the long way.
  static bool ReadBufferedCharsToZero(BinaryFile& file, std::size_t n,
                                      std::string* chars) {
    const unsigned char* bytes = file.BufferedBytes(n);
    if (bytes == nullptr) return false;
    const void* zero = std::memchr(bytes, 0, n);
    const std::size_t length =
        zero != nullptr ? static_cast<std::size_t>(
                              static_cast<const unsigned char*>(zero) - bytes)
                        : n;
    chars->assign(reinterpret_cast<const char*>(bytes), length);
    file.position_ += n;
    return true;
  }
};

}  // namespace pemar

#endif  // PEMAR_FRAMEWORK_BINARYFILEINTERNAL_H_
