// What the fuzz targets over case files share: where the input and its
// copy lie in the in-memory file system, and the rule that a case the
// library accepted must save and reopen.

#ifndef PEMAR_FUZZ_CASEFUZZING_H_
#define PEMAR_FUZZ_CASEFUZZING_H_

#include <cstdlib>

#include "pemar/case/SimulationCase.h"
#include "pemar/framework/Platform.h"

namespace pemar::fuzzing {

inline constexpr char kInputCase[] = "/in.kcs";
inline constexpr char kCopyCase[] = "/out.kcs";

inline bool RecallCase(SimulationCase& theCase, const char* path) {
  return theCase.RecallDocument(FileName(Text(path))) != 0;
}

// Saves `theCase` as kCopyCase and recalls the copy into `again`. A file
// the library accepts is a file it can keep, so a failure of either aborts.
inline void SaveCopyAndRecall(SimulationCase& theCase, SimulationCase& again) {
  // A recall may ask for a new name (a reserved extension, the header's
  // flag); the copy goes where the target wants it.
  theCase.SetFileName(Text(kCopyCase));
  if (!theCase.SaveDocument(0) || !RecallCase(again, kCopyCase)) std::abort();
}

}  // namespace pemar::fuzzing

#endif  // PEMAR_FUZZ_CASEFUZZING_H_
