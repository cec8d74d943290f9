# The numbers kxli puts on the wire and in its trace records keep their
# values: every definition of kxlcodes.hpp is a plain number, equal to the
# value testdata/kxlcodes.txt pins it to; no name is missing from either;
# and no two operations share a function number, by which alone a trace
# reader tells them apart.
#   cmake -DCODES=<kxlcodes.hpp> -DPINNED=<kxlcodes.txt> -P kxlcodes_test.cmake
cmake_minimum_required(VERSION 3.25)
file(STRINGS "${CODES}" defined REGEX "constexpr")
list(TRANSFORM defined REPLACE "^inline constexpr [a-z ]+ ([A-Za-z_]+) = ([0-9]+);.*$" "\\1 \\2")
file(STRINGS "${PINNED}" pinned REGEX "^[A-Za-z]")
list(SORT defined)
list(SORT pinned)
if(NOT pinned OR NOT defined STREQUAL pinned)
  set(unpinned ${defined})
  list(REMOVE_ITEM unpinned ${pinned})
  set(stray ${pinned})
  list(REMOVE_ITEM stray ${defined})
  message(SEND_ERROR "kxlcodes.hpp defines, not as pinned: ${unpinned}\n"
                     "${PINNED} pins, not as defined: ${stray}")
endif()
list(FILTER pinned INCLUDE REGEX "^kKxlFn")
list(TRANSFORM pinned REPLACE "^[^ ]+ " "")
set(distinct ${pinned})
list(REMOVE_DUPLICATES distinct)
if(NOT distinct STREQUAL pinned)
  message(SEND_ERROR "two operations share a function number: ${pinned}")
endif()
