# Writes OUTPUT, a C++ file holding every file that LIST (resources.txt) names
# as a byte array, and the table that installs them. Run with cmake -P.
file(STRINGS "${LIST}" lines)
get_filename_component(base "${LIST}" DIRECTORY)

# CMake's expressions know no {16}: spell the sixteen bytes out.
string(REPEAT "0x..," 16 sixteenBytes)
set(sixteenBytes "(${sixteenBytes})")

set(arrays "")
set(entries "")
set(index 0)
foreach(line IN LISTS lines)
  if(line MATCHES "^[ \t]*(#|$)")
    continue()
  endif()
  if(NOT line MATCHES "^[ \t]*([0-9]+)[ \t]+([^ \t]+)[ \t]+(.+[^ \t])[ \t]*$")
    message(FATAL_ERROR "${LIST}: not 'id type path': ${line}")
  endif()
  set(id ${CMAKE_MATCH_1})
  set(type ${CMAKE_MATCH_2})
  set(name "${CMAKE_MATCH_3}")
  set(path "${base}/${name}")
  file(READ "${path}" hex HEX)
  string(LENGTH "${hex}" digits)
  if(digits EQUAL 0)
    message(FATAL_ERROR "${LIST}: ${path} is empty")
  endif()
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  # Sixteen bytes a line keeps the file readable in an editor.
  string(REGEX REPLACE "${sixteenBytes}" "\\1\n    " bytes "${bytes}")
  string(APPEND arrays "// ${name}\nconst uint8_t kResource${index}[] = {\n    ${bytes}};\n\n")
  string(APPEND entries "    {${id}, \"${type}\", kResource${index}, sizeof kResource${index}},\n")
  math(EXPR index "${index} + 1")
endforeach()

file(WRITE "${OUTPUT}" "// Made by embed_resources.cmake from resources.txt; do not edit.
#include \"imagelib/resource_table.h\"
#include \"resources/compiled_resources.h\"

namespace tesselor {

namespace {

${arrays}const ResourceEntry kEntries[] = {
${entries}};

}  // namespace

void InstallCompiledResources() { InstallResourceTable(kEntries); }

}  // namespace tesselor
")
