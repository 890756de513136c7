// Installation folders of the suite, read from the local-machine registry.
//
// On Windows the values come from the system registry; elsewhere from the
// registry file (RegistryFile.h), under the same key and value names. Tests
// install a MemoryRegistry (Registry.h).
//
// Both functions copy a plain-string value, with its terminating zero, into
// the caller's buffer of `size` bytes and return non-zero. They return 0 and
// leave the buffer untouched when size is below 1, the buffer or value name
// is null, the key or value is missing, the value is not a plain string, or
// it does not fit into size bytes with its terminator. A value holding a
// zero byte ends there.

#ifndef PEMAR_CONFIG_INSTALLATIONFOLDERS_H_
#define PEMAR_CONFIG_INSTALLATIONFOLDERS_H_

#include "pemar/framework/Export.h"

namespace pemar {

// "CommonFilesDir" of "Software\Microsoft\Windows\CurrentVersion".
PEMAR_EXPORT char GetCommonFilesDir(char* buffer, int size);

// The value `valueName` of "Software\Quillon\Kelvar", where the suite keeps
// the folders of its thermodynamics package.
PEMAR_EXPORT char GetKELVARDir(const char* valueName, char* buffer, int size);

}  // namespace pemar

#endif  // PEMAR_CONFIG_INSTALLATIONFOLDERS_H_
