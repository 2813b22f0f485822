# Writes OUTPUT, a C++ file defining tools::phone::pageFiles() with the
# content of every file in FILES (a |-separated list).
string(REPLACE "|" ";" FILES "${FILES}")
set(arrays "")
set(entries "")
set(index 0)
foreach(file IN LISTS FILES)
  get_filename_component(name "${file}" NAME)
  file(READ "${file}" hex HEX)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(APPEND arrays "const unsigned char file${index}[] = {${bytes}};\n")
  string(APPEND entries
    "    {\"${name}\", {reinterpret_cast<const char*>(file${index}), sizeof file${index}}},\n")
  math(EXPR index "${index} + 1")
endforeach()
file(WRITE "${OUTPUT}.new" "// Generated from tools/phone/page/ by embed_page.cmake.
#include \"tools/phone/page_files.h\"

namespace tools::phone {
namespace {
${arrays}
const PageFile files[] = {
${entries}};
}  // namespace

std::span<const PageFile> pageFiles() { return files; }

}  // namespace tools::phone
")
file(COPY_FILE "${OUTPUT}.new" "${OUTPUT}" ONLY_IF_DIFFERENT)
