// Whole-file encryption with TEA (the Tiny Encryption Algorithm).
//
// EncryptFileA writes an enciphered copy of a file and DecryptFileA turns it
// back. The bytes are taken as consecutive 64-bit blocks of two
// little-endian 32-bit words from offset 0; each block is enciphered on its
// own (no chaining, no salt) with 32 cycles and a key fixed in the library,
// and the final length mod 8 bytes of the file are copied unchanged. The
// same source therefore always gives the same target, and files enciphered
// by any build of the library can be read by any other.
//
// The key is in the library for anyone to read: this hides a file's content
// from casual view and protects nothing against a determined reader.
//
// The blocks are independent, so they are enciphered several at a time in
// vector registers, and a large file's batches are shared among the
// processor's cores (at most four threads). Those helper threads are started
// and joined within the call: they are the only threads the library ever
// starts, and none outlives the call that made it. All file access stays on
// the calling thread, and the bytes do not depend on how the work was
// shared. A helper that cannot be started leaves its share to the calling
// thread.
//
// All file access goes through FileSystem::Default(). The source is read in
// pieces, so files of any length are handled whole. The target is written to
// a new temporary file beside it (target + ".<number>.tmp", a name no file
// had; no existing file is ever truncated or replaced), synced, renamed over
// the target and the folder synced, so a failure or a crash never leaves a
// partial target, and source and target may be the same file.

#ifndef PEMAR_PERSIST_ENCRYPTION_H_
#define PEMAR_PERSIST_ENCRYPTION_H_

#include <cstdint>

#include "pemar/framework/Export.h"
#include "pemar/framework/Text.h"

namespace pemar {

// One 64-bit block in place: block[0] is the first word of the block in the
// file, block[1] the second; key[0] to key[3] are the key words in order.
// Arithmetic is unsigned 32-bit with wrap-around.
PEMAR_EXPORT void TeaEncipher(std::uint32_t block[2],
                              const std::uint32_t key[4]);
PEMAR_EXPORT void TeaDecipher(std::uint32_t block[2],
                              const std::uint32_t key[4]);

// Outcome of a file transformation, for callers that report it.
enum class CipherFileStatus {
  kOk,
  kSourceUnreadable,  // the source could not be opened or read
  kTargetUnwritable,  // the temporary file could not be created or written,
                      // synced, or renamed to the target
};

// Write the enciphered (deciphered) copy of source to target and say how it
// went. On any failure the target is left exactly as it was (absent, or
// with its previous contents) and no temporary file remains.
PEMAR_EXPORT CipherFileStatus EncryptFileWithStatus(const Text& source,
                                                    const Text& target);
PEMAR_EXPORT CipherFileStatus DecryptFileWithStatus(const Text& source,
                                                    const Text& target);

// The same, silently: failures are not reported. A source that cannot be
// opened leaves the target untouched; an empty source gives an empty target.
PEMAR_EXPORT void EncryptFileA(const Text& source, const Text& target);
PEMAR_EXPORT void DecryptFileA(const Text& source, const Text& target);

}  // namespace pemar

#endif  // PEMAR_PERSIST_ENCRYPTION_H_
