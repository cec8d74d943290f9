# Runs kxmsg as a user does, case by case as a case file (tests/tool/*.txt)
# lists them, and checks what it printed, its exit codes and its files:
#   cmake -DKXMSG=<kxmsg> [-DEMULATOR=<wine>] -DWORK=<dir> -DVERSION=<v>
#         -DVECTORS=<testdata/vectors> -DCASES=<file> -P kxmsg_cases.cmake
#
# A case file holds one directive a line; a line that is empty or starts
# with # is skipped. In every line @WORK@ (an empty directory of this run),
# @VECTORS@ and, as regular expressions matching them literally, @WORK_RE@
# and @VERSION_RE@ stand for their values.
#   kxmsg EXIT ARGUMENTS  runs kxmsg (arguments quoted as in a shell) and
#                         requires the exit code EXIT; the lines after it
#                         check this run:
#   stdout|stderr|output REGEX       the stream (output: both) matches the
#   not-stdout|not-stderr|not-output REGEX  CMake regular expression, or not;
#                         in it \n stands for a newline, \r and \t likewise
#   empty stdout|stderr   the stream is empty
#   json KEY... = VALUE   member KEY... of the JSON stdout is the string VALUE
#   json-type KEY... = TYPE  and has this type (which needs valid JSON)
#   json-bytes KEY... = FILE  the JSON string gives back FILE's bytes: the
#                         escapes \u00NN and \udcNN as byte NN
#   same NAME REGEX       the match of REGEX in stdout; all with one NAME equal
# and, at any place:
#   write PATH TEXT       writes the file PATH holding TEXT (\n as above)
#   cut FROM LENGTH PATH  writes the first LENGTH bytes of FROM to PATH
#   same-bytes PATH OFFSET PATH OFFSET  the two files are equal from there on
#   file PATH | no-file PATH | no-glob PATTERN  what exists afterwards
#   full-device           where /dev/full exists and no emulator runs kxmsg,
#                         writing a message and help to it fails with exit 2
cmake_minimum_required(VERSION 3.25)

file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
string(REGEX REPLACE "([][.*+?^$()|\\\\{}])" "\\\\\\1" WORK_RE "${WORK}")
string(REGEX REPLACE "([][.*+?^$()|\\\\{}])" "\\\\\\1" VERSION_RE "${VERSION}")

function(fail text)
  message(SEND_ERROR "${CASES}:${number}: ${line}\n${text}")
endfunction()

# Runs kxmsg with ARGN; sets out, err and code in the caller.
function(run)
  execute_process(COMMAND ${EMULATOR} "${KXMSG}" ${ARGN} RESULT_VARIABLE code
                  OUTPUT_VARIABLE out ERROR_VARIABLE err)
  foreach(name out err code)
    set(${name} "${${name}}" PARENT_SCOPE)
  endforeach()
endfunction()

file(READ "${CASES}" content)
string(REPLACE ";" "\\;" content "${content}")
string(REPLACE "\n" ";" lines "${content}")
string(ASCII 1 guard)
set(number 0)
set(runs 0)
foreach(line IN LISTS lines)
  math(EXPR number "${number} + 1")
  foreach(name WORK WORK_RE VERSION_RE VECTORS)
    string(REPLACE "@${name}@" "${${name}}" line "${line}")
  endforeach()
  if(line STREQUAL "" OR line MATCHES "^#")
    continue()
  endif()
  string(REGEX MATCH "^([a-z-]+) ?(.*)$" found "${line}")
  set(directive "${CMAKE_MATCH_1}")
  set(rest "${CMAKE_MATCH_2}")
  set(words "")
  if(NOT directive MATCHES "(stdout|stderr|output)$")
    separate_arguments(words UNIX_COMMAND "${rest}")
  endif()
  set(stream "${out}")
  if(directive MATCHES "stderr$" OR rest STREQUAL "stderr")
    set(stream "${err}")
  elseif(directive MATCHES "output$")
    set(stream "${out}${err}")
  endif()
  # The regular expression of a check, and of `same` after its name.
  # (REGEX REPLACE would take "^" to match again after each replacement.)
  string(REGEX MATCH "^([^ ]+) (.*)$" found "${rest}")
  set(name "${CMAKE_MATCH_1}")
  set(pattern "${rest}")
  if(directive STREQUAL "same" OR directive STREQUAL "write")
    set(pattern "${CMAKE_MATCH_2}")
  endif()
  string(REPLACE "\\\\" "${guard}" pattern "${pattern}")
  string(REPLACE "\\n" "\n" pattern "${pattern}")
  string(REPLACE "\\r" "\r" pattern "${pattern}")
  string(REPLACE "\\t" "\t" pattern "${pattern}")
  string(REPLACE "${guard}" "\\\\" pattern "${pattern}")
  if(directive MATCHES "^(stdout|stderr|output|not-.*|same)$")
    string(REGEX MATCH "${pattern}" found "${stream}")
  endif()

  if(directive STREQUAL "kxmsg")
    list(POP_FRONT words expected)
    run(${words})
    math(EXPR runs "${runs} + 1")
    if(NOT code STREQUAL expected)
      fail("exit ${code}, expected ${expected}\n${out}${err}")
    endif()
  elseif(directive MATCHES "^(stdout|stderr|output|same)$" AND found STREQUAL "")
    fail("no match in:\n${stream}")
  elseif(directive MATCHES "^not-" AND NOT found STREQUAL "")
    fail("a match in:\n${stream}")
  elseif(directive STREQUAL "empty" AND NOT stream STREQUAL "")
    fail("not empty:\n${stream}")
  elseif(directive STREQUAL "same")
    if(NOT DEFINED same_${name})
      set(same_${name} "${found}")
    elseif(NOT found STREQUAL same_${name})
      fail("differs from the first:\n${found}\n${same_${name}}")
    endif()
  elseif(directive MATCHES "^json")
    list(FIND words "=" equals)
    list(SUBLIST words 0 ${equals} keys)
    math(EXPR equals "${equals} + 1")
    list(GET words ${equals} want)
    set(error "")
    if(directive STREQUAL "json-bytes")
      # The string as it stands in the output, its escapes turned into hex.
      list(POP_BACK keys key)
      string(REGEX MATCH "\"${key}\":\"((\\\\.|[^\"\\\\])*)\"" found "${out}")
      string(REGEX MATCHALL "\\\\u[0-9a-f][0-9a-f][0-9a-f][0-9a-f]|\\\\.|[^\\\\]" pieces
             "${CMAKE_MATCH_1}")
      set(got "")
      foreach(piece IN LISTS pieces)
        if(piece MATCHES "^\\\\u(00|dc)([0-9a-f][0-9a-f])$")
          string(APPEND got "${CMAKE_MATCH_2}")
        else()
          string(REGEX REPLACE "^\\\\(.)$" "\\1" piece "${piece}")
          string(HEX "${piece}" hex)
          string(APPEND got "${hex}")
        endif()
      endforeach()
      file(READ "${want}" want HEX)
    elseif(directive STREQUAL "json-type")
      string(JSON got ERROR_VARIABLE error TYPE "${out}" ${keys})
    else()
      string(JSON got ERROR_VARIABLE error GET "${out}" ${keys})
    endif()
    if(NOT got STREQUAL want)
      fail("found \"${got}\" ${error} in:\n${out}")
    endif()
  elseif(directive STREQUAL "write")
    file(WRITE "${name}" "${pattern}")
  elseif(directive STREQUAL "cut")
    find_program(HEAD head REQUIRED)
    list(POP_FRONT words from length path)
    execute_process(COMMAND "${HEAD}" -c ${length} "${from}" OUTPUT_FILE "${path}")
  elseif(directive STREQUAL "same-bytes")
    list(POP_FRONT words first at other from)
    file(READ "${first}" first OFFSET ${at} HEX)
    file(READ "${other}" other OFFSET ${from} HEX)
    if(NOT first STREQUAL other)
      fail("the files differ:\n${first}\n${other}")
    endif()
  elseif(directive STREQUAL "file" AND NOT EXISTS "${rest}")
    fail("no such file")
  elseif(directive STREQUAL "no-file" AND EXISTS "${rest}")
    file(REMOVE "${rest}")
    fail("the file exists")
  elseif(directive STREQUAL "no-glob")
    file(GLOB found "${rest}")
    if(found)
      fail("files left: ${found}")
    endif()
  elseif(directive STREQUAL "full-device")
    if(NOT EXISTS /dev/full OR EMULATOR)
      message(STATUS "no /dev/full here, or an emulator: line ${number} skipped")
      continue()
    endif()
    run(build -o /dev/full --text x)
    if(NOT "${code}${err}" MATCHES "^2kxmsg: cannot write /dev/full: [^\n]+\n$" OR out MATCHES
                                                                                  "wrote")
      fail("a message: exit ${code}\n${out}${err}")
    endif()
    execute_process(COMMAND "${KXMSG}" help OUTPUT_FILE /dev/full RESULT_VARIABLE code
                    ERROR_VARIABLE err)
    if(NOT "${code}${err}" MATCHES "^2.*cannot write standard output")
      fail("help: exit ${code}\n${err}")
    endif()
  elseif(NOT directive MATCHES "^(stdout|stderr|output|not-.*|empty|same|file|no-file)$")
    fail("no such directive")
  endif()
endforeach()
if(runs EQUAL 0)
  fail("no case")
endif()
