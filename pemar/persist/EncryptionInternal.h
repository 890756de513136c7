// The fixed key of the whole-file encryption, for the library's own code
// and tests. Not part of the exported interface.

#ifndef PEMAR_PERSIST_ENCRYPTIONINTERNAL_H_
#define PEMAR_PERSIST_ENCRYPTIONINTERNAL_H_

#include <cstdint>

namespace pemar {
namespace encryption_internal {

// Key words K0 to K3. Fixed for good: every enciphered file in circulation
// depends on them.
extern const std::uint32_t kFileKey[4];

}  // namespace encryption_internal
}  // namespace pemar

#endif  // PEMAR_PERSIST_ENCRYPTIONINTERNAL_H_
