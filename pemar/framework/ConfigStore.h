// The configuration store: user settings by key, numbers and texts.
//
// Kept in memory for the process; LoadConfigFile and SaveConfigFile read and
// write it as a plain text file:
//
//   # comment
//   [numbers]
//   NCaseBackups = 3
//   [texts]
//   DefaultUtility = utilities.hud
//
// Keys are case-sensitive. A new or reset store holds the defaults that the
// library relies on: "NCaseBackups" 1.

#ifndef PEMAR_FRAMEWORK_CONFIGSTORE_H_
#define PEMAR_FRAMEWORK_CONFIGSTORE_H_

#include "pemar/framework/Export.h"
#include "pemar/framework/Text.h"

namespace pemar {

// The number stored under key, or `absent` when there is none.
PEMAR_EXPORT double GetConfigData(const Text& key, double absent = 0.0);
// The trailing flag is accepted for the callers that pass it; it has no
// effect.
PEMAR_EXPORT void SetConfigData(const Text& key, double value, int flag = 1);

// The text stored under key, or `absent` when there is none.
PEMAR_EXPORT Text GetConfigString(const Text& key, const Text& absent = Text());
PEMAR_EXPORT void SetConfigString(const Text& key, const Text& value,
                                  int flag1 = 1, int flag2 = 1, int flag3 = 0);

// Removes every key and puts the defaults back.
PEMAR_EXPORT void ResetConfigStore();

// Reads settings from a text file into the store (keys in the file replace
// those in the store). False, and the store unchanged, when the file cannot
// be read or a line is malformed.
PEMAR_EXPORT bool LoadConfigFile(const Text& path);
// Writes the whole store; the previous file survives any failure.
PEMAR_EXPORT bool SaveConfigFile(const Text& path);

}  // namespace pemar

#endif  // PEMAR_FRAMEWORK_CONFIGSTORE_H_
