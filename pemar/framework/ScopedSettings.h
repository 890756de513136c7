// Process-wide settings changed for one call and put back afterwards, for
// programs that drive cases on a user's behalf (the tool, the Python
// module). Neither class is thread-safe: the settings they change are
// process-wide.

#ifndef PEMAR_FRAMEWORK_SCOPEDSETTINGS_H_
#define PEMAR_FRAMEWORK_SCOPEDSETTINGS_H_

#include <optional>
#include <string>

#include "pemar/framework/ConfigStore.h"
#include "pemar/framework/Platform.h"
#include "pemar/framework/Text.h"

namespace pemar {

// Sets the process command line, which decides a new case's document type,
// and clears it again when destroyed.
class ScopedCommandLine {
 public:
  explicit ScopedCommandLine(const std::string& line) {
    SetCommandLine(Text(line));
  }
  ~ScopedCommandLine() { SetCommandLine(Text()); }
  ScopedCommandLine(const ScopedCommandLine&) = delete;
  ScopedCommandLine& operator=(const ScopedCommandLine&) = delete;
};

// Sets "NCaseBackups" when a count is given, and puts the previous value
// back when destroyed; without a count the configured value holds.
class ScopedBackups {
 public:
  explicit ScopedBackups(std::optional<int> count)
      : previous_(GetConfigData("NCaseBackups", 1.0)), set_(count.has_value()) {
    if (set_) SetConfigData("NCaseBackups", *count);
  }
  ~ScopedBackups() {
    if (set_) SetConfigData("NCaseBackups", previous_);
  }
  ScopedBackups(const ScopedBackups&) = delete;
  ScopedBackups& operator=(const ScopedBackups&) = delete;

 private:
  double previous_;
  bool set_;
};

}  // namespace pemar

#endif  // PEMAR_FRAMEWORK_SCOPEDSETTINGS_H_
