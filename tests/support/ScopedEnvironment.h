// Test support: an environment variable set for the life of a guard, so
// that a test reads only what it put there (its own registry file, say)
// and the variable is as before afterwards: restored, or removed when it
// was not set.

#ifndef PEMAR_TESTS_SUPPORT_SCOPEDENVIRONMENT_H_
#define PEMAR_TESTS_SUPPORT_SCOPEDENVIRONMENT_H_

#include <cstdlib>
#include <optional>
#include <string>
#include <utility>

namespace pemar::test_support {

class ScopedEnvironmentVariable {
 public:
  ScopedEnvironmentVariable(std::string name, const std::string& value)
      : name_(std::move(name)) {
    if (const char* old = std::getenv(name_.c_str())) previous_ = old;
    Set(value.c_str());
  }
  ~ScopedEnvironmentVariable() {
    Set(previous_ ? previous_->c_str() : nullptr);
  }
  ScopedEnvironmentVariable(const ScopedEnvironmentVariable&) = delete;
  ScopedEnvironmentVariable& operator=(const ScopedEnvironmentVariable&) =
      delete;

 private:
  // Null removes the variable.
  void Set(const char* value) {
#if defined(_WIN32)
    _putenv_s(name_.c_str(), value == nullptr ? "" : value);
#else
    if (value == nullptr) {
      unsetenv(name_.c_str());
    } else {
      setenv(name_.c_str(), value, 1);
    }
#endif
  }

  std::string name_;
  std::optional<std::string> previous_;
};

}  // namespace pemar::test_support

#endif  // PEMAR_TESTS_SUPPORT_SCOPEDENVIRONMENT_H_
