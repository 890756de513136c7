// The page's files, compiled into the program so that `pemar serve` needs
// nothing beside it (generated from web/page/ at build time).

#ifndef PEMAR_WEB_ASSETS_H_
#define PEMAR_WEB_ASSETS_H_

#include <span>
#include <string_view>

namespace pemar::web {

struct Asset {
  std::string_view name;          // "index.html", "app.js", ...
  std::string_view content_type;  // "text/javascript; charset=utf-8", ...
  std::string_view data;
};

// The file called `name`, or null. Names are compared exactly: no folders.
const Asset* FindAsset(std::string_view name);

// Every file of the page, in name order.
std::span<const Asset> AllAssets();

}  // namespace pemar::web

#endif  // PEMAR_WEB_ASSETS_H_
