# Checks the golden message vectors in testdata/vectors against kxmsg (see
# the README there for the files):
# - a valid vector NAME is built again from NAME.args and must give NAME.msg
#   byte for byte; dumped, it must print NAME.json exactly;
# - a malformed vector bad-NAME.msg must be its source's .msg with the
#   changes of bad-NAME.json applied; reading it must read every part before
#   the broken one as the source does and fail on the broken one with the
#   listed codes and text.
#
#   cmake -DKXMSG=<kxmsg> -DREAD_AS=<vectors_read_as> [-DEMULATOR=<wine>]
#         -DVECTORS=<dir> -DWORK=<dir> [-DREGENERATE=ON] -P vectors.cmake
#
# With REGENERATE=ON the expected files (.msg, .json, and the outcome in
# bad-NAME.json) are written from what the programs give instead of being
# compared; the malformed .msg files are written with xxd.
cmake_minimum_required(VERSION 3.25)

file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
set(failures 0)
if(REGENERATE)
  find_program(XXD xxd REQUIRED)
endif()

# The kind a part of each format is read as.
set(kind_of_KXDEAD dlh)
set(kind_of_KXVORN vih)
set(kind_of_KXOXT oih)
set(kind_of_KXHWIH wih)
set(kind_of_KXHREF rfh)
set(kind_of_KXTRIG trg)
set(kind_of_KXSTR str)
set(kind_of_ bin)

function(fail name text)
  message(SEND_ERROR "${name}: ${text}")
  math(EXPR count "${failures} + 1")
  set(failures ${count} PARENT_SCOPE)
endfunction()

# `text` as a bracket argument, which passes any other character unchanged.
# A semicolon is refused too: the text travels in CMake lists on its way.
function(bracket text out_var)
  if(text MATCHES "]==]" OR text MATCHES ";")
    message(FATAL_ERROR "an argument holds ]==] or a semicolon: ${text}")
  endif()
  set(${out_var} "[==[${text}]==]" PARENT_SCOPE)
endfunction()

# Runs PROGRAM (under the emulator) with ARGN, each already a bracket
# argument, so that empty arguments and any character pass unchanged.
# Sets <prefix>_exit and <prefix>_out (stdout without carriage returns).
function(run prefix program)
  set(command "")
  foreach(part ${EMULATOR} "${program}")
    bracket("${part}" quoted)
    string(APPEND command " ${quoted}")
  endforeach()
  list(JOIN ARGN " " arguments)
  cmake_language(EVAL CODE "execute_process(COMMAND ${command} ${arguments}
      RESULT_VARIABLE exit OUTPUT_VARIABLE out ERROR_VARIABLE err)")
  string(REPLACE "\r" "" out "${out}")
  set(${prefix}_exit "${exit}" PARENT_SCOPE)
  set(${prefix}_out "${out}" PARENT_SCOPE)
  set(${prefix}_err "${err}" PARENT_SCOPE)
endfunction()

# The arguments of a .args file (one a line, each ending in a newline) as
# bracket arguments.
function(recipe_arguments path out_var)
  file(READ "${path}" content)
  set(arguments "")
  while(NOT content STREQUAL "")
    string(FIND "${content}" "\n" end)
    if(end EQUAL -1)
      message(FATAL_ERROR "${path}: the last argument has no newline")
    endif()
    string(SUBSTRING "${content}" 0 ${end} line)
    math(EXPR end "${end} + 1")
    string(SUBSTRING "${content}" ${end} -1 content)
    bracket("${line}" quoted)
    string(APPEND arguments " ${quoted}")
  endwhile()
  set(${out_var} "${arguments}" PARENT_SCOPE)
endfunction()

# Compares the hex of two files; empty when equal, else where they part.
function(compare_hex expected actual out_var)
  if(expected STREQUAL actual)
    set(${out_var} "" PARENT_SCOPE)
    return()
  endif()
  string(LENGTH "${expected}" expected_length)
  string(LENGTH "${actual}" actual_length)
  set(at 0)
  while(at LESS expected_length AND at LESS actual_length)
    string(SUBSTRING "${expected}" ${at} 2 e)
    string(SUBSTRING "${actual}" ${at} 2 a)
    if(NOT e STREQUAL a)
      break()
    endif()
    math(EXPR at "${at} + 2")
  endwhile()
  math(EXPR offset "${at} / 2")
  math(EXPR expected_length "${expected_length} / 2")
  math(EXPR actual_length "${actual_length} / 2")
  set(${out_var} "the file has ${expected_length} bytes, the new one ${actual_length}; \
they differ from offset ${offset} on (the file has ${e}, the new one ${a})" PARENT_SCOPE)
endfunction()

function(write_hex hex path)
  file(WRITE "${WORK}/hex" "${hex}")
  execute_process(COMMAND "${XXD}" -r -p "${WORK}/hex" "${path}" COMMAND_ERROR_IS_FATAL ANY)
endfunction()

function(json_string text out_var)
  string(REPLACE "\\" "\\\\" text "${text}")
  string(REPLACE "\"" "\\\"" text "${text}")
  set(${out_var} "\"${text}\"" PARENT_SCOPE)
endfunction()

# --- valid vectors -------------------------------------------------------

file(GLOB recipes RELATIVE "${VECTORS}" "${VECTORS}/*.args")
list(SORT recipes)
set(valid 0)
foreach(recipe ${recipes})
  string(REGEX REPLACE "\\.args$" "" name "${recipe}")
  math(EXPR valid "${valid} + 1")
  set(msg "${VECTORS}/${name}.msg")
  recipe_arguments("${VECTORS}/${recipe}" arguments)
  bracket("${WORK}/${name}.msg" built)
  run(build "${KXMSG}" build -o ${built} ${arguments})
  if(NOT build_exit EQUAL 0)
    fail(${name} "kxmsg build exited ${build_exit}: ${build_err}")
    continue()
  endif()
  if(REGENERATE)
    file(COPY_FILE "${WORK}/${name}.msg" "${msg}")
  elseif(NOT EXISTS "${msg}")
    fail(${name} "${name}.msg is missing")
    continue()
  endif()
  file(READ "${msg}" expected HEX)
  file(READ "${WORK}/${name}.msg" actual HEX)
  compare_hex("${expected}" "${actual}" difference)
  if(difference)
    fail(${name} "the recipe builds other bytes than ${name}.msg: ${difference}")
  endif()

  bracket("${msg}" quoted)
  run(dump "${KXMSG}" dump --json ${quoted})
  if(NOT dump_exit EQUAL 0)
    fail(${name} "kxmsg dump exited ${dump_exit}: ${dump_err}")
  endif()
  if(REGENERATE)
    file(WRITE "${VECTORS}/${name}.json" "${dump_out}")
  endif()
  file(READ "${VECTORS}/${name}.json" expected)
  if(NOT dump_out STREQUAL expected)
    fail(${name} "kxmsg dump --json prints\n${dump_out}instead of ${name}.json:\n${expected}")
  endif()
endforeach()

# --- malformed vectors ---------------------------------------------------

# Sets out_var to member `key` of `json`, or to `default` when it has none.
function(json_member json key default out_var)
  string(JSON value ERROR_VARIABLE missing GET "${json}" ${key})
  if(NOT missing STREQUAL "NOTFOUND")
    set(value "${default}")
  endif()
  set(${out_var} "${value}" PARENT_SCOPE)
endfunction()

# The outcome of a reading that printed `output` (a dump's JSON): sets
# parts (the number read), fails (the kind of the broken part), completion,
# reason and text (as JSON: a string, or null when the library sent none).
# Empty completion when the output holds no library failure.
function(outcome_of output)
  json_member("${output}" "error;completionCode" "" completion)
  json_member("${output}" "error;reasonCode" "" reason)
  json_member("${output}" "error;text" "" text)
  string(JSON parts LENGTH "${output}" chain)
  # The broken part's format: the descriptor's, or the one the last part
  # read recorded of what follows it.
  if(parts EQUAL 0)
    json_member("${output}" "message;format" "" format)
  else()
    math(EXPR last "${parts} - 1")
    string(JSON format GET "${output}" chain ${last} fields format)
  endif()
  string(STRIP "${format}" format)
  if(text STREQUAL "")
    set(text null)
  else()
    json_string("${text}" text)
  endif()
  foreach(variable parts completion reason text)
    set(${variable} "${${variable}}" PARENT_SCOPE)
  endforeach()
  set(fails "${kind_of_${format}}" PARENT_SCOPE)
endfunction()

# The listed changes as JSON, one a line.
function(changes_json changes out_var)
  string(JSON count LENGTH "${changes}")
  if(count EQUAL 0)
    set(${out_var} "[]" PARENT_SCOPE)
    return()
  endif()
  set(lines "")
  foreach(i RANGE 1 ${count})
    math(EXPR i "${i} - 1")
    string(JSON offset GET "${changes}" ${i} offset)
    string(JSON bytes GET "${changes}" ${i} bytes)
    list(APPEND lines "    {\"offset\": ${offset}, \"bytes\": \"${bytes}\"}")
  endforeach()
  list(JOIN lines ",\n" lines)
  set(${out_var} "[\n${lines}\n  ]" PARENT_SCOPE)
endfunction()

file(GLOB expectations RELATIVE "${VECTORS}" "${VECTORS}/bad-*.json")
list(SORT expectations)
set(malformed 0)
foreach(expectation ${expectations})
  string(REGEX REPLACE "\\.json$" "" name "${expectation}")
  math(EXPR malformed "${malformed} + 1")
  file(READ "${VECTORS}/${expectation}" json)
  string(JSON from GET "${json}" from)
  string(JSON changes GET "${json}" changes)
  json_member("${json}" file_length "" file_length)
  json_member("${json}" read_as "" read_as)

  # The bytes: the source's with the changes applied, then cut.
  file(READ "${VECTORS}/${from}.msg" hex HEX)
  string(LENGTH "${hex}" hex_length)
  string(JSON count LENGTH "${changes}")
  foreach(i RANGE 1 ${count})
    if(count EQUAL 0)
      break()  # RANGE 1 0 counts down
    endif()
    math(EXPR i "${i} - 1")
    string(JSON offset GET "${changes}" ${i} offset)
    string(JSON bytes GET "${changes}" ${i} bytes)
    string(LENGTH "${bytes}" bytes_length)
    math(EXPR start "2 * ${offset}")
    math(EXPR end "${start} + ${bytes_length}")
    if(end GREATER hex_length)
      message(FATAL_ERROR "${name}: the change at ${offset} reaches past the end of ${from}.msg")
    endif()
    string(SUBSTRING "${hex}" 0 ${start} head)
    string(SUBSTRING "${hex}" ${end} -1 tail)
    set(hex "${head}${bytes}${tail}")
  endforeach()
  if(NOT file_length STREQUAL "")
    math(EXPR cut "2 * ${file_length}")
    string(SUBSTRING "${hex}" 0 ${cut} hex)
  endif()
  set(msg "${VECTORS}/${name}.msg")
  if(REGENERATE)
    write_hex("${hex}" "${msg}")
  endif()
  file(READ "${msg}" actual HEX)
  compare_hex("${actual}" "${hex}" difference)
  if(difference)
    fail(${name} "${name}.msg is not ${from}.msg with the listed changes: ${difference}")
  endif()

  # The reading: by format as kxmsg dump reads, or the first part as the
  # kind read_as names.
  bracket("${msg}" quoted)
  if(read_as STREQUAL "")
    run(read "${KXMSG}" dump --json ${quoted})
  else()
    run(read "${READ_AS}" ${quoted} ${read_as})
  endif()
  outcome_of("${read_out}")
  if(NOT read_exit EQUAL 2 OR completion STREQUAL "")
    fail(${name} "reading it gave no library failure (exit ${read_exit}): ${read_out}${read_err}")
    continue()
  endif()
  if(NOT read_as STREQUAL "")
    set(fails ${read_as})
  endif()

  # Every part read before the failure is where the source has it.
  file(READ "${VECTORS}/${from}.json" source)
  string(JSON source_parts LENGTH "${source}" chain)
  if(NOT parts LESS source_parts)
    fail(${name} "reading fails after all ${source_parts} parts of ${from}")
  endif()
  if(parts GREATER 0)
    math(EXPR last "${parts} - 1")
    foreach(i RANGE ${last})
      foreach(member kind offset length)
        string(JSON want GET "${source}" chain ${i} ${member})
        string(JSON got GET "${read_out}" chain ${i} ${member})
        if(NOT want STREQUAL got)
          fail(${name} "part ${i} has ${member} ${got}, ${from} has ${want}")
        endif()
      endforeach()
    endforeach()
  endif()

  if(REGENERATE)
    string(JSON why GET "${json}" why)
    json_string("${why}" why)
    changes_json("${changes}" changes)
    set(optional "")
    if(NOT file_length STREQUAL "")
      string(APPEND optional "  \"file_length\": ${file_length},\n")
    endif()
    if(NOT read_as STREQUAL "")
      string(APPEND optional "  \"read_as\": \"${read_as}\",\n")
    endif()
    file(WRITE "${VECTORS}/${expectation}" "{
  \"from\": \"${from}\",
  \"changes\": ${changes},
${optional}  \"why\": ${why},
  \"fails\": \"${fails}\",
  \"completion_code\": ${completion},
  \"reason_code\": ${reason},
  \"text\": ${text}
}
")
    continue()
  endif()
  foreach(pair fails:fails completion_code:completion reason_code:reason text:text)
    string(REPLACE ":" ";" pair "${pair}")
    list(GET pair 0 key)
    list(GET pair 1 variable)
    json_member("${json}" ${key} "(none)" want)
    string(JSON type ERROR_VARIABLE missing TYPE "${json}" ${key})
    if(type STREQUAL "NULL")
      set(want null)
    elseif(key STREQUAL "text")
      json_string("${want}" want)
    endif()
    if(NOT want STREQUAL "${${variable}}")
      fail(${name} "reading it gives ${key} ${${variable}}, ${expectation} says ${want}")
    endif()
  endforeach()
endforeach()

# --- every file belongs to a vector ---------------------------------------

file(GLOB messages RELATIVE "${VECTORS}" "${VECTORS}/*.msg")
foreach(message ${messages})
  string(REGEX REPLACE "\\.msg$" "" name "${message}")
  if(NOT EXISTS "${VECTORS}/${name}.args" AND NOT EXISTS "${VECTORS}/${name}.json")
    fail(${name} "${message} has no recipe (${name}.args) and no bad-NAME.json")
  endif()
endforeach()

if(valid EQUAL 0 OR malformed EQUAL 0)
  fail(vectors "no vectors found in ${VECTORS}")
endif()
if(failures GREATER 0)
  message(FATAL_ERROR "${failures} failures in ${valid} valid and ${malformed} malformed vectors")
endif()
message(STATUS "${valid} valid and ${malformed} malformed vectors as expected")
