// Files of the utility database: the default files beside the program and
// the utility and coefficient sets a user saves and opens.
//
// Default files are named by configuration keys ("DefaultUtility",
// "DefaultHeatTranCoeff", "DefaultCapitalCost"); the full path is the
// program's folder (BuildFilePath("Executable")) followed by the key's value.
// All file access goes through FileSystem::Default().

#ifndef PEMAR_UTILITY_UTILITYFILES_H_
#define PEMAR_UTILITY_UTILITYFILES_H_

#include <cstddef>

#include "pemar/framework/Export.h"
#include "pemar/framework/Text.h"
#include "pemar/framework/Types.h"
#include "pemar/persist/PemarBaseObject.h"

namespace pemar {

class IDefaultUtilityManager;
class PemarBinaryFile;

// File types and filter patterns of saved sets.
inline constexpr const char* kUtilitySetFileType = "HUD";
inline constexpr const char* kHTCSetFileType = "HTC";

// The largest buffer the two-argument FindFilePath fills, terminator
// included.
inline constexpr std::size_t kMaxPathBuffer = 260;

// 1 when `path` is not null or empty and names an existing file, else 0.
PEMAR_EXPORT hresult DoesFileExist(const char* path);
// A new file object reading `path` (it may have failed to open: its reads
// then fail); null for a null path. The caller deletes it.
PEMAR_EXPORT PemarBinaryFile* GetFilePointer(const char* path);
// The configuration value of `key` (empty when unset or `key` is null).
PEMAR_EXPORT Text GetDefaultFileName(const char* key);
// The full path of the default file of `key`; empty when the key is unset.
PEMAR_EXPORT Text GetDefaultFilePath(const char* key);
// Copies the folder of the named place into `buffer`, which must hold
// kMaxPathBuffer bytes. A longer path gives the empty string.
PEMAR_EXPORT void FindFilePath(const char* name, char* buffer);
// Sized form: copies the full folder when it fits in `size` bytes with its
// terminator, else stores the empty string (when size > 0). Returns the
// folder's length, so a caller can retry with a larger buffer.
PEMAR_EXPORT std::size_t FindFilePath(const char* name, char* buffer,
                                      std::size_t size);

// Stores the section `type` of `manager` into `path` so that an existing
// file survives any failure or crash: the data goes to a new temporary file
// beside it (FileSystem::NewTemporaryFile), is synced and then takes the
// name, and the folder is synced. False (with `path` untouched and no temporary
// file left) when the file exists but may not be written, or any step failed.
PEMAR_EXPORT bool SaveUtilitySet(IDefaultUtilityManager* manager,
                                 const char* path, StoreRecallType type);
// Recalls the section `type` from `path`. False, with the database
// unchanged, when the file is absent or cannot be read in full.
PEMAR_EXPORT bool OpenUtilitySet(IDefaultUtilityManager* manager,
                                 const char* path, StoreRecallType type);

}  // namespace pemar

#endif  // PEMAR_UTILITY_UTILITYFILES_H_
