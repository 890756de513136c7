# Writes OUTPUT, a C++ source holding every file of PAGE_DIR as bytes, so
# that the tool serves its page without any file beside it.
file(GLOB files ${PAGE_DIR}/*)
list(SORT files)
set(arrays "")
set(table "")
set(index 0)
foreach(file IN LISTS files)
  get_filename_component(name ${file} NAME)
  get_filename_component(extension ${file} LAST_EXT)
  if(extension STREQUAL ".html")
    set(type "text/html; charset=utf-8")
  elseif(extension STREQUAL ".js")
    set(type "text/javascript; charset=utf-8")
  elseif(extension STREQUAL ".css")
    set(type "text/css; charset=utf-8")
  elseif(extension STREQUAL ".svg")
    set(type "image/svg+xml")
  elseif(extension STREQUAL ".png")
    set(type "image/png")
  else()
    message(FATAL_ERROR "web/page/${name}: no content type for ${extension}")
  endif()
  file(READ ${file} hex HEX)
  string(LENGTH "${hex}" digits)
  math(EXPR size "${digits} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(APPEND arrays "const unsigned char kFile${index}[] = {${bytes}0};\n")
  string(APPEND table "    {\"${name}\", \"${type}\", Bytes(kFile${index}, ${size})},\n")
  math(EXPR index "${index} + 1")
endforeach()
file(WRITE ${OUTPUT}.new "// Made from web/page/ by web/EmbedAssets.cmake at build time.
#include <algorithm>
#include <iterator>

#include \"web/Assets.h\"

namespace pemar::web {
namespace {

std::string_view Bytes(const unsigned char* data, std::size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

${arrays}
}  // namespace

std::span<const Asset> AllAssets() {
  static const Asset kAssets[] = {
${table}  };
  return kAssets;
}

const Asset* FindAsset(std::string_view name) {
  for (const Asset& asset : AllAssets()) {
    if (asset.name == name) return &asset;
  }
  return nullptr;
}

}  // namespace pemar::web
")
file(COPY_FILE ${OUTPUT}.new ${OUTPUT} ONLY_IF_DIFFERENT)
