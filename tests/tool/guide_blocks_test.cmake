# Every C++ block of the user guide is a region of an example program that
# is built and run as a test: the line before the block names the file and
# the region, as <!-- example: docs/examples/FILE.cpp REGION -->, and the
# block must be the region's text, the lines between "// guide: REGION" and
# "// guide: end" without the markers' indentation. A block that names no
# region, or that differs from it, fails the test.
#   cmake -DGUIDE=<guide.md> -DSOURCE=<source dir> -P guide_blocks_test.cmake
cmake_minimum_required(VERSION 3.25)
string(ASCII 1 semicolon)  # a semicolon would split the CMake lists below
string(ASCII 2 fence)
file(READ "${GUIDE}" guide)
string(REPLACE ";" "${semicolon}" guide "${guide}")
string(REPLACE "```" "${fence}" guide "${guide}")
string(REGEX MATCHALL "${fence}cpp\n" fences "${guide}")
string(REGEX MATCHALL "<!-- example: [^ ]+ [a-z_]+ -->\n${fence}cpp\n[^${fence}]*" blocks
       "${guide}")
list(LENGTH fences count)
list(LENGTH blocks named)
if(count EQUAL 0 OR NOT count EQUAL named)
  message(SEND_ERROR "${named} of the ${count} C++ blocks of ${GUIDE} name an example region")
endif()
foreach(block IN LISTS blocks)
  string(REGEX MATCH "^<!-- example: ([^ ]+) ([a-z_]+) -->\n${fence}cpp\n(.*)$" found "${block}")
  set(file "${CMAKE_MATCH_1}")
  set(region "${CMAKE_MATCH_2}")
  set(text "${CMAKE_MATCH_3}")
  file(READ "${SOURCE}/${file}" code)
  string(REPLACE ";" "${semicolon}" code "\n${code}")
  set(expected "(no region ${region})")
  if(code MATCHES "\n( *)// guide: ${region}(\n.*)$")
    set(indent "${CMAKE_MATCH_1}")
    string(FIND "${CMAKE_MATCH_2}" "\n${indent}// guide: end\n" end)
    string(SUBSTRING "${CMAKE_MATCH_2}" 1 ${end} expected)
    string(REPLACE "\n${indent}" "\n" expected "\n${expected}")
    string(SUBSTRING "${expected}" 1 -1 expected)
  endif()
  if(NOT text STREQUAL expected)
    message(SEND_ERROR "a C++ block of the guide differs from ${file} region \"${region}\":\n"
                       "--- guide\n${text}--- ${file}\n${expected}")
  endif()
endforeach()
message(STATUS "${count} C++ blocks of the guide checked")
