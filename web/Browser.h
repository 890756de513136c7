// Opens an address in the desktop's browser, for `pemar serve --open`.

#ifndef PEMAR_WEB_BROWSER_H_
#define PEMAR_WEB_BROWSER_H_

#include <string>

namespace pemar::web {

// Starts the desktop's handler of `url` (xdg-open on Linux, the shell on
// Windows) without a shell in between and without waiting for it. False
// when it could not be started.
bool OpenInBrowser(const std::string& url);

}  // namespace pemar::web

#endif  // PEMAR_WEB_BROWSER_H_
