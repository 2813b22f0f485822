#pragma once
// The page's files (tools/phone/page/), embedded into the program at build
// time, so that the page works offline and no request reaches a file.
#include <span>
#include <string_view>

namespace tools::phone {

struct PageFile {
  std::string_view name;  // "index.html", "phone.js", ...
  std::string_view content;
};

std::span<const PageFile> pageFiles();

}  // namespace tools::phone
