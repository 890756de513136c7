// The application mode that the process was started in, from the switches
// of its command line, and the file type of the mode's case files.

#ifndef PEMAR_CASE_APPLICATIONMODEINTERNAL_H_
#define PEMAR_CASE_APPLICATIONMODEINTERNAL_H_

#include <initializer_list>

#include "pemar/framework/Platform.h"

namespace pemar::internal {

enum class ApplicationMode {
  kMain,
  kHeatExchangerNetwork,
  kColumn,
  kWorkbench
};

inline const char* SwitchOf(ApplicationMode mode) {
  switch (mode) {
    case ApplicationMode::kHeatExchangerNetwork:
      return "-plexa";
    case ApplicationMode::kColumn:
      return "-frakto";
    case ApplicationMode::kWorkbench:
      return "-molara3";
    case ApplicationMode::kMain:
      break;
  }
  return nullptr;
}

inline const char* FileTypeOf(ApplicationMode mode) {
  switch (mode) {
    case ApplicationMode::kHeatExchangerNetwork:
      return "PLEXA";
    case ApplicationMode::kColumn:
      return "FRAKTO";
    case ApplicationMode::kWorkbench:
      return "QRN";
    case ApplicationMode::kMain:
      break;
  }
  return "SIM";
}

// The first mode of `order` whose switch the command line contains, tested
// in that order (callers differ in it); the main mode when none is there.
inline ApplicationMode ModeFromCommandLine(
    std::initializer_list<ApplicationMode> order) {
  const Text commandLine = GetCommandLine();
  for (ApplicationMode mode : order) {
    const char* flag = SwitchOf(mode);
    if (flag != nullptr && commandLine.Contains(flag)) return mode;
  }
  return ApplicationMode::kMain;
}

}  // namespace pemar::internal

#endif  // PEMAR_CASE_APPLICATIONMODEINTERNAL_H_
