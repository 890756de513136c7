// The fixed key of the whole-file encryption, for the library's own code
// and tests. Not part of the exported interface.

#ifndef PEMAR_PERSIST_ENCRYPTIONINTERNAL_H_
#define PEMAR_PERSIST_ENCRYPTIONINTERNAL_H_

#include <cstddef>
#include <cstdint>

namespace pemar {
namespace encryption_internal {

// Key words K0 to K3. Fixed for good: every enciphered file in circulation
// depends on them.
extern const std::uint32_t kFileKey[4];

// The file functions' block transform in memory, on the calling thread:
// every whole 8-byte block among the first n bytes is enciphered
// (deciphered) in place with kFileKey, the last n mod 8 bytes stay as they
// are. The same bytes as TeaEncipher / TeaDecipher block by block.
void EncipherBlocks(unsigned char* data, std::size_t n);
void DecipherBlocks(unsigned char* data, std::size_t n);

}  // namespace encryption_internal
}  // namespace pemar

#endif  // PEMAR_PERSIST_ENCRYPTIONINTERNAL_H_
