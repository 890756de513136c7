#include "web/Browser.h"

#ifdef _WIN32
#include <windows.h>
// shellapi.h needs windows.h first.
#include <shellapi.h>
#else
#include <spawn.h>
#include <sys/wait.h>
extern char** environ;
#endif

namespace pemar::web {

bool OpenInBrowser(const std::string& url) {
#ifdef _WIN32
  return reinterpret_cast<INT_PTR>(ShellExecuteA(
             nullptr, "open", url.c_str(), nullptr, nullptr, SW_SHOWNORMAL)) >
         32;
#else
  pid_t pid = 0;
  std::string program = "xdg-open";
  char* argv[] = {program.data(), const_cast<char*>(url.c_str()), nullptr};
  return posix_spawnp(&pid, "xdg-open", nullptr, nullptr, argv, environ) == 0;
#endif
}

}  // namespace pemar::web
