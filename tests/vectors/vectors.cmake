# Checks the golden message vectors in testdata/vectors against kxmsg (the
# README there describes the files):
# - a valid vector NAME is built again from NAME.args and must give NAME.msg
#   byte for byte; dumped, it must print NAME.json exactly;
# - a malformed vector bad-NAME.msg must be its source's .msg with the
#   changes of bad-NAME.json applied; reading it must read every part before
#   the broken one as the source does and fail on the broken one with the
#   outcome bad-NAME.json ends with (fails, completion_code, reason_code, text).
#
#   cmake -DKXMSG=<kxmsg> -DREAD_AS=<vectors_read_as> [-DEMULATOR=<wine>]
#         -DVECTORS=<dir> -DWORK=<dir> [-DREGENERATE=ON] -P vectors.cmake
#
# With REGENERATE=ON each expected file (.msg, .json, the outcome in
# bad-NAME.json) is first written from what the programs give, then compared
# as always; the .msg files are written with xxd.
cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
find_program(XXD xxd)
# The kind a part of each format is read as.
set(kind_of [[{"KXDEAD":"dlh","KXVORN":"vih","KXOXT":"oih","KXHWIH":"wih","KXHREF":"rfh",
               "KXTRIG":"trg","KXSTR":"str","":"bin"}]])

# The file NAME of the vectors must hold `content` (its bytes in hex when
# HEX follows); with REGENERATE it is written so first.
function(expect name content)
  if(REGENERATE AND ARGN)
    file(WRITE "${WORK}/hex" "${content}")
    execute_process(COMMAND "${XXD}" -r -p "${WORK}/hex" "${VECTORS}/${name}"
                    COMMAND_ERROR_IS_FATAL ANY)
  elseif(REGENERATE)
    file(WRITE "${VECTORS}/${name}" "${content}")
  endif()
  file(READ "${VECTORS}/${name}" expected ${ARGN})
  if(NOT expected STREQUAL content)
    message(SEND_ERROR "${name} is not what the programs give")
  endif()
endfunction()

# Runs PROGRAM (under the emulator) with ARGUMENTS, bracket arguments that
# pass empty arguments and any character unchanged, and requires the exit
# code EXIT. Sets out (stdout without carriage returns).
function(run exit program arguments)
  cmake_language(EVAL CODE "execute_process(COMMAND \${EMULATOR} \"\${program}\" ${arguments}
      RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE err)")
  if(NOT code EQUAL exit)
    message(SEND_ERROR "${arguments}: exit ${code}, not ${exit}:\n${out}${err}")
  endif()
  string(REPLACE "\r" "" out "${out}")
  set(out "${out}" PARENT_SCOPE)
endfunction()

file(GLOB recipes RELATIVE "${VECTORS}" "${VECTORS}/*.args")
foreach(recipe ${recipes})
  string(REGEX REPLACE "\\.args$" "" name "${recipe}")
  file(READ "${VECTORS}/${recipe}" arguments)
  string(REGEX REPLACE "([^\n]*)\n" " [==[\\1]==]" arguments "${arguments}")
  run(0 "${KXMSG}" "build -o [==[${WORK}/${name}.msg]==] ${arguments}")
  file(READ "${WORK}/${name}.msg" built HEX)
  expect(${name}.msg "${built}" HEX)
  run(0 "${KXMSG}" "dump --json [==[${VECTORS}/${name}.msg]==]")
  expect(${name}.json "${out}")
endforeach()

file(GLOB expectations RELATIVE "${VECTORS}" "${VECTORS}/bad-*.json")
foreach(expectation ${expectations})
  string(REGEX REPLACE "\\.json$" "" name "${expectation}")
  file(READ "${VECTORS}/${expectation}" json)
  string(JSON from GET "${json}" from)
  string(JSON changes GET "${json}" changes)
  # The source's bytes with each change written over them (a change past the
  # end fails at SUBSTRING), then cut.
  file(READ "${VECTORS}/${from}.msg" hex HEX)
  string(JSON count LENGTH "${changes}")
  foreach(i RANGE ${count})
    string(JSON offset ERROR_VARIABLE past_the_last GET "${changes}" ${i} offset)
    if(past_the_last)
      break()
    endif()
    string(JSON bytes GET "${changes}" ${i} bytes)
    string(LENGTH "${bytes}" width)
    math(EXPR start "2 * ${offset}")
    math(EXPR end "${start} + ${width}")
    string(SUBSTRING "${hex}" 0 ${start} head)
    string(SUBSTRING "${hex}" ${end} -1 tail)
    set(hex "${head}${bytes}${tail}")
  endforeach()
  string(JSON length ERROR_VARIABLE uncut GET "${json}" file_length)
  if(NOT uncut)
    math(EXPR length "2 * ${length}")
    string(SUBSTRING "${hex}" 0 ${length} hex)
  endif()
  expect(${name}.msg "${hex}" HEX)

  # Read by format as kxmsg dump reads, or the first part as read_as names.
  string(JSON fails ERROR_VARIABLE by_format GET "${json}" read_as)
  if(by_format)
    run(2 "${KXMSG}" "dump --json [==[${VECTORS}/${name}.msg]==]")
  else()
    run(2 "${READ_AS}" "[==[${VECTORS}/${name}.msg]==] ${fails}")
  endif()
  set(codes "\"completionCode\":([0-9]+),\"reasonCode\":([0-9]+),.*\"text\":(\"[^\"]*\")}")
  if(NOT out MATCHES "${codes}")
    message(SEND_ERROR "${name}: reading it gives no library failure: ${out}")
    continue()
  endif()
  set(outcome "\"completion_code\": ${CMAKE_MATCH_1},\n  \"reason_code\": ${CMAKE_MATCH_2}")
  string(REPLACE "\"\"" "null" text "${CMAKE_MATCH_3}")
  string(JSON parts LENGTH "${out}" chain)
  if(by_format)  # the broken part's format: the descriptor's or the last part's
    math(EXPR last "${parts} - 1")
    set(where chain ${last} fields)
    if(parts EQUAL 0)
      set(where message)
    endif()
    string(JSON format GET "${out}" ${where} format)
    string(STRIP "${format}" format)
    string(JSON fails GET "${kind_of}" "${format}")
  endif()

  # The parts read before the failure are the source's first parts.
  set(part "\"kind\":\"[a-z]+\",\"format\":\"[^\"]*\",\"offset\":[0-9]+,\"length\":[0-9]+")
  string(REGEX MATCHALL "${part}" read "${out}")
  file(READ "${VECTORS}/${from}.json" source)
  string(REGEX MATCHALL "${part}" source "${source}")
  list(SUBLIST source 0 ${parts} before)
  list(LENGTH source count)
  if(NOT read STREQUAL before OR NOT parts LESS count)
    message(SEND_ERROR "${name}: the parts read before the failure are not the first of ${from}")
  endif()

  # The file up to its outcome is the input; the outcome must follow it.
  string(REGEX REPLACE "\n  \"fails\":.*|\n}\n$" "" head "${json}")
  if(NOT head MATCHES ",$")
    string(APPEND head ",")
  endif()
  expect(${expectation}
         "${head}\n  \"fails\": \"${fails}\",\n  ${outcome},\n  \"text\": ${text}\n}\n")
endforeach()

file(GLOB messages RELATIVE "${VECTORS}" "${VECTORS}/*.msg")
foreach(message ${messages})
  string(REGEX REPLACE "msg$" "" stem "${message}")
  if(NOT "${stem}args" IN_LIST recipes AND NOT "${stem}json" IN_LIST expectations)
    message(SEND_ERROR "${message} has no recipe (.args) and is no bad-NAME.json's")
  endif()
endforeach()
if(NOT recipes OR NOT expectations)
  message(SEND_ERROR "no vectors found in ${VECTORS}")
endif()
