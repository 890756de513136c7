// The component name map: component names of the suite and of the external
// process simulator.
//
// One process-wide dictionary from a key to a name. It is filled once, when
// the library loads, from "CompNameMap.dat" in the folder that is current
// then: each line is a key (its first blank-separated token) and the rest of
// the line after the blanks that follow it. Reading stops at the first empty
// (or all-blank) line or at the end of the file; a key that appears again
// keeps its first name. Without a readable file the map stays empty;
// nothing is reported.

#ifndef PEMAR_CONFIG_COMPNAMEMAP_H_
#define PEMAR_CONFIG_COMPNAMEMAP_H_

#include <map>

#include "pemar/framework/Export.h"
#include "pemar/framework/Text.h"

namespace pemar {

using CompNameDictionary = std::map<Text, CVString>;

// The map itself (not a copy); never null. Lives until the library
// unloads.
PEMAR_EXPORT CompNameDictionary* getMyORVEXCompNameDict();

// Empties the map and fills it from the file at `path` (as at load). False
// when the file cannot be read; the map is then empty.
PEMAR_EXPORT bool LoadCompNameMap(const Text& path);

}  // namespace pemar

#endif  // PEMAR_CONFIG_COMPNAMEMAP_H_
